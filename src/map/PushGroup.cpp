// Pushing rooms aside: the push group, moving it, and making space between two rooms.

#include "map/MapLinker.h"

#include "profile/WorldProfile.h"

#include <algorithm>
#include <array>

namespace map {

namespace {

// Whether the neighbour in direction `side` of a group member joins the push group in d:
// rooms in the way always do, rooms behind never do (so that a gap opens behind the group),
// rooms beside only when linked to the member.
bool JoinsGroup(Dir d, Dir side, bool linked) {
    if (d == OppositeDir(side)) return false;
    return d == side || linked;
}

// Up and down keep the rooms behind that are linked (a column moves together), and take
// along the rooms in the way so that a vertical push never stacks two rooms on one cell.
bool JoinsGroupVertically(Dir d, Dir side, bool linked) {
    return d == side || linked;
}

} // namespace

bool MapLinker::AbsorbsPush(const TMudRoom2& room, Dir d) const {
    if (!room.Pipe) return false;
    const std::string_view word = (d == Up || d == Down)
                                      ? std::string_view("0")
                                      : std::string_view(ExitWord(world_.Profile(), d));
    return !word.empty() && room.Exits().find(word) != std::string::npos;
}

bool MapLinker::Linked(Dir side, const TMudRoom2& member, const TMudRoom2& neighbour) const {
    // Either way: a link that runs one way only (a drop, a door that opens from one side) holds
    // the two together as well. But a way that a link line serves leads elsewhere, not to the
    // neighbour, and a corridor room holds only along its own run.
    const Dir back = OppositeDir(side);
    return (LinkedByGrid(member, side) && (!neighbour.Pipe || neighbour.Ch(back))) ||
           (LinkedByGrid(neighbour, back) && (!member.Pipe || member.Ch(side)));
}

bool MapLinker::LinkedByGrid(const TMudRoom2& room, Dir d) const {
    return room.Ch(d) && words_.HasJump(&room, MoveWord(world_.Profile(), d)) < 0;
}

void MapLinker::ListAt(Dir d, TMudRoom2* room, std::vector<TMudRoom2*>& list) {
    if (!room) return;
    RoomLists& lists = world_.Lists();
    const std::uint32_t mark = lists.NewMark();
    for (TMudRoom2* r : list)
        RoomLists::Mark(r, mark);
    // Depth first, neighbours in the order north, south, east, west, up, down: the order of
    // the list is that of a recursive walk, kept on an explicit stack for large zones.
    struct Frame {
        TMudRoom2* room;
        int next;
    };
    std::vector<Frame> stack;
    auto visit = [&](TMudRoom2* r) {
        list.push_back(r);
        RoomLists::Mark(r, mark);
        if (!AbsorbsPush(*r, d)) stack.push_back({r, 0});
    };
    visit(room);
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.next == kDirCount) {
            stack.pop_back();
            continue;
        }
        const Dir side = static_cast<Dir>(f.next++);
        const DirInfo& i = Info(side);
        TMudRoom2* n = world_.FindRoom(f.room->X + i.dx, f.room->Y + i.dy, f.room->L + i.dl);
        if (!n || RoomLists::Marked(n, mark)) continue;
        const bool linked = Linked(side, *f.room, *n);
        const bool joins = (side == Up || side == Down) ? JoinsGroupVertically(d, side, linked)
                                                        : JoinsGroup(d, side, linked);
        if (joins) visit(n); // may grow the stack: `f` is not used past this point
    }
}

