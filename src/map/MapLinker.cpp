#include "map/MapLinker.h"

#include "profile/WorldProfile.h"

#include <string>

namespace map {

namespace {

bool SamePos(const TMudRoom2& r, int x, int y, int l) {
    return r.X == x && r.Y == y && r.L == l;
}

void Step(Dir d, int& x, int& y, int& l) {
    x += Info(d).dx;
    y += Info(d).dy;
    l += Info(d).dl;
}

// Whether `to` lies beyond `from` on the line that runs from it in direction d.
bool OnLine(const TMudRoom2& from, const TMudRoom2& to, Dir d) {
    const DirInfo& i = Info(d);
    const long long ddx = static_cast<long long>(to.X) - from.X;
    const long long ddy = static_cast<long long>(to.Y) - from.Y;
    const long long ddl = static_cast<long long>(to.L) - from.L;
    if (i.dx) return ddy == 0 && ddl == 0 && ddx * i.dx > 0;
    if (i.dy) return ddx == 0 && ddl == 0 && ddy * i.dy > 0;
    return ddx == 0 && ddy == 0 && ddl * i.dl > 0;
}

bool Vertical(Dir d) {
    return d == North || d == South;
}

} // namespace

TMudRoom2* MapLinker::NewRoomAt(int x, int y, int l, std::string_view name,
                                std::string_view description, std::string_view exits, bool pipe) {
    MapUi& ui = world_.Ui();
    auto room = std::make_unique<TMudRoom2>();
    world_.Saved = false;
    room->Hint = pipe ? std::string() : std::string(name);
    room->Description = std::string(description);
    room->BColor = ui.DefaultRoomColor();
    room->X = x;
    room->Y = y;
    const ScrollPositions scroll = ui.ScrollBarPositions();
    room->DX = scroll.Vertical;
    room->DY = scroll.Horizontal;
    room->SetExits(std::string(exits), world_.Profile());
    room->L = l;
    room->DL = world_.ViewLevel;
    room->Pipe = pipe;
    room->Tag = pipe ? 0 : ++world_.HighestRoomNumber;

    RoomLists& lists = world_.Lists();
    const bool firstOfZone = lists.ZoneCount() == 0;
    TMudRoom2* r = lists.AddToWorld(std::move(room), world_.CurrentZone);
    lists.InsertIntoZone(r);
    if (firstOfZone)
        world_.Extents = {x, x, y, y, l, l};
    else
        world_.WidenExtents(x, y, l);
    ui.SetScrollRanges(world_.Extents);
    ui.Shift();
    ui.Repaint();
    return r;
}

TMudRoom2* MapLinker::NewCorridorRoom(int x, int y, int l, Dir d, std::string_view exits) {
    TMudRoom2* c = NewRoomAt(x, y, l, "Pipe", "", exits, true);
    c->Ch(d) = true;
    c->Ch(OppositeDir(d)) = true;
    return c;
}

void MapLinker::StepTo(Dir d) {
    TMudRoom2* ctx = world_.ContextRoom;
    if (!ctx) return;
    int x = ctx->X, y = ctx->Y, l = ctx->L;
    Step(d, x, y, l);
    TMudRoom2* other = world_.FindRoom(x, y, l);
    if (!other) other = NewRoomAt(x, y, l, world_.Profile().Dark, "", "", false);
    ctx->Ch(d) = true;
    other->Ch(OppositeDir(d)) = true;
}

bool MapLinker::CanPushAside(TMudRoom2* room, Dir d, const TMudRoom2* from, const TMudRoom2* to,
                             Dir& pushDir) {
    if (Vertical(d)) {
        if (room->ChE || room->ChW) return false;
        pushDir = West;
    } else if (d == East || d == West) {
        if (room->ChN || room->ChS) return false;
        pushDir = South;
    } else {
        return false; // nothing is pushed out of a vertical line
    }
    std::vector<TMudRoom2*> group;
    ListAt(pushDir, room, group);
    for (TMudRoom2* r : group)
        if (r == from || r == to) return false;
    return true;
}

bool MapLinker::SetLink(TMudRoom2* from, TMudRoom2* to, Dir d) {
    if (from == to) return true;
    if (!from || !to) return false;
    // Rooms off the line would get a corridor that runs past `to` into nowhere.
    bool ok = OnLine(*from, *to, d);
    // The first pass only tests whether everything in the way can be pushed; the second
    // pushes, testing again since earlier pushes change the groups.
    for (int pass = 0; ok && pass < 2; ++pass) {
        int x = from->X, y = from->Y, l = from->L;
        for (int i = 0; i < kMaxCorridor; ++i) {
            Step(d, x, y, l);
            if (SamePos(*to, x, y, l)) break;
            TMudRoom2* r = world_.FindRoom(x, y, l);
            if (!r || r == to) continue;
            Dir pushDir = West;
            if (!CanPushAside(r, d, from, to, pushDir)) {
                ok = false;
                break;
            }
            if (pass == 1) {
                world_.ContextRoom = r;
                MoveRoomTo(pushDir);
            }
        }
    }
    if (ok) {
        const auto& p = world_.Profile();
        const std::string exits = Vertical(d) ? ExitWord(p, North) + ExitWord(p, South)
                                              : ExitWord(p, West) + ExitWord(p, East);
        int x = from->X, y = from->Y, l = from->L;
        for (int i = 0; i < kMaxCorridor; ++i) {
            Step(d, x, y, l);
            if (SamePos(*to, x, y, l)) break;
            if (world_.FindRoom(x, y, l)) continue; // never two rooms on one cell
            NewCorridorRoom(x, y, l, d, exits);
        }
    }
    from->Ch(d) = true;
    to->Ch(OppositeDir(d)) = true;
    return ok;
}

void MapLinker::TryToLink(TMudRoom2* from, TMudRoom2* to, Dir d) {
    if (!from || !to || from == to) return;
    const std::string fromZone = world_.ZoneOf(from);
    const std::string toZone = world_.ZoneOf(to);
    if (fromZone != toZone) {
        const Dir back = OppositeDir(d);
        from->AutoMaps.push_back(toZone + "|" + Phrase(world_.Profile(), d) + "|" +
                                 std::to_string(to->Tag));
        from->Ch(d) = true;
        to->AutoMaps.push_back(fromZone + "|" + Phrase(world_.Profile(), back) + "|" +
                               std::to_string(from->Tag));
        to->Ch(back) = true;
        return;
    }
    // A level apart, no row or column can join them: pushing would only tear the map.
    if (from->L != to->L) return;
    const int fx = from->X, fy = from->Y, tx = to->X, ty = to->Y;
    bool straight = false, offByOne = false;
    switch (d) {
    case North:
        straight = tx < fx && ty == fy;
        offByOne = tx <= fx && (ty - fy == 1 || fy - ty == 1);
        break;
    case South:
        straight = tx > fx && ty == fy;
        offByOne = tx >= fx && (ty - fy == 1 || fy - ty == 1);
        break;
    case West:
        straight = ty < fy && tx == fx;
        offByOne = ty <= fy && (tx - fx == 1 || fx - tx == 1);
        break;
    case East:
        straight = ty > fy && tx == fx;
        offByOne = ty >= fy && (tx - fx == 1 || fx - tx == 1);
        break;
    default:
        return;
    }
    if (straight) {
        SetLink(from, to, d);
        return;
    }
    if (!offByOne) return;
    // Side by side across d: first open a row (or column) between them.
    if (Vertical(d) ? fx == tx : fy == ty) ExpandRooms(from, to, d);
    Dir e;
    if (Vertical(d))
        e = from->Y < to->Y ? West : East;
    else
        e = from->X < to->X ? North : South;
    ExpandRooms(from, to, e);
    SetLink(from, to, d);
}

void MapLinker::MakeLink(Dir d) {
    TMudRoom2* ctx = world_.ContextRoom;
    if (!ctx || d == Up || d == Down) return;
    const MapExtents& e = world_.Extents;
    int x = ctx->X, y = ctx->Y, l = ctx->L;
    TMudRoom2* found = nullptr;
    while (!found && x >= e.MinX && x <= e.MaxX && y >= e.MinY && y <= e.MaxY) {
        Step(d, x, y, l);
        found = world_.FindRoom(x, y, l);
    }
    if (!found) {
        world_.Ui().Beep();
        return;
    }
    SetLink(ctx, found, d);
    world_.Ui().Shift();
}

void MapLinker::DeleteLink(TMudRoom2* room, Dir d) {
    if (!room) return;
    int x = room->X, y = room->Y, l = room->L;
    TMudRoom2* r = nullptr;
    for (;;) {
        Step(d, x, y, l);
        r = world_.FindRoom(x, y, l);
        if (!r || !r->Pipe || r == room) break;
        world_.DestroyRoom(r);
    }
    if (r) r->Ch(OppositeDir(d)) = false;
    room->Ch(d) = false;
}

} // namespace map
