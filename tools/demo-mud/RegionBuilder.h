#pragma once
// Lays out the region's areas from small text pictures: every other character of every other
// line is a room (a letter that names its kind) or nothing (a blank), a '-' between two rooms
// joins them west to east and a '|' below a room joins it to the room under it, north to south.
// The picture's top left cell goes where the caller says; levels are laid one picture each and
// joined by hand, like the links between areas and the places where the region leaves the grid.

#include "World.h"

#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace demo {

// What the rooms of one letter have in common.
struct RoomKind {
    char letter;
    const char* name;
    const char* line; // the first description line, after its three leading blanks
    // The second line; nullptr: one made of the area's own details, different for every room.
    const char* second = nullptr;
    // A line that changes with the time of day (see Room::timedAt); empty texts add nothing.
    int timedAt = -1;
    const char* day = "";
    const char* night = "";
};

// An area: its name, its first room number, and the two halves of the detail sentences that
// tell its rooms apart ("У забора" + "дремлет рыжий кот.").
struct AreaText {
    const char* name;
    int vnumBase;
    std::vector<const char*> where;
    std::vector<const char*> what;
};

class RegionBuilder {
public:
    explicit RegionBuilder(World& world) : world_(world) {}

    // Adds the rooms and links of a picture whose top left cell is (x0, y0) on level l.
    void Lay(const AreaText& area, int x0, int y0, int l, const std::vector<std::string>& picture,
             const std::vector<RoomKind>& kinds);
    // The room in a cell; throws when there is none (a mistake in the region's plan).
    int At(int x, int y, int l) const;
    // Joins two rooms both ways, or one way only.
    void Link(int from, Dir d, int to) { world_.Link(from, d, to); }
    void OneWay(int from, Dir d, int to);
    // Puts a door, closed, on an existing link (on both of its sides).
    void Door(int from, Dir d, const char* nameUtf8);
    Room& Edit(int id) { return *world_.Edit(id); }

private:
    int AddRoom(const AreaText& area, const RoomKind& kind, int x, int y, int l);

    World& world_;
    int nextId_ = 1;
    std::map<std::string, int> areaRooms_; // rooms laid so far per area
    std::map<std::tuple<int, int, int>, int> cells_;
};

} // namespace demo
