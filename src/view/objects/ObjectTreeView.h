#pragma once
// `TreeViewObjects`: the object tree with in-place title editing and dragging of nodes. A node
// dropped on the right of another node's label becomes that node's first child; dropped
// elsewhere on a node it goes before it. The base refuses a drop into the dragged subtree.

#include "view/objects/ObjectTreeModel.h"

#include <QLineEdit>
#include <QPointer>
#include <QTreeView>
#include <unordered_set>

class QMimeData;

namespace view {

class TObjectTreeView : public QTreeView {
    Q_OBJECT
public:
    TObjectTreeView(storage::ObjectBase& base, TObjectTreeModel& model, QWidget* parent = nullptr);

    // The base's tree changed: the model is reset, keeping what was expanded and a title being
    // typed, and `current` becomes the current node.
    void Reload(const storage::ObjectNode* current);
    void ExpandAll();
    void CollapseAll();
    // The editor of the title being typed, if any.
    QLineEdit* TitleEditor() const { return titleEditor_; }

    // The drag payload of a node: it names this program, this view and the node, so that a drop
    // from another window or program is never taken for one of ours.
    QMimeData* NodeMime(const storage::ObjectNode* node) const;
    storage::ObjectNode* DraggedNode(const QMimeData* mime) const;

    // Where a drop at a viewport position would put the dragged node.
    struct DropSpot {
        storage::ObjectNode* target = nullptr;
        bool asFirstChild = false;
        QRect label; // the target's label, for the indicator
    };
    DropSpot SpotAt(const QPoint& pos) const;
    // The node's icon and title, without the free part of its row.
    QRect LabelRect(const QModelIndex& index) const;

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dragLeaveEvent(QDragLeaveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    friend class TitleDelegate;
    bool Acceptable(const QMimeData* mime, const DropSpot& spot) const;

    storage::ObjectBase& base_;
    TObjectTreeModel& model_;
    // Kept by us: the view's own record of expanded rows does not survive a reset.
    std::unordered_set<const storage::ObjectNode*> expanded_;
    QPointer<QLineEdit> titleEditor_;
    DropSpot spot_; // the indicator while a drag hovers
};

} // namespace view
