#include "files/AppSettings.h"
#include "files/IniFile.h"
#include "files/Language.h"
#include "support/TempDir.h"
#include "text/Cp1251.h"

#include <gtest/gtest.h>

using storage::AppSettings;
using storage::IniFile;

TEST(AppSettings, DefaultsWithoutAFile) {
    TempDir dir;
    AppSettings s;
    s.Read(IniFile(dir / "quarvelin.ini"));
    EXPECT_FALSE(s.Top.has_value());
    EXPECT_EQ(s.ScrollMult, 2);
    EXPECT_EQ(s.SpeedWalkLength, 10);
    EXPECT_EQ(s.MaxSpeedWalkLength, 100);
    EXPECT_EQ(s.PanelColor, 0x808080);
    EXPECT_EQ(s.NewZone, text::FromUnicode(QString::fromUtf8("нз")));
    EXPECT_EQ(s.SetAlias, text::FromUnicode(QString::fromUtf8("наа")));
    EXPECT_EQ(s.RequestObject, text::FromUnicode(QString::fromUtf8("лор")));
    EXPECT_TRUE(s.World.empty());
}

TEST(AppSettings, WriteKeepsWindowKeysOfANonNormalWindowAndForcesNoTransparency) {
    TempDir dir;
    TempDir::Write(dir / "quarvelin.ini", "[Window]\r\nTop=10\r\nLeft=20\r\n"
                                          "[Options]\r\nNoTransparency=0\r\nSpeedWalkLength=0\r\n"
                                          "DebugActiv=7\r\nWorld=\xD2\xE5\xF1\xF2\r\n");
    AppSettings s;
    IniFile ini(dir / "quarvelin.ini");
    s.Read(ini);
    EXPECT_EQ(*s.Top, 10);
    EXPECT_EQ(s.SpeedWalkLength, 0); // never validated on reading
    EXPECT_TRUE(s.DebugActiv);       // any value but 0 is true
    EXPECT_EQ(s.World, "\xD2\xE5\xF1\xF2");
    s.Top = 500; // the window moved, then was maximised
    s.Write(ini, /*windowNormal=*/false);
    IniFile back(dir / "quarvelin.ini");
    EXPECT_EQ(back.ReadInteger("Window", "Top", 0), 10);
    EXPECT_EQ(back.ReadString("Options", "NoTransparency", ""), "1");
    EXPECT_EQ(back.ReadString("Options", "DebugActiv", ""), "1");
    EXPECT_EQ(back.ReadString("Commands", "SetAlias", ""), "\xED\xE0\xE0");
    s.Write(ini, /*windowNormal=*/true);
    EXPECT_EQ(IniFile(dir / "quarvelin.ini").ReadInteger("Window", "Top", 0), 500);
}

TEST(Language, LooksUpWritesBackAndKeepsEmptyValues) {
    TempDir dir;
    storage::Language lang(dir / "language.ini");
    std::string err = lang.GetCaption("MainForm", "ErrorMsg");
    EXPECT_EQ(text::ToUnicode(err), QString::fromUtf8("Ошибка. Ну и хрен с ней."));
    EXPECT_EQ(TempDir::Read(dir / "language.ini"), "[MainForm]\r\nErrorMsg=" + err + "\r\n");

    TempDir::Write(dir / "language.ini", "[MainForm]\r\nErrorMsg=\r\nnSaveWorld=Save\r\n");
    EXPECT_EQ(lang.GetCaption("MainForm", "ErrorMsg"), "");
    EXPECT_EQ(lang.GetCaption("MainForm", "nSaveWorld"), "Save");
    EXPECT_EQ(lang.GetCaption("ConfigForm", "Caption", "Settings"), "Settings");
    IniFile after(dir / "language.ini");
    EXPECT_EQ(after.ReadString("ConfigForm", "Caption", ""), "Settings");
    EXPECT_TRUE(after.Find("MainForm", "ErrorMsg").has_value());
}

TEST(Language, BuiltinTextsCoverEveryMessageKey) {
    for (const char* key :
         {"ErrorMsg", "ObjectsChanged", "CantOverwriteFile", "DeleteManually", "CantFindWorld",
          "LoadingUnable", "World", "AlreadyExistLoadIt", "CantStartNewZone", "CantMergeZone",
          "TransparencyWillTurnedOn", "SpeedwalkUnabled", "StringNotFound", "Replace",
          "InAllDescriptions", "FoundAndReplaced", "RoomNotFound", "nSaveWorld", "nStopTrace"})
        EXPECT_FALSE(storage::BuiltinTextOf("MainForm", key).empty()) << key;
    EXPECT_EQ(text::ToUnicode(storage::BuiltinTextOf("PropertyForm", "RoomNumber")),
              QString::fromUtf8("Комната #"));
    EXPECT_EQ(text::ToUnicode(storage::BuiltinTextOf("SaveLoadForm", "btnOkNew")),
              QString::fromUtf8("Создать"));
}
