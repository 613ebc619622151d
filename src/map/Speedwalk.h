#pragma once
// The speedwalk path search: the way from the player's room to a chosen room, as the commands
// to send, separated by ";". A way goes over walked links, through corridors (one command for
// the whole corridor), across zones through link lines, and sends a room's automatic commands
// before the moves they belong to.
//
// The search grows the way level by level, one pass per command: every room reached in the
// last pass is expanded north, south, west, east, up, down and then over its cross-zone links,
// in that order, so the way found has the fewest passes and, among equally short ones, the
// first in that order. A room counts as already reached only while it belongs to the level
// being expanded, the one before it or the one being found: rooms of older levels may be
// reached again (they can only be on a longer way on an ordinary map).
//
// Each reached room is one entry (room, previous entry, step text); the way is read back
// along the previous entries, and membership is a level stamp per world-list slot, so a search
// costs time and memory in proportion to the rooms it reaches.

#include "map/Direction.h"
#include "map/DirectionWords.h"
#include "map/MapWorld.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace map {

// The pseudo-direction that stands for any cross-zone link of a room.
inline constexpr char kAnyLink[] = "++";

class SpeedwalkSearch {
public:
    SpeedwalkSearch(const MapWorld& world, const DirectionWords& words);

    // The command string of the way from `from` to `to` (commands separated by ";"), found
    // within `maxPasses` passes; nullopt when there is none. `from` and `to` must be rooms of
    // the world list.
    std::optional<std::string> FindWay(const TMudRoom2* from, const TMudRoom2* to, int maxPasses);

    // Figures of the last search, for the log and the benchmarks.
    struct Stats {
        int passes = 0;
        std::size_t entries = 0;   // rooms reached, counting a room reached again once more
        std::size_t bytesUsed = 0; // memory held by the search beyond the map
    };
    const Stats& LastStats() const { return stats_; }

private:
    // The seven expansion directions: the six of the grid in search order, then any link.
    static constexpr int kExpansions = 7;
    static constexpr int kAnyLinkIndex = 6;

    struct Entry {
        const TMudRoom2* room;
        std::uint32_t previous; // index of the entry expanded to reach this one
        std::uint32_t step;     // index of the step text in steps_
    };
    struct Step {
        std::string text;
        // Bit i set: expanding in direction i would turn straight back after this step.
        std::uint8_t turnsBack = 0;
    };

    std::uint32_t Intern(std::string text);
    bool InList(const TMudRoom2* room) const;
    bool Acceptable(const TMudRoom2* room, bool consultFlyDT) const;
    void Add(const TMudRoom2* room, std::uint32_t previous, std::uint32_t step);
    // Expands one entry in one direction (the AddRoomSW of the search); returns the entries
    // added.
    int AddRoomSW(std::uint32_t entry, int expansion);
    std::string WayTo(std::uint32_t entry) const;
    void Prefetch(const TMudRoom2* room) const;
    static constexpr std::size_t kPrefetchAhead = 8;

    const MapWorld& world_;
    const DirectionWords& words_;
    const profile::WorldProfile& profile_;

    // Per expansion: the word (movement word or "++"), its direction phrase, the text that
    // would turn straight back, and whether the word is the portal word (counts as walked).
    std::string word_[kExpansions];
    std::string phrase_[kExpansions];
    std::string opposite_[kExpansions];
    bool portal_[kExpansions] = {};
    std::uint32_t wordStep_[kExpansions] = {};

    std::vector<Entry> entries_;
    std::vector<Step> steps_;
    std::unordered_map<std::string, std::uint32_t> stepIds_;
    std::vector<std::int32_t> level_; // per world slot: the level the room was last reached in
    std::int32_t pass_ = 0;
    const TMudRoom2* target_ = nullptr;
    std::optional<std::uint32_t> found_;
    Stats stats_;
};

} // namespace map
