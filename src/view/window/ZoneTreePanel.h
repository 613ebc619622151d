#pragma once
// `TreeViewZones`: the zone tree model shown as it is — the world, its zones, each zone's
// quick-list rooms — with the model's pictures. The widget follows the model's changes; the
// user's expanding, collapsing and selecting go back into the model.

#include <QIcon>
#include <QImage>
#include <QTreeWidget>
#include <functional>
#include <string>
#include <vector>

namespace storage {
class ZoneTree;
struct ZoneTreeNode;
} // namespace storage

namespace view {

class TZoneTreePanel : public QTreeWidget {
    Q_OBJECT
public:
    TZoneTreePanel(storage::ZoneTree& model, QWidget* parent = nullptr);
    ~TZoneTreePanel() override;

    // Pictures 6 and up: the skin's icons (a room's ImageIndex k shows icon k).
    void SetRoomIcons(const std::vector<QImage>& icons);
    // Builds the items anew from the model.
    void Rebuild();
    storage::ZoneTreeNode* NodeOf(const QTreeWidgetItem* item) const;
    QTreeWidgetItem* ItemOf(const storage::ZoneTreeNode* node) const;

    // A double click on a node.
    std::function<void(storage::ZoneTreeNode*)> onDoubleClick;
    // The end of editing a node's text, with the new text (Windows-1251); true when the node
    // takes it. Until then, and when it does not, the node shows its old text.
    std::function<bool(storage::ZoneTreeNode*, const std::string&)> onEdited;

    // Starts editing the text of a zone or quick-list node (the world's is not edited).
    void StartEditing(storage::ZoneTreeNode* node);
    // The editor's text for a node, handed on once the editor has closed.
    void CommitEdit(storage::ZoneTreeNode* node, const QString& text);

private:
    QIcon Picture(int image, int stateImage) const;
    void AddItems(storage::ZoneTreeNode* node, QTreeWidgetItem* item);
    bool InModel(const storage::ZoneTreeNode* node) const;

    storage::ZoneTree& model_;
    std::vector<QIcon> pictures_; // the tree's image list: six of its own, then the skin's icons
    bool rebuilding_ = false;
    bool userChange_ = false;
};

} // namespace view
