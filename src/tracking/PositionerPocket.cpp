// Positioning, where the grid has given way: a cell taken by a pocket of rooms that hangs on
// the rest of the map by stairs alone (a burrow under a hill, a cellar) is given up by moving
// the pocket a level further along its stairs, which become link lines; and a copy the map made
// of one side of a join, once the join is seen from its other side, goes.

#include "map/MapModel.h"
#include "profile/WorldProfile.h"
#include "text/Cp1251.h"
#include "text/Text.h"
#include "tracking/Positioner.h"

#include <algorithm>
#include <vector>

namespace tracking {

using map::TMudRoom2;
using text::W;

namespace {

constexpr std::size_t kMaxPocket = 32; // rooms: larger groups are pushed as before
constexpr int kMaxLevels = 8;          // how far along its stairs a pocket may go

} // namespace

bool Positioner::MovePocketAside(TMudRoom2* from, TMudRoom2* occupant) {
    map::MapWorld& world = map_.World();
    const map::Dir flat[] = {map::North, map::South, map::East, map::West};
    auto neighbour = [&](const TMudRoom2* r, map::Dir d) {
        const auto& step = map::Info(d);
        return world.FindRoom(r->X + step.dx, r->Y + step.dy, r->L + step.dl);
    };
    auto gridLinked = [&](const TMudRoom2* a, map::Dir d, const TMudRoom2* b) {
        const map::Dir back = map::OppositeDir(d);
        return (a->Ch(d) && !HasLinkLine(*a, d)) || (b->Ch(back) && !HasLinkLine(*b, back));
    };
    // The pocket: what the occupant is joined to on its own level.
    std::vector<TMudRoom2*> pocket{occupant};
    for (std::size_t i = 0; i < pocket.size(); ++i) {
        for (map::Dir d : flat) {
            TMudRoom2* n = neighbour(pocket[i], d);
            if (!n || std::find(pocket.begin(), pocket.end(), n) != pocket.end()) continue;
            if (!gridLinked(pocket[i], d, n)) continue;
            if (n == from || pocket.size() == kMaxPocket) return false;
            pocket.push_back(n);
        }
    }
    // Its stairs to the rest: all of them one way (up or down), none through a corridor.
    struct Stair {
        TMudRoom2* inside;
        map::Dir d;
        TMudRoom2* outside;
    };
    std::vector<Stair> stairs;
    for (TMudRoom2* p : pocket) {
        for (map::Dir d : {map::Up, map::Down}) {
            TMudRoom2* n = neighbour(p, d);
            if (!n || !gridLinked(p, d, n)) continue;
            if (n->Pipe || n == from) return false;
            stairs.push_back({p, d, n});
        }
    }
    if (stairs.empty()) return false;
    const map::Dir toRest = stairs.front().d;
    for (const Stair& s : stairs)
        if (s.d != toRest) return false;
    // Further along the stairs: the first level where every room of the pocket finds a free
    // cell.
    const int dl = toRest == map::Up ? -1 : 1;
    int shift = 0;
    for (int k = 1; k <= kMaxLevels && shift == 0; ++k) {
        const bool free = std::all_of(pocket.begin(), pocket.end(), [&](const TMudRoom2* p) {
            return !world.FindRoom(p->X, p->Y, p->L + dl * k);
        });
        if (free) shift = dl * k;
    }
    if (shift == 0) return false;

    const std::string& zone = world.CurrentZone;
    for (const Stair& s : stairs) {
        const map::Dir back = map::OppositeDir(s.d);
        if (s.inside->Ch(s.d)) s.inside->AutoMaps.push_back(LinkLineTo(*s.outside, zone, s.d));
        if (s.outside->Ch(back)) s.outside->AutoMaps.push_back(LinkLineTo(*s.inside, zone, back));
    }
    for (TMudRoom2* p : pocket) {
        p->L += shift;
        world.Lists().ReindexPosition(p);
        bent_.insert(p);
    }
    world.Saved = false;
    Log(W("TranslateCMD.Moves: клетку занимают комнаты, что держатся только за лестницу (") +
        std::to_string(pocket.size()) + W("), сдвинуты на ") + std::to_string(shift) +
        W(" по уровню, лестница стала линией связи"));
    return true;
}

bool Positioner::DropLeafCopy(TMudRoom2* copy, TMudRoom2* kept) {
    map::MapWorld& world = map_.World();
    if (!copy || copy == kept || copy == Current() || copy->Pipe || !copy->GameId.empty() ||
        HoldsPlayersWork(*copy))
        return false;
    for (const std::string& line : copy->AutoMaps)
        if (!text::GetField(line, 1).empty()) return false;
    // Its ways lead nowhere but to `kept`, and no neighbour's way leads into it.
    const std::string zone = world.ZoneOf(copy);
    if (zone != world.CurrentZone) return false;
    for (const map::DirInfo& i : map::kDirs) {
        TMudRoom2* to = MappedTarget(copy, i.dir);
        if (to && to != kept) return false;
        TMudRoom2* n = world.FindRoom(copy->X + i.dx, copy->Y + i.dy, copy->L + i.dl);
        if (n && n != kept && MappedTarget(n, i.opposite) == copy) return false;
    }
    // And no link line of the world leads into it.
    if (!LinkLinesInto(*copy).empty()) return false;
    Log(W("TranslateCMD.Moves: копия комнаты ") + copy->Hint + CellText(*copy) +
        W(" больше ни с чем не связана, удалена"));
    bent_.erase(copy);
    world.DestroyRoom(copy);
    world.Saved = false;
    return true;
}

} // namespace tracking
