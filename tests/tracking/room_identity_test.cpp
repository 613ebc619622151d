// The game's own word on the player's room: MSDP's ROOM and GMCP's Room.Info payloads, as
// games send them, read into plain records; everything else, and anything malformed, is no
// identity.

#include "TrackingRig.h"
#include "tracking/RoomIdentity.h"

#include <gtest/gtest.h>

using tracking::ParseGmcpRoomInfo;
using tracking::ParseMsdpRoom;
using tracking::RoomIdentity;

namespace {
// MSDP's bytes: VAR, VAL, TABLE_OPEN, TABLE_CLOSE, ARRAY_OPEN, ARRAY_CLOSE.
const std::string V = "\x01", L = "\x02", TO = "\x03", TC = "\x04", AO = "\x05", AC = "\x06";
} // namespace

TEST(RoomIdentity, MsdpRoomAsARussianGameSendsIt) {
    // REPORT ROOM answered: the room's table, its exits a table of direction and vnum.
    const std::string payload = V + "ROOM" + L + TO + V + "VNUM" + L + "6032" + V + "NAME" + L +
                                W8("Центральная площадь") + V + "AREA" + L + W8("Тихая Заводь") +
                                V + "ZONE" + L + "60" + V + "EXITS" + L + TO + V + "n" + L +
                                "6033" + V + "e" + L + "6040" + TC + TC;
    const auto room = ParseMsdpRoom(payload);
    ASSERT_TRUE(room);
    EXPECT_EQ(room->id, "6032");
    EXPECT_EQ(room->name, W8("Центральная площадь"));
    EXPECT_EQ(room->area, W8("Тихая Заводь"));
    EXPECT_EQ(room->exits,
              (std::vector<std::pair<std::string, std::string>>{{"n", "6033"}, {"e", "6040"}}));

    // Other variables around it, arrays among them, change nothing.
    const std::string more = V + "HEALTH" + L + "100" + V + "LIST" + L + AO + L + "a" + L + TO + V +
                             "x" + L + "1" + TC + AC + payload + V + "ROOM_EXITS" + L + "n" + L +
                             "e";
    EXPECT_EQ(ParseMsdpRoom(more), room);
}

TEST(RoomIdentity, MsdpWithoutARoomOrMalformedIsNoIdentity) {
    const std::string room = V + "ROOM" + L + TO + V + "VNUM" + L + "1" + TC;
    ASSERT_TRUE(ParseMsdpRoom(room));
    for (const std::string& bad : {
             std::string(),
             V + "HEALTH" + L + "100",                         // another variable
             V + "ROOM" + L + "1",                             // ROOM that is no table
             V + "ROOM" + L + TO + V + "NAME" + L + "x" + TC,  // no VNUM
             V + "ROOM" + L + TO + V + "VNUM" + L + "  " + TC, // an empty VNUM
             room.substr(0, room.size() - 1),                  // the table never closed
             V + "ROOM" + TO + V + "VNUM" + L + "1" + TC,      // VAL missing
             L + "x",                                          // a value without a name
         })
        EXPECT_FALSE(ParseMsdpRoom(bad)) << bad.size();
    // Tables nested deeper than any game nests them are refused, not followed down the stack.
    std::string deep = V + "ROOM" + L;
    for (int i = 0; i < 100000; ++i)
        deep += TO + V + "x" + L;
    EXPECT_FALSE(ParseMsdpRoom(deep));
}

TEST(RoomIdentity, GmcpRoomInfoInUtf8BecomesWindows1251) {
    const std::string utf8 = "Room.Info { \"num\": 6032, \"name\": \"Центральная площадь\", "
                             "\"area\": \"Тихая Заводь ★\", \"environment\": \"city\", "
                             "\"coords\": \"0,0,0,0\", \"exits\": {\"n\": 6033, \"e\": \"6040\"} }";
    const auto room = ParseGmcpRoomInfo(utf8);
    ASSERT_TRUE(room);
    EXPECT_EQ(room->id, "6032");
    EXPECT_EQ(room->name, W8("Центральная площадь"));
    EXPECT_EQ(room->area, W8("Тихая Заводь") + " ?"); // no byte for the star: replaced, kept
    EXPECT_EQ(room->exits,
              (std::vector<std::pair<std::string, std::string>>{{"e", "6040"}, {"n", "6033"}}));
    // A control character in a text is replaced, not kept (nor the text dropped).
    const auto nul = ParseGmcpRoomInfo("Room.Info {\"num\": 1, \"name\": \"a\\u0000b\\nc\"}");
    ASSERT_TRUE(nul);
    EXPECT_EQ(nul->name, "a?b?c");
    // The package name in any letter case, the number as a string, no blank before the JSON.
    const auto lower = ParseGmcpRoomInfo("room.info{\"num\":\"abc-7\",\"name\":\"Hall\"}");
    ASSERT_TRUE(lower);
    EXPECT_EQ(lower->id, "abc-7");
    EXPECT_EQ(lower->name, "Hall");
    EXPECT_TRUE(lower->exits.empty());

    for (const char* bad : {"Room.Infos {\"num\": 1}", "Char.Vitals {\"hp\": 1}", "Room.Info",
                            "Room.Info {\"name\": \"no number\"}", "Room.Info {\"num\": 1",
                            "Room.Info [1, 2]", "Room.Info {\"num\": true}"})
        EXPECT_FALSE(ParseGmcpRoomInfo(bad)) << bad;
}
