// Positioning across a seam: where a loop of the game closes off the grid, the part of a zone
// reached round the loop is mapped some cells off the part reached directly. Once the game has
// shown a known room standing that far off (by a room no other room reads like, or by ruling
// the rest out), the same offset between the same kind of look-alikes is that seam again: the
// known room wins where only the grid spoke against it, and the copies made at that offset
// before, which nothing has joined since, make way for it.

#include "map/MapModel.h"
#include "map/RoomKeys.h"
#include "text/Cp1251.h"
#include "text/Text.h"
#include "tracking/Positioner.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_map>
#include <unordered_set>

namespace tracking {

using map::TMudRoom2;
using text::W;

namespace {
constexpr std::size_t kMaxMeetings = 64;
// How much longer than the cells between them an exact walked way between two rooms may be for
// them to count as one stretch of the grid, where a way beside a move lands: that part of the
// map may reach the known room only round a corner or two.
constexpr int kSameStretch = 8;

// Whether `to` lies on the line from `from` in the direction (past corridor cells, if any).
bool AlongTheGrid(const TMudRoom2& from, const TMudRoom2& to, const map::DirInfo& i) {
    const int dx = to.X - from.X, dy = to.Y - from.Y, dl = to.L - from.L;
    const int k = i.dx ? dx / i.dx : i.dy ? dy / i.dy : i.dl ? dl / i.dl : 0;
    return k > 0 && dx == k * i.dx && dy == k * i.dy && dl == k * i.dl;
}
bool NextCell(const TMudRoom2& from, const TMudRoom2& to, const map::DirInfo& i) {
    return to.X == from.X + i.dx && to.Y == from.Y + i.dy && to.L == from.L + i.dl;
}
} // namespace

void Positioner::NoteShift(const GridShift& shift) {
    if (!IsFrameShift(shift) || shifts_.size() >= kMaxShifts) return;
    // Met from the other side, the same seam shows the reverse offset.
    if (std::any_of(shifts_.begin(), shifts_.end(),
                    [&](const GridShift& g) { return g.SameSeam(shift); }))
        return;
    shifts_.push_back(shift);
    Log(W("TranslateCMD.Moves: часть зоны ") + shift.zone + W(" стоит со сдвигом сетки (") +
        std::to_string(shift.dx) + "," + std::to_string(shift.dy) + "," + std::to_string(shift.dl) +
        ")");
    MendCopiesAt(shift);
    MendUnweighedAt(shift);
}

void Positioner::AcrossSeams(TMudRoom2* from, const HeldMove& move,
                             std::vector<TMudRoom2*>& out) const {
    const map::MapWorld& world = map_.World();
    const map::DirectionWords& words = map_.Words();
    const SeenRoom& seen = move.seen;
    if (IsDark(seen.Name) || seen.Desc.empty() || world.ZoneOf(from) != world.CurrentZone) return;
    const auto& step = map::Info(move.dir);
    const std::string back = words.Opposite(move.command);
    for (const GridShift& s : shifts_) {
        if (s.zone != world.CurrentZone) continue;
        for (int sign : {1, -1}) {
            TMudRoom2* r =
                world.FindRoom(from->X + step.dx + sign * s.dx, from->Y + step.dy + sign * s.dy,
                               from->L + step.dl + sign * s.dl);
            if (!r || r == from || r->Pipe || r->Hint != seen.Name ||
                std::count(out.begin(), out.end(), r) ||
                !map::SameExitKey(r->Exits(), seen.Exits) || !words.WasNotStep(*r, back) ||
                !world.MayDifferByItself(r, seen.Desc))
                continue;
            out.push_back(r);
        }
    }
}

void Positioner::NoteMeeting(TMudRoom2* from, map::Dir d, TMudRoom2* copy, TMudRoom2* known,
                             const GridShift& shift) {
    if (!copy || !known || !IsFrameShift(shift)) return;
    if (meetings_.size() >= kMaxMeetings) meetings_.erase(meetings_.begin());
    meetings_.push_back({from, d, copy, known, shift});
}

bool Positioner::ShortWayByGrid(const TMudRoom2* from, const TMudRoom2* to, bool exact,
                                int slack) const {
    const map::MapWorld& world = map_.World();
    const int limit =
        std::abs(to->X - from->X) + std::abs(to->Y - from->Y) + std::abs(to->L - from->L) + slack;
    // Breadth first over walked exits that lead to the neighbouring cell, so that every step
    // keeps the two rooms where the grid puts them.
    std::vector<const TMudRoom2*> ring{from}, next;
    std::unordered_set<const TMudRoom2*> seen{from};
    for (int depth = 0; depth < limit && !ring.empty() && seen.size() < 4096; ++depth) {
        next.clear();
        for (const TMudRoom2* r : ring)
            for (const map::DirInfo& i : map::kDirs) {
                const TMudRoom2* t = MappedTarget(r, i.dir);
                if (!t || world.ZoneOf(t) != world.ZoneOf(r) ||
                    !(exact ? NextCell(*r, *t, i) : AlongTheGrid(*r, *t, i)) ||
                    !seen.insert(t).second)
                    continue;
                if (t == to) return true;
                next.push_back(t);
            }
        ring.swap(next);
    }
    return false;
}

bool Positioner::OffsetShownNear(const TMudRoom2* from, const TMudRoom2* known,
                                 const GridShift& shift) const {
    const map::MapWorld& world = map_.World();
    const map::DirectionWords& words = map_.Words();
    const std::string& zone = world.ZoneOf(from);
    if (world.ZoneOf(known) != zone || shift.zone != zone || (!shift.dx && !shift.dy && !shift.dl))
        return false;
    // The room left and the rooms up to three steps from it on the grid, by walked exits.
    std::vector<const TMudRoom2*> near{from};
    std::size_t ring = 0;
    for (int depth = 0; depth < 3; ++depth) {
        const std::size_t end = near.size();
        for (; ring < end; ++ring)
            for (const map::DirInfo& i : map::kDirs) {
                const TMudRoom2* n = MappedTarget(near[ring], i.dir);
                if (n && words.WasStep(*near[ring], i.dir) && NextCell(*near[ring], *n, i) &&
                    std::find(near.begin(), near.end(), n) == near.end())
                    near.push_back(n);
            }
    }
    for (const TMudRoom2* g : near)
        for (const map::DirInfo& i : map::kDirs) {
            if (!words.WasStep(*g, i.dir)) continue;
            const TMudRoom2* t = MappedTarget(g, i.dir);
            if (!t || t == g || world.ZoneOf(t) != zone || t->X != g->X + i.dx + shift.dx ||
                t->Y != g->Y + i.dy + shift.dy || t->L != g->L + i.dl + shift.dl)
                continue;
            if (t == known || ShortWayByGrid(t, known, true, kSameStretch)) return true;
        }
    return false;
}

std::unordered_set<const TMudRoom2*>
Positioner::OffsetsShownNear(const TMudRoom2* from, map::Dir d,
                             const std::vector<TMudRoom2*>& candidates) const {
    std::unordered_set<const TMudRoom2*> out;
    if (s_.Identity) return out;
    const std::string& zone = map_.World().ZoneOf(from);
    for (const TMudRoom2* r : candidates) {
        if (map_.World().ZoneOf(r) != zone) continue;
        // Where the room left and the known room stand on one stretch of the grid, the
        // offset is between look-alikes, not between two parts of the map.
        if (OffsetShownNear(from, r, GridShift::Of(*from, d, *r, zone)) &&
            !ShortWayByGrid(from, r, true))
            out.insert(r);
    }
    return out;
}

std::optional<GridShift> Positioner::SeamOfMeetings() const {
    if (meetings_.size() < 2 || s_.Identity) return std::nullopt;
    const map::MapWorld& world = map_.World();
    // Still as made, the known room the only other room of the map that reads like the copy,
    // and no short walked way between the room left (or the copy, found late) and the known
    // room: a town built twice over has twins in like places, and a short stretch of the map
    // walked between them shows them apart; a seam is crossed only the long way round.
    auto standing = [&](const Meeting& m) {
        if (m.from && (MappedTarget(m.from, m.dir) != m.copy ||
                       MappedTarget(m.known, map::OppositeDir(m.dir))))
            return false;
        return OnlyLookAlike(*m.copy) == m.known &&
               !ShortWayByGrid(m.from ? m.from : m.copy, m.known);
    };
    std::vector<char> stands(meetings_.size(), -1);
    auto stand = [&](std::size_t i) {
        if (stands[i] < 0) stands[i] = standing(meetings_[i]);
        return stands[i] != 0;
    };
    for (std::size_t j = meetings_.size(); j-- > 1;)
        for (std::size_t i = 0; i < j; ++i) {
            const Meeting& a = meetings_[i];
            const Meeting& b = meetings_[j];
            if (a.shift.SameSeam(b.shift) && a.copy != b.copy && a.known != b.known &&
                !world.SameRoom(a.copy, b.copy->Hint, b.copy->Description, b.copy->Exits()) &&
                stand(j) && stand(i))
                return b.shift;
        }
    return std::nullopt;
}

TMudRoom2* Positioner::OnlyLookAlike(const TMudRoom2& room) const {
    const std::vector<TMudRoom2*> alike =
        map_.World().Lists().AllInWorldByName(room.Hint, room.Description, room.Exits(), true, 3);
    if (alike.size() != 2) return nullptr;
    if (alike[0] == &room) return alike[1];
    return alike[1] == &room ? alike[0] : nullptr;
}

void Positioner::NoteLateMeetings() {
    map::MapWorld& world = map_.World();
    changingSeen_ = world.Changing().Lines().size();
    if (s_.Identity || unweighed_.empty()) return;
    // A room made as new ground, read like no map room then; now that more lines are known to
    // change, it reads like one room made before it, at a frame shift: a meeting that was never
    // weighed, kept in mind as one passed over for want of evidence.
    // In the order the rooms were made, so that a replayed session mends them alike.
    std::vector<std::pair<TMudRoom2*, TMudRoom2*>> found; // copy, known
    for (TMudRoom2* made : unweighed_)
        if (world.ZoneOf(made) == world.CurrentZone)
            if (TMudRoom2* known = OnlyLookAlike(*made)) found.emplace_back(made, known);
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a.first->Tag < b.first->Tag; });
    for (const auto& [copy, known] : found) {
        unweighed_.erase(copy);
        if (known->Tag >= copy->Tag || world.ZoneOf(known) != world.CurrentZone) continue;
        const GridShift shift{world.CurrentZone, known->X - copy->X, known->Y - copy->Y,
                              known->L - copy->L};
        if (!IsFrameShift(shift)) continue;
        Log(W("TranslateCMD.Moves: комната ") + copy->Hint + CellText(*copy) +
            W(" теперь читается как") + CellText(*known) + W(": встреча на сдвиге сетки"));
        NoteMeeting(nullptr, map::North, copy, known, shift);
    }
    for (const GridShift& s : std::vector<GridShift>(shifts_))
        MendCopiesAt(s);
    if (const auto seam = SeamOfMeetings()) NoteShift(*seam);
}

