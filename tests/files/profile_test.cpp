#include "files/IniFile.h"
#include "files/ProfileFile.h"
#include "support/TempDir.h"
#include "text/Cp1251.h"

#include <gtest/gtest.h>

using profile::WorldProfile;
using storage::IniFile;

namespace {
std::string W(const char* utf8) {
    return text::FromUnicode(QString::fromUtf8(utf8));
}
} // namespace

TEST(Profile, DefaultsAreTheRussianGameDefaults) {
    TempDir dir;
    WorldProfile p;
    storage::ReadProfile(p, IniFile(dir / "missing.ini"));
    EXPECT_EQ(p.ClientPort, 4999);
    EXPECT_EQ(p.ServerPort, 4000);
    EXPECT_TRUE(p.NoDoubleYa);
    EXPECT_FALSE(p.AddDoubleYa);
    EXPECT_TRUE(p.AddDoubleYaLor);
    EXPECT_EQ(p.Dark, W("Здесь темно..."));
    EXPECT_EQ(p.Retreat, W("Вы быстро убежали"));
    EXPECT_EQ(p.Follow, W("Вы последовали за"));
    EXPECT_EQ(p.PromptExitStart, W("Вых:"));
    EXPECT_EQ(p.RequestCommand, W("лор"));
    EXPECT_EQ(p.StopTrace, W("стоптр"));
    EXPECT_EQ(p.Clear, W("очистить"));
    EXPECT_EQ(p.Sneakwalk, W("подкрасться"));
    EXPECT_EQ(p.Fleewalk, W("убежать"));
    EXPECT_EQ(p.Portal, W("войти"));
    EXPECT_EQ(p.Speedwalk, W("гоу"));
    EXPECT_EQ(p.Returnwalk, W("назад"));
    EXPECT_EQ(p.GroupTell, W("гг"));
    EXPECT_EQ(p.ClanTell, W("кг"));
    EXPECT_EQ(p.LeaderWords[profile::kEast], W("на восток"));
    EXPECT_EQ(p.DirectionsJoined(), W("на север|на юг|на запад|на восток|вверх|вниз"));
    EXPECT_EQ(p.AutoexitStartDecoded, "\x1b[36m[ Exits:");
    EXPECT_EQ(p.AutoexitEndDecoded, "]\r\n");
    EXPECT_EQ(p.RoomNameStartDecoded, "\x1b[1;36m");
    EXPECT_EQ(p.SkinIniFile, "noskin.ini");
}

TEST(Profile, ReadsListsDirectionsEscapesAndTemplates) {
    TempDir dir;
    TempDir::Write(dir / "local.ini", "[Connect]\r\nClient Port=abc\r\nServer Name=0mud\r\n"
                                      "[Options]\r\nMccpEnabled=1\r\nGmcpEnabled=0\r\n"
                                      "[Messages]\r\nRoomNameStart=#$1b[1m\r\nAutoexitEnd=]#$\r\n"
                                      "StuffTem=line1#$0D#$0Aline2\r\n"
                                      "[Moves]\r\nDirections=N|S|W\r\n"
                                      "[Leader Move]\r\nfoo=ushel\r\nbar=uletel\r\n"
                                      "[Can`t Move]\r\nx=no way\r\n"
                                      "[Lock]\r\nZoneA=1\r\nZoneB=1\r\n"
                                      "[Skin]\r\nCurrentSkin=-3\r\n");
    WorldProfile p;
    storage::ReadProfile(p, IniFile(dir / "local.ini"));
    EXPECT_EQ(p.ClientPort, 4999); // malformed integer
    EXPECT_EQ(p.ServerName, "0mud");
    EXPECT_TRUE(p.MccpEnabled);
    EXPECT_TRUE(p.MsdpEnabled); // asking the game for the room is on unless switched off
    EXPECT_FALSE(p.GmcpEnabled);
    EXPECT_EQ(p.RoomNameStartDecoded, "#$1b[1m"); // lower-case digits are not an escape
    EXPECT_EQ(p.AutoexitEndDecoded, "]#$");
    EXPECT_EQ(p.StuffTem, "line1\r\nline2");
    EXPECT_EQ(p.Directions[2], "W");
    EXPECT_EQ(p.Directions[3], "");
    EXPECT_EQ(p.Directions[5], "");
    EXPECT_EQ(p.LeaderMove, (std::vector<std::string>{"ushel", "uletel"}));
    EXPECT_EQ(p.CantMove, (std::vector<std::string>{"no way"}));
    EXPECT_EQ(p.Locks, (std::vector<std::string>{"ZoneA", "ZoneB"}));
    EXPECT_TRUE(p.IsLocked("zonea"));
    EXPECT_EQ(p.CurrentSkin, 0);

    // MccpEnabled and Zone keep their values when the key is missing.
    WorldProfile q;
    q.MccpEnabled = true;
    q.Zone = "Z";
    storage::ReadProfile(q, IniFile(dir / "none.ini"));
    EXPECT_TRUE(q.MccpEnabled);
    EXPECT_EQ(q.Zone, "Z");
}

TEST(Profile, WholeWriteRoundTripsAndListsAreRenumbered) {
    TempDir dir;
    TempDir::Write(dir / "local.ini", "[Leader Move]\r\nfoo=a\r\nbar=b\r\n[Dark]\r\nq=dark1\r\n");
    WorldProfile p;
    IniFile ini(dir / "local.ini");
    storage::ReadProfile(p, ini);
    p.StuffTem = "a\r\nb";
    p.RequestCommand = "lore";
    storage::WriteWholeProfile(p, ini);
    std::string bytes = TempDir::Read(dir / "local.ini");
    EXPECT_NE(bytes.find("[Leader Move]\r\nMove0=a\r\nMove1=b\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("[Dark]\r\nDark0=dark1\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("StuffTem=a#$0D#$0Ab\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("AutoexitStart=#$1B[36m[ Exits:\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("MccpEnabled=0\r\nMsdpEnabled=1\r\nGmcpEnabled=1\r\n"), std::string::npos);
    EXPECT_EQ(bytes.find("foo="), std::string::npos);
    EXPECT_EQ(bytes.find("RequestCommand"), std::string::npos); // never written to the profile

    WorldProfile back;
    storage::ReadProfile(back, IniFile(dir / "local.ini"));
    EXPECT_EQ(back.LeaderMove, p.LeaderMove);
    EXPECT_EQ(back.StuffTem, "a\r\nb");
    EXPECT_EQ(back.DirectionsJoined(), p.DirectionsJoined());
    EXPECT_EQ(back.Dark, p.Dark);
}

TEST(Profile, SkinAndLockWriteCreatesAMinimalFile) {
    TempDir dir;
    WorldProfile p;
    p.CurrentSkin = 2;
    p.Locks = {"Old", "New"};
    IniFile ini(dir / "w" / "local.ini");
    storage::WriteSkinAndLocks(p, ini);
    EXPECT_EQ(TempDir::Read(dir / "w" / "local.ini"),
              "[Skin]\r\nCurrentSkin=2\r\n[Lock]\r\nOld=1\r\nNew=1\r\n");
    p.Locks = {"New"};
    storage::WriteSkinAndLocks(p, ini);
    EXPECT_EQ(TempDir::Read(dir / "w" / "local.ini"),
              "[Skin]\r\nCurrentSkin=2\r\n[Lock]\r\nNew=1\r\n");
}
