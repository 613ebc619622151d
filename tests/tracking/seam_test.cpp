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

int Mentions(const TrackingRig& rig, const std::string& part) {
    return static_cast<int>(
        std::count_if(rig.host.log.begin(), rig.host.log.end(),
                      [&](const std::string& l) { return l.find(part) != std::string::npos; }));
}

// Every exit of the game walked from `start` in `seeds` orders: the map is right after each.
void WalkEveryOrder(const GridGame& game, char start, unsigned seeds) {
    for (unsigned seed = 1; seed <= seeds; ++seed) {
        TrackingRig rig;
        GridWalk walk(game, rig, game.Find(start));
        map::TMudRoom2* first = rig.current();
        walk.RandomWalk(seed);
        rig.tracker.Settle();
        ASSERT_TRUE(rig.host.tracing) << "seed " << seed;
        EXPECT_EQ(CheckMap(game, walk, game.Find(start), first), "") << "seed " << seed;
    }
}

// The player on the seam's map, from A.
struct SeamWalk {
    GridGame game = Seam();
    TrackingRig rig;
    GridWalk walk;
    map::TMudRoom2* start;
    explicit SeamWalk(WalkVoice voice = {})
        : walk(game, rig, game.Find('A'), std::move(voice)), start(rig.current()) {}

    // Down the west column (`column`, and back), round the top and down to H, then into N
    // and straight back: N is copied for want of evidence.
    void CopyN(const std::string& column) {
        walk.Path(column);
        walk.Path("eeeessss");
        walk.Path("we");
        rig.tracker.Settle();
    }
    // By night down the west column to O and back, then by day round the top and down to H.
    void NightColumnThenDayToH(bool& night) {
        night = true;
        walk.Path("sssssnnnnn");
        night = false;
        walk.Path("eeeessss");
    }
    int Rooms() { return MapRooms(rig); }
    int GameRooms() const { return static_cast<int>(game.rooms.size()); }
    std::string Check() const { return CheckMap(game, walk, game.Find('A'), start); }
    // Walks the path over the finished map and says where the player is.
    std::string WalkAgain(const std::string& path) {
        walk.Path(path);
        rig.tracker.Settle();
        return rig.host.tracing && rig.current() ? rig.current()->Hint : "(lost)";
    }
    std::string Name(char letter) const { return game.Name(game.Find(letter)); }
};

} // namespace

// The first meeting is decided by the game (the player walks on from N into M, a room like no
// other); the second, from M into G, the player turns straight back from, and G is taken.
TEST(Seam, AMeetingAtAnOffsetTheGameHasShownIsTheKnownRoom) {
    SeamWalk s;
    s.walk.Path("sssssnnnnn"); // the west column and back
    s.walk.Path("eeeessss");   // round the top and down the east column to H
    s.walk.Path("wn");         // into N, three columns off, and on into M: the game decides
    s.rig.tracker.Settle();
    EXPECT_EQ(Mentions(s.rig, W8("TranslateCMD.Moves: часть зоны ")), 1);
    EXPECT_EQ(s.WalkAgain("ew"), s.Name('M')); // M's east is G, as far off; straight back
    EXPECT_EQ(s.Check(), "");
    EXPECT_EQ(s.Rooms(), s.GameRooms());
}

// The first meeting the player turns straight back from: N is copied for want of evidence. The
// second, at the same offset, is M from G. Where the game decides it (the player walks on from
// M into L) the seam is shown; where the player turns straight back from M too, two copies of
// rooms that read otherwise at one offset show it. Either way the copies go and H's west now
// leads into N.
TEST(Seam, ACopyMadeAtAnOffsetGoesOnceTheGameOrASecondCopyShowsTheOffset) {
    struct Case {
        const char* intoM;
        char there;
        const char* again; // over both ways of the seam
        char end;
    };
    for (const Case& c : {Case{"nwn", 'L', "sewsew", 'N'}, Case{"nwe", 'G', "swnsewnn", 'L'}}) {
        SeamWalk s;
        s.CopyN("sssssnnnnn");
        ASSERT_EQ(s.Rooms(), s.GameRooms() + 1) << "N was not copied: the test shows nothing";
        EXPECT_EQ(s.WalkAgain(c.intoM), s.Name(c.there)) << c.intoM;
        EXPECT_EQ(Mentions(s.rig, W8("TranslateCMD.Moves: часть зоны ")), 1) << c.intoM;
        EXPECT_EQ(s.Rooms(), s.GameRooms()) << c.intoM;
        EXPECT_EQ(s.Check(), "") << c.intoM;
        EXPECT_EQ(s.WalkAgain(c.again), s.Name(c.end)) << c.intoM;
        EXPECT_EQ(s.Check(), "") << c.intoM;
    }
}

