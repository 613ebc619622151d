#include "app/SignalWatcher.h"

#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace app {

namespace {
int signalPipe[2] = {-1, -1};

void HandleSignal(int) {
    char c = 1;
    ssize_t ignored = ::write(signalPipe[1], &c, 1);
    (void)ignored;
}
} // namespace

SignalWatcher::SignalWatcher(std::function<void()> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)) {}

SignalWatcher::~SignalWatcher() = default;

bool SignalWatcher::Install() {
    // A signal handler may only write to a descriptor; the socket pair hands it to the loop.
    if (signalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) return false;
    notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SignalWatcher::Activated);
    struct sigaction sa {};
    sa.sa_handler = HandleSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    return true;
}

void SignalWatcher::Activated() {
    char c;
    ssize_t ignored = ::read(signalPipe[0], &c, 1);
    (void)ignored;
    if (fired_) return;
    fired_ = true;
    if (onSignal_) onSignal_();
}

} // namespace app
