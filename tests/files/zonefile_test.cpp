// Zone files against bytes written out here by hand, not against the program's own writer.

#include "files/FileSaver.h"
#include "files/ZoneFile.h"
#include "profile/WorldProfile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <cstdint>
#include <random>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

using map::TMudRoom2;
using storage::ReadZone;
using storage::ZoneFixups;

namespace {

const profile::WorldProfile kProfile{};

// ---- A hand encoder of the component stream: each value in the form the test asks for ----

std::string LE(std::uint32_t v, int bytes) {
    std::string s;
    for (int i = 0; i < bytes; ++i)
        s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    return s;
}
std::string Short(std::string_view s) {
    return static_cast<char>(s.size()) + std::string(s);
}
std::string Int8(int v) {
    return "\x02" + LE(static_cast<std::uint32_t>(v), 1);
}
std::string Int16(int v) {
    return "\x03" + LE(static_cast<std::uint32_t>(v), 2);
}
std::string Int32(std::int64_t v) {
    return "\x04" + LE(static_cast<std::uint32_t>(v), 4);
}
std::string Str(std::string_view s) {
    return "\x06" + Short(s);
}
std::string LStr(std::string_view s) {
    return "\x0C" + LE(static_cast<std::uint32_t>(s.size()), 4) + std::string(s);
}
std::string Ident(std::string_view s) {
    return "\x07" + Short(s);
}
const std::string F = "\x08", T = "\x09";
const std::string Nul(1, '\0');
std::string List(std::initializer_list<std::string> items) {
    std::string s = "\x01";
    for (const std::string& i : items)
        s += i;
    return s + Nul;
}
std::string P(std::string_view name, const std::string& value) {
    return Short(name) + value;
}
std::string Record(const std::string& props) {
    return "TPF0" + Short("TMudRoom2") + Nul + props + Nul + Nul;
}
std::string Links(bool n = false, bool s = false, bool w = false, bool e = false, bool u = false,
                  bool d = false) {
    return P("ChN", n ? T : F) + P("ChS", s ? T : F) + P("ChW", w ? T : F) + P("ChE", e ? T : F) +
           P("ChU", u ? T : F) + P("ChD", d ? T : F);
}
std::string Coords(int x, int y, int l) {
    return P("X", Int8(x)) + P("Y", Int8(y)) + P("L", Int8(l)) + P("DX", Int8(0)) +
           P("DY", Int8(0)) + P("DL", Int8(0));
}
// The smallest record: six link flags, a position, nothing else.
std::string Plain(int x, int y, int l) {
    return Record(Links() + Coords(x, y, l));
}

std::string FromHex(std::string_view hex) {
    std::string out;
    std::istringstream in{std::string(hex)};
    unsigned v;
    while (in >> std::hex >> v)
        out.push_back(static_cast<char>(v));
    return out;
}

TMudRoom2 RoomAt(int x, int y, int l) {
    TMudRoom2 r;
    r.X = x;
    r.Y = y;
    r.L = l;
    r.BColor = map::kSilver;
    return r;
}

std::string Write(const TMudRoom2& room) {
    const TMudRoom2* rooms[] = {&room};
    return storage::WriteZone(rooms);
}

std::string Write(const std::vector<TMudRoom2>& rooms) {
    std::vector<const TMudRoom2*> ptrs;
    for (const TMudRoom2& r : rooms)
        ptrs.push_back(&r);
    return storage::WriteZone(ptrs);
}

TMudRoom2 ReadOne(const std::string& bytes, ZoneFixups fixups = ZoneFixups::Load) {
    storage::ZoneReadResult r = ReadZone(bytes, kProfile, fixups);
    EXPECT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.rooms.size(), 1u);
    return r.rooms.empty() ? TMudRoom2{} : r.rooms.front();
}

// Every stored field and the exit states, for comparing rooms with readable failures.
std::string Describe(const TMudRoom2& r) {
    std::ostringstream o;
    o << "Tag=" << r.Tag << " Exits=[" << r.Exits() << "] Hint=[" << r.Hint << "] Ch=" << r.ChN
      << r.ChS << r.ChW << r.ChE << r.ChU << r.ChD << " BColor=" << r.BColor << " Desc=["
      << r.Description << "] XYL=" << r.X << "," << r.Y << "," << r.L << " D=" << r.DX << ","
      << r.DY << "," << r.DL << " flags=" << r.Selected << r.Checked << r.Pipe << r.DT << r.FlyDT
      << r.Agro << r.NoStep << " Note=[" << r.Note << "] Quick=[" << r.QuickList << "] Auto=[";
    for (const std::string& line : r.AutoMaps)
        o << line << ";";
    o << "] Image=" << r.ImageIndex << " states=";
    for (map::ExitState s : r.ExitStates())
        o << int(s);
    return o.str();
}

} // namespace

