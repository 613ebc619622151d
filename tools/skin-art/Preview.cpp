// Previews for judging the artwork: the strips enlarged on the map's grey, and a patch of map
// drawn the way the map panel draws rooms (base, up and down exits, colour fill, frame, exits,
// marks, icon, position), including a room of the level above and one of the level below.

#include "Art.h"

#include <QPainter>

#include <array>
#include <vector>

namespace art {
namespace {

const QColor kBackground(0x80, 0x80, 0x80);

QImage Keyed(const QImage& strip, const QColor& key) {
    QImage out = strip.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if (line[x] == key.rgb()) line[x] = 0;
    }
    return out;
}

QImage OnGrey(const QImage& keyed, int scale) {
    QImage out(keyed.size() * scale, QImage::Format_RGB32);
    out.fill(kBackground);
    QPainter p(&out);
    p.drawImage(out.rect(), keyed);
    return out;
}

// The 106 pictures cut as the program cuts them: exit tiles keep only their direction's part.
std::vector<QImage> CutPictures(const QImage& keyed) {
    const std::array<QRect, 6> exits{QRect(10, 0, 12, 8), QRect(10, 25, 12, 7),
                                     QRect(0, 10, 8, 12), QRect(25, 10, 7, 12),
                                     QRect(9, 9, 7, 7),   QRect(17, 17, 7, 7)};
    std::vector<QImage> out;
    auto tile = [&](int k) { return keyed.copy(k * kCell, 0, kCell, kCell); };
    for (int b : {0, 12}) {
        out.push_back(tile(b));
        out.push_back(tile(b + 1));
        for (int t = b + 2; t <= b + 9; ++t)
            for (const QRect& r : exits) {
                QImage pic(kCell, kCell, QImage::Format_ARGB32);
                pic.fill(0);
                QPainter p(&pic);
                p.drawImage(r.topLeft(), tile(t), r);
                out.push_back(pic);
            }
        out.push_back(tile(b + 10));
        out.push_back(tile(b + 11));
    }
    out.push_back(tile(24));
    out.push_back(tile(25));
    return out;
}

QImage Darker(const QImage& img) {
    QImage out = img.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            line[x] = qRgba(qRed(line[x]) * 3 / 4, qGreen(line[x]) * 3 / 4, qBlue(line[x]) * 3 / 4,
                            qAlpha(line[x]));
    }
    return out;
}

void FloodFill(QImage& img, QPoint at, QRgb colour) {
    const QRgb old = img.pixel(at);
    if (old == colour) return;
    std::vector<QPoint> todo{at};
    while (!todo.empty()) {
        QPoint q = todo.back();
        todo.pop_back();
        if (!img.rect().contains(q) || img.pixel(q) != old) continue;
        img.setPixel(q, colour);
        todo.insert(todo.end(),
                    {q + QPoint(1, 0), q - QPoint(1, 0), q + QPoint(0, 1), q - QPoint(0, 1)});
    }
}

struct SampleRoom {
    int row, col;
    QRgb colour;
    std::array<int, 6> state{}; // N S W E U D, 0..5 as the map computes it
    int icon = 0;
    int pipe = 0; // 1 north-south, 2 west-east
    int level = 0;
    std::array<int, 6> marks{};
    bool selected = false, highlighted = false;
};

} // namespace

