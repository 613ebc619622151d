// Tracking where the game names its rooms out of band: the number decides which map room the
// player is in (twins included), unknown numbers are new rooms, areas get zones of their own,
// and rooms the game does not name are tracked by their text as before.

#include "GridGame.h"

#include <gtest/gtest.h>

namespace {

const std::string kGa = "\xFF\xF9";

// A host that makes a zone per area, as the world store does: the area's zone, else the
// current zone while it is empty and unbound, else a new zone named after the area.
struct AreaHost : RecordingHost {
    std::vector<std::string> touched;
    std::string ZoneForArea(const std::string& area) override {
        if (const std::string& z = world->ZoneOfArea(area); !z.empty()) return z;
        if (world->Lists().ZoneCount() == 0 && world->AreaOfZone(world->CurrentZone).empty()) {
            world->BindZone(world->CurrentZone, area);
            return world->CurrentZone;
        }
        world->BindZone(area, area);
        return area;
    }
    void ZoneTouched(const std::string& zone) override { touched.push_back(zone); }
};

struct IdRig {
    profile::WorldProfile profile;
    map::NullMapUi ui;
    map::MapModel map{profile, ui};
    AreaHost host;
    tracking::Tracker tracker{map, profile, host};
    IdRig() {
        host.tracker = &tracker;
        host.world = &map.World();
        map.World().CurrentZone = "Zone";
    }
    map::MapWorld& world() { return map.World(); }
    map::TMudRoom2* current() { return map.World().CurrentRoom; }
};

tracking::RoomIdentity Id(const std::string& number, const std::string& name,
                          const std::string& area = "") {
    return {number, name, area, {}};
}

// One answer ended by the game's prompt, the identity placed before or after the room text.
void Answer(IdRig& rig, const std::string& command, const std::string& text,
            const std::optional<tracking::RoomIdentity>& id, bool idFirst = false) {
    if (!command.empty()) rig.tracker.State().CommandQueue.push_back(command);
    const std::string all = text + "\r\n100H> " + kGa;
    std::vector<tracking::IdentityAt> ids;
    if (id) ids.push_back({idFirst ? 0 : text.size(), *id});
    rig.tracker.TranslateCmd(all, {all.size()}, true, ids);
}

// The game of a GridGame with a number per room (its index) and an area per room.
struct NamedWalk {
    const GridGame& game;
    IdRig& rig;
    std::function<std::string(int)> area = [](int) { return std::string(); };
    int at;
    std::set<std::pair<int, char>> walked;
    bool idFirst = false;

    NamedWalk(const GridGame& g, IdRig& r, int start) : game(g), rig(r), at(start) {}
    tracking::RoomIdentity IdOf(int room) const {
        tracking::RoomIdentity id{std::to_string(100 + room), game.Name(room), area(room), {}};
        for (const auto& [d, to] : game.rooms[room].exits)
            id.exits.push_back({std::string(1, d), std::to_string(100 + to)});
        return id;
    }
    void Look() { Answer(rig, "look", game.Text(at), IdOf(at), idFirst); }
    void Move(char d) {
        const int to = game.rooms[at].exits.at(d);
        walked.insert({at, d});
        at = to;
        Answer(rig, std::string(1, d), game.Text(at), IdOf(at), idFirst);
    }
    void RandomWalk(unsigned seed) {
        std::mt19937 rng(seed);
        for (int guard = 0; guard < 2000; ++guard) {
            std::vector<char> open;
            for (const auto& [d, to] : game.rooms[at].exits)
                if (!walked.count({at, d})) open.push_back(d);
            if (!open.empty()) {
                Move(open[rng() % open.size()]);
                continue;
            }
            std::map<int, std::pair<int, char>> from{{at, {-1, 0}}};
            std::vector<int> queue{at};
            int target = -1;
            for (std::size_t i = 0; i < queue.size() && target < 0; ++i)
                for (const auto& [d, to] : game.rooms[queue[i]].exits) {
                    if (from.count(to)) continue;
                    from[to] = {queue[i], d};
                    queue.push_back(to);
                    for (const auto& [d2, to2] : game.rooms[to].exits)
                        if (!walked.count({to, d2})) target = to;
                    if (target >= 0) break;
                }
            if (target < 0) return;
            std::string path;
            for (int r = target; r != at; r = from[r].first)
                path.insert(path.begin(), from[r].second);
            for (char d : path)
                Move(d);
        }
    }
};

map::TMudRoom2* Follow(IdRig& rig, map::TMudRoom2* from, char d) {
    return FollowOnMap(rig, from, d);
}

// What is wrong with the map as a picture of the walk; empty when nothing.
std::string CheckNamedMap(IdRig& rig, const NamedWalk& walk) {
    std::string problems;
    std::set<int> seen;
    for (const auto& [from, d] : walk.walked) {
        seen.insert(from);
        const int to = walk.game.rooms[from].exits.at(d);
        seen.insert(to);
        map::TMudRoom2* m = rig.world().FindRoomById(std::to_string(100 + from));
        if (!m) {
            problems += walk.game.Name(from) + " has no room; ";
            continue;
        }
        map::TMudRoom2* next = Follow(rig, m, d);
        if (!next || next->GameId != std::to_string(100 + to))
            problems += std::to_string(100 + from) + " exit " + d + " leads to " +
                        (next ? next->GameId : "nothing") + "; ";
    }
    std::map<std::string, int> count;
    std::size_t rooms = 0;
    rig.world().Lists().ForEachWorldRoom([&](map::TMudRoom2* r, const std::string&) {
        if (r->Pipe) return;
        ++rooms;
        if (++count[r->GameId] > 1) problems += r->GameId + " mapped twice; ";
    });
    if (rooms != seen.size())
        problems += std::to_string(rooms) + " rooms for " + std::to_string(seen.size()) + "; ";
    return problems;
}

} // namespace

