// The settings dialog's first four pages: the connection, the movement words, the recognition
// of rooms and exits, and the messages of refused moves and flight.

#include "app/core/AppUi.h"
#include "app/core/ProfileLearning.h"
#include "app/core/Session.h"
#include "map/WorldConversions.h"
#include "text/Cp1251.h"
#include "view/dialogs/ConfigForm.h"
#include "view/dialogs/ExitWizardForm.h"
#include "view/dialogs/LearnProfileForm.h"
#include "view/window/UiText.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace view {

namespace {
QString Lines(const std::vector<std::string>& lines) {
    return U(app::MemoText(lines)).replace("\r\n", "\n");
}
std::vector<std::string> Lines(const QPlainTextEdit* memo) {
    return app::MemoLines(B(memo->toPlainText()));
}
} // namespace

QWidget* TConfigForm::ConnectionPage() {
    auto* page = new QWidget(this);
    // Ports: digits only. Five of them, so that every port a profile may name can be shown and
    // kept (a four-digit field would cut 12345 to 1234 on OK).
    auto* portMask = new QRegularExpressionValidator(QRegularExpression("[0-9]{0,5}"), this);

    gbClient_ = Group("gbClient", " Клиент ");
    editSP_ = Edit("EditSP");
    editSP_->setValidator(portMask);
    editSP_->setMaxLength(5);
    edit1_ = Edit("Edit1");
    edit1_->setReadOnly(true);
    edit1_->setText("localhost");
    auto* client = new QFormLayout(gbClient_);
    client->addRow(Label("lblClientName", "Имя (адрес)", edit1_), edit1_);
    client->addRow(Label("lblClientPort", "Порт", editSP_), editSP_);

    gbServer_ = Group("gbServer", " Сервер ");
    editCN_ = Edit("EditCN");
    editCP_ = Edit("EditCP");
    editCP_->setValidator(portMask);
    editCP_->setMaxLength(5);
    auto* server = new QFormLayout(gbServer_);
    server->addRow(Label("lblServerName", "Имя (адрес)", editCN_), editCN_);
    server->addRow(Label("lblServerPort", "Порт", editCP_), editCP_);

    QGroupBox* processing = Group("gbProcessing", " Обработка ");
    cbNoDoubleYa_ = Check("cbNoDoubleYa", "Убирать удвоенную «я» из текста игры при разборе");
    cbAddDoubleYa_ = Check("cbAddDoubleYa", "Удваивать «я» в сообщениях клиенту");
    cbAddDoubleYaLor_ = Check("cbAddDoubleYaLor", "Удваивать «я» при обмене объектами");
    cbMsdpEnabled_ = Check("cbMsdpEnabled", "Узнавать комнату у игры по MSDP");
    cbGmcpEnabled_ = Check("cbGmcpEnabled", "Узнавать комнату у игры по GMCP");
    auto* boxes = new QVBoxLayout(processing);
    boxes->addWidget(cbNoDoubleYa_);
    boxes->addWidget(cbAddDoubleYa_);
    boxes->addWidget(cbAddDoubleYaLor_);
    boxes->addWidget(cbMsdpEnabled_);
    boxes->addWidget(cbGmcpEnabled_);

    auto* top = new QHBoxLayout;
    top->addWidget(gbClient_, 1);
    top->addWidget(gbServer_, 2);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addWidget(processing);
    layout->addStretch(1);
    return page;
}

QWidget* TConfigForm::MovesPage() {
    auto* page = new QWidget(this);
    QGroupBox* moves = SixWords("gbMoves", " Команды движения ", "Edit", "lblMove", moveEdits_);
    auto* grid = static_cast<QGridLayout*>(moves->layout());
    editSneak_ = Edit("EditSneak");
    editFlee_ = Edit("EditFlee");
    grid->addWidget(Label("lblMoveSneak", "Подкрасться", editSneak_), 3, 0);
    grid->addWidget(editSneak_, 3, 1);
    grid->addWidget(Label("lblMoveFlick", "Убежать", editFlee_), 3, 2);
    grid->addWidget(editFlee_, 3, 3);

    QGroupBox* tracing = Group("gbTracing", " Начало/конец трассировки ");
    editLook_ = Edit("EditLook");
    editStop_ = Edit("EditStop");
    editClear_ = Edit("EditClear");
    auto* form = new QFormLayout(tracing);
    form->addRow(Label("lblTraceStart", "Осмотреться (начать)", editLook_), editLook_);
    form->addRow(Label("lblTraceStop", "Остановить", editStop_), editStop_);
    form->addRow(Label("lblTraceClear", "Очистить (начать)", editClear_), editClear_);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(moves);
    layout->addWidget(tracing);
    layout->addStretch(1);
    return page;
}

