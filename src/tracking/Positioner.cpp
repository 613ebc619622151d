#include "tracking/Positioner.h"

#include "map/MapModel.h"
#include "profile/WorldProfile.h"
#include "text/Cp1251.h"
#include "text/Text.h"

#include <cstdint>
#include <iterator>

namespace tracking {

using map::TMudRoom2;
using text::W;

namespace {
constexpr size_t npos = std::string::npos;
// Neighbours are tried in this order when a fled player is looked for.
constexpr map::Dir kFlightOrder[] = {map::North, map::South, map::West,
                                     map::East,  map::Up,    map::Down};

int ToInt(const std::string& s) {
    long long v = 0;
    return text::ParseInt(s, v) && v >= INT32_MIN && v <= INT32_MAX ? static_cast<int>(v) : 0;
}
} // namespace

Positioner::Positioner(TrackingState& state, map::MapModel& map, const WorldProfile& profile,
                       TrackerHost& host)
    : s_(state), map_(map), profile_(profile), host_(host), judge_(map) {
    map_.World().BeforeDestroy = [this](const TMudRoom2* room) {
        judge_.Forget(room);
        if (room)
            bent_.erase(room);
        else
            bent_.clear();
    };
}

Positioner::~Positioner() {
    map_.World().BeforeDestroy = nullptr;
}

TMudRoom2*& Positioner::Current() {
    return map_.World().CurrentRoom;
}

bool Positioner::IsDark(const std::string& name) const {
    return name == profile_.Dark;
}

void Positioner::Log(const std::string& line) {
    host_.DLine(line);
}

void Positioner::LogSeen(const char* prefixUtf8) {
    if (host_.LogActive())
        host_.DLine(W(prefixUtf8) + s_.Seen.Name + "\r\n" + s_.Seen.Desc + "\r\n" + s_.Seen.Exits);
}

bool Positioner::Parse() {
    return ParseRoom(s_.PendingText, profile_, s_.Seen);
}

void Positioner::FollowToZone(TMudRoom2* room, bool saveFirst) {
    if (!room) return;
    map::MapWorld& world = map_.World();
    const std::string& zone = world.ZoneOf(room);
    if (zone == world.CurrentZone) return;
    // The room stays the same object across the switch: the world list owns it.
    host_.SwitchZone(zone, saveFirst);
}

bool Positioner::RefusedMove() {
    const std::string& exitStart = profile_.AutoexitStartDecoded;
    size_t x = exitStart.empty() ? npos : s_.PendingText.find(exitStart);
    std::string_view head = std::string_view(s_.PendingText).substr(0, x);
    for (size_t i = 0; i < profile_.CantMove.size(); ++i) {
        const std::string& entry = profile_.CantMove[i];
        if (entry.empty()) continue;
        size_t at = head.find(entry);
        if (at == npos) continue;
        s_.Loop = true;
        s_.Done();
        s_.PendingText.erase(0, at + entry.size());
        host_.ClearSpeedwalk();
        Log(W("TranslateCMD: Отбой по мувам ") + std::to_string(i) + " - " + entry);
        return true;
    }
    return false;
}

void Positioner::Position() {
    BusyScope busy(depth_);
    std::string& cmd = s_.CurrentCmd;
    for (const std::string* prefix : {&profile_.Sneakwalk, &profile_.Fleewalk}) {
        std::string p = *prefix + " ";
        if (!prefix->empty() && text::StartsWith(cmd, p)) {
            cmd = cmd.substr(p.size());
            break;
        }
    }
    if (judge_.Open() && !(map_.Words().FromMoveWord(cmd) && Current()) && OtherNeedsPlace(cmd))
        Settle();
    if (!host_.Tracing()) return;
    if (cmd == profile_.Look) return Look();
    if (cmd == profile_.Retreat) return Flight();

    map::MapWorld& world = map_.World();
    if (TMudRoom2* room = Current(); room && world.ZoneOf(room) != world.CurrentZone) {
        FollowToZone(room, /*saveFirst=*/true);
        host_.CenterBox();
        room->Selected = false;
    }
    auto dir = map_.Words().FromMoveWord(cmd);
    if (dir && Current()) return Move(*dir);
    Other();
}

void Positioner::Look() {
    map::MapWorld& world = map_.World();
    Log(W("TranslateCMD: Позиционирование Look"));
    host_.ClearSpeedwalk();
    if (RefusedMove()) return;
    if (!Parse()) {
        s_.CurrentCmd.clear();
        s_.Loop = false;
        return;
    }
    s_.Loop = true;
    LogSeen("TranslateCMD.look: Описатель комнаты:");
    const SeenRoom& seen = s_.Seen;
    const bool dark = IsDark(seen.Name);

    if (TMudRoom2* room = Current()) {
        if (world.SameRoom(room, seen.Name, seen.Desc, seen.Exits)) {
            world.RefreshProp(room, seen.Name, seen.Desc, seen.Exits);
            FollowToZone(room, /*saveFirst=*/false);
            host_.CenterBox();
        } else {
            TMudRoom2* found = !dark && !seen.Desc.empty()
                                   ? world.GlobalFindRoomByName(seen.Name, seen.Desc, seen.Exits)
                                   : nullptr;
            Current() = found;
            if (!found) {
                host_.ModeClick(false);
            } else {
                FollowToZone(found, /*saveFirst=*/false);
                host_.CenterBox();
            }
        }
    } else {
        TMudRoom2* found = dark ? nullptr : world.FindRoomByName(seen.Name, seen.Desc, seen.Exits);
        if (found) {
            Current() = found;
            found->Selected = true;
            host_.CenterBox();
        } else if (world.Lists().ZoneCount() > 0) {
            found = dark ? nullptr : world.GlobalFindRoomByName(seen.Name, seen.Desc, seen.Exits);
            if (found) {
                FollowToZone(found, /*saveFirst=*/false);
                Current() = found;
                world.ContextRoom = found;
                host_.CenterBox();
            } else {
                host_.ModeClick(false);
            }
        } else {
            TMudRoom2* first = map_.Linker().NewRoomAt(0, 0, 0, seen.Name, seen.Desc, seen.Exits);
            Current() = first;
            if (first) first->Selected = true;
            host_.Repaint();
        }
    }
    s_.Done();
}

void Positioner::Flight() {
    map::MapWorld& world = map_.World();
    if (!Parse()) {
        s_.CurrentCmd.clear();
        s_.Loop = false;
        return;
    }
    const SeenRoom& seen = s_.Seen;
    if (IsDark(seen.Name)) {
        host_.ModeClick(false);
        return;
    }
    TMudRoom2* from = Current();
    s_.Done();
    if (!from) return;

    TMudRoom2* target = nullptr;
    for (const auto& line : from->AutoMaps) {
        std::string zone = text::GetField(line, 1);
        int tag = ToInt(text::GetField(line, 3));
        if (zone.empty() || tag <= 0 || !map_.Words().FromPhrase(text::GetField(line, 2))) continue;
        TMudRoom2* r = world.GlobalFindRoomByTag(tag, zone);
        if (r && world.SameRoom(r, seen.Name, seen.Desc, "")) {
            target = r;
            break;
        }
    }
    for (size_t i = 0; !target && i < std::size(kFlightOrder); ++i) {
        const auto& step = map::Info(kFlightOrder[i]);
        TMudRoom2* r = world.FindRoom(from->X + step.dx, from->Y + step.dy, from->L + step.dl);
        if (r && world.SameRoom(r, seen.Name, seen.Desc, "")) target = r;
    }
    if (!target) return;
    from->Selected = false;
    Current() = target;
    FollowToZone(target, /*saveFirst=*/true);
    target->Selected = true;
    host_.CenterBox();
}

void Positioner::Move(map::Dir d) {
    const std::string cmd = s_.CurrentCmd;
    Log(W("TranslateCMD: Секция Moves"));
    if (RefusedMove()) return;
    if (!Parse()) return; // the command stays queued until its room arrives
    LogSeen("TranslateCMD.Moves: Описатель комнаты:");
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
    Resolve(move);
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
        if (text::DecodeEscapes(text::GetField(line, 2)) == phrase) return Jump(line);
    }

