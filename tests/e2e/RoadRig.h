#pragma once
// The headless Quarvelin between a FakeGame and a ScriptedClient, with a world "Road" whose map
// already holds the road: rooms "Road 0" to "Road N" from west to east, the first with the alias
// "start", the last with "end".

#include "E2eSupport.h"
#include "FakeGame.h"
#include "files/ZoneFile.h"
#include "map/MudRoom.h"
#include "profile/WorldProfile.h"
#include "text/Text.h"

#include <fstream>

class RoadRig {
public:
    explicit RoadRig(int speedWalkLength = 10, int lastRoom = 24)
        : game(lastRoom), clientPort(FreePort()) {
        const auto world = dir.path() / "Maps" / "Road";
        WriteGameProfile(world / "local.ini", clientPort, game.Port(),
                         "[Options]\r\nMccpEnabled=1\r\nZone=Road\r\n");
        TempDir::Write(dir.path() / "quarvelin.ini",
                       "[Options]\r\nDebugActiv=1\r\nSpeedWalkLength=" +
                           std::to_string(speedWalkLength) + "\r\n");
        profile::WorldProfile profile;
        std::vector<map::TMudRoom2> rooms(size_t(lastRoom) + 1);
        std::vector<const map::TMudRoom2*> list;
        for (int i = 0; i <= lastRoom; ++i) {
            map::TMudRoom2& r = rooms[size_t(i)];
            r.Tag = i + 1;
            r.Y = i;
            r.Hint = "Road " + std::to_string(i);
            r.Description = "Desc of road " + std::to_string(i) + ".";
            r.SetExits(i == 0 ? " E " : i == lastRoom ? " W " : " E W ", profile);
            r.ChE = i < lastRoom;
            r.ChW = i > 0;
            r.BColor = map::kSilver;
            if (i == 0) r.QuickList = "start";
            if (i == lastRoom) r.QuickList = "end";
            list.push_back(&r);
        }
        TempDir::Write(world / "Road.tk2", storage::WriteZone(list));
    }
    ~RoadRig() {
        if (quarvelin.state() != QProcess::NotRunning) {
            quarvelin.kill();
            quarvelin.waitForFinished(5000);
        }
    }
    bool Start(const QStringList& wrapper = {}) {
        return StartHeadless(quarvelin, dir.path(), "Road", output, wrapper);
    }
    bool Running() const { return quarvelin.state() == QProcess::Running; }
    // SIGTERM; true when Quarvelin saved and exited 0.
    bool Stop() {
        quarvelin.terminate();
        bool done = quarvelin.waitForFinished(20000);
        output += quarvelin.readAll().toStdString();
        return done && quarvelin.exitStatus() == QProcess::NormalExit && quarvelin.exitCode() == 0;
    }
    // The resident set now and at its peak (kB), from /proc.
    std::pair<long, long> Memory() const {
        std::ifstream status("/proc/" + std::to_string(quarvelin.processId()) + "/status");
        long rss = 0, peak = 0;
        for (std::string line; std::getline(status, line);) {
            if (line.rfind("VmRSS:", 0) == 0) rss = std::stol(line.substr(6));
            if (line.rfind("VmHWM:", 0) == 0) peak = std::stol(line.substr(6));
        }
        return {rss, peak};
    }
    // The saved road: room names in file order, and the one the player stands in.
    std::vector<std::string> SavedRooms(std::string* selected = nullptr) const {
        profile::WorldProfile profile;
        std::vector<std::string> names;
        auto r = storage::ReadZoneFile(dir.path() / "Maps" / "Road" / "Road.tk2", profile);
        for (const auto& room : r.rooms) {
            names.push_back(room.Hint);
            if (room.Selected && selected) *selected = room.Hint;
        }
        return names;
    }

    TempDir dir;
    FakeGame game;
    quint16 clientPort;
    QProcess quarvelin;
    std::string output;
};

// Resident memory says something only for the normal build: a sanitizer build (QUARVELIN_BINARY,
// see scripts/leakcheck) holds freed memory back on purpose, and its leak check judges instead.
inline bool MemoryTells() {
    return qEnvironmentVariableIsEmpty("QUARVELIN_BINARY");
}

inline bool WaitDisconnected(QTcpSocket& s, int ms = 8000) {
    return WaitFor([&] { return s.state() == QAbstractSocket::UnconnectedState; }, ms);
}
