// The built-in picture strip: 26 tiles of 32 x 32. A room is the square 8..24 with its exits
// drawn as passages from its walls to the tile's edges, so that two linked neighbours show one
// continuous passage. Walked (checked) exits are pale passages reaching the edge; exits not
// walked yet are short orange stubs; doors are brown bars at the wall; a link without an exit is
// a dotted line. The level above is drawn as light outlines only.

#include "Art.h"

#include <QPainter>

#include <algorithm>

namespace art {
namespace {

struct Palette {
    QColor ink, passage, unknown, door, zone, command;
};

const Palette kHere{kInk, kPassage, kUnknown, kDoor, kZone, kCommand};
// The level above keeps its passages hollow: the key colour leaves them transparent.
const Palette kAbove{kGhost, kKey, kGhostUnknown, kGhostDoor, kGhostZone, kGhostCommand};

constexpr int kRoomLo = 8, kRoomHi = 24;  // the room's square, walls included
constexpr int kLaneLo = 14, kLaneHi = 18; // a passage across its direction, sides included

class Tile {
public:
    Tile(QPainter& p, int index) : p_(p), x0_(index * kCell) {}

    void Fill(int x1, int y1, int x2, int y2, const QColor& c) { // corners inclusive
        p_.fillRect(QRect(QPoint(x0_ + x1, y1), QPoint(x0_ + x2, y2)), c);
    }
    void Dot(int x, int y, const QColor& c) { Fill(x, y, x, y, c); }
    void Box(int lo, int hi, const QColor& c) { // an outline square
        Fill(lo, lo, hi, lo, c);
        Fill(lo, hi, hi, hi, c);
        Fill(lo, lo, lo, hi, c);
        Fill(hi, lo, hi, hi, c);
    }

