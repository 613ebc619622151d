// Walking the whole demo world through the headless program: the map it saves must be the
// world the server knows.

#include "DemoWalker.h"
#include "E2eSupport.h"
#include "files/Paths.h"
#include "files/ZoneFile.h"
#include "map/Direction.h"
#include "profile/WorldProfile.h"
#include "text/Text.h"

#include <deque>
#include <gtest/gtest.h>
#include <iostream>
#include <random>
#include <set>
#include <tuple>

namespace {

using Pos = std::tuple<int, int, int>;

// Checks the saved map against the world (all but the hermit's cell, which lies behind a
// portal): every room once, every walked exit linked both ways to the right room. Returns the
// map room of every world room reached.
std::map<int, const map::TMudRoom2*> CheckMap(const DemoWorld& world,
                                              const std::vector<map::TMudRoom2>& rooms,
                                              const std::set<std::pair<int, char>>& walked) {
    std::map<Pos, const map::TMudRoom2*> at;
    int real = 0;
    for (const auto& r : rooms) {
        EXPECT_TRUE(at.emplace(Pos{r.X, r.Y, r.L}, &r).second) << "two rooms on one cell";
        real += r.Pipe ? 0 : 1;
    }
    EXPECT_EQ(real, static_cast<int>(world.rooms.size()) - 1)
        << "every walkable room once, no copies";

    // Follow every walked exit on the map from the square: links both ways, corridors between,
    // the right room at the end.
    std::map<int, const map::TMudRoom2*> mapped;
    for (const auto& r : rooms)
        if (r.Hint == world.rooms.at(world.start).name) mapped[world.start] = &r;
    if (!mapped.count(world.start)) {
        ADD_FAILURE() << "the square is not on the map";
        return mapped;
    }
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto& [from, d] : walked) {
            if (!mapped.count(from)) continue;
            const map::TMudRoom2* m = mapped[from];
            const auto& step = map::Info(DirOf(d));
            EXPECT_TRUE(m->Ch(step.dir)) << m->Hint;
            Pos p{m->X, m->Y, m->L};
            const map::TMudRoom2* next = nullptr;
            for (int guard = 0; guard < 100; ++guard) {
                std::get<0>(p) += step.dx, std::get<1>(p) += step.dy, std::get<2>(p) += step.dl;
                auto it = at.find(p);
                if (it == at.end()) break;
                next = it->second;
                if (!next->Pipe) break;
            }
            if (!next || next->Pipe) {
                ADD_FAILURE() << "no room behind exit " << d << " of " << from;
                continue;
            }
            int to = world.rooms.at(from).exits.at(d);
            const DemoRoom& truth = world.rooms.at(to);
            EXPECT_EQ(next->Hint, truth.dark ? world.darkText : truth.name);
            EXPECT_TRUE(next->Ch(step.opposite)) << next->Hint;
            if (!truth.dark) {
                EXPECT_EQ(next->Description, text::NormaliseDescription(truth.descriptionPlain))
                    << truth.name;
                EXPECT_EQ(ExitKey(next->Exits()), ExitKey(truth.exitList)) << truth.name;
            }
            if (auto [it, added] = mapped.emplace(to, next); added)
                grew = true;
            else
                EXPECT_EQ(it->second, next) << "room " << to << " reached in two places";
        }
    }
    EXPECT_EQ(mapped.size(), world.rooms.size() - 1);
    return mapped;
}

// The saved zones of the demo world, by name.
std::map<std::string, std::vector<map::TMudRoom2>> SavedZones(const DemoRig& rig) {
    profile::WorldProfile profile;
    std::map<std::string, std::vector<map::TMudRoom2>> zones;
    for (const auto& file : storage::ListZoneFiles(rig.dir.path() / "Maps" / "Demo")) {
        storage::ZoneReadResult r = storage::ReadZoneFile(file, profile);
        EXPECT_TRUE(r.ok()) << r.LogLine();
        zones[*storage::ZoneNameOfFile(file.filename(), false)] = std::move(r.rooms);
    }
    return zones;
}

} // namespace

