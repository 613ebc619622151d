#include "map/WorldConversions.h"

#include "map/MapWorld.h"
#include "profile/WorldProfile.h"
#include "text/Text.h"

#include <vector>

namespace map {

namespace {
// Refiling a room may reorder the lists, so the rooms are collected before any is changed.
std::vector<TMudRoom2*> WorldRooms(const MapWorld& world) {
    std::vector<TMudRoom2*> rooms;
    world.Lists().ForEachWorldRoom([&](TMudRoom2* r, const std::string&) { rooms.push_back(r); });
    return rooms;
}
} // namespace

int ReplaceRoomColor(MapWorld& world, Color from, Color to) {
    int changed = 0;
    for (TMudRoom2* room : WorldRooms(world)) {
        if (room->BColor != from) continue;
        room->BColor = to;
        ++changed;
    }
    if (changed) world.Saved = false;
    return changed;
}

int ConvertExitWords(MapWorld& world, const std::array<std::string, kDirCount>& from,
                     const std::array<std::string, kDirCount>& to) {
    // The exit states follow the words the lists are now written in.
    profile::WorldProfile parsing = world.Profile();
    parsing.ExitWords = to;
    static constexpr Dir kOrder[] = {North, South, West, East, Up, Down};
    int changed = 0;
    for (TMudRoom2* room : WorldRooms(world)) {
        std::string exits = room->Exits();
        for (Dir d : kOrder)
            if (!from[d].empty()) exits = text::ReplaceAll(exits, from[d], to[d]);
        const bool textChanged = exits != room->Exits();
        const auto states = room->ExitStates();
        room->SetExits(std::move(exits), parsing);
        if (!textChanged && states == room->ExitStates()) continue;
        world.RoomChanged(room);
        ++changed;
    }
    if (changed) world.Saved = false;
    return changed;
}

} // namespace map
