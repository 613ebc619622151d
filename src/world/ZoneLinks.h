#pragma once
// The context menu's cross-zone operations on the context room: splitting the part of the zone
// beyond it into a new zone (`StartNewZone`), joining the zone one of its link lines leads into
// (`nMergeZone`), and showing the room at the other end of a link line (`nShowZone1Click`).
// Splitting and joining save the whole world, since rooms of both zones and the link lines of
// other zones change together.

#include "map/Direction.h"
#include "world/WorldStore.h"

#include <string>
#include <string_view>

namespace storage {

class ZoneLinks {
public:
    explicit ZoneLinks(WorldStore& store) : store_(store) {}

    // Moves the region beyond the context room in d into a new zone, which becomes current.
    // Rooms are numbered anew from 1; for a horizontal split the first room becomes the origin.
    // False, after the "CantStartNewZone" message, when the region is not joined to the rest
    // of the zone through the context room alone; the walked rooms are left highlighted.
    bool StartNewZone(map::Dir d);
    // Moves the zone that the context room's link line for d leads into next to it in the
    // current zone, then deletes the emptied zone. False, after the "CantMergeZone" message and
    // with nothing changed, without such a line or room, for a line into the current zone, or
    // when a room would land on a room of the current zone.
    bool nMergeZone(map::Dir d);
    // Shows the room at the other end of the context room's link line `index` (from 0),
    // making its zone current first. Lines without a zone, or into a zone the world does not
    // have, are skipped.
    void nShowZone1Click(int index);

private:
    std::string Text(std::string_view key) const;
    // Rewrites the lines of other rooms that lead back to `room` through its own link lines, so
    // that they name `zone` and the room's new number, followed by `tail`.
    void RedirectLinesBack(map::TMudRoom2* room, const std::string& zone, std::string_view tail);
    std::string LineTo(const std::string& zone, map::Dir d, int tag) const;

    WorldStore& store_;
};

} // namespace storage
