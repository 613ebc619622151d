// Changes to every room of the world at once: the room-colour replacement and the exit-word
// conversion.

#include "MapFixture.h"
#include "map/WorldConversions.h"

namespace {

using namespace maptest;

class WorldConversionsTest : public MapTest {
protected:
    TMudRoom2* Room(const std::string& zone, const std::string& name, const std::string& exits,
                    map::Color color = map::kSilver) {
        auto room = std::make_unique<TMudRoom2>();
        room->Hint = name;
        room->BColor = color;
        room->Y = static_cast<int>(world.Lists().WorldCount());
        room->SetExits(exits, profile);
        return world.AddRoom(std::move(room), zone);
    }
};

std::array<std::string, 6> Words(const char* n, const char* s, const char* e, const char* w,
                                 const char* u, const char* d) {
    return {n, s, e, w, u, d};
}

} // namespace

TEST_F(WorldConversionsTest, ColourReplacementReachesEveryZone) {
    TMudRoom2* a = Room("Zone", "a", "");
    TMudRoom2* b = Room("Other", "b", "");
    TMudRoom2* c = Room("Other", "c", "", 0x0000FF);
    world.Saved = true;
    EXPECT_EQ(map::ReplaceRoomColor(world, map::kSilver, 0x00FF00), 2);
    EXPECT_EQ(a->BColor, 0x00FF00);
    EXPECT_EQ(b->BColor, 0x00FF00);
    EXPECT_EQ(c->BColor, 0x0000FF);
    EXPECT_FALSE(world.Saved);
    // Nothing of that colour: nothing changes, the world stays saved.
    world.Saved = true;
    EXPECT_EQ(map::ReplaceRoomColor(world, 0x123456, 0), 0);
    EXPECT_TRUE(world.Saved);
}

TEST_F(WorldConversionsTest, ExitWordsAreReplacedInTheirFixedOrderAndTheStatesFollow) {
    TMudRoom2* square = Room("Zone", "Square", "[ Exits: N (E) W ]");
    TMudRoom2* hut = Room("Other", "Hut", "[ Exits: S U ]");
    // English letters to Russian words; east is behind a door.
    const auto from = Words("N", "S", "E", "W", "U", "D");
    const auto to = Words("\xF1", "\xFE", "\xE2", "\xE7", "^", "v"); // с ю в з
    EXPECT_EQ(map::ConvertExitWords(world, from, to), 2);
    // "Exits" loses its capital E too: the replacement is plain text, exactly as asked for.
    EXPECT_EQ(square->Exits(), "[ \xE2xits: \xF1 (\xE2) \xE7 ]");
    EXPECT_EQ(hut->Exits(), "[ \xE2xits: \xFE ^ ]");
    // The exit states are read with the new words, so the map keeps its exits and doors.
    EXPECT_EQ(square->ExitStateOf(map::North), map::kExit);
    EXPECT_EQ(square->ExitStateOf(map::East), map::kDoor);
    EXPECT_EQ(square->ExitStateOf(map::West), map::kExit);
    EXPECT_EQ(square->ExitStateOf(map::South), map::kNoExit);
    EXPECT_EQ(hut->ExitStateOf(map::Up), map::kExit);
    EXPECT_FALSE(world.Saved);
    // The name index follows the new exit list.
    EXPECT_EQ(world.GlobalFindRoomByName("Hut", "", hut->Exits()), hut);
}

TEST_F(WorldConversionsTest, SwappingTwoWordsFollowsTheOrderNorthSouthWestEast) {
    TMudRoom2* room = Room("Zone", "r", "N S W E");
    // The same words in and out change no room.
    world.Saved = true;
    EXPECT_EQ(map::ConvertExitWords(world, Words("N", "S", "E", "W", "U", "D"),
                                    Words("N", "S", "E", "W", "U", "D")),
              0);
    EXPECT_TRUE(world.Saved);
    // North becomes S first, then every S (both) becomes N; west becomes E, then both E become W.
    EXPECT_EQ(map::ConvertExitWords(world, Words("N", "S", "E", "W", "U", "D"),
                                    Words("S", "N", "W", "E", "U", "D")),
              1);
    EXPECT_EQ(room->Exits(), "N N W W");
}