    // Passage coordinates for the four flat directions: `a` runs from the tile's edge (0)
    // towards the room's wall (Length), `c` across the passage.
    static int Length(int d) { return d == 0 || d == 2 ? kRoomLo : kCell - 1 - kRoomHi; }
    void Along(int d, int a1, int a2, int c1, int c2, const QColor& c) {
        switch (d) {
        case 0:
            Fill(c1, a1, c2, a2, c);
            break;
        case 1:
            Fill(c1, kCell - 1 - a2, c2, kCell - 1 - a1, c);
            break;
        case 2:
            Fill(a1, c1, a2, c2, c);
            break;
        default:
            Fill(kCell - 1 - a2, c1, kCell - 1 - a1, c2, c);
            break;
        }
    }

private:
    QPainter& p_;
    int x0_;
};

// One exit of a flat direction in state s (0 none, 1 exit, 2 door, +3 walked).
void FlatExit(Tile& t, int d, int s, const Palette& pal) {
    const int len = Tile::Length(d);
    auto passage = [&](int a1, int a2, const QColor& fill) {
        t.Along(d, a1, a2, kLaneLo, kLaneHi, pal.ink);
        t.Along(d, a1, a2, kLaneLo + 1, kLaneHi - 1, fill);
    };
    auto door = [&] { // a bar across the passage, touching the wall
        t.Along(d, len - 4, len - 1, kLaneLo - 2, kLaneHi + 2, pal.ink);
        t.Along(d, len - 3, len - 2, kLaneLo - 1, kLaneHi + 1, pal.door);
    };
    auto stub = [&](int a1, int a2) { // closed at its outer end: nobody has been there
        passage(a1, a2, pal.unknown);
        t.Along(d, a1, a1, kLaneLo, kLaneHi, pal.ink);
    };
    switch (s) {
    case 1:
        stub(len - 5, len - 1);
        break;
    case 2:
        stub(len - 7, len - 4);
        door();
        break;
    case 3:
        for (int a = 0; a < len; a += 2)
            t.Along(d, a, a, 16, 16, pal.ink);
        break;
    case 4:
        passage(0, len - 1, pal.passage);
        break;
    case 5:
        passage(0, len - 4, pal.passage);
        door();
        break;
    default:
        break;
    }
}

// Up and down exits are small triangles inside the room, in the up and down rectangles
// (9..15 and 17..23). Rows are listed pointing up; down flips them.
void VerticalExit(Tile& t, bool down, int s, const Palette& pal) {
    static const char* const kExit[7] = {".......", "...K...", "..KFK..", ".KFFFK.",
                                         "KFFFFFK", "KKKKKKK", "......."};
    static const char* const kDoorRows[7] = {"...K...", "..KFK..", ".KFFFK.", "KFFFFFK",
                                             "KKKKKKK", "KDDDDDK", "KKKKKKK"};
    static const char* const kLink[7] = {".......", "...K...", "..K.K..", ".K...K.",
                                         "K.....K", "KKKKKKK", "......."};
    if (s == 0) return;
    const char* const* rows = s == 3 ? kLink : (s == 2 || s == 5) ? kDoorRows : kExit;
    const QColor fill = s >= 3 ? pal.passage : pal.unknown;
    const int x0 = down ? 17 : 9, y0 = down ? 17 : 9;
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 7; ++c) {
            const char ch = rows[down ? 6 - r : r][c];
            const QColor col = ch == 'K'   ? pal.ink
                               : ch == 'F' ? fill
                               : ch == 'D' ? pal.door
                                           : QColor();
            if (col.isValid()) t.Dot(x0 + c, y0 + r, col);
        }
}

// Zone-load marks (blue) and command marks (red) sit beside the passage, near the tile's edge;
// for up and down in the corners the triangles leave free.
void Marks(Tile& t, const QColor& c, bool zone) {
    const int side = zone ? 10 : 19; // across: left of the passage or right of it
    for (int d = 0; d < 4; ++d)
        t.Along(d, 1, 3, side, side + 2, c);
    if (zone) {
        t.Fill(9, 9, 10, 10, c);
        t.Fill(17, 22, 18, 23, c);
    } else {
        t.Fill(14, 9, 15, 10, c);
        t.Fill(22, 22, 23, 23, c);
    }
}

void Room(Tile& t, const Palette& pal, bool filled) {
    if (filled) t.Fill(kRoomLo, kRoomLo, kRoomHi, kRoomHi, kFloor);
    t.Box(kRoomLo, kRoomHi, pal.ink);
}

void Corridor(Tile& t, bool northSouth, const Palette& pal) {
    for (int d = northSouth ? 0 : 2; d < (northSouth ? 2 : 4); ++d) {
        t.Along(d, 0, 15, kLaneLo, kLaneHi, pal.ink);
        if (pal.passage != kKey) t.Along(d, 0, 15, kLaneLo + 1, kLaneHi - 1, pal.passage);
    }
}

void Group(QPainter& p, int base, const Palette& pal) {
    const bool here = base == 0;
    Tile roomBase(p, base);
    Room(roomBase, pal, here);
    Tile frame(p, base + 1);
    if (here) { // a shadow to the lower right lifts the room off the background
        frame.Fill(kRoomLo + 2, kRoomHi + 1, kRoomHi + 1, kRoomHi + 1, QColor(0x50, 0x50, 0x54));
        frame.Fill(kRoomHi + 1, kRoomLo + 2, kRoomHi + 1, kRoomHi + 1, QColor(0x50, 0x50, 0x54));
    }
    Room(frame, pal, false);
    for (int s = 0; s < 6; ++s) {
        Tile t(p, base + 2 + s);
        for (int d = 0; d < 4; ++d)
            FlatExit(t, d, s, pal);
        VerticalExit(t, false, s, pal);
        VerticalExit(t, true, s, pal);
    }
    Tile command(p, base + 8);
    Marks(command, pal.command, false);
    Tile zone(p, base + 9);
    Marks(zone, pal.zone, true);
    Tile ns(p, base + 10);
    Corridor(ns, true, pal);
    Tile we(p, base + 11);
    Corridor(we, false, pal);
}

} // namespace

QImage DrawPictureStrip() {
    QImage strip(kCell * kTiles, kCell, QImage::Format_RGB32);
    strip.fill(kKey);
    QPainter p(&strip);
    Group(p, 0, kHere);
    Group(p, 12, kAbove);

    // The player's position: a red ring around the room, bold enough to find at a glance.
    Tile position(p, 24);
    position.Box(3, 29, kInk);
    position.Box(4, 28, kPosition);
    position.Box(5, 27, kPosition);
    position.Box(6, 26, kInk);

    // Highlighted rooms (search hits): yellow corner brackets, which leave the ring visible.
    Tile highlight(p, 25);
    for (int corner = 0; corner < 4; ++corner) {
        const bool right = corner & 1, bottom = corner & 2;
        auto fx = [&](int x) { return right ? kCell - 1 - x : x; };
        auto fy = [&](int y) { return bottom ? kCell - 1 - y : y; };
        auto fill = [&](int x1, int y1, int x2, int y2, const QColor& c) {
            highlight.Fill(std::min(fx(x1), fx(x2)), std::min(fy(y1), fy(y2)),
                           std::max(fx(x1), fx(x2)), std::max(fy(y1), fy(y2)), c);
        };
        fill(0, 0, 8, 3, kInk);
        fill(0, 0, 3, 8, kInk);
        fill(1, 1, 7, 2, kHighlight);
        fill(1, 1, 2, 7, kHighlight);
    }
    return strip;
}

} // namespace art
