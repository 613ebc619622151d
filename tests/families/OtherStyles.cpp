// The families that are neither English DikuMUDs nor run here:
//   Russian DikuMUD/CircleMUD derivatives, as bylins/mud prints a room:
//       src/gameplay/mechanics/sight.cpp look_at_room, do_auto_exits; src/engine/ui/color.cpp
//       (colours, proc_color); src/engine/core/iosystem.cpp MakePrompt, process_output;
//       src/engine/core/char_movement.cpp (the move announced, refusals)
//   LPmud, the 2.4.5 mudlib on its driver: ldmud/ldmud mud/lp-245 room/room.c long(),
//       obj/living.c move_player(), obj/player.c look(), obj/master.c (the hooks "n" ->
//       "north", "What?\n"); src/comm.c (LF sent as CR LF, the prompt "> ").

#include "families/FamilyStyle.h"

namespace families {

namespace {

// The Windows-1251 choice of the codepage menu: every "я" is sent doubled; the prompt ends
// with IAC GA.
class RusDikuStyle : public Style {
public:
    std::string Id() const override { return "rusdiku"; }
    bool Russian() const override { return true; }

protected:
    std::string OpenCommand(const Door& door) const override { return "открыть " + door.key.ru; }
    static const char* To(char dir) {
        return dir == 'n'   ? "на север"
               : dir == 'e' ? "на восток"
               : dir == 's' ? "на юг"
               : dir == 'w' ? "на запад"
               : dir == 'u' ? "вверх"
                            : "вниз";
    }
    std::string MoveMessage(char dir) const override {
        return std::string("Вы поплелись ") + To(dir) + ".\r\n";
    }
    // The same line names the leader: "следом за" and his name in the instrumental case.
    std::string FollowText(char dir) const override {
        return std::string("\r\nВы поплелись следом за Иваном ") + To(dir) + ".\r\n";
    }
    std::string RoomText(const Room& room, const Town& town, const Game& game,
                         bool) const override {
        if (room.dark) return "Слишком темно...\r\n";
        std::string out = "\x1b[1;36m" + room.name.ru + "\x1b[0;37m\r\n" +
                          Lines(room.descRu, "\r\n") + "\x1b[0;36m[ Exits: ";
        std::string exits;
        for (char dir : kDirOrder) {
            if (!room.exits.count(dir)) continue;
            // An exit into another zone in capitals.
            const bool other = town.rooms.at(room.exits.at(dir)).zone != room.zone;
            if (IsClosed(room, dir, game))
                exits += std::string("(") + dir + ") ";
            else
                exits += std::string(1, other ? static_cast<char>(dir - 'a' + 'A') : dir) + " ";
        }
        out += (exits.empty() ? std::string("None! ") : exits) + "]\x1b[0;37m\r\n";
        // Things in bold yellow, creatures in bold red, then the normal colour.
        return out + ThingsIn(room, "\x1b[1;33m", "\x1b[1;31m", "\x1b[0;0m");
    }
    std::string NoWay() const override { return "Вы не сможете туда пройти...\r\n"; }
    std::string Closed(const Door& door) const override {
        return "Закрыто (" + door.key.ru + ").\r\n";
    }
    std::string Opened(const Door&) const override { return "Хорошо.\r\n"; }
    std::string Unknown() const override { return "Чаво?\r\n"; }
    // Hit and move points green while nearly full, experience to go, the exits in Cyrillic
    // (a closed door within parentheses), even in the dark.
    std::string End(const Room& here, const Game& game) const override {
        std::string exits;
        for (char dir : kDirOrder) {
            if (!here.exits.count(dir)) continue;
            const char* letter = dir == 'n'   ? "С"
                                 : dir == 'e' ? "В"
                                 : dir == 's' ? "Ю"
                                 : dir == 'w' ? "З"
                                 : dir == 'u' ? "^"
                                              : "v";
            exits += IsClosed(here, dir, game) ? std::string("(") + letter + ")" : letter;
        }
        return "\r\n\x1b[0;32m31H\x1b[0;37m \x1b[0;32m" + std::to_string(87 - game.moves) +
               "M\x1b[0;37m 1499o Зауч:0 Вых:" + exits + "> ";
    }
    bool GoAhead() const override { return true; }
    bool DoublesYa() const override { return true; }
};

// The room's long description, then its exits in a sentence; no name line: a map calls the
// room by the first line of its description, which follows the prompt "> ".
class LpMudStyle : public Style {
public:
    std::string Id() const override { return "lpmud"; }
    bool Doors() const override { return false; }
    bool Follows() const override { return false; }
    std::string MapName(const Room& room) const override { return room.desc.front(); }

protected:
    std::string RoomText(const Room& room, const Town&, const Game&, bool moved) const override {
        if (room.dark) return moved ? "A dark room.\r\n" : "It is dark.\r\n";
        static const char* numbers[] = {"zero", "one", "two", "three", "four", "five", "six"};
        std::vector<std::string> dirs;
        for (char dir : kDirOrder)
            if (room.exits.count(dir)) dirs.push_back(DirWord(dir));
        std::string out = Lines(room.desc, "\r\n");
        if (dirs.empty()) {
            out += "    No obvious exits.\r\n";
        } else {
            out += dirs.size() == 1
                       ? std::string("    There is one obvious exit:")
                       : std::string("    There are ") + numbers[dirs.size()] + " obvious exits:";
            for (std::size_t i = 0; i < dirs.size(); ++i)
                out += (i == 0 ? " " : i + 1 == dirs.size() ? " and " : ", ") + dirs[i];
            out += "\r\n";
        }
        // Each thing's short description with a full stop, which the town's texts end with.
        for (const Said& obj : room.objs)
            out += obj.en + "\r\n";
        for (const Said& mob : room.mobs)
            out += mob.en + "\r\n";
        return out;
    }
    std::string NoWay() const override { return "What?\r\n"; }
    std::string Closed(const Door&) const override { return "What?\r\n"; }
    std::string Opened(const Door&) const override { return "What?\r\n"; }
    std::string Unknown() const override { return "What?\r\n"; }
    std::string End(const Room&, const Game&) const override { return "> "; }
};

} // namespace

std::unique_ptr<Style> RusDiku() {
    return std::make_unique<RusDikuStyle>();
}
std::unique_ptr<Style> LpMud() {
    return std::make_unique<LpMudStyle>();
}

} // namespace families
