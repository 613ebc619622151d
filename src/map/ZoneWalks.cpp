#include "map/ZoneWalks.h"

#include <array>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>

namespace map {

namespace {

// The four grid headings clockwise: one step on is a right turn, three a left turn.
constexpr std::array<Dir, 4> kClockwise{North, East, South, West};

int ClockwiseIndex(Dir d) {
    for (int i = 0; i < 4; ++i)
        if (kClockwise[i] == d) return i;
    return 0;
}

Dir Turned(Dir h, int quarters) {
    return kClockwise[(ClockwiseIndex(h) + quarters) % 4];
}

TMudRoom2* StepFrom(const MapWorld& world, const TMudRoom2& room, Dir d) {
    const DirInfo& s = Info(d);
    return world.FindRoom(room.X + s.dx, room.Y + s.dy, room.L + s.dl);
}

} // namespace

bool OpenOnGrid(const MapWorld& world, const DirectionWords& words, const TMudRoom2& room, Dir d) {
    return room.Ch(d) && words.HasJump(&room, Phrase(world.Profile(), d)) < 0;
}

bool ListAtHand(const MapWorld& world, const DirectionWords& words, Dir d, TMudRoom2* start,
                std::vector<TMudRoom2*>& list) {
    if (!start || d == Up || d == Down) return false;
    std::unordered_set<const TMudRoom2*> listed(list.begin(), list.end());
    // Headings each room was entered with, one bit per heading. The walk is decided by the room
    // and the heading alone, so meeting a pair again means it would repeat for ever; this also
    // bounds the walk by four steps per room of the zone.
    std::unordered_map<const TMudRoom2*, std::uint8_t> entered;
    Dir h = d;
    int turns = 0;
    TMudRoom2* r = StepFrom(world, *start, h);
    while (r && r != start) {
        std::uint8_t& seen = entered[r];
        const auto bit = static_cast<std::uint8_t>(1u << ClockwiseIndex(h));
        if (seen & bit) return false;
        seen |= bit;
        if (listed.insert(r).second) list.push_back(r);
        r->Checked = true;

        // Right, straight on, left, back: the first open one is taken.
        static constexpr std::array<std::pair<int, int>, 4> kTries{
            {{1, 1}, {0, 0}, {3, -1}, {2, -2}}};
        for (const auto& [quarters, turn] : kTries) {
            const Dir to = Turned(h, quarters);
            if (OpenOnGrid(world, words, *r, to)) {
                h = to;
                turns += turn;
                break;
            }
        }
        r = StepFrom(world, *r, h);
    }
    return turns == -2;
}

void ListAtStart(const MapWorld& world, const DirectionWords& words, TMudRoom2* start,
                 std::vector<TMudRoom2*>& list, Dir d) {
    std::unordered_set<const TMudRoom2*> listed(list.begin(), list.end());
    for (std::size_t i = 0; i < list.size(); ++i) {
        const TMudRoom2* r = list[i]; // the list grows inside the loop
        for (const DirInfo& info : kDirs) {
            if ((d == Down && info.dir == Up) || (d == Up && info.dir == Down)) continue;
            if (!OpenOnGrid(world, words, *r, info.dir)) continue;
            TMudRoom2* n = StepFrom(world, *r, info.dir);
            if (!n || n == start || !listed.insert(n).second) continue;
            list.push_back(n);
        }
    }
}

std::optional<std::vector<TMudRoom2*>> RoomsThatFit(const MapWorld& world, std::string_view zone,
                                                    int dx, int dy, int dl) {
    std::vector<TMudRoom2*> rooms;
    bool fits = true;
    world.Lists().ForEachWorldRoom([&](TMudRoom2* r, const std::string& z) {
        if (!fits || z != zone) return;
        if (world.FindRoom(r->X + dx, r->Y + dy, r->L + dl)) fits = false;
        rooms.push_back(r);
    });
    if (!fits) return std::nullopt;
    return rooms;
}

} // namespace map
