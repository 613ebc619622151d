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
    judge_.SetOneRoomTest([this](TMudRoom2* a, TMudRoom2* b) {
        std::vector<std::pair<TMudRoom2*, TMudRoom2*>> pairs;
        return CopiedStretch(a, b, pairs);
    });
    judge_.SetOwnTextTest([this](const std::string& zone) { return OwnTextZone(zone); });
    map_.World().BeforeDestroy = [this](const TMudRoom2* room) {
        judge_.Forget(room);
        if (!room || room == mend_.from || room == mend_.wrong) mend_ = {};
        if (!room || room == last_.from || room == last_.to) last_ = {};
        if (room) {
            bent_.erase(room);
            unweighed_.erase(const_cast<TMudRoom2*>(room)); // a key, not changed
            unproven_.erase(room);
            std::erase_if(meetings_, [room](const Meeting& c) {
                return c.from == room || c.copy == room || c.known == room;
            });
        } else {
            bent_.clear();
            unweighed_.clear();
            unproven_.clear();
            shifts_.clear();
            meetings_.clear();
        }
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

std::string_view MoveOfCommand(const WorldProfile& profile, std::string_view command) {
    for (const std::string* prefix : {&profile.Sneakwalk, &profile.Fleewalk})
        if (!prefix->empty() && command.size() > prefix->size() &&
            command.substr(0, prefix->size()) == *prefix && command[prefix->size()] == ' ')
            return command.substr(prefix->size() + 1);
    return command;
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
    cmd = std::string(MoveOfCommand(profile_, cmd));
    const auto dir = map_.Words().FromMoveWord(cmd);
    // A command that needs the player's place settles an open choice first (a move follows it).
    if (judge_.Open() && !(dir && Current()) && OtherNeedsPlace(cmd)) Settle();
    if (!host_.Tracing()) return;
    if (!judge_.Open() && map_.World().Changing().Lines().size() != changingSeen_)
        NoteLateMeetings();
    if (cmd == profile_.Look) return Look();
    if (cmd == profile_.Retreat) return Flight();

    map::MapWorld& world = map_.World();
    if (TMudRoom2* room = Current(); room && world.ZoneOf(room) != world.CurrentZone) {
        FollowToZone(room, /*saveFirst=*/true);
        host_.CenterBox();
        room->Selected = false;
    }
    if (dir && Current()) return Move(*dir);
    // With no place on the map yet, a named room places the player as a look does.
    if (dir && s_.Identity) return Look();
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
    if (s_.Identity) {
        if (judge_.Open()) Settle();
        if (!host_.Tracing()) return;
        LookByIdentity(seen, /*textSeen=*/true);
        s_.Identity.reset();
        return;
    }
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

void Positioner::Other() {
    const std::string cmd = s_.CurrentCmd;
    otherCommandAt_ = Current();
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
    const std::string* link = nullptr;
    if (TMudRoom2* room = Current()) {
        for (const auto& line : room->AutoMaps) {
            if (text::GetField(line, 1).empty()) continue;
            std::string field = text::DecodeEscapes(text::GetField(line, 2));
            if (field == cmd || field == "=" + cmd) {
                link = &line;
                break;
            }
        }
    }
    if (link) {
        // The command takes a link: like a move, it is refused or waits for its room (a
        // speedwalk sends the next commands before the game has answered this one).
        if (RefusedMove()) return;
        std::string pending = s_.PendingText;
        if (!ParseRoom(pending, profile_, s_.Seen)) {
            s_.Loop = false;
            return;
        }
        s_.PendingText = std::move(pending);
        const std::string line = *link; // Jump may load another zone
        Jump(line);
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
