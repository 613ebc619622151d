// A room the game prints that is known elsewhere on the map: the known room (a warped loop
// closing) or its twin (a street of identical rooms). Worlds are drawn as ASCII grids.

#include "GridGame.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <iostream>

namespace {

// Every room of the map with its place and links, to see that nothing changed.
std::string Snapshot(map::MapWorld& world) {
    std::string s;
    world.Lists().ForEachZoneRoom([&](map::TMudRoom2* r) {
        s += r->Hint + "@" + std::to_string(r->X) + "," + std::to_string(r->Y) + "," +
             std::to_string(r->L) + (r->Pipe ? "p" : "") + ":";
        for (const auto& d : map::kDirs)
            s += r->Ch(d.dir) ? d.letter : '.';
        for (const auto& line : r->AutoMaps)
            s += "|" + line;
        s += "\n";
    });
    return s;
}

int Count(const TrackingRig& rig, const std::string& start) {
    int n = 0;
    for (const auto& line : rig.host.log)
        n += line.rfind(start, 0) == 0;
    return n;
}

map::TMudRoom2* StartRoom(TrackingRig& rig) {
    return rig.world().FindRoom(0, 0, 0);
}

// Walks every exit of the world in the order the seed gives and checks the map.
void WalkAllOrders(const GridGame& game, int start, unsigned seeds) {
    unsigned first_seed = 1;
    if (const char* times = std::getenv("TWIN_TIMES")) seeds *= unsigned(std::atoi(times));
    if (const char* only = std::getenv("TWIN_SEED")) first_seed = seeds = unsigned(std::atoi(only));
    for (unsigned seed = first_seed; seed <= seeds; ++seed) {
        TrackingRig rig;
        GridWalk walk(game, rig, start);
        map::TMudRoom2* first = StartRoom(rig);
        walk.RandomWalk(seed);
        rig.tracker.Settle();
        const std::string problems = rig.host.tracing ? CheckMap(game, walk, start, first) : "";
        EXPECT_TRUE(rig.host.tracing) << "seed " << seed << ": tracing stopped";
        EXPECT_EQ(problems, "") << "seed " << seed;
        if (std::getenv("TWIN_LOG") && (!rig.host.tracing || !problems.empty())) {
            for (const auto& line : rig.host.log)
                std::cerr << text::ToUnicode(line).toStdString() << "\n";
            return;
        }
        if (!rig.host.tracing) return;
        ASSERT_NE(rig.current(), nullptr);
        EXPECT_EQ(rig.current()->Hint, game.Name(walk.at)) << "seed " << seed;
    }
}

// A quarter of two streets whose four rooms look exactly alike (exits west, east, south),
// each reachable from both ends and from the side.
const GridGame kQuarter({
    "A-a-a-X",
    "| | | |",
    "C-D E Z",
    "|     |",
    "B-a-a-Y",
    "  | |  ",
    "  F G  ",
});

// Two identical rooms one above the other in a passage, and a way round.
const GridGame kPassage({
    "A-C",
    "| |",
    "t D",
    "| |",
    "t E",
    "| |",
    "B-F",
});

// A loop whose way back is shorter in the game than on the grid: P's south is J.
GridGame ShortLoop() {
    GridGame g({
        "P-N",
        "  |",
        "  M",
        "  |",
        "J-K",
    });
    g.Warp(g.Find('P'), 's', g.Find('J'));
    return g;
}

// A loop whose way back is longer: D's west is J.
GridGame LongLoop() {
    GridGame g({
        "A-B",
        "| |",
        "J C",
        "  |",
        "  D",
    });
    g.Warp(g.Find('D'), 'w', g.Find('J'));
    return g;
}

} // namespace

// Four hundred orders from A: in order 245 the player steps into the lower street's first room,
// on and straight back, and the return into the upper street's look-alike once counted as a
// room no other map room reads like, which merged the two streets.
TEST(Twins, StreetsOfIdenticalRoomsAreNeverMergedInAnyWalkOrder) {
    WalkAllOrders(kQuarter, kQuarter.Find('A'), 400);
    WalkAllOrders(kQuarter, kQuarter.Find('Y'), 20);
    WalkAllOrders(kPassage, kPassage.Find('A'), 30);
}

