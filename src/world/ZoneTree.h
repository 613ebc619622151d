#pragma once
// The zone tree as data: one root node for the world, a node per zone under it, and under each
// zone a node per quick-list room. The tree widget shows this model and reports the user's
// clicks and edits back to the zone operations; the model never touches a widget.
//
// Images: the root and a plain zone node 0 collapsed, 1 expanded; the current zone 2 collapsed,
// 3 expanded; a quick-list room 4 without a picture, else 6 + its ImageIndex. A locked zone
// carries the state image 5.

#include "map/MudRoom.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace storage {

inline constexpr int kNoStateImage = -1;
inline constexpr int kLockedStateImage = 5;

struct ZoneTreeNode {
    std::string text;               // world name, zone name or the room's QuickList text
    map::TMudRoom2* room = nullptr; // level 2 only
    int image = 0;
    int stateImage = kNoStateImage;
    bool expanded = false;
    bool current = false; // a zone node of the current zone (images 2 and 3)
    ZoneTreeNode* parent = nullptr;
    std::vector<std::unique_ptr<ZoneTreeNode>> children;

    int Level() const { return parent ? parent->Level() + 1 : 0; }
};

using map::QuickListImage;

class ZoneTree {
public:
    ZoneTree() = default;
    ZoneTree(const ZoneTree&) = delete;
    ZoneTree& operator=(const ZoneTree&) = delete;

    ZoneTreeNode* Root() const { return root_.get(); }
    void Clear();
    ZoneTreeNode* AddRoot(std::string_view worldName);

    // Zone nodes under the root, in tree order (sorted by text while sorting is on).
    std::vector<ZoneTreeNode*> Zones() const;
    ZoneTreeNode* FindZone(std::string_view zone) const;
    ZoneTreeNode* AddZone(std::string_view zone, int image = 0);
    ZoneTreeNode* AddQuickListNode(ZoneTreeNode* zone, map::TMudRoom2* room);
    // Deletes the node with its children; the selection falls back to nothing.
    void Remove(ZoneTreeNode* node);
    void RemoveChildren(ZoneTreeNode* node);
    // Gives a node a new text and puts it in its place when sorting is on.
    void SetText(ZoneTreeNode* node, std::string_view text);

    // Collapsing and expanding give the node the image that goes with its new state.
    void Expand(ZoneTreeNode* node);
    void Collapse(ZoneTreeNode* node);
    // Marks a zone node as the current zone (or not) and sets its image.
    void SetCurrent(ZoneTreeNode* zone, bool current);

    ZoneTreeNode* Selected() const { return selected_; }
    void Select(ZoneTreeNode* node) { selected_ = node; }

    // Zone nodes (and the rooms under them) are kept in text order while sorting is on;
    // switching it on sorts what is there.
    bool Sorted() const { return sorted_; }
    void SetSorted(bool on);

    // Quick-list nodes of a room under one zone node (or under every zone when null).
    void RemoveQuickListNodes(const map::TMudRoom2* room, ZoneTreeNode* zone = nullptr);
    void SetQuickListNodeImage(const map::TMudRoom2* room, int image);

    // What a node shows: its text, or for a zone what `zoneCaption` gives when not empty (the
    // text stays the zone's name, which is also what editing starts from).
    std::function<std::string(std::string_view zone)> zoneCaption;
    std::string Shown(const ZoneTreeNode* node) const;
    // Tells the tree widget that what nodes show changed without a change of the model.
    void Refresh() { Changed(); }

    // The tree widget follows the model through this: called after every change.
    std::function<void()> onChanged;
    // Asked to start editing a node's text (a new zone made from the menu is named at once).
    std::function<void(ZoneTreeNode*)> onEditRequested;

    void RequestEdit(ZoneTreeNode* node) {
        if (onEditRequested) onEditRequested(node);
    }

private:
    void Changed() {
        if (onChanged) onChanged();
    }
    void Place(ZoneTreeNode* node);
    static void SortChildren(ZoneTreeNode* node);
    static int ImageFor(const ZoneTreeNode* node);
    bool Contains(const ZoneTreeNode* under, const ZoneTreeNode* node) const;

    std::unique_ptr<ZoneTreeNode> root_;
    ZoneTreeNode* selected_ = nullptr;
    bool sorted_ = true;
};

} // namespace storage
