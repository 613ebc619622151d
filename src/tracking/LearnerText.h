#pragma once
// A session as learning a profile reads it: the game's text in the form recognition gets it
// (doubled 0xFF collapsed, telnet commands in place, subnegotiations out), the player's commands,
// and the answer each command got: the game's text from the command up to its prompt.

#include "tracking/ProfileLearner.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tracking::learn {

struct Command {
    std::string word;       // as typed, blanks around it taken away
    std::size_t begin = 0;  // its answer: game text [begin, end)
    std::size_t end = 0;    //
    std::optional<int> dir; // a movement command's direction
    bool look = false;      // a look command
    bool hasPrompt = false; // the answer ends with the game's prompt command
    bool Answered() const { return end > begin; }
};

class SessionText {
public:
    SessionText(const std::vector<SessionPiece>& pieces, bool noDoubleYa);

    const std::string& Game() const { return game_; }
    const std::vector<Command>& Commands() const { return commands_; }
    // Whether the game's byte at `at` belongs to a telnet command.
    bool Telnet(std::size_t at) const { return telnet_[at] != 0; }
    // Where `what` first stands in the game's text [from, to), or npos (also for nothing).
    std::size_t Find(std::string_view what, std::size_t from, std::size_t to) const;
    // ... in a command's answer.
    std::size_t Find(std::string_view what, const Command& c) const {
        return Find(what, c.begin, c.end);
    }
    // The game ended answers with IAC GA or IAC EOR.
    bool PromptsMarked() const { return !prompts_.empty(); }

private:
    void GameBytes(std::string_view bytes, bool noDoubleYa);
    void PlayerBytes(std::string_view bytes);
    void Answers();

    std::string game_;
    std::vector<char> telnet_;
    std::vector<std::size_t> prompts_; // offsets just after each IAC GA or EOR
    std::vector<Command> commands_;
    // Telnet states of the two streams, and the player's unfinished line.
    int gameState_ = 0, playerState_ = 0;
    std::string line_;
};

// A line of game text [begin, end): its text ends at textEnd, its line break runs to end (a
// break written LF CR is kept whole).
struct Line {
    std::size_t begin = 0, textEnd = 0, end = 0;
    std::string_view Break(const std::string& game) const {
        return std::string_view(game).substr(textEnd, end - textEnd);
    }
};
std::vector<Line> LinesOf(const std::string& game, std::size_t begin, std::size_t end);

// The lines of a command's answer but its prompt (the last line, when it has no line break).
std::vector<Line> BodyLines(const SessionText& s, const Command& c);

// What the player sees of game text [begin, end): no colour sequences, telnet commands, CR or
// LF. `at`, when given, gets the game offset of every visible byte.
std::string Visible(const SessionText& s, std::size_t begin, std::size_t end,
                    std::vector<std::size_t>* at = nullptr);

// A word of visible text: a run of letters, or "^". `dir` is its direction when it is an exit
// word of any family; a word of capitals made of one-letter exit words ("NESW", "СВЮЗ") is
// read as one word a letter.
struct Token {
    std::size_t begin = 0, end = 0;
    int dir = -1;
};
std::vector<Token> Tokens(std::string_view visible);

// The longest piece of a line that the game printed without a colour sequence or a telnet
// command inside, blanks around it taken away; with `darkness`, only a piece that speaks of it.
std::string PlainPiece(const SessionText& s, const Line& line, bool darkness = false);

// Exit words one after another, with nothing but blanks, punctuation and "and" between them.
struct Run {
    std::size_t first = 0, last = 0; // token indexes
};
std::vector<Run> Runs(std::string_view visible, const std::vector<Token>& tokens);

} // namespace tracking::learn
