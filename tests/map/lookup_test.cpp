// Finding rooms by name, the same-room rule and refreshing a room from what the game showed.

#include "MapFixture.h"

namespace maptest {
namespace {

using namespace map;

TEST_F(MapTest, NameRuleComparesNameDescriptionKeyAndExitKey) {
    TMudRoom2* a = linker.NewRoomAt(0, 0, 0, "Road", "A long\r\nroad.", "N (S)");
    TMudRoom2* b = linker.NewRoomAt(0, 1, 0, "Road", "Another road.", "N S");
    EXPECT_EQ(world.FindRoomByName("Road", "A  long\r\n road. ", "N S"), a);
    EXPECT_EQ(world.FindRoomByName("Road", "Another road.", "(N) S"), b);
    EXPECT_EQ(world.FindRoomByName("Road", "A long\r\nroad.", "n s"), nullptr);
    EXPECT_EQ(world.FindRoomByName("road", "A long\r\nroad.", "N S"), nullptr);
    EXPECT_EQ(world.FindRoomByName("Road", "A long road.", "N S"), nullptr); // line break counts

    // Without descriptions the first room in list order wins.
    profile.NoDescription = true;
    EXPECT_EQ(world.FindRoomByName("Road", "Another road.", "N S"), a);
    profile.NoDescription = false;

    // The world-wide search crosses zones, in world list order.
    world.CurrentZone = "Other";
    world.LoadZoneRooms();
    TMudRoom2* c = linker.NewRoomAt(5, 5, 0, "Road", "Another road.", "NS");
    EXPECT_EQ(world.FindRoomByName("Road", "Another road.", "N S"), c);
    EXPECT_EQ(world.GlobalFindRoomByName("Road", "Another road.", "N S"), b);
    EXPECT_EQ(world.GlobalFindRoom(0, 1, 0, "Zone"), b);
    EXPECT_EQ(world.GlobalFindRoom(0, 1, 0, "Other"), nullptr);
    EXPECT_EQ(world.GlobalFindRoomByTag(1, "Other"), c);
    EXPECT_EQ(world.GlobalFindRoomByTag(1, "Zone"), a);
    EXPECT_EQ(world.FindRoomByTag(1), c);
}

TEST_F(MapTest, SameRoomRule) {
    const std::string dark = profile.Dark;
    TMudRoom2* r = linker.NewRoomAt(0, 0, 0, "Hall", "A hall.", "N S");
    EXPECT_TRUE(world.SameRoom(r, "Hall", "A hall.", "E"));     // descriptions decide
    EXPECT_FALSE(world.SameRoom(r, "Hall", "A  hall.", "N S")); // spaces count here
    EXPECT_FALSE(world.SameRoom(r, "Yard", "A hall.", "N S"));
    EXPECT_TRUE(world.SameRoom(r, "Hall", "", "N (S)")); // no description: exit keys
    EXPECT_FALSE(world.SameRoom(r, "Hall", "", "N"));
    EXPECT_TRUE(world.SameRoom(r, "Hall", "", ""));          // no exits: the name alone
    EXPECT_TRUE(world.SameRoom(r, dark, "anything", "E W")); // dark shown: anything goes

    TMudRoom2* d = linker.NewRoomAt(0, 1, 0, dark, "", "");
    EXPECT_TRUE(world.SameRoom(d, "Yard", "A yard.", "E"));
    TMudRoom2* pipe = linker.NewRoomAt(0, 2, 0, "Pipe", "", "WE", true);
    EXPECT_FALSE(world.SameRoom(pipe, dark, "", ""));
    EXPECT_FALSE(world.SameRoom(pipe, "", "", ""));
}

TEST_F(MapTest, RefreshPropUpdatesTheRoomAndItsIndexes) {
    TMudRoom2* r = linker.NewRoomAt(0, 0, 0, "Old", "Old text.", "N (S)");
    world.RefreshProp(r, "New", "Editing", "N S");
    EXPECT_EQ(r->Hint, "New");
    EXPECT_EQ(r->Description, "Old text.");
    EXPECT_EQ(r->Exits(), "N (S)"); // same exit key: the door stays
    EXPECT_EQ(world.FindRoomByName("New", "Old text.", "N S"), r);
    EXPECT_EQ(world.FindRoomByName("Old", "Old text.", "N S"), nullptr);
    EXPECT_EQ(world.GlobalFindRoomByName("New", "Old text.", "N S"), r);

    world.RefreshProp(r, "New", "New text.", "E W");
    EXPECT_EQ(r->Description, "New text.");
    EXPECT_EQ(r->Exits(), "E W");
    EXPECT_EQ(r->ExitStateOf(East), kExit);
    EXPECT_EQ(world.FindRoomByName("New", "New text.", "EW"), r);

    world.RefreshProp(r, "New", "", "None!");
    EXPECT_EQ(r->Exits(), "");
    for (const auto& i : kDirs)
        EXPECT_EQ(r->ExitStateOf(i.dir), kNoExit);

    // Dark shown: nothing changes. Locked zone and another description: nothing changes.
    world.RefreshProp(r, profile.Dark, "x", "N");
    EXPECT_EQ(r->Hint, "New");
    world.ZoneLocked = true;
    world.RefreshProp(r, "Other", "Other text.", "N");
    EXPECT_EQ(r->Hint, "New");
    world.RefreshProp(r, "Other", "New text.", "N");
    EXPECT_EQ(r->Hint, "Other");
}

TEST_F(MapTest, AliasesIgnoreCaseIncludingCyrillic) {
    TMudRoom2* a = linker.NewRoomAt(0, 0, 0, "A", "", "");
    TMudRoom2* b = linker.NewRoomAt(0, 1, 0, "B", "", "");
    b->QuickList = "\xF5\xF0\xE0\xEC";                       // храм
    EXPECT_EQ(world.FindRoomByAlias("\xD5\xD0\xC0\xCC"), b); // ХРАМ
    EXPECT_EQ(world.FindRoomByAlias(""), nullptr);
    a->QuickList = "Temple";
    EXPECT_EQ(world.FindRoomByAlias("tEMPLE"), a);
}

} // namespace
} // namespace maptest
