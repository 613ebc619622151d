// The English DikuMUD families with autoexit on and colour at the game's default for a new
// character, each as its source prints a room:
//   tbaMUD      tbamud/tbamud src/act.informative.c look_at_room, do_auto_exits;
//               src/comm.c make_prompt, process_output; src/act.movement.c; src/screen.h
//   CircleMUD   medwards/CircleMUD (3.1) src/act.informative.c, src/comm.c, src/screen.h
//   ROM         avinson/rom24-quickmud (ROM 2.4b6 with QuickMUD's colour) src/act_info.c
//               do_look, do_exits; src/comm.c bust_a_prompt, process_output, colour()
//   SMAUG       Arthmoor/SmaugFUSS src/act_info.c do_look, do_exits; src/comm.c
//               display_prompt; src/color.c and color/default (the shipped colour theme)

#include "families/FamilyStyle.h"

namespace families {

namespace {

// CircleMUD and its continuation tbaMUD: "20H 100M 82V > " after a blank line, no GA.
class CircleFamily : public Style {
protected:
    // Colours: the room name's, the exit line's, the objects' and creatures' (both games
    // colour them), and the reset.
    virtual const char* NameColour() const = 0;
    virtual const char* ExitColour() const = 0;
    virtual const char* Reset() const = 0;
    virtual std::string ExitEntry(const Room& room, char dir, const Game& game) const = 0;
    virtual std::string Things(const Room& room) const = 0;