// The copy of N made at the first meeting is walked on from (down into O, unmapped so far);
// once G's meeting with M shows the offset, the copy is merged into N: its ways out and in,
// to H and to O, are now N's.
TEST(Seam, ACopyWalkedOnFromIsMergedIntoTheKnownRoomOnceTheOffsetIsShown) {
    SeamWalk s;
    s.CopyN("ssssnnnn");
    s.WalkAgain("wsne"); // into the copy again, down into O and back to H
    ASSERT_EQ(s.Rooms(), s.GameRooms() + 1);
    EXPECT_EQ(s.WalkAgain("nwn"), s.Name('L')); // the game shows the offset
    EXPECT_EQ(Mentions(s.rig, W8(") слита с известной (")), 1);
    EXPECT_EQ(s.Rooms(), s.GameRooms());
    EXPECT_EQ(s.Check(), "");
    EXPECT_EQ(s.WalkAgain("sssnew"), s.Name('N')); // M, N, O, N, H, N
    EXPECT_EQ(s.Check(), "");
}

// Two copies side by side: M copied from G for want of evidence, then N copied from that copy,
// where stepping on into H spoke for the new room. The game then shows the offset at a third
// crossing, I into O: merging M's copy must leave N's copy known as one, to be merged in turn.
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
// |         |
// Q-O       I      I west: O
TEST(Seam, CopiesMadeOneFromTheOtherAreAllMergedOnceTheOffsetIsShown) {
    GridGame game({"  A-B-C-D-X", "  |       |", "  K       E", "  |       |", "  L       F",
                   "  |       |", "  M       G", "  |       |", "  N       H", "  |       |",
                   "Q-O       I"});
    game.Warp(game.Find('G'), 'w', game.Find('M'));
    game.Warp(game.Find('H'), 'w', game.Find('N'));
    game.Warp(game.Find('I'), 'w', game.Find('O'));
    TrackingRig rig;
    GridWalk walk(game, rig, game.Find('A'));
    map::TMudRoom2* start = rig.current();
    walk.Path("ssssswennnnn"); // the west column, Q, and back
    walk.Path("eeeesssssnn");  // round the top, down to I and back to G
    walk.Path("we");           // into M and straight back: M is copied
    walk.Path("wse");          // into the copy, down into N and on into H: N is copied too
    rig.tracker.Settle();
    ASSERT_EQ(MapRooms(rig), static_cast<int>(game.rooms.size()) + 2)
        << "M and N were not both copied";
    walk.Path("sww"); // down to I, into O three columns off, and on into Q: the game decides
    rig.tracker.Settle();
    EXPECT_EQ(Mentions(rig, W8("TranslateCMD.Moves: часть зоны ")), 1);
    EXPECT_EQ(MapRooms(rig), static_cast<int>(game.rooms.size()));
    EXPECT_EQ(CheckMap(game, walk, game.Find('A'), start), "");
}

// By night the rooms gain a line, so M printed by night reads like no room of the map; at the
// offset the game has shown, M is still found, and taken when the player turns straight back.
TEST(Seam, AMeetingByNightAtAnOffsetShownByDayFindsTheKnownRoom) {
    bool night = false;
    SeamWalk s(NightVoice(night));
    s.walk.Path("sssssnnnnn");
    s.walk.Path("eeeessss");
    s.walk.Path("wn"); // by day: N, three columns off, shown by M
    s.rig.tracker.Settle();
    EXPECT_EQ(s.WalkAgain("sen"), s.Name('G')); // N, H over the seam, G
    night = true;
    EXPECT_EQ(s.WalkAgain("we"), s.Name('G')); // M by night, and straight back
    EXPECT_EQ(s.Rooms(), s.GameRooms());
    EXPECT_EQ(s.Check(), "");
    EXPECT_EQ(s.WalkAgain("wn"), s.Name('L'));
    EXPECT_EQ(s.Check(), "");
}

// A copy the player has written into (a note) is their work: it stays, whatever the game shows.
TEST(Seam, ACopyThePlayerWroteANoteIntoIsKept) {
    SeamWalk s;
    s.CopyN("sssssnnnnn");
    map::TMudRoom2* copy = s.rig.world().FindRoom(4, 3, 0);
    ASSERT_NE(copy, nullptr);
    ASSERT_EQ(copy->Hint, s.Name('N'));
    copy->Note = "loot here";
    EXPECT_EQ(s.WalkAgain("nwn"), s.Name('L'));
    EXPECT_EQ(s.Rooms(), s.GameRooms() + 1);
    ASSERT_EQ(s.rig.world().FindRoom(4, 3, 0), copy);
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
    WalkEveryOrder(street, 'A', 40);
}

