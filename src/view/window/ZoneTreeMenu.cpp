#include "view/window/ZoneTreeMenu.h"

#include "app/core/Session.h"
#include "text/Cp1251.h"
#include "view/window/RoomSearch.h"
#include "view/window/ZoneTreePanel.h"

#include <QAction>
#include <QInputDialog>
#include <QMenu>

namespace view {

TZoneTreeMenu::TZoneTreeMenu(app::Session& session, TZoneTreePanel* tree, TRoomSearch& search,
                             std::function<QAction*(const QString&)> mainAction)
    : QObject(tree), session_(session), tree_(tree) {
    menu_ = new QMenu(tree);
    menu_->setObjectName("PopupMenu2");
    auto mainItem = [mainAction](const char* name) {
        return [mainAction, name] {
            if (QAction* a = mainAction(name)) a->trigger();
        };
    };
    // Twins of the File menu and the map's menu take those items' texts.
    auto caption = [this](const char* key) { return session_.GetCaption("MainForm", key); };
    storage::ZoneOperations& zones = session_.Zones();
    storage::QuickList& quickList = session_.QuickList();

    Add("nnNewWorld", caption("nNewWorld"), mainItem("nNewWorld"));
    Add("nnLoadWorld", caption("nLoadWorld"), mainItem("nLoadWorld"));
    Add("nnSaveWorld", caption("nSaveWorld"), mainItem("nSaveWorld"));
    menu_->addSeparator();
    Add("nnNewZone", caption("nNewZone"), mainItem("nNewZone"));
    Add("nnLoadZone", caption("nnLoadZone"), [&zones] { zones.nnLoadZoneClick(); });
    Add("nnRenameZone", caption("nnRenameZone"),
        [this] { tree_->StartEditing(session_.World().Tree().Selected()); });
    Add("nnDeleteZone", caption("nnDeleteZone"), [&zones] { zones.nnDeleteZoneClick(true); });
    QAction* lock = Add("nnLockZone", caption("nnLockZone"), [this, &zones] {
        tree_->setFocus();
        zones.nnLockZoneClick();
    });
    lock->setCheckable(true);
    bindCaption_ = caption("BindZoneCaption");
    bindLabel_ = caption("BindZoneLabel");
    unbindCaption_ = caption("nnUnbindZone");
    bindOk_ = caption("BindZoneOk");
    bindCancel_ = caption("BindZoneCancel");
    Add("nnBindZone", caption("nnBindZone"), [this] { BindZone(); });
    Add("nnUnbindZone", unbindCaption_, [this] {
        if (const storage::ZoneTreeNode* node = session_.World().Tree().Selected())
            session_.World().BindZoneToArea(node->text, std::string());
    });
    menu_->addSeparator();
    Add("nnShowOnMap", caption("nnShowOnMap"), [&quickList] { quickList.nnShowOnMapClick(); });
    Add("nnSpeedWalk", caption("nSpeedWalk"),
        [this] { session_.nnSpeedWalkClick(app::TreeSpeedwalkItem::nnSpeedWalk); });
    Add("nnSpeedWalkNT", caption("nSpeedWalkNT"),
        [this] { session_.nnSpeedWalkClick(app::TreeSpeedwalkItem::nnSpeedWalkNT); });
    Add("nnSpeedWalkNTD", caption("nSpeedWalkNTD"),
        [this] { session_.nnSpeedWalkClick(app::TreeSpeedwalkItem::nnSpeedWalkNTD); });
    Add("nnRemoveRoom", caption("nRemoveRoom"), [&quickList] { quickList.nnRemoveRoomClick(); });
    menu_->addSeparator();
    search.AddTwins(menu_);

    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tree_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        // The press already made the node under the pointer the selected one.
        if (QTreeWidgetItem* item = tree_->itemAt(at)) tree_->setCurrentItem(item);
        if (PopupMenu2Popup()) menu_->popup(tree_->viewport()->mapToGlobal(at));
    });
}

QAction* TZoneTreeMenu::Add(const char* name, const std::string& caption,
                            std::function<void()> click) {
    QAction* a = menu_->addAction(text::ToUnicode(caption));
    a->setObjectName(name);
    connect(a, &QAction::triggered, this, [click = std::move(click)] { click(); });
    items_[name] = a;
    return a;
}

