#pragma once
// What a game says out of band about the room the player stands in: its own number for the
// room, its name and area, and the numbers behind its exits. Two telnet protocols carry it:
// MSDP (option 69), variable ROOM = table {VNUM, NAME, AREA, ZONE, EXITS = table {direction:
// vnum}}, and GMCP (option 201), package Room.Info {num, name, area, exits {direction: num}}.
// These are the parsers of one subnegotiation's payload; plain records, no state.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tracking {

struct RoomIdentity {
    std::string id;   // the game's number for the room, as text
    std::string name; // Windows-1251
    std::string area; // Windows-1251
    // Exits as the game names them (direction word, Windows-1251) and the number behind each.
    std::vector<std::pair<std::string, std::string>> exits;

    bool operator==(const RoomIdentity&) const = default;
};

// An identity as it arrived in a read of the game's stream: `offset` is where its
// subnegotiation stood in that read's text for recognition (the text before it, in bytes).
struct IdentityAt {
    std::size_t offset = 0;
    RoomIdentity identity;
};

// The payload of one MSDP subnegotiation (the bytes between IAC SB 69 and IAC SE, doubled 0xFF
// already single), in the game's own encoding. The identity when the payload sets ROOM to a
// table with a VNUM; nothing for other variables or a malformed payload.
std::optional<RoomIdentity> ParseMsdpRoom(std::string_view payload);

// The payload of one GMCP subnegotiation: a package name, then JSON in UTF-8. The identity
// when the package is Room.Info (in any letter case) with a num; its texts become
// Windows-1251, a character that has no byte there becoming "?". In both, a control character
// in a text becomes "?" too.
std::optional<RoomIdentity> ParseGmcpRoomInfo(std::string_view payload);

} // namespace tracking
