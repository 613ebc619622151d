#pragma once
// The grid walks behind splitting a zone and joining two zones: the walk round the region that
// lies beyond a room, the growth of that region over links, and the check that a zone fits
// beside the current one.
//
// A direction is "open" on a room when its link flag is set and no link line leaves that way
// (`HasJump` gives -1 for the direction's Directions phrase): a flag that goes with a link line
// leads into another zone, not to the grid neighbour.

#include "map/Direction.h"
#include "map/DirectionWords.h"
#include "map/MapWorld.h"

#include <optional>
#include <string_view>
#include <vector>

namespace map {

// Whether the room is linked on the grid in d (flag set, no link line for d).
bool OpenOnGrid(const MapWorld& world, const DirectionWords& words, const TMudRoom2& room, Dir d);

// `ListAtHand`: walks from `start` in d (north, south, east or west) along the edge of the
// region beyond it, keeping the region's links on its right, and appends every room walked to
// `list` (once each) with its Checked set. True when the walk went round the region and came
// back, that is when its turns add up to exactly two left turns. A walk that reaches a room
// again with the same heading would go round for ever: it stops there and has failed.
bool ListAtHand(const MapWorld& world, const DirectionWords& words, Dir d, TMudRoom2* start,
                std::vector<TMudRoom2*>& list);

// `ListAtStart`: grows `list` over grid links, in list order, with every linked neighbour of
// the current zone that is not `start` and not yet listed. A split down does not follow up
// links, a split up not down links.
void ListAtStart(const MapWorld& world, const DirectionWords& words, TMudRoom2* start,
                 std::vector<TMudRoom2*>& list, Dir d);

// The rooms of `zone` in world-list order, or nullopt when one of them, moved by the offset,
// would stand on a room of the current zone.
std::optional<std::vector<TMudRoom2*>> RoomsThatFit(const MapWorld& world, std::string_view zone,
                                                    int dx, int dy, int dl);

} // namespace map