TEST(ZoneRecord, PlainRoomIsTheSeventyFourByteRecord) {
    const std::string expected =
        FromHex("54 50 46 30 09 54 4D 75 64 52 6F 6F 6D 32 00 03 43 68 4E 08 03 43 68 53 08 03 "
                "43 68 57 08 03 43 68 45 08 03 43 68 55 08 03 43 68 44 08 01 58 02 01 01 59 02 "
                "02 01 4C 02 00 02 44 58 02 00 02 44 59 02 00 02 44 4C 02 00 00 00");
    ASSERT_EQ(expected.size(), 74u);
    EXPECT_EQ(Write(RoomAt(1, 2, 0)), expected);
    EXPECT_EQ(expected, Plain(1, 2, 0)); // the hand encoder agrees with the published bytes

    TMudRoom2 back = ReadOne(expected);
    EXPECT_EQ(Describe(back), Describe(RoomAt(1, 2, 0)));
}

TEST(ZoneRecord, EveryPropertyKindInWrittenOrder) {
    TMudRoom2 room;
    room.Tag = 300;
    room.SetExits("N (E) U", kProfile);
    room.Hint = "\xC7\xE0\xEB"; // Зал
    room.ChN = room.ChE = room.ChD = true;
    room.BColor = 0x000000FF;
    room.Description = "Line one\r\nLine two";
    room.X = -5;
    room.Y = 200;
    room.L = 1;
    room.DX = 0;
    room.DY = 100000;
    room.DL = -1;
    room.Selected = room.Checked = room.DT = room.FlyDT = room.Agro = room.NoStep = true;
    room.Note = "note\r\nsecond";
    room.QuickList = "alias";
    room.AutoMaps = {"Zone|n|5|open door|0", "Other|s|1||-1"};
    room.ImageIndex = 7;

    const std::string expected = Record(
        P("Tag", Int16(300)) + P("Exits", Str("N (E) U")) + P("Hint", Str("\xC7\xE0\xEB")) +
        Links(true, false, false, true, false, true) + P("BColor", Ident("clRed")) +
        P("Description", Str("Line one\r\nLine two")) + P("X", Int8(-5)) + P("Y", Int16(200)) +
        P("L", Int8(1)) + P("DX", Int8(0)) + P("DY", Int32(100000)) + P("DL", Int8(-1)) +
        P("Selected", T) + P("Checked", T) + P("DT", T) + P("FlyDT", T) + P("Agro", T) +
        P("NoStep", T) + P("Note", Str("note\r\nsecond")) + P("QuickList", Str("alias")) +
        P("AutoMaps.Strings", List({Str("Zone|n|5|open door|0"), Str("Other|s|1||-1")})) +
        P("ImageIndex", Int8(7)));
    EXPECT_EQ(Write(room), expected);

    TMudRoom2 back = ReadOne(expected);
    EXPECT_EQ(Describe(back), Describe(room));
    EXPECT_EQ(back.ExitStateOf(map::North), map::kExit);
    EXPECT_EQ(back.ExitStateOf(map::East), map::kDoor);
    EXPECT_EQ(back.ExitStateOf(map::South), map::kNoExit);

    // A corridor room streams Pipe and comes back without a name.
    TMudRoom2 pipe = RoomAt(0, 0, 0);
    pipe.Pipe = true;
    EXPECT_EQ(Write(pipe), Record(Links() + Coords(0, 0, 0) + P("Pipe", T)));
    EXPECT_EQ(ReadOne(Record(P("Hint", Str("Corridor")) + P("Pipe", T))).Hint, "");
}

