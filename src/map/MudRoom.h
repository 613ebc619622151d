#pragma once
// One room of the map. Its published properties are the ones the zone file streams by name;
// the six exit states are derived from Exits when it is assigned.

#include "map/Direction.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace profile {
struct WorldProfile;
}

namespace map {

class RoomLists;

// Colours are Windows COLORREF values $00BBGGRR (system colours $FF0000nn).
using Color = std::int32_t;
inline constexpr Color kSilver = 0x00C0C0C0;

enum ExitState : std::uint8_t { kNoExit = 0, kExit = 1, kDoor = 2 };

class TMudRoom2 {
public:
    TMudRoom2() = default;

    int Tag = 0;
    std::string Hint;
    bool ChN = false, ChS = false, ChW = false, ChE = false, ChU = false, ChD = false;
    Color BColor = 0; // the creating operation sets the colour
    std::string Description;
    int X = 0, Y = 0, L = 0;
    int DX = 0, DY = 0, DL = 0;
    bool Selected = false;
    bool Checked = false;
    bool Pipe = false;
    bool DT = false, FlyDT = false, Agro = false, NoStep = false;
    std::string Note;
    std::string QuickList;
    std::vector<std::string> AutoMaps;
    int ImageIndex = 0;
    // What the game itself calls the room (out of band, MSDP or GMCP): its number, as text,
    // and its area (Windows-1251). Empty for a room the game never named. Not part of the zone
    // file; on a listed room the number is changed through MapWorld::SetGameId only.
    std::string GameId;
    std::string GameArea;

    const std::string& Exits() const { return exits_; }
    // Stores the exit list and recomputes the exit states with the profile's exit words.
    void SetExits(std::string exits, const profile::WorldProfile& profile);
    // Stores the exit list and the states as they are (copying a room keeps its states).
    void SetExitsRaw(std::string exits, const std::array<ExitState, kDirCount>& states);

    ExitState ExitStateOf(Dir d) const { return exitStates_[d]; }
    const std::array<ExitState, kDirCount>& ExitStates() const { return exitStates_; }

    // The link flag of a direction (inline: path searches ask it for every room they reach).
    bool& Ch(Dir d) {
        switch (d) {
        case North:
            return ChN;
        case South:
            return ChS;
        case East:
            return ChE;
        case West:
            return ChW;
        case Up:
            return ChU;
        case Down:
            break;
        }
        return ChD;
    }
    bool Ch(Dir d) const { return const_cast<TMudRoom2*>(this)->Ch(d); }

private:
    std::string exits_;
    std::array<ExitState, kDirCount> exitStates_{};

    // Where the room stands in the world's room lists and the values its index entries were
    // made from. Only RoomLists touches it. Copying a room (the property dialog edits a copy)
    // never copies list membership: a copy starts unlisted and assigning one room to another
    // keeps the target's own listing.
    struct Listing {
        std::int32_t worldSlot = -1; // index in the world list, -1 when not in it
        std::int32_t zoneSlot = -1;  // index in the current-zone list, -1 when not in it
        std::uint32_t mark = 0;      // stamp of the last group walk that reached the room
        std::uint32_t zone = 0;      // the zone id it is filed under in the world list
        int x = 0, y = 0, l = 0, tag = 0;
        std::uint64_t nameKey = 0; // hash of the name and the exit key
        std::uint64_t descKey = 0; // hash of the description key
        bool named = false;        // in the name indexes (has a name)
        Listing() = default;
        Listing(const Listing&) {}
        Listing& operator=(const Listing&) { return *this; }
    };
    Listing listing_;
    friend class RoomLists;
};

// The exit state of one direction for an exit list, as the Exits setter computes it.
ExitState ComputeExitState(const std::string& exits, const std::string& word, bool ignoreCase);

// The picture of the room's node in the zone tree's quick list: the plain room (4) when it has
// no picture of its own (0, or -1 for "no picture"), else the picture's own entry.
inline int QuickListImage(const TMudRoom2& room) {
    return room.ImageIndex <= 0 ? 4 : 6 + room.ImageIndex;
}

} // namespace map
