#include "view/dialogs/NewWorldGameBox.h"

#include "files/Language.h"
#include "view/dialogs/DialogCaptions.h"
#include "view/window/UiText.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>

namespace view {

namespace {
constexpr const char* kSection = "SaveLoadForm";
constexpr int kFileRole = Qt::UserRole + 1;
constexpr int kIdRole = Qt::UserRole + 2;

// The families whose profiles come with the program: their names and what the player must
// switch on in the game, in the order the list shows them.
struct Family {
    const char* id;
    const char* name;
    const char* hint;
};
constexpr Family kFamilies[] = {
    {"demo", "Демо-игра Quarvelin",
     "Демо-сервер, который запускает scripts/run: 127.0.0.1, порт 4000."},
    {"rusdiku", "Русские DikuMUD и CircleMUD (Былины и другие)",
     "Названия комнат цветные, выходы строкой «[ Exits: n e s w ]»: включите в игре цвет и "
     "автовыходы, кодировку Windows-1251."},
    {"circlemud", "CircleMUD 3",
     "Наберите в игре autoexit и color normal: названия комнат голубые, выходы «[ Exits: n e ]»."},
    {"tbamud", "tbaMUD", "Новый персонаж видит цвет и автовыходы сразу: названия комнат жёлтые."},
    {"rom", "ROM и QuickMUD (Merc с цветом ANSI)",
     "Наберите в игре autoexit; цвет ANSI оставьте включённым: выходы «[Exits: north east]»."},
    {"smaug", "SMAUG",
     "Выберите ANSI при создании персонажа; выходы «Exits:north east» включены сразу."},
    {"tinymux", "TinyMUX и TinyMUSH",
     "Комнатам нужен родитель с форматами из data/examples/tinymux/room-parent.mux "
     "(их ставит волшебник игры)."},
    {"lpmud", "LPmud (2.4.5 и потомки)",
     "Строки «There are two obvious exits: north and east»; названием комнаты служит первая "
     "строка её описания."},
};
constexpr const char* kTemplateName = "Шаблон программы (local.ini)";
constexpr const char* kTemplateHint =
    "Профиль из файла local.ini программы: для демо-игры или такой, каким вы его настроили.";

std::string NameKey(const Family& f) {
    return "Profile_" + std::string(f.id);
}
std::string HintKey(const Family& f) {
    return "ProfileHint_" + std::string(f.id);
}
} // namespace

TNewWorldGameBox::TNewWorldGameBox(const storage::Language& texts, QWidget* parent)
    : QGroupBox(parent), texts_(texts) {
    setObjectName("gbGame");
    setTitle(Caption("gbGame", "Игра"));
    cbProfile_ = new QComboBox(this);
    cbProfile_->setObjectName("cbProfile");
    lblProfileHint_ = new QLabel(this);
    lblProfileHint_->setObjectName("lblProfileHint");
    lblProfileHint_->setWordWrap(true);
    editServer_ = new QLineEdit(this);
    editServer_->setObjectName("EditServer");
    editServer_->setPlaceholderText(Caption("ServerPlaceholder", "например mud.example.org"));
    editPort_ = new QLineEdit(this);
    editPort_->setObjectName("EditPort");
    editPort_->setValidator(new QIntValidator(1, 65535, editPort_));
    editPort_->setMaxLength(5);
    editPort_->setMaximumWidth(editPort_->fontMetrics().horizontalAdvance("000000") + 16);

    auto* lblProfile = new QLabel(Caption("lblProfile", "Профиль игры:"), this);
    lblProfile->setObjectName("lblProfile");
    lblProfile->setBuddy(cbProfile_);
    auto* lblServer = new QLabel(Caption("lblServer", "Сервер игры:"), this);
    lblServer->setObjectName("lblServer");
    lblServer->setBuddy(editServer_);
    auto* lblPort = new QLabel(Caption("lblPort", "Порт:"), this);
    lblPort->setObjectName("lblPort");
    lblPort->setBuddy(editPort_);

    auto* server = new QHBoxLayout;
    server->addWidget(editServer_, 1);
    server->addWidget(lblPort);
    server->addWidget(editPort_);
    auto* form = new QFormLayout(this);
    form->addRow(lblProfile, cbProfile_);
    form->addRow(QString(), lblProfileHint_);
    form->addRow(lblServer, server);

    // Every family's texts are looked up now, found or not, so that the language file lists
    // them all.
    Caption("ProfileTemplate", kTemplateName);
    Caption("ProfileHintTemplate", kTemplateHint);
    for (const Family& f : kFamilies) {
        Caption(NameKey(f).c_str(), f.name);
        Caption(HintKey(f).c_str(), f.hint);
    }
    connect(cbProfile_, &QComboBox::currentIndexChanged, this, &TNewWorldGameBox::ProfileChanged);
}

QString TNewWorldGameBox::Caption(const char* key, const char* utf8Default) const {
    return DialogCaption(texts_, kSection, key, utf8Default);
}

void TNewWorldGameBox::SetProfiles(const std::filesystem::path& templateProfile,
                                   const std::vector<storage::GameProfile>& profiles) {
    const QSignalBlocker block(cbProfile_);
    cbProfile_->clear();
    hints_.clear();
    auto add = [&](const QString& name, const QString& hint, const std::filesystem::path& file,
                   const std::string& id) {
        cbProfile_->addItem(name);
        const int i = cbProfile_->count() - 1;
        cbProfile_->setItemData(i, QString::fromStdString(file.string()), kFileRole);
        cbProfile_->setItemData(i, QString::fromStdString(id), kIdRole);
        cbProfile_->setItemData(i, hint, Qt::ToolTipRole);
        hints_.push_back(hint);
    };
    add(Caption("ProfileTemplate", kTemplateName), Caption("ProfileHintTemplate", kTemplateHint),
        templateProfile, "");
    std::vector<bool> taken(profiles.size());
    for (const Family& f : kFamilies)
        for (std::size_t i = 0; i < profiles.size(); ++i)
            if (profiles[i].id == f.id) {
                add(Caption(NameKey(f).c_str(), f.name), Caption(HintKey(f).c_str(), f.hint),
                    profiles[i].file, f.id);
                taken[i] = true;
            }
    for (std::size_t i = 0; i < profiles.size(); ++i)
        if (!taken[i])
            add(QString::fromStdString(profiles[i].file.stem().string()),
                QString::fromStdString(profiles[i].file.string()), profiles[i].file,
                profiles[i].id);
    cbProfile_->setCurrentIndex(0);
    ProfileChanged(0);
}

void TNewWorldGameBox::Select(const std::string& id) {
    const int at = cbProfile_->findData(QString::fromStdString(id), kIdRole);
    cbProfile_->setCurrentIndex(at < 0 ? 0 : at);
}

void TNewWorldGameBox::ProfileChanged(int index) {
    if (index < 0) return;
    lblProfileHint_->setText(hints_.at(static_cast<std::size_t>(index)));
    const std::filesystem::path file =
        cbProfile_->itemData(index, kFileRole).toString().toStdString();
    const storage::GameServer server = storage::ServerOfProfile(file);
    editServer_->setText(U(server.name));
    editPort_->setText(QString::number(server.port));
}

storage::NewWorldGame TNewWorldGameBox::Game() const {
    storage::NewWorldGame game;
    game.profile = cbProfile_->currentData(kFileRole).toString().toStdString();
    game.server.name = B(editServer_->text().trimmed());
    bool ok = false;
    const int port = editPort_->text().toInt(&ok);
    game.server.port =
        ok && port > 0 && port <= 65535 ? port : storage::ServerOfProfile(game.profile).port;
    return game;
}

} // namespace view
