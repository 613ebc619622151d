#include "view/window/ZoneTreePanel.h"

#include "text/Cp1251.h"
#include "world/ZoneTree.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTimer>

namespace view {

namespace {
constexpr int kNodeRole = Qt::UserRole + 1;

// The current zone's folder carries a green mark so it can be told from the others at a glance.
QIcon Marked(const QIcon& base, QColor mark) {
    QPixmap pm = base.pixmap(16, 16);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::black);
    p.setBrush(mark);
    p.drawEllipse(QRectF(9, 9, 6, 6));
    return QIcon(pm);
}

// State image 5: a small padlock over the zone's folder.
QIcon Locked(const QIcon& base) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    if (!base.isNull()) pm = base.pixmap(16, 16);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(1.5, 0.5, 6, 7), 0, 180 * 16);
    p.setBrush(QColor(230, 180, 0));
    p.drawRect(QRectF(0.5, 4, 8, 6));
    return QIcon(pm);
}
// The editor's text never goes into the item directly: the zone operations decide whether the
// node takes it (a zone whose file cannot be renamed keeps its name), and the tree follows.
class NodeEditDelegate : public QStyledItemDelegate {
public:
    explicit NodeEditDelegate(TZoneTreePanel* tree) : QStyledItemDelegate(tree), tree_(tree) {}
    // A zone that shows its area's name is still renamed from its own name.
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* line = qobject_cast<QLineEdit*>(editor);
        auto* node = static_cast<storage::ZoneTreeNode*>(index.data(kNodeRole).value<void*>());
        if (line && node)
            line->setText(text::ToUnicode(node->text));
        else
            QStyledItemDelegate::setEditorData(editor, index);
    }
    void setModelData(QWidget* editor, QAbstractItemModel*,
                      const QModelIndex& index) const override {
        auto* line = qobject_cast<QLineEdit*>(editor);
        auto* node = static_cast<storage::ZoneTreeNode*>(index.data(kNodeRole).value<void*>());
        if (line && node) tree_->CommitEdit(node, line->text());
    }

private:
    TZoneTreePanel* tree_;
};
} // namespace

TZoneTreePanel::TZoneTreePanel(storage::ZoneTree& model, QWidget* parent)
    : QTreeWidget(parent), model_(model) {
    setObjectName("TreeViewZones");
    setHeaderHidden(true);
    setColumnCount(1);
    setExpandsOnDoubleClick(false); // a double click opens a zone or walks to a room instead
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIconSize(QSize(16, 16));
    setItemDelegate(new NodeEditDelegate(this));

    QStyle* s = style();
    const QIcon closed = s->standardIcon(QStyle::SP_DirClosedIcon);
    const QIcon open = s->standardIcon(QStyle::SP_DirOpenIcon);
    pictures_ = {closed,
                 open,
                 Marked(closed, QColor(0, 190, 0)),
                 Marked(open, QColor(0, 190, 0)),
                 s->standardIcon(QStyle::SP_FileIcon),
                 Locked(QIcon())};

    model_.onChanged = [this] {
        // The model changed under the user's own expand or collapse: only pictures changed.
        if (userChange_) return;
        Rebuild();
    };
    auto expandedChanged = [this](QTreeWidgetItem* item, bool expanded) {
        storage::ZoneTreeNode* node = NodeOf(item);
        if (rebuilding_ || !node) return;
        userChange_ = true;
        expanded ? model_.Expand(node) : model_.Collapse(node);
        userChange_ = false;
        item->setIcon(0, Picture(node->image, node->stateImage));
    };
    connect(this, &QTreeWidget::itemExpanded, this,
            [expandedChanged](QTreeWidgetItem* item) { expandedChanged(item, true); });
    connect(this, &QTreeWidget::itemCollapsed, this,
            [expandedChanged](QTreeWidgetItem* item) { expandedChanged(item, false); });
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (!rebuilding_) model_.Select(NodeOf(item));
    });
    connect(this, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        // What the double click does may rebuild the items: only the node is kept.
        storage::ZoneTreeNode* node = NodeOf(item);
        if (node && onDoubleClick) onDoubleClick(node);
    });
    model_.onEditRequested = [this](storage::ZoneTreeNode* node) { StartEditing(node); };
    Rebuild();
}