TEST(ZoneRecord, IntegersTakeTheSmallestFormAndEveryFormReadsBack) {
    struct Case {
        int value;
        std::string form;
    };
    const Case cases[] = {
        {-128, Int8(-128)},         {127, Int8(127)},
        {-129, Int16(-129)},        {128, Int16(128)},
        {-32768, Int16(-32768)},    {32767, Int16(32767)},
        {-32769, Int32(-32769)},    {32768, Int32(32768)},
        {INT_MAX, Int32(INT_MAX)},  {INT_MIN + 1, Int32(INT_MIN + 1)},
        {200, FromHex("03 C8 00")}, {-5, FromHex("02 FB")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        TMudRoom2 room = RoomAt(0, c.value, 0);
        room.Tag = c.value;
        room.ImageIndex = c.value;
        const std::string bytes = Record(
            P("Tag", c.form) + Links() + P("X", Int8(0)) + P("Y", c.form) + P("L", Int8(0)) +
            P("DX", Int8(0)) + P("DY", Int8(0)) + P("DL", Int8(0)) + P("ImageIndex", c.form));
        EXPECT_EQ(Write(room), bytes);
        TMudRoom2 back = ReadOne(bytes);
        EXPECT_EQ(back.Y, c.value);
        EXPECT_EQ(back.Tag, c.value);
        EXPECT_EQ(back.ImageIndex, c.value);
    }
    // A reader takes any form for any size of value.
    TMudRoom2 wide = ReadOne(Record(P("X", Int32(3)) + P("Y", Int16(-1)) + P("L", Int32(-7))));
    EXPECT_EQ(wide.X, 3);
    EXPECT_EQ(wide.Y, -1);
    EXPECT_EQ(wide.L, -7);

    // Tag and ImageIndex at 0 are left out. A coordinate is always written, even at the
    // lowest integer (the stream's "no default" marker): left out, it would read back as 0.
    TMudRoom2 lowest = RoomAt(INT_MIN, 0, 0);
    const std::string bytes =
        Record(Links() + P("X", Int32(INT_MIN)) + P("Y", Int8(0)) + P("L", Int8(0)) +
               P("DX", Int8(0)) + P("DY", Int8(0)) + P("DL", Int8(0)));
    EXPECT_EQ(Write(lowest), bytes);
    EXPECT_EQ(ReadOne(bytes).X, INT_MIN);
}

TEST(ZoneRecord, LongTextsSwitchToTheFourByteLengthForm) {
    const std::string s255(255, 'a'), s256(256, '\xE0');
    TMudRoom2 room = RoomAt(0, 0, 0);
    room.Description = s255;
    EXPECT_EQ(Write(room), Record(Links() + P("Description", Str(s255)) + Coords(0, 0, 0)));
    room.Description = s256;
    const std::string longForm = Record(Links() + P("Description", LStr(s256)) + Coords(0, 0, 0));
    EXPECT_EQ(longForm.substr(15 + 30 + 12, 5), FromHex("0C 00 01 00 00"));
    EXPECT_EQ(Write(room), longForm);
    EXPECT_EQ(ReadOne(longForm).Description, s256);

    // Either form is read for any text property, short texts in the long form too.
    TMudRoom2 back = ReadOne(Record(P("Hint", LStr("Hall")) + P("Note", Str(s255)) +
                                    P("QuickList", LStr("")) + P("Exits", LStr("(N)"))));
    EXPECT_EQ(back.Hint, "Hall");
    EXPECT_EQ(back.Note, s255);
    EXPECT_EQ(back.QuickList, "");
    EXPECT_EQ(back.ExitStateOf(map::North), map::kDoor);
}

TEST(ZoneRecord, ColoursByNameAndByNumber) {
    auto written = [](map::Color c) {
        TMudRoom2 room = RoomAt(0, 0, 0);
        room.BColor = c;
        return Write(room);
    };
    auto withColour = [](const std::string& value) {
        return Record(Links() + P("BColor", value) + Coords(0, 0, 0));
    };
    EXPECT_EQ(written(0x000000FF), withColour(Ident("clRed")));
    EXPECT_EQ(written(0x00123456), withColour(Int32(1193046)));
    EXPECT_EQ(written(static_cast<map::Color>(0xFF00000F)), withColour(Ident("clBtnFace")));
    EXPECT_EQ(written(0x00F0CAA6), withColour(Ident("clSkyBlue")));
    EXPECT_EQ(written(static_cast<map::Color>(0xFF000030)), withColour(Int32(0xFF000030)));
    EXPECT_EQ(written(100), withColour(Int8(100)));
    EXPECT_EQ(written(map::kSilver), Record(Links() + Coords(0, 0, 0))); // the default
    EXPECT_EQ(written(0), withColour(Ident("clBlack")));

    auto readColour = [&](const std::string& value) { return ReadOne(withColour(value)).BColor; };
    EXPECT_EQ(readColour(Ident("clRed")), 0x000000FF);
    EXPECT_EQ(readColour(Ident("CLMONEYGREEN")), 0x00C0DCC0);
    EXPECT_EQ(readColour(Ident("clnone")), 0x1FFFFFFF);
    EXPECT_EQ(readColour(Ident("clWindowText")), static_cast<map::Color>(0xFF000008));
    EXPECT_EQ(readColour(Int32(1193046)), 0x00123456);
    EXPECT_EQ(readColour(Int16(255)), 0x000000FF);
    // Black is indistinguishable from "no colour" and comes back silver, by name or by number.
    EXPECT_EQ(readColour(Ident("clBlack")), map::kSilver);
    EXPECT_EQ(readColour(Int8(0)), map::kSilver);
    EXPECT_EQ(ReadOne(Record(Coords(0, 0, 0))).BColor, map::kSilver);

    EXPECT_EQ(storage::ColorName(0x00808080), "clGray");
    EXPECT_EQ(storage::ColorFromName("clGrey"), std::nullopt);
}

TEST(ZoneRecord, ReadFixups) {
    // Blank lines collapse, line breaks at both ends go.
    EXPECT_EQ(ReadOne(Record(P("Description", Str("\r\n\r\nOne\r\n\r\n\r\nTwo\r\n\r\n\r\n"))))
                  .Description,
              "One\r\nTwo");
    EXPECT_EQ(ReadOne(Record(P("Description", Str("a\r\rb\n\n\nc\n\rd\r\n\r")))).Description,
              "a\rb\nc\r\nd");

    // Link lines are completed to five fields.
    TMudRoom2 links = ReadOne(Record(
        P("AutoMaps.Strings", List({Str("Zone|n|5|"), Str("Zone|n|5|open"), Str("Zone|n|5|open|1"),
                                    Str("Zone|n"), Str("A|b|c|d||extra"), Str("")}))));
    EXPECT_EQ(links.AutoMaps,
              (std::vector<std::string>{"Zone|n|5||-1", "Zone|n|5|open|0", "Zone|n|5|open|1",
                                        "Zone|n|||-1", "A|b|c|d|0", "||||-1"}));

    // Undo keeps the description and the link lines as stored, but the colour, the corridor
    // name and the trailing line breaks are corrected.
    const std::string stored =
        Record(P("Hint", Str("x")) + P("BColor", Ident("clBlack")) +
               P("Description", Str("\r\nOne\r\n\r\nTwo\r\n\r\n")) + P("Pipe", T) +
               P("AutoMaps.Strings", List({Str("Zone|n|5|")})));
    TMudRoom2 undone = ReadOne(stored, ZoneFixups::Undo);
    EXPECT_EQ(undone.Description, "\r\nOne\r\n\r\nTwo");
    EXPECT_EQ(undone.AutoMaps, std::vector<std::string>{"Zone|n|5|"});
    EXPECT_EQ(undone.BColor, map::kSilver);
    EXPECT_EQ(undone.Hint, "");
}

TEST(ZoneRecord, PropertiesInAnyOrderAndLetterCase) {
    profile::WorldProfile ignoreCase;
    ignoreCase.AutoexitsIgnoreCase = true;
    const std::string bytes =
        Record(P("ImageIndex", Int8(3)) + P("x", Int8(4)) + P("exits", Str("n (s)")) +
               P("automaps.strings", List({Str("a|b|c|d|e")})) +
               P("AutoMaps.Strings", List({Str("z|y|x|w|v")})) + P("TAG", Int8(9)));
    storage::ZoneReadResult r = ReadZone(bytes, ignoreCase);
    ASSERT_TRUE(r.ok()) << r.error;
    ASSERT_EQ(r.rooms.size(), 1u);
    const TMudRoom2& room = r.rooms[0];
    EXPECT_EQ(room.ImageIndex, 3);
    EXPECT_EQ(room.X, 4);
    EXPECT_EQ(room.Tag, 9);
    EXPECT_EQ(room.AutoMaps, std::vector<std::string>{"z|y|x|w|v"}); // a repeat replaces
    EXPECT_EQ(room.ExitStateOf(map::North), map::kExit);
    EXPECT_EQ(room.ExitStateOf(map::South), map::kDoor);
    // The same exit list with case-sensitive exit words finds nothing.
    EXPECT_EQ(ReadOne(bytes).ExitStateOf(map::North), map::kNoExit);
}

TEST(ZoneRead, FailuresKeepTheRoomsBefore) {
    struct Case {
        const char* what;
        std::string bad;      // the third record
        std::string mentions; // in the error text
    };
    const std::string huge = "\x0C" + LE(0x7FFFFFFF, 4) + "abc";
    const std::string negative = "\x0C" + LE(0xFFFFFFFF, 4) + "abc";
    const Case cases[] = {
        {"cut short", Plain(1, 1, 0).substr(0, 40), "cut short"},
        {"bad signature", "TPF1" + Plain(1, 1, 0).substr(4), "signature"},
        {"unknown property", Record(P("Colour", Int8(1))), "\"Colour\""},
        {"2 GB text", Record(P("Description", huge)) + std::string(60, 'x'), "2147483647"},
        {"negative length", Record(P("Note", negative)) + std::string(60, 'x'), "4294967295"},
        {"short text past the end",
         Record(P("Hint", "\x06\xF0"
                          "abc")),
         "cut short"},
        {"name past the end", "TPF0\x09TMudRoom2" + Nul + "\x40Hint" + std::string(10, 'x'),
         "cut short"},
        {"string for a flag", Record(P("ChN", Str("yes"))), "wrong kind"},
        {"number for a text", Record(P("Hint", Int8(1))), "wrong kind"},
        {"flag for a number", Record(P("X", T)), "wrong kind"},
        {"unknown colour", Record(P("BColor", Ident("clPink"))), "\"clPink\""},
        {"floating point", Record(P("X", "\x05" + std::string(10, '\0'))), "unknown value type"},
        {"wide string", Record(P("Hint", "\x12" + LE(2, 4) + "a\0b\0")), "unknown value type"},
        {"binary data", Record(P("Note", "\x0A" + LE(1, 4) + "z")), "unknown value type"},
        {"set", Record(P("Note", "\x0B" + Short("a") + Nul)), "unknown value type"},
        {"type 0xFF", Record(P("DT", "\xFF")), "unknown value type 0xFF"},
        {"number in the link list", Record(P("AutoMaps.Strings", List({Str("a"), Int8(1)}))),
         "wrong kind"},
        {"link list without end", Record(P("AutoMaps.Strings", "\x01" + Str("a|b|c|d|0"))),
         "cut short"},
        {"a child component", Record(Coords(1, 1, 0)).substr(0, 15 + 27 + 1) + "\x01" + Nul,
         "own components"},
        {"component flags", "TPF0\xF1" + std::string(20, '\0'), "flags"},
    };
    const std::string good = Plain(0, 0, 0) + Record(P("Hint", Str("Second")) + Coords(0, 1, 0));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        storage::ZoneReadResult r = ReadZone(good + c.bad, kProfile);
        EXPECT_FALSE(r.ok());
        ASSERT_EQ(r.rooms.size(), 2u);
        EXPECT_EQ(r.rooms[1].Hint, "Second");
        EXPECT_NE(r.error.find("room 3 at offset " + std::to_string(good.size())),
                  std::string::npos)
            << r.error;
        EXPECT_NE(r.error.find(c.mentions), std::string::npos) << r.error;
    }
}

