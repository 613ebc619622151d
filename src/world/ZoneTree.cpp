#include "world/ZoneTree.h"

#include "text/Text.h"

#include <algorithm>

namespace storage {

namespace {

// Tree order: without regard to letter case, Cyrillic included, as the tree widget sorts.
bool TextLess(const std::unique_ptr<ZoneTreeNode>& a, const std::unique_ptr<ZoneTreeNode>& b) {
    return text::LowerCp1251(a->text) < text::LowerCp1251(b->text);
}

} // namespace

void ZoneTree::Clear() {
    root_.reset();
    selected_ = nullptr;
    Changed();
}

ZoneTreeNode* ZoneTree::AddRoot(std::string_view worldName) {
    root_ = std::make_unique<ZoneTreeNode>();
    root_->text = std::string(worldName);
    selected_ = nullptr;
    Changed();
    return root_.get();
}

std::vector<ZoneTreeNode*> ZoneTree::Zones() const {
    std::vector<ZoneTreeNode*> zones;
    if (root_)
        for (const auto& child : root_->children)
            zones.push_back(child.get());
    return zones;
}

ZoneTreeNode* ZoneTree::FindZone(std::string_view zone) const {
    if (!root_) return nullptr;
    for (const auto& child : root_->children)
        if (child->text == zone) return child.get();
    return nullptr;
}

std::string ZoneTree::Shown(const ZoneTreeNode* node) const {
    if (!node) return {};
    if (node->Level() == 1 && zoneCaption) {
        std::string caption = zoneCaption(node->text);
        if (!caption.empty()) return caption;
    }
    return node->text;
}

ZoneTreeNode* ZoneTree::AddZone(std::string_view zone, int image) {
    if (!root_) return nullptr;
    auto node = std::make_unique<ZoneTreeNode>();
    node->text = std::string(zone);
    node->image = image;
    node->current = image >= 2;
    node->parent = root_.get();
    ZoneTreeNode* added = node.get();
    root_->children.push_back(std::move(node));
    Place(added);
    Changed();
    return added;
}

ZoneTreeNode* ZoneTree::AddQuickListNode(ZoneTreeNode* zone, map::TMudRoom2* room) {
    if (!zone || !room) return nullptr;
    auto node = std::make_unique<ZoneTreeNode>();
    node->text = room->QuickList;
    node->room = room;
    node->image = QuickListImage(*room);
    node->parent = zone;
    ZoneTreeNode* added = node.get();
    zone->children.push_back(std::move(node));
    Place(added);
    Changed();
    return added;
}

bool ZoneTree::Contains(const ZoneTreeNode* under, const ZoneTreeNode* node) const {
    for (const ZoneTreeNode* n = node; n; n = n->parent)
        if (n == under) return true;
    return false;
}

void ZoneTree::Remove(ZoneTreeNode* node) {
    if (!node) return;
    if (Contains(node, selected_)) selected_ = nullptr;
    if (node == root_.get()) {
        root_.reset();
    } else {
        auto& siblings = node->parent->children;
        siblings.erase(std::find_if(siblings.begin(), siblings.end(),
                                    [&](const auto& c) { return c.get() == node; }));
    }
    Changed();
}

void ZoneTree::RemoveChildren(ZoneTreeNode* node) {
    if (!node || node->children.empty()) return;
    if (selected_ && selected_ != node && Contains(node, selected_)) selected_ = nullptr;
    node->children.clear();
    Changed();
}

void ZoneTree::SetText(ZoneTreeNode* node, std::string_view text) {
    if (!node) return;
    node->text = std::string(text);
    Place(node);
    Changed();
}

int ZoneTree::ImageFor(const ZoneTreeNode* node) {
    if (node->room) return node->image;
    return (node->current ? 2 : 0) + (node->expanded ? 1 : 0);
}

void ZoneTree::Expand(ZoneTreeNode* node) {
    if (!node) return;
    node->expanded = true;
    node->image = ImageFor(node);
    Changed();
}

void ZoneTree::Collapse(ZoneTreeNode* node) {
    if (!node) return;
    node->expanded = false;
    node->image = ImageFor(node);
    Changed();
}

void ZoneTree::SetCurrent(ZoneTreeNode* zone, bool current) {
    if (!zone) return;
    zone->current = current;
    zone->image = ImageFor(zone);
    Changed();
}

void ZoneTree::SetSorted(bool on) {
    sorted_ = on;
    if (on && root_) {
        SortChildren(root_.get());
        for (auto& zone : root_->children)
            SortChildren(zone.get());
        Changed();
    }
}

void ZoneTree::SortChildren(ZoneTreeNode* node) {
    std::stable_sort(node->children.begin(), node->children.end(), TextLess);
}

void ZoneTree::Place(ZoneTreeNode* node) {
    if (!sorted_ || !node->parent) return;
    auto& siblings = node->parent->children;
    auto it = std::find_if(siblings.begin(), siblings.end(),
                           [&](const auto& c) { return c.get() == node; });
    std::unique_ptr<ZoneTreeNode> owned = std::move(*it);
    siblings.erase(it);
    // After every sibling that does not sort behind it: equal texts keep their order.
    auto place = std::upper_bound(siblings.begin(), siblings.end(), owned, TextLess);
    siblings.insert(place, std::move(owned));
}

void ZoneTree::RemoveQuickListNodes(const map::TMudRoom2* room, ZoneTreeNode* zone) {
    if (!root_ || !room) return;
    bool removed = false;
    for (auto& z : root_->children) {
        if (zone && z.get() != zone) continue;
        auto& rooms = z->children;
        for (auto it = rooms.begin(); it != rooms.end();) {
            if ((*it)->room == room) {
                if (selected_ == it->get()) selected_ = nullptr;
                it = rooms.erase(it);
                removed = true;
            } else {
                ++it;
            }
        }
    }
    if (removed) Changed();
}

void ZoneTree::SetQuickListNodeImage(const map::TMudRoom2* room, int image) {
    if (!root_ || !room) return;
    for (auto& z : root_->children)
        for (auto& r : z->children)
            if (r->room == room) r->image = image;
    Changed();
}

} // namespace storage
