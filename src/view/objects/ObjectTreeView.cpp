#include "view/objects/ObjectTreeView.h"

#include <QApplication>
#include <QCursor>
#include <QDrag>
#include <QDragMoveEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QStyledItemDelegate>

namespace view {

using storage::ObjectNode;

// Keeps the base's in-place editing flag up while a title editor exists: adding nodes waits
// until the title is typed.
class TitleDelegate : public QStyledItemDelegate {
public:
    TitleDelegate(TObjectTreeView& view, storage::ObjectBase& base)
        : QStyledItemDelegate(&view), view_(view), base_(base) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        view_.titleEditor_ = qobject_cast<QLineEdit*>(editor);
        base_.editingTitle = true;
        return editor;
    }
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override {
        base_.editingTitle = false;
        if (view_.titleEditor_ == editor) view_.titleEditor_ = nullptr;
        QStyledItemDelegate::destroyEditor(editor, index);
    }

private:
    TObjectTreeView& view_;
    storage::ObjectBase& base_;
};

TObjectTreeView::TObjectTreeView(storage::ObjectBase& base, TObjectTreeModel& model,
                                 QWidget* parent)
    : QTreeView(parent), base_(base), model_(model) {
    setObjectName("TreeViewObjects");
    setModel(&model_);
    setItemDelegate(new TitleDelegate(*this, base_));
    setHeaderHidden(true);
    setUniformRowHeights(true); // keeps scrolling through tens of thousands of rows cheap
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDropIndicatorShown(false); // ours shows "first child" apart from "before"
    setAutoExpandDelay(700);
    connect(this, &QTreeView::expanded, this,
            [this](const QModelIndex& i) { expanded_.insert(TObjectTreeModel::NodeOf(i)); });
    connect(this, &QTreeView::collapsed, this,
            [this](const QModelIndex& i) { expanded_.erase(TObjectTreeModel::NodeOf(i)); });
}

void TObjectTreeView::Reload(const ObjectNode* current) {
    const ObjectNode* edited = titleEditor_ ? TObjectTreeModel::NodeOf(currentIndex()) : nullptr;
    const QString typed = titleEditor_ ? titleEditor_->text() : QString();
    const int cursor = titleEditor_ ? titleEditor_->cursorPosition() : 0;
    spot_ = {};

    model_.Reload();
    std::vector<const ObjectNode*> open;
    open.reserve(expanded_.size());
    for (const ObjectNode* n : expanded_)
        if (model_.Contains(n)) open.push_back(n);
    expanded_.clear();
    for (const ObjectNode* n : open)
        setExpanded(model_.IndexOf(n), true);
    expanded_.insert(open.begin(), open.end());
    if (current) setCurrentIndex(model_.IndexOf(current));

    if (edited && model_.Contains(edited)) {
        const QModelIndex i = model_.IndexOf(edited);
        edit(i);
        if (titleEditor_) {
            titleEditor_->setText(typed);
            titleEditor_->setCursorPosition(cursor);
        }
    }
}

void TObjectTreeView::ExpandAll() {
    expandAll();
    expanded_.clear();
    base_.Tree().ForEach([this](const ObjectNode* n) {
        if (!n->Children().empty()) expanded_.insert(n);
    });
}

void TObjectTreeView::CollapseAll() {
    collapseAll();
    expanded_.clear();
}

// ---- Drag and drop ----

QMimeData* TObjectTreeView::NodeMime(const ObjectNode* node) const {
    auto* mime = new QMimeData;
    mime->setData(TObjectTreeModel::kNodeMime,
                  QByteArray::number(QCoreApplication::applicationPid()) + ' ' +
                      QByteArray::number(reinterpret_cast<quintptr>(this)) + ' ' +
                      QByteArray::number(reinterpret_cast<quintptr>(node)));
    return mime;
}

ObjectNode* TObjectTreeView::DraggedNode(const QMimeData* mime) const {
    if (!mime) return nullptr;
    const QList<QByteArray> parts = mime->data(TObjectTreeModel::kNodeMime).split(' ');
    if (parts.size() != 3 || parts[0].toLongLong() != QCoreApplication::applicationPid() ||
        parts[1].toULongLong() != reinterpret_cast<quintptr>(this))
        return nullptr;
    auto* node = reinterpret_cast<ObjectNode*>(static_cast<quintptr>(parts[2].toULongLong()));
    // The tree may have changed while the node was dragged.
    return model_.Contains(node) ? node : nullptr;
}

