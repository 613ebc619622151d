// Positioning by the game's own word: where the game names the room it printed (its number and
// area, out of band), that name decides. A known number is that map room; an unknown one is a
// new room, at the cell ahead in the zone of its area. The printed text still fills the room.

#include "map/MapModel.h"
#include "profile/WorldProfile.h"
#include "text/Cp1251.h"
#include "text/Text.h"
#include "tracking/Positioner.h"

#include <algorithm>

#include <array>

namespace tracking {

using map::TMudRoom2;
using text::W;

namespace {

int ToInt(const std::string& s) {
    long long v = 0;
    return text::ParseInt(s, v) && v >= INT32_MIN && v <= INT32_MAX ? static_cast<int>(v) : 0;
}

// The direction of an exit as the game names it out of band: the profile's movement words
// first, then the usual English and Russian words and letters.
std::optional<map::Dir> DirOfGameWord(const map::DirectionWords& words, std::string_view word) {
    if (auto d = words.FromMoveWord(word)) return d;
    const std::string w = text::LowerLatin(word);
    static const std::array<std::pair<const char*, map::Dir>, 24> kWords = {{
        {"n", map::North},
        {"north", map::North},
        {"s", map::South},
        {"south", map::South},
        {"e", map::East},
        {"east", map::East},
        {"w", map::West},
        {"west", map::West},
        {"u", map::Up},
        {"up", map::Up},
        {"d", map::Down},
        {"down", map::Down},
        {"\xf1", map::North},
        {"\xfe", map::South},
        {"\xe2", map::East},
        {"\xe7", map::West},
        {"\xe2\xe2", map::Up},
        {"\xe2\xed", map::Down},
        {"\xf1\xe5\xe2\xe5\xf0", map::North},
        {"\xfe\xe3", map::South},
        {"\xe2\xee\xf1\xf2\xee\xea", map::East},
        {"\xe7\xe0\xef\xe0\xe4", map::West},
        {"\xe2\xe2\xe5\xf0\xf5", map::Up},
        {"\xe2\xed\xe8\xe7", map::Down},
    }};
    for (const auto& [name, d] : kWords)
        if (w == name) return d;
    return std::nullopt;
}

} // namespace

std::optional<map::Dir> Positioner::GameExitDir(std::string_view word) const {
    return DirOfGameWord(map_.Words(), word);
}

TMudRoom2* Positioner::MappedTarget(const TMudRoom2* from, map::Dir d) const {
    map::MapWorld& world = map_.World();
    const std::string& phrase = map::Phrase(profile_, d);
    for (const auto& line : from->AutoMaps) {
        if (text::GetField(line, 1).empty()) continue;
        if (text::DecodeEscapes(text::GetField(line, 2)) != phrase) continue;
        const int tag = ToInt(text::GetField(line, 3));
        return tag > 0 ? world.GlobalFindRoomByTag(tag, text::GetField(line, 1)) : nullptr;
    }
    if (!from->Ch(d) || world.ZoneOf(from) != world.CurrentZone) return nullptr;
    return map_.Linker().BeyondCorridor(*from, d);
}

void Positioner::Name(TMudRoom2* room, const RoomIdentity& id) {
    map_.World().SetGameId(room, id.id);
    room->GameArea = id.area;
    map_.World().Saved = false;
}

std::string Positioner::ZoneOfArea(const std::string& area) {
    map::MapWorld& world = map_.World();
    if (area.empty()) return world.CurrentZone;
    if (world.AreaOfZone(world.CurrentZone) == area) return world.CurrentZone;
    if (const std::string& bound = world.ZoneOfArea(area); !bound.empty()) return bound;
    std::string zone = host_.ZoneForArea(area);
    return zone.empty() ? world.CurrentZone : zone;
}

bool Positioner::FreeCellFor(const RoomIdentity& id, int& x, int& y, int& l) const {
    map::MapWorld& world = map_.World();
    if (world.Lists().ZoneCount() == 0) {
        x = y = l = 0;
        return true;
    }
    // Beside a room of this zone that the game says one of its exits leads to.
    for (const auto& [word, number] : id.exits) {
        TMudRoom2* n = world.FindRoomById(number);
        const auto d = GameExitDir(word);
        if (!n || !d || world.ZoneOf(n) != world.CurrentZone) continue;
        const auto& step = map::Info(*d);
        if (!world.FindRoom(n->X - step.dx, n->Y - step.dy, n->L - step.dl)) {
            x = n->X - step.dx, y = n->Y - step.dy, l = n->L - step.dl;
            return true;
        }
    }
    // Else below the zone's rooms, on the first free cell of a new row.
    world.RecomputeExtents();
    x = world.Extents.MaxX + 2;
    l = world.ViewLevel;
    for (y = world.Extents.MinY;; ++y)
        if (!world.FindRoom(x, y, l)) return true;
}

TMudRoom2* Positioner::NewNamedRoom(const RoomIdentity& id, const SeenRoom& seen) {
    int x = 0, y = 0, l = 0;
    FreeCellFor(id, x, y, l);
    TMudRoom2* room = map_.Linker().NewRoomAt(x, y, l, seen.Name, seen.Desc, seen.Exits);
    if (room) Name(room, id);
    return room;
}

bool Positioner::HasLinkLine(const TMudRoom2& room, map::Dir d) const {
    const std::string& phrase = map::Phrase(profile_, d);
    return std::any_of(room.AutoMaps.begin(), room.AutoMaps.end(), [&](const std::string& line) {
        return !text::GetField(line, 1).empty() &&
               text::DecodeEscapes(text::GetField(line, 2)) == phrase;
    });
}

std::string Positioner::LinkLineTo(const TMudRoom2& to, const std::string& zone, map::Dir d) const {
    return zone + "|" + map::Phrase(profile_, d) + "|" + std::to_string(to.Tag);
}

void Positioner::DropLinkLine(TMudRoom2& from, map::Dir d) const {
    const std::string& phrase = map::Phrase(profile_, d);
    std::erase_if(from.AutoMaps, [&](const std::string& line) {
        return !text::GetField(line, 1).empty() &&
               text::DecodeEscapes(text::GetField(line, 2)) == phrase;
    });
}

void Positioner::SetLinkLine(TMudRoom2& from, const TMudRoom2& to, const std::string& zone,
                             map::Dir d) const {
    DropLinkLine(from, d);
    from.AutoMaps.push_back(LinkLineTo(to, zone, d));
}

std::vector<std::pair<TMudRoom2*, std::string>>
Positioner::LinkLinesInto(const TMudRoom2& room) const {
    const map::MapWorld& world = map_.World();
    const std::string& zone = world.ZoneOf(&room);
    const std::string tag = std::to_string(room.Tag);
    std::vector<std::pair<TMudRoom2*, std::string>> lines;
    world.Lists().ForEachWorldRoom([&](TMudRoom2* r, const std::string&) {
        for (const std::string& line : r->AutoMaps)
            if (text::GetField(line, 1) == zone && text::GetField(line, 3) == tag)
                lines.emplace_back(r, line);
    });
    return lines;
}

std::string Positioner::CellText(const TMudRoom2& room) {
    return " (" + std::to_string(room.X) + "," + std::to_string(room.Y) + "," +
           std::to_string(room.L) + ")";
}

void Positioner::LinkNamed(TMudRoom2* from, TMudRoom2* to, map::Dir d, bool oneWay) {
    map::MapWorld& world = map_.World();
    const map::DirectionWords& words = map_.Words();
    const std::string fromZone = world.ZoneOf(from);
    const std::string toZone = world.ZoneOf(to);
    const map::Dir back = map::OppositeDir(d);
    const auto& step = map::Info(d);
    // The game says whether the way back leads here (a one-way exit is linked one way).
    // Without the game's word, the room's own exit list says whether the way back exists.
    bool twoWay =
        !oneWay && (s_.Identity || map_.Words().HasExit(*to, back) || to->Exits().empty());
    if (!from->GameId.empty() && s_.Identity && !s_.Identity->exits.empty()) {
        twoWay = false;
        for (const auto& [word, number] : s_.Identity->exits)
            if (number == from->GameId && GameExitDir(word) == back) twoWay = true;
    }
    if (fromZone == toZone && to->X == from->X + step.dx && to->Y == from->Y + step.dy &&
        to->L == from->L + step.dl) {
        from->Ch(d) = true;
        if (twoWay) to->Ch(back) = true;
        Log(W(s_.Identity ? "TranslateCMD.Moves: по номеру игры, связали соседние комнаты"
                          : "TranslateCMD.Moves: связали соседние комнаты"));
        return;
    }
    // Elsewhere on the grid or in another zone: a link line, the way a player joins zones.
    SetLinkLine(*from, *to, toZone, d);
    from->Ch(d) = true;
    if (twoWay && !HasLinkLine(*to, back)) {
        to->AutoMaps.push_back(LinkLineTo(*from, fromZone, back));
        to->Ch(back) = true;
    }
    (void)words;
    for (const std::string* zone : {&fromZone, &toZone})
        if (*zone != world.CurrentZone) host_.ZoneTouched(*zone);
    world.Saved = false;
    Log(W(s_.Identity ? "TranslateCMD.Moves: по номеру игры, линия связи "
                      : "TranslateCMD.Moves: линия связи ") +
        fromZone + "/" + std::to_string(from->Tag) + " -> " + toZone + "/" +
        std::to_string(to->Tag));
}

void Positioner::Arrive(TMudRoom2* room, const SeenRoom& seen, bool textSeen) {
    map::MapWorld& world = map_.World();
    if (Current()) Current()->Selected = false;
    Current() = room;
    FollowToZone(room, /*saveFirst=*/true);
    if (textSeen) world.RefreshProp(room, seen.Name, seen.Desc, seen.Exits);
    room->Selected = true;
    s_.Done();
    s_.Loop = true;
    host_.CenterBox();
}

void Positioner::MoveByIdentity(map::Dir d, const std::string& cmd, const SeenRoom& seen,
                                bool textSeen) {
    map::MapWorld& world = map_.World();
    const map::DirectionWords& words = map_.Words();
    const RoomIdentity& id = *s_.Identity;
    TMudRoom2* from = Current();
    TMudRoom2* mapped = MappedTarget(from, d);
    TMudRoom2* known = world.FindRoomById(id.id);
    // A room mapped before the game named its rooms takes the number when the text agrees.
    if (!known && mapped && mapped->GameId.empty() &&
        world.SameRoom(mapped, seen.Name, textSeen ? seen.Desc : "", textSeen ? seen.Exits : "")) {
        Name(mapped, id);
        known = mapped;
    }
    if (known) {
        if (known == from) {
            Log(W("TranslateCMD.Moves: по номеру игры, остались в той же комнате"));
            s_.Done();
            s_.Loop = true;
            return;
        }
        if (textSeen && !world.SameRoom(known, seen.Name, "", ""))
            Log(W("TranslateCMD.Moves: текст и номер комнаты расходятся, верим номеру ") + id.id);
        if (mapped != known) {
            if (mapped)
                Log(W("TranslateCMD.Moves: по карте выход ведет в другую комнату, верим номеру ") +
                    id.id);
            LinkNamed(from, known, d);
        } else {
            Log(W("TranslateCMD.Moves: по номеру игры, уже ходили"));
        }
        Arrive(known, seen, textSeen);
        return;
    }

    // A room the map does not know yet: in the zone of its area.
    const std::string zone = ZoneOfArea(id.area);
    if (zone != world.CurrentZone) {
        Log(W("TranslateCMD.Moves: новая комната в зоне ") + zone + " [" + id.area + "]");
        from->Selected = false;
        if (!host_.SwitchZone(zone, /*saveFirst=*/true)) {
            Log(W("TranslateCMD.Moves: зона не открылась: ") + zone);
            host_.ModeClick(false);
            return;
        }
        TMudRoom2* room = NewNamedRoom(id, seen);
        if (!room) {
            host_.ModeClick(false);
            return;
        }
        LinkNamed(from, room, d);
        Arrive(room, seen, textSeen);
        return;
    }

    // The cell ahead: the room standing there when the text agrees and it has no number yet,
    // else a new room, the map pushed apart as for any new room.
    const auto& step = map::Info(d);
    auto ahead = [&] {
        return world.FindRoom(from->X + step.dx, from->Y + step.dy, from->L + step.dl);
    };
    TMudRoom2* occupant = ahead();
    if (occupant && occupant->GameId.empty() && !occupant->Pipe &&
        world.SameRoom(occupant, textSeen ? seen.Name : occupant->Hint, textSeen ? seen.Desc : "",
                       textSeen ? seen.Exits : "")) {
        Name(occupant, id);
        words.SetCheck(*from, cmd, true);
        words.SetCheck(*occupant, words.Opposite(cmd), true);
        Arrive(occupant, seen, textSeen);
        return;
    }
    // Pushing may move `from` itself: the cell is asked for again afterwards.
    const bool opened = !occupant || (!world.ZoneLocked &&
                                      map_.Linker().ExpandRooms(from, occupant, d) && !ahead());
    if (occupant) bent_.insert(from);
    if (!opened) {
        // No cell opens ahead: the room goes where there is space, joined by a link line.
        Log(W("TranslateCMD.Moves: нет места для новой комнаты, ставим ее в стороне"));
        TMudRoom2* room = NewNamedRoom(id, seen);
        if (!room) {
            host_.ModeClick(false);
            return;
        }
        LinkNamed(from, room, d);
        Arrive(room, seen, textSeen);
        return;
    }
    TMudRoom2* room = map_.Linker().NewRoomAt(from->X + step.dx, from->Y + step.dy,
                                              from->L + step.dl, seen.Name, seen.Desc, seen.Exits);
    if (!room) {
        host_.ModeClick(false);
        return;
    }
    Name(room, id);
    words.SetCheck(*from, cmd, true);
    bool twoWay = true;
    if (!from->GameId.empty()) {
        twoWay = id.exits.empty();
        for (const auto& [word, number] : id.exits)
            if (number == from->GameId && GameExitDir(word) == map::OppositeDir(d)) twoWay = true;
    }
    if (twoWay) words.SetCheck(*room, words.Opposite(cmd), true);
    Log(W("TranslateCMD.Moves: по номеру игры, новая комната ") + id.id);
    Arrive(room, seen, textSeen);
}

void Positioner::LookByIdentity(const SeenRoom& seen, bool textSeen) {
    map::MapWorld& world = map_.World();
    const RoomIdentity& id = *s_.Identity;
    TMudRoom2* known = world.FindRoomById(id.id);
    if (!known && textSeen) {
        TMudRoom2* here = Current();
        if (here && here->GameId.empty() && world.SameRoom(here, seen.Name, seen.Desc, seen.Exits))
            known = here;
        else if (TMudRoom2* found = world.GlobalFindRoomByName(seen.Name, seen.Desc, seen.Exits);
                 found && found->GameId.empty())
            known = found;
        if (known) Name(known, id);
    }
    if (!known) {
        const std::string zone = ZoneOfArea(id.area);
        if (zone != world.CurrentZone && !host_.SwitchZone(zone, /*saveFirst=*/true)) {
            host_.ModeClick(false);
            return;
        }
        known = NewNamedRoom(id, seen);
        if (!known) {
            host_.ModeClick(false);
            return;
        }
        Log(W("TranslateCMD.look: по номеру игры, новая комната ") + id.id);
    }
    Arrive(known, seen, textSeen);
}

bool Positioner::PositionByIdentityOnly() {
    if (!s_.Identity || !host_.Tracing()) return false;
    BusyScope busy(depth_);
    std::string cmd(MoveOfCommand(profile_, s_.CurrentCmd));
    SeenRoom seen;
    seen.Name = s_.Identity->name;
    Log(W("TranslateCMD: текст комнаты не распознан, верим номеру игры ") + s_.Identity->id);
    if (judge_.Open()) Settle();
    if (!host_.Tracing()) return false;
    if (cmd == profile_.Look || !Current()) {
        LookByIdentity(seen, false);
    } else if (const auto d = map_.Words().FromMoveWord(cmd)) {
        MoveByIdentity(*d, cmd, seen, false);
    } else {
        return false;
    }
    s_.Identity.reset();
    return true;
}

} // namespace tracking
