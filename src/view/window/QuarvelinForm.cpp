#include "view/window/QuarvelinForm.h"

#include "files/Language.h"
#include "text/Cp1251.h"
#include "view/dialogs/AboutForm.h"
#include "view/dialogs/SaveLoadForm.h"
#include "view/map/MapDialogs.h"
#include "view/map/MapPage.h"
#include "view/objects/ObjectPage.h"
#include "view/window/NotePanel.h"
#include "view/window/RoomSearch.h"
#include "view/window/StatusPanels.h"
#include "view/window/UiText.h"
#include "view/window/ZoneTreeMenu.h"
#include "view/window/ZoneTreePanel.h"

#include <cstdio>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>

namespace view {

TQuarvelinForm::TQuarvelinForm(app::Session::Options options, QWidget* parent)
    : QMainWindow(parent) {
    setWindowTitle("Loading...");
    session_ = std::make_unique<app::Session>(std::move(options), *this);

    BuildPanels();
    resize(900, 650);
    BuildMenus();
    BuildStatusBar();
    treeMenu_ = new TZoneTreeMenu(*session_, treeViewZones_, *roomSearch_,
                                  [this](const QString& name) { return Action(name); });
    treeViewZones_->onEdited = [this](storage::ZoneTreeNode* node, const std::string& text) {
        return session_->Zones().TreeViewZonesEdited(node, text);
    };
    connect(tabSet1_, &QTabWidget::currentChanged, this,
            [this](int page) { roomSearch_->SetEnabled(page == 0); });

    relay::DebugLog& log = session_->Log();
    log.OnLine = [this](const std::string& line, bool shown) {
        memo1_->appendPlainText(U(line));
        if (shown) {
            memo1_->setVisible(true);
            memo1_->verticalScrollBar()->setValue(memo1_->verticalScrollBar()->maximum());
            if (QAction* a = Action("nShowLog")) a->setChecked(true);
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
    // Child widgets are deleted after the members; the widgets that hold on to the session's
    // objects go first, while the session is still there.
    delete splitter_;
    splitter_ = nullptr;
    tabSet1_ = nullptr;
    objectPage_ = nullptr;
    mapPage_ = nullptr;
    treeViewZones_ = nullptr;
    memoNote_ = nullptr;
}

void TQuarvelinForm::BuildPanels() {
    splitter_ = new QSplitter(Qt::Vertical, this);
    // The two pages: the map (with the zone tree and the note beside it) and the object base.
    tabSet1_ = new QTabWidget(splitter_);
    tabSet1_->setObjectName("TabSet1");
    tabSet1_->setDocumentMode(true);
    mapSplitter_ = new QSplitter(Qt::Horizontal, tabSet1_);
    mapSplitter_->setObjectName("MapSplitter");
    leftPanel_ = new QSplitter(Qt::Vertical, mapSplitter_);
    leftPanel_->setObjectName("PanelZones");
    leftPanel_->setChildrenCollapsible(false);
    treeViewZones_ = new TZoneTreePanel(session_->World().Tree(), leftPanel_);
    treeViewZones_->setMinimumWidth(120);
    mapPage_ = new TMapPage(*session_, mapSplitter_);
    mapPage_->setMinimumSize(400, 250);
    memoNote_ = new TNotePanel(session_->Map().World(), mapPage_->View(), leftPanel_);
    memoNote_->setMinimumHeight(40);
    leftPanel_->addWidget(memoNote_);
    leftPanel_->setStretchFactor(0, 3);
    leftPanel_->setStretchFactor(1, 1);
    mapSplitter_->setStretchFactor(0, 0);
    mapSplitter_->setStretchFactor(1, 1);
    mapSplitter_->setCollapsible(1, false);
    mapSplitter_->setSizes({200, 700});
    objectPage_ = new TObjectPage(session_->Objects(), session_->Texts(), tabSet1_);
    tabSet1_->addTab(mapSplitter_, QString());
    tabSet1_->addTab(objectPage_, QString());
    memo1_ = new QPlainTextEdit(splitter_);
    memo1_->setReadOnly(true);
    memo1_->setMaximumBlockCount(static_cast<int>(relay::DebugLog::kMaxLines));
    memo1_->setObjectName("Memo1");
    splitter_->setStretchFactor(0, 4);
    splitter_->setStretchFactor(1, 1);
    setCentralWidget(splitter_);

    // A focus holder for when the zone tree is hidden: the map and the track bar never keep
    // the keyboard, so keys have one place to go.
    focusHolder_ = new QWidget(this);
    focusHolder_->setObjectName("FocusHolder");
    focusHolder_->setFocusPolicy(Qt::StrongFocus);
    focusHolder_->setGeometry(0, 0, 1, 1);
    focusHolder_->lower();

    treeViewZones_->onDoubleClick = [this](storage::ZoneTreeNode* node) {
        session_->TreeViewZonesDblClick(node);
    };
    memoNote_->passFocus = [this] { FocusTree(); };
    memoNote_->editingEnded = [this] { mapPage_->Shift(); };
    connect(mapPage_, &TMapPage::StatusChanged, this,
            [this](const QString& s) { roomPanel_->setText(s); });
    connect(mapPage_, &TMapPage::NoteChanged, memoNote_, &TNotePanel::ShowNote);
    connect(mapPage_, &TMapPage::LevelsChanged, this, [this](bool up, bool down) {
        tbLevelUp_->setEnabled(up);
        tbLevelDown_->setEnabled(down);
    });
}

void TQuarvelinForm::BuildStatusBar() {
    light_ = new TracingLight(statusBar());
    mccpPanel_ = new QLabel(" mccp: none", statusBar());
    mccpPanel_->setObjectName("MccpPanel");
    mccpPanel_->setMinimumWidth(92);
    mccpPanel_->installEventFilter(this);
    roomPanel_ = new QLabel(statusBar());
    roomPanel_->setObjectName("RoomPanel");
    roomPanel_->setMinimumWidth(50);
    statusBar()->addWidget(light_);
    statusBar()->addWidget(mccpPanel_);
    statusBar()->addWidget(roomPanel_, 1);
}

bool TQuarvelinForm::eventFilter(QObject* watched, QEvent* e) {
    // The compression statistics exist from the press on the compression panel to the release.
    if (watched == mccpPanel_) {
        if (e->type() == QEvent::MouseButtonPress) {
            const relay::ServerStreamDecoder& d = session_->Relay().Decoder();
            if (!hintBox_) hintBox_ = std::make_unique<HintBox>();
            hintBox_->ShowAt(U(MccpStatisticsText(d.MccpStarted(), d.MccpMode(), d.MccpBytesIn(),
                                                  d.MccpBytesOut())),
                             static_cast<QMouseEvent*>(e)->globalPosition().toPoint());
            return true;
        }
        if (e->type() == QEvent::MouseButtonRelease) {
            if (hintBox_) hintBox_->hide();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

void TQuarvelinForm::ApplySettings() {
    const storage::AppSettings& st = session_->Settings();
    if (st.Left && st.Top) move(*st.Left, *st.Top);
    if (st.Width && st.Height && *st.Width > 100 && *st.Height > 100) resize(*st.Width, *st.Height);
    mapPage_->PanelMain()->ImageIndex = st.PanelBitmap;
    memo1_->setVisible(st.DebugVisible);
    leftPanel_->setVisible(st.TreeVisible);
    memoNote_->setVisible(st.ShowNote);
    if (st.TreeZonesWidth && *st.TreeZonesWidth > 0) {
        const int total = std::max(width(), *st.TreeZonesWidth + 400);
        mapSplitter_->setSizes({*st.TreeZonesWidth, total - *st.TreeZonesWidth});
    }
    if (st.StayOnTop) setWindowFlag(Qt::WindowStaysOnTopHint, true);
    ApplyLevelShortcuts();
    SyncSwitches();
}

void TQuarvelinForm::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (!activated_) {
        activated_ = true;
        // The world loads once the window is on screen, as on its first activation.
        QTimer::singleShot(0, this, [this] { FormActivate(); });
    }
}

void TQuarvelinForm::changeEvent(QEvent* e) {
    QMainWindow::changeEvent(e);
    // Every activation after the first reads the skin again (it may have been edited meanwhile)
    // and gives the keyboard back to the tree.
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && activated_ &&
        mapPage_->View().windowMode != kStarting) {
        cbSkinsChange();
        if (!memoNote_->Editing()) FocusTree();
    }
}

void TQuarvelinForm::FormActivate() {
    auto* check = new app::UpdateCheck(this);
    updateCheck_ = check;
    StartupUpdateCheck(*check, session_->Settings(), this);
    session_->FirstActivation();
    session_->SetCaption();
    // From now on the view follows the player.
    mapPage_->View().windowMode = kNormal;
    mapPage_->CenterBox();
    SyncSwitches();
    FocusTree();
}

void TQuarvelinForm::FocusTree() {
    // A node's text being edited keeps the keyboard (taking it away would end the editing).
    if (QWidget* f = QApplication::focusWidget(); f && treeViewZones_->isAncestorOf(f)) return;
    if (treeViewZones_->isVisibleTo(this) && leftPanel_->isVisibleTo(this))
        treeViewZones_->setFocus(Qt::OtherFocusReason);
    else
        focusHolder_->setFocus(Qt::OtherFocusReason);
}

void TQuarvelinForm::FillSkinChooser() {
    const QSignalBlocker block(cbSkins_);
    cbSkins_->clear();
    cbSkins_->addItems(mapPage_->Skin().ChooserEntries());
    cbSkins_->setCurrentIndex(skinIndex_ < cbSkins_->count() ? skinIndex_ : 0);
    // The tool bar lays the box out once; it must grow to the longest skin name.
    cbSkins_->adjustSize();
    cbSkins_->updateGeometry();
}

void TQuarvelinForm::cbSkinsChange() {
    if (cbSkins_->currentIndex() < 0 && skinIndex_ < cbSkins_->count())
        cbSkins_->setCurrentIndex(skinIndex_);
    skinIndex_ = std::max(0, cbSkins_->currentIndex());
    profile::WorldProfile& p = session_->Profile();
    p.CurrentSkin = skinIndex_;
    mapPage_->LoadSkin(skinIndex_);
    if (skinIndex_ == 0) {
        // Variant 0 rebuilt the entries (the file may have changed) and the tree's icons.
        FillSkinChooser();
        treeViewZones_->SetRoomIcons(mapPage_->Skin().Set(0).icons);
    }
    mapPage_->PanelMain()->update();
}

map::Color TQuarvelinForm::DefaultRoomColor() {
    return FromQColor(mapPage_->Skin().DefaultRoomColor());
}

void TQuarvelinForm::ProfileRead() {
    // Variant 0 always fills set A, the chooser and the tree's icons; the profile's variant,
    // when it is another one the file has, then fills set B.
    profile::WorldProfile& p = session_->Profile();
    TSkin& skin = mapPage_->Skin();
    mapPage_->LoadSkin(0);
    if (p.CurrentSkin < 0 || p.CurrentSkin >= static_cast<int>(skin.ChooserEntries().size()))
        p.CurrentSkin = 0;
    if (p.CurrentSkin > 0) mapPage_->LoadSkin(p.CurrentSkin);
    skinIndex_ = p.CurrentSkin;
    FillSkinChooser();
    treeViewZones_->SetRoomIcons(skin.Set(0).icons);
    SyncSwitches();
    mapPage_->PanelMain()->update();
}

void TQuarvelinForm::ScrollMap(int dx, int dy) {
    TMapView& v = mapPage_->View();
    v.SB1.position = std::clamp(v.SB1.position + dx, v.SB1.min, std::max(v.SB1.min, v.SB1.max));
    v.SB2.position = std::clamp(v.SB2.position + dy, v.SB2.min, std::max(v.SB2.min, v.SB2.max));
    v.mShift();
}

void TQuarvelinForm::keyPressEvent(QKeyEvent* e) {
    // Keys with Ctrl that reach the window are its own (the scrolling is done by shortcuts).
    if (e->modifiers() & Qt::ControlModifier) {
        e->accept();
        return;
    }
    QMainWindow::keyPressEvent(e);
}

void TQuarvelinForm::closeEvent(QCloseEvent* e) {
    if (!shutDown_) {
        shutDown_ = true;
        if (hintBox_) hintBox_->hide();
        // A map that could not be written is not thrown away unasked: the window stays, with
        // the map in memory, until a save works or the player says to close anyway. (On a
        // signal nobody can answer; the headless program keeps retrying instead.)
        if (!session_->Shutdown() && !closingOnSignal_ &&
            Ask(session_->GetCaption("MainForm", "CloseUnsaved"), false) != storage::Answer::Yes) {
            shutDown_ = false;
            e->ignore();
            return;
        }
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
    light_->SetOn(on);
}

void TQuarvelinForm::SetMccpStatus(const std::string& status) {
    mccpPanel_->setText(U(status));
}

void TQuarvelinForm::CloseOnSignal() {
    // A logout or Ctrl+C waits for no one: no question is asked and errors go to the terminal.
    closingOnSignal_ = true;
    close();
}

void TQuarvelinForm::ShowError(const std::string& message) {
    if (closingOnSignal_) {
        std::fprintf(stderr, "quarvelin: %s\n", U(message).toUtf8().constData());
        return;
    }
    QMessageBox box(QMessageBox::Critical, "Quarvelin", U(message), QMessageBox::Ok, this);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

storage::Answer TQuarvelinForm::Ask(const std::string& question, bool withCancel) {
    // Unasked, nothing is thrown away: the object base changes were saved with the world.
    if (closingOnSignal_) return withCancel ? storage::Answer::Cancel : storage::Answer::No;
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel) buttons |= QMessageBox::Cancel;
    QMessageBox box(QMessageBox::Question, "Quarvelin", U(question), buttons, this);
    box.setWindowModality(Qt::ApplicationModal);
    box.setEscapeButton(withCancel ? QMessageBox::Cancel : QMessageBox::No);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return storage::Answer::Yes;
    case QMessageBox::No:
        return storage::Answer::No;
    default:
        return withCancel ? storage::Answer::Cancel : storage::Answer::No;
    }
}

std::optional<storage::WorldChoice> TQuarvelinForm::ChooseWorld(storage::ChooserMode mode,
                                                                const std::string& name) {
    if (closingOnSignal_) return std::nullopt;
    storage::WorldStore& world = session_->World();
    TSaveLoadForm chooser(session_->Texts(), session_->Settings().ListViewStyle, world.MapsDir(),
                          world.WorldName().empty() ? std::filesystem::path() : world.WorldDir(),
                          this);
    const app::DataPaths& paths = session_->Paths();
    chooser.SetGameProfiles(paths.TemplateProfile(),
                            storage::ListGameProfiles(paths.ProfileDirs()));
    chooser.SetMode(mode, name);
    if (chooser.exec() != QDialog::Accepted) return std::nullopt;
    storage::WorldChoice chosen{chooser.WorldName(), chooser.Game()};
    if (chosen.name.empty()) return std::nullopt;
    return chosen;
}

std::optional<map::Color> TQuarvelinForm::ChooseColor(map::Color initial) {
    return ChooseRoomColor(initial, this);
}

void TQuarvelinForm::Beep() {
    MapBeep();
}

void TQuarvelinForm::Repaint() {
    mapPage_->PanelMain()->update();
}

bool TQuarvelinForm::CollectWindowPlace(int& top, int& left, int& height, int& width) {
    // The panes' widths are remembered whatever the window's state.
    storage::AppSettings& st = session_->Settings();
    if (leftPanel_->isVisibleTo(this) && leftPanel_->width() > 0)
        st.TreeZonesWidth = mapSplitter_->sizes().value(0);
    st.TreeVisible = leftPanel_->isVisibleTo(this);
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

void TQuarvelinForm::SetClipboard(const std::string& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(U(text));
}

} // namespace view
