#pragma once
// Replaying a family's session through the real program with a profile (the family's shipped
// one, or one the caller puts in the world), and measuring the saved map against the walk.

#include "e2e/E2eSupport.h"
#include "e2e/WalkChecker.h"
#include "families/FamilyStyle.h"
#include "families/FamilyWorld.h"
#include "files/IniFile.h"
#include "files/ProfileFile.h"
#include "files/SessionFile.h"
#include "text/Text.h"

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace families {

inline std::filesystem::path ShippedProfile(const std::string& id) {
    return std::filesystem::path(QUARVELIN_SOURCE_DIR) / "data" / "profiles" / (id + ".ini");
}

inline profile::WorldProfile ReadShippedProfile(const std::string& id) {
    profile::WorldProfile p;
    storage::ReadProfile(p, storage::IniFile(ShippedProfile(id)));
    return p;
}

// A data directory with one world whose profile is the family's, as the new-world dialog
// makes it, and the debug log on; `quarvelin --replay` of a session on it.
struct ReplayRun {
    TempDir dir;
    std::string said;  // what the program printed
    int exitCode = -1; // -1: it did not end in time

    ReplayRun(const std::string& family, const std::filesystem::path& session) : ReplayRun() {
        TempDir::Write(World() / "local.ini", TempDir::Read(ShippedProfile(family)));
        Replay(session);
    }
    // The data directory alone: the caller gives the world its profile, then replays.
    ReplayRun() { TempDir::Write(dir.path() / "quarvelin.ini", "[Options]\r\nDebugActiv=1\r\n"); }

    void Replay(const std::filesystem::path& session) {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(QuarvelinBinary(),
                {"--replay", QString::fromStdString(session.string()), "--data-dir",
                 QString::fromStdString(dir.path().string()), "--world", "Town"});
        if (!p.waitForFinished(60000)) return;
        said = p.readAll().toStdString();
        exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
    std::filesystem::path World() const { return dir.path() / "Maps" / "Town"; }
    // Tracing went off after it was on, before the session's connections closed: the map
    // stopped following the walk.
    bool TracingStopped() const {
        const std::size_t on = said.find("tracing: on");
        const std::size_t closed = said.find("log: SSClientDisconnect");
        const std::size_t off = on == std::string::npos ? on : said.find("tracing: off", on);
        return off != std::string::npos && off < closed;
    }
    // The debug log said this (UTF-8) while tracing was on.
    bool LoggedWhileTracing(const std::string& utf8) const {
        const std::size_t on = said.find("tracing: on");
        return on != std::string::npos && said.find("log: " + utf8, on) != std::string::npos;
    }
    // The end of the program's debug log (UTF-8), for a failure's message.
    std::string LogTail(std::size_t lines = 60) const {
        const std::string log =
            text::ToUnicode(TempDir::Read(dir.path() / "tkdebug.log")).toStdString();
        std::size_t at = log.size();
        for (std::size_t n = 0; n < lines && at != std::string::npos && at > 0; ++n)
            at = log.rfind('\n', at - 1);
        return at == std::string::npos ? log : log.substr(at);
    }
};

// The moves of a walk, as the walk checker takes them.
inline WalkPlan PlanOf(const Walk& walk) {
    WalkPlan plan;
    plan.start = walk.start;
    for (const auto& send : walk.sends)
        for (const Step& step : send)
            if (step.kind == Step::Move || step.kind == Step::Follow)
                plan.moves.push_back({step.from, step.dir, step.to});
    return plan;
}

} // namespace families

namespace families {

// A session cut before its command number `commands` (counted from 0): the records of the
// commands before it and of everything the game sent in answer.
inline std::string CutSession(const std::string& bytes, std::size_t commands) {
    const storage::SessionReadResult read = storage::ReadSession(bytes);
    std::string out(storage::kSessionHeader);
    std::size_t seen = 0;
    for (const storage::SessionRecord& r : read.records) {
        if (r.kind == 'C' && seen++ == commands) break;
        storage::AppendSessionRecord(out, r.kind, r.ms, r.bytes);
    }
    return out;
}

// The lines the player typed in a session, line ends taken off.
inline std::vector<std::string> CommandsOf(const std::string& bytes) {
    std::vector<std::string> out;
    for (const storage::SessionRecord& r : storage::ReadSession(bytes).records)
        if (r.kind == 'C') out.push_back(text::Trim(r.bytes));
    return out;
}

// The moves the commands make on a demo world: directions through open exits, "open DIR"
// opening a door from both sides; anything else moves nobody.
inline WalkPlan PlanOnWorld(const DemoWorld& world, int start,
                            const std::vector<std::string>& commands) {
    WalkPlan plan;
    plan.start = start;
    int at = start;
    std::set<std::pair<int, char>> open;
    for (const std::string& c : commands) {
        const DemoRoom& here = world.rooms.at(at);
        if (c.size() == 6 && c.rfind("open ", 0) == 0 && here.exits.count(c[5])) {
            open.insert({at, c[5]});
            open.insert({here.exits.at(c[5]), Opposite(c[5])});
        } else if (c.size() == 1 && here.exits.count(c[0]) &&
                   (!here.doors.at(c[0]) || open.count({at, c[0]}))) {
            plan.moves.push_back({at, c[0], here.exits.at(c[0])});
            at = here.exits.at(c[0]);
        }
    }
    return plan;
}

} // namespace families

namespace families {

// The moves of a family's walk.session: the town's walk as the family's game plays it (with
// doors and a leader where the game has them; TinyMUX has neither), or for the demo the moves
// the session's commands make in its village.
inline WalkPlan FamilyWalkPlan(const std::string& family) {
    if (family == "demo") {
        const DemoWorld world = DemoWorld::Load();
        return PlanOnWorld(world, world.start,
                           CommandsOf(TempDir::Read(DataDir() / "demo" / "walk.session")));
    }
    const Town town = Town::Load(DataDir() / "world.txt");
    const bool generated = family != "tinymux";
    const bool doors = generated && MakeStyle(family)->Doors();
    const bool follows = generated && MakeStyle(family)->Follows();
    return PlanOf(Walk::Load(DataDir() / "walk.txt", town, doors, follows));
}

} // namespace families
