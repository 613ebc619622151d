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

TEST(ChangingLinesTest, ALineCountsOnceTwoRoomsShowedItComeOrGo) {
    ChangingLines lines;
    const std::string day = "   A field of wheat.\r\nThe sun stands high.";
    const std::string night = "   A field of wheat.\r\nThe moon hangs over the field.";
    // One room alone could be a map gone wrong.
    EXPECT_FALSE(lines.Observe(1, day, night));
    EXPECT_FALSE(lines.Observe(1, night, day));
    EXPECT_TRUE(lines.Empty());
    EXPECT_TRUE(lines.Observe(2, "   Another field.\r\nThe sun stands high.",
                              "   Another field.\r\nThe moon hangs over the field."));
    EXPECT_TRUE(lines.Has("The sun stands high."));
    EXPECT_TRUE(lines.Has("The moon hangs over the field."));
    EXPECT_FALSE(lines.Has("   A field of wheat."));

    // A line added at night, nothing taken away: the same.
    EXPECT_FALSE(lines.Observe(3, "   Meadow.", "   Meadow.\r\nCrickets chirp."));
    EXPECT_TRUE(lines.Observe(4, "   Pasture.", "   Pasture.\r\nCrickets chirp."));
    EXPECT_TRUE(lines.Has("Crickets chirp."));

    // Descriptions that share no line, or differ in three lines, teach nothing.
    ChangingLines none;
    for (std::uint64_t room : {1u, 2u}) {
        EXPECT_FALSE(none.Observe(room, "One.", "Two."));
        EXPECT_FALSE(none.Observe(room, "Same.\r\nA\r\nB", "Same.\r\nC\r\nD"));
    }
    EXPECT_TRUE(none.Empty());

    // Before any line is learnt: a line come, gone or swapped may be the game's own change; a
    // line that only lost or gained blanks is a look-alike room's, not the time of day.
    EXPECT_TRUE(none.MayDifferByItself(day, night));
    EXPECT_TRUE(none.MayDifferByItself("   Meadow.", "   Meadow.\r\nCrickets chirp."));
    EXPECT_FALSE(none.MayDifferByItself("   Pines.\r\nA path.  ", "   Pines.\r\nA path."));
    EXPECT_FALSE(none.MayDifferByItself("One.", "Two."));
    EXPECT_FALSE(none.MayDifferByItself(day, day));
}

TEST_F(MapTest, ARoomSeenByNightIsFoundByItsDayDescriptionAndBlanksStillTellRoomsApart) {
    TMudRoom2* field =
        linker.NewRoomAt(0, 0, 0, "Field", "   Wheat.\r\nThe sun stands high.", "N S");
    TMudRoom2* other = linker.NewRoomAt(0, 1, 0, "Field", "   Rye.\r\nThe sun stands high.", "N S");
    const std::string night = "   Wheat.\r\nThe moon hangs over the field.";
    EXPECT_EQ(world.FindRoomByName("Field", night, "N S"), nullptr);
    EXPECT_FALSE(world.SameRoom(field, "Field", night, "N S"));

    // Two rooms tracking was sure of showed the swap: from then on lookups leave it out.
    EXPECT_FALSE(world.LearnChangingLines(field, night));
    EXPECT_TRUE(world.LearnChangingLines(other, "   Rye.\r\nThe moon hangs over the field."));
    EXPECT_EQ(world.FindRoomByName("Field", night, "N S"), field);
    EXPECT_EQ(world.Lists().AllInWorldByName("Field", night, "N S", true, 8),
              std::vector<TMudRoom2*>{field});
    EXPECT_TRUE(world.SameRoom(field, "Field", night, "N S"));
    EXPECT_FALSE(world.SameRoom(other, "Field", night, "N S"));

    // Trailing blanks: the lookup still finds both look-alikes, the exact comparison only one.
    TMudRoom2* thicket = linker.NewRoomAt(1, 0, 0, "Thicket", "   Dense thicket.", "E W");
    TMudRoom2* blank = linker.NewRoomAt(1, 1, 0, "Thicket", "   Dense thicket. ", "E W");
    EXPECT_EQ(world.Lists().AllInWorldByName("Thicket", "   Dense thicket. ", "E W", true, 8),
              (std::vector<TMudRoom2*>{thicket, blank}));
    EXPECT_FALSE(world.SameRoom(thicket, "Thicket", "   Dense thicket. ", "E W"));
    EXPECT_TRUE(world.SameRoom(blank, "Thicket", "   Dense thicket. ", "E W"));

    // Another world forgets them.
    world.DestroyAllRooms();
    EXPECT_TRUE(world.Changing().Empty());
}

// A road of rooms that share a line and differ in one more: by night, with the night line
// known, another road room reads like a line swapped. The shared line does not single the room
// out among its namesakes, so the swapped line is what tells them apart, not the time of day.
TEST_F(MapTest, ALineThatTellsNamesakesApartIsNotTakenForTheTimeOfDay) {
    TMudRoom2* pine = linker.NewRoomAt(0, 0, 0, "Road", "   A rutted road.\r\nA lone pine.", "N S");
    TMudRoom2* cross =
        linker.NewRoomAt(0, 1, 0, "Road", "   A rutted road.\r\nA leaning cross.", "N S");
    world.AddChangingLine("An owl hoots.");
    const std::string milestone = "   A rutted road.\r\nAn old milestone.\r\nAn owl hoots.";
    EXPECT_TRUE(world.Changing().MayDifferByItself(pine->Description, milestone));
    EXPECT_FALSE(world.MayDifferByItself(pine, milestone));
    EXPECT_FALSE(world.MayDifferByItself(cross, milestone));
    // A namesake with other exits is another kind of room: it does not count.
    world.DestroyRoom(cross);
    linker.NewRoomAt(0, 1, 0, "Road", "   A rutted road.\r\nA leaning cross.", "E W");
    EXPECT_TRUE(world.MayDifferByItself(pine, milestone));

    // A glade whose day line the night swaps: the lines kept still single it out among the
    // glades, so it may be the same room.
    TMudRoom2* glade = linker.NewRoomAt(
        1, 0, 0, "Glade", "   A glade.\r\nSunbeams fall through.\r\nA hedgehog by a stump.", "E W");
    linker.NewRoomAt(1, 1, 0, "Glade", "   A glade.\r\nSunbeams fall through.\r\nA fox den.",
                     "E W");
    EXPECT_TRUE(world.MayDifferByItself(
        glade, "   A glade.\r\nStars shine through.\r\nA hedgehog by a stump."));
    EXPECT_FALSE(world.MayDifferByItself(
        glade, "   A glade.\r\nSunbeams fall through.\r\nA fox den.\r\nAn owl hoots."));
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
