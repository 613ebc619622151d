#pragma once
// A scripted player of the demo game: walks its exits (opening doors, standing up now and
// then), keeps where the game has him and which exits he took.

#include "E2eSupport.h"
#include "map/Direction.h"

#include <deque>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

inline map::Dir DirOf(char letter) {
    for (const auto& i : map::kDirs)
        if (i.letter == letter) return i.dir;
    return map::North;
}

inline std::string ExitKey(std::string s) {
    std::string out;
    for (char c : s)
        if (c != ' ' && c != '(' && c != ')') out += c;
    return out;
}

// The client's side of the walk: where the server has the player, which doors are open.
struct Walker {
    const DemoWorld& world;
    ScriptedClient& client;
    int at;
    std::set<int> visited;
    std::set<std::pair<int, char>> walked; // exits taken
    std::set<std::pair<int, char>> open;
    int moves = 0;

    bool Step(char d) {
        const DemoRoom& here = world.rooms.at(at);
        if (here.doors.count(d) && here.doors.at(d) && !open.count({at, d})) {
            if (!client.Send({std::string("open ") + d})) return false;
            int there = here.exits.at(d);
            open.insert({at, d});
            open.insert({there, map::Info(map::OppositeDir(DirOf(d))).letter});
        }
        if (++moves % 50 == 0 && !client.Send({text::FromUnicode(QString::fromUtf8("встать"))}))
            return false;
        if (!client.Send({std::string(1, d)})) return false;
        walked.insert({at, d});
        at = here.exits.at(d);
        visited.insert(at);
        return true;
    }
    // Shortest way to the nearest room that `wanted` accepts (portals are not taken).
    template <class F> std::vector<char> PathWhere(F wanted) const {
        std::map<int, std::pair<int, char>> from;
        std::deque<int> queue{at};
        from[at] = {0, 0};
        while (!queue.empty()) {
            int r = queue.front();
            queue.pop_front();
            if (wanted(r)) {
                std::vector<char> path;
                for (int x = r; x != at; x = from[x].first)
                    path.insert(path.begin(), from[x].second);
                return path;
            }
            for (const auto& [d, to] : world.rooms.at(r).exits)
                if (!from.count(to)) {
                    from[to] = {r, d};
                    queue.push_back(to);
                }
        }
        return {};
    }
    // Every exit once, in the order the seed gives: a random exit not yet taken here, else the
    // way to the nearest room that has one.
    bool RandomWalk(unsigned seed) {
        std::mt19937 rng(seed);
        for (int guard = 0; guard < 5000; ++guard) {
            std::vector<char> open;
            for (const auto& [d, to] : world.rooms.at(at).exits)
                if (!walked.count({at, d})) open.push_back(d);
            if (!open.empty()) {
                if (!Step(open[rng() % open.size()])) return false;
                continue;
            }
            std::vector<char> path = PathWhere([&](int r) {
                for (const auto& [d, to] : world.rooms.at(r).exits)
                    if (!walked.count({r, d})) return true;
                return false;
            });
            if (path.empty()) return true;
            for (char d : path)
                if (!Step(d)) return false;
        }
        return false;
    }
    std::vector<char> PathToUnvisited() const {
        return PathWhere([&](int r) { return !visited.count(r); });
    }
    std::vector<char> PathTo(int room) const {
        return PathWhere([&](int r) { return r == room; });
    }
};
