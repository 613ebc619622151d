#include "view/QuarvelinForm.h"

#include "text/Cp1251.h"
#include "view/MapPage.h"
#include "view/ObjectPage.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>
#include <QToolBar>

namespace view {

// Status bar panel 0: a light that is green while tracing is on and red while it is off.
class TracingLight : public QWidget {
public:
    explicit TracingLight(QWidget* parent) : QWidget(parent) { setFixedSize(19, 16); }
    void SetOn(bool on) {
        on_ = on;
        update();
    }
    bool On() const { return on_; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(on_ ? QColor(0, 190, 0) : QColor(200, 0, 0));
        p.setPen(Qt::black);
        p.drawEllipse(QRectF(3, 2, 12, 12));
    }

private:
    bool on_ = false;
};

namespace {
QString U(const std::string& cp1251) {
    return text::ToUnicode(cp1251);
}
} // namespace

TQuarvelinForm::TQuarvelinForm(app::Session::Options options, QWidget* parent)
    : QMainWindow(parent) {
    setWindowTitle("Loading...");
    session_ = std::make_unique<app::Session>(std::move(options), *this);

    splitter_ = new QSplitter(Qt::Vertical, this);
    // The two pages: the map and the object base.
    tabSet1_ = new QTabWidget(splitter_);
    tabSet1_->setObjectName("TabSet1");
    tabSet1_->setDocumentMode(true);
    mapPage_ = new TMapPage(*session_, tabSet1_);
    mapPage_->setMinimumSize(400, 250);
    objectPage_ = new TObjectPage(session_->Objects(), session_->Texts(), tabSet1_);
    tabSet1_->addTab(mapPage_, QString());
    tabSet1_->addTab(objectPage_, QString());
    memo1_ = new QPlainTextEdit(splitter_);
    memo1_->setReadOnly(true);
    memo1_->setMaximumBlockCount(static_cast<int>(relay::DebugLog::kMaxLines));
    memo1_->setObjectName("Memo1");
    splitter_->setStretchFactor(0, 4);
    splitter_->setStretchFactor(1, 1);
    setCentralWidget(splitter_);
    resize(900, 650);

    BuildMenus();
    BuildStatusBar();
    connect(mapPage_, &TMapPage::StatusChanged, roomPanel_, &QLabel::setText);
    connect(mapPage_, &TMapPage::LevelsChanged, this, [this](bool up, bool down) {
        tbLevelUp_->setEnabled(up);
        tbLevelDown_->setEnabled(down);
    });

    relay::DebugLog& log = session_->Log();
    log.OnLine = [this](const std::string& line, bool shown) {
        memo1_->appendPlainText(U(line));
        if (shown) {
            memo1_->setVisible(true);
            memo1_->verticalScrollBar()->setValue(memo1_->verticalScrollBar()->maximum());
        }
    };

    ApplyCaptions();
    session_->Start();
    ApplySettings();
}

TQuarvelinForm::~TQuarvelinForm() {
    // Closing without a close event (an application quit) still shuts down properly.
    if (!shutDown_) {
        shutDown_ = true;
        session_->Shutdown();
    }
    // Child widgets are deleted after the members; the pages that hold on to the session's
    // objects go first, while the session is still there.
    delete tabSet1_;
    tabSet1_ = nullptr;
    objectPage_ = nullptr;
    mapPage_ = nullptr;
}

void TQuarvelinForm::BuildMenus() {
    nFile_ = menuBar()->addMenu(QString());
    nStopTrace_ = nFile_->addAction(QString());
    nStopTrace_->setObjectName("nStopTrace");
    nStopTrace_->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F9));
    connect(nStopTrace_, &QAction::triggered, this, [this] { nStopTraceClick(); });
    nFile_->addSeparator();
    nExit_ = nFile_->addAction(QString());
    nExit_->setObjectName("nExit");
    connect(nExit_, &QAction::triggered, this, &QWidget::close);

    QToolBar* bar = addToolBar("tools");
    bar->setObjectName("ToolBar1");
    btnStopTrace_ = bar->addAction(style()->standardIcon(QStyle::SP_MediaStop), QString());
    btnStopTrace_->setObjectName("btnStopTrace");
    connect(btnStopTrace_, &QAction::triggered, this, [this] { nStopTraceClick(); });
    bar->addSeparator();
    btnCenter_ = bar->addAction(style()->standardIcon(QStyle::SP_DialogResetButton), QString());
    btnCenter_->setObjectName("btnCenter");
    btnCenter_->setShortcut(QKeySequence(Qt::Key_F8));
    connect(btnCenter_, &QAction::triggered, this, [this] { mapPage_->CenterClick(); });
    tbLevelUp_ = bar->addAction(style()->standardIcon(QStyle::SP_ArrowUp), QString());
    tbLevelUp_->setObjectName("tbLevelUp");
    connect(tbLevelUp_, &QAction::triggered, this, [this] { mapPage_->tbLevelClick(+1); });
    tbLevelDown_ = bar->addAction(style()->standardIcon(QStyle::SP_ArrowDown), QString());
    tbLevelDown_->setObjectName("tbLevelDown");
    connect(tbLevelDown_, &QAction::triggered, this, [this] { mapPage_->tbLevelClick(-1); });
    tbLevelUp_->setEnabled(false);
    tbLevelDown_->setEnabled(false);
}

