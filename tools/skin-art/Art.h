#pragma once
// The built-in skin's artwork, drawn as pixel art: no antialiasing anywhere, because the strips
// use a colour key rather than alpha, and a blended edge would show as a pink fringe.

#include <QColor>
#include <QImage>

namespace art {

inline constexpr int kCell = 32;
inline constexpr int kTiles = 26;
inline constexpr int kIcon = 16;
inline constexpr int kIcons = 20;

inline const QColor kKey(0xFF, 0x00, 0xFF);     // transparent key of both strips
inline const QColor kInk(0x1E, 0x1E, 0x22);     // outlines
inline const QColor kFloor(0xEC, 0xE3, 0xC6);   // default room colour (tile 0 centre)
inline const QColor kPassage(0xF8, 0xF5, 0xEA); // checked passages and corridors
inline const QColor kUnknown(0xFF, 0xA8, 0x1C); // exits not walked yet
inline const QColor kDoor(0x9A, 0x55, 0x22);
inline const QColor kZone(0x22, 0x66, 0xEE);
inline const QColor kCommand(0xE8, 0x22, 0x22);
inline const QColor kGhost(0xF2, 0xF2, 0xF2); // the level above: outlines only
inline const QColor kGhostUnknown(0xFF, 0xD8, 0x90);
inline const QColor kGhostDoor(0xD8, 0xB0, 0x88);
inline const QColor kGhostZone(0xA8, 0xC4, 0xFF);
inline const QColor kGhostCommand(0xFF, 0xA8, 0xA8);
inline const QColor kPosition(0xFF, 0x26, 0x26);
inline const QColor kHighlight(0xFF, 0xE8, 0x30);

QImage DrawPictureStrip(); // 832 x 32
QImage DrawIconStrip();    // 320 x 16

// The strips 4x on the map's grey, and a 5 x 5 patch of rooms drawn the way the map draws them.
QImage PreviewStrips(const QImage& pictures, const QImage& icons);
QImage PreviewSample(const QImage& pictures, const QImage& icons);

} // namespace art
