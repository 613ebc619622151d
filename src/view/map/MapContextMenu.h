#pragma once
// The room menu `PopupMenu1` of the map: opened on a right click on a room, its items shown,
// enabled, checked and captioned from the room before it opens (`PopupMenu1Popup`), each
// calling the map, speedwalk, quick-list or zone operation with the room as the context room.

#include <QObject>
#include <QPoint>

#include <functional>
#include <map>
#include <memory>
#include <string>

class QAction;
class QMenu;

namespace app {
class Session;
}
namespace map {
class TMudRoom2;
}

namespace view {

class TMapPage;

class TMapContextMenu : public QObject {
    Q_OBJECT
public:
    TMapContextMenu(app::Session& session, TMapPage& page);
    ~TMapContextMenu() override;

    // The menu, built on first use (its captions come from the language file then).
    QMenu* PopupMenu1();
    // The room becomes the context room; the menu is prepared and opened at the screen point.
    void Popup(map::TMudRoom2* room, QPoint screenPos);
    // Shows, hides, enables, checks and captions the items for the context room.
    void PopupMenu1Popup();
    // An item by its name (`nSpeedWalk`, `nDoorNorth`, `N8`...), or null.
    QAction* Item(const std::string& name);
    // The `nPicture` submenu refilled from the skin's icons (a skin was loaded).
    void RebuildPictures();

    void SelectRoom();
    // Tag -1 takes the picture away; pictures 1 to 4 are the marks DT, FlyDT, Agro, NoStep.
    void nPictureClick(int tag);
    void nLastColorClick();

    // How the prepared menu is shown; a non-blocking popup unless replaced.
    std::function<void(QMenu*, QPoint)> openMenu;

private:
    void Build();
    QAction* Add(QMenu* menu, const std::string& name, const char* utf8Default,
                 std::function<void()> action);
    QAction* AddSeparator(QMenu* menu, const std::string& name);
    QMenu* AddSubmenu(QMenu* menu, const std::string& name, const char* utf8Default);
    // Six (or four) direction items `prefix`North ... `prefix`Down.
    void AddDirections(QMenu* menu, const std::string& prefix, int count, bool builtinKeys,
                       std::function<void(int)> action);
    void UpdateLastColorSwatch();
    void Repaint();

    app::Session& session_;
    TMapPage& page_;
    std::unique_ptr<QMenu> menu_;
    QMenu* pictures_ = nullptr;
    std::map<std::string, QAction*> items_;
    // The word before "<zone> exit #room" in the show-zone items, from the language file.
    QString showZoneWord_;
};

} // namespace view
