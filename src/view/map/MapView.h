#pragma once
// The view state of the map panel: which level is shown, which cell lies at the panel's centre
// (the positions of the two scroll bars), and the window mode that keeps the rooms' view origin
// still while the window starts, while the user drags, and for one update after a speedwalk.

#include "map/MapUi.h"

#include <functional>
#include <string>

namespace map {
class MapWorld;
}

namespace view {

// The window mode (the main window's Tag).
enum WindowMode : int { kNormal = 0, kDragging = 1, kAfterSpeedwalk = 2, kStarting = 3 };

struct ScrollBarState {
    int position = 0, min = 0, max = 0;
};

class TMapView {
public:
    explicit TMapView(map::MapWorld& world) : world_(world) {}

    int windowMode = kStarting;
    ScrollBarState SB1; // horizontal: the Y at the panel's centre
    ScrollBarState SB2; // vertical: the X at the panel's centre
    map::MapExtents bounds;
    bool noteEditing = false; // the note panel is being edited: mShift leaves it alone

    // What mShift updates besides the rooms.
    std::function<void(const std::string&)> statusText; // status panel 2, Windows-1251
    std::function<void(const std::string&)> noteText;   // the note panel
    std::function<void()> levelButtons;                 // LevelUpEnabled / LevelDownEnabled
    std::function<void()> repaint;

    // CenterBox: recomputes the bounds, chooses the level and the centre (the player's room
    // when it is in the current zone, else the middle of the zone) and shifts.
    void CenterBox();
    // mShift: hands the view origin to the rooms (clearing highlights), refreshes the texts and
    // the level buttons, repaints.
    void mShift();
    // tbLevelClick: one level up (+1) or down (-1).
    void tbLevelClick(int delta);
    bool LevelUpEnabled() const { return Level() < bounds.MaxL; }
    bool LevelDownEnabled() const { return Level() > bounds.MinL; }

private:
    int Level() const;
    map::MapWorld& world_;
};

} // namespace view
