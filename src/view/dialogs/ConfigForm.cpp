#include "view/dialogs/ConfigForm.h"

#include "app/core/Session.h"
#include "text/Cp1251.h"
#include "view/window/UiText.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace view {

namespace {
constexpr char kSection[] = "ConfigForm";

} // namespace

TConfigForm::TConfigForm(app::Session& session, app::AppUi& ui, QWidget* parent)
    : QDialog(parent), session_(session), ui_(ui) {
    setObjectName("ConfigForm");
    setWindowTitle(Caption("Caption", " Параметры"));
    chooseColor = [this](const QColor& initial) -> std::optional<QColor> {
        const QColor c = QColorDialog::getColor(initial, this, "Quarvelin");
        if (!c.isValid()) return std::nullopt;
        return c;
    };
    chooseSkinFile = [this](const QString& title, const QString& startPath) {
        return QFileDialog::getOpenFileName(this, title, startPath, "ini files (*.ini)");
    };

    pages_ = new QTabWidget(this);
    pages_->setObjectName("PageControl1");
    const std::pair<QWidget*, const char*> pages[] = {
        {ConnectionPage(), "Соединение"}, {MovesPage(), "Движение"},
        {AutomationPage(), "Автоматика"}, {MessagesPage(), "Сообщения"},
        {GeneralPage(), "Общие"},         {FollowPage(), "Следование"},
        {ControlPage(), "Управление"},    {KnowledgePage(), "Познание"},
    };
    for (int i = 0; i < 8; ++i) {
        const std::string key = "TabSheet" + std::to_string(i + 1);
        pages[i].first->setObjectName(QString::fromStdString(key));
        pages_->addTab(pages[i].first, Caption(key.c_str(), pages[i].second));
    }

    auto* ok = new QPushButton(Caption("ButtonOk", "OK"), this);
    ok->setObjectName("ButtonOk");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { ButtonOkClick(); });
    auto* cancel = new QPushButton(Caption("ButtonCancel", "Отмена"), this);
    cancel->setObjectName("ButtonCancel");
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_);
    layout->addLayout(buttons);

    filled_ = app::FillConfig(session_);
    FillFirstPages(filled_);
    FillGeneralPage(filled_);
    FillLastPages(filled_);
    pages_->setCurrentIndex(0);
}

TConfigForm::~TConfigForm() = default;

QString TConfigForm::Caption(const char* key, const char* utf8Default) const {
    return U(session_.GetCaption(kSection, key, text::W(utf8Default)));
}

QLabel* TConfigForm::Label(const char* key, const char* utf8Default, QWidget* buddy) {
    auto* label = new QLabel(Caption(key, utf8Default), this);
    label->setObjectName(key);
    if (buddy) label->setBuddy(buddy);
    return label;
}

QGroupBox* TConfigForm::Group(const char* key, const char* utf8Default) {
    // The built-in group titles carry the blanks that framed them on the old frames; a
    // group box frames its title itself.
    auto* group = new QGroupBox(Caption(key, utf8Default).trimmed(), this);
    group->setObjectName(key);
    return group;
}

QCheckBox* TConfigForm::Check(const char* key, const char* utf8Default) {
    auto* box = new QCheckBox(Caption(key, utf8Default), this);
    box->setObjectName(key);
    return box;
}

QLineEdit* TConfigForm::Edit(const char* name) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    return edit;
}

QPlainTextEdit* TConfigForm::Memo(const char* name) {
    auto* memo = new QPlainTextEdit(this);
    memo->setObjectName(name);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setTabChangesFocus(true);
    return memo;
}

QGroupBox* TConfigForm::SixWords(const char* groupKey, const char* groupDefault,
                                 const char* editPrefix, const char* labelPrefix,
                                 std::array<QLineEdit*, 6>& edits) {
    // Shown north, south, west, east, up, down, as players list them.
    static constexpr struct {
        int index; // in the profile's arrays
        const char* suffix;
        const char* caption;
    } kWords[] = {{profile::kNorth, "N", "Север"}, {profile::kSouth, "S", "Юг"},
                  {profile::kWest, "W", "Запад"},  {profile::kEast, "E", "Восток"},
                  {profile::kUp, "U", "Вверх"},    {profile::kDown, "D", "Вниз"}};
    QGroupBox* group = Group(groupKey, groupDefault);
    auto* grid = new QGridLayout(group);
    for (int i = 0; i < 6; ++i) {
        const std::string edit = std::string(editPrefix) + kWords[i].suffix;
        const std::string label = std::string(labelPrefix) + kWords[i].suffix;
        QLineEdit* e = Edit(edit.c_str());
        edits[static_cast<std::size_t>(kWords[i].index)] = e;
        grid->addWidget(Label(label.c_str(), kWords[i].caption, e), i % 3, (i / 3) * 2);
        grid->addWidget(e, i % 3, (i / 3) * 2 + 1);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return group;
}

void TConfigForm::EditSWLengthChange(QLineEdit* edit) {
    const QString typed = edit->text();
    QString digits;
    int cursor = edit->cursorPosition();
    for (int i = 0; i < typed.size(); ++i) {
        if (typed[i] >= '0' && typed[i] <= '9')
            digits += typed[i];
        else if (i < edit->cursorPosition())
            --cursor;
    }
    if (digits == typed) return;
    edit->setText(digits);
    edit->setCursorPosition(cursor);
}

app::ConfigValues TConfigForm::Values() const {
    app::ConfigValues v = filled_;
    CollectFirstPages(v);
    CollectGeneralPage(v);
    CollectLastPages(v);
    return v;
}

void TConfigForm::ButtonOkClick() {
    const app::ConfigProblem problem = app::CheckConfig(Values());
    if (problem == app::ConfigProblem::None) {
        accept();
        return;
    }
    // A port field must hold a port number before the dialog can close.
    const bool client = problem == app::ConfigProblem::ClientPort;
    QLineEdit* field = client ? editSP_ : editCP_;
    const QString where = (client ? gbClient_ : gbServer_)->title();
    const QString message =
        U(session_.GetCaption(kSection, "PortNotNumber",
                              text::W("Укажите номер порта: число от 0 до 65535."))) +
        " <" + where + ">";
    pages_->setCurrentIndex(0);
    QMessageBox box(QMessageBox::Critical, "Quarvelin", message, QMessageBox::Ok, this);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}

void TConfigForm::Apply(app::ConfigUi& ui) {
    app::ConfigValues v = Values();
    app::ApplyConfig(session_, v, ui);
    editCN_->setText(U(v.serverName));
}

} // namespace view