TEST(Twins, TwinStraightAheadStaysATwinWhenThePlayerTurnsBack) {
    TrackingRig rig;
    GridWalk walk(kPassage, rig, kPassage.Find('A'));
    map::TMudRoom2* a = StartRoom(rig);
    walk.Path("snesssw"); // A, the upper t, back, round to B
    const std::string before = Snapshot(rig.world());
    walk.Move('n'); // the lower t: the upper one lies straight ahead and its south is unwalked
    EXPECT_TRUE(rig.tracker.Hypotheses().Open());
    EXPECT_EQ(Snapshot(rig.world()), before) << "the map changed before the choice";
    walk.Move('s'); // back to B: both choices agree, nothing more can tell them apart
    EXPECT_FALSE(rig.tracker.Hypotheses().Open());
    EXPECT_EQ(Count(rig, W8("TranslateCMD.Moves: выбрана гипотеза: новая комната")), 1);
    EXPECT_EQ(CheckMap(kPassage, walk, kPassage.Find('A'), a), "");
    walk.Path("nnn"); // and on through both t's to A, over the map
    EXPECT_TRUE(rig.host.tracing);
    EXPECT_EQ(rig.current(), a);
}

TEST(Twins, WarpedLoopsCloseOnTheKnownRoomEvenWhenThePlayerTurnsBack) {
    for (const GridGame& game : {ShortLoop(), LongLoop()}) {
        const int j = game.Find('J');
        TrackingRig rig;
        GridWalk walk(game, rig, j);
        map::TMudRoom2* first = StartRoom(rig);
        // Round the loop, arrive at J from its unwalked side, and go straight back.
        const std::string loop =
            game.rooms[j].exits.count('e') && game.Find('P') >= 0 ? "ennws" : "nessw";
        walk.Path(loop);
        walk.Move(GridGame::Back(loop.back()));
        rig.tracker.Settle();
        EXPECT_TRUE(rig.host.tracing);
        EXPECT_EQ(CheckMap(game, walk, j, first), "") << loop;
        EXPECT_EQ(Count(rig, W8("TranslateCMD.Moves: комната известна в других местах")), 1);
        EXPECT_EQ(Count(rig, W8("TranslateCMD.Moves: выбрана гипотеза: комната №1 ")), 1) << loop;
        WalkAllOrders(game, j, 20);
    }
}

TEST(Twins, WarpedLoopWhoseClosingRoomHasATwinClosesOnTheRoomTheGridPointsTo) {
    GridGame game({
        "P-N   V  ",
        "  |   |  ",
        "  M   J-W",
        "  |     |",
        "J-K-Q-R-S",
    });
    const int j = game.Find('J', 1), twin = game.Find('J', 0);
    game.Warp(game.Find('P'), 's', j);
    ASSERT_EQ(game.Exits(j), game.Exits(twin));

    TrackingRig rig;
    GridWalk walk(game, rig, j);
    map::TMudRoom2* first = StartRoom(rig);
    walk.Path("eeeenw"); // along the road and into the twin from its east side
    walk.Path("eswww");  // back to K
    walk.Path("nnws");   // round the loop: P's south is J, and both J's north is unwalked
    EXPECT_EQ(rig.tracker.Hypotheses().All().size(), 3u);
    walk.Move('n');
    rig.tracker.Settle();
    EXPECT_EQ(CheckMap(game, walk, j, first), "");
    EXPECT_EQ(Count(rig, W8("TranslateCMD.Moves: выбрана гипотеза: комната №1 ")), 1);
    // Walked in random orders this loop is covered by the demo quarter below. Here, taken
    // first from its far side, it can bend the grid so far that a later step has no link
    // that can be drawn at all; that is a limit of the grid, not a twin confused.
}

