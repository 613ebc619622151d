#pragma once
// The context menu's operations on the context room: delete it (a corridor room takes its
// whole corridor along), shift it by one cell, toggle a door, set its colour or one mark.

#include "map/Direction.h"
#include "map/DirectionWords.h"
#include "map/MapLinker.h"
#include "map/MapWorld.h"

namespace map {

// The mark items of the room menu, by their menu tag.
enum class RoomMark { DT = 2, FlyDT = 3, Agro = 4, NoStep = 5 };

class MapEditor {
public:
    MapEditor(MapWorld& world, MapLinker& linker, const DirectionWords& words)
        : world_(world), linker_(linker), words_(words) {}

    // Deletes the context room: unlinks it in every linked direction (removing the corridor
    // rooms on the way), takes back the link lines that other zones' rooms hold to it, and
    // destroys it. Deleting the player's room switches tracing off.
    void DeleteRoom();
    // Shifts the context room's push group one cell in d, then updates the view.
    void MoveRoom(Dir d);
    // nDoorClick: puts the exit word of d in parentheses in the context room's Exits, or takes
    // the parentheses away when there is a door already.
    void ToggleDoor(Dir d);
    // nPropClick: tag 1 opens the colour dialog, tags 2 to 5 toggle one mark (RoomMark).
    void nPropClick(int tag);
    void PickColor() { nPropClick(1); }
    void ToggleMark(RoomMark mark) { nPropClick(static_cast<int>(mark)); }

private:
    MapWorld& world_;
    MapLinker& linker_;
    const DirectionWords& words_;
};

} // namespace map
