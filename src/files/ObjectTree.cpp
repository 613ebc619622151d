#include "files/ObjectTree.h"

#include "text/Text.h"

#include <algorithm>
#include <stdexcept>

namespace storage {

namespace {
// Below this many children a scan is as cheap as keeping an index.
constexpr std::size_t kIndexFrom = 16;
const std::vector<std::string> kNoText;

constexpr char kHeaderStart[] = "<Quarvelin v. ";
constexpr std::string_view kNodeStart = "<node>";
constexpr std::string_view kNodeEnd = "<end node>";
} // namespace

int ObjectNode::Level() const {
    int level = -1;
    for (const ObjectNode* n = parent_; n; n = n->parent_)
        ++level;
    return level;
}

const std::vector<std::string>& ObjectNode::Text() const {
    return text_ ? *text_ : kNoText;
}

ObjectTree::ObjectTree() = default;

void ObjectTree::Clear() {
    root_.children_.clear();
    root_.index_.reset();
    count_ = 0;
}

std::string ObjectTree::IndexKey(const ObjectNode* parent, std::string_view title) const {
    return parent == &root_ ? text::LowerCp1251(title) : std::string(title);
}

void ObjectTree::Indexed(ObjectNode* parent, ObjectNode* child) {
    if (parent->index_) parent->index_->emplace(IndexKey(parent, child->title_), child);
}

ObjectNode* ObjectTree::FindOrAdd(ObjectNode* parentOrNull, std::string_view title) {
    if (title.empty()) return parentOrNull;
    ObjectNode* parent = Parent(parentOrNull);
    auto& kids = parent->children_;
    if (!parent->index_ && kids.size() >= kIndexFrom) {
        parent->index_ = std::make_unique<std::unordered_map<std::string, ObjectNode*>>();
        for (const auto& c : kids)
            parent->index_->emplace(IndexKey(parent, c->title_), c.get());
    }
    if (parent->index_) {
        auto it = parent->index_->find(IndexKey(parent, title));
        if (it != parent->index_->end()) return it->second;
    } else {
        for (const auto& c : kids)
            if (parent == &root_ ? text::EqualsIgnoreCaseCp1251(c->title_, title)
                                 : c->title_ == title)
                return c.get();
    }
    return Add(parentOrNull, title);
}

ObjectNode* ObjectTree::Add(ObjectNode* parentOrNull, std::string_view title) {
    ObjectNode* parent = Parent(parentOrNull);
    auto node = std::make_unique<ObjectNode>();
    node->title_ = std::string(title);
    ObjectNode* added = node.get();
    Attach(parent, parent->children_.size(), std::move(node));
    return added;
}

void ObjectTree::SetTitle(ObjectNode* node, std::string_view title) {
    if (!node || node->title_ == title) return;
    node->title_ = std::string(title);
    DropIndex(node->parent_);
}

std::size_t ObjectTree::CountOf(const ObjectNode* node) {
    std::size_t n = 1;
    for (const auto& c : node->children_)
        n += CountOf(c.get());
    return n;
}

void ObjectTree::Renumber(ObjectNode* parent, std::size_t from) {
    for (std::size_t i = from; i < parent->children_.size(); ++i)
        parent->children_[i]->pos_ = i;
}

std::unique_ptr<ObjectNode> ObjectTree::Detach(ObjectNode* node) {
    ObjectNode* parent = node->parent_;
    auto& kids = parent->children_;
    if (node->pos_ >= kids.size() || kids[node->pos_].get() != node)
        throw std::logic_error("ObjectTree: node not in its parent");
    std::unique_ptr<ObjectNode> owned = std::move(kids[node->pos_]);
    kids.erase(kids.begin() + static_cast<std::ptrdiff_t>(node->pos_));
    Renumber(parent, node->pos_);
    DropIndex(parent);
    owned->parent_ = nullptr;
    count_ -= CountOf(owned.get());
    return owned;
}

void ObjectTree::Attach(ObjectNode* parent, std::size_t at, std::unique_ptr<ObjectNode> node) {
    node->parent_ = parent;
    count_ += CountOf(node.get());
    ObjectNode* raw = node.get();
    at = std::min(at, parent->children_.size());
    const bool last = at == parent->children_.size();
    parent->children_.insert(parent->children_.begin() + static_cast<std::ptrdiff_t>(at),
                             std::move(node));
    Renumber(parent, at);
    // An index maps a title to its first child: only an append keeps that true for free.
    if (last)
        Indexed(parent, raw);
    else
        DropIndex(parent);
}

void ObjectTree::Remove(ObjectNode* node) {
    if (!node || node == &root_) return;
    Detach(node);
}

void ObjectTree::SortChildren(ObjectNode* node) {
    ObjectNode* parent = Parent(node);
    std::stable_sort(parent->children_.begin(), parent->children_.end(),
                     [](const auto& a, const auto& b) {
                         return text::LowerCp1251(a->title_) < text::LowerCp1251(b->title_);
                     });
    Renumber(parent, 0);
    DropIndex(parent);
}

bool ObjectTree::Within(const ObjectNode* node, const ObjectNode* ancestor) {
    for (const ObjectNode* n = node; n; n = n->parent_)
        if (n == ancestor) return true;
    return false;
}

bool ObjectTree::MoveToFirstChild(ObjectNode* node, ObjectNode* target) {
    if (!node || !target || Within(target, node)) return false;
    Attach(target, 0, Detach(node));
    return true;
}

bool ObjectTree::MoveBefore(ObjectNode* node, ObjectNode* target) {
    if (!node || !target || Within(target, node)) return false;
    std::unique_ptr<ObjectNode> owned = Detach(node);
    Attach(target->parent_, target->pos_, std::move(owned));
    return true;
}

ObjectNode* ObjectTree::Next(const ObjectNode* node) const {
    if (!node) return root_.children_.empty() ? nullptr : root_.children_.front().get();
    if (!node->children_.empty()) return node->children_.front().get();
    // Climb until a node has a next sibling.
    for (const ObjectNode* n = node; n && n->parent_; n = n->parent_) {
        const auto& kids = n->parent_->children_;
        if (n->pos_ + 1 < kids.size()) return kids[n->pos_ + 1].get();
    }
    return nullptr;
}

std::string ObjectTree::Key(const ObjectNode* node) {
    std::vector<const ObjectNode*> chain;
    for (const ObjectNode* n = node; n && n->parent_; n = n->parent_)
        chain.push_back(n);
    std::string key;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (!key.empty() || it != chain.rbegin()) key += '.';
        key += (*it)->title_;
    }
    return key;
}

