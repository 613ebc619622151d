#include "files/IniFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using storage::IniFile;

TEST(IniFile, ReadsLikeWindowsProfileFiles) {
    TempDir dir;
    TempDir::Write(dir / "local.ini", "[Connect]\r\n"
                                      "  Client Port = 5000 \r\n"
                                      "Server Name=\"  mud.example \"\r\n"
                                      "[connect]\r\n"
                                      "Client Port=1\r\n"
                                      "[Can`t Move]\r\n"
                                      "A=\xC2\xFB \xED\xE5 \xF1\xEC\xEE\xE6\xE5\xF2\xE5\r\n"
                                      "zz=second\r\n"
                                      "CLIENT=x\r\n"
                                      "[Messages]\r\n"
                                      "Empty=\r\n"
                                      "Half=\"open\r\n");
    IniFile ini(dir / "local.ini");
    EXPECT_TRUE(ini.Exists());
    // Names without regard to case, the first match wins, values trimmed, quotes dropped.
    EXPECT_EQ(ini.ReadInteger("CONNECT", "client port", 0), 5000);
    EXPECT_EQ(ini.ReadString("Connect", "Server Name", "-"), "  mud.example ");
    EXPECT_EQ(ini.ReadString("can`t move", "a", "-"),
              "\xC2\xFB \xED\xE5 \xF1\xEC\xEE\xE6\xE5\xF2\xE5");
    EXPECT_EQ(ini.ReadString("Messages", "Empty", "default"), "");
    EXPECT_EQ(ini.ReadString("Messages", "Half", ""), "\"open");
    EXPECT_EQ(ini.ReadString("Messages", "Missing", "default"), "default");
    EXPECT_EQ(ini.ReadInteger("Messages", "Half", 7), 7); // malformed integer gives the default
    EXPECT_EQ(ini.ReadSection("Can`t Move"), (std::vector<std::string>{"A", "zz", "CLIENT"}));
    EXPECT_EQ(ini.ReadSectionValues("Can`t Move").size(), 3u);
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"Connect", "Can`t Move", "Messages"}));
}

TEST(IniFile, ValuesThatReadingWouldChangeAreWrittenInQuotes) {
    TempDir dir;
    IniFile ini(dir / "q.ini");
    const std::vector<std::string> values{
        " lead",  "trail ",         "\"both\"", "\"\"", "x\r", std::string("a\0", 2),
        "\"open", "in \"mid\" dle", ""};
    for (size_t i = 0; i < values.size(); ++i)
        ini.WriteString("S", "K" + std::to_string(i), values[i]);
    EXPECT_EQ(TempDir::Read(dir / "q.ini").substr(0, 43),
              "[S]\r\nK0=\" lead\"\r\nK1=\"trail \"\r\nK2=\"\"both\"\"\r\n");
    IniFile again(dir / "q.ini");
    for (size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(again.ReadString("S", "K" + std::to_string(i), "-"), values[i]) << i;
}

TEST(IniFile, WritesInPlaceAppendsToSectionAndAddsSectionsAtTheEnd) {
    TempDir dir;
    TempDir::Write(dir / "a.ini", "; comment\r\n[One]\r\nA=1\r\nB=2\r\n\r\n[Two]\r\nC=3\r\n");
    IniFile ini(dir / "a.ini");
    ini.WriteString("one", "a", "x y");
    EXPECT_EQ(TempDir::Read(dir / "a.ini"),
              "; comment\r\n[One]\r\na=x y\r\nB=2\r\n\r\n[Two]\r\nC=3\r\n");
    ini.WriteInteger("One", "New", -5);
    ini.WriteBool("Three", "Flag", true);
    EXPECT_EQ(TempDir::Read(dir / "a.ini"), "; comment\r\n[One]\r\na=x y\r\nB=2\r\nNew=-5\r\n\r\n"
                                            "[Two]\r\nC=3\r\n[Three]\r\nFlag=1\r\n");
    // A second object sees what the first wrote: every write reached the file.
    IniFile again(dir / "a.ini");
    EXPECT_EQ(again.ReadString("ONE", "A", ""), "x y");
    EXPECT_TRUE(again.ReadBool("Three", "Flag", false));

    ini.EraseSection("two");
    EXPECT_EQ(TempDir::Read(dir / "a.ini"),
              "; comment\r\n[One]\r\na=x y\r\nB=2\r\nNew=-5\r\n\r\n[Three]\r\nFlag=1\r\n");
    // No temporary files are left beside the target.
    int files = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 1);
}

TEST(IniFile, MissingFileAndGarbage) {
    TempDir dir;
    IniFile missing(dir / "none.ini");
    EXPECT_FALSE(missing.Exists());
    EXPECT_EQ(missing.ReadString("A", "B", "def"), "def");
    EXPECT_TRUE(missing.ReadSections().empty());
    EXPECT_TRUE(missing.WriteString("A", "B", "c"));
    EXPECT_EQ(TempDir::Read(dir / "none.ini"), "[A]\r\nB=c\r\n");

    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.push_back(static_cast<char>((i * 131 + 7) % 256));
    garbage += "\n[S]\nk=v"; // LF-only lines and no final line end are still read
    TempDir::Write(dir / "g.ini", garbage);
    IniFile g(dir / "g.ini");
    EXPECT_EQ(g.ReadString("S", "k", ""), "v");
    EXPECT_TRUE(g.WriteString("S", "k", "w"));
    EXPECT_EQ(IniFile(dir / "g.ini").ReadString("S", "K", ""), "w");
}

TEST(IniFile, UnwritableFileReportsFailure) {
    TempDir dir;
    TempDir::Write(dir / "file", "x"); // a file where a directory should be: fails even for root
    IniFile ini(dir / "file" / "x.ini");
    EXPECT_FALSE(ini.WriteString("A", "B", "c"));
    EXPECT_EQ(ini.ReadString("A", "B", ""), "c"); // what the program meant still reads back
    EXPECT_EQ(TempDir::Read(dir / "file"), "x");
}
