#pragma once
// SIGINT and SIGTERM (Ctrl+C in a terminal, a desktop logout, a service stop) delivered on the
// event loop, so that the program saves its map and exits as from its own menu.

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace app {

class SignalWatcher : public QObject {
    Q_OBJECT
public:
    // `onSignal` runs on the event loop once, for the first of the signals.
    explicit SignalWatcher(std::function<void()> onSignal, QObject* parent = nullptr);
    ~SignalWatcher() override;
    // Installs the handlers; false when that failed.
    bool Install();
    // Lets the next signal run `onSignal` again.
    void Rearm() { fired_ = false; }

private:
    void Activated();

    std::function<void()> onSignal_;
    QSocketNotifier* notifier_ = nullptr;
    bool fired_ = false;
};

} // namespace app
