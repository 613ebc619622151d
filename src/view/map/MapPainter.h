#pragma once
// Painting the map: every room of the current zone drawn from the skin's pictures into an
// off-screen image, the view level on top of the levels below (darkened and shifted down and
// right by an eighth of a cell per level) and the level above as an outline.

#include "view/map/Skin.h"

#include <QColor>
#include <QImage>
#include <QPainter>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace map {
class TMudRoom2;
class RoomLists;
} // namespace map
namespace profile {
struct WorldProfile;
}

namespace view {

struct PaintSettings {
    bool showTopLevel = true;
    bool showBottomLevel = true;
    QColor background{0x80, 0x80, 0x80};
    int texture = -1;                              // index into `textures`; -1: plain background
    const std::vector<QImage>* textures = nullptr; // 64 x 64 background textures
    int chooserIndex = 0;                          // the skin chooser's entry: set A for 0, else B
};

class TMapPainter {
public:
    TMapPainter(const TSkin& skin, const profile::WorldProfile& profile)
        : skin_(skin), profile_(profile) {}

    // PanelMainPaint: the background, then every room of the current zone in list order that
    // lies on the view level, the level above (when shown) or below it (when shown). The image
    // keeps its size: it is the panel's client area.
    void Paint(QImage& canvas, const map::RoomLists& lists, int viewLevel,
               const PaintSettings& settings);
    // DrawRoom: one room at the place its view origin (DX, DY, DL) gives it on a canvas of the
    // canvas's size; rooms wholly outside are skipped.
    void DrawRoom(const map::TMudRoom2& room, QImage& canvas, const PaintSettings& settings);

    // Where a room's cell starts on a canvas of the given size (its top-left corner).
    QPoint CellOrigin(const map::TMudRoom2& room, QSize canvas, int chooserIndex) const;

private:
    // The canvas being painted: its pixels for the colour fill and the painter for the rest.
    struct Target {
        QRgb* bits;
        qsizetype stride;
        int width, height;
        QPainter* painter;
    };
    void Draw(const map::TMudRoom2& room, Target& t, const PaintSettings& settings);
    // Offsets (row * H + column) inside a cell that the colour fill covers for one combination
    // of the base picture and the up and down exit pictures.
    const std::vector<int>& FillArea(const SkinImageSet& set, int upState, int downState);
    void Fill(Target& t, QPoint origin, int cell, const std::vector<int>& area, QRgb colour);
    int ExitState(const map::TMudRoom2& room, int d) const;

    const TSkin& skin_;
    const profile::WorldProfile& profile_;
    std::unordered_map<std::uint64_t, std::vector<int>> fillAreas_;
    // Composed room bodies by what they show; cleared when the skin changes or it grows large.
    static constexpr std::size_t kMaxTiles = 4096;
    std::unordered_map<std::uint64_t, QImage> tiles_;
    qint64 tileSkin_ = 0;
};

} // namespace view
