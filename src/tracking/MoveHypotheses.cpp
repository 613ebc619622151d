#include "tracking/MoveHypotheses.h"

#include "map/MapModel.h"
#include "map/RoomKeys.h"
#include "profile/WorldProfile.h"
#include "text/Cp1251.h"
#include "text/Text.h"

#include <algorithm>
#include <cstdlib>

namespace tracking {

using map::TMudRoom2;
using text::W;

namespace {

std::string Cell(int x, int y, int l) {
    return "(" + std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(l) + ")";
}

// Where a known room lies from the room the move started in, as linking sees it: straight
// ahead (a corridor is laid), beside the cell ahead (rooms are moved apart), in another zone
// (a cross-zone link), or nowhere a link can be drawn.
enum class Lie { Straight, Beside, OtherZone, Off };

Lie LieOf(const TMudRoom2& from, const TMudRoom2& to, bool sameZone, map::Dir d) {
    if (!sameZone) return Lie::OtherZone;
    if (from.L != to.L) return Lie::Off;
    const int fx = from.X, fy = from.Y, tx = to.X, ty = to.Y;
    const bool side = ty - fy == 1 || fy - ty == 1, sideX = tx - fx == 1 || fx - tx == 1;
    switch (d) {
    case map::North:
        return tx < fx && ty == fy ? Lie::Straight : tx <= fx && side ? Lie::Beside : Lie::Off;
    case map::South:
        return tx > fx && ty == fy ? Lie::Straight : tx >= fx && side ? Lie::Beside : Lie::Off;
    case map::West:
        return ty < fy && tx == fx ? Lie::Straight : ty <= fy && sideX ? Lie::Beside : Lie::Off;
    case map::East:
        return ty > fy && tx == fx ? Lie::Straight : ty >= fy && sideX ? Lie::Beside : Lie::Off;
    default:
        return Lie::Off;
    }
}

} // namespace

TMudRoom2* CopyBehind(const map::MapWorld& world, const TMudRoom2* room, const TMudRoom2* from,
                      map::Dir d) {
    const auto& step = map::Info(map::OppositeDir(d));
    const std::string& zone = world.ZoneOf(room);
    int x = room->X, y = room->Y, l = room->L;
    // A corridor never runs longer than the world has rooms.
    for (std::size_t guard = 0; guard <= world.Lists().WorldCount(); ++guard) {
        x += step.dx, y += step.dy, l += step.dl;
        TMudRoom2* r = world.GlobalFindRoom(x, y, l, zone);
        if (!r) return nullptr;
        if (r->Pipe) continue;
        return r != from && world.SameRoom(r, from->Hint, from->Description, from->Exits())
                   ? r
                   : nullptr;
    }
    return nullptr;
}

void MoveHypotheses::Clear() {
    set_.clear();
    held_.clear();
    anchor_ = nullptr;
}

void MoveHypotheses::Forget(const TMudRoom2* room) {
    if (!Open()) return;
    if (!room || room == anchor_) {
        Clear();
        return;
    }
    for (Hypothesis& h : set_)
        if (h.alive && (h.candidate == room || h.at == room)) {
            h.alive = false;
            h.reason = W("комната удалена с карты");
        }
}

std::string MoveHypotheses::Label(const Hypothesis& h) const {
    if (!h.candidate) {
        const auto& s = map::Info(first_.dir);
        return W("новая комната ") + Cell(anchor_->X + s.dx, anchor_->Y + s.dy, anchor_->L + s.dl);
    }
    const TMudRoom2& r = *h.candidate;
    return W("комната №") + std::to_string(r.Tag) + " " + h.zone + " " + Cell(r.X, r.Y, r.L);
}

GridShift GridShift::Of(const TMudRoom2& from, map::Dir d, const TMudRoom2& to,
                        const std::string& zone) {
    const auto& s = map::Info(d);
    return {zone, to.X - (from.X + s.dx), to.Y - (from.Y + s.dy), to.L - (from.L + s.dl)};
}

bool IsFrameShift(const GridShift& s) {
    return std::max({std::abs(s.dx), std::abs(s.dy), std::abs(s.dl)}) >= 3;
}

std::string MoveHypotheses::Describe(const Hypothesis& h) const {
    std::string s = Label(h) + " [" + h.grid;
    if (h.bentNear) s += W(", поставлена раздвиганием");
    if (h.copyBehind) s += W(", её ход назад ведёт в копию");
    if (h.ownText) s += W(", так читается только она");
    if (h.shiftSeen) s += W(", такой сдвиг сетки уже был");
    if (h.offsetNear) s += W(", рядом карта стоит с тем же сдвигом");
    if (h.oneWay) s += W(", ход в одну сторону");
    if (h.breaks) s += W(", нарушений сетки ") + std::to_string(h.breaks);
    if (h.agreed) s += W(", подтверждений ") + std::to_string(h.agreed);
    if (h.unique) s += W(", из них единственных на карте ") + std::to_string(h.unique);
    if (!h.alive) s += W(", отброшена: ") + h.reason;
    return s + "]";
}

const std::string& MoveHypotheses::ZoneOf(const Hypothesis& h, const TMudRoom2* room) const {
    for (std::size_t i = 0; i < h.rooms.size(); ++i)
        if (h.rooms[i].get() == room) return h.roomZones[i];
    return map_.World().ZoneOf(room);
}

bool MoveHypotheses::IsVirtual(const Hypothesis& h, const TMudRoom2* room) const {
    for (const auto& v : h.rooms)
        if (v.get() == room) return true;
    return false;
}

TMudRoom2* MoveHypotheses::RoomAt(Hypothesis& h, const Place& p) const {
    for (std::size_t i = 0; i < h.rooms.size(); ++i) {
        TMudRoom2& v = *h.rooms[i];
        if (v.X == p.x && v.Y == p.y && v.L == p.l && h.roomZones[i] == p.zone) return &v;
    }
    const map::MapWorld& world = map_.World();
    return p.zone == world.CurrentZone ? world.FindRoom(p.x, p.y, p.l)
                                       : world.GlobalFindRoom(p.x, p.y, p.l, p.zone);
}

TMudRoom2* MoveHypotheses::AddVirtual(Hypothesis& h, const Place& p, const SeenRoom& seen) {
    TMudRoom2& v = *h.rooms.emplace_back(std::make_unique<TMudRoom2>());
    h.roomZones.push_back(p.zone);
    v.X = p.x, v.Y = p.y, v.L = p.l;
    v.Hint = seen.Name;
    v.Description = seen.Desc;
    v.SetExits(seen.Exits, map_.World().Profile());
    return &v;
}

bool MoveHypotheses::FitsGrid(const Place& p, const std::string& exits) const {
    const map::MapWorld& world = map_.World();
    const map::DirectionWords& words = map_.Words();
    TMudRoom2 probe;
    probe.SetExits(exits, world.Profile());
    if (probe.Exits().empty()) return true;
    for (const auto& s : map::kDirs) {
        if (!words.HasExit(probe, s.dir)) continue;
        const TMudRoom2* n = world.GlobalFindRoom(p.x + s.dx, p.y + s.dy, p.l + s.dl, p.zone);
        if (!n || n->Pipe || n->Exits().empty() || n->Hint == world.Profile().Dark) continue;
        if (!words.HasExit(*n, s.opposite)) return false;
    }
    return true;
}

void MoveHypotheses::Begin(TMudRoom2* from, const HeldMove& move,
                           const std::vector<TMudRoom2*>& candidates, bool newPossible,
                           const std::unordered_set<const TMudRoom2*>& bent,
                           const std::vector<GridShift>& shifts,
                           const std::unordered_set<const TMudRoom2*>& offsetNear,
                           const std::unordered_set<const TMudRoom2*>& oneWay) {
    Clear();
    map::MapWorld& world = map_.World();
    anchor_ = from;
    first_ = move;
    const auto& s = map::Info(move.dir);
    const std::string& zone = world.ZoneOf(from);
    if (newPossible) {
        Hypothesis h;
        h.zone = zone;
        const Place ahead{from->X + s.dx, from->Y + s.dy, from->L + s.dl, zone};
        if (world.GlobalFindRoom(ahead.x, ahead.y, ahead.l, zone)) {
            h.breaks = 1;
            h.grid = W("клетка занята");
        } else if (!FitsGrid(ahead, move.seen.Exits)) {
            h.breaks = 1;
            h.misfit = true;
            h.grid = W("выходы не сходятся с соседями");
        } else if (!HasWayBack(move)) {
            // A room that lists no way back (a drop, a one-way join) is more often a known room
            // reached another way than new ground.
            h.breaks = 1;
            h.grid = W("нет выхода обратно");
        } else {
            h.grid = W("клетка свободна");
        }
        h.at = AddVirtual(h, ahead, move.seen);
        h.at->Ch(s.opposite) = true;
        h.assumedBack.emplace_back(h.at, s.opposite);
        set_.push_back(std::move(h));
    }
    const TMudRoom2* named = NamedByText(candidates, oneWay, move);
    for (TMudRoom2* r : candidates) {
        Hypothesis h;
        h.candidate = r;
        h.zone = world.ZoneOf(r);
        h.at = r;
        h.oneWay = oneWay.count(r) != 0;
        if (!h.oneWay) h.assumedBack.emplace_back(r, s.opposite);
        if (map_.Words().WasStep(*r, map::OppositeDir(move.dir)))
            h.copyBehind = OnlyCopies(r, from, CopyBehind(world, r, from, move.dir), move);
        if (h.zone == zone) {
            h.shift = GridShift::Of(*from, move.dir, *r, zone);
            h.shiftSeen = IsFrameShift(h.shift) &&
                          std::any_of(shifts.begin(), shifts.end(),
                                      [&](const GridShift& g) { return g.SameSeam(h.shift); });
            h.offsetNear = offsetNear.count(r) != 0;
        }
        switch (LieOf(*from, *r, h.zone == zone, move.dir)) {
        case Lie::Straight:
            h.grid = W("прямо по ходу");
            h.bentNear = bent.count(r) != 0;
            break;
        case Lie::Beside:
            h.grid = W("рядом с клеткой по ходу");
            h.bentNear = bent.count(r) != 0;
            break;
        case Lie::OtherZone:
            h.grid = W("в другой зоне");
            break;
        case Lie::Off:
            h.grid = W("не там, куда ведёт ход");
            h.breaks = 1;
            h.off = true;
            break;
        }
        // A one-way join bends the grid more than any cell: taken on the game's word only.
        if (h.oneWay) h.breaks += 2;
        h.ownText = r == named;
        set_.push_back(std::move(h));
    }
    std::string line = W("TranslateCMD.Moves: комната известна в других местах, гипотезы:");
    for (const Hypothesis& h : set_)
        line += " " + Describe(h) + ";";
    log_.push_back(line);
}

TMudRoom2* MoveHypotheses::OnlyCopies(const TMudRoom2* r, const TMudRoom2* from, TMudRoom2* copy,
                                      const HeldMove& move) const {
    if (!copy || move.seen.Desc.empty() || from->Description.empty()) return nullptr;
    // Rooms of one kind, a street of twins, prove nothing: the room printed must read like no
    // map room but the candidate, and the room left like none but itself and the copy.
    const map::RoomLists& lists = map_.World().Lists();
    const auto printed =
        lists.AllInWorldByName(move.seen.Name, move.seen.Desc, move.seen.Exits, true, 2);
    if (printed.size() != 1 || printed[0] != r) return nullptr;
    const auto left = lists.AllInWorldByName(from->Hint, from->Description, from->Exits(), true, 3);
    const bool onlyThem = left.size() == 2 && (left[0] == copy || left[1] == copy);
    if (!onlyThem) return nullptr;
    // A pair of rooms built twice over reads like that too; where the room left and the
    // "copy" have walked the same way into rooms that read otherwise, they are two rooms.
    if (oneRoom_ && !oneRoom_(copy, const_cast<TMudRoom2*>(from))) return nullptr;
    return copy;
}

const TMudRoom2* MoveHypotheses::NamedByText(const std::vector<TMudRoom2*>& candidates,
                                             const std::unordered_set<const TMudRoom2*>& oneWay,
                                             const HeldMove& move) const {
    const map::MapWorld& world = map_.World();
    const map::ChangingLines* changing = &world.Changing();
    const SeenRoom& seen = move.seen;
    if (seen.Desc.empty() || !ownText_) return nullptr;
    // As printed, blanks and all, apart from the lines the game changes by itself.
    auto readsSo = [&](const TMudRoom2* r) {
        return r->Hint == seen.Name && map::SameExitKey(r->Exits(), seen.Exits) &&
               map::SameDescription(r->Description, seen.Desc, changing);
    };
    const TMudRoom2* named = nullptr;
    for (const TMudRoom2* r : candidates)
        if (readsSo(r)) {
            if (named) return nullptr; // twins weighed against each other
            named = r;
        }
    if (!named || oneWay.count(named)) return nullptr;
    // Nor may any room left out of the weighing read so.
    const auto alike =
        world.Lists().AllInWorldByName(seen.Name, seen.Desc, seen.Exits, true, kMaxRelocalise + 1);
    if (alike.size() > kMaxRelocalise ||
        std::any_of(alike.begin(), alike.end(),
                    [&](const TMudRoom2* o) { return o != named && readsSo(o); }))
        return nullptr;
    return ownText_(world.ZoneOf(named)) ? named : nullptr;
}

bool MoveHypotheses::HasWayBack(const HeldMove& move) const {
    TMudRoom2 probe;
    probe.SetExits(move.seen.Exits, map_.World().Profile());
    return probe.Exits().empty() || map_.Words().HasExit(probe, map::OppositeDir(move.dir));
}

bool MoveHypotheses::LinkedByMove(const Hypothesis& h, const TMudRoom2* room, map::Dir d,
                                  TMudRoom2*& target) const {
    // The link the first move would make: from the room it started in to the candidate, and
    // back.
    if (!h.candidate) return false;
    if (room == anchor_ && d == first_.dir) {
        target = h.candidate;
        return true;
    }
    if (!h.oneWay && room == h.candidate && d == map::OppositeDir(first_.dir)) {
        target = anchor_;
        return true;
    }
    return false;
}

void MoveHypotheses::Agreed(Hypothesis& h, const TMudRoom2* room, const SeenRoom& seen) const {
    ++h.agreed;
    // Back in the known room the hypothesis stands for: the new room weighed against it would
    // read the same there (a twin not yet on the map), so the game has told nothing apart.
    if (room == h.candidate) return;
    const map::MapWorld& world = map_.World();
    if (seen.Desc.empty() || !world.SameRoom(room, seen.Name, seen.Desc, seen.Exits)) return;
    const auto alike = world.Lists().AllInWorldByName(seen.Name, seen.Desc, seen.Exits, true, 2);
    if (alike.size() == 1 && alike[0] == room) ++h.unique;
}

bool MoveHypotheses::Step(Hypothesis& h, const HeldMove& move) {
    map::MapWorld& world = map_.World();
    const map::DirectionWords& words = map_.Words();
    const auto& s = map::Info(move.dir);
    const SeenRoom& seen = move.seen;
    TMudRoom2* here = h.at;
    const bool virt = IsVirtual(h, here);
    const std::string zone = ZoneOf(h, here);

    // A link this hypothesis has made, or one walked on the map.
    TMudRoom2* target = nullptr;
    const auto assumed = std::find(h.assumedBack.begin(), h.assumedBack.end(),
                                   std::pair<const TMudRoom2*, map::Dir>(here, move.dir));
    bool oneWay = false;
    if (LinkedByMove(h, here, move.dir, target) || (virt && here->Ch(move.dir))) {
        if (!target) target = RoomAt(h, {here->X + s.dx, here->Y + s.dy, here->L + s.dl, zone});
        if (target && world.SameRoom(target, seen.Name, "", "")) {
            if (assumed != h.assumedBack.end()) h.assumedBack.erase(assumed);
            if (!IsVirtual(h, target) && target != anchor_) Agreed(h, target, seen);
            h.at = target;
            return true;
        }
        if (assumed == h.assumedBack.end()) {
            h.reason = W("уже ходили, комната не подошла");
            return false;
        }
        // The way back taken for granted leads elsewhere: the move here was one way, under
        // every hypothesis alike. The exit is weighed as not walked.
        h.assumedBack.erase(assumed);
        oneWay = true;
        if (here == h.candidate && move.dir == map::OppositeDir(first_.dir)) h.oneWay = true;
    }
    if (!oneWay && !virt && words.WasStep(*here, move.dir)) {
        Place p{here->X, here->Y, here->L, zone};
        TMudRoom2* r = nullptr;
        for (std::size_t guard = 0; guard <= world.Lists().WorldCount(); ++guard) {
            p.x += s.dx, p.y += s.dy, p.l += s.dl;
            r = world.GlobalFindRoom(p.x, p.y, p.l, zone);
            if (!r || !r->Pipe) break;
        }
        if (!r || r->Pipe || !world.SameRoom(r, seen.Name, "", "")) {
            h.reason = W("уже ходили, комната не подошла");
            return false;
        }
        Agreed(h, r, seen);
        h.at = r;
        return true;
    }
    // Not walked: the neighbouring cell.
    const Place ahead{here->X + s.dx, here->Y + s.dy, here->L + s.dl, zone};
    TMudRoom2* n = RoomAt(h, ahead);
    if (n && world.SameRoom(n, seen.Name, seen.Desc, seen.Exits)) {
        if (virt) here->Ch(move.dir) = true;
        if (IsVirtual(h, n) && !n->Ch(s.opposite)) {
            n->Ch(s.opposite) = true;
            h.assumedBack.emplace_back(n, s.opposite);
        }
        if (!IsVirtual(h, n)) Agreed(h, n, seen);
        h.at = n;
        return true;
    }
    if (!words.HasExit(*here, move.dir) && here->Hint != world.Profile().Dark) {
        h.reason = W("в комнате нет такого выхода");
        return false;
    }
    if (n) {
        if (world.ZoneLocked) {
            h.reason = W("клетка занята, зона заблокирована");
            return false;
        }
        ++h.breaks;
    }
    if (virt) here->Ch(move.dir) = true;
    h.at = AddVirtual(h, ahead, seen);
    h.at->Ch(s.opposite) = true;
    h.assumedBack.emplace_back(h.at, s.opposite);
    return true;
}

bool MoveHypotheses::Follow(const HeldMove& move) {
    const std::string& phrase = map::Phrase(map_.World().Profile(), move.dir);
    for (const Hypothesis& h : set_) {
        if (!h.alive || IsVirtual(h, h.at)) continue;
        for (const auto& line : h.at->AutoMaps)
            if (!text::GetField(line, 1).empty() &&
                text::DecodeEscapes(text::GetField(line, 2)) == phrase)
                return false;
    }
    held_.push_back(move);
    for (Hypothesis& h : set_) {
        if (!h.alive) continue;
        const int breaks = h.breaks;
        if (!Step(h, move)) {
            h.alive = false;
            log_.push_back(W("TranslateCMD.Moves: гипотеза отброшена: ") + Describe(h));
        } else if (h.breaks != breaks) {
            log_.push_back(W("TranslateCMD.Moves: гипотеза требует раздвинуть комнаты: ") +
                           Describe(h));
        }
    }
    return true;
}

int MoveHypotheses::AliveCount() const {
    return static_cast<int>(
        std::count_if(set_.begin(), set_.end(), [](const Hypothesis& h) { return h.alive; }));
}

bool MoveHypotheses::Due() const {
    if (AliveCount() <= 1 || static_cast<int>(held_.size()) >= kHorizon) return true;
    const TMudRoom2* common = nullptr;
    for (const Hypothesis& h : set_) {
        if (!h.alive) continue;
        if (IsVirtual(h, h.at) || (common && h.at != common)) return false;
        common = h.at;
    }
    return true;
}

int MoveHypotheses::Best(std::string& why, bool* evidence) const {
    int best = -1;
    // With the grid undecided, it wins: a new room at the free cell, unless the known room
    // stands next to that cell where the grid is already bent. Where the new room would bend
    // the grid as much as a known room does, the known room is taken, as it always was, but
    // for a known room neither ahead nor beside the cell against a new room whose exits only
    // face a neighbour with no way back: that is how a twin reached by a longer way looks.
    auto rank = [](const Hypothesis& h) {
        if (h.bentNear) return 0;
        if (!h.candidate) return h.breaks == 0 ? 1 : h.misfit ? 3 : 5;
        return h.off ? 4 : 2;
    };
    // A room that no other room of the map reads like, predicted and printed, is evidence the
    // grid cannot outweigh: twins confirm each other's look-alikes, never a one-of-a-kind room.
    // A known room whose way back leads to a copy of the room left is the join seen from its
    // second side: the first side was copied for want of evidence, which this now is.
    // In a zone where every room reads apart, a room printed word for word as one known room is
    // that room, wherever the grid puts it.
    auto better = [&](const Hypothesis& a, const Hypothesis& b) {
        if (a.unique != b.unique) return a.unique > b.unique;
        if ((a.copyBehind != nullptr) != (b.copyBehind != nullptr)) return a.copyBehind != nullptr;
        if (a.ownText != b.ownText) return a.ownText;
        if (a.shiftSeen != b.shiftSeen) return a.shiftSeen;
        if (a.offsetNear != b.offsetNear) return a.offsetNear;
        if (a.breaks != b.breaks) return a.breaks < b.breaks;
        if (rank(a) != rank(b)) return rank(a) < rank(b);
        return a.agreed > b.agreed;
    };
    for (std::size_t i = 0; i < set_.size(); ++i)
        if (set_[i].alive && (best < 0 || better(set_[i], set_[best]))) best = static_cast<int>(i);
    if (best < 0) return best;
    const Hypothesis& b = set_[best];
    const Hypothesis* runnerUp = nullptr;
    for (std::size_t i = 0; i < set_.size(); ++i)
        if (static_cast<int>(i) != best && set_[i].alive &&
            (!runnerUp || better(set_[i], *runnerUp)))
            runnerUp = &set_[i];
    if (evidence)
        *evidence =
            set_.size() > 1 && (!runnerUp || runnerUp->unique != b.unique ||
                                (runnerUp->copyBehind != nullptr) != (b.copyBehind != nullptr));
    if (!runnerUp)
        why = W("остальные опровергнуты игрой");
    else if (runnerUp->unique != b.unique)
        why = W("подтверждена комнатой, какой больше нет на карте");
    else if ((runnerUp->copyBehind != nullptr) != (b.copyBehind != nullptr))
        why = W("ход назад из неё ведёт в копию комнаты, откуда пришли");
    else if (runnerUp->ownText != b.ownText)
        why = W("в зоне, где у каждой комнаты свой текст, так читается только она");
    else if (runnerUp->shiftSeen != b.shiftSeen)
        why = W("часть зоны, где она стоит, уже показала такой же сдвиг сетки");
    else if (runnerUp->offsetNear != b.offsetNear)
        why = W("ходы рядом ведут с тем же сдвигом сетки");
    else if (runnerUp->breaks != b.breaks)
        why = W("меньше нарушений сетки");
    else if (!b.candidate)
        why = W("ничто не решило, побеждает сетка");
    else if (rank(*runnerUp) != rank(b))
        why = b.bentNear ? W("сетка здесь уже раздвинута, известная комната рядом")
                         : W("новая комната нарушила бы сетку не меньше");
    else if (runnerUp->agreed != b.agreed)
        why = W("больше подтверждений");
    else
        why = W("первая по списку");
    return best;
}

} // namespace tracking
