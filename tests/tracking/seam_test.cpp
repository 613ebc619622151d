// A seam: the part of a region reached round a loop is mapped some cells off the part reached
// directly, and the two parts meet along it. Once the game shows a known room that far off,
// the next meeting at the same offset is the known room, even where the player turns straight
// back and nothing else tells it from a new one.

#include "GridGame.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The west column K..N is reached from A directly; round the top and down the east column,
// G's and H's west exits lead into M and N, three columns short of where the grid puts them.
//
//   A-B-C-D-X
//   |       |
//   K       E
//   |       |
//   L       F
//   |       |
//   M       G      G west: M
//   |       |
//   N       H      H west: N
//   |
//   O
GridGame Seam() {
    GridGame g({
        "A-B-C-D-X", //
        "|       |", //
        "K       E", //
        "|       |", //
        "L       F", //
        "|       |", //
        "M       G", //
        "|       |", //
        "N       H", //
        "|        ", //
        "O        ", //
    });
    g.Warp(g.Find('G'), 'w', g.Find('M'));
    g.Warp(g.Find('H'), 'w', g.Find('N'));
    return g;
}

int MapRooms(TrackingRig& rig) {
    int n = 0;
    rig.world().Lists().ForEachWorldRoom(
        [&](const map::TMudRoom2* r, const std::string&) { n += !r->Pipe; });
    return n;
}

int Lines(const TrackingRig& rig, const std::string& start) {
    return static_cast<int>(
        std::count_if(rig.host.log.begin(), rig.host.log.end(),
                      [&](const std::string& l) { return l.rfind(start, 0) == 0; }));
}

int Mentions(const TrackingRig& rig, const std::string& part) {
    return static_cast<int>(
        std::count_if(rig.host.log.begin(), rig.host.log.end(),
                      [&](const std::string& l) { return l.find(part) != std::string::npos; }));
}

} // namespace

// The first meeting is decided by the game (the player walks on from N into M, a room like no
// other); the second, from M into G, the player turns straight back from, and G is taken.
TEST(Seam, AMeetingAtAnOffsetTheGameHasShownIsTheKnownRoom) {
    const GridGame game = Seam();
    TrackingRig rig;
    GridWalk walk(game, rig, game.Find('A'));
    map::TMudRoom2* start = rig.current();
    walk.Path("sssssnnnnn"); // the west column and back
    walk.Path("eeeessss");   // round the top and down the east column to H
    walk.Path("wn");         // into N, three columns off, and on into M: the game decides
    rig.tracker.Settle();
    EXPECT_EQ(Lines(rig, W8("TranslateCMD.Moves: часть зоны ")), 1);
    walk.Path("ew"); // M's east is G, as far off the other way; straight back
    rig.tracker.Settle();
    ASSERT_TRUE(rig.host.tracing);
    EXPECT_EQ(CheckMap(game, walk, game.Find('A'), start), "");
    EXPECT_EQ(MapRooms(rig), static_cast<int>(game.rooms.size()));
    EXPECT_EQ(rig.current()->Hint, game.Name(game.Find('M')));
}

// The first meeting the player turns straight back from: N is copied for want of evidence. The
// second, at the same offset, the game decides (the player walks on from M into L): the seam is
// shown, the copy of N goes and H's west now leads into N.
TEST(Seam, ACopyMadeAtAnOffsetTheGameShowsLaterGoes) {
    const GridGame game = Seam();
    TrackingRig rig;
    GridWalk walk(game, rig, game.Find('A'));
    map::TMudRoom2* start = rig.current();
    walk.Path("sssssnnnnn");
    walk.Path("eeeessss");
    walk.Path("we"); // N or a new room: nothing tells, the grid wins
    rig.tracker.Settle();
    ASSERT_EQ(MapRooms(rig), static_cast<int>(game.rooms.size()) + 1)
        << "N was not copied: the test shows nothing";
    walk.Path("nwn"); // from G into M, three columns off again, and on into L
    rig.tracker.Settle();
    ASSERT_TRUE(rig.host.tracing);
    EXPECT_EQ(Lines(rig, W8("TranslateCMD.Moves: копия комнаты")), 1);
    EXPECT_EQ(MapRooms(rig), static_cast<int>(game.rooms.size()));
    EXPECT_EQ(CheckMap(game, walk, game.Find('A'), start), "");
    // The seam holds both ways when walked again.
    walk.Path("sewsew"); // L, M, G, M, N, H, N
    rig.tracker.Settle();
    EXPECT_TRUE(rig.host.tracing);
    EXPECT_EQ(rig.current()->Hint, game.Name(game.Find('N')));
    EXPECT_EQ(CheckMap(game, walk, game.Find('A'), start), "");
}