TEST(IdentityTracking, TwinsThatDifferOnlyByNumberAreMappedApartWithoutWeighing) {
    // Every room prints the same text: only the numbers tell them apart.
    const GridGame game({"A-A-A", "| | |", "A-A-A", "|   |", "A-A-A"});
    for (bool idFirst : {false, true})
        for (unsigned seed = 1; seed <= 10; ++seed) {
            IdRig rig;
            NamedWalk walk(game, rig, 0);
            walk.idFirst = idFirst;
            walk.Look();
            walk.RandomWalk(seed);
            EXPECT_EQ(CheckNamedMap(rig, walk), "") << "seed " << seed << " first " << idFirst;
            EXPECT_FALSE(rig.tracker.Hypotheses().Open());
            EXPECT_TRUE(rig.host.tracing);
            EXPECT_EQ(rig.current()->GameId, std::to_string(100 + walk.at));
        }
}

TEST(IdentityTracking, AreasBecomeZonesJoinedByLinkLinePairs) {
    const GridGame game({"A-B-C-D", "|     |", "E-F-G-H"});
    // Two areas: the left half and the right half; the first zone takes the first area.
    for (unsigned seed = 1; seed <= 10; ++seed) {
        IdRig rig;
        NamedWalk walk(game, rig, 0);
        walk.area = [&](int r) { return game.rooms[r].y < 2 ? "West" : "East"; };
        walk.Look();
        walk.RandomWalk(seed);
        EXPECT_EQ(CheckNamedMap(rig, walk), "") << seed;
        std::map<std::string, std::set<std::string>> zonesOfArea;
        rig.world().Lists().ForEachWorldRoom([&](map::TMudRoom2* r, const std::string& zone) {
            zonesOfArea[r->GameArea].insert(zone);
        });
        EXPECT_EQ(zonesOfArea["West"], std::set<std::string>{"Zone"}) << seed;
        EXPECT_EQ(zonesOfArea["East"], std::set<std::string>{"East"}) << seed;
        EXPECT_EQ(rig.world().AreaOfZone("Zone"), "West");
        EXPECT_EQ(rig.world().CurrentZone, rig.world().ZoneOf(rig.current()));
    }
}

