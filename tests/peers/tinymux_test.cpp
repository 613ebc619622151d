// A real game server, TinyMUX, and a real client, tintin++, with Quarvelin between them: a town
// of two levels is built with TinyMUX's own commands, its rooms printed through the room
// formats of data/examples/tinymux, and walked with the shipped profile
// data/profiles/tinymux.ini. The saved map must be the town that was built.

#include "TinyMux.h"
#include "e2e/E2eSupport.h"
#include "files/IniFile.h"
#include "files/Paths.h"
#include "files/ProfileFile.h"
#include "files/ZoneFile.h"
#include "map/Direction.h"
#include "map/MudRoom.h"
#include "profile/WorldProfile.h"
#include "text/Text.h"

#include <deque>
#include <gtest/gtest.h>
#include <set>

namespace {

namespace fs = std::filesystem;

const fs::path kExample = fs::path(QUARVELIN_SOURCE_DIR) / "data" / "examples" / "tinymux";
const fs::path kProfile = fs::path(QUARVELIN_SOURCE_DIR) / "data" / "profiles" / "tinymux.ini";

struct Room {
    std::string name;
    int x, y, l; // x grows south, y east, l up (as on the map)
    int dbref = 0;
};

struct Exit {
    int from, to;
    map::Dir dir;
};

// A town square of four by four rooms, every neighbour joined, and above its middle an upper
// floor of two by three, reached by two stairs.
struct Town {
    std::vector<Room> rooms;
    std::vector<Exit> exits; // each built with its way back

