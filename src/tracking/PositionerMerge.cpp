// Copies merged into the rooms they copy: a copy's ways out and in become the known room's,
// and where two map rooms turn out to be one room of the game, each with ways of its own, the
// newer goes into the older with the rooms it leads to that copy the older one's neighbours the
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

bool Positioner::HoldsPlayersWork(const TMudRoom2& room) {
    if (!room.Note.empty() || !room.QuickList.empty() || room.DT || room.FlyDT || room.Agro ||
        room.NoStep || room.ImageIndex != 0)
        return true;
    // Lines with no zone are the player's own commands for the room, and a link line with a
    // command the player wrote for it; the rest are link lines tracking writes.
    return std::any_of(room.AutoMaps.begin(), room.AutoMaps.end(), [](const std::string& line) {
        return text::GetField(line, 1).empty() || !text::GetField(line, 4).empty();
    });
}

void Positioner::JoinOneWay(TMudRoom2* from, TMudRoom2* to, map::Dir d) {
    // Already so (perhaps by a line the player wrote a command into): left as it is.
    if (MappedTarget(from, d) == to) return;
    map::MapWorld& world = map_.World();
    const auto& step = map::Info(d);
    const std::string& zone = world.ZoneOf(to);
    from->Ch(d) = true;
    if (world.ZoneOf(from) != world.CurrentZone) host_.ZoneTouched(world.ZoneOf(from));
    if (world.ZoneOf(from) == zone && to->X == from->X + step.dx && to->Y == from->Y + step.dy &&
        to->L == from->L + step.dl) {
        DropLinkLine(*from, d); // the grid joins them: a link line would lead elsewhere
        return;
    }
    SetLinkLine(*from, *to, zone, d);
}

bool Positioner::MergeCopy(TMudRoom2* copy, TMudRoom2* known, const CopyMap* copies) {
    map::MapWorld& world = map_.World();
    if (!copy || !known || copy == known || copy == Current() || copy->Pipe || known->Pipe ||
        !copy->GameId.empty() || HoldsPlayersWork(*copy) ||
        world.ZoneOf(copy) != world.CurrentZone || world.ZoneOf(known) != world.CurrentZone)
        return false;
    struct Way {
        TMudRoom2* room;
        map::Dir dir;
    };
    std::vector<Way> out, in;
    std::vector<TMudRoom2*> pieces; // corridor rooms that lead only into the copy
    for (const map::DirInfo& i : map::kDirs) {
        TMudRoom2* to = MappedTarget(copy, i.dir);
        // Into another copy of the same seam: where its known room stands.
        if (to && copies) {
            const auto it = copies->find(to);
            if (it != copies->end()) to = it->second;
        }
        if (to) {
            // A copy joined to the known room itself would join the room to itself.
            if (to == copy || to == known) return false;
            // The known room must not lead elsewhere the same way, nor a neighbour of its own
            // lead into it from there.
            TMudRoom2* mine = MappedTarget(known, i.dir);
            if (mine && mine != to) return false;
            TMudRoom2* next = world.FindRoom(known->X + i.dx, known->Y + i.dy, known->L + i.dl);
            if (!mine && next && next != to && MappedTarget(next, i.opposite) == known)
                return false;
            out.push_back({to, i.dir});
        }
        // A neighbour by the grid, or past a corridor that a push laid between the two: the
        // corridor goes with the copy where it serves this way alone.
        std::vector<TMudRoom2*> corridor;
        TMudRoom2* n = map_.Linker().BeyondCorridor(*copy, i.dir, &corridor);
        if (n && n != copy && !HasLinkLine(*n, i.opposite) && MappedTarget(n, i.opposite) == copy) {
            if (n == known) return false;
            in.push_back({n, i.opposite});
            for (TMudRoom2* piece : corridor)
                if (std::none_of(map::kDirs.begin(), map::kDirs.end(), [&](const map::DirInfo& o) {
                        return o.dir != i.dir && o.dir != i.opposite && piece->Ch(o.dir);
                    }))
                    pieces.push_back(piece);
        }
    }
    // Link lines anywhere in the world that lead into the copy; a command the player wrote
    // into one is not rewritten.
    for (const auto& [r, line] : LinkLinesInto(*copy)) {
        if (r == copy) continue;
        if (r == known || !text::GetField(line, 4).empty()) return false;
        const std::string phrase = text::DecodeEscapes(text::GetField(line, 2));
        for (const map::DirInfo& i : map::kDirs)
            if (map::Phrase(profile_, i.dir) == phrase) in.push_back({r, i.dir});
    }
    Log(W("TranslateCMD.Moves: копия комнаты ") + copy->Hint + CellText(*copy) +
        W(" слита с известной") + CellText(*known) + W(": её связи перенесены"));
    // Copies made next to this one, still waiting for their seam, now lie next to the known room.
    for (Meeting& m : meetings_) {
        if (m.from == copy) m.from = known;
        if (m.known == copy) m.known = known;
    }
    for (const Way& w : out)
        JoinOneWay(known, w.room, w.dir);
    for (const Way& w : in)
        JoinOneWay(w.room, known, w.dir);
    bent_.erase(copy);
    for (TMudRoom2* piece : pieces)
        world.DestroyRoom(piece);
    world.DestroyRoom(copy);
    world.Saved = false;
    return true;
}

bool Positioner::ReadsAsCopyOf(const TMudRoom2& copy, const TMudRoom2& original) const {
    const map::MapWorld& world = map_.World();
    return world.SameRoom(&original, copy.Hint, copy.Description, copy.Exits()) ||
           (copy.Hint == original.Hint && map::SameExitKey(copy.Exits(), original.Exits()) &&
            world.MayDifferByItself(&original, copy.Description, &copy));
}

bool Positioner::CopiedStretch(TMudRoom2* copy, TMudRoom2* original,
                               std::vector<std::pair<TMudRoom2*, TMudRoom2*>>& pairs) const {
    pairs.assign(1, {copy, original});
    CopyMap known{{copy, original}};
    std::unordered_set<const TMudRoom2*> originals{original};
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
            if (originals.count(c2) || known.count(o2) || !ReadsAsCopyOf(*c2, *o2)) return false;
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

} // namespace tracking
