#pragma once
// Measures a saved map against the game's truth by replaying a walk on it. From the map room
// where the walk began, each move of the walk is followed through the map: the room's link line
// of that direction if it has one (a cross-zone link, zone|exit|room), else its link along the
// grid through corridor rooms. The map room reached after move k stands for the game room
// reached after move k; rooms are never matched by their names.
//
// A map room is taken to stand for a game room when the replay reaches it as that room more
// often than as any other (the map room's owner), or when it is the map room the replay
// reaches most often for that game room. A move whose link leads to a map room that stands for
// another room is a wrong link: the replay counts it and goes on from the map room of the
// room the game really reached (if the map has one), so that one wrong link costs one link
// and not the rest of the walk. Two passes: the first learns who stands for whom as it goes,
// the second judges every move against what the first learnt.

#include "RegionWalk.h"
#include "files/Paths.h"
#include "files/ZoneFile.h"
#include "map/Direction.h"
#include "map/LinkLine.h"
#include "profile/WorldProfile.h"
#include "text/Text.h"

#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

struct MapRoom {
    std::string zone; // Windows-1251
    map::TMudRoom2 room;
};

// The rooms of a saved world, zone by zone, with the lookups a replay needs.
class SavedMap {
public:
    explicit SavedMap(std::vector<MapRoom> rooms) : rooms_(std::move(rooms)) {
        // The first room of a cell or a number wins, as in the program's own lookups.
        for (const MapRoom& r : rooms_) {
            byTag_.emplace(std::pair{r.zone, r.room.Tag}, &r);
            byCell_.emplace(std::tuple{r.zone, r.room.X, r.room.Y, r.room.L}, &r);
        }
    }
    SavedMap(const SavedMap&) = delete;
    SavedMap& operator=(const SavedMap&) = delete;

    // Every zone file of a world's directory.
    static SavedMap Load(const std::filesystem::path& worldDir) {
        profile::WorldProfile profile;
        std::vector<MapRoom> rooms;
        for (const auto& file : storage::ListZoneFiles(worldDir)) {
            storage::ZoneReadResult r = storage::ReadZoneFile(file, profile);
            EXPECT_TRUE(r.ok()) << r.LogLine();
            const std::string zone = storage::ZoneNameOfFile(file.filename(), false).value_or("");
            for (auto& room : r.rooms)
                rooms.push_back({zone, std::move(room)});
        }
        return SavedMap(std::move(rooms));
    }

    const std::vector<MapRoom>& Rooms() const { return rooms_; }
    const MapRoom* ByTag(const std::string& zone, int tag) const {
        const auto it = byTag_.find({zone, tag});
        return it == byTag_.end() ? nullptr : it->second;
    }
    const MapRoom* At(const std::string& zone, int x, int y, int l) const {
        const auto it = byCell_.find({zone, x, y, l});
        return it == byCell_.end() ? nullptr : it->second;
    }
    // The room where the mapper began: Tag 1 of its zone, when only one zone has one; else
    // Tag 1 of the zone named `zone` (the mapper names a zone after the game's area).
    // With `name`, only first rooms of that name count (a zone begun later also has a room 1).
    const MapRoom* FirstRoom(const std::string& zone = {}, const std::string& name = {}) const {
        const MapRoom* first = nullptr;
        for (const MapRoom& r : rooms_)
            if (r.room.Tag == 1 && (name.empty() || r.room.Hint == name)) {
                if (first) return ByTag(zone, 1);
                first = &r;
            }
        return first;
    }