// The copy of N made at the first meeting is walked on from (down into O, unmapped so far);
// once G's meeting with M shows the offset, the copy is merged into N: its ways out and in,
// to H and to O, are now N's.
TEST(Seam, ACopyWalkedOnFromIsMergedIntoTheKnownRoomOnceTheOffsetIsShown) {
    const GridGame game = Seam();
    TrackingRig rig;
    GridWalk walk(game, rig, game.Find('A'));
    map::TMudRoom2* start = rig.current();
    walk.Path("ssssnnnn");
    walk.Path("eeeessss");
    walk.Path("we");   // the copy of N
    walk.Path("wsne"); // into the copy again, down into O and back to H
    rig.tracker.Settle();
    ASSERT_EQ(MapRooms(rig), static_cast<int>(game.rooms.size()) + 1);
    walk.Path("nwn"); // from G into M, on into L: the game shows the offset
    rig.tracker.Settle();
    ASSERT_TRUE(rig.host.tracing);
    EXPECT_EQ(Mentions(rig, W8(") слита с известной (")), 1);
    EXPECT_EQ(MapRooms(rig), static_cast<int>(game.rooms.size()));
    EXPECT_EQ(CheckMap(game, walk, game.Find('A'), start), "");
    walk.Path("sssnew"); // M, N, O, N, H, N
    rig.tracker.Settle();
    EXPECT_TRUE(rig.host.tracing);
    EXPECT_EQ(rig.current()->Hint, game.Name(game.Find('N')));
    EXPECT_EQ(CheckMap(game, walk, game.Find('A'), start), "");
}

// A copy the player has written into (a note) is their work: it stays, whatever the game shows.
TEST(Seam, ACopyThePlayerWroteANoteIntoIsKept) {
    const GridGame game = Seam();
    TrackingRig rig;
    GridWalk walk(game, rig, game.Find('A'));
    walk.Path("sssssnnnnn");
    walk.Path("eeeessss");
    walk.Path("we");
    rig.tracker.Settle();
    map::TMudRoom2* copy = rig.world().FindRoom(4, 3, 0);
    ASSERT_NE(copy, nullptr);
    ASSERT_EQ(copy->Hint, game.Name(game.Find('N')));
    copy->Note = "loot here";
    walk.Path("nwn");
    rig.tracker.Settle();
    ASSERT_TRUE(rig.host.tracing);
    EXPECT_EQ(MapRooms(rig), static_cast<int>(game.rooms.size()) + 1);
    ASSERT_EQ(rig.world().FindRoom(4, 3, 0), copy);
    EXPECT_EQ(copy->Note, "loot here");
}

// A street of look-alikes gives no seam: meetings at offsets that differ from move to move
// are never taken for one another, and the twins stay apart in every walk order.
TEST(Seam, LookAlikesAlongAStreetAreNeverTakenForASeam) {
    GridGame street({
        "A-t-t-t-t-t-B", //
        "|           |", //
        "C-D-E-F-G-H-I", //
    });
    for (unsigned seed = 1; seed <= 40; ++seed) {
        TrackingRig rig;
        GridWalk walk(street, rig, street.Find('A'));
        map::TMudRoom2* first = rig.current();
        walk.RandomWalk(seed);
        rig.tracker.Settle();
        ASSERT_TRUE(rig.host.tracing) << "seed " << seed;
        EXPECT_EQ(CheckMap(street, walk, street.Find('A'), first), "") << "seed " << seed;
    }
}
