// File names at the edge between Windows-1251 names and the file system, and worlds copied from
// a case-insensitive file system.

#include "files/Paths.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;
using namespace storage;

namespace {

const std::string kTestCp1251 = "\xD2\xE5\xF1\xF2";               // Тест
const std::string kTestUtf8 = "\xD0\xA2\xD0\xB5\xD1\x81\xD1\x82"; // Тест

void Touch(const fs::path& p) {
    std::ofstream(p) << "x";
}

} // namespace

TEST(Paths, ZoneNamesBecomeUtf8FileNamesAndBack) {
    ASSERT_TRUE(ZoneFileName(kTestCp1251));
    EXPECT_EQ(ZoneFileName(kTestCp1251)->string(), kTestUtf8 + ".tk2");
    EXPECT_EQ(ZoneNameOfFile(kTestUtf8 + ".tk2", false), kTestCp1251);
    EXPECT_EQ(ZoneNameOfFile("/some/dir/" + kTestUtf8 + ".tk2", false), kTestCp1251);

    // Every ".tk2" goes; another letter case only when the profile ignores case.
    EXPECT_EQ(ZoneNameOfFile("a.tk2b.tk2", false), "ab");
    EXPECT_EQ(ZoneNameOfFile("Zone.TK2", false), "Zone.TK2");
    EXPECT_EQ(ZoneNameOfFile("Zone.TK2", true), "Zone");

    // A name Windows-1251 cannot hold is no zone.
    EXPECT_EQ(ZoneNameOfFile("\xE6\x97\xA5\xE6\x9C\xAC.tk2", false), std::nullopt); // 日本
    EXPECT_EQ(PathToText("\xE6\x97\xA5.tk2"), "?.tk2");

    // Names that would leave the world directory are refused.
    for (const char* bad : {"", ".", "..", "../up", "a/b", "a\\b"})
        EXPECT_EQ(ZoneFileName(bad), std::nullopt) << bad;
    EXPECT_TRUE(ZoneFileName("..a"));
}

TEST(Paths, ZoneFilesAreListedInAnyLetterCase) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const fs::path dir = tmp.path().toStdString();
    Touch(dir / "b.tk2");
    Touch(dir / "A.TK2");
    Touch(dir / (kTestUtf8 + ".Tk2"));
    Touch(dir / "notes.txt");
    Touch(dir / "zone.tk2.bak");
    Touch(dir / ".zone.tk2.tmp123456"); // a save that never finished
    fs::create_directory(dir / "folder.tk2");

    std::vector<fs::path> files = ListZoneFiles(dir);
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0].filename(), "A.TK2");
    EXPECT_EQ(files[1].filename(), "b.tk2");
    EXPECT_EQ(files[2].filename(), kTestUtf8 + ".Tk2");
    EXPECT_TRUE(ListZoneFiles(dir / "missing").empty());
}

TEST(Paths, WorldsCopiedFromWindowsAreFoundInAnotherCase) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const fs::path base = tmp.path().toStdString();
    const std::string upperTest = "\xD0\xA2\xD0\x95\xD0\xA1\xD0\xA2"; // ТЕСТ
    fs::create_directories(base / "MAPS" / upperTest);
    Touch(base / "MAPS" / upperTest / "LOCAL.INI");
    Touch(base / "MAPS" / upperTest / "Forest.TK2");

    EXPECT_EQ(FindIgnoreCase(base, "Maps"), base / "MAPS");
    EXPECT_EQ(ResolveIgnoreCase(base, fs::path("Maps") / kTestUtf8 / "local.ini"),
              base / "MAPS" / upperTest / "LOCAL.INI");
    // Missing parts keep the name asked for, so that they can be created.
    EXPECT_EQ(ResolveIgnoreCase(base, fs::path("maps") / "Other" / "local.ini"),
              base / "MAPS" / "Other" / "local.ini");

    const fs::path world = base / "MAPS" / upperTest;
    EXPECT_EQ(ZoneFilePath(world, "forest"), world / "Forest.TK2");
    EXPECT_EQ(ZoneFilePath(world, "Lake"), world / "Lake.tk2");
    EXPECT_EQ(ZoneFilePath(world, "../escape"), std::nullopt);

    // The exact name wins over another spelling.
    Touch(world / "forest.tk2");
    EXPECT_EQ(ZoneFilePath(world, "forest"), world / "forest.tk2");
}