void Positioner::MendCopiesAt(const GridShift& shift) {
    // Only text tells copies here: the game's own room numbers never make one.
    if (s_.Identity) return;
    map::MapWorld& world = map_.World();
    // Copies at this seam lead into one another as their known rooms do.
    CopyMap known;
    for (const Meeting& m : meetings_)
        if (m.shift.SameSeam(shift)) known.emplace(m.copy, m.known);
    // One at a time: mending one may destroy rooms that others name, and those go with them.
    for (;;) {
        const auto it = std::find_if(meetings_.begin(), meetings_.end(),
                                     [&](const Meeting& m) { return m.shift.SameSeam(shift); });
        if (it == meetings_.end()) return;
        const Meeting c = *it;
        meetings_.erase(it);
        if (!c.from) {
            // Found late (the room read otherwise when it was made): merged as it stands.
            if (world.ZoneOf(c.copy) == c.shift.zone && world.ZoneOf(c.known) == c.shift.zone &&
                world.SameRoom(c.known, c.copy->Hint, c.copy->Description, c.copy->Exits()) &&
                MergeCopy(c.copy, c.known, &known))
                Log(W("TranslateCMD.Moves: копия стоит на том же сдвиге сетки"));
            continue;
        }
        const map::Dir way = map::OppositeDir(c.dir);
        // Still as it was made: the move leads to the copy, the known room stands at the same
        // offset, reads like the copy and its way back is not walked.
        // Where the room it was made from was merged into its own known room already, the
        // two known rooms may stand joined.
        TMudRoom2* const ahead = MappedTarget(c.from, c.dir);
        TMudRoom2* const back = MappedTarget(c.known, way);
        const bool joined = ahead == c.known && back == c.from;
        if ((ahead != c.copy && !joined) || (back && !joined) ||
            (HasLinkLine(*c.known, way) && !joined) || world.ZoneOf(c.from) != c.shift.zone ||
            world.ZoneOf(c.known) != c.shift.zone ||
            (!joined && !(GridShift::Of(*c.from, c.dir, *c.known, c.shift.zone) == c.shift)) ||
            !world.SameRoom(c.known, c.copy->Hint, c.copy->Description, c.copy->Exits()))
            continue;
        if (DropLeafCopy(c.copy, c.from)) {
            if (!joined) LinkNamed(c.from, c.known, c.dir);
        } else if (!MergeCopy(c.copy, c.known, &known)) {
            continue;
        }
        Log(W("TranslateCMD.Moves: копия была сделана на том же сдвиге сетки, ход ведёт в "
              "известную комнату"));
    }
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
            if (!known || known->Pipe || known->Tag >= copy->Tag || !ReadsAsCopyOf(*copy, *known))
                continue;
            Log(W("TranslateCMD.Moves: комната ") + copy->Hint + CellText(*copy) +
                W(" стоит на том же сдвиге сетки от") + CellText(*known) +
                W(" и читается как она"));
            if (MergeCopiedStretch(copy, known)) break;
        }
    }
}