    // Where the map leads from a room in a direction (a letter n, s, e, w, u, d).
    const MapRoom* Follow(const MapRoom& from, char letter) const {
        map::Dir dir = map::North;
        for (const auto& i : map::kDirs)
            if (i.letter == letter) dir = i.dir;
        for (const std::string& line : from.room.AutoMaps) {
            const map::LinkLine link = map::LinkLine::Parse(line);
            if (link.IsLink() && text::DecodeEscapes(link.exit) == map::Phrase(profile_, dir))
                return ByTag(link.zone, link.RoomNumber());
        }
        if (!from.room.Ch(dir)) return nullptr;
        const auto& step = map::Info(dir);
        int x = from.room.X, y = from.room.Y, l = from.room.L;
        // A corridor is never longer than the map has rooms.
        for (std::size_t guard = 0; guard <= rooms_.size(); ++guard) {
            x += step.dx, y += step.dy, l += step.dl;
            const MapRoom* next = At(from.zone, x, y, l);
            if (!next || !next->room.Pipe) return next;
        }
        return nullptr;
    }

private:
    profile::WorldProfile profile_;
    std::vector<MapRoom> rooms_;
    std::map<std::pair<std::string, int>, const MapRoom*> byTag_;
    std::map<std::tuple<std::string, int, int, int>, const MapRoom*> byCell_;
};

// A map room for a test's message: zone, number, cell, name, exits and link lines (UTF-8).
inline std::string Describe(const MapRoom* m) {
    if (!m) return "none";
    std::ostringstream out;
    out << text::ToUnicode(m->zone).toStdString() << " #" << m->room.Tag << " (" << m->room.X << ","
        << m->room.Y << "," << m->room.L << ") " << text::ToUnicode(m->room.Hint).toStdString()
        << " [" << m->room.Exits() << "] walked:";
    for (const auto& i : map::kDirs)
        if (m->room.Ch(i.dir)) out << i.letter;
    for (const std::string& line : m->room.AutoMaps)
        out << " {" << text::ToUnicode(line).toStdString() << "}";
    return out.str();
}

struct WalkFigures {
    int gameRooms = 0;   // game rooms the walk reached, the start included
    int walkedExits = 0; // exits it took (an exit taken twice counts once)
    int mapRooms = 0;    // rooms of the map, corridor rooms left out
    int roomsRight = 0;  // game rooms mapped exactly once, by a map room of their own
    int linksRight = 0;  // exits that led to the right room every time they were taken
    int duplicates = 0;  // game rooms with more than one map room
    int merges = 0;      // map rooms standing for two game rooms or more
    int unmapped = 0;    // game rooms the replay never found on the map
    int firstWrong = -1; // the first move the map did not follow right, -1 for none
    // At that move: where the replay stood, where the map led, and the room it should have.
    const MapRoom* wrongFrom = nullptr;
    const MapRoom* wrongGot = nullptr;
    const MapRoom* wrongWant = nullptr;
    // The first move that reached a room already reached as another map room: its index (-1
    // for none), the map room it reached and the one reached before.
    int firstCopy = -1;
    const MapRoom* copyGot = nullptr;
    const MapRoom* copyBefore = nullptr;
    std::vector<int> duplicated;       // the game rooms with more than one map room
    std::vector<std::set<int>> merged; // the game rooms of each map room that stands for several

    std::string Summary() const {
        std::ostringstream out;
        out << "rooms right " << roomsRight << "/" << gameRooms << ", links right " << linksRight
            << "/" << walkedExits << ", duplicates " << duplicates << ", merges " << merges
            << ", unmapped " << unmapped << ", map rooms " << mapRooms;
        return out.str();
    }
};

