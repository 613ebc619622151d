#pragma once
// The map panel's mouse: the room under the pointer (status bar and note panel), the info window
// on Shift+click, panning by dragging empty grid, dragging a room (move it, add a room beside
// it with Alt, lay a corridor with Ctrl), re-centring on a right click into empty grid, the room
// menu on a right click on a room, and the speedwalk on a double click.

#include "map/Direction.h"

#include <QPoint>
#include <QPointF>
#include <Qt>

#include <memory>

class QLabel;
class QMouseEvent;

namespace app {
class Session;
}
namespace map {
class TMudRoom2;
}

namespace view {

class TMapPage;
class TMapContextMenu;

// A cell of the grid: X grows south, Y east.
struct GridCell {
    int X = 0, Y = 0;
};

class TMapMouse {
public:
    TMapMouse(app::Session& session, TMapPage& page, TMapContextMenu& menu);
    ~TMapMouse();

    void PanelMainMouseDown(QMouseEvent* e);
    void PanelMainMouseMove(QMouseEvent* e);
    void PanelMainMouseUp(QMouseEvent* e);
    void PanelMainDblClick(QMouseEvent* e);
    void PanelMainMouseLeave();

    // The cell under a panel position, and the current zone's room there on the view level.
    GridCell CellAt(QPointF pos) const;
    map::TMudRoom2* RoomAt(QPointF pos) const;

    // The panel's own Tag: 1 while a pan drag is in progress.
    int PanningTag() const { return panning_; }
    // The info window while it is shown, else null.
    QLabel* InfoWindow() const { return info_.get(); }

private:
    // Status panel 2 and the note panel: the room, else the player's room, else nothing.
    void ShowRoomTexts(const map::TMudRoom2* room);
    void ShowInfoWindow(const map::TMudRoom2& room, QPoint screenPos);
    void HideInfoWindow();
    void DragStep(map::Dir d, Qt::KeyboardModifiers mods);
    void Pan(QPoint pos);

    app::Session& session_;
    TMapPage& page_;
    TMapContextMenu& menu_;
    int panning_ = 0;
    QPoint anchor_;
    int anchorSB1_ = 0, anchorSB2_ = 0;
    std::unique_ptr<QLabel> info_;
};

} // namespace view