TEST(ZoneRead, UpToTenTrailingBytesAreIgnored) {
    const std::string two = Plain(0, 0, 0) + Plain(1, 0, 0);
    EXPECT_TRUE(ReadZone("", kProfile).ok());
    EXPECT_TRUE(ReadZone("", kProfile).rooms.empty());
    storage::ZoneReadResult tail = ReadZone(two + std::string(10, '\x55'), kProfile);
    EXPECT_TRUE(tail.ok()) << tail.error;
    EXPECT_EQ(tail.rooms.size(), 2u);
    // A file of ten bytes or less holds no room at all, even the start of one.
    EXPECT_TRUE(ReadZone("TPF0\x09TMudR", kProfile).ok());

    storage::ZoneReadResult eleven = ReadZone(two + std::string(11, '\x55'), kProfile);
    EXPECT_FALSE(eleven.ok());
    EXPECT_EQ(eleven.rooms.size(), 2u);
}

TEST(ZoneRead, CorruptedBytesNeverLoseTheRoomsBeforeThem) {
    std::vector<TMudRoom2> rooms;
    for (int i = 0; i < 20; ++i) {
        TMudRoom2 r = RoomAt(i, -i, i % 3);
        r.Tag = i + 1;
        r.Hint = "Room " + std::to_string(i);
        r.Description = std::string(i * 20, 'd');
        r.AutoMaps = {"Z|n|" + std::to_string(i) + "|cmd|0"};
        rooms.push_back(r);
    }
    const std::string clean = Write(rooms);
    std::vector<size_t> ends; // where each record ends
    for (size_t n = 1; n <= rooms.size(); ++n)
        ends.push_back(Write(std::vector<TMudRoom2>(rooms.begin(), rooms.begin() + n)).size());

    std::mt19937 rng(1234);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes = clean;
        size_t at = rng() % bytes.size();
        const int kind = round % 3;
        if (kind == 0) {
            bytes[at] = static_cast<char>(rng());
        } else if (kind == 1) {
            bytes.resize(at);
        } else {
            // A length or a type byte turned into something huge.
            bytes.replace(at, 1, "\x0C\xFF\xFF\xFF\x7F");
        }
        storage::ZoneReadResult r = ReadZone(bytes, kProfile);
        size_t intact = 0;
        while (intact < ends.size() && ends[intact] <= at)
            ++intact;
        ASSERT_GE(r.rooms.size(), intact) << "round " << round;
        for (size_t i = 0; i < intact; ++i)
            ASSERT_EQ(Describe(r.rooms[i]), Describe(rooms[i])) << "round " << round;
    }
}

