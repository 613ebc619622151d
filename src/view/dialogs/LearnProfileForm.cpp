#include "view/dialogs/LearnProfileForm.h"

#include "files/Language.h"
#include "view/dialogs/DialogCaptions.h"
#include "view/window/UiText.h"

#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace view {

namespace {
constexpr char kSection[] = "LearnProfileForm";
// Recognised rooms shown at most, the latest.
constexpr std::size_t kRoomsShown = 300;

using profile::ProfileKey;
using profile::WorldProfile;

std::string Joined(const std::vector<std::string>& list, const char* between) {
    std::string out;
    for (const std::string& s : list)
        out += (out.empty() ? "" : between) + s;
    return out;
}

// A row of the proposal: which keys make it, and how it shows a profile's value.
struct Row {
    const char* key;
    const char* caption;
    std::vector<ProfileKey> keys;
    std::function<std::string(const WorldProfile&)> value;
};

std::vector<Row> Rows(const std::string& yes, const std::string& no) {
    auto text = [](std::string WorldProfile::*field) {
        return [field](const WorldProfile& p) { return p.*field; };
    };
    auto flag = [yes, no](bool WorldProfile::*field) {
        return [=](const WorldProfile& p) { return p.*field ? yes : no; };
    };
    auto words = [](std::array<std::string, 6> WorldProfile::*field) {
        return [field](const WorldProfile& p) {
            return Joined({(p.*field).begin(), (p.*field).end()}, "  ");
        };
    };
    auto list = [](std::vector<std::string> WorldProfile::*field) {
        return [field](const WorldProfile& p) { return Joined(p.*field, "  |  "); };
    };
    auto six = [](const char* section) {
        std::vector<ProfileKey> keys;
        for (std::string_view k : profile::kWordKeys)
            keys.push_back({section, k});
        return keys;
    };
    using P = WorldProfile;
    return {
        {"rowRoomNameStart",
         "Имя комнаты: начало",
         {{"Messages", "RoomNameStart"}},
         text(&P::RoomNameStart)},
        {"rowRoomNameEnd",
         "Имя комнаты: конец",
         {{"Messages", "RoomNameEnd"}},
         text(&P::RoomNameEnd)},
        {"rowAutoexitStart",
         "Строка выходов: начало",
         {{"Messages", "AutoexitStart"}},
         text(&P::AutoexitStart)},
        {"rowAutoexitEnd",
         "Строка выходов: конец",
         {{"Messages", "AutoexitEnd"}},
         text(&P::AutoexitEnd)},
        {"rowPromptExitStart",
         "Выходы в строке статуса: начало",
         {{"Messages", "PromptExitStart"}},
         text(&P::PromptExitStart)},
        {"rowPromptExitEnd",
         "Выходы в строке статуса: конец",
         {{"Messages", "PromptExitEnd"}},
         text(&P::PromptExitEnd)},
        {"rowUsePromptExit",
         "Брать выходы из строки статуса",
         {{"Messages", "UsePromptExit"}},
         flag(&P::UsePromptExit)},
        {"rowExitWords", "Слова выходов: с, ю, в, з, вверх, вниз", six("Exits"),
         words(&P::ExitWords)},
        {"rowIgnoreCase",
         "Регистр слов выходов не важен",
         {{"Exits", "AutoexitsIgnoreCase"}},
         flag(&P::AutoexitsIgnoreCase)},
        {"rowMoveWords", "Команды движения: с, ю, в, з, вверх, вниз", six("Moves"),
         words(&P::MoveWords)},
        {"rowLook", "Осмотреться", {{"Moves", "Look"}}, text(&P::Look)},
        {"rowDark", "Темно", {{"Messages", "Dark"}}, text(&P::Dark)},
        {"rowDarkList", "Признаки темноты", {{"Dark", ""}}, list(&P::DarkList)},
        {"rowCantMove",
         "Движение невозможно",
         {{profile::kCantMoveSection, ""}},
         list(&P::CantMove)},
    };
}

// The texts of the remarks, with %1 for the direction and %2 for the word.
constexpr struct {
    tracking::LearnRemark::Kind kind;
    const char* key;
    const char* text;
} kRemarks[] = {
    {tracking::LearnRemark::NoAnswers, "NoAnswers",
     "Игра не ответила ни на осмотр, ни на движение: осмотритесь и пройдите несколько комнат, "
     "потом попробуйте снова."},
    {tracking::LearnRemark::NoExitLine, "NoExitLine",
     "Ни одна строка не перечисляет выходы комнаты, а без неё комнату не узнать: включите в игре "
     "автовыходы."},
    {tracking::LearnRemark::ExitsOnlyInPrompt, "ExitsOnlyInPrompt",
     "Выходы есть только в строке статуса: без строки выходов после комнаты не понять, где она "
     "кончается (включите в игре автовыходы). Метки строки статуса узнаны."},
    {tracking::LearnRemark::NoRoomNames, "NoRoomNames",
     "У названий комнат нет ни своего цвета, ни своих меток (или нет строки выходов), поэтому "
     "начало и конец имени не узнать: включите в игре цвета."},
    {tracking::LearnRemark::ExitWordUnseen, "ExitWordUnseen",
     "Выхода %1 не было видно: слово остаётся «%2»."},
    {tracking::LearnRemark::MoveWordUnseen, "MoveWordUnseen",
     "Вы не ходили %1: команда остаётся «%2»."},
    {tracking::LearnRemark::ExitWordOfKind, "ExitWordOfKind",
     "Выхода %1 не было видно: «%2» взято по образцу остальных слов."},
    {tracking::LearnRemark::MoveWordOfKind, "MoveWordOfKind",
     "Вы не ходили %1: «%2» взято по образцу остальных команд."},
    {tracking::LearnRemark::LongExitLists, "LongExitLists",
     "Некоторые строки выходов длиннее 60 знаков: у таких комнат выходы потеряются."},
    {tracking::LearnRemark::ExitWordsAmbiguous, "ExitWordsAmbiguous",
     "Слово выхода «%2» стоит внутри других слов строки выходов: там может почудиться лишний "
     "выход."},
};

constexpr const char* kDirections[6] = {"на север", "на юг", "на восток",
                                        "на запад", "вверх", "вниз"};
} // namespace

