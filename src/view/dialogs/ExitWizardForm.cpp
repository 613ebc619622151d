#include "view/dialogs/ExitWizardForm.h"

#include "app/core/AppUi.h"
#include "files/Language.h"
#include "profile/WorldProfile.h"
#include "text/Cp1251.h"
#include "view/window/UiText.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace view {

namespace {
constexpr char kSection[] = "ExitWizardForm";

// Shown north, south, west, east, up, down.
constexpr struct {
    int index; // in the profile's order
    const char* suffix;
    const char* caption;
} kWords[] = {{profile::kNorth, "N", "Север"}, {profile::kSouth, "S", "Юг"},
              {profile::kWest, "W", "Запад"},  {profile::kEast, "E", "Восток"},
              {profile::kUp, "U", "Вверх"},    {profile::kDown, "D", "Вниз"}};

} // namespace

TExitWizardForm::TExitWizardForm(const storage::Language& texts,
                                 const std::array<std::string, 6>& current, app::AppUi& ui,
                                 QWidget* parent)
    : QDialog(parent), texts_(texts), ui_(ui) {
    setObjectName("ExitWizardForm");
    setWindowTitle(Caption("Caption", "Замена выходов"));

    auto note = [this](const char* key, const char* utf8) {
        auto* label = new QLabel(Caption(key, utf8), this);
        label->setObjectName(key);
        label->setWordWrap(true);
        return label;
    };
    QLabel* before =
        note("lblInfo1", "Если вы решили сменить тип опознания выходов, и у вас уже есть карты, то "
                         "вам необходимо произвести замену строк автовыходов во всех комнатах.");
    QLabel* after =
        note("lblInfo2", "Если вы потом передумаете, то вам следует произвести обратную замену. "
                         "Если вы все сделаете правильно, то целостность карт не нарушится.");

    // Made first: every field's change enables it or not.
    btnReplace_ = new QPushButton(Caption("btnReplace", "Заменить"), this);
    btnReplace_->setObjectName("btnReplace");
    connect(btnReplace_, &QPushButton::clicked, this, [this] { btnReplaceClick(); });

    auto group = [this](const char* key, const char* utf8, const char* editPrefix,
                        std::array<QLineEdit*, 6>& edits) {
        auto* box = new QGroupBox(Caption(key, utf8).trimmed(), this);
        box->setObjectName(key);
        auto* grid = new QGridLayout(box);
        for (int i = 0; i < 6; ++i) {
            const std::string name = std::string(editPrefix) + kWords[i].suffix +
                                     (std::string(key) == "gbNew" ? "New" : "");
            const std::string labelKey = std::string("lbl") + key + kWords[i].suffix;
            auto* edit = new QLineEdit(this);
            edit->setObjectName(QString::fromStdString(name));
            connect(edit, &QLineEdit::textChanged, this, [this] { FieldsChanged(); });
            edits[static_cast<std::size_t>(kWords[i].index)] = edit;
            auto* label = new QLabel(Caption(labelKey.c_str(), kWords[i].caption), this);
            label->setObjectName(QString::fromStdString(labelKey));
            label->setBuddy(edit);
            grid->addWidget(label, i, 0);
            grid->addWidget(edit, i, 1);
        }
        return box;
    };
    QGroupBox* currentBox = group("gbCurrent", " Текущие значения ", "EditE", old_);
    QGroupBox* newBox = group("gbNew", " Заменить на ", "EditE", new_);
    for (std::size_t i = 0; i < 6; ++i)
        old_[i]->setText(text::ToUnicode(current[i]));

    auto* cancel = new QPushButton(Caption("btnCancel", "Отмена"), this);
    cancel->setObjectName("btnCancel");
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* boxes = new QHBoxLayout;
    boxes->addWidget(currentBox);
    boxes->addWidget(newBox);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnReplace_);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(before);
    layout->addLayout(boxes);
    layout->addWidget(after);
    layout->addLayout(buttons);
    setMinimumWidth(460);
    FieldsChanged();
    // The words in effect are there already; the new ones are what is left to type.
    new_[profile::kNorth]->setFocus(Qt::OtherFocusReason);
}

QString TExitWizardForm::Caption(const char* key, const char* utf8Default) const {
    return text::ToUnicode(texts_.GetCaption(kSection, key, text::W(utf8Default)));
}

void TExitWizardForm::FieldsChanged() {
    bool all = true;
    for (std::size_t i = 0; i < 6; ++i)
        all = all && !old_[i]->text().isEmpty() && !new_[i]->text().isEmpty();
    btnReplace_->setEnabled(all);
}

void TExitWizardForm::btnReplaceClick() {
    if (ui_.Ask(texts_.GetCaption("ConfigForm", "ConvertMaps"), false) != storage::Answer::Yes)
        return;
    accept();
}

std::array<std::string, 6> TExitWizardForm::OldWords() const {
    std::array<std::string, 6> words;
    for (std::size_t i = 0; i < 6; ++i)
        words[i] = B(old_[i]->text());
    return words;
}

std::array<std::string, 6> TExitWizardForm::NewWords() const {
    std::array<std::string, 6> words;
    for (std::size_t i = 0; i < 6; ++i)
        words[i] = B(new_[i]->text());
    return words;
}

} // namespace view
