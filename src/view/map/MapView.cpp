#include "view/map/MapView.h"

#include "map/MapWorld.h"

#include <algorithm>
#include <vector>

namespace view {

int TMapView::Level() const {
    return world_.ViewLevel;
}

void TMapView::CenterBox() {
    map::MapWorld& w = world_;
    if (w.CurrentRoom) {
        w.ViewLevel = w.CurrentRoom->L;
        w.CurrentRoom->Selected = true;
    }
    std::vector<map::TMudRoom2*> rooms = w.Lists().ZoneRooms();
    if (!rooms.empty()) {
        map::MapExtents b{rooms[0]->X, rooms[0]->X, rooms[0]->Y,
                          rooms[0]->Y, rooms[0]->L, rooms[0]->L};
        for (const map::TMudRoom2* r : rooms) {
            b.MinX = std::min(b.MinX, r->X), b.MaxX = std::max(b.MaxX, r->X);
            b.MinY = std::min(b.MinY, r->Y), b.MaxY = std::max(b.MaxY, r->Y);
            b.MinL = std::min(b.MinL, r->L), b.MaxL = std::max(b.MaxL, r->L);
        }
        bounds = b;
    }
    w.ViewLevel = std::clamp(w.ViewLevel, bounds.MinL, std::max(bounds.MinL, bounds.MaxL));
    // A zone lying wholly at negative Y (or X) moves until its largest Y (X) is 0.
    if (!rooms.empty() && (bounds.MaxY < 0 || bounds.MaxX < 0)) {
        const int dy = bounds.MaxY < 0 ? -bounds.MaxY : 0;
        const int dx = bounds.MaxX < 0 ? -bounds.MaxX : 0;
        for (map::TMudRoom2* r : rooms) {
            r->Y += dy;
            r->X += dx;
            w.RoomChanged(r);
        }
        bounds.MinY += dy, bounds.MaxY += dy, bounds.MinX += dx, bounds.MaxX += dx;
    }
    SB1.min = bounds.MinY, SB1.max = bounds.MaxY;
    SB2.min = bounds.MinX, SB2.max = bounds.MaxX;
    if (w.CurrentRoom && w.ZoneOf(w.CurrentRoom) == w.CurrentZone) {
        w.ViewLevel = w.CurrentRoom->L;
        SB1.position = w.CurrentRoom->Y;
        SB2.position = w.CurrentRoom->X;
    } else {
        SB1.position = bounds.MaxY - (bounds.MaxY - bounds.MinY) / 2;
        SB2.position = bounds.MaxX - (bounds.MaxX - bounds.MinX) / 2;
    }
    mShift();
}

void TMapView::mShift() {
    map::MapWorld& w = world_;
    if (windowMode == kNormal) {
        w.Lists().ForEachZoneRoom([&](map::TMudRoom2* r) {
            r->DX = SB2.position;
            r->DY = SB1.position;
            r->DL = w.ViewLevel;
            r->Checked = false; // a highlight lasts until the view changes
        });
        const map::TMudRoom2* here = w.CurrentRoom;
        if (statusText)
            statusText(here ? "[#" + std::to_string(here->Tag) + "] " + here->Hint : std::string());
        if (noteText && !noteEditing) noteText(here ? here->Note : std::string());
        if (levelButtons) levelButtons();
    }
    if (windowMode == kAfterSpeedwalk) windowMode = kNormal;
    if (repaint) repaint();
}

void TMapView::tbLevelClick(int delta) {
    world_.ViewLevel += delta;
    mShift();
}

} // namespace view