    std::string RoomText(const Room& room, const Town&, const Game& game, bool) const override {
        if (room.dark) return "It is pitch black...\r\n";
        std::string out = NameColour() + room.name.en + Reset() + "\r\n" + Lines(room.desc, "\r\n");
        std::string exits;
        for (char dir : kDirOrder)
            if (room.exits.count(dir)) exits += ExitEntry(room, dir, game);
        out += ExitColour() + std::string("[ Exits: ") + exits + (exits.empty() ? "None!" : "") +
               "]" + Reset() + "\r\n";
        return out + Things(room);
    }
    // The leader's leaving seen, "You follow" (act() adds a line end to one already there),
    // all after the line end that interrupts the prompt.
    std::string FollowText(char dir) const override {
        return std::string("\r\nBob leaves ") + DirWord(dir) + ".\r\nYou follow Bob.\r\n\r\n";
    }
    std::string NoWay() const override { return "Alas, you cannot go that way...\r\n"; }
    std::string Closed(const Door& door) const override {
        return "The " + door.key.en + " seems to be closed.\r\n";
    }
    std::string Opened(const Door&) const override { return "Okay.\r\n"; }
};

class TbaMudStyle : public CircleFamily {
public:
    std::string Id() const override { return "tbamud"; }

protected:
    std::string Welcome() const override {
        return "\r\nWelcome to tbaMUD!  May your visit here be... Enlightening\r\n\r\n";
    }
    const char* NameColour() const override { return "\x1b[0;33m"; }
    const char* ExitColour() const override { return "\x1b[0;36m"; }
    const char* Reset() const override { return "\x1b[0m"; }
    // A closed door in red within parentheses; an open exit plain (its MXP link is left out
    // for a client without MXP).
    std::string ExitEntry(const Room& room, char dir, const Game& game) const override {
        if (IsClosed(room, dir, game)) return std::string("\x1b[0;31m(") + dir + ")\x1b[0;36m ";
        return std::string(1, dir) + " ";
    }
    std::string Things(const Room& room) const override {
        std::string out;
        for (const Said& obj : room.objs)
            out += "\x1b[0;32m" + obj.en + "\r\n\x1b[0m";
        for (const Said& mob : room.mobs)
            out += "\x1b[0;33m" + mob.en + "\r\n\x1b[0m";
        return out;
    }
    std::string Unknown() const override { return "Huh!?!\r\n"; }
    std::string End(const Room&, const Game& game) const override {
        return "\r\n20H 100M " + std::to_string(82 - game.moves) + "V > ";
    }
};

class CircleMudStyle : public CircleFamily {
public:
    std::string Id() const override { return "circlemud"; }

protected:
    std::string Welcome() const override {
        return "\r\nWelcome to the land of CircleMUD!  May your visit here be... "
               "Interesting.\r\n\r\n";
    }
    const char* NameColour() const override { return "\x1b[36m"; }
    const char* ExitColour() const override { return "\x1b[36m"; }
    const char* Reset() const override { return "\x1b[0m"; }
    // Closed doors are not listed.
    std::string ExitEntry(const Room& room, char dir, const Game& game) const override {
        return IsClosed(room, dir, game) ? std::string() : std::string(1, dir) + " ";
    }
    std::string Things(const Room& room) const override {
        return ThingsIn(room, "\x1b[32m", "\x1b[33m", "\x1b[0m");
    }
    std::string Unknown() const override { return "Huh?!?\r\n"; }
    // A new character shows nothing of its points until "display".
    std::string End(const Room&, const Game&) const override { return "\r\n> "; }
};

// ROM 2.4 with Lope's colour (QuickMUD): lines end LF CR, the name in the player's room-title
// colour, "[Exits: north east]" in green, the prompt in cyan, then IAC GA.
class RomStyle : public Style {
public:
    std::string Id() const override { return "rom"; }

protected:
    std::string Welcome() const override {
        return "\n\rWelcome to ROM 2.4.  Please don't feed the mobiles!\n\r";
    }
    std::string RoomText(const Room& room, const Town&, const Game& game, bool) const override {
        if (room.dark) return "It is pitch black ... \n\r";
        std::string out = "\x1b[0;36m" + room.name.en + "\x1b[0m\n\r  \x1b[0;37m" +
                          Lines(room.desc, "\n\r") + "\x1b[0m\n\r\x1b[0;32m[Exits:";
        bool any = false;
        for (char dir : kDirOrder)
            if (room.exits.count(dir) && !IsClosed(room, dir, game)) {
                out += std::string(" ") + DirWord(dir);
                any = true;
            }
        out += std::string(any ? "" : " none") + "]\x1b[0m\n\r";
        for (const Said& obj : room.objs)
            out += "     " + obj.en + "\n\r";
        for (const Said& mob : room.mobs)
            out += mob.en + "\n\r";
        return out;
    }
    std::string FollowText(char dir) const override {
        return std::string("\n\rBob leaves ") + DirWord(dir) + ".\n\rYou follow Bob.\n\r";
    }
    std::string NoWay() const override { return "Alas, you cannot go that way.\n\r"; }
    std::string Closed(const Door& door) const override {
        return "The " + door.key.en + " is closed.\n\r";
    }
    std::string Opened(const Door&) const override { return "Ok.\n\r"; }
    std::string Unknown() const override { return "Huh?\n\r"; }
    std::string End(const Room&, const Game& game) const override {
        return "\n\r\x1b[0;36m<20hp 100m " + std::to_string(100 - game.moves) + "mv> \x1b[0m";
    }
    bool GoAhead() const override { return true; }
};

// SMAUG FUSS with ANSI chosen at creation: the name in white, the description in yellow (its
// lines end LF CR, as the area files are read), "Exits:north east [south]" in white.
class SmaugStyle : public Style {
public:
    std::string Id() const override { return "smaug"; }

protected:
    std::string RoomText(const Room& room, const Town&, const Game& game, bool) const override {
        if (room.dark) return "\x1b[1;30mIt is pitch black ... \r\n";
        std::string out = "\x1b[1;37m" + room.name.en + "\r\n\x1b[1;33m" +
                          Lines(room.desc, "\n\r") + "\x1b[1;37mExits:";
        bool any = false;
        for (char dir : kDirOrder) {
            if (!room.exits.count(dir)) continue;
            any = true;
            if (IsClosed(room, dir, game))
                out += std::string("[") + DirWord(dir) + "]";
            else
                out += std::string(DirWord(dir)) + " ";
        }
        out += any ? "\r\n" : "none.\r\n";
        for (const Said& obj : room.objs)
            out += (obj.en.find("fountain") != std::string::npos ? "\x1b[1;34m" : "\x1b[1;32m") +
                   obj.en + "\r\n";
        for (const Said& mob : room.mobs)
            out += "\x1b[1;35m" + mob.en + "\n\r";
        return out;
    }
    std::string FollowText(char dir) const override {
        return std::string("\r\n\x1b[0;37mBob leaves ") + DirWord(dir) +
               ".\r\n\x1b[0;37mYou follow Bob.\r\n";
    }
    std::string NoWay() const override { return "Alas, you cannot go that way.\r\n"; }
    std::string Closed(const Door& door) const override {
        return "\x1b[0;37mThe " + door.key.en + " is closed.\r\n";
    }
    std::string Opened(const Door& door) const override {
        return "\x1b[0;37mYou open the " + door.key.en + ".\r\n";
    }
    std::string Unknown() const override { return "Huh?\r\n"; }
    std::string End(const Room&, const Game& game) const override {
        return "\r\n\x1b[0m\x1b[0;37m<\x1b[1;33m20hp \x1b[1;36m100m \x1b[1;32m" +
               std::to_string(100 - game.moves) + "mv\x1b[0;37m> \x1b[0m";
    }
};

} // namespace

std::unique_ptr<Style> TbaMud() {
    return std::make_unique<TbaMudStyle>();
}
std::unique_ptr<Style> CircleMud() {
    return std::make_unique<CircleMudStyle>();
}
std::unique_ptr<Style> Rom() {
    return std::make_unique<RomStyle>();
}
std::unique_ptr<Style> Smaug() {
    return std::make_unique<SmaugStyle>();
}

} // namespace families
