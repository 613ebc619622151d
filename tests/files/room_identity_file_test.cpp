// The world's file of game room numbers and areas ("game-ids.txt"), and zone names made from
// the game's area names.

#include "files/AreaFileNames.h"
#include "files/Paths.h"
#include "files/RoomIdentityFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace fs = std::filesystem;
using namespace storage;

namespace {

map::TMudRoom2 Room(int tag, std::string id = {}, std::string area = {}) {
    map::TMudRoom2 r;
    r.Tag = tag;
    r.GameId = std::move(id);
    r.GameArea = std::move(area);
    return r;
}

std::string RandomBytes(std::mt19937& rng, std::size_t maxLength) {
    std::uniform_int_distribution<std::size_t> length(0, maxLength);
    // Mostly the characters that need care, so that they meet each other often.
    const std::string awkward = "|\\\r\n%.: /*?\"<>\x98\x7F\x01pnr";
    std::uniform_int_distribution<int> pick(0, 3), byte(0, 255);
    std::uniform_int_distribution<std::size_t> which(0, awkward.size() - 1);
    std::string s(length(rng), '\0');
    for (char& c : s)
        c = pick(rng) == 0 ? awkward[which(rng)] : static_cast<char>(byte(rng));
    return s;
}

} // namespace

TEST(RoomIdentityFile, BytesAsWritten) {
    RoomIdentities data;
    data.zoneAreas["Village"] = "The village";
    data.zoneAreas["A%2FB"] = "A/B";
    data.zones["Village"] = {{3, 1, "1204", "The village"}, {3, 2, "77", ""}, {-1, 1, "", "x"}};
    data.zones["\xD2\xE5\xF1\xF2"] = {{12, 1, "a|b\\c", "line\r\nbreak"}}; // Тест
    const std::string expected = "Quarvelin room identity 1\r\n"
                                 "A|A%2FB|A/B\r\n"
                                 "A|Village|The village\r\n"
                                 "R|Village|3|1204|The village\r\n"
                                 "R|Village|3:2|77|\r\n"
                                 "R|Village|-1||x\r\n"
                                 "R|\xD2\xE5\xF1\xF2|12|a\\pb\\\\c|line\\r\\nbreak\r\n";
    EXPECT_EQ(WriteRoomIdentities(data), expected);
    RoomIdentityReadResult read = ReadRoomIdentities(expected);
    ASSERT_TRUE(read.ok()) << read.error;
    EXPECT_EQ(read.data, data);

    // Nothing at all is the header alone, and reads back as nothing.
    EXPECT_EQ(WriteRoomIdentities(RoomIdentities{}), "Quarvelin room identity 1\r\n");
    EXPECT_TRUE(ReadRoomIdentities("Quarvelin room identity 1\r\n").data.Empty());
    // A file edited by hand may have blank lines and lack the last line end.
    read = ReadRoomIdentities("Quarvelin room identity 1\r\n\r\nA|z|a\r\n\r\nR|z|1|5|a");
    ASSERT_TRUE(read.ok()) << read.error;
    EXPECT_EQ(read.data.zoneAreas.at("z"), "a");
    EXPECT_EQ(read.data.zones.at("z"), (std::vector<RoomIdentityLine>{{1, 1, "5", "a"}}));
}

TEST(RoomIdentityFile, AwkwardFieldsRoundTrip) {
    std::mt19937 rng(20240611);
    for (int round = 0; round < 300; ++round) {
        RoomIdentities data;
        std::uniform_int_distribution<int> count(0, 5), tag(-3, 40);
        for (int z = count(rng); z > 0; --z) {
            std::string zone = RandomBytes(rng, 12);
            if (zone.empty()) zone = "z";
            std::string area = RandomBytes(rng, 12);
            if (!area.empty() && std::none_of(data.zoneAreas.begin(), data.zoneAreas.end(),
                                              [&](const auto& b) { return b.second == area; }))
                data.zoneAreas[zone] = area;
            auto& lines = data.zones[zone];
            for (int r = count(rng); r > 0; --r)
                lines.push_back({tag(rng), 1 + static_cast<int>(lines.size()), RandomBytes(rng, 8),
                                 RandomBytes(rng, 12)});
        }
        for (auto it = data.zones.begin(); it != data.zones.end();)
            it = it->second.empty() ? data.zones.erase(it) : std::next(it);
        const std::string bytes = WriteRoomIdentities(data);
        // Every line ends in CR LF and holds no other CR or LF.
        EXPECT_EQ(bytes.find('\n'), bytes.find("\r\n") + 1);
        std::size_t crs = 0, lfs = 0;
        for (char c : bytes)
            crs += c == '\r', lfs += c == '\n';
        EXPECT_EQ(crs, lfs);
        RoomIdentityReadResult read = ReadRoomIdentities(bytes);
        ASSERT_TRUE(read.ok()) << read.error;
        ASSERT_EQ(read.data, data);
        EXPECT_EQ(WriteRoomIdentities(read.data), bytes);
    }
    for (const char* field : {"", "\\", "|", "\\p", "a\\\\p|", "\r", "\n\r", "\\n"})
        EXPECT_EQ(UnescapeIdentityField(EscapeIdentityField(field)), field);
}