// Walked by night, N and M read like no room mapped by day, and each is copied where the grid
// puts it. Once two rooms have shown the night line come, N and M read like their copies again:
// meetings found late, two at one offset, which show the seam. Both copies go.
TEST(Seam, CopiesMadeByNightAreFoundOnceTheNightLineIsKnown) {
    bool night = false;
    SeamWalk s(NightVoice(night));
    s.walk.Path("sssssnnnnn"); // by day, the west column and back
    night = true;
    s.walk.Path("eeeessss"); // by night round the top and down to H
    s.walk.Path("wenwe");    // into N and back, into M and back
    ASSERT_EQ(s.Rooms(), s.GameRooms() + 2) << "N and M were not copied: the test shows nothing";
    EXPECT_FALSE(s.rig.world().Changing().Has("The moon is up."));
    s.walk.Path("nnnwwwwssn"); // round to A, into K and L mapped by day, and back to K
    s.rig.tracker.Settle();
    EXPECT_TRUE(s.rig.world().Changing().Has("The moon is up."));
    EXPECT_EQ(Mentions(s.rig, W8(" теперь читается как ")), 2);
    EXPECT_EQ(s.Rooms(), s.GameRooms());
    EXPECT_EQ(s.Check(), "");
    EXPECT_EQ(s.WalkAgain("ssensw"), s.Name('M')); // M, N, H, G and into M over the seam
    EXPECT_EQ(s.Check(), "");
}

// A town built twice over: two pairs of twins in like places, four cells apart. The eastern
// ones are entered from the west, then the player steps into each western one and straight
// back: two meetings at one offset, of rooms that read otherwise. But the map already has a
// short walked way from B to the eastern p (by G, H, I and D): twins, not a seam.
TEST(Seam, TwinsInLikePlacesOfATownBuiltTwiceAreNeverTakenForASeam) {
    const GridGame town({
        "K-L-M-N-O-P-Q", //
        "|     |     |", //
        "A-p-B-C-D-p-E", //
        "|   |   |   |", //
        "F-q-G-H-I-q-J", //
    });
    TrackingRig rig;
    GridWalk walk(town, rig, town.Find('C'));
    map::TMudRoom2* first = rig.current();
    walk.Path("neeesnwwws"); // round by the north to E and back to C
    walk.Path("eewsewww");   // into the eastern p and q from the west, and on to G
    walk.Path("nweswe");     // B, the western p and back, G, the western q and back
    rig.tracker.Settle();
    ASSERT_TRUE(rig.host.tracing);
    EXPECT_EQ(Mentions(rig, W8("TranslateCMD.Moves: часть зоны ")), 0);
    EXPECT_EQ(CheckMap(town, walk, town.Find('C'), first), "");
    WalkEveryOrder(town, 'C', 40);
}

// A ladder whose rungs the game draws one cell long on the left and two on the right: the
// middle column's east exits lead into the east column one cell past the cell they point to.
// The first rung the game decides (the player walks on); from the second the player turns
// straight back. The map beside it already shows the east column that far off, so the known
// room is taken, not copied; so too where the east column's rooms are twins, as the offset
// singles out the one that stands there.
//
//   S-A-B-C
//   |     |
//   K-U   P      U east: P
//   |     |
//   L-V   Q      V east: Q
//   |     |
//   M-W   R      W east: R
TEST(Seam, AMeetingBesideAWayThatLandsAsFarOffIsTheKnownRoom) {
    for (const char* east : {"PQR", "ttt"}) {
        GridGame ladder({
            "S-A-B-C",                       //
            "|     |",                       //
            std::string("K-U   ") + east[0], //
            "|     |",                       //
            std::string("L-V   ") + east[1], //
            "|     |",                       //
            std::string("M-W   ") + east[2], //
        });
        const char* rows[] = {"U", "V", "W"};
        for (int i = 0; i < 3; ++i)
            ladder.Warp(ladder.Find(rows[i][0]), 'e', ladder.Find(east[i], east[i] == 't' ? i : 0));
        TrackingRig rig;
        GridWalk walk(ladder, rig, ladder.Find('S'));
        map::TMudRoom2* first = rig.current();
        walk.Path("eeesssnnnwww"); // round by the top, down the east column and back to S
        walk.Path("seesnw");       // K, U, into the east column and on: the game shows the rung
        walk.Path("wseew");        // K, L, V, into the east column and straight back
        rig.tracker.Settle();
        ASSERT_TRUE(rig.host.tracing) << east;
        EXPECT_EQ(CheckMap(ladder, walk, ladder.Find('S'), first), "") << east;
        EXPECT_EQ(Mentions(rig, W8("ходы рядом ведут с тем же сдвигом сетки")), 1) << east;
    }
}

