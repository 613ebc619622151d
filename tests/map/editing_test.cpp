// The context menu's room operations: delete, shift, doors, colour and marks.

#include "MapFixture.h"

namespace maptest {
namespace {

using namespace map;

TEST_F(MapTest, DeletingARoomTakesItsCorridorsAndUnlinksTheFarEnd) {
    Build({"N", "|", "#", "|", "#", "|", "A-B"});
    world.Saved = true;
    world.ContextRoom = R('A');
    editor.DeleteRoom();
    EXPECT_EQ(Picture(0, 0, 3, 1), Lines({"N .", "", ". .", "", ". .", "", ". B"}));
    EXPECT_EQ(CorridorRooms(), 0);
    EXPECT_EQ(world.Lists().WorldCount(), 2u);
    EXPECT_EQ(world.Lists().ZoneCount(), 2u);
    EXPECT_EQ(world.ContextRoom, nullptr);
    EXPECT_FALSE(world.Saved);
    EXPECT_GE(ui.repaints, 1);

    // A corridor room takes its whole corridor and unlinks both ends.
    Build({"C-#-#-D"}, 5, 0);
    world.ContextRoom = world.FindRoom(5, 2, 0);
    editor.DeleteRoom();
    EXPECT_EQ(Picture(5, 0, 5, 3), Lines({"C . . D"}));
    EXPECT_EQ(CorridorRooms(), 0);
}

TEST_F(MapTest, DeletingThePlayersRoomSwitchesTracingOff) {
    Build({"A-B"});
    TMudRoom2* a = R('A');
    a->QuickList = "home";
    world.CurrentRoom = a;
    world.ReturnRoom = a;
    world.ContextRoom = a;
    editor.DeleteRoom();
    EXPECT_EQ(ui.tracingOffs, 1);
    EXPECT_EQ(world.CurrentRoom, nullptr);
    EXPECT_EQ(world.ReturnRoom, nullptr);
    EXPECT_EQ(ui.removedNodes, std::vector<const TMudRoom2*>{a});
    EXPECT_EQ(world.FindRoom(0, 0, 0), nullptr);
    EXPECT_EQ(world.FindRoomByAlias("home"), nullptr);
    EXPECT_FALSE(R('B')->ChW);
}

TEST_F(MapTest, DeletingARoomTakesBackTheLinkLinesOfOtherZones) {
    const std::string north = profile.Directions[0], south = profile.Directions[1],
                      up = profile.Directions[4];
    TMudRoom2* r = linker.NewRoomAt(0, 0, 0, "R", "", "N");
    world.CurrentZone = "Other";
    world.LoadZoneRooms();
    TMudRoom2* t = linker.NewRoomAt(0, 0, 0, "T", "", "S U");
    world.CurrentZone = "Zone";
    world.LoadZoneRooms();
    r->AutoMaps = {"Other|" + north + "|1", "Nowhere|" + up + "|7", "Other|" + up + "|x"};
    r->ChN = true;
    t->AutoMaps = {"Zone|" + up + "|1", "Zone|" + south + "|1", "Zone|" + south + "|1"};
    t->ChS = t->ChU = true;

    world.ContextRoom = r;
    editor.DeleteRoom();
    // The first line leading back goes, with its flag; the others stay.
    EXPECT_EQ(t->AutoMaps, (std::vector<std::string>{"Zone|" + up + "|1", "Zone|" + south + "|1"}));
    EXPECT_FALSE(t->ChS);
    EXPECT_TRUE(t->ChU);
    EXPECT_EQ(world.GlobalFindRoomByTag(1, "Zone"), nullptr);
}

TEST_F(MapTest, ShiftingARoomAwayFromItsLinkedNeighbourInsertsACorridorRoom) {
    Build({"W-A . ."});
    world.ContextRoom = R('A');
    world.Saved = true;
    editor.MoveRoom(East);
    EXPECT_EQ(Picture(0, 0, 0, 3), Lines({"W-#-A ."}));
    EXPECT_GE(ui.shifts, 1);
    // Moving leaves the saved flag; the corridor room it created does not.
    EXPECT_FALSE(world.Saved);

    world.Saved = true;
    editor.MoveRoom(South);
    EXPECT_TRUE(world.Saved);
    EXPECT_EQ(R('A')->X, 1);
}

TEST_F(MapTest, DoorsToggleParenthesesAroundTheExitWord) {
    TMudRoom2* a = linker.NewRoomAt(0, 0, 0, "A", "", "N S");
    world.ContextRoom = a;
    world.Saved = true;
    editor.ToggleDoor(North);
    EXPECT_EQ(a->Exits(), "(N) S");
    EXPECT_EQ(a->ExitStateOf(North), kDoor);
    editor.ToggleDoor(North);
    EXPECT_EQ(a->Exits(), "N S");
    EXPECT_EQ(a->ExitStateOf(North), kExit);
    EXPECT_TRUE(world.Saved);
    // The exit key does not see doors: the room is still found by its exits.
    editor.ToggleDoor(South);
    EXPECT_EQ(world.FindRoomByName("A", "", "N S"), a);

    profile.AutoexitsIgnoreCase = true;
    TMudRoom2* b = linker.NewRoomAt(1, 0, 0, "B", "", "n s");
    world.ContextRoom = b;
    editor.ToggleDoor(North);
    EXPECT_EQ(b->Exits(), "(N) s");
    EXPECT_EQ(b->ExitStateOf(North), kDoor);
    editor.ToggleDoor(North);
    EXPECT_EQ(b->Exits(), "N s");
}

TEST_F(MapTest, MarksAreExclusiveAndThePictureFollows) {
    TMudRoom2* a = linker.NewRoomAt(0, 0, 0, "A", "", "");
    a->Agro = true;
    a->ImageIndex = 3;
    a->QuickList = "camp";
    world.ContextRoom = a;
    world.Saved = true;

    editor.ToggleMark(RoomMark::DT);
    EXPECT_TRUE(a->DT);
    EXPECT_FALSE(a->Agro);
    EXPECT_EQ(a->ImageIndex, 1);
    EXPECT_FALSE(world.Saved);

    editor.ToggleMark(RoomMark::DT);
    EXPECT_FALSE(a->DT);
    EXPECT_EQ(a->ImageIndex, 0);

    editor.ToggleMark(RoomMark::NoStep);
    EXPECT_TRUE(a->NoStep);
    EXPECT_EQ(a->ImageIndex, 4);
    using Image = std::pair<const TMudRoom2*, int>;
    EXPECT_EQ(ui.nodeImages, (std::vector<Image>{{a, 7}, {a, 4}, {a, 10}}));

    // Unchecking one of two marks set elsewhere keeps the other but drops the picture.
    a->FlyDT = true;
    a->ImageIndex = 2;
    editor.ToggleMark(RoomMark::NoStep);
    EXPECT_TRUE(a->FlyDT);
    EXPECT_FALSE(a->NoStep);
    EXPECT_EQ(a->ImageIndex, 0);
}

TEST_F(MapTest, ColourComesFromTheDialogAndBecomesTheLastColour) {
    TMudRoom2* a = linker.NewRoomAt(0, 0, 0, "A", "", "");
    world.ContextRoom = a;
    ui.colorAnswer = 0x00123456;
    editor.PickColor();
    EXPECT_EQ(ui.colorAsked, std::vector<Color>{0x00ABCDEF});
    EXPECT_EQ(a->BColor, 0x00123456);
    EXPECT_EQ(world.LastColor, 0x00123456);

    ui.colorAnswer.reset();
    world.Saved = true;
    editor.PickColor();
    EXPECT_EQ(a->BColor, 0x00123456);
    EXPECT_FALSE(world.Saved); // a cancelled dialog still counts as a change
}

TEST_F(MapTest, RemovedCorridorRoomsNeverLingerAnywhere) {
    Build({"A-#-#-B"});
    TMudRoom2* corridor = world.FindRoom(0, 1, 0);
    corridor->QuickList = "odd"; // put in the quick list by hand
    world.ContextRoom = corridor;
    linker.DeleteLink(R('A'), East);
    EXPECT_EQ(world.ContextRoom, nullptr);
    EXPECT_EQ(ui.removedNodes.size(), 2u);
    EXPECT_EQ(ui.removedNodes[0], corridor);
    std::vector<TMudRoom2*> rooms;
    world.Lists().ForEachWorldRoom([&](TMudRoom2* r, const std::string&) { rooms.push_back(r); });
    EXPECT_EQ(rooms, (std::vector<TMudRoom2*>{R('A'), R('B')}));
    EXPECT_EQ(world.Lists().ZoneRooms(), (std::vector<TMudRoom2*>{R('A'), R('B')}));
}

} // namespace
} // namespace maptest
