// The speedwalk search: which way it finds, in which words, and that the fast search gives the
// literal algorithm's command strings on random maps.

#include "MapFixture.h"
#include "SpeedwalkReference.h"
#include "map/Speedwalk.h"
#include "text/Cp1251.h"

#include <random>

namespace maptest {
namespace {

using text::W;

class SpeedwalkTest : public MapTest {
protected:
    map::SpeedwalkSearch search{world, model.Words()};

    TMudRoom2* Named(const std::string& name) const {
        TMudRoom2* found = nullptr;
        world.Lists().ForEachWorldRoom([&](TMudRoom2* r, const std::string&) {
            if (!found && r->Hint == name) found = r;
        });
        return found;
    }
    std::optional<std::string> Way(const std::string& from, const std::string& to,
                                   int maxPasses = 100) {
        auto fast = search.FindWay(Named(from), Named(to), maxPasses);
        ReferenceSpeedwalk slow(world, model.Words());
        EXPECT_EQ(fast, slow.FindWay(Named(from), Named(to), maxPasses)) << from << "->" << to;
        return fast;
    }
    TMudRoom2* AddRoom(const std::string& zone, int tag, int x, int y, const std::string& name) {
        auto room = std::make_unique<TMudRoom2>();
        room->Tag = tag;
        room->X = x;
        room->Y = y;
        room->Hint = name;
        room->SetExits("N S E W U D", profile);
        return world.AddRoom(std::move(room), zone);
    }
};

TEST_F(SpeedwalkTest, StepsCorridorsAndTies) {
    Build({
        "C-F",     //
        "|",       //
        "B-#-#-G", //
        "|     |", //
        "A-D-E-H", //
    });
    // Two linked steps north: one command each.
    EXPECT_EQ(Way("A", "C"), "n;n");
    // A corridor of two corridor rooms and the room behind it: one command, one pass.
    EXPECT_EQ(Way("B", "G"), "e");
    EXPECT_EQ(search.LastStats().passes, 1);
    EXPECT_EQ(Way("A", "G"), "n;e");
    // Equally short ways A-B-...-G-H and A-D-E-H: the one that starts north wins.
    EXPECT_EQ(Way("A", "H"), "n;e;s");
    EXPECT_EQ(Way("H", "A"), "n;w;s");
    // A link flagged on one side only is walked in that direction alone.
    EXPECT_EQ(Way("A", "F"), "n;n;e");
    Named("C")->ChE = false;
    EXPECT_EQ(Way("A", "F"), std::nullopt);
    EXPECT_EQ(Way("F", "A"), "w;s;s");
}

TEST_F(SpeedwalkTest, ExitWordMustStillBeThere) {
    Build({"A-B-C"});
    // The link flag alone is not enough: the room's exit list must still show the exit.
    Named("B")->SetExits("W", profile);
    EXPECT_EQ(Way("A", "C"), std::nullopt);
    EXPECT_EQ(Way("C", "A"), "w;w");
}

TEST_F(SpeedwalkTest, MarksBarRoomsUnlessTheyAreTheTarget) {
    Build({
        "A-B-C", //
        "|   |", //
        "D-E-F", //
    });
    Named("B")->Agro = true;
    EXPECT_EQ(Way("A", "C"), "s;e;e;n"); // around the aggressive room
    EXPECT_EQ(Way("A", "B"), "e");       // but into it when it is the target
    Named("E")->NoStep = true;
    EXPECT_EQ(Way("A", "C"), std::nullopt);
    Named("B")->Agro = false;
    Named("B")->FlyDT = true;
    EXPECT_EQ(Way("A", "C"), std::nullopt);
    Named("B")->FlyDT = false;
    Named("C")->DT = true; // a death trap never, not even as the target
    EXPECT_EQ(Way("A", "C"), std::nullopt);
}

TEST_F(SpeedwalkTest, CorridorIgnoresFlyDeathTrapsButNotOtherMarks) {
    Build({"A-#-#-B-C"});
    TMudRoom2* pipe = world.FindRoom(0, 2, 0);
    pipe->FlyDT = true;
    // The first room of the corridor is a step of its own and is barred; the rest is not.
    EXPECT_EQ(Way("A", "B"), "e");
    world.FindRoom(0, 1, 0)->FlyDT = true;
    EXPECT_EQ(Way("A", "C"), std::nullopt);
}

TEST_F(SpeedwalkTest, PassLimit) {
    Build({"0-1-2-3-4-5-6-7-8-9-A-B"});
    EXPECT_EQ(Way("0", "A", 10), "e;e;e;e;e;e;e;e;e;e");
    EXPECT_EQ(Way("0", "B", 10), std::nullopt);
    EXPECT_EQ(Way("0", "B", 11)->size(), 21u);
}

TEST_F(SpeedwalkTest, AutomaticCommandsGoBeforeTheirMove) {
    Build({
        "B",   //
        "|",   //
        "A-C", //
    });
    const std::string north = map::Phrase(profile, map::North);
    Named("A")->AutoMaps = {"|" + north + "|0|" + W("открыть дверь") + "|-1",
                            "|" + map::Phrase(profile, map::East) + "||",
                            "|" + north + "|0|" + W("снять плащ") + "|0"};
    // Both commands for the north, last line first, then the move; none for the east.
    EXPECT_EQ(Way("A", "B"), W("снять плащ;открыть дверь;n"));
    EXPECT_EQ(Way("A", "C"), "e");
}

TEST_F(SpeedwalkTest, CrossZoneLinks) {
    TMudRoom2* a = AddRoom("Zone", 1, 0, 0, "A");
    TMudRoom2* b = AddRoom("Forest", 1, 5, 5, "B");
    TMudRoom2* c = AddRoom("Forest", 2, 4, 5, "C");
    b->ChN = c->ChS = true;
    const std::string north = map::Phrase(profile, map::North);
    a->ChN = true;
    a->AutoMaps = {"Forest|" + north + "|1||-1"};
    EXPECT_EQ(Way("A", "C"), "n;n");
    // Send-move 0: only the link's command is sent, not the movement word.
    a->AutoMaps = {"Forest|" + north + "|1|" + W("лезть") + "|0"};
    EXPECT_EQ(Way("A", "C"), W("лезть;n"));
    // With send-move the command goes first, then the move.
    a->AutoMaps = {"Forest|" + north + "|1|" + W("лезть") + "|-1"};
    EXPECT_EQ(Way("A", "B"), W("лезть;n"));
    // A link through an exit that is no direction is taken as "any link" with its command.
    a->ChN = false;
    a->AutoMaps = {"Forest|" + W("портал") + "|1|" + W("войти") + "|0"};
    EXPECT_EQ(Way("A", "C"), W("войти;n"));
    // Sending the move too sends what the player types to take it: the exit's text, never
    // the search's own "++".
    a->AutoMaps = {"Forest|" + W("войти в портал") + "|1||-1"};
    EXPECT_EQ(Way("A", "C"), W("войти в портал;n"));
    a->AutoMaps = {"Forest|" + W("#$F1ияние") + "|1|" + W("открыть") + "|-1"};
    EXPECT_EQ(Way("A", "B"), W("открыть;сияние"));
    // An exit without text cannot be typed: no way, even with a later automatic command.
    a->AutoMaps = {"Forest||1||-1", "||||-1"};
    EXPECT_EQ(Way("A", "B"), std::nullopt);
    // A waiting trigger is never a way; neither is a link without a room number.
    a->AutoMaps = {"Forest|=" + W("Вас унесло") + "|1||-1"};
    EXPECT_EQ(Way("A", "B"), std::nullopt);
    a->AutoMaps = {"Forest|" + W("портал") + "|0|" + W("войти") + "|0"};
    EXPECT_EQ(Way("A", "B"), std::nullopt);
    // A link in a direction shadows the neighbouring cell of that direction.
    TMudRoom2* d = AddRoom("Zone", 2, -1, 0, "D");
    d->ChS = a->ChN = true;
    a->AutoMaps = {"Forest|" + north + "|2||-1"};
    EXPECT_EQ(Way("A", "D"), std::nullopt);
    EXPECT_EQ(Way("A", "C"), "n");
}

// Random maps of a few hundred rooms in three zones: walked and one-way links, missing exit
// words, corridors, marks, automatic commands and cross-zone lines of every shape.
TEST_F(SpeedwalkTest, SameWaysAsTheLiteralSearchOnRandomMaps) {
    const std::string zones[] = {"Zone", "Forest", "Caves"};
    const std::string exits[] = {"N", "S", "E", "W", "U", "D"};
    std::size_t compared = 0, found = 0, viaLinks = 0;
    for (unsigned seed = 1; seed <= 12; ++seed) {
        world.DestroyAllRooms();
        std::mt19937 rng(seed);
        auto chance = [&](int percent) { return static_cast<int>(rng() % 100) < percent; };
        std::vector<TMudRoom2*> rooms;
        std::vector<std::vector<TMudRoom2*>> byZone(3);
        for (int z = 0; z < 3; ++z) {
            int tag = 0;
            for (int l = 0; l < 2; ++l)
                for (int x = 0; x < 9; ++x)
                    for (int y = 0; y < 9; ++y) {
                        if (!chance(70)) continue;
                        auto room = std::make_unique<TMudRoom2>();
                        room->X = x, room->Y = y, room->L = l;
                        room->Pipe = chance(8);
                        room->Tag = room->Pipe ? 0 : ++tag;
                        room->Hint = room->Pipe ? "" : zones[z] + std::to_string(tag);
                        std::string list;
                        for (const auto& e : exits)
                            if (chance(92)) list += e + " ";
                        room->SetExits(list, profile);
                        room->Agro = chance(3);
                        room->NoStep = chance(3);
                        room->FlyDT = chance(3);
                        room->DT = chance(2);
                        TMudRoom2* r = world.AddRoom(std::move(room), zones[z]);
                        rooms.push_back(r);
                        byZone[z].push_back(r);
                    }
        }
        for (TMudRoom2* r : rooms) {
            const std::string& zone = world.ZoneOf(r);
            for (int d = 0; d < 6; ++d) {
                const auto& s = map::Info(static_cast<Dir>(d));
                TMudRoom2* n = world.GlobalFindRoom(r->X + s.dx, r->Y + s.dy, r->L + s.dl, zone);
                if (!n || !chance(88)) continue;
                r->Ch(static_cast<Dir>(d)) = true;
                if (chance(95)) n->Ch(s.opposite) = true; // sometimes one way only
            }
            if (chance(10)) {
                const std::string phrase = map::Phrase(profile, static_cast<Dir>(rng() % 6));
                r->AutoMaps.push_back("|" + phrase + "|0|cmd" + std::to_string(rng() % 3) +
                                      (chance(50) ? "|-1" : ""));
            }
            if (chance(12)) {
                const int z = static_cast<int>(rng() % 3);
                const std::string exitShapes[] = {map::Phrase(profile, static_cast<Dir>(rng() % 6)),
                                                  W("портал"), "=trigger", ""};
                const std::string room[] = {std::to_string(1 + rng() % 60), "0", "x", ""};
                const std::string command[] = {"", "go", "a;b", ""};
                const std::string send[] = {"-1", "0", "", "True", "false", "1"};
                r->AutoMaps.push_back(zones[z] + "|" + exitShapes[rng() % 4] + "|" +
                                      room[rng() % 4] + "|" + command[rng() % 4] + "|" +
                                      send[rng() % 6]);
                if (chance(50)) r->Ch(static_cast<Dir>(rng() % 6)) = true;
            }
        }
        ReferenceSpeedwalk slow(world, model.Words());
        for (int i = 0; i < 150; ++i) {
            TMudRoom2* from = rooms[rng() % rooms.size()];
            TMudRoom2* to = rooms[rng() % rooms.size()];
            if (from == to) continue; // never ordered: the player is there already
            const int passes = 2 + static_cast<int>(rng() % 40);
            auto expected = slow.FindWay(from, to, passes);
            ASSERT_EQ(search.FindWay(from, to, passes), expected)
                << "seed " << seed << " from " << from->Hint << " to " << to->Hint;
            ++compared;
            if (expected) {
                ++found;
                if (world.ZoneOf(from) != world.ZoneOf(to)) ++viaLinks;
            }
        }
    }
    // The maps must really exercise the search, not only agree on "no way".
    EXPECT_GT(found, compared / 4);
    EXPECT_GT(viaLinks, 20u);
}

} // namespace
} // namespace maptest
