#include "view/objects/ObjectTreeModel.h"

#include "text/Cp1251.h"

namespace view {

using storage::ObjectNode;

TObjectTreeModel::TObjectTreeModel(storage::ObjectBase& base, QObject* parent)
    : QAbstractItemModel(parent), base_(base) {
    IndexRows();
}

void TObjectTreeModel::Reload() {
    beginResetModel();
    IndexRows();
    endResetModel();
}

void TObjectTreeModel::IndexRows() {
    rows_.clear();
    rows_.reserve(base_.Tree().Count());
    auto add = [this](const auto& kids, auto& self) -> void {
        for (std::size_t i = 0; i < kids.size(); ++i) {
            rows_.emplace(kids[i].get(), static_cast<int>(i));
            self(kids[i]->Children(), self);
        }
    };
    add(base_.Tree().Roots(), add);
}

void TObjectTreeModel::SetIcons(QIcon withText, QIcon withoutText) {
    withText_ = std::move(withText);
    withoutText_ = std::move(withoutText);
}

void TObjectTreeModel::Refresh(const ObjectNode* node) {
    const QModelIndex i = IndexOf(node);
    if (i.isValid()) emit dataChanged(i, i, {Qt::DecorationRole});
}

ObjectNode* TObjectTreeModel::NodeOf(const QModelIndex& index) {
    return index.isValid() ? static_cast<ObjectNode*>(index.internalPointer()) : nullptr;
}

QModelIndex TObjectTreeModel::IndexOf(const ObjectNode* node) const {
    auto it = node ? rows_.find(node) : rows_.end();
    if (it == rows_.end()) return {};
    return createIndex(it->second, 0, const_cast<ObjectNode*>(node));
}

const std::vector<std::unique_ptr<ObjectNode>>&
TObjectTreeModel::ChildrenOf(const QModelIndex& parent) const {
    const ObjectNode* node = NodeOf(parent);
    return node ? node->Children() : base_.Tree().Roots();
}

QModelIndex TObjectTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0) return {};
    const auto& kids = ChildrenOf(parent);
    if (static_cast<std::size_t>(row) >= kids.size()) return {};
    return createIndex(row, 0, kids[static_cast<std::size_t>(row)].get());
}

QModelIndex TObjectTreeModel::parent(const QModelIndex& child) const {
    const ObjectNode* node = NodeOf(child);
    return node ? IndexOf(node->Parent()) : QModelIndex();
}

int TObjectTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) return 0;
    return static_cast<int>(ChildrenOf(parent).size());
}

int TObjectTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

bool TObjectTreeModel::hasChildren(const QModelIndex& parent) const {
    return !ChildrenOf(parent).empty();
}

QVariant TObjectTreeModel::data(const QModelIndex& index, int role) const {
    const ObjectNode* node = NodeOf(index);
    if (!node) return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return text::ToUnicode(node->Title());
    case Qt::DecorationRole:
        return node->HasText() ? withText_ : withoutText_;
    default:
        return {};
    }
}

bool TObjectTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    ObjectNode* node = NodeOf(index);
    if (!node || role != Qt::EditRole) return false;
    // A title is one line of the file: a pasted line break would split the record.
    QString title = value.toString();
    title.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    base_.SetTitle(node, text::FromUnicode(title));
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::ItemFlags TObjectTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable | Qt::ItemIsDragEnabled |
           Qt::ItemIsDropEnabled;
}

QStringList TObjectTreeModel::mimeTypes() const {
    return {QString::fromLatin1(kNodeMime)};
}

} // namespace view
