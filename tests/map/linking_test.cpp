// Creating rooms, linking them, corridors, pushing rooms aside.

#include "MapFixture.h"

namespace maptest {
namespace {

using namespace map;

TEST_F(MapTest, NewRoomAtNumbersFilesAndWidens) {
    world.ViewLevel = 3;
    TMudRoom2* a = linker.NewRoomAt(2, -1, 0, "Hall", "A hall.", "N (S)");
    EXPECT_EQ(a->Tag, 1);
    EXPECT_EQ(a->Hint, "Hall");
    EXPECT_EQ(a->BColor, 0x00ABCDEF); // the skin's room colour
    EXPECT_EQ(a->DX, 7);              // vertical scroll bar
    EXPECT_EQ(a->DY, 9);              // horizontal scroll bar
    EXPECT_EQ(a->DL, 3);
    EXPECT_EQ(a->ExitStateOf(South), kDoor);
    EXPECT_FALSE(world.Saved);
    EXPECT_EQ(world.ZoneOf(a), "Zone");
    EXPECT_EQ(world.FindRoom(2, -1, 0), a);

    TMudRoom2* pipe = linker.NewRoomAt(5, 4, 1, "Pipe", "", "NS", true);
    EXPECT_EQ(pipe->Tag, 0);
    EXPECT_EQ(pipe->Hint, "");
    EXPECT_TRUE(pipe->Pipe);
    TMudRoom2* b = linker.NewRoomAt(0, 0, 0, "Yard", "", "");
    EXPECT_EQ(b->Tag, 2);
    EXPECT_EQ(world.HighestRoomNumber, 2);
    EXPECT_EQ(world.Extents, (MapExtents{0, 5, -1, 4, 0, 1}));
    ASSERT_TRUE(ui.scrollRanges);
    EXPECT_EQ(*ui.scrollRanges, world.Extents);
    EXPECT_EQ(ui.shifts, 3);
    EXPECT_GE(ui.repaints, 3);
}

TEST_F(MapTest, StepToLinksOrCreatesADarkRoom) {
    Build({"A . B"});
    world.ContextRoom = R('A');
    linker.StepTo(East);
    world.ContextRoom = R('B');
    linker.StepTo(West); // the cell is taken now: only links
    EXPECT_EQ(Picture(), Lines({"A-*-B"}));
    EXPECT_EQ(world.FindRoom(0, 1, 0)->Tag, 3);
    EXPECT_EQ(world.Lists().ZoneCount(), 3u);
}

TEST_F(MapTest, SetLinkLaysCorridorOverTheGapAndDeleteLinkTakesItAway) {
    Build({"A . . B"});
    EXPECT_TRUE(linker.SetLink(R('A'), R('B'), East));
    EXPECT_EQ(Picture(), Lines({"A-#-#-B"}));
    for (int y : {1, 2}) {
        TMudRoom2* c = world.FindRoom(0, y, 0);
        EXPECT_EQ(c->Tag, 0);
        EXPECT_EQ(c->Hint, "");
        EXPECT_EQ(c->Exits(), "WE");
    }

    linker.DeleteLink(R('A'), East);
    EXPECT_EQ(Picture(0, 0, 0, 3), Lines({"A . . B"}));
    EXPECT_EQ(CorridorRooms(), 0);
    EXPECT_EQ(world.Lists().WorldCount(), 2u);

    // North-south corridors take the north and south exit words.
    Build({"C", "", ".", "", "."}, 2, 5);
    TMudRoom2* d = linker.NewRoomAt(6, 5, 0, "D", "", "N");
    EXPECT_TRUE(linker.SetLink(d, R('C'), North));
    EXPECT_EQ(world.FindRoom(4, 5, 0)->Exits(), "NS");
    EXPECT_EQ(Picture(2, 5, 6, 5), Lines({"C", "|", "#", "|", "#", "|", "#", "|", "D"}));

    // Towards an empty cell only the room's own flag goes.
    Build({"E>."}, 10, 0);
    linker.DeleteLink(R('E'), East);
    EXPECT_FALSE(R('E')->ChE);
}

TEST_F(MapTest, SetLinkPushesUnlinkedObstaclesAsideWithWhatStandsInTheirWay) {
    Build({". . B", "", ". W R", "", ". . .", "", ". . A"}, 0, -2);
    EXPECT_TRUE(linker.SetLink(R('A'), R('B'), North));
    EXPECT_EQ(Picture(0, -3, 3, 0),
              Lines({". . . B", "      |", ". W R #", "      |", ". . . #", "      |", ". . . A"}));
}

TEST_F(MapTest, SetLinkFailsAcrossRoomsThatCannotBePushed) {
    // Linked sideways: cannot be pushed west.
    Build({"B .", "", ". .", "", "C-D", "", ". .", "", "A ."});
    EXPECT_FALSE(linker.SetLink(R('A'), R('B'), North));
    EXPECT_EQ(Picture(), Lines({"B .", "v", ". .", "", "C-D", "", ". .", "^", "A ."}));
    EXPECT_EQ(CorridorRooms(), 0);

    // Unlinked, but its westward push group holds the start room (which is linked to it).
    Build({"F", "", ".", "", "R", "^", "E"}, 20, 0);
    TMudRoom2* r = R('R');
    EXPECT_FALSE(linker.SetLink(R('E'), R('F'), North));
    EXPECT_EQ(r->X, 22);
    EXPECT_EQ(r->Y, 0);
    EXPECT_TRUE(R('F')->ChS);
    EXPECT_TRUE(R('E')->ChN);
    EXPECT_EQ(CorridorRooms(), 0);

    // Nothing is pushed out of a vertical line.
    TMudRoom2* low = linker.NewRoomAt(40, 0, 0, "L", "", "");
    TMudRoom2* mid = linker.NewRoomAt(40, 0, 1, "M", "", "");
    TMudRoom2* high = linker.NewRoomAt(40, 0, 2, "H", "", "");
    EXPECT_FALSE(linker.SetLink(low, high, Up));
    EXPECT_EQ(mid->L, 1);
}

TEST_F(MapTest, SetLinkBetweenRoomsOffTheLineLaysNoCorridor) {
    Build({". B", "", ". .", "", "A ."});
    EXPECT_FALSE(linker.SetLink(R('A'), R('B'), North));
    EXPECT_EQ(CorridorRooms(), 0);
    EXPECT_TRUE(R('A')->ChN);
    EXPECT_TRUE(R('B')->ChS);
}

TEST_F(MapTest, TryToLinkAlignsRoomsOneCellOffTheLine) {
    // A tie: B's group (B alone) moves one column west.
    Build({". B", "", ". .", "", "A ."});
    linker.TryToLink(R('A'), R('B'), North);
    EXPECT_EQ(Picture(0, 0, 2, 1), Lines({"B .", "|", "# .", "|", "A ."}));

    // K's group is larger (D hangs on it): J moves east instead.
    Build({". D", "  |", ". K", "", ". .", "", "J ."}, 10, 0);
    linker.TryToLink(R('J'), R('K'), North);
    EXPECT_EQ(Picture(10, 0, 13, 1), Lines({". D", "  |", ". K", "  |", ". #", "  |", ". J"}));

    // Side by side: a row is opened first, then the columns are aligned.
    Build({"E F"}, 20, 0);
    linker.TryToLink(R('E'), R('F'), North);
    EXPECT_EQ(Picture(19, 0, 20, 1), Lines({"F .", "|", "E ."}));

    // Side by side and linked: both move together and never align; no corridor runs astray.
    Build({"G-H"}, 30, 0);
    const int before = CorridorRooms();
    linker.TryToLink(R('G'), R('H'), North);
    EXPECT_EQ(CorridorRooms(), before);
    EXPECT_TRUE(R('G')->ChN);
}

TEST_F(MapTest, TryToLinkAlongTheLineAndNotFurtherOff) {
    Build({"B . . . A", "", ". . . . .", "", "C . . . ."});
    linker.TryToLink(R('A'), R('B'), West);
    EXPECT_EQ(Picture(0, 0, 0, 4), Lines({"B-#-#-#-A"}));
    linker.TryToLink(R('A'), R('C'), West); // two rows off: nothing
    EXPECT_FALSE(R('C')->ChE);
    EXPECT_EQ(R('C')->Y, 0);
}

TEST_F(MapTest, TryToLinkAcrossZonesWritesLinkLines) {
    TMudRoom2* from = linker.NewRoomAt(0, 0, 0, "From", "", "N");
    world.CurrentZone = "Other";
    world.LoadZoneRooms();
    linker.NewRoomAt(3, 3, 0, "x", "", "");
    TMudRoom2* to = linker.NewRoomAt(0, 1, 0, "To", "", "S");
    world.CurrentZone = "Zone";
    world.LoadZoneRooms();

    linker.TryToLink(from, to, North);
    EXPECT_EQ(from->AutoMaps, std::vector<std::string>{"Other|" + profile.Directions[0] + "|2"});
    EXPECT_EQ(to->AutoMaps, std::vector<std::string>{"Zone|" + profile.Directions[1] + "|1"});
    EXPECT_TRUE(from->ChN);
    EXPECT_TRUE(to->ChS);
    EXPECT_EQ(CorridorRooms(), 0);
    EXPECT_EQ(from->X, 0);
    EXPECT_EQ(to->Y, 1);
}

TEST_F(MapTest, MakeLinkFindsTheFirstRoomOrBeeps) {
    Build({"A . B", "", "C . ."});
    world.ContextRoom = R('C');
    linker.MakeLink(East);
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_FALSE(R('C')->ChE);

    world.ContextRoom = R('A');
    const int shifts = ui.shifts;
    linker.MakeLink(East);
    EXPECT_EQ(Picture(), Lines({"A-#-B", "", "C . ."}));
    EXPECT_GT(ui.shifts, shifts);
}

TEST_F(MapTest, ListAtWalksLikeTheRecursionOfTheGroupRule) {
    Build({"A-B", "| |", "C-D"});
    std::vector<TMudRoom2*> group;
    linker.ListAt(East, R('A'), group);
    EXPECT_EQ(group, (std::vector<TMudRoom2*>{R('A'), R('C'), R('D'), R('B')}));

    // Rooms behind are left out, rooms in the way join however they are linked.
    Build({"E-F G H"}, 5, 0);
    group.clear();
    linker.ListAt(East, R('F'), group);
    EXPECT_EQ(group, (std::vector<TMudRoom2*>{R('F'), R('G'), R('H')}));
}

TEST_F(MapTest, PushingLengthensAndShortensCorridors) {
    // South, away from a linked north neighbour: the gap is filled.
    Build({"N", "|", "A"});
    world.ContextRoom = R('A');
    linker.MoveRoomTo(South);
    EXPECT_EQ(Picture(), Lines({"N", "|", "#", "|", "A"}));
    EXPECT_EQ(world.FindRoom(1, 0, 0)->Exits(), "NS");

    // North into the corridor it ends: the corridor loses a cell, B stays.
    linker.MoveRoomTo(North);
    EXPECT_EQ(Picture(), Lines({"N", "|", "A"}));
    EXPECT_EQ(R('A')->X, 1);
    EXPECT_EQ(R('N')->X, 0);
    EXPECT_EQ(CorridorRooms(), 0);

    // East: the corridor behind grows, with the east-west exit words.
    Build({"W-#-P"}, 10, 0);
    world.ContextRoom = R('P');
    linker.MoveRoomTo(East);
    EXPECT_EQ(Picture(10, 0, 10, 3), Lines({"W-#-#-P"}));
    EXPECT_EQ(world.FindRoom(10, 2, 0)->Exits(), "EW");
}

TEST_F(MapTest, PushingMovesTheWholeLinkedGroupInOnePiece) {
    Build({"A-B . .", "|", "C"});
    world.ContextRoom = R('A');
    linker.MoveRoomTo(East);
    EXPECT_EQ(Picture(0, 0, 1, 3), Lines({". A-B .", "  |", ". C . ."}));
    EXPECT_EQ(world.FindRoom(0, 0, 0), nullptr);
    EXPECT_EQ(world.FindRoom(0, 1, 0), R('A'));
}

TEST_F(MapTest, ExpandRoomsMovesTheSmallerGroupAndLeavesTheContextRoom) {
    // The player's context room is where an alias or a menu command goes: a push that tracking
    // makes must not move it to one of the pushed rooms.
    Build({"A B"});
    world.ContextRoom = nullptr;
    linker.ExpandRooms(R('A'), R('B'), East); // tie: B moves
    EXPECT_EQ(Picture(0, 0, 0, 2), Lines({"A . B"}));
    EXPECT_EQ(world.ContextRoom, nullptr);

    Build({"C D-E"}, 5, 0);
    world.ContextRoom = R('E');
    linker.ExpandRooms(R('C'), R('D'), East); // D drags E along: C is smaller
    EXPECT_EQ(Picture(5, -1, 5, 2), Lines({"C . D-E"}));
    EXPECT_EQ(world.ContextRoom, R('E'));
}

TEST_F(MapTest, VerticalPushTakesTheRoomsInTheWay) {
    // A stack of unlinked rooms: pushing the middle one up must not land it on the top one.
    TMudRoom2* a = linker.NewRoomAt(0, 0, 0, "A", "", "");
    TMudRoom2* a2 = linker.NewRoomAt(0, 1, 0, "a", "", "");
    a->ChE = a2->ChW = true;
    TMudRoom2* b = linker.NewRoomAt(0, 0, 1, "B", "", "");
    TMudRoom2* c = linker.NewRoomAt(0, 0, 2, "C", "", "");
    linker.ExpandRooms(a, b, Up);
    EXPECT_EQ(world.FindRoom(0, 0, 0), a);
    EXPECT_EQ(world.FindRoom(0, 0, 2), b);
    EXPECT_EQ(world.FindRoom(0, 0, 3), c);
}

TEST_F(MapTest, ExpandRoomsNeverMovesAGroupThatHoldsTheOtherRoom) {
    // A column linked both ways moves as one whichever room is pushed: no cell can open.
    TMudRoom2* a = linker.NewRoomAt(0, 0, 0, "A", "", "");
    TMudRoom2* b = linker.NewRoomAt(0, 0, -1, "B", "", "");
    TMudRoom2* top = linker.NewRoomAt(0, 0, 1, "T", "", "");
    a->ChD = b->ChU = a->ChU = top->ChD = true;
    EXPECT_FALSE(linker.ExpandRooms(a, b, Down));
    EXPECT_EQ(world.FindRoom(0, 0, 0), a);
    EXPECT_EQ(world.FindRoom(0, 0, -1), b);
    EXPECT_EQ(world.FindRoom(0, 0, 1), top);

    // Linked only from above (a drop): the link holds the column together all the same.
    b->ChU = false;
    EXPECT_FALSE(linker.ExpandRooms(a, b, Down));
    EXPECT_EQ(world.FindRoom(0, 0, 0), a);
    EXPECT_EQ(world.FindRoom(0, 0, -1), b);

    // Unlinked: the smaller group moves away.
    a->ChD = false;
    EXPECT_TRUE(linker.ExpandRooms(a, b, Down));
    EXPECT_EQ(world.FindRoom(0, 0, 0), a);
    EXPECT_EQ(world.FindRoom(0, 0, 1), top);
    EXPECT_EQ(world.FindRoom(0, 0, -1), nullptr);
    EXPECT_EQ(world.FindRoom(0, 0, -2), b);
}

TEST_F(MapTest, PushingLeavesACorridorThatOnlyCrossesUnderTheGroup) {
    // A's way south is a link line into a room far off; the cell below A holds a corridor from F
    // east to G. Pushing A east takes nothing of the corridor along: F still leads to G.
    Build({
        ". A",
        "  v",
        "F-#-G",
    });
    TMudRoom2* far = linker.NewRoomAt(9, 9, 0, "X", "", "N");
    R('A')->AutoMaps.push_back("Zone|" + profile.Directions[1] + "|" + std::to_string(far->Tag));
    world.ContextRoom = R('A');
    linker.MoveRoomTo(East);
    EXPECT_EQ(world.FindRoom(0, 2, 0), R('A'));
    EXPECT_EQ(Picture(1, 0, 1, 2), "F-#-G\n");
}

TEST_F(MapTest, PushingKeepsALinkThatRunsThroughCrossingCorridorsAsALinkLine) {
    // K's way west runs to J through two corridor rooms that belong to corridors crossing it
    // (U to X, V to Y). Pushing K north cannot take J along without tearing those corridors:
    // the way becomes a link-line pair instead, and still leads to J and back.
    Build({
        ". U V",
        "  | |",
        "J-#-#-K",
        "  | |",
        ". X Y",
    });
    TMudRoom2* k = R('K');
    TMudRoom2* j = R('J');
    for (int y : {1, 2}) { // the corridor rooms run north and south only
        world.FindRoom(1, y, 0)->ChE = false;
        world.FindRoom(1, y, 0)->ChW = false;
    }
    world.ContextRoom = k;
    linker.MoveRoomTo(North);
    ASSERT_EQ(world.FindRoom(0, 3, 0), k);
    EXPECT_EQ(k->AutoMaps, std::vector<std::string>{"Zone|" + map::Phrase(profile, West) + "|" +
                                                    std::to_string(j->Tag)});
    EXPECT_EQ(j->AutoMaps, std::vector<std::string>{"Zone|" + map::Phrase(profile, East) + "|" +
                                                    std::to_string(k->Tag)});
    EXPECT_EQ(Picture(0, 1, 2, 2), Lines({"U V", "| |", "# #", "| |", "X Y"}));

    // A link the push keeps on the grid gets no link line.
    Build({"A-B", "| |", "C-D"}, 10, 0);
    world.ContextRoom = R('B');
    linker.MoveRoomTo(East);
    EXPECT_TRUE(R('A')->AutoMaps.empty());
    EXPECT_TRUE(R('B')->AutoMaps.empty());
}

TEST_F(MapTest, PushingNeverBreaksALinkThatRunsOneWay) {
    // A drop from the road into the ravine below, linked from above only: pushing the road east
    // takes the ravine's room along, so that the drop still leads straight down.
    TMudRoom2* road = linker.NewRoomAt(0, 0, 0, "R", "", "");
    TMudRoom2* west = linker.NewRoomAt(0, -1, 0, "W", "", "");
    TMudRoom2* ravine = linker.NewRoomAt(0, 0, -1, "V", "", "");
    road->ChW = west->ChE = true;
    road->ChD = true;
    world.ContextRoom = road;
    linker.MoveRoomTo(East);
    EXPECT_EQ(world.FindRoom(0, 1, 0), road);
    EXPECT_EQ(world.FindRoom(0, 1, -1), ravine);

    // A door that opens from one side only, beside the push: its room comes along too.
    Build({"A", "v", "B"}, 10, 0);
    world.ContextRoom = R('A');
    linker.MoveRoomTo(East);
    EXPECT_EQ(world.FindRoom(10, 1, 0), R('A'));
    EXPECT_EQ(world.FindRoom(11, 1, 0), R('B'));

    // Behind the push, one way either way: the gap left behind becomes a corridor, so the way
    // still leads where it did.
    for (const bool fromGroup : {true, false}) {
        const int x = fromGroup ? 20 : 30;
        TMudRoom2* e = linker.NewRoomAt(x, 0, 0, "E", "", fromGroup ? "W" : "N");
        TMudRoom2* f = linker.NewRoomAt(x, -1, 0, "F", "", fromGroup ? "N" : "E");
        (fromGroup ? e->ChW : f->ChE) = true;
        world.ContextRoom = e;
        linker.MoveRoomTo(East);
        ASSERT_EQ(world.FindRoom(x, 1, 0), e) << fromGroup;
        TMudRoom2* gap = world.FindRoom(x, 0, 0);
        ASSERT_NE(gap, nullptr) << fromGroup;
        EXPECT_TRUE(gap->Pipe) << fromGroup;
        EXPECT_EQ(world.FindRoom(x, -1, 0), f) << fromGroup;
    }
}

} // namespace
} // namespace maptest

namespace maptest {
namespace {

TEST_F(MapTest, TryToLinkNeverPushesOrLinksRoomsOnDifferentLevels) {
    // One cell off the line, but a level apart: no row opened, no link drawn.
    TMudRoom2* a = linker.NewRoomAt(0, 0, 0, "A", "", "");
    TMudRoom2* b = linker.NewRoomAt(-1, 1, -1, "B", "", "");
    TMudRoom2* c = linker.NewRoomAt(0, 1, 0, "C", "", "");
    linker.TryToLink(a, b, North);
    EXPECT_EQ(world.FindRoom(0, 0, 0), a);
    EXPECT_EQ(world.FindRoom(-1, 1, -1), b);
    EXPECT_EQ(world.FindRoom(0, 1, 0), c);
    EXPECT_FALSE(a->ChN);
    EXPECT_FALSE(b->ChS);
}

} // namespace
} // namespace maptest