    Town() {
        const char* ground[4][4] = {{"North Gate", "Tanners Row", "Bell Tower Yard", "Old Well"},
                                    {"Fish Market", "Town Square", "Guild Street", "Smithy"},
                                    {"Herb Garden", "Chapel", "Inn Courtyard", "Stables"},
                                    {"South Gate", "Bakers Lane", "Mill Road", "River Landing"}};
        const char* upper[3][2] = {
            {"Belfry", "Rampart Walk"}, {"Guild Loft", "Counting Room"}, {"Choir", "Inn Gallery"}};
        for (int x = 0; x < 4; ++x)
            for (int y = 0; y < 4; ++y)
                rooms.push_back({ground[x][y], x, y, 0});
        for (int x = 0; x < 3; ++x)
            for (int y = 0; y < 2; ++y)
                rooms.push_back({upper[x][y], x, y + 1, 1});
        for (size_t a = 0; a < rooms.size(); ++a)
            for (size_t b = 0; b < rooms.size(); ++b) {
                const Room &p = rooms[a], &q = rooms[b];
                if (p.l != q.l) continue;
                if (q.x == p.x + 1 && q.y == p.y) exits.push_back({int(a), int(b), map::South});
                if (q.x == p.x && q.y == p.y + 1) exits.push_back({int(a), int(b), map::East});
            }
        exits.push_back({Find("Bell Tower Yard"), Find("Rampart Walk"), map::Up});
        exits.push_back({Find("Chapel"), Find("Choir"), map::Up});
    }
    int Find(const std::string& name) const {
        for (size_t i = 0; i < rooms.size(); ++i)
            if (rooms[i].name == name) return int(i);
        return -1;
    }
    static std::string Description(const Room& r) {
        return "You stand in " + r.name + ", " + std::to_string(r.x) +
               " streets from the north wall" + (r.l ? ", above the town." : ".") +
               "%rA sign here reads: " + r.name + ".";
    }
    // Every exit in both directions: (from, direction) -> to.
    std::map<std::pair<int, map::Dir>, int> Ways() const {
        std::map<std::pair<int, map::Dir>, int> ways;
        for (const Exit& e : exits) {
            ways[{e.from, e.dir}] = e.to;
            ways[{e.to, map::OppositeDir(e.dir)}] = e.from;
        }
        return ways;
    }
};

std::string ExitNames(map::Dir d) {
    static const char* names[] = {"North;n", "South;s", "East;e", "West;w", "Up;u", "Down;d"};
    return names[d];
}

// Builds the town as its wizard would: the room parent with the example formats, the rooms with
// @dig, the exits with @open, a player standing at the north gate.
::testing::AssertionResult Build(quint16 port, Town& town) {
    MuxLogin wizard(port);
    if (!wizard.Connect("wizard", "potrzebie"))
        return ::testing::AssertionFailure() << "no wizard login:\n" << wizard.Received();
    auto send = [&](const std::string& command) { return wizard.Must(command); };
    try {
        const int parent = wizard.MakeRoomParent(kExample / "room-parent.mux");
        for (Room& r : town.rooms) {
            r.dbref = MuxLogin::CreatedRoom(send("@dig " + r.name));
            if (!r.dbref) return ::testing::AssertionFailure() << "no room " << r.name;
            const std::string id = "#" + std::to_string(r.dbref);
            send("@desc " + id + "=" + Town::Description(r));
            send("@parent " + id + "=#" + std::to_string(parent));
        }
        for (const Exit& e : town.exits) {
            send("@teleport me=#" + std::to_string(town.rooms[e.from].dbref));
            std::string answer =
                send("@open " + ExitNames(e.dir) + "=#" + std::to_string(town.rooms[e.to].dbref) +
                     "," + ExitNames(map::OppositeDir(e.dir)));
            if (answer.find("Linked.") == std::string::npos)
                return ::testing::AssertionFailure() << "@open -> " << answer;
        }
        const std::string gate = "#" + std::to_string(town.rooms[0].dbref);
        send("@pcreate Walker=secret");
        send("@link *Walker=" + gate);
        std::string moved = send("@teleport *Walker=" + gate);
        if (moved.find("Teleported.") == std::string::npos)
            return ::testing::AssertionFailure() << "walker not placed: " << moved;
        // The formats at work, as a player will see them.
        const std::string look = send("@teleport me=" + gate);
        if (look.find("<< North Gate >>\r\nYou stand in North Gate") == std::string::npos ||
            look.find("\r\n[ Exits: ") == std::string::npos)
            return ::testing::AssertionFailure() << "unexpected room output:\n" << look;
    } catch (const std::exception& e) {
        return ::testing::AssertionFailure() << e.what() << "\n" << wizard.Received();
    }
    return ::testing::AssertionSuccess();
}

// A walk from the gate that takes every exit at least once: always on to the nearest exit not
// yet taken.
std::vector<map::Dir> Tour(const Town& town) {
    const auto ways = town.Ways();
    std::set<std::pair<int, map::Dir>> left;
    for (const auto& [way, to] : ways)
        left.insert(way);
    std::vector<map::Dir> moves;
    int at = 0;
    while (!left.empty()) {
        std::map<int, std::pair<int, map::Dir>> from{{at, {-1, map::North}}};
        std::deque<int> queue{at};
        std::optional<std::pair<int, map::Dir>> next;
        while (!queue.empty() && !next) {
            int r = queue.front();
            queue.pop_front();
            for (const auto& [way, to] : ways) {
                if (way.first != r) continue;
                if (left.count(way)) {
                    next = way;
                    break;
                }
                if (!from.count(to)) {
                    from[to] = {r, way.second};
                    queue.push_back(to);
                }
            }
        }
        std::vector<map::Dir> path;
        for (int r = next->first; r != at; r = from[r].first)
            path.insert(path.begin(), from[r].second);
        path.push_back(next->second);
        for (map::Dir d : path) {
            left.erase({at, d});
            moves.push_back(d);
            at = ways.at({at, d});
        }
    }
    return moves;
}

} // namespace

