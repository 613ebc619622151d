#pragma once
// What the map operations ask of the program around them: the view, the zone tree, the
// colour dialog, the tracing switch. The main window and the headless runner implement it;
// NullMapUi answers as a window-less program would.

#include "map/MudRoom.h"

#include <optional>

namespace map {

// Smallest and largest X, Y and L of the current zone's rooms.
struct MapExtents {
    int MinX = 0, MaxX = 0, MinY = 0, MaxY = 0, MinL = 0, MaxL = 0;
    bool operator==(const MapExtents&) const = default;
};

// Positions of the view's scroll bars: the vertical bar follows X, the horizontal one Y.
struct ScrollPositions {
    int Vertical = 0, Horizontal = 0;
};

class MapUi {
public:
    virtual ~MapUi() = default;

    // Repaints the map panel.
    virtual void Repaint() = 0;
    // mShift: hands the view origin to the rooms, refreshes the status texts, repaints.
    virtual void Shift() = 0;
    // The system's error beep.
    virtual void Beep() = 0;
    // The colour dialog opened on `initial`; nullopt when the user cancels.
    virtual std::optional<Color> ChooseColor(Color initial) = 0;
    // Switches tracing off, which also forgets the player's room.
    virtual void TracingOff() = 0;
    // The fill colour of new rooms in the current skin.
    virtual Color DefaultRoomColor() = 0;
    virtual ScrollPositions ScrollBarPositions() = 0;
    // Sets the scroll ranges to the extents (vertical: X, horizontal: Y), keeping positions.
    virtual void SetScrollRanges(const MapExtents& extents) = 0;
    // Deletes the quick-list nodes under the current zone's node whose room is `room`.
    virtual void RemoveQuickListNodes(const TMudRoom2* room) = 0;
    // Gives the room's quick-list node the image and repaints the zone tree.
    virtual void SetQuickListNodeImage(const TMudRoom2* room, int image) = 0;
};

class NullMapUi : public MapUi {
public:
    void Repaint() override {}
    void Shift() override {}
    void Beep() override {}
    std::optional<Color> ChooseColor(Color) override { return std::nullopt; }
    void TracingOff() override {}
    Color DefaultRoomColor() override { return kSilver; }
    ScrollPositions ScrollBarPositions() override { return {}; }
    void SetScrollRanges(const MapExtents&) override {}
    void RemoveQuickListNodes(const TMudRoom2*) override {}
    void SetQuickListNodeImage(const TMudRoom2*, int) override {}
};

} // namespace map
