#pragma once
// Changes made to every room of the world at once, from the settings dialog: one room colour
// replaced by another, and the exit lists rewritten in other exit words.

#include "map/MudRoom.h"

#include <array>
#include <string>

namespace map {

class MapWorld;

// Every room of every zone whose colour is `from` takes `to`. Returns the number of rooms
// changed; the world is then unsaved.
int ReplaceRoomColor(MapWorld& world, Color from, Color to);

// Rewrites the exit list of every room of the world: all occurrences of the old north word
// become the new north word (exact text), then south, west, east, up and down in that order.
// Words are in the profile's order (north, south, east, west, up, down). The exit states are
// computed again with the new words, the words the exit lists are now written in; the room
// indexes follow. An empty old word is left alone. Returns the number of rooms changed.
int ConvertExitWords(MapWorld& world, const std::array<std::string, kDirCount>& from,
                     const std::array<std::string, kDirCount>& to);

} // namespace map
