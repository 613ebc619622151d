#include "TrackingRig.h"
#include "tracking/RoomParser.h"

#include <gtest/gtest.h>

using tracking::ParseRoom;
using tracking::SeenRoom;

TEST(ParseRoom, OneBlockAndWhatFollowsIt) {
    profile::WorldProfile p;
    std::string pending =
        "chatter\r\n" + RoomText("Hall", "A long\r\n  hall.  ", "N (S)") + "prompt> ";
    SeenRoom seen;
    ASSERT_TRUE(ParseRoom(pending, p, seen));
    EXPECT_EQ(seen.Name, "Hall");
    EXPECT_EQ(seen.Desc, "A long\r\n  hall.  "); // trailing blanks kept
    EXPECT_EQ(seen.Exits, " N (S) ");
    EXPECT_EQ(pending, "\nprompt> "); // the rest begins with the exit line's last character
    EXPECT_FALSE(ParseRoom(pending, p, seen));
    EXPECT_EQ(pending, "\nprompt> ");
}

TEST(ParseRoom, EveryBlockTakesTextEvenWithAOneByteExitMarker) {
    // With "[" opening the exit line and its end not within reach, keeping the marker's last
    // byte as the rest kept the whole marker: the same block parsed again on every pass.
    profile::WorldProfile p;
    p.RoomNameStart = "<";
    p.RoomNameEnd = ">";
    p.AutoexitStart = "[";
    p.AutoexitEnd = "]#$0D#$0A";
    p.DecodeMarkers();
    std::string pending = "<Hall>A hall.[" + std::string(70, 'n') + "\r\nmore";
    SeenRoom seen;
    int blocks = 0;
    for (size_t before = pending.size(); blocks < 10 && ParseRoom(pending, p, seen); ++blocks) {
        EXPECT_LT(pending.size(), before);
        before = pending.size();
    }
    EXPECT_EQ(blocks, 1);
    EXPECT_EQ(seen.Name, "Hall");
    EXPECT_EQ(pending, std::string(70, 'n') + "\r\nmore");
}

TEST(ParseRoom, LastNameBeforeTheExitLineWins) {
    profile::WorldProfile p;
    std::string pending =
        "\x1b[1;36mFirst\r\nfirst desc\r\n\x1b[1;36mSecond\x1b[0;37m\r\nsecond desc\r\n"
        "\x1b[36m[ Exits: E ]\r\n";
    SeenRoom seen;
    ASSERT_TRUE(ParseRoom(pending, p, seen));
    EXPECT_EQ(seen.Name, "Second");
    EXPECT_EQ(seen.Desc, "second desc");
}

TEST(ParseRoom, ExitWindowNoneAndDarkness) {
    profile::WorldProfile p;
    SeenRoom seen;
    std::string longExits = RoomText("R", "d", std::string(70, 'N'));
    ASSERT_TRUE(ParseRoom(longExits, p, seen));
    EXPECT_EQ(seen.Exits, ""); // the end marker lies beyond 60 characters

    std::string none = RoomText("R", "d", "None!");
    ASSERT_TRUE(ParseRoom(none, p, seen));
    EXPECT_EQ(seen.Exits, "");

    // Darkness without an exit line is recognised only through the Dark list.
    std::string dark = W8("Здесь темно...\r\nrest");
    EXPECT_FALSE(ParseRoom(dark, p, seen));
    p.DarkList = {p.Dark};
    ASSERT_TRUE(ParseRoom(dark, p, seen));
    EXPECT_EQ(seen.Name, p.Dark);
    EXPECT_EQ(seen.Desc, "");
    EXPECT_EQ(seen.Exits, "");
    EXPECT_EQ(dark, "\r\nrest");

    // A Dark-list text inside a block makes the block dark but keeps its exits.
    std::string inBlock = RoomText(p.Dark, "", "N");
    ASSERT_TRUE(ParseRoom(inBlock, p, seen));
    EXPECT_EQ(seen.Name, p.Dark);
    EXPECT_EQ(seen.Exits, " N ");
}

TEST(ParseRoom, SplitBlocksColoursAndPromptExits) {
    profile::WorldProfile p;
    SeenRoom seen;
    std::string whole = RoomText("Ro\x1b[1;33mom", "line1\x1b[0m\r\n\r\n\r\nline2\n\r", "N");
    std::string pending = whole.substr(0, whole.size() - 5); // the exit line is cut short
    EXPECT_FALSE(ParseRoom(pending, p, seen));
    EXPECT_EQ(pending, whole.substr(0, whole.size() - 5));
    pending += whole.substr(whole.size() - 5);
    ASSERT_TRUE(ParseRoom(pending, p, seen));
    EXPECT_EQ(seen.Name, "Room");
    EXPECT_EQ(seen.Desc, "line1\r\nline2");

    // An ESC "[" without a later "m" stays in the name and does not stop recognition.
    std::string stray = "\x1b[1;36mA\x1b[1;3\r\nd\r\n\x1b[36m[ Exits: N ]\r\n";
    ASSERT_TRUE(ParseRoom(stray, p, seen));
    EXPECT_EQ(seen.Name, "A\x1b[1;3");

    p.UsePromptExit = true;
    std::string noPrompt = RoomText("R", "d", "N");
    EXPECT_FALSE(ParseRoom(noPrompt, p, seen));
    noPrompt += W8("500H Вых:СВЮЗ> ");
    ASSERT_TRUE(ParseRoom(noPrompt, p, seen));
    EXPECT_EQ(seen.Exits, W8("СВЮЗ"));
}

TEST(ParseRoom, APromptAsNameMarkerBeforeEveryRoomButTheFirst) {
    // An LPmud room has no name line: the profile takes the prompt "> " as the marker, and
    // the first room after tracing started (the pending text emptied by the look) has none
    // before it. The marker after its exit line belongs to the next room.
    profile::WorldProfile p;
    p.RoomNameStart = "> ";
    p.RoomNameEnd = "#$0D#$0A";
    p.AutoexitStart = " obvious exit";
    p.AutoexitEnd = "#$0D#$0A";
    p.DecodeMarkers();
    SeenRoom seen;
    std::string pending =
        "Gate line.\r\nMore of it.\r\n    There are two obvious exits: north and east\r\n> ";
    ASSERT_TRUE(ParseRoom(pending, p, seen));
    EXPECT_EQ(seen.Name, "Gate line.");
    EXPECT_EQ(seen.Desc, "More of it.\r\n    There are two");
    EXPECT_EQ(seen.Exits, "s: north and east");
    pending += "Well line.\r\n    There is one obvious exit: south\r\nA bucket.\r\n> ";
    ASSERT_TRUE(ParseRoom(pending, p, seen));
    EXPECT_EQ(seen.Name, "Well line.");
    EXPECT_EQ(seen.Exits, ": south");
    EXPECT_EQ(pending, "\nA bucket.\r\n> ");
}