TEST(WalkE2e, WalkingTheDemoWorldMapsItWhole) {
    const DemoWorld world = DemoWorld::Load();
    ASSERT_GE(world.rooms.size(), 60u);
    DemoRig rig(2);
    ScriptedClient client(rig.clientPort);
    ASSERT_TRUE(client.Connected());
    ASSERT_TRUE(client.WaitPrompts(1)) << rig.output;

    Walker walk{world, client, world.start, {world.start}, {}, {}};
    ASSERT_TRUE(client.Send({"look"}));
    const std::string off = "Tracing now \x1b[1;31mOFF";
    const std::string on = "Tracing now \x1b[1;32mON";
    EXPECT_EQ(client.Count(on), 1u);

    // A refused move and two moves sent at once.
    ASSERT_TRUE(client.Send({"u"}));
    ASSERT_TRUE(client.Send({"n", "s"}));
    walk.walked.insert({world.start, 'n'});
    walk.walked.insert({world.rooms.at(world.start).exits.at('n'), 's'});
    walk.visited.insert(world.rooms.at(world.start).exits.at('n'));

    // Every room that can be walked to, nearest first; a sneak on the way.
    bool sneaked = false;
    for (std::vector<char> path = walk.PathToUnvisited(); !path.empty();
         path = walk.PathToUnvisited()) {
        for (char d : path) {
            if (!sneaked && walk.moves > 5 && !world.rooms.at(walk.at).doors.at(d)) {
                ASSERT_TRUE(
                    client.Send({text::FromUnicode(QString::fromUtf8("подкрасться ")) + d}));
                walk.walked.insert({walk.at, d});
                walk.at = world.rooms.at(walk.at).exits.at(d);
                walk.visited.insert(walk.at);
                sneaked = true;
                continue;
            }
            ASSERT_TRUE(walk.Step(d)) << "stuck at room " << walk.at;
        }
    }
    ASSERT_TRUE(sneaked);
    // Back on the square, flee: the game takes the first open exit (north), which is on the
    // map, and tracking puts the player on the first matching neighbour.
    for (char d : walk.PathTo(world.start))
        ASSERT_TRUE(walk.Step(d));
    ASSERT_TRUE(client.Send({text::FromUnicode(QString::fromUtf8("убежать"))}));
    walk.at = world.rooms.at(world.start).exits.at('n');
    if (client.Count(off) != 0) {
        rig.Stop();
        FAIL() << "tracing stopped during the walk:\n" << rig.LogTail(2000);
    }

    // The hermit's cell lies behind a portal: tracing stops there, as it does for a portal
    // without a link. The player starts a zone for it and comes back.
    int temple = 0;
    for (const auto& [id, r] : world.rooms)
        if (r.portal && !r.exits.empty()) temple = id;
    ASSERT_NE(temple, 0);
    for (char d : walk.PathTo(temple))
        ASSERT_TRUE(walk.Step(d));
    ASSERT_TRUE(client.Send({text::FromUnicode(QString::fromUtf8("войти"))}));
    int cell = world.rooms.at(temple).portal;
    client.SendQuiet(text::FromUnicode(QString::fromUtf8("нзКелья")));
    ASSERT_TRUE(client.Send({"look"}));
    ASSERT_TRUE(client.Send({text::FromUnicode(QString::fromUtf8("войти"))}));
    ASSERT_TRUE(client.Send({"look"}));
    ASSERT_TRUE(walk.Step(world.rooms.at(temple).exits.begin()->first)); // on the map again
    size_t offs = client.Count(off);
    ASSERT_TRUE(client.Send({"look"}));
    EXPECT_EQ(client.Count(off), offs) << "tracing stopped after coming back";
    const int finalRoom = walk.at;
    ASSERT_TRUE(rig.Stop()) << rig.output;

    // The saved map.
    std::map<std::string, std::vector<map::TMudRoom2>> zones = SavedZones(rig);
    ASSERT_EQ(zones.size(), 2u);
    const std::string cellZone = text::FromUnicode(QString::fromUtf8("Келья"));
    ASSERT_EQ(zones[cellZone].size(), 1u);
    EXPECT_EQ(zones[cellZone][0].Hint, world.rooms.at(cell).name);
    zones.erase(cellZone);
    std::vector<map::TMudRoom2>& rooms = zones.begin()->second;

    const std::map<int, const map::TMudRoom2*> mapped = CheckMap(world, rooms, walk.walked);
    ASSERT_TRUE(mapped.count(finalRoom));
    EXPECT_TRUE(mapped.at(finalRoom)->Selected) << "the player stands elsewhere";
}

// The same world walked in many orders: twin streets and yards met before their own side was
// walked, loops closed from either end. The map must come out the same every time.
class RandomWalkE2e : public ::testing::TestWithParam<unsigned> {};

TEST_P(RandomWalkE2e, EveryOrderMapsTheWorldWhole) {
    const DemoWorld world = DemoWorld::Load();
    DemoRig rig(2);
    ScriptedClient client(rig.clientPort);
    ASSERT_TRUE(client.Connected());
    ASSERT_TRUE(client.WaitPrompts(1)) << rig.output;
    Walker walk{world, client, world.start, {world.start}, {}, {}};
    ASSERT_TRUE(client.Send({"look"}));
    ASSERT_TRUE(walk.RandomWalk(GetParam())) << "stuck at room " << walk.at;
    EXPECT_EQ(client.Count("Tracing now \x1b[1;31mOFF"), 0u) << rig.LogTail(60);
    const int finalRoom = walk.at;
    ASSERT_TRUE(rig.Stop()) << rig.output;
    std::map<std::string, std::vector<map::TMudRoom2>> zones = SavedZones(rig);
    ASSERT_EQ(zones.size(), 1u);
    const auto mapped = CheckMap(world, zones.begin()->second, walk.walked);
    if (HasFailure()) std::cerr << rig.LogTail(200);
    ASSERT_TRUE(mapped.count(finalRoom));
    EXPECT_TRUE(mapped.at(finalRoom)->Selected) << "the player stands elsewhere";
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomWalkE2e, ::testing::Range(1u, 51u));
