#pragma once
// How the map grows: creating rooms, linking rooms (side by side, through corridor rooms along
// a line, through link lines between zones), pushing rooms aside to make space, and removing
// links with their corridors.
//
// Corridor rooms fill the cells between two linked rooms that lie further apart than one cell;
// they have no name, Tag 0, Pipe set and the two exit words of their axis as Exits. Rooms that
// an operation removes are destroyed at once: callers must not keep pointers to corridor rooms
// across these operations.

#include "map/Direction.h"
#include "map/DirectionWords.h"
#include "map/MapWorld.h"

#include <string_view>
#include <vector>

namespace map {

class MapLinker {
public:
    // A corridor is laid over at most this many cells, and as many are examined for obstacles.
    static constexpr int kMaxCorridor = 20;

    MapLinker(MapWorld& world, const DirectionWords& words) : world_(world), words_(words) {}

    // Creates a room of the current zone at the position and files it in both lists. A room
    // that is not a corridor takes the next room number. Clears the saved flag, widens the
    // extents and updates the view.
    TMudRoom2* NewRoomAt(int x, int y, int l, std::string_view name, std::string_view description,
                         std::string_view exits, bool pipe = false);
    // Links the context room to its neighbour in d, creating a dark room there when the cell
    // is empty ("add a room" of the context menu).
    void StepTo(Dir d);
    // Links two rooms that lie on one line in direction d, pushing aside what stands between
    // them and laying corridor rooms over the gap. Both rooms are flagged as linked in every
    // case; the result is false when something in the way could not be pushed (then no
    // corridor is laid) or when `to` does not lie on the line from `from` in d.
    bool SetLink(TMudRoom2* from, TMudRoom2* to, Dir d);
    // Links `from` to `to` after the player went from one to the other in direction d and `to`
    // was found elsewhere on the map: along the line, after aligning rooms one cell off the
    // line, or with link lines when the rooms lie in different zones.
    void TryToLink(TMudRoom2* from, TMudRoom2* to, Dir d);
    // Links the context room to the first room found in d (north, south, east or west) within
    // the map extents; beeps when there is none ("corridor" of the context menu).
    void MakeLink(Dir d);
    // Removes the link of the room in d together with the corridor rooms on it, and clears the
    // flags on both ends.
    void DeleteLink(TMudRoom2* room, Dir d);
    // Appends the push group of the room in direction d to `list`: the room, the rooms linked
    // back to it except those behind it, and every room standing in its way. A corridor room
    // lying along d ends the walk (it will be shortened instead of pushed).
    void ListAt(Dir d, TMudRoom2* room, std::vector<TMudRoom2*>& list);
    // Whether a room and its neighbour in direction `side` are linked on the grid, either way.
    bool Linked(Dir side, const TMudRoom2& member, const TMudRoom2& neighbour) const;
    // The first room that is no corridor room in direction d; null where a cell is empty first.
    // `corridor`, when given, receives the corridor rooms passed on the way.
    TMudRoom2* BeyondCorridor(const TMudRoom2& room, Dir d,
                              std::vector<TMudRoom2*>* corridor = nullptr) const;
    // Where the room's walked way in d leads by the grid (not a link line), past corridor rooms.
    TMudRoom2* GridTarget(const TMudRoom2& room, Dir d) const;
    // Moves the context room's push group one cell in d, shortening corridors that run along d
    // in front of the group and lengthening those that run along d behind it.
    void MoveRoomTo(Dir d);
    // Makes space between A and B by moving the smaller push group: B's one step in d, or A's
    // one step back. On a tie B's group moves.
    // False (and nothing moved) when each group carries the other room along, as a column
    // linked top to bottom does: no push opens a cell between them then.
    bool ExpandRooms(TMudRoom2* a, TMudRoom2* b, Dir d);

private:
    bool AbsorbsPush(const TMudRoom2& room, Dir d) const;
    bool CanPushAside(TMudRoom2* room, Dir d, const TMudRoom2* from, const TMudRoom2* to,
                      Dir& pushDir);
    // The room has walked its way in d and no link line serves it: a link on the grid.
    bool LinkedByGrid(const TMudRoom2& room, Dir d) const;
    TMudRoom2* NewCorridorRoom(int x, int y, int l, Dir d, std::string_view exits);

    MapWorld& world_;
    const DirectionWords& words_;
};

} // namespace map
