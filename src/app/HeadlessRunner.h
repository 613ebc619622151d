#pragma once
// Quarvelin without a window: the same start-up, relaying and tracking, with messages and
// status changes written to standard error. SIGINT and SIGTERM run the shutdown and exit 0.

#include "app/SignalWatcher.h"
#include "app/core/AppUi.h"
#include "app/core/Session.h"

#include <QObject>
#include <QTimer>
#include <memory>

namespace app {

class HeadlessRunner : public QObject, public AppUi {
    Q_OBJECT
public:
    explicit HeadlessRunner(Session::Options options);
    ~HeadlessRunner() override;

    // Installs the signal handlers and starts; returns false when that failed.
    bool Start();
    // Runs a recorded session through recognition and tracking instead of the network (the
    // runner must have been made with Options::replay), saves the world and returns the exit
    // status: 0 when the world was saved (a damaged file is replayed up to the damage, and
    // said so), else 1; 2 when the file cannot be read as a session at all.
    int Replay(const std::filesystem::path& file);

    void SetCaption(const std::string& caption) override;
    void SetTracing(bool on) override;
    void SetMccpStatus(const std::string& text) override;
    void ShowError(const std::string& message) override;
    void Repaint() override {}
    bool CollectWindowPlace(int&, int&, int&, int&) override { return false; }

private:
    void OnSignal();
    void RetrySave();

    std::unique_ptr<Session> session_;
    SignalWatcher stopOnSignal_;
    // After a stop whose save failed: tries again until the world's directory takes the files.
    QTimer retrySave_;
};

} // namespace app
