#include "view/dialogs/AutomapForm.h"

#include "profile/WorldProfile.h"
#include "text/Cp1251.h"
#include "view/dialogs/DialogCaptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace view {

namespace {
constexpr const char* kSection = "AutomapForm";

std::string Bytes(const QString& s) {
    return text::FromUnicode(s);
}
} // namespace

TAutomapForm::TAutomapForm(const storage::Language& texts, const profile::WorldProfile& profile,
                           const std::vector<std::string>& zones, QWidget* parent)
    : QDialog(parent), profile_(profile) {
    setObjectName("AutomapForm");
    auto caption = [&texts](const char* key, const char* def) {
        return DialogCaption(texts, kSection, key, def);
    };
    setWindowTitle(caption("Caption", " Автозагрузка карты"));

    exit_ = new QComboBox(this);
    // Its items are the world profile's direction phrases, game words that no interface
    // language replaces.
    exit_->setProperty("gameWords", true);
    exit_->setObjectName("ComboBoxExit");
    exit_->setEditable(true);
    exit_->setInsertPolicy(QComboBox::NoInsert);
    for (const std::string& phrase : profile.Directions)
        exit_->addItem(text::ToUnicode(phrase));
    exit_->setMinimumWidth(180);

    sendMove_ = new QCheckBox(caption("CheckBoxSendMove", "Отсылать команду движения"), this);
    sendMove_->setObjectName("CheckBoxSendMove");
    sendMove_->setChecked(true);

    commandLabel_ = new QLabel(caption("lblSendTrigger", "Послать команду"), this);
    commandLabel_->setObjectName("lblSendTrigger");
    command_ = new QLineEdit(this);
    command_->setObjectName("EditSendTrigger");
    commandLabel_->setBuddy(command_);

    zone_ = new QComboBox(this);
    zone_->setObjectName("ComboBoxMap");
    zone_->setEditable(true);
    zone_->setInsertPolicy(QComboBox::NoInsert);
    for (const std::string& zone : zones)
        zone_->addItem(text::ToUnicode(zone));

    // A digit or a sign, then up to three digits.
    room_ = new QLineEdit(this);
    room_->setObjectName("EditX");
    room_->setMaxLength(4);
    room_->setValidator(
        new QRegularExpressionValidator(QRegularExpression("[-+0-9][0-9]{0,3}"), room_));
    room_->setMaximumWidth(70);

    auto* lblOnExit = new QLabel(caption("lblOnExit", "При выходе"), this);
    lblOnExit->setObjectName("lblOnExit");
    lblOnExit->setBuddy(exit_);
    auto* lblLoadZone = new QLabel(caption("lblLoadZone", "Загрузить карту"), this);
    lblLoadZone->setObjectName("lblLoadZone");
    lblLoadZone->setBuddy(zone_);
    auto* lblEnterTheRoom = new QLabel(caption("lblEnterTheRoom", "Войти в комнату"), this);
    lblEnterTheRoom->setObjectName("lblEnterTheRoom");
    lblEnterTheRoom->setBuddy(room_);

    auto* grid = new QGridLayout;
    grid->addWidget(lblOnExit, 0, 0);
    grid->addWidget(exit_, 0, 1, 1, 2);
    grid->addWidget(sendMove_, 1, 1, 1, 2);
    grid->addWidget(commandLabel_, 2, 0);
    grid->addWidget(command_, 2, 1, 1, 2);
    grid->addWidget(lblLoadZone, 3, 0);
    grid->addWidget(zone_, 3, 1, 1, 2);
    grid->addWidget(lblEnterTheRoom, 4, 0);
    auto* roomRow = new QHBoxLayout;
    roomRow->addWidget(new QLabel("#", this));
    roomRow->addWidget(room_);
    roomRow->addStretch(1);
    grid->addLayout(roomRow, 4, 1, 1, 2);
    grid->setColumnStretch(1, 1);

    ok_ = new QPushButton(caption("btnOk", "OK"), this);
    ok_->setObjectName("btnOk");
    ok_->setDefault(true);
    auto* cancel = new QPushButton(caption("btnCancel", "Отмена"), this);
    cancel->setObjectName("btnCancel");
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(exit_, &QComboBox::currentTextChanged, this, [this] { ApplyRules(); });
    connect(zone_, &QComboBox::currentTextChanged, this, [this] { ApplyRules(); });
    connect(command_, &QLineEdit::textChanged, this, [this] { ApplyRules(); });
    SetValues({});
}

void TAutomapForm::SetValues(const storage::AutomapValues& v) {
    exit_->setCurrentText(text::ToUnicode(v.exit));
    zone_->setCurrentText(text::ToUnicode(v.zone));
    command_->setText(text::ToUnicode(v.command));
    room_->setText(text::ToUnicode(v.room));
    sendMove_->setChecked(v.sendMove);
    ApplyRules();
}

storage::AutomapValues TAutomapForm::Values() const {
    storage::AutomapValues v;
    v.exit = Bytes(exit_->currentText());
    v.zone = Bytes(zone_->currentText());
    v.room = Bytes(room_->text());
    // A command goes only with a direction; a disabled field sends nothing.
    v.command = command_->isEnabled() ? Bytes(command_->text()) : std::string();
    v.sendMove = sendMove_->isChecked();
    return v;
}

void TAutomapForm::ApplyRules() {
    const storage::AutomapFormState s =
        storage::AutomapFormRules(profile_, Bytes(exit_->currentText()),
                                  Bytes(zone_->currentText()), Bytes(command_->text()));
    commandLabel_->setEnabled(s.commandEnabled);
    command_->setEnabled(s.commandEnabled);
    sendMove_->setEnabled(s.sendMoveEnabled);
    if (s.checkSendMove) sendMove_->setChecked(true);
    ok_->setEnabled(s.okEnabled);
}

} // namespace view
