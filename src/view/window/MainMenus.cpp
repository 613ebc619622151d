// The main window's menus, tool bar and shortcuts: one action per command, shared by the menu
// item and the tool button, with its caption from the language file.

#include "text/Cp1251.h"
#include "view/dialogs/AboutForm.h"
#include "view/map/MapPage.h"
#include "view/window/NotePanel.h"
#include "view/window/QuarvelinForm.h"
#include "view/window/RoomSearch.h"
#include "view/window/UiText.h"
#include "view/window/ZoneTreePanel.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStyle>
#include <QToolBar>

namespace view {

namespace {

// Pictures the platform style has nothing for, drawn small and plain.
QIcon Drawn(const std::function<void(QPainter&)>& draw) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return QIcon(pm);
}

QIcon CenterIcon() {
    return Drawn([](QPainter& p) {
        p.setPen(QPen(QColor(40, 40, 40), 1.5));
        p.drawEllipse(QRectF(3, 3, 10, 10));
        p.drawLine(QPointF(8, 0.5), QPointF(8, 5));
        p.drawLine(QPointF(8, 11), QPointF(8, 15.5));
        p.drawLine(QPointF(0.5, 8), QPointF(5, 8));
        p.drawLine(QPointF(11, 8), QPointF(15.5, 8));
        p.setBrush(QColor(200, 0, 0));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QRectF(6, 6, 4, 4));
    });
}

// Autolink: two linked rooms while it is on (picture 9), the link broken while off (10).
QIcon AutolinkIcon(bool on) {
    return Drawn([on](QPainter& p) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(192, 192, 192));
        p.drawRect(QRectF(0.5, 5.5, 5, 5));
        p.drawRect(QRectF(10.5, 5.5, 5, 5));
        p.setPen(QPen(on ? QColor(0, 140, 0) : QColor(200, 0, 0), 2));
        if (on) {
            p.drawLine(QPointF(6, 8), QPointF(10, 8));
        } else {
            p.drawLine(QPointF(6, 8), QPointF(7.5, 8));
            p.drawLine(QPointF(8.5, 8), QPointF(10, 8));
            p.drawLine(QPointF(6.5, 4), QPointF(9.5, 12));
        }
    });
}

// The tree pane: shown (picture 3) or hidden (picture 4).
QIcon TreeIcon(bool shown) {
    return Drawn([shown](QPainter& p) {
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.drawRect(QRectF(0.5, 1.5, 15, 13));
        p.fillRect(QRectF(1, 2, 5, 12), shown ? QColor(90, 140, 220) : QColor(235, 235, 235));
        p.drawLine(QPointF(6.5, 2), QPointF(6.5, 14));
    });
}

QIcon OnTopIcon() {
    return Drawn([](QPainter& p) {
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(QColor(235, 235, 235));
        p.drawRect(QRectF(0.5, 6.5, 10, 8));
        p.setBrush(QColor(90, 140, 220));
        p.drawRect(QRectF(5.5, 1.5, 10, 8));
    });
}

QIcon SettingsIcon() {
    return Drawn([](QPainter& p) {
        p.setPen(QPen(QColor(60, 60, 60), 2.2));
        for (int i = 0; i < 4; ++i) {
            p.save();
            p.translate(8, 8);
            p.rotate(45 * i);
            p.drawLine(QPointF(-7, 0), QPointF(7, 0));
            p.restore();
        }
        p.setBrush(QColor(180, 180, 180));
        p.drawEllipse(QRectF(3.5, 3.5, 9, 9));
        p.setBrush(Qt::white);
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.drawEllipse(QRectF(6, 6, 4, 4));
    });
}
} // namespace

QAction* TQuarvelinForm::MakeAction(const char* name, QKeySequence key) {
    auto* a = new QAction(this);
    a->setObjectName(name);
    if (!key.isEmpty()) a->setShortcut(key);
    actions_[name] = a;
    return a;
}