QRect TObjectTreeView::LabelRect(const QModelIndex& index) const {
    if (!index.isValid()) return {};
    const QRect row = visualRect(index);
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = row;
    const int width = itemDelegateForIndex(index)->sizeHint(option, index).width();
    return QRect(row.left(), row.top(), std::min(width, row.width()), row.height());
}

TObjectTreeView::DropSpot TObjectTreeView::SpotAt(const QPoint& pos) const {
    const QModelIndex index = indexAt(pos);
    if (!index.isValid()) return {};
    DropSpot spot;
    spot.target = TObjectTreeModel::NodeOf(index);
    spot.label = LabelRect(index);
    spot.asFirstChild = pos.x() > spot.label.right();
    return spot;
}

bool TObjectTreeView::Acceptable(const QMimeData* mime, const DropSpot& spot) const {
    const ObjectNode* node = DraggedNode(mime);
    return node && spot.target && !storage::ObjectTree::Within(spot.target, node);
}

void TObjectTreeView::startDrag(Qt::DropActions) {
    const QModelIndex index = currentIndex();
    const ObjectNode* node = TObjectTreeModel::NodeOf(index);
    if (!node) return;
    // Qt's own drag would remove the rows itself after a move; the base moves the node instead.
    auto* drag = new QDrag(this);
    drag->setMimeData(NodeMime(node));
    const QRect label = LabelRect(index);
    drag->setPixmap(viewport()->grab(label));
    const QPoint at = viewport()->mapFromGlobal(QCursor::pos()) - label.topLeft();
    drag->setHotSpot(QPoint(std::clamp(at.x(), 0, label.width()), label.height() / 2));
    drag->exec(Qt::MoveAction);
}

void TObjectTreeView::dragEnterEvent(QDragEnterEvent* e) {
    QTreeView::dragEnterEvent(e); // the dragging state that auto-expanding needs
    if (DraggedNode(e->mimeData())) {
        e->setDropAction(Qt::MoveAction);
        e->accept();
    } else {
        e->ignore();
    }
}

void TObjectTreeView::dragMoveEvent(QDragMoveEvent* e) {
    QTreeView::dragMoveEvent(e); // scrolling at the edges, opening a hovered node
    const DropSpot spot = SpotAt(e->position().toPoint());
    if (Acceptable(e->mimeData(), spot)) {
        e->setDropAction(Qt::MoveAction);
        e->accept();
        spot_ = spot;
    } else {
        e->ignore();
        spot_ = {};
    }
    viewport()->update();
}

void TObjectTreeView::dragLeaveEvent(QDragLeaveEvent* e) {
    spot_ = {};
    QTreeView::dragLeaveEvent(e);
}

void TObjectTreeView::dropEvent(QDropEvent* e) {
    const DropSpot spot = SpotAt(e->position().toPoint());
    ObjectNode* node = DraggedNode(e->mimeData());
    spot_ = {};
    stopAutoScroll();
    setState(NoState);
    viewport()->update();
    if (!Acceptable(e->mimeData(), spot)) {
        e->ignore();
        return;
    }
    e->setDropAction(Qt::MoveAction);
    e->accept();
    if (base_.Drop(node, spot.target, spot.asFirstChild) && spot.asFirstChild)
        expand(model_.IndexOf(spot.target));
}

void TObjectTreeView::paintEvent(QPaintEvent* e) {
    QTreeView::paintEvent(e);
    if (!spot_.target || !model_.Contains(spot_.target)) return;
    // Recomputed: the view may have scrolled since the spot was found.
    const QModelIndex index = model_.IndexOf(spot_.target);
    const QRect label = LabelRect(index);
    if (label.isEmpty()) return;
    QPainter p(viewport());
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(palette().color(QPalette::Highlight), 2));
    if (spot_.asFirstChild) {
        // A frame round the new parent, a line where the first child will go.
        p.drawRoundedRect(QRectF(label).adjusted(1, 1, -1, -1), 3, 3);
        const int y = label.bottom() + 1;
        p.drawLine(label.left() + indentation(), y, viewport()->width() - 4, y);
    } else {
        const int y = label.top();
        p.drawEllipse(QPointF(label.left() + 3, y), 3, 3);
        p.drawLine(label.left() + 6, y, viewport()->width() - 4, y);
    }
}

} // namespace view
