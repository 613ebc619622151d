// A real game server with its own GMCP, the Ranvier engine from npm, and Quarvelin between it
// and a player: the player logs in, looks and takes every exit of a village and the woods
// beside it (two areas), and the saved map must be that world: every room once, every exit
// walked a link, each room under the game's own number in game-ids.txt, a zone for each area.

#include "Ranvier.h"
#include "e2e/E2eSupport.h"
#include "files/IniFile.h"
#include "files/Paths.h"
#include "files/ProfileFile.h"
#include "files/ZoneFile.h"
#include "map/Direction.h"
#include "map/MudRoom.h"
#include "profile/WorldProfile.h"
#include "text/Cp1251.h"
#include "text/Text.h"

#include <deque>
#include <gtest/gtest.h>
#include <optional>
#include <set>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using namespace ranvier_peer;

std::optional<map::Dir> DirOfWord(const std::string& word) {
    static const std::map<std::string, map::Dir> words = {
        {"north", map::North}, {"south", map::South}, {"east", map::East},
        {"west", map::West},   {"up", map::Up},       {"down", map::Down}};
    auto it = words.find(word);
    if (it == words.end()) return std::nullopt;
    return it->second;
}

// A walk from the start that takes every exit at least once: always on to the nearest exit
// not yet taken. Steps are (room, direction word).
std::vector<std::pair<int, std::string>> Tour(const GameWorld& world) {
    std::set<std::pair<int, std::string>> left;
    for (const auto& [num, room] : world.rooms)
        for (const auto& [word, to] : room.exits)
            left.insert({num, word});
    std::vector<std::pair<int, std::string>> steps;
    int at = world.start;
    while (!left.empty()) {
        std::map<int, std::pair<int, std::string>> from{{at, {-1, ""}}};
        std::deque<int> queue{at};
        std::optional<std::pair<int, std::string>> next;
        while (!queue.empty() && !next) {
            const int r = queue.front();
            queue.pop_front();
            for (const auto& [word, to] : world.rooms.at(r).exits) {
                if (left.count({r, word})) {
                    next = {r, word};
                    break;
                }
                if (!from.count(to)) {
                    from[to] = {r, word};
                    queue.push_back(to);
                }
            }
        }
        if (!next) break; // exits that cannot be reached from here
        std::vector<std::pair<int, std::string>> path;
        for (int r = next->first; r != at; r = from[r].first)
            path.insert(path.begin(), {from[r].first, from[r].second});
        path.push_back(*next);
        for (const auto& step : path) {
            left.erase(step);
            steps.push_back(step);
            at = world.rooms.at(step.first).exits.at(step.second);
        }
    }
    return steps;
}

// The profile for this game's texts: the room name in bright cyan on a line of its own (as the
// engine's colour tags render it: ESC[1m ESC[36m name ...), the description, then the exit
// line "[ Exits: north east ]" in cyan.
std::string Profile() {
    return "[Options]\r\nMccpEnabled=0\r\n"
           "[Exits]\r\nNorth=north\r\nSouth=south\r\nEast=east\r\nWest=west\r\nUp=up\r\n"
           "Down=down\r\n"
           "[Messages]\r\nRoomNameStart=#$1B[1m#$1B[36m\r\nRoomNameEnd=#$0D#$0A\r\n"
           "AutoexitStart=#$1B[36m[ Exits:\r\nAutoexitEnd=]\r\nNoExits=none\r\n"
           "UsePromptExit=0\r\n"
           "[Moves]\r\nLook=look\r\nNorth=n\r\nSouth=s\r\nEast=e\r\nWest=w\r\nUp=u\r\nDown=d\r\n"
           "[Can`t Move]\r\nCantMove0=You can't go that way.\r\nCantMove1=Huh?\r\n";
}

// game-ids.txt: "Quarvelin room identity 1", then A|zone|area and R|zone|tag|id|area lines
// with "\" escaping "|" and itself.
struct GameIds {
    bool headerOk = false;
    std::map<std::string, std::string> zoneOfArea;
    struct Entry {
        std::string zone;
        int tag = 0;
        std::string area;
    };
    std::map<std::string, std::vector<Entry>> byId;
    std::vector<std::string> badLines;

