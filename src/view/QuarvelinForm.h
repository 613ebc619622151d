#pragma once
// The main window: caption, status bar (tracing light, compression, room line), the debug log
// pane, the stop-tracing menu item and tool button. The map, trees and dialogs come later.

#include "app/core/AppUi.h"
#include "app/core/Session.h"

#include <QMainWindow>
#include <QTabWidget>
#include <map>
#include <memory>
#include <string>

class QAction;
class QLabel;
class QPlainTextEdit;
class QSplitter;

namespace view {

class TracingLight;
class TObjectPage;
class TMapPage;

class TQuarvelinForm : public QMainWindow, public app::AppUi {
    Q_OBJECT
public:
    explicit TQuarvelinForm(app::Session::Options options, QWidget* parent = nullptr);
    ~TQuarvelinForm() override;

    app::Session& Session() { return *session_; }

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

    QAction* StopTraceAction() const { return nStopTrace_; }
    QLabel* MccpPanel() const { return mccpPanel_; }
    QPlainTextEdit* LogPane() const { return memo1_; }
    QTabWidget* Pages() const { return tabSet1_; }
    TObjectPage* ObjectPage() const { return objectPage_; }
    TMapPage* MapPage() const { return mapPage_; }

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void BuildMenus();
    void BuildStatusBar();
    void ApplySettings();
    void ApplyCaptions();
    void nStopTraceClick();
    void FormActivate();

    std::unique_ptr<app::Session> session_;
    QAction* nStopTrace_ = nullptr;
    QAction* btnStopTrace_ = nullptr;
    QAction* nExit_ = nullptr;
    QMenu* nFile_ = nullptr;
    TracingLight* light_ = nullptr;
    QLabel* mccpPanel_ = nullptr;
    QLabel* roomPanel_ = nullptr;
    QPlainTextEdit* memo1_ = nullptr;
    QSplitter* splitter_ = nullptr;
    TMapPage* mapPage_ = nullptr;
    QAction* tbLevelUp_ = nullptr;
    QAction* tbLevelDown_ = nullptr;
    QAction* btnCenter_ = nullptr;
    QTabWidget* tabSet1_ = nullptr;
    TObjectPage* objectPage_ = nullptr;
    std::map<std::string, std::string> captions_; // control key -> text in effect
    bool activated_ = false;
    bool shutDown_ = false;
};

} // namespace view
