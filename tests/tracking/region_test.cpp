// Tracking over a region that no grid holds: rooms the grid has no cell for, joins that do not
// fit, look-alikes, all mapped without the player's help and without tracing stopping.

#include "GridGame.h"

#include "text/Text.h"

#include <gtest/gtest.h>

#include <algorithm>

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

TEST(Region, ABurrowMappedFirstMakesWayForTheCellarAlongItsStairs) {
    Burrow w;
    TrackingRig rig;
    GridWalk walk(w.game, rig, w.h);
    map::TMudRoom2* start = rig.current();
    walk.Path("du"); // the burrow takes the free cell under H
    map::TMudRoom2* burrow = FollowOnMap(rig, start, 'd');
    ASSERT_NE(burrow, nullptr);
    EXPECT_EQ(burrow->L, start->L - 1);
    walk.Path("edw"); // round to the cellar, whose cell the burrow holds
    ASSERT_TRUE(rig.host.tracing);
    EXPECT_EQ(rig.current()->Hint, w.game.Name(w.c));
    // The cellar has the cell; the burrow went one level further down, in the same zone,
    // its stair a link-line pair.
    EXPECT_EQ(rig.world().CurrentZone, "Zone");
    EXPECT_TRUE(rig.host.switches.empty());
    EXPECT_EQ(rig.current()->L, start->L - 1);
    EXPECT_EQ(burrow->L, start->L - 2);
    EXPECT_EQ(FollowOnMap(rig, start, 'd'), burrow);
    EXPECT_EQ(FollowOnMap(rig, burrow, 'u'), start);
    walk.Path("euwd"); // back to H and down: the burrow, not the cellar, and no copy
    ASSERT_TRUE(rig.host.tracing);
    EXPECT_EQ(rig.current(), burrow);
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

namespace {

// The temple's south and down exits both lead to the square, which lists no way up.
//
//   T      T: exits S, D (down is the square as well)
//   |
//   S-X
struct Temple {
    GridGame game{{"T  ", "|  ", "S-X"}};
    const int t = game.Find('T'), s = game.Find('S');
    Temple() { game.OneWay(t, 'd', s); }
};

TEST(Region, TwoExitsIntoOneRoomAreBothKeptAndTheSquareIsNeverCopied) {
    Temple w;
    // The square first reached by the south exit; down first (the square then lies under the
    // temple and the temple, reached from it, can lie nowhere the grid allows) is not yet
    // told from a second temple.
    for (const char* path : {"sndn", "sewndn", "sndnsn"}) {
        TrackingRig rig;
        GridWalk walk(w.game, rig, w.t);
        map::TMudRoom2* start = rig.current();
        walk.Path(path);
        rig.tracker.Settle(); // the walk ends: the choice is made with what is known
        EXPECT_TRUE(rig.host.tracing) << path;
        EXPECT_EQ(CheckMap(w.game, walk, w.t, start), "") << path;
        // Down is a link line of the temple only: the square has no way up.
        map::TMudRoom2* square = FollowOnMap(rig, start, 's');
        ASSERT_NE(square, nullptr) << path;
        EXPECT_EQ(FollowOnMap(rig, start, 'd'), square) << path;
        EXPECT_EQ(FollowOnMap(rig, square, 'u'), nullptr) << path;
    }
}

TEST(Region, TheSecondExitIntoTheSquareWalkedByNightFindsTheSquare) {
    Temple w;
    bool night = false;
    const WalkVoice voice = NightVoice(night);
    for (const char* after : {"", "ew"}) {
        night = false;
        TrackingRig rig;
        GridWalk walk(w.game, rig, w.t, voice);
        map::TMudRoom2* start = rig.current();
        walk.Path("sn");
        night = true;
        walk.Path("d"); // the square by night, down the stair
        walk.Path(after);
        rig.tracker.Settle();
        ASSERT_TRUE(rig.host.tracing) << after;
        map::TMudRoom2* square = FollowOnMap(rig, start, 's');
        ASSERT_NE(square, nullptr) << after;
        EXPECT_EQ(FollowOnMap(rig, start, 'd'), square) << after;
        EXPECT_EQ(CheckMap(w.game, walk, w.t, start), "") << after;
        EXPECT_EQ(rig.world().Lists().WorldCount(), std::string(after).empty() ? 2u : 3u);
    }
}

// A valley V-W-R whose end R, the ravine, is also reached by a drop from the road's B above;
// the ravine lists no way up.
//
//   A-B-C
//   |
//   V-W-R
struct Ravine {
    GridGame game{{"A-B-C", "|    ", "V-W-R"}};
    const int a = game.Find('A'), b = game.Find('B'), r = game.Find('R');
    Ravine() { game.OneWay(b, 'd', r); }
};

TEST(Region, ADropIntoARoomKnownAlongTheValleyIsLinkedOneWayNotCopied) {
    Ravine w;
    TrackingRig rig;
    GridWalk walk(w.game, rig, w.a);
    map::TMudRoom2* start = rig.current();
    walk.Path("see");  // along the valley to the ravine
    walk.Path("wwne"); // back up to the road
    walk.Path("d");    // the drop: the ravine, known on the valley's level
    rig.tracker.Settle();
    EXPECT_TRUE(rig.host.tracing);
    EXPECT_EQ(CheckMap(w.game, walk, w.a, start), "");
    map::TMudRoom2* ravine = rig.current();
    ASSERT_NE(ravine, nullptr);
    EXPECT_EQ(ravine->Hint, w.game.Name(w.r));
    EXPECT_EQ(FollowOnMap(rig, ravine, 'u'), nullptr); // one way
    walk.Path("ww");                                   // and on along the valley: the map follows
    EXPECT_EQ(CheckMap(w.game, walk, w.a, start), "");
}

} // namespace

namespace {

bool Logged(const TrackingRig& rig, const char* utf8) {
    for (const std::string& line : rig.host.log)
        if (line.find(text::W(utf8)) != std::string::npos) return true;
    return false;
}

// A, B and C in a row, mapped right; then the room east of B on the map is not C any more (the
// player moved a room by hand, or the map went wrong long ago).
struct Contradicted {
    GridGame game{{"A-B-C"}};
    const int a = game.Find('A'), b = game.Find('B'), c = game.Find('C');
    TrackingRig rig;
    GridWalk walk{game, rig, a};
    map::TMudRoom2* start = rig.current();
    Contradicted() { walk.Path("eeww"); }
    map::TMudRoom2* At(int x, int y) { return rig.world().FindRoom(x, y, 0); }
};

TEST(Region, AWalkedExitIntoAnotherRoomIsMendedAndTracingGoesOn) {
    Contradicted w;
    map::TMudRoom2* mapB = FollowOnMap(w.rig, w.start, 'e');
    map::TMudRoom2* mapC = FollowOnMap(w.rig, mapB, 'e');
    ASSERT_NE(mapC, nullptr);
    mapC->Hint = "Room X"; // C's cell now holds X, still linked from B
    mapC->Description = "Looks like X.";
    w.rig.world().RoomChanged(mapC);

    w.walk.Path("ee"); // the game prints C where the map says X
    ASSERT_TRUE(w.rig.host.tracing);
    ASSERT_NE(w.rig.current(), nullptr);
    EXPECT_EQ(w.rig.current()->Hint, w.game.Name(w.c));
    EXPECT_TRUE(Logged(w.rig, "связь исправлена"));
    // B's east exit leads to the new C and back; X keeps its cell elsewhere, unlinked from B.
    EXPECT_EQ(FollowOnMap(w.rig, mapB, 'e'), w.rig.current());
    EXPECT_EQ(FollowOnMap(w.rig, w.rig.current(), 'w'), mapB);
    EXPECT_FALSE(mapC->ChW);
    w.walk.Path("ww");
    EXPECT_TRUE(w.rig.host.tracing);
    EXPECT_EQ(w.rig.current(), w.start);
}

// The same where A's way east is a link line of the zone, drawn by tracking: into C, not B.
TEST(Region, ALinkLineIntoARoomOfAnotherNameIsMendedLikeAWalkedExit) {
    Contradicted w;
    map::TMudRoom2* mapB = FollowOnMap(w.rig, w.start, 'e');
    map::TMudRoom2* mapC = FollowOnMap(w.rig, mapB, 'e');
    ASSERT_NE(mapC, nullptr);
    const std::string zone = w.rig.world().ZoneOf(w.start);
    w.start->AutoMaps.push_back(zone + "|" + map::Phrase(w.rig.profile, map::East) + "|" +
                                std::to_string(mapC->Tag));

    w.walk.Path("e");  // the link line says C, the game prints B
    w.walk.Path("ew"); // on into C and back: B is found
    w.rig.tracker.Settle();
    ASSERT_TRUE(w.rig.host.tracing);
    EXPECT_EQ(w.rig.current(), mapB);
    EXPECT_TRUE(Logged(w.rig, "связь исправлена"));
    EXPECT_TRUE(w.start->AutoMaps.empty()); // the wrong line is gone
    EXPECT_EQ(FollowOnMap(w.rig, w.start, 'e'), mapB);
    EXPECT_EQ(CheckMap(w.game, w.walk, w.a, w.start), "");
}

TEST(Region, AContradictionFoundLateRelocatesThePlayerAndLeavesTheRightLinkAlone) {
    // Twins T and T', each with a way east and west. The map has lost the player: it has them
    // in T while they stand in T'. The walked exit east from T leads to B, the game prints D:
    // tracking weighs every room that reads like D and the moves after, finds the player in D
    // (west of it lies T', which reads like T: the map went wrong before, not T's link), and
    // goes on from there.
    GridGame game{{"X-T-B", "|    ", "C-T-D"}};
    const int x = game.Find('X'), t2 = game.Find('T', 1), d = game.Find('D');
    TrackingRig rig;
    GridWalk walk(game, rig, x);
    map::TMudRoom2* start = rig.current();
    walk.Path("eewwseewwn"); // everything mapped, back at X
    ASSERT_EQ(CheckMap(game, walk, x, start), "");
    map::TMudRoom2* mapT = FollowOnMap(rig, start, 'e');
    map::TMudRoom2* mapB = FollowOnMap(rig, mapT, 'e');
    map::TMudRoom2* mapC = FollowOnMap(rig, start, 's');
    map::TMudRoom2* mapT2 = FollowOnMap(rig, mapC, 'e');
    map::TMudRoom2* mapD = FollowOnMap(rig, mapT2, 'e');
    ASSERT_NE(mapD, nullptr);

    walk.at = t2;                   // the player stands in T'...
    rig.world().CurrentRoom = mapT; // ...and the map has them in T
    walk.Path("e");                 // D, where the map says B
    walk.Path("ww");                // T', C: only D fits all three
    ASSERT_TRUE(rig.host.tracing);
    EXPECT_EQ(rig.current(), mapC);
    EXPECT_TRUE(Logged(rig, "ошибка была раньше"));
    EXPECT_EQ(FollowOnMap(rig, mapT, 'e'), mapB);
    EXPECT_EQ(CheckMap(game, walk, x, start), "");
    (void)d;
}

} // namespace

namespace {

// A square of rooms walked by day; night falls and every room prints one more line. The way
// north from D into A was never walked: the room ahead on the map is A by its name and exits,
// and the line the night added does not make it a new room.
//
//   A-B
//   | |
//   D-C
TEST(Region, ARoomAheadPrintedByNightIsTheMappedOneNotACopy) {
    GridGame game{{"A-B", "| |", "D-C"}};
    const int a = game.Find('A');
    bool night = false;
    const WalkVoice voice = NightVoice(night);
    TrackingRig rig;
    GridWalk walk(game, rig, a, voice);
    map::TMudRoom2* start = rig.current();
    walk.Path("esw");
    night = true;
    walk.Path("n");
    ASSERT_TRUE(rig.host.tracing);
    EXPECT_EQ(rig.current(), start);
    EXPECT_EQ(CheckMap(game, walk, a, start), "");
    EXPECT_EQ(rig.world().Lists().WorldCount(), 4u);
    // Seen come in a second room, the line is one the game changes by itself: by night the
    // rooms are found by their day descriptions wherever they are reached from.
    walk.Path("e");
    EXPECT_TRUE(rig.world().Changing().Has("The moon is up."));
    walk.Path("sw");
    EXPECT_EQ(CheckMap(game, walk, a, start), "");
    EXPECT_EQ(rig.world().Lists().WorldCount(), 4u);
}

} // namespace

namespace {

// A loop that does not close on the grid: E's west is J, two rows up and two columns left.
//
//   A-B-C
//   |   |
//   J   D
//       |
//       E
GridGame WarpedLoop() {
    GridGame g({"A-B-C", "|   |", "J   D", "    |", "    E"});
    g.Warp(g.Find('E'), 'w', g.Find('J'));
    return g;
}

// The player comes round the loop to J's side and turns straight back: nothing tells J from a
// new room, and a copy of J is made. When the join is then walked from J, E's way back leading
// into that copy shows the join from its second side: E is taken, the copy goes.
TEST(Region, AJoinCopiedForWantOfEvidenceIsMendedWhenWalkedFromItsOtherSide) {
    const GridGame game = WarpedLoop();
    const int a = game.Find('A');
    TrackingRig rig;
    auto rooms = [&] {
        int n = 0;
        rig.world().Lists().ForEachWorldRoom(
            [&](const map::TMudRoom2* r, const std::string&) { n += !r->Pipe; });
        return n;
    };
    GridWalk walk(game, rig, a);
    map::TMudRoom2* start = rig.current();
    walk.Path("sn");    // J, on the grid below A
    walk.Path("eessw"); // round to E, then west: J, which the grid cannot reach
    walk.Path("e");     // straight back: J or a new room, nothing tells
    rig.tracker.Settle();
    ASSERT_EQ(rooms(), 7) << "J was not copied: the test shows nothing";
    walk.Path("nnwws"); // round the loop the other way to J
    walk.Path("e");     // the join from J's side
    walk.Path("w");
    rig.tracker.Settle();
    ASSERT_TRUE(rig.host.tracing);
    EXPECT_EQ(CheckMap(game, walk, a, start), "");
    EXPECT_EQ(rooms(), 6);
    const std::string dropped = W8("TranslateCMD.Moves: копия комнаты");
    EXPECT_EQ(std::count_if(rig.host.log.begin(), rig.host.log.end(),
                            [&](const std::string& line) { return line.rfind(dropped, 0) == 0; }),
              1);
}

// A hillside whose slopes share a name, exits and first line and differ in the second: i and k
// read alike but for that line, and the player reaches i from j, having just come from k.
//
//         S
//         |
//   a-b-c-d-e-f      a b d: "Trail"; the rest "Slope"
//   |   |   |
//   g-h-i-j-k-l
//       |   |
//       m   o
TEST(Region, TheRoomJustLeftIsNeverWeighedAsTheSlopeOnItsOtherSide) {
    GridGame game({"      S    ", "      |    ", "a-b-c-d-e-f", "|   |   |  ", "g-h-i-j-k-l",
                   "    |   |  ", "    m   o  "});
    for (char c : std::string("abd"))
        game.names[c] = "Trail";
    for (char c : std::string("cefghijklmo"))
        game.names[c] = "Slope";
    WalkVoice voice;
    voice.room = [](const GridGame& g, int id) {
        const std::string first =
            g.Name(id) == "Trail" ? "A narrow trail." : "Wind over the slope.";
        return RoomText(g.Name(id), first + "\r\nHere is " + g.rooms[id].letter + ".",
                        g.Exits(id)) +
               "> ";
    };
    for (const char* tail : {"nss", "nsneew"}) {
        TrackingRig rig;
        GridWalk walk(game, rig, game.Find('S'), voice);
        map::TMudRoom2* start = rig.current();
        walk.Path("seewsww"); // down to d, east to f, back, down the slope to k, west to i
        walk.Path(tail);
        rig.tracker.Settle();
        ASSERT_TRUE(rig.host.tracing) << tail;
        EXPECT_EQ(CheckMap(game, walk, game.Find('S'), start), "") << tail;
        EXPECT_FALSE(std::any_of(rig.host.log.begin(), rig.host.log.end(), [](const auto& l) {
            return l.find(W8("известна в других местах")) != std::string::npos;
        })) << tail;
    }
}

// E's way up is a climb into D with no way back: D's own way down leads into H. D, known by
// then, is reached one way; its way down is not taken for the way back to E.
//
//   A-B C      E up: D, one way       E down: I, one way
//   | | |      D down: H, and back up
//   D E-F
//     | |
//   G H I
TEST(Region, AClimbIntoARoomWhoseWayDownLeadsElsewhereIsLinkedOneWay) {
    GridGame game({"A-B C", "| | |", "D E-F", "  | |", "G H I"});
    game.OneWay(game.Find('E'), 'd', game.Find('I'));
    game.OneWay(game.Find('E'), 'u', game.Find('D'));
    game.Warp(game.Find('D'), 'd', game.Find('H'));
    int whole = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        TrackingRig rig;
        GridWalk walk(game, rig, game.Find('A'));
        map::TMudRoom2* start = rig.current();
        walk.RandomWalk(seed);
        rig.tracker.Settle();
        ASSERT_TRUE(rig.host.tracing) << "seed " << seed;
        const std::string problems = CheckMap(game, walk, game.Find('A'), start);
        EXPECT_EQ(problems.find(" leads to "), std::string::npos)
            << "seed " << seed << ": " << problems;
        EXPECT_EQ(problems.find("stands for two"), std::string::npos)
            << "seed " << seed << ": " << problems;
        whole += problems.empty();
    }
    // Copies stay possible where nothing told a climb from new ground, but not the rule.
    EXPECT_GE(whole, 15);
}

// A fall from B into N, whose own way up climbs into K: when N's way up is found to lead
// elsewhere, only that way is mended; the fall just walked still leads into N.
//
//   A-B        B down: N, one way
//   |          N up: K, one way
//   K-N
TEST(Region, AWayUpFoundToLeadElsewhereLeavesTheFallIntoTheRoomAlone) {
    GridGame game({"A-B", "|  ", "K-N"});
    game.OneWay(game.Find('B'), 'd', game.Find('N'));
    game.OneWay(game.Find('N'), 'u', game.Find('K'));
    TrackingRig rig;
    GridWalk walk(game, rig, game.Find('A'));
    map::TMudRoom2* start = rig.current();
    walk.Path("edu");  // B, the fall into N, and N's way up into K
    walk.Path("ewne"); // on round the loop: N, K, A, B
    rig.tracker.Settle();
    ASSERT_TRUE(rig.host.tracing);
    EXPECT_TRUE(Logged(rig, "связь исправлена"));
    map::TMudRoom2* b = FollowOnMap(rig, start, 'e');
    ASSERT_NE(b, nullptr);
    map::TMudRoom2* n = FollowOnMap(rig, b, 'd');
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->Hint, game.Name(game.Find('N')));
    // N reached again from K may be copied (nothing told it apart), but nothing is wrong.
    const std::string problems = CheckMap(game, walk, game.Find('A'), start);
    EXPECT_EQ(problems.find(" leads to "), std::string::npos) << problems;
    EXPECT_EQ(problems.find("stands for two"), std::string::npos) << problems;
}

} // namespace