QAction* TZoneTreeMenu::Item(const QString& name) const {
    const auto it = items_.find(name);
    return it == items_.end() ? nullptr : it->second;
}

bool TZoneTreeMenu::PopupMenu2Popup() {
    const storage::ZoneTreeNode* node = session_.World().Tree().Selected();
    if (!node) return false;
    const int level = node->Level();
    auto show = [this](const char* name, bool on) { items_.at(name)->setVisible(on); };
    for (const char* name : {"nnNewWorld", "nnLoadWorld", "nnSaveWorld"})
        show(name, level == 0);
    show("nnNewZone", level <= 1);
    for (const char* name : {"nnRenameZone", "nnDeleteZone", "nnLoadZone", "nnLockZone"})
        show(name, level == 1);
    items_.at("nnLockZone")->setChecked(level == 1 && session_.Zones().LockChecked());
    show("nnBindZone", level == 1);
    // The unbind item names the area, so that the player sees the binding before undoing it.
    const std::string& area =
        level == 1 ? session_.Map().World().AreaOfZone(node->text) : std::string();
    show("nnUnbindZone", !area.empty());
    if (!area.empty())
        items_.at("nnUnbindZone")->setText(text::ToUnicode(unbindCaption_ + " <" + area + ">"));
    show("nnShowOnMap", level == 2);
    show("nnRemoveRoom", level == 2);

    // Speedwalks start from the player's room, and never lead into a death trap.
    const map::TMudRoom2* room = level == 2 ? node->room : nullptr;
    const map::TMudRoom2* here = session_.Map().World().CurrentRoom;
    const bool walkable = room && !room->DT;
    show("nnSpeedWalk", walkable && here && session_.Tracing());
    show("nnSpeedWalkNT", walkable && here && here != room);
    show("nnSpeedWalkNTD", walkable && here && here != room);
    return true;
}

std::unique_ptr<QInputDialog> TZoneTreeMenu::MakeBindDialog(const std::string& zone) {
    storage::WorldStore& world = session_.World();
    QStringList areas;
    for (const std::string& area : world.KnownAreas())
        areas << text::ToUnicode(area);
    auto dialog = std::make_unique<QInputDialog>(tree_);
    dialog->setObjectName("BindZoneDialog");
    dialog->setWindowTitle(text::ToUnicode(bindCaption_));
    const storage::ZoneTreeNode* node = world.Tree().FindZone(zone);
    dialog->setLabelText(
        text::ToUnicode(bindLabel_ + " <" + (node ? world.Tree().Shown(node) : zone) + ">:"));
    dialog->setOkButtonText(text::ToUnicode(bindOk_));
    dialog->setCancelButtonText(text::ToUnicode(bindCancel_));
    dialog->setComboBoxItems(areas);
    // Any area may be typed: the game may not have shown a room of it yet.
    dialog->setComboBoxEditable(true);
    dialog->setTextValue(text::ToUnicode(session_.Map().World().AreaOfZone(zone)));
    dialog->resize(qMax(dialog->sizeHint().width(), 360), dialog->sizeHint().height());
    return dialog;
}

void TZoneTreeMenu::BindZone() {
    storage::WorldStore& world = session_.World();
    const storage::ZoneTreeNode* node = world.Tree().Selected();
    if (!node || node->Level() != 1) return;
    const std::string zone = node->text;
    std::unique_ptr<QInputDialog> dialog = MakeBindDialog(zone);
    if (dialog->exec() != QDialog::Accepted) return;
    // Blanks typed around a name go; an area chosen from the list is taken as the game wrote it.
    const QString chosen = dialog->textValue();
    const QString area = dialog->comboBoxItems().contains(chosen) ? chosen : chosen.trimmed();
    bool representable = false;
    const std::string bytes = text::FromUnicode(area, &representable);
    // The zone may have gone while the dialog was open.
    if (!representable || !world.Tree().FindZone(zone)) return;
    world.BindZoneToArea(zone, bytes);
}

} // namespace view