QAction* TQuarvelinForm::Action(const QString& name) const {
    const auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

void TQuarvelinForm::BuildMenus() {
    QStyle* s = style();
    storage::WorldStore& world = session_->World();

    // ---- File ----
    QAction* nNewWorld = MakeAction("nNewWorld");
    connect(nNewWorld, &QAction::triggered, this, [&world] { world.nNewWorldClick(); });
    QAction* nLoadWorld = MakeAction("nLoadWorld");
    nLoadWorld->setIcon(s->standardIcon(QStyle::SP_DialogOpenButton));
    connect(nLoadWorld, &QAction::triggered, this, [&world] { world.nLoadWorldClick(); });
    // F3 only: Ctrl+S sorts the object tree on the other page.
    QAction* nSaveWorld = MakeAction("nSaveWorld", QKeySequence(Qt::Key_F3));
    nSaveWorld->setIcon(s->standardIcon(QStyle::SP_DialogSaveButton));
    connect(nSaveWorld, &QAction::triggered, this, [&world] { world.nSaveWorldClick(); });
    actions_["btnSaveWorld"] = nSaveWorld;
    QAction* nSaveWorldAs = MakeAction("nSaveWorldAs", QKeySequence(Qt::ALT | Qt::Key_F3));
    connect(nSaveWorldAs, &QAction::triggered, this, [&world] { world.nSaveWorldAsClick(); });
    QAction* nNewZone = MakeAction("nNewZone", QKeySequence(Qt::Key_F2));
    connect(nNewZone, &QAction::triggered, this, [this] { nNewZoneClick(); });
    QAction* nUndoMap = MakeAction("nUndoMap");
    nUndoMap->setIcon(s->standardIcon(QStyle::SP_BrowserReload));
    connect(nUndoMap, &QAction::triggered, this, [&world] { world.btnUndoClick(); });
    actions_["btnUndo"] = nUndoMap;
    QAction* nConfig = MakeAction("nConfig", QKeySequence(Qt::ALT | Qt::Key_F9));
    nConfig->setIcon(SettingsIcon());
    connect(nConfig, &QAction::triggered, this, [this] { nConfigClick(); });
    actions_["btnConfig"] = nConfig;
    nExit_ = MakeAction("nExit", QKeySequence(Qt::ALT | Qt::Key_F4));
    connect(nExit_, &QAction::triggered, this, &QWidget::close);

    nFile_ = menuBar()->addMenu(QString());
    nFile_->setObjectName("nFile");
    nFile_->addActions({nNewWorld, nLoadWorld, nSaveWorld, nSaveWorldAs});
    nFile_->addSeparator();
    nFile_->addActions({nNewZone, nUndoMap});
    nFile_->addSeparator();
    nFile_->addAction(nConfig);
    nFile_->addSeparator();
    nFile_->addAction(nExit_);

    // ---- Window ----
    btnCenter_ = MakeAction("nCenter", QKeySequence(Qt::Key_F8));
    btnCenter_->setIcon(CenterIcon());
    connect(btnCenter_, &QAction::triggered, this, [this] { mapPage_->CenterClick(); });
    actions_["btnCenter"] = btnCenter_;
    tbLevelUp_ = MakeAction("tbLevelUp");
    tbLevelUp_->setIcon(s->standardIcon(QStyle::SP_ArrowUp));
    connect(tbLevelUp_, &QAction::triggered, this, [this] { mapPage_->tbLevelClick(+1); });
    actions_["actLevelUp"] = tbLevelUp_;
    tbLevelDown_ = MakeAction("tbLevelDown");
    tbLevelDown_->setIcon(s->standardIcon(QStyle::SP_ArrowDown));
    connect(tbLevelDown_, &QAction::triggered, this, [this] { mapPage_->tbLevelClick(-1); });
    actions_["actLevelDown"] = tbLevelDown_;
    tbLevelUp_->setEnabled(false);
    tbLevelDown_->setEnabled(false);

    QAction* actTree = MakeAction("actTree", QKeySequence(Qt::Key_F5));
    actTree->setCheckable(true);
    connect(actTree, &QAction::triggered, this, [this](bool on) { actTreeExecute(on); });
    QAction* nShowNote = MakeAction("nShowNote");
    nShowNote->setCheckable(true);
    connect(nShowNote, &QAction::triggered, this, [this](bool on) {
        session_->Settings().ShowNote = on;
        memoNote_->setVisible(on);
    });
    QAction* nShowLog = MakeAction("nShowLog");
    nShowLog->setCheckable(true);
    connect(nShowLog, &QAction::triggered, this, [this](bool on) {
        session_->Settings().DebugVisible = on;
        memo1_->setVisible(on);
    });
    QAction* nAutolink = MakeAction("nAutolink", QKeySequence(Qt::Key_F6));
    nAutolink->setCheckable(true);
    connect(nAutolink, &QAction::triggered, this, [this] { btnShortModeClick(); });
    actions_["btnShortMode"] = nAutolink;
    nStopTrace_ = MakeAction("nStopTrace", QKeySequence(Qt::SHIFT | Qt::Key_F9));
    nStopTrace_->setIcon(s->standardIcon(QStyle::SP_MediaStop));
    connect(nStopTrace_, &QAction::triggered, this, [this] { nStopTraceClick(); });
    btnStopTrace_ = nStopTrace_;
    actions_["btnStopTrace"] = nStopTrace_;
    QAction* actOnTop = MakeAction("actOnTop", QKeySequence(Qt::Key_F7));
    actOnTop->setCheckable(true);
    actOnTop->setIcon(OnTopIcon());
    connect(actOnTop, &QAction::triggered, this, [this](bool on) { actOnTopExecute(on); });

    nWindow_ = menuBar()->addMenu(QString());
    nWindow_->setObjectName("nWindow");
    nWindow_->addActions({btnCenter_, tbLevelUp_, tbLevelDown_});
    nWindow_->addSeparator();
    roomSearch_ = new TRoomSearch(*session_, this);
    for (auto field : {storage::SearchField::Name, storage::SearchField::Description,
                       storage::SearchField::Note})
        nWindow_->addAction(roomSearch_->FindAction(field));
    nWindow_->addSeparator();
    nWindow_->addActions({actTree, nShowNote, nShowLog});
    nWindow_->addSeparator();
    nWindow_->addActions({nAutolink, nStopTrace_});
    nWindow_->addSeparator();
    nWindow_->addAction(actOnTop);
    // Window transparency is not available on this platform: the submenu stays disabled, the
    // chosen value is kept in the settings only.
    nTransparency_ = nWindow_->addMenu(QString());
    nTransparency_->setObjectName("nTransparency");
    trGroup_ = new QActionGroup(this);
    for (int percent = 0; percent <= 80; percent += 10) {
        const std::string name = "nTr" + std::to_string(percent);
        QAction* a = MakeAction(name.c_str());
        a->setCheckable(true);
        a->setData(percent); // `Tag`
        trGroup_->addAction(a);
        nTransparency_->addAction(a);
        connect(a, &QAction::triggered, this, [this, percent] { nTrClick(percent); });
    }
    nTransparency_->setEnabled(!session_->Settings().NoTransparencyInEffect());

    // ---- Help ----
    // The help file does not exist; the item keeps F1 from doing anything surprising.
    QAction* nHelpMain = MakeAction("nHelpMain", QKeySequence(Qt::Key_F1));
    nHelpMain->setEnabled(false);
    QAction* nAbout = MakeAction("nAbout");
    connect(nAbout, &QAction::triggered, this, [this] {
        TAboutForm about(session_->Texts(), session_->Settings(), this);
        about.exec();
    });
    nHelp_ = menuBar()->addMenu(QString());
    nHelp_->setObjectName("nHelp");
    nHelp_->addActions({nHelpMain, nAbout});

    // ---- Tool bar ----
    QToolBar* bar = addToolBar("tools");
    bar->setObjectName("ToolBar1");
    bar->setMovable(false);
    bar->addActions({nSaveWorld, nUndoMap, nConfig});
    bar->addSeparator();
    bar->addAction(nStopTrace_);
    bar->addSeparator();
    bar->addActions({btnCenter_, tbLevelUp_, tbLevelDown_});
    bar->addSeparator();
    bar->addActions({nAutolink, actTree, actOnTop});
    bar->addSeparator();
    cbSkins_ = new QComboBox(bar);
    cbSkins_->setObjectName("cbSkins");
    cbSkins_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    cbSkins_->setFocusPolicy(Qt::NoFocus); // the keyboard stays with the zone tree
    connect(cbSkins_, &QComboBox::activated, this, [this] { cbSkinsChange(); });
    bar->addWidget(cbSkins_);

    // ---- Keyboard scrolling of the map (Ctrl+arrows), wherever the focus is ----
    const struct {
        Qt::Key key;
        int dx, dy;
    } scrolls[] = {
        {Qt::Key_Left, -1, 0}, {Qt::Key_Right, 1, 0}, {Qt::Key_Up, 0, -1}, {Qt::Key_Down, 0, 1}};
    for (const auto& sc : scrolls) {
        auto* a = new QAction(this);
        a->setShortcut(QKeySequence(Qt::CTRL | sc.key));
        connect(a, &QAction::triggered, this, [this, sc] { ScrollMap(sc.dx, sc.dy); });
        addAction(a);
    }
    ApplyLevelShortcuts();
}

void TQuarvelinForm::ApplyLevelShortcuts() {
    // With SwapUpDown, Ctrl+numeric-pad minus goes up (as the map's Y grows downwards).
    const QKeySequence plus(
        QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Plus));
    const QKeySequence minus(
        QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Minus));
    const bool swap = session_->Settings().SwapUpDown;
    tbLevelUp_->setShortcut(swap ? minus : plus);
    tbLevelDown_->setShortcut(swap ? plus : minus);
}

