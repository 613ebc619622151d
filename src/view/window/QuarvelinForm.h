#pragma once
// The main window: the map and object pages, the zone tree and note panel beside the map, the
// menus and tool bar with their shortcuts, the status bar (tracing light, compression,
// room line), the debug log pane, the caption, and the questions the core asks the user.

#include "app/core/AppUi.h"
#include "app/core/Session.h"

#include <QMainWindow>
#include <QSplitter>
#include <QTabWidget>
#include <map>
#include <memory>
#include <string>

class QAction;
class QActionGroup;
class QComboBox;
class QLabel;
class QMenu;
class QPlainTextEdit;

namespace app {
class UpdateCheck;
}

namespace view {

class HintBox;
class TracingLight;
class TObjectPage;
class TMapPage;
class TNotePanel;
class TZoneTreePanel;
class TZoneTreeMenu;
class TRoomSearch;

class TQuarvelinForm : public QMainWindow, public app::AppUi {
    Q_OBJECT
public:
    explicit TQuarvelinForm(app::Session::Options options, QWidget* parent = nullptr);
    ~TQuarvelinForm() override;

    app::Session& Session() { return *session_; }
    // Closes the window without questions (SIGTERM, SIGINT), saving as a close does.
    void CloseOnSignal();

    // app::AppUi
    void SetCaption(const std::string& caption) override;
    void SetTracing(bool on) override;
    void SetMccpStatus(const std::string& text) override;
    void ShowError(const std::string& message) override;
    void Repaint() override;
    bool CollectWindowPlace(int& top, int& left, int& height, int& width) override;
    void SetClipboard(const std::string& text) override;
    void SetWindowMode(int mode) override;
    void CenterBox() override;
    void Shift() override;
    void ShowRoom(const map::TMudRoom2& room) override;
    void ProfileRead() override;
    map::Color DefaultRoomColor() override;
    storage::Answer Ask(const std::string& question, bool withCancel) override;
    std::optional<storage::WorldChoice> ChooseWorld(storage::ChooserMode mode,
                                                    const std::string& name) override;
    std::optional<map::Color> ChooseColor(map::Color initial) override;
    void Beep() override;

    // Actions by their names (`nSaveWorld`, `actTree`, ...); null for an unknown name.
    QAction* Action(const QString& name) const;
    QAction* StopTraceAction() const { return nStopTrace_; }
    QLabel* MccpPanel() const { return mccpPanel_; }
    QLabel* RoomPanel() const { return roomPanel_; }
    QPlainTextEdit* LogPane() const { return memo1_; }
    QTabWidget* Pages() const { return tabSet1_; }
    TObjectPage* ObjectPage() const { return objectPage_; }
    TMapPage* MapPage() const { return mapPage_; }
    TZoneTreePanel* ZoneTree() const { return treeViewZones_; }
    TZoneTreeMenu* ZoneTreeMenu() const { return treeMenu_; }
    TRoomSearch* RoomSearch() const { return roomSearch_; }
    TNotePanel* NotePanel() const { return memoNote_; }
    QWidget* LeftPanel() const { return leftPanel_; }
    QComboBox* SkinChooser() const { return cbSkins_; }
    // The compression statistics box while the button is held on the compression panel.
    HintBox* StatisticsBox() const { return hintBox_.get(); }

    // `cbSkinsChange`: the chosen variant is loaded (again) and the map repainted.
    void cbSkinsChange();
    // `FormKeyDown`'s scrolling: SB1 by dx, SB2 by dy, within their ranges, then `mShift`.
    void ScrollMap(int dx, int dy);

protected:
    void showEvent(QShowEvent* e) override;
    void changeEvent(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // MainMenus.cpp
    void BuildMenus();
    QAction* MakeAction(const char* name, QKeySequence key = {});
    void ApplyCaptions();
    void ApplyLevelShortcuts();
    void actOnTopExecute(bool checked);
    void actTreeExecute(bool checked);
    void btnShortModeClick();
    void nTrClick(int percent);
    void nNewZoneClick();
    void SyncSwitches();
    // ConfigFormWindow.cpp: the settings dialog, applied on OK.
    void nConfigClick();

    void BuildPanels();
    void BuildStatusBar();
    void ApplySettings();
    void nStopTraceClick();
    void FormActivate();
    void FocusTree();
    void FillSkinChooser();

    std::unique_ptr<app::Session> session_;
    std::map<QString, QAction*> actions_;
    QAction* nStopTrace_ = nullptr;
    QAction* btnStopTrace_ = nullptr;
    QAction* nExit_ = nullptr;
    QMenu* nFile_ = nullptr;
    QMenu* nWindow_ = nullptr;
    QMenu* nHelp_ = nullptr;
    QMenu* nTransparency_ = nullptr;
    QActionGroup* trGroup_ = nullptr;
    QComboBox* cbSkins_ = nullptr;
    int skinIndex_ = 0; // the chooser's index last chosen
    TracingLight* light_ = nullptr;
    QLabel* mccpPanel_ = nullptr;
    QLabel* roomPanel_ = nullptr;
    std::unique_ptr<HintBox> hintBox_;
    QPlainTextEdit* memo1_ = nullptr;
    QSplitter* splitter_ = nullptr;    // pages above, debug log below
    QSplitter* mapSplitter_ = nullptr; // left panel beside the map
    QSplitter* leftPanel_ = nullptr;   // zone tree above, note below
    TZoneTreePanel* treeViewZones_ = nullptr;
    TNotePanel* memoNote_ = nullptr;
    QWidget* focusHolder_ = nullptr;
    TMapPage* mapPage_ = nullptr;
    QAction* tbLevelUp_ = nullptr;
    QAction* tbLevelDown_ = nullptr;
    QAction* btnCenter_ = nullptr;
    QTabWidget* tabSet1_ = nullptr;
    TObjectPage* objectPage_ = nullptr;
    TZoneTreeMenu* treeMenu_ = nullptr;
    TRoomSearch* roomSearch_ = nullptr;
    app::UpdateCheck* updateCheck_ = nullptr;     // the start-up check
    std::map<std::string, std::string> captions_; // control key -> text in effect
    bool activated_ = false;
    bool shutDown_ = false;
    bool closingOnSignal_ = false;
};

} // namespace view