// The west column walked by night, then by day from H over the seam: N and O read the same
// by day and night, K, L and M gain a line by night. N is copied, and with it M and L, which
// by day read like no room of the map. Stepping from the copy of N into O shows the seam: O's
// way back leads into N, so the copies of N, M and L are merged into the rooms mapped by night,
// with every way they had, and the night line is learnt.
TEST(Seam, AStretchCopiedByDayIsMergedIntoTheRoomsMappedByNight) {
    bool night = true;
    SeamWalk s(NightVoice(night, "NO"));
    s.NightColumnThenDayToH(night);
    s.walk.Path("wnn"); // over the seam into N, and on into M and L
    s.rig.tracker.Settle();
    ASSERT_EQ(s.Rooms(), s.GameRooms() + 3) << "N, M and L were not copied: the test shows nothing";
    s.walk.Path("sss"); // back to the copy of N, and into O
    s.rig.tracker.Settle();
    EXPECT_EQ(Mentions(s.rig, W8(") слита с известной (")), 3);
    EXPECT_TRUE(s.rig.world().Changing().Has("The moon is up."));
    EXPECT_EQ(s.Rooms(), s.GameRooms());
    EXPECT_EQ(s.Check(), "");
    EXPECT_EQ(s.WalkAgain("nnnsssne"), s.Name('H')); // up to L, back to O, N, over the seam
    EXPECT_EQ(s.Check(), "");
}

// Twins at the seam: the N by H is another room that reads like N, whose way south drops one
// way into O. Stepping from it into O, O's way back leads into the N mapped first, but the two
// Ns lead north into rooms that read otherwise (M and Q): they are two rooms, and neither is
// merged into the other.
TEST(Seam, TwinsWhoseWaysLeadToRoomsThatReadOtherwiseAreNeverMerged) {
    GridGame game({
        "A-B-C-D-X", //
        "|       |", //
        "K       E", //
        "|       |", //
        "L       F", //
        "|       |", //
        "M     Q G", //
        "|     | |", //
        "N-Z   N-H", //
        "|        ", //
        "O        ", //
    });
    game.OneWay(game.Find('N', 1), 's', game.Find('O'));
    TrackingRig rig;
    GridWalk walk(game, rig, game.Find('A'));
    walk.Path("sssssnnnnn"); // the west column to O and back
    walk.Path("eeeessss");   // round the top and down to H
    walk.Path("wnss");       // the second N, Q and back, and down into O
    rig.tracker.Settle();
    ASSERT_TRUE(rig.host.tracing);
    EXPECT_EQ(Mentions(rig, W8(") слита с известной (")), 0);
    int ns = 0;
    rig.world().Lists().ForEachWorldRoom([&](const map::TMudRoom2* r, const std::string&) {
        ns += r->Hint == game.Name(game.Find('N'));
    });
    EXPECT_EQ(ns, 2);
}

// N walked by night and then by day over the seam reads like no room (the night line is not
// known to change), so it is copied as new ground. Once M and L, which read the same by day
// and night, show the seam, the copy standing at that offset from N, reading like it but for
// that line, is merged into it.
TEST(Seam, ACopyMadeBeforeTheSeamWasShownIsMergedOnceItIs) {
    bool night = true;
    SeamWalk s(NightVoice(night, "ML"));
    s.NightColumnThenDayToH(night);
    s.walk.Path("we"); // into N over the seam, and back
    s.rig.tracker.Settle();
    ASSERT_EQ(s.Rooms(), s.GameRooms() + 1) << "N was not copied: the test shows nothing";
    s.walk.Path("nwn"); // G, into M over the seam and on into L: the game shows the seam
    s.rig.tracker.Settle();
    EXPECT_EQ(Mentions(s.rig, W8(" и читается как она")), 1);
    EXPECT_EQ(s.Rooms(), s.GameRooms());
    EXPECT_EQ(s.Check(), "");
    EXPECT_EQ(s.WalkAgain("ssen"), s.Name('G')); // M, N, over the seam to H, G
    EXPECT_EQ(s.Check(), "");
}