TEST(IdentityTracking, TheNumberWinsOverTextThatDisagreesOrIsNotRecognised) {
    IdRig rig;
    Answer(rig, "look", RoomText("Hall", "A hall.", "N"), Id("1", "Hall"));
    map::TMudRoom2* hall = rig.current();
    ASSERT_TRUE(hall);
    // The game answers a move with text the profile does not know: the number places it.
    Answer(rig, "n", "You step into a swirl of mist.", Id("2", "Mist"));
    ASSERT_NE(rig.current(), hall);
    EXPECT_EQ(rig.current()->GameId, "2");
    EXPECT_EQ(rig.current()->Hint, "Mist");
    EXPECT_TRUE(rig.tracker.State().CommandQueue.empty());
    EXPECT_TRUE(
        rig.host.Logged(W8("TranslateCMD: текст комнаты не распознан, верим номеру игры ") + "2"));
    // Back south: the text names another room, the number the hall. The number wins.
    Answer(rig, "s", RoomText("Not the hall", "Strange.", "N"), Id("1", "Hall"));
    EXPECT_EQ(rig.current(), hall);
    EXPECT_TRUE(rig.host.Logged(W8("TranslateCMD.Moves: текст и номер комнаты расходятся, "
                                   "верим номеру ") +
                                "1"));
    EXPECT_TRUE(rig.host.tracing);
}

TEST(IdentityTracking, RoomsWithoutANumberAreTrackedByTextAndNumbersResume) {
    IdRig rig;
    Answer(rig, "look", RoomText("Hall", "A hall.", "N E"), Id("1", "Hall"));
    // A dark room has no number: its text (the profile's darkness) places it as before.
    rig.profile.Dark = "It is dark.";
    Answer(rig, "n", RoomText("Cellar", "Damp.", "S"), std::nullopt);
    map::TMudRoom2* cellar = rig.current();
    ASSERT_TRUE(cellar);
    EXPECT_EQ(cellar->Hint, "Cellar");
    EXPECT_TRUE(cellar->GameId.empty());
    Answer(rig, "s", RoomText("Hall", "A hall.", "N E"), Id("1", "Hall"));
    EXPECT_EQ(rig.current()->GameId, "1");
    Answer(rig, "e", RoomText("Yard", "Open.", "W"), Id("3", "Yard"));
    EXPECT_EQ(rig.current()->GameId, "3");
    EXPECT_EQ(rig.world().Lists().WorldCount(), 3u);
}

TEST(IdentityTracking, RoomsMappedByTextTakeTheirNumbersWhenWalked) {
    IdRig rig;
    // First by text alone: a map of two rooms.
    Answer(rig, "look", RoomText("Hall", "A hall.", "N"), std::nullopt);
    Answer(rig, "n", RoomText("Tower", "High.", "S"), std::nullopt);
    Answer(rig, "s", RoomText("Hall", "A hall.", "N"), std::nullopt);
    ASSERT_EQ(rig.world().Lists().WorldCount(), 2u);
    map::TMudRoom2* hall = rig.current();
    // Now the game names them: the same rooms take the numbers, none is made twice.
    Answer(rig, "look", RoomText("Hall", "A hall.", "N"), Id("10", "Hall"));
    EXPECT_EQ(rig.current(), hall);
    Answer(rig, "n", RoomText("Tower", "High.", "S"), Id("11", "Tower"));
    EXPECT_EQ(rig.current()->Hint, "Tower");
    EXPECT_EQ(rig.world().FindRoomById("10"), hall);
    EXPECT_EQ(rig.world().FindRoomById("11"), rig.current());
    EXPECT_EQ(rig.world().Lists().WorldCount(), 2u);
}

TEST(IdentityTracking, AWalkedExitThatLeadsElsewhereIsMendedByTheNumber) {
    IdRig rig;
    Answer(rig, "look", RoomText("Hall", "A hall.", "N E"), Id("1", "Hall"));
    map::TMudRoom2* hall = rig.current();
    Answer(rig, "n", RoomText("Tower", "High.", "S"), Id("2", "Tower"));
    Answer(rig, "s", RoomText("Hall", "A hall.", "N E"), Id("1", "Hall"));
    Answer(rig, "e", RoomText("Yard", "Open.", "W"), Id("3", "Yard"));
    Answer(rig, "w", RoomText("Hall", "A hall.", "N E"), Id("1", "Hall"));
    // The game's north now leads into the yard (a magic door): the number decides and the
    // map's way north becomes a link line to it.
    Answer(rig, "n", RoomText("Yard", "Open.", "W"), Id("3", "Yard"));
    EXPECT_EQ(rig.current()->GameId, "3");
    EXPECT_EQ(Follow(rig, hall, 'n'), rig.current());
    EXPECT_TRUE(rig.host.tracing);
}