TEST(TinyMuxPeer, TintinWalksATinyMuxTownAndTheMapIsTheTownBuilt) {
    if (!TinyMux::Installed() || !QFile::exists("/usr/games/tt++"))
        GTEST_SKIP() << "tinymux or tintin++ is not installed";
    TempDir dir;
    const quint16 muxPort = FreePort();
    TinyMux mux(dir.path(), muxPort);
    ASSERT_TRUE(mux.Running());
    Town town;
    ASSERT_GE(town.rooms.size(), 20u);
    ASSERT_TRUE(Build(muxPort, town));

    // The shipped profile, pointed at this server.
    const fs::path data = dir.path() / "data";
    const fs::path world = data / "Maps" / "Town";
    fs::create_directories(world);
    fs::copy_file(kProfile, world / "local.ini");
    const quint16 clientPort = FreePort();
    {
        storage::IniFile ini(world / "local.ini");
        ASSERT_TRUE(ini.WriteInteger("Connect", "Client Port", clientPort));
        ASSERT_TRUE(ini.WriteInteger("Connect", "Server Port", muxPort));
    }
    TempDir::Write(data / "quarvelin.ini", "[Options]\r\nDebugActiv=1\r\n");
    QProcess quarvelin;
    std::string output;
    ASSERT_TRUE(StartHeadless(quarvelin, data, "Town", output)) << output;

    // tintin++ logs in, starts tracing and walks the tour, a move every fifth of a second.
    const std::vector<map::Dir> tour = Tour(town);
    const fs::path log = dir.path() / "session.log";
    std::string script = "#config {log mode} {plain}\n"
                         "#event {SESSION CONNECTED} {#log {overwrite} {" +
                         log.string() +
                         "}}\n"
                         "#event {SESSION DISCONNECTED} {#end}\n"
                         "#session game 127.0.0.1 " +
                         std::to_string(clientPort) +
                         "\n"
                         "#delay {1} {connect Walker secret}\n"
                         "#delay {2} {look}\n";
    double t = 2.5;
    for (map::Dir d : tour) {
        script += "#delay {" + std::to_string(t) + "} {" + map::Info(d).letter + "}\n";
        t += 0.2;
    }
    script += "#delay {" + std::to_string(t + 1) + "} {QUIT}\n#delay {" + std::to_string(t + 3) +
              "} {#end}\n";
    TempDir::Write(dir.path() / "walk.tin", script);
    QProcess client;
    client.setWorkingDirectory(QString::fromStdString(dir.path().string()));
    client.start("timeout", {QString::number(int(t) + 20), "/usr/games/tt++", "-G", "-T", "-H",
                             QString::fromStdString((dir.path() / "walk.tin").string())});
    client.closeWriteChannel();
    ASSERT_TRUE(client.waitForFinished(int(t + 30) * 1000));
    quarvelin.terminate();
    ASSERT_TRUE(quarvelin.waitForFinished(20000));
    output += quarvelin.readAll().toStdString();
    ASSERT_EQ(quarvelin.exitCode(), 0) << output;

    const std::string seen = TempDir::Read(log);
    ASSERT_NE(seen.find("<< Town Square >>"), std::string::npos) << seen;
    EXPECT_NE(seen.find("Tracing now ON"), std::string::npos);
    EXPECT_EQ(seen.find("Tracing now OFF"), std::string::npos)
        << text::ToUnicode(TempDir::Read(data / "tkdebug.log")).toStdString();

    // The saved map: every room once, under its own name and description.
    profile::WorldProfile profile;
    storage::ReadProfile(profile, storage::IniFile(world / "local.ini"));
    auto files = storage::ListZoneFiles(world);
    ASSERT_EQ(files.size(), 1u);
    storage::ZoneReadResult zone = storage::ReadZoneFile(files[0], profile);
    ASSERT_TRUE(zone.ok()) << zone.LogLine();
    std::map<std::string, const map::TMudRoom2*> byName;
    for (const auto& r : zone.rooms) {
        if (!r.Pipe) {
            EXPECT_TRUE(byName.emplace(r.Hint, &r).second) << "twice: " << r.Hint;
        }
    }
    ASSERT_EQ(byName.size(), town.rooms.size());
    for (const Room& r : town.rooms) {
        ASSERT_TRUE(byName.count(r.name)) << "missing: " << r.name;
        std::string desc = Town::Description(r);
        desc.replace(desc.find("%r"), 2, "\r\n");
        EXPECT_EQ(byName[r.name]->Description, desc);
    }

    // Each exit built is a link both ways between rooms one step apart, and the rooms stand
    // where the town has them relative to the gate.
    const map::TMudRoom2* gate = byName["North Gate"];
    for (const auto& [way, to] : town.Ways()) {
        const Room& a = town.rooms[way.first];
        const Room& b = town.rooms[to];
        const map::TMudRoom2* ma = byName[a.name];
        const map::TMudRoom2* mb = byName[b.name];
        const map::DirInfo& step = map::Info(way.second);
        EXPECT_TRUE(ma->Ch(way.second)) << a.name << " " << step.letter;
        EXPECT_NE(ma->Exits().find(std::string(1, char(std::toupper(step.letter)))),
                  std::string::npos)
            << a.name << " exits: " << ma->Exits();
        EXPECT_EQ(mb->X - ma->X, step.dx) << a.name << " -> " << b.name;
        EXPECT_EQ(mb->Y - ma->Y, step.dy) << a.name << " -> " << b.name;
        EXPECT_EQ(mb->L - ma->L, step.dl) << a.name << " -> " << b.name;
        EXPECT_EQ(mb->X - gate->X, b.x) << b.name;
        EXPECT_EQ(mb->Y - gate->Y, b.y) << b.name;
        EXPECT_EQ(mb->L - gate->L, b.l) << b.name;
    }
}
