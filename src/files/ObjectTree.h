#pragma once
// The object base as data: an outline of named nodes, each optionally carrying a report (its
// text lines). Top-level nodes are found by title ignoring case (Windows-1251 letters too),
// children by exact title; a node with many children keeps an index of their titles so that
// filing into a base of tens of thousands of items stays cheap.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace storage {

class ObjectTree;

class ObjectNode {
public:
    const std::string& Title() const { return title_; }
    // The parent node; null for a top-level node.
    ObjectNode* Parent() const { return parent_ && parent_->parent_ ? parent_ : nullptr; }
    const std::vector<std::unique_ptr<ObjectNode>>& Children() const { return children_; }
    // 0 for a top-level node.
    int Level() const;
    bool HasText() const { return text_.has_value(); }
    // The report lines; empty when the node has no text.
    const std::vector<std::string>& Text() const;
    std::optional<std::vector<std::string>>& TextList() { return text_; }

private:
    friend class ObjectTree;
    std::string title_;
    std::optional<std::vector<std::string>> text_;
    ObjectNode* parent_ = nullptr; // the tree's hidden root for a top-level node
    std::size_t pos_ = 0;          // index among the parent's children
    std::vector<std::unique_ptr<ObjectNode>> children_;
    // Title -> first child of that title (top-level nodes: folded title); built on demand.
    std::unique_ptr<std::unordered_map<std::string, ObjectNode*>> index_;
};

class ObjectTree {
public:
    ObjectTree();
    ObjectTree(const ObjectTree&) = delete;
    ObjectTree& operator=(const ObjectTree&) = delete;

    // Top-level nodes in order.
    const std::vector<std::unique_ptr<ObjectNode>>& Roots() const { return root_.children_; }
    bool Empty() const { return root_.children_.empty(); }
    std::size_t Count() const { return count_; }
    void Clear();

    // Without a parent: the first top-level node whose title equals `title` ignoring case, or a
    // new last top-level node. With one: its first child of exactly that title, or a new last
    // child. An empty title gives the parent back unchanged.
    ObjectNode* FindOrAdd(ObjectNode* parent, std::string_view title);
    // A new node as the last child of `parent` (a last top-level node without one).
    ObjectNode* Add(ObjectNode* parent, std::string_view title);
    void SetTitle(ObjectNode* node, std::string_view title);
    // Deletes the node with its descendants.
    void Remove(ObjectNode* node);
    // Sorts the node's direct children (the top-level nodes for null) by title, ignoring
    // letter case; titles that compare equal keep their order.
    void SortChildren(ObjectNode* node);
    // Whether `node` lies inside the subtree of `ancestor` (or is it).
    static bool Within(const ObjectNode* node, const ObjectNode* ancestor);
    // Drag and drop: the node becomes the first child of `target`, or the sibling just before
    // it. False (nothing moves) when the target lies inside the moved subtree.
    bool MoveToFirstChild(ObjectNode* node, ObjectNode* target);
    bool MoveBefore(ObjectNode* node, ObjectNode* target);

    // Tree order (pre-order): the next node after `node`, or the first node for null.
    ObjectNode* Next(const ObjectNode* node) const;
    // Calls f(node) for every node in tree order.
    template <class F> void ForEach(F&& f) const {
        for (ObjectNode* n = Next(nullptr); n; n = Next(n))
            f(n);
    }
    // The titles from the top-level node down to `node` joined by ".".
    static std::string Key(const ObjectNode* node);

private:
    ObjectNode* Parent(ObjectNode* parent) { return parent ? parent : &root_; }
    std::string IndexKey(const ObjectNode* parent, std::string_view title) const;
    void Indexed(ObjectNode* parent, ObjectNode* child);
    static void DropIndex(ObjectNode* parent) { parent->index_.reset(); }
    std::unique_ptr<ObjectNode> Detach(ObjectNode* node);
    void Attach(ObjectNode* parent, std::size_t at, std::unique_ptr<ObjectNode> node);
    static void Renumber(ObjectNode* parent, std::size_t from);
    static std::size_t CountOf(const ObjectNode* node);

    ObjectNode root_; // holds the top-level nodes; never shown
    std::size_t count_ = 0;
};

// ---- The file "objects.dat" ----

// "<Quarvelin v. " + version + ">", then a record per node in tree order: "<node>", the title,
// the level, the text lines, "<end node>". CR LF line ends.
std::string WriteObjects(const ObjectTree& tree, std::string_view versionText);

struct ObjectReadResult {
    std::size_t records = 0; // records filed
    std::string error;       // empty when the whole text was read
    bool ok() const { return error.empty(); }
};
// Reads the records of an objects file (or a TreePad outline) into the tree, merging titles
// that already exist at the same place. Lines outside records are ignored. A level that is not
// a number ends the reading; the records before it stay.
ObjectReadResult ReadObjects(std::string_view bytes, ObjectTree& into);

} // namespace storage
