#pragma once
// Games of several shapes made from a GridGame: how each prints a room, a refused move and its
// prompt, and what its player types. A session of a few moves is recorded as the relay records
// one (the game's stream with 0xFF doubled and IAC GA, the client's lines), and a longer walk of
// the same game is fed to a tracking rig as recognition would get it.

#include "GridGame.h"
#include "tracking/ProfileLearner.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

struct GameShape {
    // What the game prints for a room (its prompt aside), and for a refused move.
    std::function<std::string(const GridGame&, int room)> room;
    std::string refusal;
    // The prompt after every answer; `ga` ends it with IAC GA.
    std::function<std::string(const GridGame&, int room)> prompt = [](const GridGame&, int) {
        return std::string();
    };
    bool ga = false;
    // The player's words for n s e w u d (the letters of the grid game), and for look.
    std::array<std::string, 6> moves{"n", "s", "e", "w", "u", "d"};
    std::string look = "look";
    // What the game's room names begin with.
    std::string names = "Room ";

    std::string Move(char d) const { return moves[std::string("nsewud").find(d)]; }
    // A whole answer as recognition gets it: 0xFF single, the prompt command in place.
    std::string Answer(const std::string& text, const GridGame& g, int room) const {
        return text + prompt(g, room) + (ga ? "\xff\xf9" : "");
    }
};

// The exits of a room, in the grid's order of directions.
inline std::vector<char> ExitsOf(const GridGame& g, int room) {
    std::vector<char> out;
    for (char d : std::string("nsewud"))
        if (g.rooms[room].exits.count(d)) out.push_back(d);
    return out;
}

// A session recorded from a shaped game.
struct ShapedSession {
    const GameShape& shape;
    const GridGame& game;
    int at;
    std::vector<std::pair<bool, std::string>> records; // from the player?, bytes

    ShapedSession(const GameShape& s, const GridGame& g, int start, std::string banner = "Welcome!")
        : shape(s), game(g), at(start) {
        Game(banner + "\r\n" + shape.prompt(game, at) + (shape.ga ? "\xff\xf9" : ""));
    }
    void Player(const std::string& line) { records.push_back({true, line + "\r\n"}); }
    // The game's stream: the letter 0xFF doubled, as telnet sends it.
    void Game(const std::string& answer) {
        std::string stream;
        for (std::size_t i = 0; i < answer.size(); ++i) {
            stream.push_back(answer[i]);
            const bool command = i + 1 < answer.size() && answer[i + 1] == '\xf9';
            if (answer[i] == '\xff' && !command) stream.push_back('\xff');
        }
        records.push_back({false, stream});
    }
    void Look() {
        Player(shape.look);
        Game(shape.Answer(shape.room(game, at), game, at));
    }
    void Move(char d) {
        Player(shape.Move(d));
        const auto exit = game.rooms[at].exits.find(d);
        if (exit == game.rooms[at].exits.end()) {
            Game(shape.Answer(shape.refusal, game, at));
            return;
        }
        at = exit->second;
        Game(shape.Answer(shape.room(game, at), game, at));
    }
    void Path(const std::string& moves) {
        for (char d : moves)
            Move(d);
    }
    std::vector<tracking::SessionPiece> Pieces() const {
        std::vector<tracking::SessionPiece> pieces;
        for (const auto& [fromPlayer, bytes] : records)
            pieces.push_back({fromPlayer, bytes});
        return pieces;
    }
    std::string Bytes(bool fromPlayer) const {
        std::string out;
        for (const auto& [p, bytes] : records)
            if (p == fromPlayer) out += bytes;
        return out;
    }
};

// A walk of the shaped game in a rig: the player's words and the game's answers as recognition
// gets them, the prompt commands marked as the relay marks them.
inline WalkVoice VoiceOf(const GameShape& shape) {
    WalkVoice v;
    v.look = shape.look;
    v.command = [&shape](char d) { return shape.Move(d); };
    v.room = [&shape](const GridGame& g, int room) {
        return shape.Answer(shape.room(g, room), g, room);
    };
    v.serve = [&shape](TrackingRig& rig, const std::string& text) {
        std::vector<std::size_t> prompts;
        for (std::size_t at = text.find("\xff\xf9"); at != std::string::npos;
             at = text.find("\xff\xf9", at + 2))
            prompts.push_back(at + 2);
        rig.tracker.TranslateCmd(text, prompts, shape.ga);
    };
    return v;
}

// A village on three levels: every room its own name, a way up and down in the middle.
inline GridGame Village(const std::string& names = "Room ") {
    GridGame g({
        "A-B-C",
        "| | |",
        "D-E-F",
        "|   |",
        "G-H-J",
    });
    const int cellar = static_cast<int>(g.rooms.size());
    g.rooms.push_back({'K', 9, 9, {}});
    const int tower = cellar + 1;
    g.rooms.push_back({'L', 8, 8, {}});
    g.Warp(g.Find('E'), 'd', cellar);
    g.Warp(g.Find('E'), 'u', tower);
    g.namePrefix = names;
    return g;
}
