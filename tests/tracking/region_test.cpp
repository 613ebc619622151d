// Tracking over a region that no grid holds: rooms the grid has no cell for, joins that do not
// fit, look-alikes, all mapped without the player's help and without tracing stopping.

#include "GridGame.h"

#include <gtest/gtest.h>

namespace {

// H's way down leads into a burrow B, while the cell under H already holds the cellar C, reached
// first through E and D and joined to H around that loop: no push can open the cell.
//
//   H-E     (level 0)          B: under H in the game, not on the map's grid
//   C-D     (C, D one level below H and E on the map)
struct Burrow {
    GridGame game{{"H-E", "   ", "C-D", "   ", "B  "}};
    const int h = game.Find('H'), e = game.Find('E'), c = game.Find('C'), d = game.Find('D'),
              b = game.Find('B');
    Burrow() {
        game.Warp(e, 'd', d);
        game.Warp(h, 'd', b);
    }
};

TEST(Region, ARoomWithNoCellGoesIntoANewZoneJoinedByLinkLinesAndTracingGoesOn) {
    Burrow w;
    TrackingRig rig;
    GridWalk walk(w.game, rig, w.h);
    map::TMudRoom2* start = rig.current();
    walk.Path("edwe"); // the loop round to the cellar under H and back to D
    walk.Path("uw");   // back on the hill
    walk.Path("d");    // into the burrow: the cell under H is the cellar's
    ASSERT_TRUE(rig.host.tracing);
    ASSERT_NE(rig.current(), nullptr);
    EXPECT_EQ(rig.current()->Hint, w.game.Name(w.b));
    EXPECT_EQ(rig.world().CurrentZone, "Zone 2");
    EXPECT_EQ(rig.host.switches, std::vector<std::string>{"Zone 2 (saved)"});
    walk.Path("u"); // and back up along the link line
    ASSERT_TRUE(rig.host.tracing);
    EXPECT_EQ(rig.current(), start);
    EXPECT_EQ(rig.world().CurrentZone, "Zone");
    EXPECT_EQ(CheckMap(w.game, walk, w.h, start), "");
}

TEST(Region, TheBurrowMapsWholeInEveryWalkOrder) {
    Burrow w;
    for (unsigned seed = 1; seed <= 20; ++seed) {
        TrackingRig rig;
        GridWalk walk(w.game, rig, w.h);
        map::TMudRoom2* start = rig.current();
        walk.RandomWalk(seed);
        EXPECT_TRUE(rig.host.tracing) << seed;
        EXPECT_EQ(CheckMap(w.game, walk, w.h, start), "") << seed;
    }
}

} // namespace