TEST(ZoneFile, CanonicalFileLoadsAndSavesBackByteIdentical) {
    const std::string canonical =
        Record(P("Tag", Int8(1)) + P("Exits", Str("N S (E)")) +
               P("Hint", Str("\xD3 \xF4\xEE\xED\xF2\xE0\xED\xE0")) +
               Links(true, true, false, true) +
               P("Description", Str("\xC2\xFB \xF1\xF2\xEE\xE8\xF2\xE5 \xF3 "
                                    "\xF4\xEE\xED\xF2\xE0\xED\xE0.\r\n\xC2\xEE\xE4\xE0 "
                                    "\xE6\xF3\xF0\xF7\xE8\xF2.")) +
               P("X", Int8(0)) + P("Y", Int8(0)) + P("L", Int8(0)) + P("DX", Int8(-12)) +
               P("DY", Int16(-300)) + P("DL", Int8(0)) + P("QuickList", Str("fountain")) +
               P("AutoMaps.Strings", List({Str("Forest|n|12|open gate|0")})) +
               P("ImageIndex", Int8(5))) +
        Record(P("Exits", Str("N S")) + Links(true, true) + Coords(1, 0, 0) + P("Pipe", T)) +
        Record(P("Tag", Int16(1000)) + P("Exits", Str("S")) + P("Hint", Str("Cellar")) +
               Links(false, true, false, false, false, true) + P("BColor", Int32(0x00123456)) +
               P("Description", LStr(std::string(300, 'w') + "\r\n" + std::string(40, 'v'))) +
               P("X", Int8(2)) + P("Y", Int32(-70000)) + P("L", Int8(-1)) +
               Coords(0, 0, 0).substr(12) + P("DT", T) + P("NoStep", T) +
               P("Note", Str("mind\r\nthe trap"))) +
        Record(Links() + P("BColor", Ident("clAqua")) + Coords(3, 3, 3) + P("Agro", T));

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::filesystem::path path = dir.filePath("zone.tk2").toStdString();
    ASSERT_TRUE(storage::SaveFile(path, canonical).ok);

    storage::ZoneReadResult loaded = storage::ReadZoneFile(path, kProfile);
    ASSERT_TRUE(loaded.ok()) << loaded.LogLine();
    ASSERT_EQ(loaded.rooms.size(), 4u);
    EXPECT_EQ(loaded.rooms[0].ExitStateOf(map::East), map::kDoor);
    EXPECT_EQ(loaded.rooms[2].Y, -70000);

    ASSERT_TRUE(storage::SaveZoneFile(path, Write(loaded.rooms)).ok());
    std::string saved;
    ASSERT_TRUE(storage::ReadFile(path, saved));
    EXPECT_EQ(saved, canonical);

    // A zone without rooms is an empty file and loads as one.
    ASSERT_TRUE(storage::SaveZoneFile(path, Write(std::vector<TMudRoom2>{})).ok());
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
    storage::ZoneReadResult empty = storage::ReadZoneFile(path, kProfile);
    EXPECT_TRUE(empty.ok());
    EXPECT_TRUE(empty.rooms.empty());
}