    static std::vector<std::string> Fields(const std::string& line) {
        std::vector<std::string> out(1);
        for (size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '\\' && i + 1 < line.size())
                out.back() += line[++i];
            else if (line[i] == '|')
                out.emplace_back();
            else
                out.back() += line[i];
        }
        return out;
    }
    static GameIds Read(const fs::path& file) {
        GameIds ids;
        std::istringstream in(TempDir::Read(file));
        std::string line;
        if (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            ids.headerOk = line == "Quarvelin room identity 1";
        }
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.empty()) continue;
            const auto f = Fields(line);
            if (f[0] == "A" && f.size() == 3)
                ids.zoneOfArea[f[2]] = f[1];
            else if (f[0] == "R" && f.size() == 5)
                ids.byId[f[3]].push_back({f[1], std::atoi(f[2].c_str()), f[4]});
            else
                ids.badLines.push_back(line);
        }
        return ids;
    }
};

} // namespace

TEST(RanvierPeer, AWalkThroughARanvierGameIsMappedWithTheGamesOwnRoomNumbers) {
    const std::string missing = InstallPackages();
    if (!missing.empty()) {
        if (MustRun()) FAIL() << missing;
        GTEST_SKIP() << "the Ranvier game cannot run: " << missing;
    }
    const GameWorld world = GameWorld::Load();
    ASSERT_TRUE(world.error.empty()) << world.error;
    ASSERT_GE(world.rooms.size(), 8u);
    std::set<std::string> areas, names;
    for (const auto& [num, room] : world.rooms) {
        areas.insert(room.area);
        names.insert(room.name);
        for (const auto& [word, to] : room.exits) {
            ASSERT_TRUE(DirOfWord(word)) << room.name << ": " << word;
            ASSERT_TRUE(world.rooms.count(to)) << room.name << " " << word;
            // Every exit has its way back.
            const auto back = map::OppositeDir(*DirOfWord(word));
            bool found = false;
            for (const auto& [w, t] : world.rooms.at(to).exits)
                found = found || (t == num && DirOfWord(w) == back);
            ASSERT_TRUE(found) << room.name << " " << word << " has no way back";
        }
    }
    ASSERT_EQ(areas.size(), 2u);
    ASSERT_EQ(names.size(), world.rooms.size()); // names tell the rooms apart in the map

    TempDir dir;
    const quint16 gamePort = FreePort();
    Game game(gamePort);
    ASSERT_TRUE(game.Running()) << game.Output();

    const fs::path data = dir.path() / "data";
    const fs::path worldDir = data / "Maps" / "Millbrook";
    const quint16 clientPort = FreePort();
    WriteGameProfile(worldDir / "local.ini", clientPort, gamePort, Profile());
    TempDir::Write(data / "quarvelin.ini", "[Options]\r\nDebugActiv=1\r\n");
    QProcess quarvelin;
    std::string output;
    ASSERT_TRUE(StartHeadless(quarvelin, data, "Millbrook", output)) << output;

    // Log in, look, walk every exit; each answer ends in a prompt.
    const auto steps = Tour(world);
    size_t exitCount = 0;
    for (const auto& [num, room] : world.rooms)
        exitCount += room.exits.size();
    ASSERT_GE(steps.size(), exitCount);
    {
        Player player(clientPort);
        ASSERT_TRUE(player.WaitPrompts(1)) << player.Received();
        ASSERT_NE(player.Received().find("By what name"), std::string::npos) << player.Received();
        ASSERT_TRUE(player.Send("Walker")) << player.Received();
        ASSERT_TRUE(player.Send("look")) << player.Received();
        for (const auto& [from, word] : steps) {
            ASSERT_TRUE(player.Send(std::string(1, word[0])))
                << "no prompt after " << word << " from " << world.rooms.at(from).name << "\n"
                << player.Received();
        }
        const std::string seen = text::StripAnsi(player.Received());
        ASSERT_EQ(seen.find("You can't go that way."), std::string::npos) << seen;
        ASSERT_NE(seen.find("Tracing now ON"), std::string::npos) << seen;
        EXPECT_EQ(seen.find("Tracing now OFF"), std::string::npos);
        player.Send("quit", 3000);
        player.Close();
    }
    quarvelin.terminate();
    ASSERT_TRUE(quarvelin.waitForFinished(20000));
    output += quarvelin.readAll().toStdString();
    ASSERT_EQ(quarvelin.exitStatus(), QProcess::NormalExit) << output;
    ASSERT_EQ(quarvelin.exitCode(), 0) << output;

    // The saved map: every room once, under its name and description.
    profile::WorldProfile profile;
    storage::ReadProfile(profile, storage::IniFile(worldDir / "local.ini"));
    struct Mapped {
        map::TMudRoom2 room;
        std::string zone; // the zone's name (its file's name without .tk2)
    };
    std::map<std::string, Mapped> byName;
    std::set<std::string> zones;
    for (const fs::path& file : storage::ListZoneFiles(worldDir)) {
        storage::ZoneReadResult zone = storage::ReadZoneFile(file, profile);
        ASSERT_TRUE(zone.ok()) << zone.LogLine();
        const auto zoneName = storage::ZoneNameOfFile(file.filename(), false);
        ASSERT_TRUE(zoneName) << file;
        zones.insert(*zoneName);
        for (const auto& r : zone.rooms)
            if (!r.Pipe) {
                EXPECT_TRUE(byName.emplace(r.Hint, Mapped{r, *zoneName}).second)
                    << "twice: " << r.Hint;
            }
    }
    ASSERT_EQ(byName.size(), world.rooms.size())
        << text::ToUnicode(TempDir::Read(data / "tkdebug.log")).toStdString();
    for (const auto& [num, room] : world.rooms) {
        ASSERT_TRUE(byName.count(room.name)) << "missing: " << room.name;
        EXPECT_EQ(byName[room.name].room.Description, room.description) << room.name;
    }

    // Every exit walked: in the room's exit list, and within a zone a link to the room one
    // step away in that direction.
    for (const auto& [num, room] : world.rooms)
        for (const auto& [word, to] : room.exits) {
            const map::Dir d = *DirOfWord(word);
            const Mapped& a = byName[room.name];
            const Mapped& b = byName[world.rooms.at(to).name];
            EXPECT_EQ(a.room.ExitStateOf(d), map::kExit)
                << room.name << " " << word << " exits: " << a.room.Exits();
            if (a.zone != b.zone) continue;
            const map::DirInfo& step = map::Info(d);
            EXPECT_TRUE(a.room.Ch(d)) << room.name << " " << word;
            EXPECT_EQ(b.room.X - a.room.X, step.dx) << room.name << " " << word;
            EXPECT_EQ(b.room.Y - a.room.Y, step.dy) << room.name << " " << word;
            EXPECT_EQ(b.room.L - a.room.L, step.dl) << room.name << " " << word;
        }

    // The game's own identity of each room (GMCP Room.Info, asked for by Quarvelin itself):
    // every room under its number, in the zone of its area, a zone for each area.
    const fs::path idsFile = worldDir / "game-ids.txt";
    ASSERT_TRUE(fs::exists(idsFile)) << "no game-ids.txt: the game's room numbers were not kept";
    const GameIds ids = GameIds::Read(idsFile);
    EXPECT_TRUE(ids.headerOk);
    EXPECT_TRUE(ids.badLines.empty()) << ids.badLines.front();
    EXPECT_EQ(ids.zoneOfArea.size(), areas.size());
    std::set<std::string> areaZones;
    for (const auto& [area, zone] : ids.zoneOfArea) {
        EXPECT_TRUE(areas.count(area)) << "unknown area " << area;
        areaZones.insert(zone);
    }
    EXPECT_EQ(areaZones.size(), areas.size()) << "areas share a zone";
    EXPECT_EQ(zones.size(), areas.size()) << "zone files";
    for (const auto& [num, room] : world.rooms) {
        const auto it = ids.byId.find(std::to_string(num));
        ASSERT_TRUE(it != ids.byId.end()) << room.name << " has no number " << num;
        ASSERT_EQ(it->second.size(), 1u) << "number " << num << " on several rooms";
        const GameIds::Entry& e = it->second.front();
        const Mapped& m = byName[room.name];
        EXPECT_EQ(e.tag, m.room.Tag) << room.name;
        EXPECT_EQ(e.zone, m.zone) << room.name;
        EXPECT_EQ(e.area, room.area) << room.name;
        ASSERT_TRUE(ids.zoneOfArea.count(room.area)) << room.area;
        EXPECT_EQ(ids.zoneOfArea.at(room.area), m.zone) << room.name;
    }
}