QWidget* TConfigForm::AutomationPage() {
    auto* page = new QWidget(this);
    QGroupBox* room = Group("gbRoom", " Опознание комнаты ");
    editRoom1_ = Edit("EditRoom1");
    editRoom2_ = Edit("EditRoom2");
    editAutoexit1_ = Edit("EditAutoexit1");
    editAutoexit2_ = Edit("EditAutoexit2");
    editPromptExit1_ = Edit("EditPromptExit1");
    editPromptExit2_ = Edit("EditPromptExit2");
    cbUsePromptExit_ = Check("cbUsePromptExit", "Брать выходы из строки статуса");
    connect(cbUsePromptExit_, &QCheckBox::toggled, this, [this] { cbUsePromptExitClick(); });
    lblPromptExit_ = Label("lblPromptExit", "Автовыходы", editPromptExit1_);
    auto* button1 = new QPushButton(Caption("Button1", "..."), this);
    button1->setObjectName("Button1");
    button1->setToolTip(Caption("Button1Hint", "Заменить выходы во всех комнатах"));
    connect(button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    auto* grid = new QGridLayout(room);
    grid->addWidget(Label("lblStart", "Начало"), 0, 1);
    grid->addWidget(Label("lblEnd", "Конец"), 0, 2);
    grid->addWidget(Label("lblRoomName", "Имя комнаты", editRoom1_), 1, 0);
    grid->addWidget(editRoom1_, 1, 1);
    grid->addWidget(editRoom2_, 1, 2);
    grid->addWidget(Label("lblAutoexits", "Автовыходы", editAutoexit1_), 2, 0);
    grid->addWidget(editAutoexit1_, 2, 1);
    grid->addWidget(editAutoexit2_, 2, 2);
    grid->addWidget(button1, 2, 3);
    grid->addWidget(cbUsePromptExit_, 3, 0, 1, 3);
    grid->addWidget(lblPromptExit_, 4, 0);
    grid->addWidget(editPromptExit1_, 4, 1);
    grid->addWidget(editPromptExit2_, 4, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);

    QGroupBox* exits = SixWords("gbAutoexits", " Автовыходы ", "EditE", "lblExit", exitEdits_);
    cbAutoexitsIgnoreCase_ = Check("cbAutoexitsIgnoreCase", "Игнорировать регистр");
    static_cast<QGridLayout*>(exits->layout())->addWidget(cbAutoexitsIgnoreCase_, 3, 0, 1, 4);

    QGroupBox* dark = Group("gbDark", " Темно ");
    editDark_ = Edit("EditDark");
    editNoExits_ = Edit("EditNoExits");
    memoDark_ = Memo("MemoDark");
    memoDark_->setMinimumHeight(50);
    auto* darkForm = new QFormLayout(dark);
    darkForm->addRow(Label("lblDarkHere", "Темно", editDark_), editDark_);
    darkForm->addRow(Label("lblNoExits", "Нет выходов", editNoExits_), editNoExits_);
    darkForm->addRow(Label("lblDarkList", "Ещё признаки", memoDark_), memoDark_);

    // For the player who does not know what to write here: the program can tell from the game.
    auto* btnLearn = new QPushButton(Caption("btnLearn", "Узнать по игре..."), this);
    btnLearn->setObjectName("btnLearn");
    btnLearn->setToolTip(Caption("btnLearnHint", "Предложить значения по последним строкам игры"));
    connect(btnLearn, &QPushButton::clicked, this, [this] { btnLearnClick(); });
    auto* learnLabel = Label("lblLearn", "Не знаете, что писать? Quarvelin узнает это по игре, "
                                         "когда вы осмотритесь и пройдёте несколько комнат:");
    learnLabel->setWordWrap(true);
    auto* learn = new QHBoxLayout;
    learn->addWidget(learnLabel, 1);
    learn->addWidget(btnLearn);

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(learn);
    layout->addWidget(room);
    layout->addWidget(exits);
    layout->addWidget(dark, 1);
    return page;
}

QWidget* TConfigForm::MessagesPage() {
    auto* page = new QWidget(this);
    QGroupBox* cantMove = Group("gbMoveUnabled", " Движение невозможно ");
    memoCantMove_ = Memo("MemoCantMove");
    (new QVBoxLayout(cantMove))->addWidget(memoCantMove_);
    QGroupBox* flee = Group("gbFlick", " Побег с поля боя ");
    editRetreat_ = Edit("EditRetreat");
    auto* form = new QFormLayout(flee);
    form->addRow(Label("lblFlickMsg", "Сообщение", editRetreat_), editRetreat_);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(cantMove, 1);
    layout->addWidget(flee);
    return page;
}

void TConfigForm::cbUsePromptExitClick() {
    const bool on = cbUsePromptExit_->isChecked();
    lblPromptExit_->setEnabled(on);
    editPromptExit1_->setEnabled(on);
    editPromptExit2_->setEnabled(on);
}

void TConfigForm::Button1Click() {
    TExitWizardForm wizard(session_.Texts(), session_.Profile().ExitWords, ui_, this);
    if (wizard.exec() != QDialog::Accepted) return;
    // The rooms are converted now; the new words reach the profile only with OK.
    const std::array<std::string, 6> to = wizard.NewWords();
    for (std::size_t i = 0; i < 6; ++i)
        exitEdits_[i]->setText(U(to[i]));
    map::ConvertExitWords(session_.Map().World(), wizard.OldWords(), to);
    ui_.CenterBox();
}

void TConfigForm::btnLearnClick() {
    app::ConfigValues values = Values();
    const profile::WorldProfile now = app::RecognitionProfile(values, session_.Profile());
    const tracking::LearntProfile learnt = app::LearnFromRecentSession(session_, now);
    TLearnProfileForm form(session_.Texts(), now, learnt, this);
    if (form.exec() != QDialog::Accepted) return;
    app::ApplyLearnt(learnt, values, session_.Profile());
    FillFirstPages(values);
}

void TConfigForm::FillFirstPages(const app::ConfigValues& v) {
    editSP_->setText(QString::fromStdString(v.clientPort));
    editCN_->setText(U(v.serverName));
    editCP_->setText(QString::fromStdString(v.serverPort));
    // An open game connection keeps its ports and server.
    for (QLineEdit* e : {editSP_, editCN_, editCP_})
        e->setEnabled(!v.connectionOpen);
    cbNoDoubleYa_->setChecked(v.noDoubleYa);
    cbAddDoubleYa_->setChecked(v.addDoubleYa);
    cbAddDoubleYaLor_->setChecked(v.addDoubleYaLor);
    cbMsdpEnabled_->setChecked(v.msdpEnabled);
    cbGmcpEnabled_->setChecked(v.gmcpEnabled);

    for (std::size_t i = 0; i < 6; ++i) {
        moveEdits_[i]->setText(U(v.moveWords[i]));
        exitEdits_[i]->setText(U(v.exitWords[i]));
    }
    editSneak_->setText(U(v.sneakwalk));
    editFlee_->setText(U(v.fleewalk));
    editLook_->setText(U(v.look));
    editStop_->setText(U(v.stopTrace));
    editClear_->setText(U(v.clear));

    editRoom1_->setText(U(v.roomNameStart));
    editRoom2_->setText(U(v.roomNameEnd));
    editAutoexit1_->setText(U(v.autoexitStart));
    editAutoexit2_->setText(U(v.autoexitEnd));
    editPromptExit1_->setText(U(v.promptExitStart));
    editPromptExit2_->setText(U(v.promptExitEnd));
    cbUsePromptExit_->setChecked(v.usePromptExit);
    cbUsePromptExitClick();
    cbAutoexitsIgnoreCase_->setChecked(v.autoexitsIgnoreCase);
    editDark_->setText(U(v.dark));
    editNoExits_->setText(U(v.noExits));
    memoDark_->setPlainText(Lines(v.darkList));

    memoCantMove_->setPlainText(Lines(v.cantMove));
    editRetreat_->setText(U(v.retreat));
}

void TConfigForm::CollectFirstPages(app::ConfigValues& v) const {
    v.clientPort = B(editSP_->text());
    v.serverName = B(editCN_->text());
    v.serverPort = B(editCP_->text());
    v.noDoubleYa = cbNoDoubleYa_->isChecked();
    v.addDoubleYa = cbAddDoubleYa_->isChecked();
    v.addDoubleYaLor = cbAddDoubleYaLor_->isChecked();
    v.msdpEnabled = cbMsdpEnabled_->isChecked();
    v.gmcpEnabled = cbGmcpEnabled_->isChecked();

    for (std::size_t i = 0; i < 6; ++i) {
        v.moveWords[i] = B(moveEdits_[i]->text());
        v.exitWords[i] = B(exitEdits_[i]->text());
    }
    v.sneakwalk = B(editSneak_->text());
    v.fleewalk = B(editFlee_->text());
    v.look = B(editLook_->text());
    v.stopTrace = B(editStop_->text());
    v.clear = B(editClear_->text());

    v.roomNameStart = B(editRoom1_->text());
    v.roomNameEnd = B(editRoom2_->text());
    v.autoexitStart = B(editAutoexit1_->text());
    v.autoexitEnd = B(editAutoexit2_->text());
    v.promptExitStart = B(editPromptExit1_->text());
    v.promptExitEnd = B(editPromptExit2_->text());
    v.usePromptExit = cbUsePromptExit_->isChecked();
    v.autoexitsIgnoreCase = cbAutoexitsIgnoreCase_->isChecked();
    v.dark = B(editDark_->text());
    v.noExits = B(editNoExits_->text());
    v.darkList = Lines(memoDark_);

    v.cantMove = Lines(memoCantMove_);
    v.retreat = B(editRetreat_->text());
}

} // namespace view
