#include "RegionBuilder.h"

#include <stdexcept>

namespace demo {

namespace {

[[noreturn]] void Mistake(const std::string& what) {
    throw std::logic_error("demo region: " + what);
}

} // namespace

int RegionBuilder::AddRoom(const AreaText& area, const RoomKind& kind, int x, int y, int l) {
    const int n = areaRooms_[area.name]++;
    const int id = nextId_++;
    std::vector<std::string> desc = {std::string("   ") + kind.line};
    if (kind.second) {
        desc.push_back(kind.second);
    } else {
        // Every pair of halves once, so that no two rooms of an area read alike.
        const std::size_t where = area.where.size(), what = area.what.size();
        if (static_cast<std::size_t>(n) >= where * what) Mistake("too few details in an area");
        desc.push_back(std::string(area.where[n % where]) + " " + area.what[n / where]);
    }
    world_.Add(id, kind.name, std::move(desc), x, y, l);
    Room& room = *world_.Edit(id);
    room.vnum = area.vnumBase + n + 1;
    room.areaUtf8 = area.name;
    room.timedAt = kind.timedAt;
    room.dayUtf8 = kind.day;
    room.nightUtf8 = kind.night;
    if (!cells_.emplace(std::tuple{x, y, l}, id).second) Mistake("two rooms in one cell");
    return id;
}

void RegionBuilder::Lay(const AreaText& area, int x0, int y0, int l,
                        const std::vector<std::string>& picture,
                        const std::vector<RoomKind>& kinds) {
    auto at = [&](std::size_t r, std::size_t c) {
        return r < picture.size() && c < picture[r].size() ? picture[r][c] : ' ';
    };
    auto cell = [&](std::size_t r, std::size_t c) {
        return std::tuple{x0 + static_cast<int>(r / 2), y0 + static_cast<int>(c / 2), l};
    };
    for (std::size_t r = 0; r < picture.size(); r += 2)
        for (std::size_t c = 0; c < picture[r].size(); c += 2) {
            if (at(r, c) == ' ') continue;
            const RoomKind* kind = nullptr;
            for (const RoomKind& k : kinds)
                if (k.letter == at(r, c)) kind = &k;
            if (!kind) Mistake(std::string("no kind of room for '") + at(r, c) + "'");
            const auto [x, y, level] = cell(r, c);
            AddRoom(area, *kind, x, y, level);
        }
    auto room = [&](std::size_t r, std::size_t c) {
        const auto found = cells_.find(cell(r, c));
        if (at(r, c) == ' ' || found == cells_.end()) Mistake("a link leads to no room");
        return found->second;
    };
    for (std::size_t r = 0; r < picture.size(); ++r)
        for (std::size_t c = 0; c < picture[r].size(); ++c) {
            const char ch = picture[r][c];
            if (ch == '-' && r % 2 == 0 && c % 2 == 1)
                world_.Link(room(r, c - 1), kEast, room(r, c + 1));
            else if (ch == '|' && r % 2 == 1 && c % 2 == 0)
                world_.Link(room(r - 1, c), kSouth, room(r + 1, c));
            else if ((ch == '-' || ch == '|') || (r % 2 == 1 && ch != ' '))
                Mistake("a stray mark in a picture");
        }
}

int RegionBuilder::At(int x, int y, int l) const {
    const auto found = cells_.find(std::tuple{x, y, l});
    if (found == cells_.end())
        Mistake("no room at " + std::to_string(x) + "," + std::to_string(y) + "," +
                std::to_string(l));
    return found->second;
}

void RegionBuilder::OneWay(int from, Dir d, int to) {
    world_.Edit(from)->exits[d].to = to;
}

void RegionBuilder::Door(int from, Dir d, const char* nameUtf8) {
    Room& a = *world_.Edit(from);
    if (!a.exits[d].to) Mistake("a door where there is no exit");
    Room& b = *world_.Edit(a.exits[d].to);
    Exit& there = a.exits[d];
    Exit& back = b.exits[Info(d).opposite];
    if (back.to != from) Mistake("a door on a one-way exit");
    there.door = back.door = true;
    there.doorUtf8 = back.doorUtf8 = nameUtf8;
}

} // namespace demo
