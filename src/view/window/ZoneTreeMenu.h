#pragma once
// The zone tree's context menu `PopupMenu2`: world items on the world's node, zone items on a
// zone, quick-list items on a room, each shown or hidden by the level of the node under the
// pointer when the menu opens; the room search's items on every node.

#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <string>

class QAction;
class QInputDialog;
class QMenu;

namespace app {
class Session;
}

namespace view {

class TRoomSearch;
class TZoneTreePanel;

class TZoneTreeMenu : public QObject {
    Q_OBJECT
public:
    // `mainAction` gives the main window's action of a name (the world and new-zone items do
    // what the File menu does).
    TZoneTreeMenu(app::Session& session, TZoneTreePanel* tree, TRoomSearch& search,
                  std::function<QAction*(const QString&)> mainAction);

    QMenu* PopupMenu2() const { return menu_; }
    QAction* Item(const QString& name) const;
    // Shows, hides and checks the items for the selected node; false with no node selected.
    bool PopupMenu2Popup();
    // The dialog of the bind item for a zone, filled in and not yet shown.
    std::unique_ptr<QInputDialog> MakeBindDialog(const std::string& zone);

private:
    QAction* Add(const char* name, const std::string& caption, std::function<void()> click);
    // Asks for the area whose rooms go into the selected zone: one that rooms of the world
    // carry, or any typed; an empty one unbinds the zone.
    void BindZone();

    app::Session& session_;
    TZoneTreePanel* tree_;
    QMenu* menu_ = nullptr;
    std::map<QString, QAction*> items_;
    std::string bindCaption_, bindLabel_, unbindCaption_, bindOk_, bindCancel_;
};

} // namespace view
