#pragma once
// How a game of one family prints the town, made from that game's own source: the functions
// that print a room (name colour, description, the exit line with autoexit on), the prompt,
// darkness, refused moves, doors, and the player's commands. Each style renders one step of
// the walk as the bytes the game sends (telnet commands in place, the letter "я" doubled where
// the game doubles it), and the sessions of tests/data/families are made from them.

#include "families/FamilyWorld.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace families {

// What the game keeps between answers.
struct Game {
    std::set<std::pair<int, char>> open; // doors opened
    int moves = 0;                       // moves made: the prompt's movement points fall
};

class Style {
public:
    virtual ~Style() = default;
    // The directory under tests/data/families and the profile data/profiles/<id>.ini.
    virtual std::string Id() const = 0;
    virtual bool Russian() const { return false; }
    virtual bool Doors() const { return true; }
    // The player can follow a leader, and the game moves him along.
    virtual bool Follows() const { return true; }

    // The line the player types for a step (without its line end).
    std::string Command(const Step& step, const Town& town) const;
    // What the game sends after the login (the player coming into `room`), and in answer to a
    // step, on the wire.
    std::string Greeting(const Town& town, int room, Game& game) const;
    std::string Answer(const Step& step, const Town& town, Game& game) const;
    // The room's name as the map should hold it.
    virtual std::string MapName(const Room& room) const { return room.name.In(Russian()); }

protected:
    // The parts below are UTF-8 text; Answer converts them and adds the telnet commands.
    virtual std::string Welcome() const { return {}; }
    virtual std::string OpenCommand(const Door& door) const { return "open " + door.key.en; }
    virtual std::string MoveMessage(char) const { return {}; }
    // What a follower reads when his leader goes `dir` and takes him along, up to the room
    // (the game sends it unasked: what comes first when it interrupts a prompt included).
    virtual std::string FollowText(char) const { return {}; }
    // The room as the game prints it to a player standing in it (`moved`: on entering).
    virtual std::string RoomText(const Room& room, const Town& town, const Game& game,
                                 bool moved) const = 0;
    virtual std::string NoWay() const = 0;
    virtual std::string Closed(const Door& door) const = 0;
    virtual std::string Opened(const Door& door) const = 0;
    virtual std::string Unknown() const = 0;
    // What ends every answer: the blank line and the prompt.
    virtual std::string End(const Room& here, const Game& game) const = 0;
    virtual bool GoAhead() const { return false; }
    virtual bool DoublesYa() const { return false; }

    // Helpers for the styles.
    bool IsClosed(const Room& room, char dir, const Game& game) const;
    static std::string Lines(const std::vector<std::string>& lines, const char* end);
    // The room's things after one colour and its creatures after another, a line each, then
    // the reset (games that colour the two lists, not each line).
    std::string ThingsIn(const Room& room, const char* things, const char* creatures,
                         const char* reset) const;

private:
    std::string Wire(const std::string& utf8) const;
};

// Every family whose sessions are made from its game's source, in a fixed order.
std::vector<std::unique_ptr<Style>> AllStyles();
std::unique_ptr<Style> MakeStyle(const std::string& id);

// The styles, by family.
std::unique_ptr<Style> TbaMud();
std::unique_ptr<Style> CircleMud();
std::unique_ptr<Style> Rom();
std::unique_ptr<Style> Smaug();
std::unique_ptr<Style> RusDiku();
std::unique_ptr<Style> LpMud();

// A session file of the walk as this family's game would answer it.
std::string MakeSession(const Style& style, const Town& town, const Walk& walk);
// How many sends look.session holds: the look and five moves.
inline constexpr std::size_t kLookSends = 6;

} // namespace families
