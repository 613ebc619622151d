#pragma once
// A seeded walk over every exit of a demo world, planned from its dump before a line is sent:
// at each room a random exit not yet taken, else the shortest way through known exits to the
// nearest room that still has one. Every exit is taken at least once, so a way back, where the
// game has one, is walked too. Closed doors are opened on the way.

#include "E2eSupport.h"

#include <deque>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

// One move of the player: from a room through an exit into a room.
struct WalkMove {
    int from = 0;
    char dir = 0;
    int to = 0;
};

struct WalkPlan {
    int start = 0;
    // The lines to send, in order: moves, and "open <dir>" before a closed door.
    std::vector<std::string> commands;
    // For each command, its move in `moves`, or -1 for a command that does not move.
    std::vector<int> moveOf;
    std::vector<WalkMove> moves;
};

inline WalkPlan PlanWalk(const DemoWorld& world, unsigned seed) {
    WalkPlan plan;
    plan.start = world.start;
    std::mt19937 rng(seed);
    std::set<std::pair<int, char>> walked, opened;
    int at = world.start;
    auto step = [&](char d) {
        const DemoRoom& here = world.rooms.at(at);
        const int to = here.exits.at(d);
        if (here.doors.at(d) && !opened.count({at, d})) {
            plan.commands.push_back(std::string("open ") + d);
            plan.moveOf.push_back(-1);
            // A door is one door from both of its sides.
            opened.insert({at, d});
            for (const auto& [back, target] : world.rooms.at(to).exits)
                if (target == at && world.rooms.at(to).doors.at(back)) opened.insert({to, back});
        }
        plan.commands.push_back(std::string(1, d));
        plan.moveOf.push_back(static_cast<int>(plan.moves.size()));
        plan.moves.push_back({at, d, to});
        walked.insert({at, d});
        at = to;
    };
    auto untaken = [&](int room) {
        std::vector<char> dirs;
        for (const auto& [d, to] : world.rooms.at(room).exits)
            if (!walked.count({room, d})) dirs.push_back(d);
        return dirs;
    };
    // Each round takes an exit or walks to one, so the plan ends within the world's size.
    for (std::size_t guard = 0; guard < 100 * world.rooms.size(); ++guard) {
        if (const std::vector<char> open = untaken(at); !open.empty()) {
            step(open[rng() % open.size()]);
            continue;
        }
        std::map<int, std::pair<int, char>> from{{at, {0, 0}}};
        std::deque<int> queue{at};
        int target = 0;
        while (!queue.empty() && !target) {
            const int r = queue.front();
            queue.pop_front();
            if (!untaken(r).empty()) {
                target = r;
                break;
            }
            for (const auto& [d, to] : world.rooms.at(r).exits)
                if (from.emplace(to, std::pair{r, d}).second) queue.push_back(to);
        }
        if (!target) break; // every exit reachable from here has been taken
        std::vector<char> path;
        for (int r = target; r != at; r = from.at(r).first)
            path.insert(path.begin(), from.at(r).second);
        for (char d : path)
            step(d);
    }
    return plan;
}