TEST(ZoneFile, FailuresNameTheFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::filesystem::path base = dir.path().toStdString();
    const std::filesystem::path path = base / "\xD0\x9B\xD0\xB5\xD1\x81.tk2"; // Лес.tk2, UTF-8
    ASSERT_TRUE(storage::SaveFile(path, Plain(0, 0, 0) + Plain(1, 0, 0).substr(0, 30)).ok);
    storage::ZoneReadResult r = storage::ReadZoneFile(path, kProfile);
    EXPECT_EQ(r.rooms.size(), 1u);
    EXPECT_EQ(r.LogLine(),
              "File: \"\xCB\xE5\xF1.tk2\" room 2 at offset 74: the record is cut short");

    storage::ZoneReadResult missing = storage::ReadZoneFile(base / "none.tk2", kProfile);
    EXPECT_FALSE(missing.ok());
    EXPECT_EQ(missing.LogLine().rfind("File: \"none.tk2\" ", 0), 0u);

    // A zone file that cannot be replaced is reported and left as it was.
    std::filesystem::create_directory(base / "taken.tk2");
    storage::ZoneSaveResult blocked = storage::SaveZoneFile(base / "taken.tk2", Plain(0, 0, 0));
    EXPECT_EQ(blocked.status, storage::ZoneSaveStatus::CantOverwriteFile);
    EXPECT_NE(blocked.error.find("taken.tk2"), std::string::npos) << blocked.error;
    EXPECT_TRUE(std::filesystem::is_directory(base / "taken.tk2"));
    EXPECT_EQ(storage::SaveZoneFile(base / "gone" / "x.tk2", "").status,
              storage::ZoneSaveStatus::CantOverwriteFile);
}

