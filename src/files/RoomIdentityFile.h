#pragma once
// The world's file of what the game calls its rooms, "game-ids.txt" beside the zone files: each
// room's game number and area keyed by zone and Tag, and the zones bound to the game's areas.
// Zone files have no room for these, and other programs read zone files, so they live apart.
//
// Text, Windows-1251, CR LF:
//   Quarvelin room identity 1
//   A|<zone>|<area>                    a zone bound to an area
//   R|<zone>|<tag>[:<n>]|<id>|<area>   a room: its Tag, and ":n" for the n-th room (n >= 2)
//                                      of that Tag in the zone file when the Tag repeats
// In every field "\" is written "\\", "|" "\p", CR "\r" and LF "\n". Bindings come first,
// in zone order, then the rooms zone by zone in zone-file order.

#include "map/MudRoom.h"

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace storage {

inline constexpr std::string_view kRoomIdentityFileName = "game-ids.txt";
inline constexpr std::string_view kRoomIdentityHeader = "Quarvelin room identity 1";

struct RoomIdentityLine {
    int tag = 0;
    int occurrence = 1; // the n-th room of this Tag in its zone file, from 1
    std::string id;
    std::string area;
    bool operator==(const RoomIdentityLine&) const = default;
};

struct RoomIdentities {
    std::map<std::string, std::string> zoneAreas;               // zone -> area
    std::map<std::string, std::vector<RoomIdentityLine>> zones; // zone -> its rooms' lines
    bool Empty() const;
    bool operator==(const RoomIdentities&) const = default;
};

// The escaping of one field, and its reverse (nullopt for an escape the writer never makes).
std::string EscapeIdentityField(std::string_view field);
std::optional<std::string> UnescapeIdentityField(std::string_view field);

// The bytes of the file.
std::string WriteRoomIdentities(const RoomIdentities& data);
std::string WriteRoomIdentities(const std::map<std::string, std::string>& zoneAreas,
                                const std::map<std::string, std::vector<RoomIdentityLine>>& zones);

struct RoomIdentityReadResult {
    RoomIdentities data;
    std::string error; // empty when the whole file made sense; then data holds it all
    bool ok() const { return error.empty(); }
};
// Reads the file's bytes; on the first thing it cannot make sense of it stops with an error
// naming the line, and the data is then to be ignored. Blank lines are skipped; the last line
// may lack its CR LF.
RoomIdentityReadResult ReadRoomIdentities(std::string_view bytes);

// The lines of the rooms that carry a game number or area, in the order given (the order of
// their zone file).
std::vector<RoomIdentityLine> IdentityLinesOf(std::span<const map::TMudRoom2* const> rooms);
// Gives rooms just read from a zone file (not yet listed) the numbers and areas of the lines.
void ApplyIdentityLines(std::span<map::TMudRoom2> rooms,
                        const std::vector<RoomIdentityLine>& lines);

} // namespace storage