bool Positioner::OwnTextZone(const std::string& zone) const {
    // One room in a hundred read twice would already be a game of twins; below that many rooms
    // the map cannot tell.
    constexpr std::size_t kRoomsToTell = 100;
    const map::MapWorld& world = map_.World();
    if (zone != world.CurrentZone) return false;
    const map::ChangingLines& changing = world.Changing();
    // Each room's text as printed, blanks and all, apart from the lines the game changes by
    // itself, hashed: two texts that hash alike count as read alike, which can only turn the
    // rule off.
    std::unordered_set<std::uint64_t> texts;
    texts.reserve(world.Lists().ZoneCount());
    const std::hash<std::string_view> hash;
    bool twins = false;
    world.Lists().ForEachZoneRoom([&](TMudRoom2* r) {
        if (twins || r->Pipe || r->Description.empty() || IsDark(r->Hint) || unproven_.count(r))
            return;
        std::uint64_t key = map::NameKeyHash(r->Hint, r->Exits());
        map::ForEachDescriptionLine(r->Description, [&](std::string_view line) {
            if (changing.Empty() || !changing.Has(line)) key = map::MixKey(key, hash(line), 1);
        });
        twins = !texts.insert(key).second;
    });
    return !twins && texts.size() >= kRoomsToTell;
}

} // namespace tracking
