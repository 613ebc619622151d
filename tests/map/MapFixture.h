#pragma once
// Small maps drawn as text, for the map tests.
//
// Rooms stand on even lines and even columns; what lies between them is a link:
//
//     A-B . C        A and B are linked west-east; "." is an empty cell
//     |   #          A and D are linked north-south; "#" is a corridor room
//     D-#-#-E
//
// Line 2k, column 2m is the room at X = x0 + k, Y = y0 + m. A letter or digit is a room named by
// that character, with the exit list "N S E W"; "#" is a corridor room whose exit list follows
// its links. Between two cells "-" (or "|") links both rooms, ">" (or "v") sets only the flag
// of the room on the left (above), "<" (or "^") only that of the room on the right (below).
// Picture() draws the zone back in the same notation ("*" for a dark room), so a test compares
// whole maps.

#include "map/MapModel.h"
#include "profile/WorldProfile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace maptest {

using map::Dir;
using map::TMudRoom2;

// Records what the map asked of the user interface and answers as scripted.
class RecordingUi : public map::MapUi {
public:
    int repaints = 0, shifts = 0, beeps = 0, tracingOffs = 0;
    std::vector<const TMudRoom2*> removedNodes;
    std::vector<std::pair<const TMudRoom2*, int>> nodeImages;
    std::optional<map::Color> colorAnswer;
    std::vector<map::Color> colorAsked;
    map::ScrollPositions scroll{7, 9};
    std::optional<map::MapExtents> scrollRanges;

    void Repaint() override { ++repaints; }
    void Shift() override { ++shifts; }
    void Beep() override { ++beeps; }
    std::optional<map::Color> ChooseColor(map::Color initial) override {
        colorAsked.push_back(initial);
        return colorAnswer;
    }
    void TracingOff() override { ++tracingOffs; }
    map::Color DefaultRoomColor() override { return 0x00ABCDEF; }
    map::ScrollPositions ScrollBarPositions() override { return scroll; }
    void SetScrollRanges(const map::MapExtents& e) override { scrollRanges = e; }
    void RemoveQuickListNodes(const TMudRoom2* room) override { removedNodes.push_back(room); }
    void SetQuickListNodeImage(const TMudRoom2* room, int image) override {
        nodeImages.emplace_back(room, image);
    }
};

class MapTest : public ::testing::Test {
protected:
    profile::WorldProfile profile;
    RecordingUi ui;
    map::MapModel model{profile, ui};
    map::MapWorld& world = model.World();
    map::MapLinker& linker = model.Linker();
    map::MapEditor& editor = model.Editor();

    MapTest() { world.CurrentZone = "Zone"; }

    // Builds the drawing into the current zone at level l.
    void Build(std::initializer_list<std::string> lines, int x0 = 0, int y0 = 0, int l = 0) {
        std::vector<std::string> rows(lines);
        auto at = [&](size_t r, size_t c) {
            return r < rows.size() && c < rows[r].size() ? rows[r][c] : ' ';
        };
        std::vector<std::vector<TMudRoom2*>> cell(rows.size());
        for (size_t r = 0; r < rows.size(); r += 2) {
            for (size_t c = 0; c < rows[r].size(); c += 2) {
                const char ch = rows[r][c];
                TMudRoom2* room = nullptr;
                const int x = x0 + static_cast<int>(r / 2), y = y0 + static_cast<int>(c / 2);
                if (ch == '#') {
                    const bool ns = at(r - 1, c) != ' ' || at(r + 1, c) != ' ';
                    room = linker.NewRoomAt(x, y, l, "Pipe", "", ns ? "NS" : "WE", true);
                } else if (ch != '.' && ch != ' ') {
                    room = linker.NewRoomAt(x, y, l, std::string(1, ch), "", "N S E W");
                }
                cell[r].resize(c + 1);
                cell[r][c] = room;
            }
        }
        auto room = [&](size_t r, size_t c) {
            return r < cell.size() && c < cell[r].size() ? cell[r][c] : nullptr;
        };
        for (size_t r = 0; r < rows.size(); ++r) {
            for (size_t c = 0; c < rows[r].size(); ++c) {
                const char ch = rows[r][c];
                if (r % 2 == 0 && c % 2 == 1) { // between west and east
                    TMudRoom2 *w = room(r, c - 1), *e = room(r, c + 1);
                    if (w && (ch == '-' || ch == '>')) w->ChE = true;
                    if (e && (ch == '-' || ch == '<')) e->ChW = true;
                } else if (r % 2 == 1 && c % 2 == 0) { // between north and south
                    TMudRoom2 *n = room(r - 1, c), *s = room(r + 1, c);
                    if (n && (ch == '|' || ch == 'v')) n->ChS = true;
                    if (s && (ch == '|' || ch == '^')) s->ChN = true;
                }
            }
        }
    }