void TQuarvelinForm::ApplyCaptions() {
    // Every control key is looked up (and so written back to the language file) when the window
    // is made; the controls take their texts from here.
    app::Session& s = *session_;
    for (const storage::BuiltinText& t : storage::MainFormControls())
        captions_[t.key] = s.GetCaption("MainForm", t.key, t.text);
    auto text = [this](const char* action, const char* key, const char* hintSuffix = nullptr) {
        QAction* a = Action(action);
        a->setText(U(captions_[key]));
        a->setToolTip(hintSuffix ? U(captions_[key] + hintSuffix) : U(captions_[key]));
    };
    nFile_->setTitle(U(captions_["nFile"]));
    nWindow_->setTitle(U(captions_["nWindow"]));
    nHelp_->setTitle(U(captions_["nHelp"]));
    text("nNewWorld", "nNewWorld");
    text("nLoadWorld", "nLoadWorld");
    text("nSaveWorld", "nSaveWorld", " F3");
    text("nSaveWorldAs", "nSaveWorldAs");
    text("nNewZone", "nNewZone");
    text("nUndoMap", "nUndoMap");
    text("nConfig", "nConfig", " Alt+F9");
    text("nExit", "nExit");
    text("nCenter", "nCenter", " F8");
    text("tbLevelUp", "tbLevelUp");
    text("tbLevelDown", "tbLevelDown");
    text("actTree", "nShowTree", " F5");
    text("nShowNote", "nShowNote");
    text("nShowLog", "nShowLog");
    text("nAutolink", "nAutolink", " F6");
    text("nStopTrace", "nStopTrace", " Shift+F9");
    text("actOnTop", "nStayOnTop", " F7");
    text("nHelpMain", "nHelpMain", " F1");
    text("nAbout", "nAbout");
    nTransparency_->setTitle(U(captions_["nTransparency"]));
    for (int percent = 0; percent <= 80; percent += 10)
        Action("nTr" + QString::number(percent))
            ->setText(U(captions_["nTransparency"] + " " + std::to_string(percent) + "%"));
    tabSet1_->setTabText(0, U(captions_["tabMap"]));
    tabSet1_->setTabText(1, U(captions_["tabObjects"]));
}

