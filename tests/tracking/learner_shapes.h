#pragma once
// The games the learner is tried on, each printed as its family of servers prints a room.

#include "LearnSessions.h"

#include <string>

namespace shapes {

inline std::string Letter(const GridGame& g, int id) {
    return std::string(1, g.rooms[id].letter);
}

// The room's exits in a game's words (given for n s e w u d), joined by `between`.
inline std::string ExitList(const GridGame& g, int id, const std::array<std::string, 6>& words,
                            const std::string& between) {
    std::string out;
    for (char d : ExitsOf(g, id))
        out += (out.empty() ? "" : between) + words[std::string("nsewud").find(d)];
    return out;
}

// A Russian DikuMUD derivative: a coloured name, "[ Exits: n e s ]", objects in colour, and the
// prompt "Вых:СВЮЗ>" ended with IAC GA. The player types Russian letters.
inline GameShape RussianDiku() {
    GameShape s;
    s.room = [](const GridGame& g, int id) {
        const std::string exits = ExitList(g, id, {"n", "s", "e", "w", "u", "d"}, " ");
        return "\x1b[1;36m" + g.Name(id) + "\x1b[0m\r\n" +
               W8("   Узкая улица ведёт с севера на юг, в сторону площади. Здесь дом ") +
               Letter(g, id) + ".\r\n" + W8("Вокруг тихо.") + "\r\n\x1b[0;36m[ Exits: " + exits +
               " ]\x1b[0m\r\n\x1b[1;33m" + W8("Ржавый меч лежит здесь.") + "\x1b[0m\r\n";
    };
    s.refusal = W8("Извините, туда нельзя.") + "\r\n";
    s.prompt = [](const GridGame& g, int id) {
        const std::string letters =
            ExitList(g, id, {W8("С"), W8("Ю"), W8("В"), W8("З"), "^", "v"}, "");
        return "\r\n\x1b[0;32m27H 84M 1499o " + W8("Зауч:0 Вых:") + letters + ">\x1b[0m ";
    };
    s.ga = true;
    s.moves = {W8("с"), W8("ю"), W8("в"), W8("з"), W8("вв"), W8("вн")};
    s.look = W8("см");
    s.names = W8("Улица ");
    return s;
}

// CircleMUD and tbaMUD: the name and the exit line in the same colour, each answer begun with a
// line break after the prompt "20H 100M 82V > ", no IAC GA.
inline GameShape Circle() {
    GameShape s;
    s.room = [](const GridGame& g, int id) {
        return "\r\n\x1b[36m" + g.Name(id) + "\x1b[0m\r\n   The street runs on toward the " +
               Letter(g, id) + " gate.\r\n\x1b[36m[ Exits: " +
               ExitList(g, id, {"n", "s", "e", "w", "u", "d"}, " ") +
               " ]\x1b[0m\r\n\x1b[32mA long sword lies here.\x1b[0m\r\n";
    };
    s.refusal = "\r\nAlas, you cannot go that way...\r\n";
    s.prompt = [](const GridGame&, int id) {
        return "\r\n20H 100M " + std::to_string(70 + id) + "V > ";
    };
    s.names = "The Street of ";
    return s;
}

// ROM: no colour, lines ended LF CR, a blank line before "[Exits: north east]", and a prompt
// without IAC GA after which the next answer begins at once.
inline GameShape Rom() {
    GameShape s;
    s.room = [](const GridGame& g, int id) {
        const std::string exits =
            ExitList(g, id, {"north", "south", "east", "west", "up", "down"}, " ");
        return g.Name(id) + "\n\r  A road leads north and south past the house " + Letter(g, id) +
               ".\n\r\n\r[Exits: " + exits + "]\n\rA fido is here.\n\r";
    };
    s.refusal = "Alas, you cannot go that way.\n\r";
    s.prompt = [](const GridGame&, int id) {
        return "\n\r<20hp 100m " + std::to_string(80 + id) + "mv> ";
    };
    s.look = "l";
    s.names = "Street ";
    return s;
}

// SMAUG: the name and the exit line in white, the description between them in yellow (its
// lines ended LF CR), the prompt in colours of its own.
inline GameShape Smaug() {
    GameShape s;
    s.room = [](const GridGame& g, int id) {
        return "\x1b[1;37m" + g.Name(id) + "\r\n\x1b[1;33mA cobbled lane between the houses " +
               Letter(g, id) + ".\n\r\x1b[1;37mExits:" +
               ExitList(g, id, {"north", "south", "east", "west", "up", "down"}, " ") + " \r\n\r\n";
    };
    s.refusal = "Alas, you cannot go that way.\r\n";
    s.prompt = [](const GridGame&, int id) {
        return "\x1b[0m\x1b[0;37m<\x1b[1;33m20hp \x1b[1;32m" + std::to_string(80 + id) +
               "mv\x1b[0;37m> \x1b[0m";
    };
    s.names = "Lane ";
    return s;
}

// An LP mudlib: "There are two obvious exits: north and east." after the description, the
// prompt "> ", and the player typing whole words.
inline GameShape Lp() {
    GameShape s;
    s.room = [](const GridGame& g, int id) {
        static const char* kWords[] = {"north", "south", "east", "west", "up", "down"};
        static const char* kCount[] = {"no", "one", "two", "three", "four", "five", "six"};
        const std::vector<char> exits = ExitsOf(g, id);
        std::string list;
        for (std::size_t i = 0; i < exits.size(); ++i)
            list += std::string(i == 0                  ? ""
                                : i + 1 == exits.size() ? " and "
                                                        : ", ") +
                    kWords[std::string("nsewud").find(exits[i])];
        const std::string sentence = exits.size() == 1
                                         ? "There is one obvious exit: " + list + "."
                                         : "There are " + std::string(kCount[exits.size()]) +
                                               " obvious exits: " + list + ".";
        return g.Name(id) + "\r\nA long road going through the village. There is a well " +
               Letter(g, id) + ".\r\n    " + sentence + "\r\nA small rat.\r\n";
    };
    s.refusal = "What?\r\n";
    s.prompt = [](const GridGame&, int) { return std::string("> "); };
    s.moves = {"north", "south", "east", "west", "up", "down"};
    s.names = "Village road ";
    return s;
}

// TinyMUX: the name highlighted, the contents, and "Obvious exits:" with the exits' names on
// the next line; no prompt at all.
inline GameShape TinyMux() {
    GameShape s;
    s.room = [](const GridGame& g, int id) {
        const std::string exits =
            ExitList(g, id, {"North", "South", "East", "West", "Up", "Down"}, "  ");
        return "\x1b[1m" + g.Name(id) + "\x1b[0m\r\nA bare stone hall.\r\n" +
               (id % 2 ? "Contents:\r\nBob\r\n" : "") + "Obvious exits:\r\n" + exits + "\r\n";
    };
    s.refusal = "Huh?  (Type \"help\" for help.)\r\n";
    s.names = "Hall ";
    return s;
}

// TinyMUX with the room parent the program ships: names framed "<< Hall >>", no colour.
inline GameShape FramedMux() {
    GameShape s;
    s.room = [](const GridGame& g, int id) {
        const std::string exits = ExitList(g, id, {"N", "S", "E", "W", "U", "D"}, " ") + " ";
        return "<< " + g.Name(id) + " >>\r\nA bare stone hall.\r\n[ Exits: " + exits + "]\r\n";
    };
    s.refusal = "Huh?  (Type \"help\" for help.)\r\n";
    s.names = "Hall ";
    return s;
}

// The same without the room parent: a name with nothing of its own around it.
inline GameShape PlainMux() {
    GameShape s = FramedMux();
    s.room = [](const GridGame& g, int id) {
        const std::string exits = ExitList(g, id, {"N", "S", "E", "W", "U", "D"}, " ") + " ";
        return g.Name(id) + "\r\nA bare stone hall.\r\n[ Exits: " + exits + "]\r\n";
    };
    return s;
}

// No colour and no exit line at all.
inline GameShape Bare() {
    GameShape s = PlainMux();
    s.room = [](const GridGame& g, int id) { return g.Name(id) + "\r\nA bare stone hall.\r\n"; };
    return s;
}

// The exits in the prompt alone: the Russian game with its exit line turned off.
inline GameShape PromptOnly() {
    GameShape s = RussianDiku();
    s.room = [](const GridGame& g, int id) {
        return "\x1b[1;36m" + g.Name(id) + "\x1b[0m\r\n" + W8("   Узкая улица. Здесь дом ") +
               Letter(g, id) + ".\r\n";
    };
    return s;
}

} // namespace shapes