// A town of `rows` by `cols` rooms, every room with a text of its own, and ways up that land
// far off the grid: from the last row's first room into the first row's last room, and from
// the second room of the third row into the fourth room of the first. `alike`: rooms that read
// as one (name, description and exits), twins of the game.
struct OwnTextTown {
    GridGame game;
    int w1, k1, w2, k2;
    std::set<int> alike;
    static std::vector<std::string> Rows(int rows, int cols) {
        std::vector<std::string> out;
        for (int r = 0; r < rows; ++r) {
            std::string line, below;
            for (int c = 0; c < cols; ++c) {
                line += c ? "-r" : "r";
                below += c ? " |" : "|";
            }
            out.push_back(line);
            if (r + 1 < rows) out.push_back(below);
        }
        return out;
    }
    OwnTextTown(int rows, int cols) : game(Rows(rows, cols)) {
        auto at = [&](int r, int c) {
            for (int i = 0; i < static_cast<int>(game.rooms.size()); ++i)
                if (game.rooms[i].x == r && game.rooms[i].y == c) return i;
            return -1;
        };
        w1 = at(rows - 1, 0), k1 = at(0, cols - 1), w2 = at(2, 1), k2 = at(0, 3);
        game.Warp(w1, 'u', k1);
        game.Warp(w2, 'u', k2);
    }
    WalkVoice Voice() const {
        WalkVoice voice;
        voice.room = [this](const GridGame& g, int id) {
            const int text = alike.count(id) ? *alike.begin() : id;
            return RoomText(g.Name(id), "Looks like house " + std::to_string(text) + ".",
                            g.Exits(id)) +
                   "> ";
        };
        return voice;
    }
    // Every row, east and back west on the row below, from the first room.
    std::string Serpentine(int rows, int cols) const {
        std::string path;
        for (int r = 0; r < rows; ++r) {
            path += std::string(cols - 1, r % 2 ? 'w' : 'e');
            if (r + 1 < rows) path += 's';
        }
        return path;
    }
};

