#pragma once
// The quick list: rooms with a name of their own (their QuickList text), shown under their
// zone in the zone tree and known to the run-to command by that name.

#include "world/WorldStore.h"

#include <string_view>

namespace storage {

class QuickList {
public:
    explicit QuickList(WorldStore& store) : store_(store) {}

    // "Включить в список": the context room joins the list under its name, and the new node's
    // text is put into editing so that the player can name it at once. Null without a context
    // room or a node for the current zone.
    ZoneTreeNode* nAddToQuickListClick();
    // The client's alias command: the room joins the list under `name`; the zone panel shows
    // while the node is added. Null when the current zone has no node.
    ZoneTreeNode* AddAlias(map::TMudRoom2* room, std::string_view name);
    // "Убрать из списка" on the map: the context room leaves the list.
    void nRemoveRoomClick();
    // "Убрать из списка" in the tree: the selected node's room leaves the list.
    void nnRemoveRoomClick();
    // "Показать на карте": opens the node's zone when needed and shows its room.
    void nnShowOnMapClick();
    // The selected quick-list node's room, made the context room (the tree's speedwalk items);
    // null when the selection is no quick-list node.
    map::TMudRoom2* SelectTarget();

private:
    ZoneTreeNode* AddNode(map::TMudRoom2* room, std::string_view text);

    WorldStore& store_;
};

} // namespace storage