TEST(Twins, AContradictionTwoMovesLaterDropsTheKnownRoomAndLeavesNothingBehind) {
    TrackingRig rig;
    const int y = kQuarter.Find('Y');
    GridWalk walk(kQuarter, rig, y);
    map::TMudRoom2* first = StartRoom(rig);
    walk.Path("wwwnen"); // the lower street, B, C, D, then north into the upper street
    const auto& all = rig.tracker.Hypotheses().All();
    ASSERT_EQ(all.size(), 3u) << "a new room and both rooms of the lower street";
    const std::string before = Snapshot(rig.world());

    walk.Move('e'); // the lower street's second room fits the first, Y does not fit X
    EXPECT_TRUE(rig.tracker.Hypotheses().Open());
    EXPECT_EQ(rig.tracker.Hypotheses().AliveCount(), 2);
    EXPECT_EQ(Snapshot(rig.world()), before) << "the map changed before the choice";

    walk.Move('e'); // X: the lower street's first room said Y
    EXPECT_FALSE(rig.tracker.Hypotheses().Open());
    // Both rooms of the lower street dropped (the next room along may be weighed and dropped
    // as well: its way back leads to a room that reads like the one the player left).
    EXPECT_GE(Count(rig, W8("TranslateCMD.Moves: гипотеза отброшена: ")), 2);
    EXPECT_EQ(Count(rig, W8("TranslateCMD.Moves: выбрана гипотеза: новая комната (-2,-2,0)")), 1);
    EXPECT_TRUE(rig.host.tracing);
    // Nothing of the dropped ones: the lower street's rooms are not linked north.
    rig.world().Lists().ForEachZoneRoom([&](map::TMudRoom2* r) {
        if (r->X == 0 && r->Hint == "Room a") {
            EXPECT_FALSE(r->Ch(map::North)) << r->Hint << " " << r->Y;
        }
    });
    EXPECT_EQ(CheckMap(kQuarter, walk, y, first), "");
    walk.Path("ssw"); // Z, Y, and west along the lower street: the map holds
    EXPECT_TRUE(rig.host.tracing);
    EXPECT_EQ(CheckMap(kQuarter, walk, y, first), "");
}

TEST(Twins, WithoutDescriptionsNothingIsLookedUpAndTheLoopMakesANewRoom) {
    TrackingRig rig;
    rig.profile.NoDescription = true;
    const GridGame game = ShortLoop();
    GridWalk walk(game, rig, game.Find('J'));
    walk.Path("ennws");
    EXPECT_FALSE(rig.tracker.Hypotheses().Open());
    EXPECT_EQ(Count(rig, W8("TranslateCMD.Moves: комната известна в других местах")), 0);
    EXPECT_EQ(rig.world().Lists().ZoneCount(), 6u) << "J twice, as without the lookup";
}

TEST(Twins, ARoomDeletedWhileTheChoiceIsOpenIsNoLongerWeighed) {
    TrackingRig rig;
    GridWalk walk(kPassage, rig, kPassage.Find('A'));
    walk.Path("snesssw");
    walk.Move('n');
    ASSERT_TRUE(rig.tracker.Hypotheses().Open());
    map::TMudRoom2* upper = rig.world().FindRoom(1, 0, 0);
    ASSERT_NE(upper, nullptr);
    rig.world().DestroyRoom(upper);
    EXPECT_EQ(rig.tracker.Hypotheses().AliveCount(), 1);
    walk.Move('n'); // the upper t, which the map no longer has: a new room
    rig.tracker.Settle();
    EXPECT_TRUE(rig.host.tracing);
    EXPECT_EQ(rig.current()->Hint, "Room t");
}

// The quarter and the two loops of the demo game, as they lie east of its market (R): the
// crooked loop closes from P back to J in one step, the yards' loop from T into the first j,
// whose twin lies two streets away.
TEST(Twins, TheDemoQuarterMapsWholeInEveryOrder) {
    GridGame town({
        "        P-N", "          |", "          M", "          |", "        J-K", "        |  ",
        "        L  ", "        |  ", "R-A-a-a-X  ", "  | | | |  ", "  C-D E Z  ", "  |     |  ",
        "  B-a-a-Y  ", "    | |    ", "    F G    ", "      |    ", "  T-U V H  ", "    | | |  ",
        "    W Q j-O", "    | |   |", "  j-S-g-I-k",
    });
    town.Warp(town.Find('P'), 's', town.Find('J'));
    town.Warp(town.Find('T'), 's', town.Find('j', 1));
    ASSERT_EQ(town.Exits(town.Find('j', 0)), town.Exits(town.Find('j', 1)));
    WalkAllOrders(town, town.Find('R'), 250);
    WalkAllOrders(town, town.Find('g'), 50);
}