// ---- The file ----

namespace {
void WriteNode(const ObjectNode& node, int level, std::string& out) {
    out.append(kNodeStart).append("\r\n");
    out.append(node.Title()).append("\r\n");
    out.append(std::to_string(level)).append("\r\n");
    for (const std::string& line : node.Text())
        out.append(line).append("\r\n");
    out.append(kNodeEnd).append("\r\n");
    for (const auto& c : node.Children())
        WriteNode(*c, level + 1, out);
}
} // namespace

std::string WriteObjects(const ObjectTree& tree, std::string_view versionText) {
    std::string out = kHeaderStart + std::string(versionText) + ">\r\n";
    for (const auto& n : tree.Roots())
        WriteNode(*n, 0, out);
    return out;
}

ObjectReadResult ReadObjects(std::string_view bytes, ObjectTree& tree) {
    ObjectReadResult result;
    std::size_t pos = 0;
    // One line at a time, without its CR LF (a lone LF ends a line too).
    auto nextLine = [&](std::string_view& line) {
        if (pos >= bytes.size()) return false;
        std::size_t lf = bytes.find('\n', pos);
        std::size_t end = lf == std::string_view::npos ? bytes.size() : lf;
        line = bytes.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        pos = lf == std::string_view::npos ? bytes.size() : lf + 1;
        return true;
    };

    int previous = 0;
    ObjectNode* current = nullptr;
    std::string_view line;
    while (nextLine(line)) {
        if (line != kNodeStart) continue;
        std::string_view title, levelText;
        if (!nextLine(title)) break;
        if (!nextLine(levelText)) levelText = {};
        long long parsed = 0;
        if (!text::ParseInt(levelText, parsed) || parsed < 0 || parsed > 1'000'000) {
            result.error = "'" + std::string(levelText) + "' is not a valid level (record " +
                           std::to_string(result.records + 1) + ", \"" + std::string(title) + "\")";
            return result;
        }
        const int level = static_cast<int>(parsed);
        if (level == 0) {
            current = tree.FindOrAdd(nullptr, title);
        } else if (level == previous) {
            current = tree.FindOrAdd(current ? current->Parent() : nullptr, title);
        } else if (level < previous) {
            ObjectNode* n = current;
            while (n && n->Level() > level)
                n = n->Parent();
            current = tree.FindOrAdd(n ? n->Parent() : nullptr, title);
        } else {
            current = tree.FindOrAdd(current, title);
        }
        previous = level;

        std::vector<std::string> lines;
        while (nextLine(line) && line.find(kNodeEnd) == std::string_view::npos)
            lines.emplace_back(line);
        if (!lines.empty() && current) current->TextList() = std::move(lines);
        ++result.records;
    }
    return result;
}

} // namespace storage