TEST(RoomIdentityFile, WhatTheWriterNeverWritesIsDamage) {
    const std::string head = "Quarvelin room identity 1\r\n";
    const std::vector<std::pair<std::string, std::string>> damaged = {
        {"", "line 1"},
        {"Quarvelin room identity 2\r\n", "line 1"},
        {"quarvelin room identity 1\r\n", "line 1"},
        {"\xEF\xBB\xBFQuarvelin room identity 1\r\n", "line 1"},
        {head + "X|z|a\r\n", "line 2"},
        {head + "A|z\r\n", "line 2"},
        {head + "A|z|a|b\r\n", "line 2"},
        {head + "A||a\r\n", "line 2"},
        {head + "A|z|\r\n", "line 2"},
        {head + "A|z|a\r\nA|z|b\r\n", "line 3"},
        {head + "A|y|a\r\nA|z|a\r\n", "line 3"},
        {head + "R|z|1|5\r\n", "line 2"},
        {head + "R|z|1|5|a|b\r\n", "line 2"},
        {head + "R||1|5|a\r\n", "line 2"},
        {head + "R|z|one|5|a\r\n", "line 2"},
        {head + "R|z||5|a\r\n", "line 2"},
        {head + "R|z|+1|5|a\r\n", "line 2"},
        {head + "R|z|1:1|5|a\r\n", "line 2"},
        {head + "R|z|1:|5|a\r\n", "line 2"},
        {head + "R|z|99999999999|5|a\r\n", "line 2"},
        {head + "R|z|1|5|a\r\nR|z|1|6|b\r\n", "line 3"},
        {head + "R|z|1|5\\|a\r\n", "line 2"},
        {head + "R|z|1|5\\x|a\r\n", "line 2"},
        {head + "R|z|1|5|a\nR|z|2|6|b\r\n", "line 2"},
        {head + "R|z|1|5|a\rb\r\n", "line 2"},
    };
    for (const auto& [bytes, where] : damaged) {
        RoomIdentityReadResult read = ReadRoomIdentities(bytes);
        EXPECT_FALSE(read.ok()) << bytes;
        EXPECT_EQ(read.error.rfind(where + ":", 0), 0u) << bytes << " -> " << read.error;
        EXPECT_TRUE(read.data.Empty()) << bytes;
    }
    // The same Tag twice is fine when the second is marked as the second.
    EXPECT_TRUE(ReadRoomIdentities(head + "R|z|1|5|a\r\nR|z|1:2|6|b\r\nR|y|1|5|a\r\n").ok());
}

TEST(RoomIdentityFile, LinesFollowRoomsByTagAndPlaceAmongEqualTags) {
    // Old zone files can hold one Tag twice: the n-th room of a Tag gets the n-th room's line.
    const std::vector<map::TMudRoom2> saved = {Room(1, "10", "a"),       Room(2),
                                               Room(2, "22", "b"),       Room(0),
                                               Room(0, "", "only area"), Room(1)};
    std::vector<const map::TMudRoom2*> pointers;
    for (const auto& r : saved)
        pointers.push_back(&r);
    const std::vector<RoomIdentityLine> lines = IdentityLinesOf(pointers);
    EXPECT_EQ(lines, (std::vector<RoomIdentityLine>{
                         {1, 1, "10", "a"}, {2, 2, "22", "b"}, {0, 2, "", "only area"}}));

    std::vector<map::TMudRoom2> read = {Room(1), Room(2), Room(2), Room(0), Room(0), Room(1)};
    ApplyIdentityLines(read, lines);
    for (std::size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].GameId, saved[i].GameId) << i;
        EXPECT_EQ(read[i].GameArea, saved[i].GameArea) << i;
    }
    // A line whose room is not in the file is no room's.
    std::vector<map::TMudRoom2> fewer = {Room(2)};
    ApplyIdentityLines(fewer, lines);
    EXPECT_EQ(fewer[0].GameId, "");
}