// A way that lands far off the grid, crossed once and straight back: nothing the game prints
// tells the room it lands in from a twin of it. In a zone where the map has seen every room read
// apart, a hundred rooms and more, the text names the room; where the game has shown twins, or
// the map is too small to tell, the room is copied as before. A copy made for want of evidence
// is no twin of the game: it does not turn the rule off.
TEST(Region, ARoomThatReadsLikeOneKnownRoomInATownOfOwnTextsIsThatRoom) {
    auto rooms = [](TrackingRig& rig) {
        int n = 0;
        rig.world().Lists().ForEachWorldRoom(
            [&](const map::TMudRoom2* r, const std::string&) { n += !r->Pipe; });
        return n;
    };
    const std::string taken = W8("в зоне, где у каждой комнаты свой текст");
    auto takenCount = [&](TrackingRig& rig) {
        return std::count_if(rig.host.log.begin(), rig.host.log.end(), [&](const std::string& l) {
            return l.find(taken) != std::string::npos;
        });
    };
    {
        OwnTextTown town(10, 11); // 110 rooms
        TrackingRig rig;
        GridWalk walk(town.game, rig, 0, town.Voice());
        map::TMudRoom2* start = rig.current();
        walk.Path(town.Serpentine(10, 11)); // ends on the last row's first room
        walk.Path("ud");                    // up into the first row's last room, and back
        rig.tracker.Settle();
        ASSERT_TRUE(rig.host.tracing);
        EXPECT_EQ(CheckMap(town.game, walk, 0, start), "");
        EXPECT_EQ(rooms(rig), 110);
        EXPECT_EQ(takenCount(rig), 1);
    }
    {
        OwnTextTown town(10, 11); // two houses of the town read as one: the game has twins
        town.alike = {15, 60};
        TrackingRig rig;
        GridWalk walk(town.game, rig, 0, town.Voice());
        map::TMudRoom2* start = rig.current();
        walk.Path(town.Serpentine(10, 11));
        walk.Path("ud");
        rig.tracker.Settle();
        ASSERT_TRUE(rig.host.tracing);
        EXPECT_EQ(rooms(rig), 111) << "a room was taken on its text in a town of twins";
        EXPECT_EQ(takenCount(rig), 0);
        EXPECT_NE(CheckMap(town.game, walk, 0, start).find("mapped twice"), std::string::npos);
    }
    {
        OwnTextTown town(6, 5); // 30 rooms: too few to tell
        TrackingRig rig;
        GridWalk walk(town.game, rig, 0, town.Voice());
        walk.Path(town.Serpentine(6, 5));
        walk.Path("ud");
        rig.tracker.Settle();
        ASSERT_TRUE(rig.host.tracing);
        EXPECT_EQ(rooms(rig), 31);
        EXPECT_EQ(takenCount(rig), 0);
    }
    {
        // The second way up crossed while the map was small is copied; once the map has seen
        // the whole town read apart, the first one is taken all the same.
        OwnTextTown town(10, 11);
        TrackingRig rig;
        GridWalk walk(town.game, rig, 0, town.Voice());
        walk.Path("eeessww"); // round to the third row's second room
        ASSERT_EQ(walk.at, town.w2);
        walk.Path("ud");
        rig.tracker.Settle();
        ASSERT_EQ(rooms(rig), 9) << "the way up crossed early was not copied";
        walk.Path("wnn"); // back to the first room, then the whole town
        ASSERT_EQ(walk.at, 0);
        walk.Path(town.Serpentine(10, 11));
        walk.Path("ud");
        rig.tracker.Settle();
        ASSERT_TRUE(rig.host.tracing);
        EXPECT_EQ(takenCount(rig), 1);
        EXPECT_EQ(rooms(rig), 111); // the town and the one copy made early
    }
}