    // Walked before: follow the link, through corridor rooms.
    if (words.WasStep(*Current(), cmd)) {
        int x = Current()->X, y = Current()->Y, l = Current()->L;
        TMudRoom2* r = nullptr;
        // A corridor never runs longer than the zone is wide, so the walk ends.
        for (size_t guard = 0; guard <= world.Lists().ZoneCount(); ++guard) {
            x += step.dx, y += step.dy, l += step.dl;
            r = world.FindRoom(x, y, l);
            if (!r || !r->Pipe) break;
        }
        if (r && r->Pipe) r = nullptr;
        Current() = r;
        s_.Done();
        if (r && world.SameRoom(r, seen.Name, "", "")) {
            Log(W("TranslateCMD.Moves: уже ходили, комната подошла"));
            world.RefreshProp(r, seen.Name, seen.Desc, seen.Exits);
            s_.Loop = true;
            if (s_.CommandQueue.size() == 1 || host_.NeedRepos()) host_.CenterBox();
        } else {
            host_.ModeClick(false);
            s_.Done();
            Log(W("TranslateCMD.Moves: уже ходили, комната НЕ подошла"));
        }
        return;
    }

    // Not walked: the neighbouring cell.
    TMudRoom2* from = Current();
    if (TMudRoom2* r = world.FindRoom(from->X + step.dx, from->Y + step.dy, from->L + step.dl)) {
        if (world.SameRoom(r, seen.Name, seen.Desc, seen.Exits)) {
            Log(W("TranslateCMD.Moves: еще не ходили, комната подошла"));
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
        std::vector<TMudRoom2*> candidates = Candidates(from, move);
        if (!candidates.empty()) {
            const bool newPossible = NewRoomPossible(from, d);
            if (!newPossible && candidates.size() == 1) return LinkKnown(from, candidates[0], move);
            judge_.Begin(from, move, candidates, newPossible, bent_);
            FlushJudgeLog();
            s_.Done();
            s_.Loop = true;
            return;
        }
    }
    NewGround(from, move);
}

std::vector<TMudRoom2*> Positioner::Candidates(TMudRoom2* from, const HeldMove& move) const {
    const map::MapWorld& world = map_.World();
    const map::DirectionWords& words = map_.Words();
    const SeenRoom& seen = move.seen;
    const std::string back = words.Opposite(move.command);
    std::vector<TMudRoom2*> all =
        world.Lists().AllInWorldByName(seen.Name, seen.Desc, seen.Exits, !profile_.NoDescription,
                                       MoveHypotheses::kMaxCandidates + 1);
    std::vector<TMudRoom2*> out;
    // Rooms of the current zone first, as the lookup there comes first.
    for (int pass = 0; pass < 2; ++pass)
        for (TMudRoom2* r : all)
            if ((world.ZoneOf(r) == world.CurrentZone) == (pass == 0) && r != from &&
                words.WasNotStep(*r, back) && out.size() < MoveHypotheses::kMaxCandidates)
                out.push_back(r);
    return out;
}

bool Positioner::NewRoomPossible(TMudRoom2* from, map::Dir d) const {
    const map::MapWorld& world = map_.World();
    const auto& step = map::Info(d);
    if (!map_.Words().HasExit(*from, d) && !IsDark(from->Hint)) return false;
    return !(world.ZoneLocked &&
             world.FindRoom(from->X + step.dx, from->Y + step.dy, from->L + step.dl));
}

void Positioner::LinkKnown(TMudRoom2* from, TMudRoom2* r, const HeldMove& move) {
    map::MapWorld& world = map_.World();
    const SeenRoom& seen = move.seen;
    map_.Linker().TryToLink(from, r, move.dir);
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
        host_.ModeClick(false);
        return;
    }
    TMudRoom2* occupant = world.FindRoom(from->X + step.dx, from->Y + step.dy, from->L + step.dl);
    if (occupant && world.ZoneLocked) {
        host_.ModeClick(false);
        return;
    }
    // No room may be stacked on another: when no push opens the cell (or a corridor filled
    // the gap it opened), tracking stops rather than corrupt the map.
    if (occupant && (!map_.Linker().ExpandRooms(from, occupant, d) ||
                     world.FindRoom(from->X + step.dx, from->Y + step.dy, from->L + step.dl))) {
        Log(W("TranslateCMD.Moves: нет места для новой комнаты"));
        host_.ModeClick(false);
        return;
    }
    words.SetCheck(*from, cmd, true);
    TMudRoom2* created = map_.Linker().NewRoomAt(
        from->X + step.dx, from->Y + step.dy, from->L + step.dl, seen.Name, seen.Desc, seen.Exits);
    Current() = created;
    if (created) words.SetCheck(*created, words.Opposite(cmd), true);
    if (created && occupant) bent_.insert(created);
    s_.Done();
    host_.CenterBox();
    s_.Loop = true;
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
    const int best = judge_.Best(why);
    const HeldMove first = judge_.First();
    const std::vector<HeldMove> held = judge_.Held();
    TMudRoom2* const anchor = judge_.Anchor();
    TMudRoom2* candidate = nullptr;
    if (best >= 0) {
        const auto& chosen = judge_.All()[static_cast<size_t>(best)];
        candidate = chosen.candidate;
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
    if (candidate)
        LinkKnown(anchor, candidate, first);
    else
        NewGround(anchor, first);
    for (const HeldMove& m : held) {
        if (!host_.Tracing() || !Current()) break;
        Feed(m);
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

void Positioner::Other() {
    const std::string cmd = s_.CurrentCmd;
    // A portal command without a link here stops tracing; with one, the link is followed below.
    if (cmd == profile_.Portal && map_.Words().HasJump(Current(), cmd) < 0) {
        host_.ModeClick(false);
        Log(W("TranslateCMD.Moves: команда портала, а линка нет"));
        s_.Done();
        s_.Loop = true;
        return;
    }
    // A room printed after a command that has no link here belongs to a later command (a
    // chat line sent before a move): it is taken only when the command follows a link.
    std::string pending = s_.PendingText;
    if (TMudRoom2* room = Current(); room && ParseRoom(pending, profile_, s_.Seen)) {
        for (const auto& line : room->AutoMaps) {
            if (text::GetField(line, 1).empty()) continue;
            std::string field = text::DecodeEscapes(text::GetField(line, 2));
            if (field == cmd || field == "=" + cmd) {
                s_.PendingText = std::move(pending);
                Jump(line);
                break;
            }
        }
    }
    Log(W("TranslateCmd: Не отработала команда ") + cmd);
    s_.Loop = true;
    s_.Done();
}

void Positioner::Jump(const std::string& line) {
    map::MapWorld& world = map_.World();
    std::string zone = text::GetField(line, 1);
    std::string how = text::GetField(line, 2);
    std::string number = text::GetField(line, 3);
    Log(W("TranslateCMD: Прыжок по карте ") + zone + "/" + how + "/" + number);
    if (Current()) Current()->Selected = false;
    s_.Done();
    if (zone != world.CurrentZone) {
        Log(W("TranslateCMD: Подгрузка зоны ") + zone);
        host_.SwitchZone(zone, /*saveFirst=*/true);
    }
    const SeenRoom& seen = s_.Seen;
    int tag = ToInt(number);
    TMudRoom2* target = nullptr;
    if (tag < 1) {
        if (!IsDark(seen.Name) && !IsDark(seen.Desc) && !profile_.NoDescription)
            target = world.FindRoomByName(seen.Name, seen.Desc, seen.Exits);
    } else {
        target = world.FindRoomByTag(tag);
    }
    Current() = target;
    if (target)
        host_.CenterBox();
    else
        host_.ModeClick(false);
}

} // namespace tracking
