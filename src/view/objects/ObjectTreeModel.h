#pragma once
// The object base's tree as an item model over the nodes themselves: an index carries its node,
// so a base of tens of thousands of reports needs no copy of items. The base only says that its
// tree changed, after the fact, so the model is reset then; rows of the nodes are looked up in
// a table rebuilt with every reset.

#include "world/ObjectBase.h"

#include <QAbstractItemModel>
#include <QIcon>
#include <unordered_map>

namespace view {

class TObjectTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    // The one format of a node dragged within the tree.
    static constexpr const char* kNodeMime = "application/x-quarvelin-object-node";

    explicit TObjectTreeModel(storage::ObjectBase& base, QObject* parent = nullptr);

    // The tree changed in the base: every index is new.
    void Reload();
    // Whether the node still belongs to the tree (a pointer kept across a change may not).
    bool Contains(const storage::ObjectNode* node) const { return rows_.count(node) != 0; }
    QModelIndex IndexOf(const storage::ObjectNode* node) const;
    static storage::ObjectNode* NodeOf(const QModelIndex& index);
    // A node gained or lost its report: its picture changes.
    void Refresh(const storage::ObjectNode* node);
    // Nodes with a report and nodes without one look different.
    void SetIcons(QIcon withText, QIcon withoutText);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
    Qt::DropActions supportedDragActions() const override { return Qt::MoveAction; }

private:
    const std::vector<std::unique_ptr<storage::ObjectNode>>&
    ChildrenOf(const QModelIndex& parent) const;
    void IndexRows();

    storage::ObjectBase& base_;
    std::unordered_map<const storage::ObjectNode*, int> rows_;
    QIcon withText_, withoutText_;
};

} // namespace view
