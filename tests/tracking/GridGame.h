#pragma once
// A small game world drawn as an ASCII grid, walked through a tracking rig, and a check that
// the map the rig grew is that world: every room once, every walked exit linked both ways.
//
//   "A-B"      rooms are letters on even columns of even rows; '-' and '|' join neighbours.
//   "| |"      Rooms drawn with the same letter print the same name, description and exits
//   "C D"      when they have the same exits (twins). Warp() adds exits off the grid.

#include "TrackingRig.h"
#include "map/Direction.h"
#include "text/Text.h"

#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

struct GridGame {
    struct Room {
        char letter;
        int x, y; // game position (for the test only; the map never sees it)
        std::map<char, int> exits;
    };
    std::vector<Room> rooms;

    explicit GridGame(const std::vector<std::string>& rows) {
        std::map<std::pair<int, int>, int> at;
        for (int r = 0; r < static_cast<int>(rows.size()); r += 2)
            for (int c = 0; c < static_cast<int>(rows[r].size()); c += 2)
                if (rows[r][c] != ' ') {
                    at[{r / 2, c / 2}] = static_cast<int>(rooms.size());
                    rooms.push_back({rows[r][c], r / 2, c / 2, {}});
                }
        for (const auto& [pos, id] : at) {
            auto [x, y] = pos;
            if (2 * y + 1 < static_cast<int>(rows[2 * x].size()) && rows[2 * x][2 * y + 1] == '-')
                Join(id, 'e', at.at({x, y + 1}));
            if (2 * x + 1 < static_cast<int>(rows.size()) &&
                2 * y < static_cast<int>(rows[2 * x + 1].size()) && rows[2 * x + 1][2 * y] == '|')
                Join(id, 's', at.at({x + 1, y}));
        }
    }
    static char Back(char d) {
        switch (d) {
        case 'n':
            return 's';
        case 's':
            return 'n';
        case 'e':
            return 'w';
        case 'w':
            return 'e';
        case 'u':
            return 'd';
        default:
            return 'u';
        }
    }
    void Join(int a, char d, int b) {
        rooms[a].exits[d] = b;
        rooms[b].exits[Back(d)] = a;
    }
    // An exit that the grid does not show: the game's way between two rooms.
    void Warp(int a, char d, int b) { Join(a, d, b); }
    // A way with no way back (a drop): b lists no exit towards a.
    void OneWay(int a, char d, int b) { rooms[a].exits[d] = b; }
    int Find(char letter, int nth = 0) const {
        for (int i = 0; i < static_cast<int>(rooms.size()); ++i)
            if (rooms[i].letter == letter && nth-- == 0) return i;
        return -1;
    }
    // What every room's name begins with; the room's letter follows.
    std::string namePrefix = "Room ";
    // Names given to letters: rooms of different letters may share a name.
    std::map<char, std::string> names;
    std::string Name(int id) const {
        const auto it = names.find(rooms[id].letter);
        return it != names.end() ? it->second : namePrefix + rooms[id].letter;
    }
    std::string Exits(int id) const {
        std::string s;
        for (char d : std::string("nsewud"))
            if (rooms[id].exits.count(d))
                s += (s.empty() ? "" : " ") + std::string(1, char(d - 32));
        return s;
    }
    std::string Text(int id) const {
        return RoomText(Name(id), std::string("Looks like ") + rooms[id].letter + ".", Exits(id));
    }
};

// How the game speaks to the rig and what the player types: by default the default profile's
// room text, a prompt "> ", and the letters n s e w u d.
struct WalkVoice {
    std::string look = "look";
    std::function<std::string(char d)> command = [](char d) { return std::string(1, d); };
    std::function<std::string(const GridGame&, int room)> room = [](const GridGame& g, int id) {
        return g.Text(id) + "> ";
    };
    std::function<void(TrackingRig&, const std::string&)> serve =
        [](TrackingRig& rig, const std::string& text) { rig.Server(text); };
};

// Rooms that gain a line by night, while `night` is true; rooms drawn with a letter of
// `steady` read the same by day and night.
inline WalkVoice NightVoice(const bool& night, std::string steady = {}) {
    WalkVoice voice;
    voice.room = [&night, steady](const GridGame& g, int id) {
        const char letter = g.rooms[id].letter;
        const std::string desc = std::string("Looks like ") + letter + ".";
        const bool changes = night && steady.find(letter) == std::string::npos;
        return RoomText(g.Name(id), changes ? desc + "\r\nThe moon is up." : desc, g.Exits(id)) +
               "> ";
    };
    return voice;
}

// The player in the game and the rig that tracks him.
struct GridWalk {
    const GridGame& game;
    TrackingRig& rig;
    int at;
    WalkVoice voice;
    std::set<std::pair<int, char>> walked;