void MapLinker::MoveRoomTo(Dir d) {
    TMudRoom2* ctx = world_.ContextRoom;
    if (!ctx) return;
    RoomLists& lists = world_.Lists();
    const DirInfo& step = Info(d);
    const Dir back = OppositeDir(d);

    std::vector<TMudRoom2*> group;
    ListAt(d, ctx, group);
    const std::uint32_t member = lists.NewMark();
    for (TMudRoom2* r : group)
        RoomLists::Mark(r, member);

    // Links across the edge of the group, by the grid, before anything moves: a link the move
    // and the corridors it mends below cannot keep (one that ran through a corridor crossing
    // the group's way, say) becomes a link line, so that no walked way changes where it leads.
    struct Edge {
        TMudRoom2* from;
        Dir dir;
        TMudRoom2* to;
    };
    std::vector<Edge> edges;
    for (TMudRoom2* r : group) {
        if (r->Pipe) continue;
        for (const DirInfo& i : kDirs) {
            if (TMudRoom2* t = GridTarget(*r, i.dir); t && !RoomLists::Marked(t, member))
                edges.push_back({r, i.dir, t});
            TMudRoom2* n = BeyondCorridor(*r, i.dir);
            if (n && !RoomLists::Marked(n, member) && GridTarget(*n, i.opposite) == r)
                edges.push_back({n, i.opposite, r});
        }
    }

    // A corridor running along d in front of the group gives up its first cell.
    std::vector<TMudRoom2*> moving;
    moving.reserve(group.size());
    for (TMudRoom2* r : group) {
        if (r->Pipe && words_.WasStep(*r, d)) {
            TMudRoom2* beyond = world_.FindRoom(r->X + step.dx, r->Y + step.dy, r->L + step.dl);
            if (!beyond || !RoomLists::Marked(beyond, member)) {
                world_.DestroyRoom(r);
                continue;
            }
        }
        moving.push_back(r);
    }

    for (TMudRoom2* r : moving) {
        r->X += step.dx;
        r->Y += step.dy;
        r->L += step.dl;
    }
    for (TMudRoom2* r : moving)
        lists.ReindexPosition(r);

    // A link between the group and a room behind it now spans a gap of one cell: fill it. A
    // link that runs one way only (a drop, a door that opens from one side) counts, whichever
    // side it starts from; a link line of the room in that direction is no link on the grid.
    const auto& p = world_.Profile();
    const std::string exits = (d == North || d == South) ? ExitWord(p, North) + ExitWord(p, South)
                                                         : ExitWord(p, East) + ExitWord(p, West);
    auto gridStep = [&](const TMudRoom2& room, Dir way) {
        return words_.WasStep(room, way) && LinkedByGrid(room, way);
    };
    for (TMudRoom2* r : moving) {
        const int gx = r->X - step.dx, gy = r->Y - step.dy, gl = r->L - step.dl;
        if (world_.FindRoom(gx, gy, gl)) continue;
        TMudRoom2* m = world_.FindRoom(gx - step.dx, gy - step.dy, gl - step.dl);
        if (m && (gridStep(*r, back) || gridStep(*m, d))) NewCorridorRoom(gx, gy, gl, d, exits);
    }
    const std::string& zone = world_.CurrentZone;
    for (const Edge& e : edges)
        if (GridTarget(*e.from, e.dir) != e.to)
            e.from->AutoMaps.push_back(zone + "|" + Phrase(p, e.dir) + "|" +
                                       std::to_string(e.to->Tag));
}

TMudRoom2* MapLinker::BeyondCorridor(const TMudRoom2& room, Dir d,
                                     std::vector<TMudRoom2*>* corridor) const {
    const DirInfo& i = Info(d);
    // A corridor never runs longer than the zone is wide, so the walk ends.
    for (int k = 1; k <= static_cast<int>(world_.Lists().ZoneCount()); ++k) {
        TMudRoom2* r = world_.FindRoom(room.X + k * i.dx, room.Y + k * i.dy, room.L + k * i.dl);
        if (!r || !r->Pipe) return r;
        if (corridor) corridor->push_back(r);
    }
    return nullptr;
}

TMudRoom2* MapLinker::GridTarget(const TMudRoom2& room, Dir d) const {
    return LinkedByGrid(room, d) ? BeyondCorridor(room, d) : nullptr;
}

bool MapLinker::ExpandRooms(TMudRoom2* a, TMudRoom2* b, Dir d) {
    if (!a || !b) return false;
    std::vector<TMudRoom2*> groupA, groupB;
    ListAt(OppositeDir(d), a, groupA);
    ListAt(d, b, groupB);
    // A group that holds the other room takes it along and opens nothing between them.
    const bool canMoveB = std::find(groupB.begin(), groupB.end(), a) == groupB.end();
    const bool canMoveA = std::find(groupA.begin(), groupA.end(), b) == groupA.end();
    if (!canMoveB && !canMoveA) return false;
    // The push acts on the context room; the player's own context room (where an alias or a
    // menu command goes) is left as it was.
    // (A corridor room may be shortened away by the push: such a context is not kept.)
    TMudRoom2* const context =
        world_.ContextRoom && !world_.ContextRoom->Pipe ? world_.ContextRoom : nullptr;
    const bool moveB = canMoveB && (groupA.size() >= groupB.size() || !canMoveA);
    world_.ContextRoom = moveB ? b : a;
    MoveRoomTo(moveB ? d : OppositeDir(d));
    world_.ContextRoom = context;
    return true;
}

} // namespace map