TZoneTreePanel::~TZoneTreePanel() {
    model_.onChanged = nullptr;
    model_.onEditRequested = nullptr;
}

bool TZoneTreePanel::InModel(const storage::ZoneTreeNode* node) const {
    const storage::ZoneTreeNode* root = model_.Root();
    if (!root || !node) return false;
    if (node == root) return true;
    for (const auto& zone : root->children) {
        if (zone.get() == node) return true;
        for (const auto& room : zone->children)
            if (room.get() == node) return true;
    }
    return false;
}

void TZoneTreePanel::StartEditing(storage::ZoneTreeNode* node) {
    QTreeWidgetItem* item = node && node->Level() > 0 ? ItemOf(node) : nullptr;
    if (!item) return;
    setCurrentItem(item);
    scrollToItem(item);
    editItem(item, 0);
}

void TZoneTreePanel::CommitEdit(storage::ZoneTreeNode* node, const QString& text) {
    // Renaming rebuilds the items; that waits until the editor is gone.
    QTimer::singleShot(0, this, [this, node, text] {
        if (!InModel(node) || !onEdited) return;
        bool representable = false;
        const std::string newText = text::FromUnicode(text, &representable);
        if (!representable) return;
        if (newText != node->text) onEdited(node, newText);
    });
}

void TZoneTreePanel::SetRoomIcons(const std::vector<QImage>& icons) {
    pictures_.resize(6);
    for (const QImage& icon : icons)
        pictures_.push_back(QIcon(QPixmap::fromImage(icon)));
    // The skin is read again on every activation of the window: the pictures change in place,
    // so that a node's text being edited stays in its editor.
    for (QTreeWidgetItemIterator it(this); *it; ++it)
        if (const storage::ZoneTreeNode* node = NodeOf(*it))
            (*it)->setIcon(0, Picture(node->image, node->stateImage));
}

QIcon TZoneTreePanel::Picture(int image, int stateImage) const {
    QIcon icon =
        image >= 0 && image < static_cast<int>(pictures_.size()) ? pictures_[image] : QIcon();
    if (stateImage == storage::kLockedStateImage) icon = Locked(icon);
    return icon;
}

storage::ZoneTreeNode* TZoneTreePanel::NodeOf(const QTreeWidgetItem* item) const {
    if (!item) return nullptr;
    return static_cast<storage::ZoneTreeNode*>(item->data(0, kNodeRole).value<void*>());
}

QTreeWidgetItem* TZoneTreePanel::ItemOf(const storage::ZoneTreeNode* node) const {
    for (QTreeWidgetItemIterator it(const_cast<TZoneTreePanel*>(this)); *it; ++it)
        if (NodeOf(*it) == node) return *it;
    return nullptr;
}

void TZoneTreePanel::AddItems(storage::ZoneTreeNode* node, QTreeWidgetItem* item) {
    item->setText(0, text::ToUnicode(model_.Shown(node)));
    item->setData(0, kNodeRole, QVariant::fromValue(static_cast<void*>(node)));
    item->setIcon(0, Picture(node->image, node->stateImage));
    if (node->Level() > 0) item->setFlags(item->flags() | Qt::ItemIsEditable);
    if (node->current) {
        QFont f = item->font(0);
        f.setBold(true);
        item->setFont(0, f);
    }
    for (const auto& child : node->children)
        AddItems(child.get(), new QTreeWidgetItem(item));
    item->setExpanded(node->expanded);
}

void TZoneTreePanel::Rebuild() {
    rebuilding_ = true;
    const int scroll = verticalScrollBar() ? verticalScrollBar()->value() : 0;
    clear();
    if (storage::ZoneTreeNode* root = model_.Root()) {
        auto* item = new QTreeWidgetItem(this);
        AddItems(root, item);
    }
    if (QTreeWidgetItem* selected = model_.Selected() ? ItemOf(model_.Selected()) : nullptr)
        setCurrentItem(selected);
    verticalScrollBar()->setValue(scroll);
    rebuilding_ = false;
}

} // namespace view