TEST(AreaFileNames, NamesThatCannotBeFileNamesAreWrittenOtherwise) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"The village", "The village"},
        {"\xC4\xE5\xF0\xE5\xE2\xED\xFF", "\xC4\xE5\xF0\xE5\xE2\xED\xFF"}, // Деревня unchanged
        {"A/B", "A%2FB"},
        {"a\\b:c*d?e\"f<g>h|i", "a%5Cb%3Ac%2Ad%3Fe%22f%3Cg%3Eh%7Ci"},
        {"100%", "100%25"},
        {"tab\there", "tab%09here"},
        {"del\x7F", "del%7F"},
        {"undefined \x98", "undefined %98"},
        {"soft\xADhyphen", "soft%ADhyphen"},
        {"end.", "end%2E"},
        {"end ", "end%20"},
        {".hidden", "%2Ehidden"},
        {" lead", "%20lead"},
        {".", "%2E"},
        {"..", "%2E%2E"},
        {"...", "%2E.%2E"},
        {"a.tk2b", "a%2Etk2b"},
        {"a.TK2", "a%2ETK2"},
        {"CON", "%43ON"},
        {"con.zone", "%63on.zone"},
        {"Nul ", "%4Eul%20"},
        {"COM7", "%43OM7"},
        {"lpt0", "%6Cpt0"},
        {"CONSOLE", "CONSOLE"},
        {"COM10", "COM10"},
        {"", ""},
    };
    for (const auto& [area, name] : cases) {
        EXPECT_EQ(AreaFileName(area), name) << area;
        EXPECT_EQ(AreaOfFileName(name), area) << name;
    }
    // Decoding leaves alone what no encoding made.
    EXPECT_EQ(AreaOfFileName("50% off %zz %4"), "50% off %zz %4");
}

TEST(AreaFileNames, EveryByteStringBecomesAFileNameThatDecodesBack) {
    TempDir dir;
    std::mt19937 rng(7);
    for (int round = 0; round < 3000; ++round) {
        std::string area = RandomBytes(rng, 40);
        if (round < 256) area = std::string(1, static_cast<char>(round)); // every single byte
        if (area.empty()) continue;
        const std::string name = AreaFileName(area);
        ASSERT_EQ(AreaOfFileName(name), area) << round;
        ASSERT_TRUE(IsValidFileName(name)) << name;
        EXPECT_EQ(name.find_first_of(std::string("\\/:*?\"<>|\x7F\x98\xAD", 12)), std::string::npos)
            << name;
        for (char c : name)
            ASSERT_GE(static_cast<unsigned char>(c), 0x20) << name;
        EXPECT_NE(name.back(), '.');
        EXPECT_NE(name.back(), ' ');
        // It comes back from the file system as the same zone, in either letter case mode.
        const std::optional<fs::path> file = ZoneFileName(name);
        ASSERT_TRUE(file);
        EXPECT_EQ(PathToTextExact(*file), name + ".tk2");
        EXPECT_EQ(ZoneNameOfFile(*file, true), name);
        if (round % 50 == 0) {
            TempDir::Write(dir.path() / *file, "x");
            const std::vector<fs::path> files = ListZoneFiles(dir.path());
            ASSERT_EQ(files.size(), 1u) << name;
            EXPECT_EQ(ZoneNameOfFile(files[0], false), name);
            fs::remove(files[0]);
        }
    }
}

TEST(AreaFileNames, LongNamesAreCutToFitAFileName) {
    const std::string cyrillic(300, '\xC6'); // Ж, two bytes in UTF-8
    const std::string name = AreaFileName(cyrillic);
    ASSERT_FALSE(name.empty());
    EXPECT_LE(ZoneFileName(name)->string().size() + 20, 255u);
    EXPECT_EQ(name, std::string(name.size(), '\xC6'));
    // A cut never ends in a dot or blank, nor halfway through an escape.
    std::string dotted;
    for (int i = 0; i < 100; ++i)
        dotted += "a.";
    const std::string cut = AreaFileName(dotted + "|||||");
    EXPECT_NE(cut.back(), '.');
    EXPECT_EQ(AreaOfFileName(cut), dotted.substr(0, cut.size()));
    const std::string escapes = AreaFileName(std::string(200, '|'));
    EXPECT_EQ(escapes.size() % 3, 0u);
    EXPECT_EQ(AreaOfFileName(escapes), std::string(escapes.size() / 3, '|'));
}