    GridWalk(const GridGame& g, TrackingRig& r, int start, WalkVoice v = {})
        : game(g), rig(r), at(start), voice(std::move(v)) {
        rig.tracker.State().CommandQueue.push_back(voice.look);
        voice.serve(rig, voice.room(game, at));
    }
    void Move(char d) {
        const int to = game.rooms[at].exits.at(d);
        walked.insert({at, d});
        at = to;
        rig.tracker.State().CommandQueue.push_back(voice.command(d));
        voice.serve(rig, voice.room(game, at));
    }
    void Path(const std::string& moves) {
        for (char d : moves)
            Move(d);
    }
    // Every exit walked once, in an order the seed picks: a random unwalked exit here, else
    // the way to the nearest room that has one.
    void RandomWalk(unsigned seed) {
        std::mt19937 rng(seed);
        for (int guard = 0; guard < 1000; ++guard) {
            std::vector<char> open;
            for (const auto& [d, to] : game.rooms[at].exits)
                if (!walked.count({at, d})) open.push_back(d);
            if (!open.empty()) {
                Move(open[rng() % open.size()]);
                continue;
            }
            std::map<int, std::pair<int, char>> from{{at, {-1, 0}}};
            std::vector<int> queue{at};
            int target = -1;
            for (std::size_t i = 0; i < queue.size() && target < 0; ++i)
                for (const auto& [d, to] : game.rooms[queue[i]].exits) {
                    if (from.count(to)) continue;
                    from[to] = {queue[i], d};
                    queue.push_back(to);
                    for (const auto& [d2, to2] : game.rooms[to].exits)
                        if (!walked.count({to, d2})) target = to;
                    if (target >= 0) break;
                }
            if (target < 0) return;
            std::string path;
            for (int r = target; r != at; r = from[r].first)
                path.insert(path.begin(), from[r].second);
            Path(path);
        }
    }
};

// Where the map says a move leads: a link line of that direction (into any zone), else the
// walked exit along the grid through corridor rooms of the room's own zone.
template <typename Rig> map::TMudRoom2* FollowOnMap(Rig& rig, map::TMudRoom2* from, char d) {
    map::MapWorld& world = rig.world();
    const map::Dir dir = std::find_if(map::kDirs.begin(), map::kDirs.end(), [d](const auto& i) {
                             return i.letter == d;
                         })->dir;
    const std::string& phrase = map::Phrase(rig.profile, dir);
    for (const auto& line : from->AutoMaps)
        if (!text::GetField(line, 1).empty() && text::GetField(line, 2) == phrase)
            return world.GlobalFindRoomByTag(std::stoi(text::GetField(line, 3)),
                                             text::GetField(line, 1));
    if (!from->Ch(dir)) return nullptr;
    const auto& s = map::Info(dir);
    const std::uint32_t zone = world.Lists().ZoneIdOf(from);
    int x = from->X, y = from->Y, l = from->L;
    for (int guard = 0; guard < 50; ++guard) {
        x += s.dx, y += s.dy, l += s.dl;
        map::TMudRoom2* next = world.Lists().FindInWorldZone(x, y, l, zone);
        if (!next || !next->Pipe) return next;
    }
    return nullptr;
}

// What is wrong with the map as a picture of the walked part of the game; empty when nothing.
// Moves are followed through links and link lines, over every zone of the world.
inline std::string CheckMap(const GridGame& game, const GridWalk& walk, int start,
                            map::TMudRoom2* startRoom) {
    map::MapWorld& world = walk.rig.world();
    std::map<int, map::TMudRoom2*> image{{start, startRoom}};
    std::string problems;
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto& [from, d] : walk.walked) {
            if (!image.count(from)) continue;
            map::TMudRoom2* m = image[from];
            map::TMudRoom2* next = FollowOnMap(walk.rig, m, d);
            const int to = game.rooms[from].exits.at(d);
            if (!next) {
                problems += "nothing behind " + game.Name(from) + " exit " + d + "; ";
                continue;
            }
            if (next->Hint != game.Name(to))
                problems += game.Name(from) + " exit " + d + " leads to " + next->Hint + "; ";
            const auto back = game.rooms[to].exits.find(GridGame::Back(d));
            if (back != game.rooms[to].exits.end() && back->second == from &&
                FollowOnMap(walk.rig, next, GridGame::Back(d)) != m)
                problems += next->Hint + " has no link back; ";
            if (auto [it, added] = image.emplace(to, next); added)
                grew = true;
            else if (it->second != next)
                problems += game.Name(to) + " mapped twice; ";
        }
    }
    std::set<map::TMudRoom2*> used;
    for (const auto& [id, room] : image)
        if (!used.insert(room).second) problems += room->Hint + " stands for two rooms; ";
    std::size_t real = 0;
    world.Lists().ForEachWorldRoom(
        [&](map::TMudRoom2* r, const std::string&) { real += r->Pipe ? 0 : 1; });
    if (real != image.size())
        problems += std::to_string(real) + " rooms on the map for " + std::to_string(image.size()) +
                    " rooms walked; ";
    return problems;
}
