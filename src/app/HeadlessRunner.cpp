#include "app/HeadlessRunner.h"

#include "text/Cp1251.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
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

void Print(const std::string& prefix, const std::string& cp1251) {
    std::fprintf(stderr, "%s%s\n", prefix.c_str(), text::ToUnicode(cp1251).toUtf8().constData());
    std::fflush(stderr);
}
} // namespace

HeadlessRunner::HeadlessRunner(Session::Options options)
    : session_(std::make_unique<Session>(std::move(options), *this)) {
    session_->Log().OnLine = [](const std::string& line, bool) { Print("log: ", line); };
}

HeadlessRunner::~HeadlessRunner() = default;

bool HeadlessRunner::Start() {
    // Signals arrive on a socket pair so that the shutdown runs on the event loop.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) return false;
    notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &HeadlessRunner::OnSignal);
    struct sigaction sa {};
    sa.sa_handler = HandleSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);

    session_->Start();
    session_->FirstActivation();
    if (session_->WorldName().empty()) Print("", "No world is loaded: use --world NAME.");
    Print("listening: ", "127.0.0.1:" + std::to_string(session_->Relay().ActualListenPort()));
    return true;
}

void HeadlessRunner::OnSignal() {
    char c;
    ssize_t ignored = ::read(signalPipe[0], &c, 1);
    (void)ignored;
    if (stopping_) return;
    stopping_ = true;
    session_->Shutdown();
    Print("", "Quarvelin stopped.");
    QCoreApplication::exit(0);
}

void HeadlessRunner::SetCaption(const std::string& caption) {
    Print("caption: ", caption);
}
void HeadlessRunner::SetTracing(bool on) {
    Print("tracing: ", on ? "on" : "off");
}
void HeadlessRunner::SetMccpStatus(const std::string& text) {
    Print("status:", text);
}
void HeadlessRunner::ShowError(const std::string& message) {
    Print("error: ", message);
}

} // namespace app
