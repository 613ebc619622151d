#include "view/map/MapPainter.h"

#include "map/LinkLine.h"
#include "map/MudRoom.h"
#include "map/RoomLists.h"
#include "profile/WorldProfile.h"

#include <QPainter>

#include <array>

namespace view {

namespace {
// Painting's direction order (that of the profile's Directions phrases): N, S, W, E, U, D.
constexpr std::array<map::Dir, 6> kPaintDirs{map::North, map::South, map::West,
                                             map::East,  map::Up,    map::Down};
constexpr int kN = 0, kU = 4, kD = 5;
} // namespace

int TMapPainter::ExitState(const map::TMudRoom2& room, int d) const {
    const map::Dir dir = kPaintDirs[d];
    return static_cast<int>(room.ExitStateOf(dir)) + (room.Ch(dir) ? 3 : 0);
}

QPoint TMapPainter::CellOrigin(const map::TMudRoom2& room, QSize canvas, int chooserIndex) const {
    const int h = skin_.Set(chooserIndex).cell;
    const int r = static_cast<int>(h / 8.0);
    const int left = canvas.width() / 2 - h / 2 + (room.Y - room.DY) * h + r * (room.DL - room.L);
    const int top = canvas.height() / 2 - h / 2 + (room.X - room.DX) * h + r * (room.DL - room.L);
    return {left, top};
}

const std::vector<int>& TMapPainter::FillArea(const SkinImageSet& set, int upState, int downState) {
    const std::uint64_t key = (set.pictures[pic::kBase].cacheKey() * 64u) ^
                              static_cast<std::uint64_t>(upState * 8 + downState);
    auto it = fillAreas_.find(key);
    if (it != fillAreas_.end()) return it->second;

    // The room's own pictures under the fill, on a transparent cell: the fill takes the area
    // around the fill point that has the colour found there, and never leaves the cell.
    const int h = set.cell;
    QImage cell(h, h, QImage::Format_ARGB32_Premultiplied);
    cell.fill(Qt::transparent);
    {
        QPainter p(&cell);
        p.drawImage(0, 0, set.pictures[pic::kBase]);
        p.drawImage(0, 0, set.pictures[pic::Exit(upState, kU)]);
        p.drawImage(0, 0, set.pictures[pic::Exit(downState, kD)]);
    }
    std::vector<int> area;
    const QPoint start = skin_.Geometry().fillPoint;
    if (start.x() >= 0 && start.y() >= 0 && start.x() < h && start.y() < h) {
        const QRgb target = cell.pixel(start);
        std::vector<char> seen(static_cast<std::size_t>(h) * h, 0);
        std::vector<int> stack{start.y() * h + start.x()};
        seen[static_cast<std::size_t>(stack.back())] = 1;
        while (!stack.empty()) {
            const int at = stack.back();
            stack.pop_back();
            area.push_back(at);
            const int x = at % h, y = at / h;
            const int next[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
            for (const auto& n : next) {
                if (n[0] < 0 || n[1] < 0 || n[0] >= h || n[1] >= h) continue;
                const int o = n[1] * h + n[0];
                if (seen[static_cast<std::size_t>(o)] || cell.pixel(n[0], n[1]) != target) continue;
                seen[static_cast<std::size_t>(o)] = 1;
                stack.push_back(o);
            }
        }
    }
    return fillAreas_.emplace(key, std::move(area)).first->second;
}

void TMapPainter::Fill(Target& t, QPoint origin, int cell, const std::vector<int>& area,
                       QRgb colour) {
    for (int at : area) {
        const int x = origin.x() + at % cell, y = origin.y() + at / cell;
        if (x >= 0 && y >= 0 && x < t.width && y < t.height) t.bits[y * t.stride + x] = colour;
    }
}

void TMapPainter::DrawRoom(const map::TMudRoom2& room, QImage& canvas,
                           const PaintSettings& settings) {
    if (canvas.format() != QImage::Format_ARGB32_Premultiplied &&
        canvas.format() != QImage::Format_RGB32)
        canvas.convertTo(QImage::Format_ARGB32_Premultiplied);
    Target t{reinterpret_cast<QRgb*>(canvas.bits()), canvas.bytesPerLine() / 4, canvas.width(),
             canvas.height(), nullptr};
    QPainter p(&canvas);
    t.painter = &p;
    Draw(room, t, settings);
}

void TMapPainter::Draw(const map::TMudRoom2& room, Target& t, const PaintSettings& settings) {
    const SkinImageSet& set = skin_.Set(settings.chooserIndex);
    const int h = set.cell;
    const QPoint at = CellOrigin(room, QSize(t.width, t.height), settings.chooserIndex);
    if (at.y() <= -h || at.y() >= t.height || at.x() <= -h || at.x() >= t.width) return;
    const int above = room.L - room.DL; // 1 for the level above, negative below
    const bool onLevel = above == 0;
    // Rooms of other levels are drawn darkened.
    const auto& pictures = onLevel ? set.pictures : set.dimmed;

    QPainter& p = *t.painter;
    auto draw = [&](int index) { p.drawImage(at, pictures[static_cast<std::size_t>(index)]); };

    // The room's body (corridor, or base, colour fill, frame, exits and marks) depends on a
    // few small values only: it is composed once per combination and then drawn in one step.
    std::uint64_t key = (settings.chooserIndex == 0 ? 0u : 1u);
    const std::uint64_t relation = onLevel ? 0 : above < 0 ? 1 : above == 1 ? 2 : 3;
    key = key << 2 | relation;
    if (relation == 3) key = 0; // nothing of the body shows two levels up
    int state[6] = {}, marks[6] = {};
    bool northSouth = false;
    if (room.Pipe) {
        northSouth = room.ExitStateOf(map::North) > 0 || room.ExitStateOf(map::South) > 0 ||
                     room.ChN || room.ChS;
        key = key << 2 | (northSouth ? 3 : 2);
    } else {
        key = key << 2 | 1;
        for (int d = 0; d < 6; ++d) {
            state[d] = ExitState(room, d);
            key = key << 3 | static_cast<std::uint64_t>(state[d]);
        }
        // Link lines and automatic commands mark their direction: 1 zone load, 2 command.
        for (const std::string& text : room.AutoMaps) {
            const map::LinkLine line = map::LinkLine::Parse(text);
            for (int d = 0; d < 6; ++d) {
                if (profile_.Directions[static_cast<std::size_t>(d)] != line.exit) continue;
                marks[d] = (line.zone.empty() ? 0 : 1) + (line.command.empty() ? 0 : 2);
                break;
            }
        }
        for (int d = 0; d < 6; ++d)
            key = key << 2 | static_cast<std::uint64_t>(marks[d]);
        // Colours are stored as $00BBGGRR; only the view level is filled.
        if (onLevel) key = key << 24 | static_cast<std::uint64_t>(room.BColor & 0xFFFFFF);
    }
    if (relation != 3) {
        if (tileSkin_ != set.pictures[pic::kBase].cacheKey() || tiles_.size() > kMaxTiles) {
            tiles_.clear();
            tileSkin_ = set.pictures[pic::kBase].cacheKey();
        }
        auto it = tiles_.find(key);
        if (it == tiles_.end()) {
            QImage tile(h, h, QImage::Format_ARGB32_Premultiplied);
            tile.fill(Qt::transparent);
            QPainter tp(&tile);
            auto put = [&](int index) {
                tp.drawImage(0, 0, pictures[static_cast<std::size_t>(index)]);
            };
            if (room.Pipe) {
                if (above < 1)
                    put(northSouth ? pic::kCorridorNS : pic::kCorridorWE);
                else
                    put(northSouth ? pic::kUpperCorridorNS : pic::kUpperCorridorWE);
            } else if (above < 1) {
                put(pic::kBase);
                put(pic::Exit(state[kU], kU));
                put(pic::Exit(state[kD], kD));
                if (onLevel) {
                    tp.end();
                    const QRgb c = qRgb(room.BColor & 0xFF, (room.BColor >> 8) & 0xFF,
                                        (room.BColor >> 16) & 0xFF);
                    Target tt{reinterpret_cast<QRgb*>(tile.bits()), tile.bytesPerLine() / 4, h, h,
                              nullptr};
                    Fill(tt, QPoint(0, 0), h, FillArea(set, state[kU], state[kD]), c);
                    tp.begin(&tile);
                }
                put(pic::kFrame);
                for (int d = kN; d <= 3; ++d)
                    put(pic::Exit(state[d], d));
                for (int d = 0; d < 6; ++d) {
                    if (marks[d] & 1) put(pic::ZoneLoad(d));
                    if (marks[d] & 2) put(pic::Command(d));
                }
            } else {
                put(pic::kUpperOutline);
                for (int d = 0; d < 6; ++d)
                    put(pic::UpperExit(state[d], d));
                for (int d = 0; d < 6; ++d) {
                    if (marks[d] & 1) put(pic::UpperZoneLoad(d));
                    if (marks[d] & 2) put(pic::UpperCommand(d));
                }
            }
            tp.end();
            it = tiles_.emplace(key, std::move(tile)).first;
        }
        p.drawImage(at, it->second);
    }

    if (onLevel && room.Hint == profile_.Dark && !set.icons.empty())
        p.drawImage(at + QPoint(1 + h / 4, 1 + h / 4), set.icons[0]);
    if (room.ImageIndex > 0 && static_cast<std::size_t>(room.ImageIndex) < set.icons.size()) {
        const auto i = static_cast<std::size_t>(room.ImageIndex);
        const SkinGeometry& g = skin_.Geometry();
        const QPoint iconAt = at + QPoint(g.iconColumnOffset, g.iconRowOffset);
        if (onLevel)
            p.drawImage(iconAt, set.icons[i]);
        else if (above == -1 && i < set.iconsGrey.size())
            p.drawImage(iconAt, set.iconsGrey[i]);
        else if (above < -1 && i < set.iconsDark.size())
            p.drawImage(iconAt, set.iconsDark[i]);
    }
    if (room.Selected) draw(pic::kPosition);
    if (room.Checked) draw(pic::kHighlight);
}

void TMapPainter::Paint(QImage& canvas, const map::RoomLists& lists, int viewLevel,
                        const PaintSettings& settings) {
    if (canvas.format() != QImage::Format_ARGB32_Premultiplied &&
        canvas.format() != QImage::Format_RGB32)
        canvas.convertTo(QImage::Format_ARGB32_Premultiplied);
    const QImage* texture = nullptr;
    if (settings.texture >= 0 && settings.textures &&
        static_cast<std::size_t>(settings.texture) < settings.textures->size())
        texture = &(*settings.textures)[static_cast<std::size_t>(settings.texture)];
    if (!texture || texture->isNull()) canvas.fill(settings.background);
    // The colour fill writes pixels directly; the painter draws into the same memory.
    Target t{reinterpret_cast<QRgb*>(canvas.bits()), canvas.bytesPerLine() / 4, canvas.width(),
             canvas.height(), nullptr};
    QPainter p(&canvas);
    t.painter = &p;
    if (texture && !texture->isNull()) {
        // One extra row and column cover the partial tiles at the right and bottom edges.
        const int w = texture->width(), h = texture->height();
        for (int i = 0; i <= canvas.height() / h; ++i)
            for (int j = 0; j <= canvas.width() / w; ++j)
                p.drawImage(w * j, h * i, *texture);
    }
    lists.ForEachZoneRoom([&](map::TMudRoom2* room) {
        const bool shown = room->L == viewLevel ||
                           (room->L == viewLevel + 1 && settings.showTopLevel) ||
                           (room->L < viewLevel && settings.showBottomLevel);
        if (shown) Draw(*room, t, settings);
    });
}

} // namespace view