QImage PreviewStrips(const QImage& pictures, const QImage& icons) {
    const QImage a = OnGrey(Keyed(pictures, pictures.pixelColor(0, kCell - 1)), 4);
    const QImage b = OnGrey(Keyed(icons, icons.pixelColor(15, 0)), 4);
    QImage out(a.width(), a.height() + b.height() + 16, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    p.drawImage(0, 0, a);
    p.drawImage(0, a.height() + 16, b);
    p.setPen(QColor(0x60, 0x60, 0x60));
    for (int k = 1; k < kTiles; ++k)
        p.drawLine(k * kCell * 4, 0, k * kCell * 4, 6);
    return out;
}

QImage PreviewSample(const QImage& pictures, const QImage& iconStrip) {
    const QImage keyed = Keyed(pictures, pictures.pixelColor(0, kCell - 1));
    const std::vector<QImage> pic = CutPictures(keyed);
    const QImage keyedIcons = Keyed(iconStrip, iconStrip.pixelColor(15, 0));
    auto icon = [&](int i) { return keyedIcons.copy(i * kIcon, 0, kIcon, kIcon); };

    const QRgb floor = kFloor.rgb();
    const std::vector<SampleRoom> rooms{
        {4, 0, floor, {4, 0, 0, 4, 0, 0}, 0, 0, -1}, // a level below
        {0, 0, floor, {0, 1, 0, 4, 0, 0}},
        {0, 1, qRgb(0x9C, 0xE0, 0x8C), {0, 4, 4, 5, 0, 0}, 5},
        {0, 2, floor, {0, 0, 5, 4, 0, 0}},
        {0, 3, floor, {0, 0, 4, 4, 0, 0}, 0, 2},
        {0, 4, qRgb(0x9C, 0xC8, 0xF0), {0, 2, 4, 0, 1, 0}, 0, 0, 0, {0, 0, 0, 3, 0, 0}},
        {1, 1, qRgb(0xF0, 0xA8, 0xC0), {4, 4, 0, 3, 0, 0}, 6},
        {1, 2, qRgb(0xF8, 0xE8, 0x70), {0, 4, 3, 0, 4, 5}, 0, 0, 0, {0, 0, 0, 0, 1, 2}},
        {2, 1, floor, {4, 4, 0, 0, 0, 0}, 0, 1},
        {2, 2, floor, {4, 1, 0, 4, 0, 2}, 8, 0, 0, {2, 0, 0, 0, 0, 0}, true},
        {2, 3, qRgb(0xC0, 0x60, 0x50), {0, 4, 4, 1, 0, 0}, 1},
        {3, 1, qRgb(0x50, 0x58, 0x90), {4, 0, 0, 4, 4, 0}, 0},
        {3, 2, floor, {0, 0, 4, 0, 0, 0}, 11, 0, 0, {}, false, true},
        {3, 3, floor, {4, 0, 0, 0, 0, 0}, 14},
        {1, 4, floor, {0, 4, 0, 0, 0, 4}, 0, 0, 1}, // the level above
        {2, 4, floor, {4, 1, 3, 0, 0, 0}, 0, 0, 1},
        {4, 3, floor, {0, 0, 0, 0, 0, 0}, 0, 0, 0},
    };

    const int margin = 16;
    QImage canvas(5 * kCell + 2 * margin, 5 * kCell + 2 * margin, QImage::Format_RGB32);
    canvas.fill(kBackground);
    for (const SampleRoom& room : rooms) {
        const int shift = kCell / 8 * -room.level;
        const int left = margin + room.col * kCell + shift, top = margin + room.row * kCell + shift;
        QPainter p(&canvas);
        auto draw = [&](int i) {
            p.drawImage(left, top, room.level == 0 ? pic[i] : Darker(pic[i]));
        };
        if (room.pipe) {
            draw(room.pipe == 1 ? (room.level == 1 ? 102 : 50) : (room.level == 1 ? 103 : 51));
        } else if (room.level < 1) {
            draw(0);
            draw(6 + 6 * room.state[4]);
            draw(7 + 6 * room.state[5]);
            if (room.level == 0) {
                p.end();
                FloodFill(canvas, QPoint(left + 12, top + 20), room.colour);
                p.begin(&canvas);
            }
            draw(1);
            for (int d = 0; d < 4; ++d)
                draw(2 + 6 * room.state[d] + d);
            for (int d = 0; d < 6; ++d) {
                if (room.marks[d] & 1) draw(44 + d);
                if (room.marks[d] & 2) draw(38 + d);
            }
        } else {
            draw(53);
            for (int d = 0; d < 6; ++d)
                draw(54 + 6 * room.state[d] + d);
        }
        if (room.icon > 0 && room.level == 0) p.drawImage(left + 8, top + 8, icon(room.icon));
        if (room.row == 4 && room.col == 3) p.drawImage(left + 9, top + 9, icon(0));
        if (room.selected) draw(104);
        if (room.highlighted) draw(105);
    }
    return canvas.scaled(canvas.size() * 2);
}

} // namespace art
