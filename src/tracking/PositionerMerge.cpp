// Two map rooms found to be one room of the game, each with ways of its own: the newer goes
// into the older, and with it the rooms it leads to that copy the older one's neighbours the
// same way (a stretch walked twice, by day and by night or from two sides of a seam).

#include "map/MapModel.h"
#include "map/RoomKeys.h"
#include "text/Cp1251.h"
#include "text/Text.h"
#include "tracking/Positioner.h"

#include <algorithm>

#include <string>

namespace tracking {

using map::TMudRoom2;
using text::W;

namespace {
// Rooms of a copied stretch weighed at most.
constexpr std::size_t kMaxChain = 32;
} // namespace

bool Positioner::CopiedStretch(TMudRoom2* copy, TMudRoom2* original,
                               std::vector<std::pair<TMudRoom2*, TMudRoom2*>>& pairs) const {
    const map::MapWorld& world = map_.World();
    pairs.assign(1, {copy, original});
    CopyMap known{{copy, original}};
    std::unordered_set<const TMudRoom2*> originals{original};
    auto readsAlike = [&](const TMudRoom2* a, const TMudRoom2* b) {
        return world.SameRoom(b, a->Hint, a->Description, a->Exits()) ||
               (a->Hint == b->Hint && map::SameExitKey(a->Exits(), b->Exits()) &&
                world.MayDifferByItself(b, a->Description, a));
    };
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        const auto [c, o] = pairs[k];
        for (const map::DirInfo& i : map::kDirs) {
            TMudRoom2* c2 = MappedTarget(c, i.dir);
            TMudRoom2* o2 = MappedTarget(o, i.dir);
            if (!c2 || !o2 || c2 == o2) continue;
            const auto it = known.find(c2);
            if (it != known.end()) {
                if (it->second != o2) return false;
                continue;
            }
            // The same room's way leads to the same room: where the two lead to rooms that
            // read otherwise, they are not one room after all.
            if (originals.count(c2) || known.count(o2) || !readsAlike(c2, o2)) return false;
            if (pairs.size() >= kMaxChain) return false;
            pairs.emplace_back(c2, o2);
            known.emplace(c2, o2);
            originals.insert(o2);
        }
    }
    return true;
}

bool Positioner::MergeCopiedStretch(TMudRoom2* copy, TMudRoom2* original) {
    if (s_.Identity || !copy || !original || copy == original) return false;
    std::vector<std::pair<TMudRoom2*, TMudRoom2*>> pairs;
    if (!CopiedStretch(copy, original, pairs)) return false;
    map::MapWorld& world = map_.World();
    CopyMap known;
    for (const auto& [c, o] : pairs)
        known.emplace(c, o);
    // One at a time, each copy's ways into the others counting as ways into their originals.
    bool any = false;
    for (const auto& [c, o] : pairs) {
        const bool alike = world.SameRoom(o, c->Hint, c->Description, c->Exits());
        const std::string printed = c->Description;
        if (!MergeCopy(c, o, &known)) {
            if (!any) return false;
            continue;
        }
        any = true;
        known.erase(c);
        // Printed otherwise by a line or two, at another time of day: those lines change.
        if (!alike && world.LearnChangingLines(o, printed))
            Log(W("TranslateCMD.Moves: описание иное на строку, что меняется сама"));
    }
    return any;
}

void Positioner::MendUnweighedAt(const GridShift& shift) {
    if (s_.Identity || unweighed_.empty()) return;
    map::MapWorld& world = map_.World();
    // In the order the rooms were made, so that a replayed session mends them alike.
    std::vector<TMudRoom2*> made(unweighed_.begin(), unweighed_.end());
    std::sort(made.begin(), made.end(),
              [](const TMudRoom2* a, const TMudRoom2* b) { return a->Tag < b->Tag; });
    for (TMudRoom2* copy : made) {
        // Merging one may have taken others with it.
        if (!unweighed_.count(copy) || world.ZoneOf(copy) != shift.zone) continue;
        for (int sign : {1, -1}) {
            TMudRoom2* known = world.FindRoom(copy->X + sign * shift.dx, copy->Y + sign * shift.dy,
                                              copy->L + sign * shift.dl);
            if (!known || known->Pipe || known->Tag >= copy->Tag || known->Hint != copy->Hint ||
                !map::SameExitKey(known->Exits(), copy->Exits()) ||
                !(world.SameRoom(known, copy->Hint, copy->Description, copy->Exits()) ||
                  world.MayDifferByItself(known, copy->Description, copy)))
                continue;
            Log(W("TranslateCMD.Moves: комната ") + copy->Hint + CellText(*copy) +
                W(" стоит на том же сдвиге сетки от") + CellText(*known) +
                W(" и читается как она"));
            if (MergeCopiedStretch(copy, known)) break;
        }
    }
}

} // namespace tracking
