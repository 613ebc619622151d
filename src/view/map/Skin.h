#pragma once
// Skins: how rooms look on the map. A skin file (an INI file in the world's directory) holds one
// or more variants; a variant names a picture strip (square tiles, the strip's height is the
// cell size) and an icon strip (16 x 16 icons). Loading a variant cuts its strips into an image
// set of 106 pictures and a list of icons; built-in strips stand in when a skin gives none.
//
// Pictures keep the skin's transparent key as alpha 0, so they are drawn with plain
// QPainter::drawImage. Each set also holds the darkened copies that rooms of other levels are
// drawn with (25 % black over the picture), and the icons blended with grey and with black.

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

namespace view {

// Picture indexes of an image set. Directions d: 0 N, 1 S, 2 W, 3 E, 4 U, 5 D; exit state s:
// 0 none, 1 exit, 2 door, plus 3 when the exit is checked.
namespace pic {
inline constexpr int kBase = 0;
inline constexpr int kFrame = 1;
inline constexpr int Exit(int s, int d) {
    return 2 + 6 * s + d;
}
inline constexpr int Command(int d) {
    return 38 + d;
}
inline constexpr int ZoneLoad(int d) {
    return 44 + d;
}
inline constexpr int kCorridorNS = 50;
inline constexpr int kCorridorWE = 51;
inline constexpr int kUpperBase = 52;
inline constexpr int kUpperOutline = 53;
inline constexpr int UpperExit(int s, int d) {
    return 54 + 6 * s + d;
}
inline constexpr int UpperCommand(int d) {
    return 90 + d;
}
inline constexpr int UpperZoneLoad(int d) {
    return 96 + d;
}
inline constexpr int kUpperCorridorNS = 102;
inline constexpr int kUpperCorridorWE = 103;
inline constexpr int kPosition = 104;
inline constexpr int kHighlight = 105;
inline constexpr int kCount = 106;
} // namespace pic

struct SkinImageSet {
    int cell = 32;                            // H: width and height of every picture
    std::array<QImage, pic::kCount> pictures; // ARGB32 premultiplied, key colour transparent
    std::array<QImage, pic::kCount> dimmed;   // the same, 25 % black over the opaque pixels
    std::vector<QImage> icons;                // 16 x 16; icon 0 is the dark-room mark
    std::vector<QImage> iconsGrey, iconsDark; // icons blended 25 % with grey / with black
};

struct SkinGeometry {
    // Exit rectangles in the order N, S, W, E, U, D, relative to a tile's top-left corner. A skin
    // file gives left, top, right, bottom with right and bottom outside the rectangle (Windows
    // rectangles: "10,25,22,32" ends at the tile's last row), hence width = right - left.
    std::array<QRect, 6> exits{QRect(10, 0, 12, 8),  QRect(10, 25, 12, 7), QRect(0, 10, 8, 12),
                               QRect(25, 10, 7, 12), QRect(9, 9, 7, 7),    QRect(17, 17, 7, 7)};
    int iconRowOffset = 8, iconColumnOffset = 8; // IconPoint a, b: a down, b right
    QPoint fillPoint{12, 20};                    // FillPoint x, y: x right, y down
};

class TSkin {
public:
    TSkin();

    // LoadSkin: reads variant `variant` of the skin file `fileName` (Windows-1251) in the world's
    // directory into set A (variant 0) or set B (others). Variant 0 also rebuilds the chooser's
    // entries. A missing file, picture or icon strip falls back to the built-in ones.
    void LoadSkin(const std::filesystem::path& worldDir, const std::string& fileName, int variant);

    // The set a variant index draws with: A for 0, B otherwise.
    const SkinImageSet& Set(int chooserIndex) const { return chooserIndex == 0 ? a_ : b_; }
    const SkinGeometry& Geometry() const { return geometry_; }
    // The centre pixel of the strip's first tile: new rooms get it as their colour.
    QColor DefaultRoomColor() const { return defaultColor_; }
    // The chooser's entries (variant 0 fills them): descriptions, or the section's position.
    const QStringList& ChooserEntries() const { return entries_; }

    // The built-in strips (also what an empty skin draws with).
    static QImage BuiltinPictures();
    static QImage BuiltinIcons();

private:
    SkinImageSet a_, b_;
    SkinGeometry geometry_;
    QColor defaultColor_;
    QStringList entries_;
};

} // namespace view