void TQuarvelinForm::BuildStatusBar() {
    light_ = new TracingLight(statusBar());
    mccpPanel_ = new QLabel(" mccp: none", statusBar());
    mccpPanel_->setMinimumWidth(92);
    roomPanel_ = new QLabel(statusBar());
    roomPanel_->setMinimumWidth(50);
    statusBar()->addWidget(light_);
    statusBar()->addWidget(mccpPanel_);
    statusBar()->addWidget(roomPanel_, 1);
}

void TQuarvelinForm::ApplyCaptions() {
    // Every control key is looked up (and so written back to the language file) when the window
    // is made; the controls take their texts from here.
    app::Session& s = *session_;
    for (const storage::BuiltinText& t : storage::MainFormControls())
        captions_[t.key] = s.GetCaption("MainForm", t.key, t.text);
    nFile_->setTitle(U(captions_["nFile"]));
    btnCenter_->setToolTip(U(captions_["nCenter"] + " F8"));
    tbLevelUp_->setToolTip(U(captions_["tbLevelUp"]));
    tbLevelDown_->setToolTip(U(captions_["tbLevelDown"]));
    tabSet1_->setTabText(0, U(captions_["tabMap"]));
    tabSet1_->setTabText(1, U(captions_["tabObjects"]));
    nStopTrace_->setText(U(captions_["nStopTrace"]));
    btnStopTrace_->setToolTip(U(captions_["nStopTrace"] + " Shift+F9"));
    nExit_->setText(U(captions_["nExit"]));
}

void TQuarvelinForm::ApplySettings() {
    const storage::AppSettings& st = session_->Settings();
    if (st.Left && st.Top) move(*st.Left, *st.Top);
    if (st.Width && st.Height && *st.Width > 100 && *st.Height > 100) resize(*st.Width, *st.Height);
    mapPage_->PanelMain()->ImageIndex = st.PanelBitmap;
    memo1_->setVisible(st.DebugVisible);
}

void TQuarvelinForm::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (!activated_) {
        activated_ = true;
        // The world loads once the window is on screen, as on its first activation.
        QTimer::singleShot(0, this, [this] { FormActivate(); });
    }
}

void TQuarvelinForm::FormActivate() {
    session_->FirstActivation();
    session_->SetCaption();
    // From now on the view follows the player.
    mapPage_->View().windowMode = kNormal;
    mapPage_->CenterBox();
}

void TQuarvelinForm::closeEvent(QCloseEvent* e) {
    if (!shutDown_) {
        shutDown_ = true;
        session_->Shutdown();
    }
    e->accept();
}

void TQuarvelinForm::nStopTraceClick() {
    session_->ModeClick(false);
}

void TQuarvelinForm::SetCaption(const std::string& caption) {
    setWindowTitle(U(caption));
}

void TQuarvelinForm::SetTracing(bool on) {
    nStopTrace_->setEnabled(on);
    btnStopTrace_->setEnabled(on);
    light_->SetOn(on);
}

void TQuarvelinForm::SetMccpStatus(const std::string& status) {
    mccpPanel_->setText(U(status));
}

void TQuarvelinForm::ShowError(const std::string& message) {
    QMessageBox box(QMessageBox::Critical, "Quarvelin", U(message), QMessageBox::Ok, this);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

void TQuarvelinForm::Repaint() {
    mapPage_->PanelMain()->update();
}

bool TQuarvelinForm::CollectWindowPlace(int& top, int& left, int& height, int& width) {
    if (isMinimized() || isMaximized() || isFullScreen()) return false;
    top = y();
    left = x();
    height = this->height();
    width = this->width();
    return true;
}

void TQuarvelinForm::SetWindowMode(int mode) {
    mapPage_->View().windowMode = mode;
}

void TQuarvelinForm::CenterBox() {
    mapPage_->CenterBox();
}

void TQuarvelinForm::Shift() {
    mapPage_->Shift();
}

void TQuarvelinForm::ShowRoom(const map::TMudRoom2& room) {
    mapPage_->ShowRoom(room);
}

void TQuarvelinForm::ProfileRead() {
    mapPage_->LoadSkin();
}

void TQuarvelinForm::SetClipboard(const std::string& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(U(text));
}

} // namespace view
