#include "world/QuickList.h"

namespace storage {

ZoneTreeNode* QuickList::AddNode(map::TMudRoom2* room, std::string_view text) {
    ZoneTree& tree = store_.Tree();
    ZoneTreeNode* zone = tree.FindZone(store_.CurrentZone());
    if (!zone || !room) return nullptr;
    room->QuickList = std::string(text);
    ZoneTreeNode* node = tree.AddQuickListNode(zone, room);
    tree.Select(node);
    return node;
}

ZoneTreeNode* QuickList::nAddToQuickListClick() {
    map::TMudRoom2* room = store_.Model().World().ContextRoom;
    if (!room) return nullptr;
    if (!store_.Ui().ZonePanelVisible()) store_.Ui().ShowZonePanel();
    ZoneTreeNode* node = AddNode(room, room->Hint);
    if (node) store_.Tree().RequestEdit(node);
    return node;
}

ZoneTreeNode* QuickList::AddAlias(map::TMudRoom2* room, std::string_view name) {
    WorldUi& ui = store_.Ui();
    const bool hidden = !ui.ZonePanelVisible();
    if (hidden) ui.ShowZonePanel();
    ZoneTreeNode* node = AddNode(room, name);
    if (hidden) ui.HideZonePanel();
    return node;
}

void QuickList::nRemoveRoomClick() {
    map::TMudRoom2* room = store_.Model().World().ContextRoom;
    if (!room) return;
    ZoneTree& tree = store_.Tree();
    tree.RemoveQuickListNodes(room, tree.FindZone(store_.CurrentZone()));
    room->QuickList.clear();
}

void QuickList::nnRemoveRoomClick() {
    ZoneTree& tree = store_.Tree();
    ZoneTreeNode* node = tree.Selected();
    if (!node || node->Level() != 2) return;
    if (node->room) node->room->QuickList.clear();
    tree.Remove(node);
    store_.Model().World().Saved = false;
}

void QuickList::nnShowOnMapClick() {
    ZoneTreeNode* node = store_.Tree().Selected();
    if (!node || node->Level() != 2 || !node->room || !node->parent) return;
    map::MapWorld& world = store_.Model().World();
    map::TMudRoom2* room = node->room;
    const std::string zone = node->parent->text;
    if (zone != world.CurrentZone) {
        store_.SaveZone();
        store_.ClearZone();
        world.CurrentZone = zone;
        store_.LoadZone();
    }
    store_.Ui().CenterMap();
    world.ViewLevel = room->L;
    store_.Ui().ShowRoom(*room);
    room->Checked = true;
    world.Ui().Repaint();
}

map::TMudRoom2* QuickList::SelectTarget() {
    ZoneTreeNode* node = store_.Tree().Selected();
    if (!node || node->Level() != 2 || !node->room) return nullptr;
    store_.Model().World().ContextRoom = node->room;
    return node->room;
}

} // namespace storage