// The checks and pictures of the switches follow the state they show.
void TQuarvelinForm::SyncSwitches() {
    const storage::AppSettings& st = session_->Settings();
    Action("actTree")->setChecked(leftPanel_->isVisibleTo(this));
    Action("actTree")->setIcon(TreeIcon(leftPanel_->isVisibleTo(this)));
    Action("actOnTop")->setChecked(st.StayOnTop);
    Action("nShowNote")->setChecked(st.ShowNote);
    Action("nShowLog")->setChecked(memo1_->isVisibleTo(this));
    const bool autolink = !session_->Profile().NoDescription;
    Action("nAutolink")->setChecked(autolink);
    Action("nAutolink")->setIcon(AutolinkIcon(autolink));
    for (QAction* a : trGroup_->actions())
        a->setChecked(a->data().toInt() == st.Transparency);
}

void TQuarvelinForm::actOnTopExecute(bool checked) {
    session_->Settings().StayOnTop = checked;
    // Changing the flag re-creates the native window; it comes back where it was, unactivated.
    const bool shown = isVisible();
    const QRect place = geometry();
    const bool noActivate = testAttribute(Qt::WA_ShowWithoutActivating);
    setWindowFlag(Qt::WindowStaysOnTopHint, checked);
    if (shown) {
        setAttribute(Qt::WA_ShowWithoutActivating, true);
        setGeometry(place);
        show();
        setAttribute(Qt::WA_ShowWithoutActivating, noActivate);
    }
    SyncSwitches();
}

void TQuarvelinForm::actTreeExecute(bool checked) {
    session_->Settings().TreeVisible = checked;
    leftPanel_->setVisible(checked);
    SyncSwitches();
    FocusTree();
}

void TQuarvelinForm::btnShortModeClick() {
    profile::WorldProfile& p = session_->Profile();
    p.NoDescription = !p.NoDescription;
    SyncSwitches();
}

void TQuarvelinForm::nTrClick(int percent) {
    session_->Settings().Transparency = percent;
    SyncSwitches();
}

void TQuarvelinForm::nNewZoneClick() {
    // The new zone's node is named at once: the tree must be on screen.
    if (!leftPanel_->isVisibleTo(this)) actTreeExecute(true);
    FocusTree();
    session_->Zones().nNewZoneClick(true);
}

} // namespace view
