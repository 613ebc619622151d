// Positioning, the movement branch: a move along a walked exit, into the neighbouring cell, into
// a room known elsewhere (weighed against a new room until the game decides), or into new ground.

#include "map/MapModel.h"
#include "map/RoomKeys.h"
#include "profile/WorldProfile.h"
#include "text/Cp1251.h"
#include "text/Text.h"
#include "tracking/Positioner.h"
#include "tracking/RoomParser.h"

#include <algorithm>

namespace tracking {

using map::TMudRoom2;
using text::W;

namespace {

bool SameExitsOrNone(std::string_view stored, std::string_view printed) {
    return stored.empty() || printed.empty() || map::SameExitKey(stored, printed);
}

} // namespace

void Positioner::Move(map::Dir d) {
    const std::string cmd = s_.CurrentCmd;
    Log(W("TranslateCMD: Секция Moves"));
    if (RefusedMove()) return;
    if (!Parse()) return; // the command stays queued until its room arrives
    LogSeen("TranslateCMD.Moves: Описатель комнаты:");
    if (s_.Identity) {
        // The game named the room: its word decides, the look-alikes are not weighed.
        if (judge_.Open()) Settle();
        if (!host_.Tracing() || !Current()) return;
        MoveByIdentity(d, cmd, s_.Seen, /*textSeen=*/true);
        s_.Identity.reset();
        return;
    }
    Feed(HeldMove{cmd, d, s_.Seen});
}

void Positioner::Feed(const HeldMove& move) {
    if (judge_.Open()) {
        if (judge_.Follow(move)) {
            FlushJudgeLog();
            s_.Done();
            s_.Loop = true;
            if (judge_.Due()) Settle();
            return;
        }
        // A cross-zone link ahead under one of them: choose before following it.
        Settle();
        if (!host_.Tracing() || !Current()) return;
    }
    TMudRoom2* const from = Current();
    Resolve(move);
    last_ = {};
    if (!judge_.Open() && Current() && Current() != from) last_ = {from, move.dir, Current()};
}

void Positioner::Resolve(const HeldMove& move) {
    map::MapWorld& world = map_.World();
    const map::DirectionWords& words = map_.Words();
    const std::string& cmd = move.command;
    const map::Dir d = move.dir;
    s_.Seen = move.seen;
    const SeenRoom& seen = s_.Seen;
    const std::string& phrase = map::Phrase(profile_, d);
    const auto& step = map::Info(d);

    // A cross-zone link in this direction.
    for (const auto& line : Current()->AutoMaps) {
        if (text::GetField(line, 1).empty()) continue;
        if (text::DecodeEscapes(text::GetField(line, 2)) != phrase) continue;
        TMudRoom2* const from = Current();
        const std::string jump = line;
        // A link line of this zone that the tracker drew (no command of the player's in it)
        // is a walked link like any other: where it leads to a room of another name, the map
        // went wrong and the place is found again.
        const bool checked =
            text::GetField(jump, 1) == world.CurrentZone && text::GetField(jump, 4).empty();
        Jump(jump);
        TMudRoom2* const landed = Current();
        if (checked && landed && !world.SameRoom(landed, seen.Name, "", "")) {
            Log(W("TranslateCMD.Moves: уже ходили, комната НЕ подошла"));
            Relocalise(from, landed, move);
        }
        return;
    }

    // Walked before: follow the link, through corridor rooms.
    if (words.WasStep(*Current(), cmd)) {
        TMudRoom2* const from = Current();
        TMudRoom2* r = map_.Linker().BeyondCorridor(*from, d);
        Current() = r;
        s_.Done();
        if (r && world.SameRoom(r, seen.Name, "", "")) {
            Log(W("TranslateCMD.Moves: уже ходили, комната подошла"));
            // The room is certain here: a line its description gained or lost since is one the
            // game changes by itself (the time of day), once two rooms have shown it.
            if (SameExitsOrNone(r->Exits(), seen.Exits) && world.LearnChangingLines(r, seen.Desc)) {
                std::string lines;
                for (const std::string& line : world.Changing().Lines())
                    lines += " [" + line + "]";
                Log(W("TranslateCMD.Moves: строки описаний, что меняются сами:") + lines);
            }
            world.RefreshProp(r, seen.Name, seen.Desc, seen.Exits);
            s_.Loop = true;
            if (s_.CommandQueue.size() == 1 || host_.NeedRepos()) host_.CenterBox();
        } else {
            Log(W("TranslateCMD.Moves: уже ходили, комната НЕ подошла"));
            Relocalise(from, r, move);
        }
        return;
    }

    // Not walked: the neighbouring cell.
    TMudRoom2* from = Current();
    if (TMudRoom2* r = world.FindRoom(from->X + step.dx, from->Y + step.dy, from->L + step.dl)) {
        // The room ahead by its name and exits, printed with a line or two the game may have
        // changed by itself since (by night), and free to be entered this way: the grid says it
        // is that room, and the lines are noted as for a walked exit.
        // Not a room whose way back already leads by a link line into another room: that is a
        // twin the grid put here.
        TMudRoom2* const behind =
            !r->Pipe && r->Ch(step.opposite) ? MappedTarget(r, step.opposite) : nullptr;
        const bool same =
            (!behind || behind == from) && world.SameRoom(r, seen.Name, seen.Desc, seen.Exits);
        const bool byTime = !same && !r->Pipe && r->Hint == seen.Name && !IsDark(seen.Name) &&
                            map::SameExitKey(r->Exits(), seen.Exits) &&
                            words.WasNotStep(*r, words.Opposite(cmd)) &&
                            world.MayDifferByItself(r, seen.Desc);
        if (same || byTime) {
            Log(W("TranslateCMD.Moves: еще не ходили, комната подошла"));
            if (byTime) {
                Log(W("TranslateCMD.Moves: описание иное на строку, что меняется сама"));
                world.LearnChangingLines(r, seen.Desc);
            }
            words.SetCheck(*from, cmd, true);
            Current() = r;
            world.RefreshProp(r, seen.Name, seen.Desc, seen.Exits);
            words.SetCheck(*r, words.Opposite(cmd), true);
            s_.Done();
            host_.CenterBox();
            s_.Loop = true;
            return;
        }
        if (world.ZoneLocked) {
            host_.ModeClick(false);
            s_.Done();
            Log(W("TranslateCMD.Moves: еще не ходили, комната НЕ подошла, зона заблокирована"));
            return;
        }
        Log(W("TranslateCMD.Moves: еще не ходили, комната НЕ подошла"));
    } else {
        Log(W("TranslateCMD.Moves: еще не ходили, комнаты нет"));
    }

    // Known elsewhere on the map: the same room reached another way, or its twin. Every room
    // that looks the same is weighed against a new room at the cell ahead.
    if (!IsDark(seen.Name) && !profile_.NoDescription) {
        std::unordered_set<const TMudRoom2*> oneWay;
        std::vector<TMudRoom2*> candidates = Candidates(from, move, &oneWay);
        if (!candidates.empty()) {
            const bool newPossible = NewRoomPossible(from, d);
            if (!newPossible && candidates.size() == 1)
                return LinkKnown(from, candidates[0], move, oneWay.count(candidates[0]) != 0);
            judge_.Begin(from, move, candidates, newPossible, bent_, shifts_,
                         OffsetsShownNear(from, d, candidates), oneWay);
            FlushJudgeLog();
            s_.Done();
            s_.Loop = true;
            return;
        }
    }
    NewGround(from, move);
    if (Current() && Current() != from && !IsDark(seen.Name)) unweighed_.insert(Current());
}

std::vector<TMudRoom2*> Positioner::Candidates(TMudRoom2* from, const HeldMove& move,
                                               std::unordered_set<const TMudRoom2*>* oneWay) const {
    const map::MapWorld& world = map_.World();
    const map::DirectionWords& words = map_.Words();
    const SeenRoom& seen = move.seen;
    const std::string back = words.Opposite(move.command);
    std::vector<TMudRoom2*> all =
        world.Lists().AllInWorldByName(seen.Name, seen.Desc, seen.Exits, !profile_.NoDescription,
                                       MoveHypotheses::kMaxCandidates + 1);
    PreferExact(all, seen);
    std::vector<TMudRoom2*> out;
    // Rooms of the current zone first, as the lookup there comes first.
    for (int pass = 0; pass < 2; ++pass)
        for (TMudRoom2* r : all)
            if ((world.ZoneOf(r) == world.CurrentZone) == (pass == 0) && r != from &&
                (words.WasNotStep(*r, back) || CopyBehind(world, r, from, move.dir)) &&
                out.size() < MoveHypotheses::kMaxCandidates)
                out.push_back(r);
    // A room whose way back was walked into another room can still be reached by a climb or a
    // fall one way (a trapdoor, a climb whose way down leads elsewhere): weighed last, and taken
    // only where the game speaks for it.
    const bool vertical = move.dir == map::Up || move.dir == map::Down;
    if (oneWay && vertical)
        for (TMudRoom2* r : all)
            if (r != from && !std::count(out.begin(), out.end(), r) &&
                world.ZoneOf(r) == world.CurrentZone && words.WasStep(*r, back) &&
                MappedTarget(r, map::OppositeDir(move.dir)) != from &&
                out.size() < MoveHypotheses::kMaxCandidates) {
                out.push_back(r);
                oneWay->insert(r);
            }
    if (!out.empty() || IsDark(seen.Name)) return out;
    // Two exits into one room, the second walked by night: a room this one already leads to
    // by another way, with the printed name and exits, whose description differs only by a
    // line or two the game may change by itself. Never the way straight back: a room on both
    // sides of this one is a look-alike of the room just left, not that room by night.
    for (const map::DirInfo& i : map::kDirs) {
        if (i.dir == move.dir || i.dir == map::OppositeDir(move.dir)) continue;
        TMudRoom2* r = MappedTarget(from, i.dir);
        if (!r || r == from || r->Hint != seen.Name || std::count(out.begin(), out.end(), r) ||
            !map::SameExitKey(r->Exits(), seen.Exits) || !words.WasNotStep(*r, back) ||
            !world.MayDifferByItself(r, seen.Desc))
            continue;
        out.push_back(r);
    }
    if (out.empty()) AcrossSeams(from, move, out);
    return out;
}

bool Positioner::NewRoomPossible(TMudRoom2* from, map::Dir d) const {
    const map::MapWorld& world = map_.World();
    const auto& step = map::Info(d);
    if (!map_.Words().HasExit(*from, d) && !IsDark(from->Hint)) return false;
    return !(world.ZoneLocked &&
             world.FindRoom(from->X + step.dx, from->Y + step.dy, from->L + step.dl));
}

void Positioner::LinkKnown(TMudRoom2* from, TMudRoom2* r, const HeldMove& move, bool oneWay) {
    map::MapWorld& world = map_.World();
    const SeenRoom& seen = move.seen;
    // Taken although a line or two differ (by night), not only by blanks: those lines change
    // by themselves.
    if (!world.SameRoom(r, seen.Name, seen.Desc, seen.Exits) &&
        world.Changing().MayDifferByItself(r->Description, seen.Desc) &&
        world.LearnChangingLines(r, seen.Desc))
        Log(W("TranslateCMD.Moves: описание иное на строку, что меняется сама"));
    // Where the grid cannot draw the link (up or down to a room elsewhere, a join that does not
    // fit), a link line joins the rooms: the known room is never copied. A way back that the
    // game showed to lead elsewhere is not drawn.
    if (oneWay) {
        LinkNamed(from, r, move.dir, /*oneWay=*/true);
    } else {
        map_.Linker().TryToLink(from, r, move.dir);
        if (MappedTarget(from, move.dir) != r) LinkNamed(from, r, move.dir);
    }
    Current() = r;
    FollowToZone(r, /*saveFirst=*/true);
    world.RefreshProp(r, seen.Name, seen.Desc, seen.Exits);
    s_.Done();
    host_.CenterBox();
    s_.Loop = true;
}

void Positioner::NewGround(TMudRoom2* from, const HeldMove& move) {
    map::MapWorld& world = map_.World();
    const map::DirectionWords& words = map_.Words();
    const std::string& cmd = move.command;
    const SeenRoom& seen = move.seen;
    const map::Dir d = move.dir;
    const auto& step = map::Info(d);
    Log(W("TranslateCMD.Moves: не нашли или не канает"));
    if (!words.HasExit(*from, cmd) && !IsDark(from->Hint)) {
        // Games that leave closed doors out of the exit line list the door once it is open:
        // after another command here ("open door"), a room that lists the way back was
        // reached through a door opened since the room left was last seen.
        const map::Dir back = map::OppositeDir(d);
        if (otherCommandAt_ != from ||
            ExitPos(profile_, map::ExitWord(profile_, back), seen.Exits) == std::string::npos) {
            host_.ModeClick(false);
            return;
        }
        Log(W("TranslateCMD.Moves: выхода не было, но комната ведёт назад: дверь открыта"));
    }
    TMudRoom2* occupant = world.FindRoom(from->X + step.dx, from->Y + step.dy, from->L + step.dl);
    if (occupant && world.ZoneLocked) {
        host_.ModeClick(false);
        return;
    }
    // A pocket that hangs on the map by stairs alone makes way without bending the grid.
    if (occupant && d != map::Up && d != map::Down && MovePocketAside(from, occupant))
        occupant = nullptr;
    // No room may be stacked on another: when no push opens the cell (or a corridor filled
    // the gap it opened), the room goes into a zone of its own.
    if (occupant && (!map_.Linker().ExpandRooms(from, occupant, d) ||
                     world.FindRoom(from->X + step.dx, from->Y + step.dy, from->L + step.dl))) {
        NewZoneGround(from, move);
        return;
    }
    words.SetCheck(*from, cmd, true);
    TMudRoom2* created = map_.Linker().NewRoomAt(
        from->X + step.dx, from->Y + step.dy, from->L + step.dl, seen.Name, seen.Desc, seen.Exits);
    Current() = created;
    // A room that lists no way back (a drop) is linked one way.
    if (created && (created->Exits().empty() || words.HasExit(*created, map::OppositeDir(d))))
        words.SetCheck(*created, words.Opposite(cmd), true);
    // The push bent the grid on both sides of the cell it opened.
    if (created && occupant) {
        bent_.insert(created);
        bent_.insert(occupant);
        bent_.insert(from);
    }
    s_.Done();
    host_.CenterBox();
    s_.Loop = true;
}

void Positioner::NewZoneGround(TMudRoom2* from, const HeldMove& move) {
    map::MapWorld& world = map_.World();
    const SeenRoom& seen = move.seen;
    // The grid has no cell for the room: it begins a zone of its own beside this one, joined
    // by a link-line pair, as a player would do by hand.
    const std::string zone = host_.NewZoneBeside(world.CurrentZone);
    if (zone.empty()) {
        Log(W("TranslateCMD.Moves: нет места для новой комнаты"));
        host_.ModeClick(false);
        return;
    }
    Log(W("TranslateCMD.Moves: нет места для новой комнаты, ставим ее в новую зону ") + zone);
    from->Selected = false;
    if (!host_.SwitchZone(zone, /*saveFirst=*/true)) {
        Log(W("TranslateCMD.Moves: зона не открылась: ") + zone);
        host_.ModeClick(false);
        return;
    }
    TMudRoom2* room = map_.Linker().NewRoomAt(0, 0, 0, seen.Name, seen.Desc, seen.Exits);
    if (!room) {
        host_.ModeClick(false);
        return;
    }
    LinkNamed(from, room, move.dir);
    Arrive(room, seen, /*textSeen=*/true);
}

void Positioner::FlushJudgeLog() {
    for (const std::string& line : judge_.TakeLog())
        Log(line);
}

void Positioner::Settle() {
    if (!judge_.Open()) return;
    BusyScope busy(depth_);
    FlushJudgeLog();
    std::string why;
    bool evidence = false;
    const int best = judge_.Best(why, &evidence);
    const HeldMove first = judge_.First();
    const std::vector<HeldMove> held = judge_.Held();
    TMudRoom2* const anchor = judge_.Anchor();
    TMudRoom2* candidate = nullptr;
    TMudRoom2* copy = nullptr;
    bool oneWay = false;
    GridShift shift;                                     // shown by the game's evidence
    std::vector<std::pair<TMudRoom2*, GridShift>> aside; // known rooms passed over for new
    if (best >= 0) {
        const auto& chosen = judge_.All()[static_cast<size_t>(best)];
        candidate = chosen.candidate;
        copy = chosen.copyBehind;
        oneWay = chosen.oneWay;
        if (candidate && evidence) shift = chosen.shift;
        for (const auto& h : judge_.All())
            if (!candidate && h.alive && h.candidate && IsFrameShift(h.shift))
                aside.emplace_back(h.candidate, h.shift);
        Log(W("TranslateCMD.Moves: выбрана гипотеза: ") + judge_.Describe(chosen) + " - " + why);
    }
    judge_.Clear();
    s_.Done();
    if (best < 0) {
        Log(W("TranslateCMD.Moves: игра опровергла все гипотезы"));
        host_.ModeClick(false);
        return;
    }
    // The map now takes the first move as chosen, then the moves made since, as they came.
    Current() = anchor;
    s_.Seen = first.seen;
    if (!MendLink(anchor, first.dir, candidate)) {
        Current() = candidate;
        map_.World().RefreshProp(candidate, first.seen.Name, first.seen.Desc, first.seen.Exits);
    } else if (candidate) {
        LinkKnown(anchor, candidate, first, oneWay);
        // The room left and the copy behind the known room are one room of the game: the copy
        // goes, or where both have ways of their own, the newer one is merged into the older.
        // The older of the two is always the one kept (the room the map began with, say).
        if (copy && !(copy->Tag > anchor->Tag && DropLeafCopy(copy, candidate))) {
            if (copy->Tag < anchor->Tag)
                MergeCopiedStretch(anchor, copy);
            else
                MergeCopiedStretch(copy, anchor);
        }
    } else {
        NewGround(anchor, first);
        if (host_.Tracing() && Current() != anchor &&
            MappedTarget(anchor, first.dir) == Current()) {
            for (const auto& [known, offset] : aside)
                NoteMeeting(anchor, first.dir, Current(), known, offset);
            if (!evidence) unproven_.insert(Current());
        }
    }
    for (const HeldMove& m : held) {
        if (!host_.Tracing() || !Current()) break;
        Feed(m);
    }
    if (host_.Tracing()) {
        NoteShift(shift);
        if (!candidate)
            if (const auto seam = SeamOfMeetings()) NoteShift(*seam);
    }
    s_.Done();
    s_.Loop = true;
}

bool Positioner::OtherNeedsPlace(const std::string& cmd) const {
    if (cmd == profile_.Look || cmd == profile_.Retreat || cmd == profile_.Portal) return true;
    auto jumps = [&](const TMudRoom2* room) {
        for (const auto& line : room->AutoMaps) {
            if (text::GetField(line, 1).empty()) continue;
            std::string field = text::DecodeEscapes(text::GetField(line, 2));
            if (field == cmd || field == "=" + cmd) return true;
        }
        return false;
    };
    for (const auto& h : judge_.All())
        if (h.alive && h.candidate && jumps(h.at)) return true;
    return judge_.Anchor() && jumps(judge_.Anchor());
}

} // namespace tracking
