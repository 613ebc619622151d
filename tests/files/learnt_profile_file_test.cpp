// A learnt profile on disk: only the learnt keys, written as the profile file writes them, and
// written into a player's existing profile without losing anything of it.

#include "files/IniFile.h"
#include "files/LearntProfileFile.h"
#include "files/ProfileFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

tracking::LearntProfile Learnt() {
    tracking::LearntProfile l;
    profile::WorldProfile& p = l.profile;
    p.RoomNameStart = "> "; // blanks at the end: the file quotes them
    p.RoomNameEnd = "#$0A#$0D";
    p.AutoexitStart = "[Exits:";
    p.AutoexitEnd = "]#$0A#$0D";
    p.ExitWords = {"north", "south", "east", "west", "up", "down"};
    p.CantMove = {"Alas, you cannot go that way."};
    p.MoveWords = {"n", "s", "e", "w", "u", "d"};
    p.Look = std::string("l");
    p.DecodeMarkers();
    l.keys = {{"Moves", "Look"},
              {"Messages", "RoomNameStart"},
              {"Messages", "RoomNameEnd"},
              {"Messages", "AutoexitStart"},
              {"Messages", "AutoexitEnd"},
              {"Messages", "UsePromptExit"},
              {"Exits", "AutoexitsIgnoreCase"}};
    for (std::string_view k : profile::kWordKeys)
        l.keys.push_back({"Exits", k});
    l.keys.push_back({"Moves", "North"});
    l.keys.push_back({profile::kCantMoveSection, ""});
    return l;
}

TEST(LearntProfileFile, HoldsTheLearntKeysAloneInTheProfilesOwnOrderAndEscapes) {
    EXPECT_EQ(storage::LearntProfileText(Learnt()),
              "[Exits]\r\n"
              "AutoexitsIgnoreCase=0\r\n"
              "North=north\r\nSouth=south\r\nEast=east\r\nWest=west\r\nUp=up\r\nDown=down\r\n"
              "[Messages]\r\n"
              "RoomNameStart=\"> \"\r\n"
              "RoomNameEnd=#$0A#$0D\r\n"
              "AutoexitStart=[Exits:\r\n"
              "AutoexitEnd=]#$0A#$0D\r\n"
              "UsePromptExit=0\r\n"
              "[Moves]\r\n"
              "Look=l\r\n"
              "North=n\r\n"
              "[Can`t Move]\r\n"
              "CantMove0=Alas, you cannot go that way.\r\n");
}

TEST(LearntProfileFile, WritingIntoAPlayersProfileKeepsEverythingElse) {
    TempDir dir;
    const auto file = dir / "Maps" / "Rom" / "local.ini";
    TempDir::Write(file, "[Connect]\r\nServer Name=rom.example.org\r\nServer Port=4242\r\n"
                         "[Messages]\r\nRetreat=You flee!\r\nRoomNameStart=#$1B[1;36m\r\n"
                         "[Can`t Move]\r\nCantMove0=You are too tired.\r\n"
                         "[Custom]\r\nmine=1\r\n");
    std::string error;
    ASSERT_TRUE(storage::WriteLearntProfile(Learnt(), file, error)) << error;
    const std::string bytes = TempDir::Read(file);
    EXPECT_NE(bytes.find("[Connect]\r\nServer Name=rom.example.org\r\nServer Port=4242\r\n"),
              std::string::npos)
        << bytes;
    EXPECT_NE(bytes.find("Retreat=You flee!\r\nRoomNameStart=\"> \"\r\n"), std::string::npos)
        << bytes;
    EXPECT_NE(bytes.find("[Can`t Move]\r\nCantMove0=You are too tired.\r\n"
                         "CantMove1=Alas, you cannot go that way.\r\n"),
              std::string::npos)
        << bytes;
    EXPECT_NE(bytes.find("[Custom]\r\nmine=1\r\n"), std::string::npos) << bytes;
    // Keys it did not learn are not written with defaults.
    EXPECT_EQ(bytes.find("PromptExitStart"), std::string::npos) << bytes;

    profile::WorldProfile back;
    storage::ReadProfile(back, storage::IniFile(file));
    EXPECT_EQ(back.RoomNameStartDecoded, "> ");
    EXPECT_EQ(back.RoomNameEndDecoded, "\n\r");
    EXPECT_EQ(back.ExitWords[profile::kUp], "up");

    // A profile that cannot be written says so.
    TempDir::Write(dir / "plain", "x");
    EXPECT_FALSE(storage::WriteLearntProfile(Learnt(), dir / "plain" / "local.ini", error));
    EXPECT_NE(error.find("local.ini"), std::string::npos) << error;
}

} // namespace