TLearnProfileForm::TLearnProfileForm(const storage::Language& texts, const WorldProfile& now,
                                     const tracking::LearntProfile& learnt, QWidget* parent)
    : QDialog(parent), texts_(texts) {
    setObjectName("LearnProfileForm");
    setWindowTitle(Caption("Caption", "Профиль по игре"));

    auto* intro = new QLabel(
        Caption("lblIntro", "Quarvelin прочёл последние строки игры и предлагает значения ниже. "
                            "Жирным выделено то, что изменится. Проверьте, те ли комнаты он по "
                            "ним узнаёт. «Принять» перенесёт значения в настройки, сохранятся они "
                            "по OK."),
        this);
    intro->setObjectName("lblIntro");
    intro->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    if (!learnt.Learnt()) {
        auto* warn = new QLabel(Caption("lblNotLearnt",
                                        "По этим строкам комнаты не узнать: чего не хватает, "
                                        "сказано ниже. Принять можно то, что узнано."),
                                this);
        warn->setObjectName("lblNotLearnt");
        warn->setWordWrap(true);
        warn->setStyleSheet("color: #a00000; font-weight: bold;");
        layout->addWidget(warn);
    }

    auto* valuesBox = new QGroupBox(Caption("gbValues", "Предлагаемые значения"), this);
    valuesBox->setObjectName("gbValues");
    values_ = new QTableWidget(0, 3, this);
    values_->setObjectName("GridValues");
    values_->setHorizontalHeaderLabels(
        {Caption("colWhat", "Что"), Caption("colNow", "Сейчас"), Caption("colNew", "Будет")});
    values_->verticalHeader()->hide();
    values_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    values_->setSelectionMode(QAbstractItemView::NoSelection);
    values_->setWordWrap(false);
    values_->verticalHeader()->setDefaultSectionSize(values_->fontMetrics().height() + 6);
    values_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    values_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    values_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    (new QVBoxLayout(valuesBox))->addWidget(values_);
    FillValues(now, learnt);
    valuesBox->setVisible(values_->rowCount() > 0);
    layout->addWidget(valuesBox, 4);

    auto* roomsBox =
        new QGroupBox(Caption("gbRooms", "Комнаты, которые узнаются с этими значениями: %1")
                          .arg(learnt.rooms.size()),
                      this);
    roomsBox->setObjectName("gbRooms");
    rooms_ = new QListWidget(this);
    rooms_->setObjectName("ListRooms");
    const std::size_t from =
        learnt.rooms.size() > kRoomsShown ? learnt.rooms.size() - kRoomsShown : 0;
    for (std::size_t i = from; i < learnt.rooms.size(); ++i) {
        const QString exits = U(learnt.rooms[i].exits).trimmed();
        rooms_->addItem(U(learnt.rooms[i].name) + (exits.isEmpty() ? "" : "    [" + exits + "]"));
    }
    if (learnt.rooms.empty()) rooms_->addItem(Caption("NoRooms", "Ни одной комнаты."));
    rooms_->scrollToBottom();
    (new QVBoxLayout(roomsBox))->addWidget(rooms_);
    layout->addWidget(roomsBox, 2);

    auto* remarksBox = new QGroupBox(Caption("gbRemarks", "Замечания"), this);
    remarksBox->setObjectName("gbRemarks");
    remarks_ = new QListWidget(this);
    remarks_->setObjectName("ListRemarks");
    remarks_->setWordWrap(true);
    (new QVBoxLayout(remarksBox))->addWidget(remarks_);
    FillRemarks(learnt);
    remarksBox->setVisible(remarks_->count() > 0);
    layout->addWidget(remarksBox, 2);

    accept_ = new QPushButton(Caption("ButtonAccept", "Принять"), this);
    accept_->setObjectName("ButtonAccept");
    accept_->setEnabled(!learnt.keys.empty());
    connect(accept_, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = new QPushButton(Caption("ButtonCancel", "Отмена"), this);
    cancel->setObjectName("ButtonCancel");
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    (learnt.Learnt() ? accept_ : cancel)->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(accept_);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    setMinimumSize(600, 420);
    resize(860, 660);
}

QString TLearnProfileForm::Caption(const char* key, const char* utf8Default) const {
    return DialogCaption(texts_, kSection, key, utf8Default);
}

void TLearnProfileForm::FillValues(const WorldProfile& now, const tracking::LearntProfile& learnt) {
    WorldProfile proposed = now;
    tracking::ApplyLearnt(learnt, proposed);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (const Row& row : Rows(B(Caption("Yes", "да")), B(Caption("No", "нет")))) {
        const QString caption = Caption(row.key, row.caption);
        const bool learntRow = std::any_of(row.keys.begin(), row.keys.end(), [&](const auto& k) {
            return std::find(learnt.keys.begin(), learnt.keys.end(), k) != learnt.keys.end();
        });
        if (!learntRow) continue;
        const std::string before = row.value(now), after = row.value(proposed);
        const int r = values_->rowCount();
        values_->insertRow(r);
        auto* what = new QTableWidgetItem(caption);
        auto* was = new QTableWidgetItem(U(before));
        auto* will = new QTableWidgetItem(U(after));
        was->setFont(fixed);
        QFont changed = fixed;
        changed.setBold(before != after);
        will->setFont(changed);
        will->setToolTip(U(after));
        values_->setItem(r, 0, what);
        values_->setItem(r, 1, was);
        values_->setItem(r, 2, will);
    }
}

void TLearnProfileForm::FillRemarks(const tracking::LearntProfile& learnt) {
    QString directions[6];
    for (int d = 0; d < 6; ++d)
        directions[d] = Caption(("Dir" + std::to_string(d)).c_str(), kDirections[d]);
    for (const auto& r : kRemarks) {
        const QString text = Caption(r.key, r.text); // looked up always: the template lists all
        for (const tracking::LearnRemark& remark : learnt.remarks) {
            if (remark.kind != r.kind) continue;
            QString line = text;
            line.replace("%1", remark.dir >= 0 && remark.dir < 6 ? directions[remark.dir] : "");
            line.replace("%2", U(remark.word));
            auto* item = new QListWidgetItem(
                style()->standardIcon(remark.Missing() ? QStyle::SP_MessageBoxWarning
                                                       : QStyle::SP_MessageBoxInformation),
                line);
            remarks_->addItem(item);
        }
    }
}

} // namespace view