    // The zone's rooms of level l drawn over rows x0..x1 and columns y0..y1, trailing blanks
    // dropped, lines joined by "\n".
    std::string Picture(int x0, int y0, int x1, int y1, int l = 0) const {
        std::vector<std::string> out;
        for (int x = x0; x <= x1; ++x) {
            std::string rooms, links;
            for (int y = y0; y <= y1; ++y) {
                const TMudRoom2* r = world.FindRoom(x, y, l);
                const TMudRoom2* e = world.FindRoom(x, y + 1, l);
                const TMudRoom2* s = world.FindRoom(x + 1, y, l);
                rooms += Glyph(r);
                if (y < y1) rooms += Link(r && r->ChE, e && e->ChW, "-><");
                links += Link(r && r->ChS, s && s->ChN, "|v^");
                if (y < y1) links += ' ';
            }
            out.push_back(rooms);
            if (x < x1) out.push_back(links);
        }
        std::string joined;
        for (auto& line : out) {
            line.erase(line.find_last_not_of(' ') + 1);
            joined += line + "\n";
        }
        while (joined.size() >= 2 && joined.ends_with("\n\n"))
            joined.pop_back();
        return joined;
    }
    // The same over the zone's extents.
    std::string Picture(int l = 0) const {
        int x0 = INT_MAX, y0 = INT_MAX, x1 = INT_MIN, y1 = INT_MIN;
        world.Lists().ForEachZoneRoom([&](TMudRoom2* r) {
            if (r->L != l) return;
            x0 = std::min(x0, r->X), x1 = std::max(x1, r->X);
            y0 = std::min(y0, r->Y), y1 = std::max(y1, r->Y);
        });
        return x0 > x1 ? std::string() : Picture(x0, y0, x1, y1, l);
    }

    static std::string Lines(std::initializer_list<std::string> lines) {
        std::string joined;
        for (const auto& line : lines)
            joined += line + "\n";
        return joined;
    }

    // The room of the current zone named `name` (first in list order).
    TMudRoom2* R(char name) const {
        TMudRoom2* found = nullptr;
        world.Lists().ForEachZoneRoom([&](TMudRoom2* r) {
            if (!found && r->Hint == std::string(1, name)) found = r;
        });
        return found;
    }

    int CorridorRooms() const {
        int n = 0;
        world.Lists().ForEachWorldRoom([&](TMudRoom2* r, const std::string&) { n += r->Pipe; });
        return n;
    }

private:
    // A dark room (named with the profile's Dark text) is drawn "*".
    char Glyph(const TMudRoom2* r) const {
        if (!r) return '.';
        if (r->Pipe) return '#';
        if (r->Hint == profile.Dark) return '*';
        return r->Hint.empty() ? '?' : r->Hint[0];
    }
    static char Link(bool first, bool second, const char* glyphs) {
        if (first && second) return glyphs[0];
        if (first) return glyphs[1];
        if (second) return glyphs[2];
        return ' ';
    }
};

} // namespace maptest