TEST(ZoneFile, KilledWhileSavingLeavesTheOldOrTheNewZone) {
    // Two versions of a large zone; a child saves them in turn until it is killed.
    std::vector<TMudRoom2> rooms;
    for (int i = 0; i < 3000; ++i) {
        TMudRoom2 r = RoomAt(i / 60, i % 60, 0);
        r.Tag = i + 1;
        r.Hint = "Room";
        r.Description = std::string(250, 'a' + i % 26);
        rooms.push_back(r);
    }
    const std::string oldZone = Write(rooms);
    for (TMudRoom2& r : rooms)
        r.Note = "changed";
    const std::string newZone = Write(rooms);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::filesystem::path path = dir.filePath("big.tk2").toStdString();
    ASSERT_TRUE(storage::SaveZoneFile(path, oldZone).ok());

    std::mt19937 rng(99);
    int sawNew = 0;
    for (int round = 0; round < 12; ++round) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(ready[0]);
            alarm(30); // never outlive a parent that failed before killing
            for (bool flip = true;; flip = !flip) {
                storage::SaveZoneFile(path, flip ? newZone : oldZone);
                (void)!write(ready[1], "s", 1);
            }
        }
        close(ready[1]);
        char c;
        const bool saved = read(ready[0], &c, 1) == 1; // at least one save went through
        usleep(static_cast<useconds_t>(rng() % 40000));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        close(ready[0]);
        ASSERT_TRUE(saved);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

        std::string bytes;
        ASSERT_TRUE(storage::ReadFile(path, bytes));
        ASSERT_TRUE(bytes == oldZone || bytes == newZone) << "round " << round;
        sawNew += bytes == newZone;
        storage::ZoneReadResult r = storage::ReadZoneFile(path, kProfile);
        ASSERT_TRUE(r.ok()) << r.LogLine();
        ASSERT_EQ(r.rooms.size(), rooms.size());
    }
    RecordProperty("rounds_ending_with_new_content", sawNew);
}
