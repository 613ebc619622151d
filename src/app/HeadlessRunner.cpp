#include "app/HeadlessRunner.h"

#include "files/FileSaver.h"
#include "files/Paths.h"
#include "files/SessionFile.h"
#include "text/Cp1251.h"

#include <QCoreApplication>
#include <cstdio>

namespace app {

namespace {
void Print(const std::string& prefix, const std::string& cp1251) {
    std::fprintf(stderr, "%s%s\n", prefix.c_str(), text::ToUnicode(cp1251).toUtf8().constData());
    std::fflush(stderr);
}
} // namespace

HeadlessRunner::HeadlessRunner(Session::Options options)
    : session_(std::make_unique<Session>(std::move(options), *this)),
      stopOnSignal_([this] { OnSignal(); }) {
    connect(&retrySave_, &QTimer::timeout, this, &HeadlessRunner::RetrySave);
    session_->Log().OnLine = [](const std::string& line, bool) { Print("log: ", line); };
}

HeadlessRunner::~HeadlessRunner() = default;

bool HeadlessRunner::Start() {
    if (!stopOnSignal_.Install()) return false;

    session_->Start();
    session_->FirstActivation();
    if (session_->WorldName().empty()) Print("", "No world is loaded: use --world NAME.");
    Print("listening: ", "127.0.0.1:" + std::to_string(session_->Relay().ActualListenPort()));
    return true;
}

int HeadlessRunner::Replay(const std::filesystem::path& file) {
    std::string bytes;
    if (!storage::ReadFile(file, bytes)) {
        Print("", "Cannot read the session file " + storage::PathToText(file) + ".");
        return 2;
    }
    const storage::SessionReadResult session = storage::ReadSession(bytes);
    if (session.records.empty() && !session.ok()) {
        Print("", "The session file " + storage::PathToText(file) + " is " + session.error + ".");
        return 2;
    }
    session_->Start();
    session_->FirstActivation();
    if (session_->WorldName().empty()) {
        Print("", "No world is loaded: use --world NAME.");
        return 2;
    }
    for (const storage::SessionRecord& record : session.records)
        session_->Relay().Replay(record);
    if (!session.ok())
        Print("", "The session file " + storage::PathToText(file) + " is " + session.error +
                      ": the " + std::to_string(session.records.size()) +
                      " records before it were replayed.");
    if (!session_->Shutdown()) {
        Print("", "The map could not be saved.");
        return 1;
    }
    Print("", "Replayed " + std::to_string(session.records.size()) + " records.");
    return 0;
}

void HeadlessRunner::OnSignal() {
    if (retrySave_.isActive()) {
        Print("", "Quarvelin stopped without saving the map.");
        QCoreApplication::exit(1);
        return;
    }
    if (session_->Shutdown()) {
        Print("", "Quarvelin stopped.");
        QCoreApplication::exit(0);
        return;
    }
    // Exiting now would lose the map: it waits in memory until the directory can be written.
    Print("", "The map could not be saved. Quarvelin keeps it and tries again every 5 seconds; "
              "stop it once more to exit without saving.");
    stopOnSignal_.Rearm();
    retrySave_.start(5000);
}

void HeadlessRunner::RetrySave() {
    if (!session_->World().SaveUnsavedZones()) return;
    retrySave_.stop();
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