inline WalkFigures CheckWalk(const WalkPlan& walk, const SavedMap& saved, const MapRoom* start) {
    using Pair = std::pair<int, const MapRoom*>;
    std::map<Pair, int> votes;
    std::map<int, const MapRoom*> roomOf;  // game room -> its most reached map room
    std::map<const MapRoom*, int> ownerOf; // map room -> the game room it is most reached as
    auto vote = [&](int game, const MapRoom* m) {
        const int n = ++votes[{game, m}];
        // Plurality, the earlier one keeping a tie.
        if (!roomOf.count(game) || n > votes[{game, roomOf[game]}]) roomOf[game] = m;
        if (!ownerOf.count(m) || n > votes[{ownerOf[m], m}]) ownerOf[m] = game;
    };
    auto room = [&](int game) { return roomOf.count(game) ? roomOf[game] : nullptr; };

    // First pass: a map room that already stands for another room, reached where the game room
    // already has another map room, is a wrong link; anything else teaches who is who.
    if (start) vote(walk.start, start);
    const MapRoom* at = start;
    for (const WalkMove& move : walk.moves) {
        const MapRoom* next = at ? saved.Follow(*at, move.dir) : nullptr;
        const bool known = roomOf.count(move.to) && ownerOf.count(next);
        if (next && !(known && roomOf[move.to] != next && ownerOf[next] != move.to)) {
            vote(move.to, next);
            at = next;
        } else {
            at = room(move.to);
        }
    }

    // Second pass: every move judged against what the first pass learnt.
    auto standsFor = [&](int game, const MapRoom* m) {
        return m && ((roomOf.count(game) && roomOf.at(game) == m) ||
                     (ownerOf.count(m) && ownerOf.at(m) == game));
    };
    std::map<std::pair<int, char>, bool> exitRight;
    int firstWrong = -1;
    WalkFigures f;
    std::map<int, const MapRoom*> firstReached;
    if (start) firstReached[walk.start] = start;
    at = start;
    for (std::size_t i = 0; i < walk.moves.size(); ++i) {
        const WalkMove& move = walk.moves[i];
        const MapRoom* next = at ? saved.Follow(*at, move.dir) : nullptr;
        const bool right = standsFor(move.to, next);
        if (!right && firstWrong < 0) {
            firstWrong = static_cast<int>(i);
            f.wrongFrom = at;
            f.wrongGot = next;
            f.wrongWant = room(move.to);
        }
        if (right && f.firstCopy < 0) {
            const MapRoom* before = firstReached.emplace(move.to, next).first->second;
            if (before != next) {
                f.firstCopy = static_cast<int>(i);
                f.copyGot = next;
                f.copyBefore = before;
            }
        }
        auto [it, added] = exitRight.emplace(std::pair{move.from, move.dir}, right);
        if (!added) it->second = it->second && right;
        at = right ? next : room(move.to);
    }

    f.firstWrong = firstWrong;
    std::set<int> games{walk.start};
    for (const WalkMove& move : walk.moves)
        games.insert(move.to);
    f.gameRooms = static_cast<int>(games.size());
    f.walkedExits = static_cast<int>(exitRight.size());
    for (const auto& [exit, right] : exitRight)
        f.linksRight += right;
    for (const MapRoom& r : saved.Rooms())
        f.mapRooms += !r.room.Pipe;
    std::map<int, std::set<const MapRoom*>> mappedAs;
    std::map<const MapRoom*, std::set<int>> standing;
    for (const auto& [pair, n] : votes)
        if (standsFor(pair.first, pair.second)) {
            mappedAs[pair.first].insert(pair.second);
            standing[pair.second].insert(pair.first);
        }
    for (int game : games) {
        const auto it = mappedAs.find(game);
        if (it == mappedAs.end()) {
            ++f.unmapped;
            continue;
        }
        if (it->second.size() > 1) f.duplicated.push_back(game);
        f.roomsRight += it->second.size() == 1 && standing.at(*it->second.begin()).size() == 1;
    }
    for (const auto& [m, rooms] : standing)
        if (rooms.size() > 1) f.merged.push_back(rooms);
    f.duplicates = static_cast<int>(f.duplicated.size());
    f.merges = static_cast<int>(f.merged.size());
    return f;
}

// Where the faults lie, area by area, and how many of the copied rooms read otherwise by night
// (UTF-8, for a report).
inline std::string FaultsByArea(const WalkFigures& f, const DemoWorld& world) {
    std::map<std::string, int> copies, merges;
    int timed = 0;
    for (int id : f.duplicated) {
        ++copies[world.rooms.at(id).area];
        timed += !world.rooms.at(id).descriptionNightPlain.empty();
    }
    for (const std::set<int>& rooms : f.merged)
        ++merges[world.rooms.at(*rooms.begin()).area];
    std::ostringstream out;
    out << "duplicates that read otherwise by night " << timed;
    for (const auto& [what, areas] : {std::pair{"duplicates", &copies}, {"merges", &merges}})
        for (const auto& [area, n] : *areas)
            out << "; " << what << " in " << text::ToUnicode(area).toStdString() << " " << n;
    return out.str();
}
