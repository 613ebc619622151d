#pragma once
// The small town of tests/data/families/world.txt and the walk of walk.txt: what the generated
// sessions of every game family show, and what a map made from them must be. Texts are kept
// in UTF-8 here; the styles convert them to what their games send.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace families {

// One text in the two languages of the town.
struct Said {
    std::string en, ru;
    const std::string& In(bool russian) const { return russian ? ru : en; }
};

struct Door {
    Said key; // "door", "дверь"
};

struct Room {
    int id = 0;
    int x = 0, y = 0, level = 0;
    std::string zone;
    Said name;
    std::vector<std::string> desc, descRu; // lines
    std::map<char, int> exits;             // direction letter -> room
    std::map<char, Door> doors;            // closed when the walk begins
    bool dark = false;
    std::vector<Said> objs, mobs;
    const std::vector<std::string>& Desc(bool russian) const { return russian ? descRu : desc; }
};

struct Town {
    std::map<int, Room> rooms;
    int start = 0; // the first room of the file
    static Town Load(const std::filesystem::path& file);
};

// The directions in the order games list their exits.
inline constexpr char kDirOrder[] = {'n', 'e', 's', 'w', 'u', 'd'};
char Opposite(char dir);
// The English word of a direction: "north".
const char* DirWord(char dir);

// One command of the walk and what it did in the game.
struct Step {
    enum Kind { Look, Move, Follow, Refused, ClosedDoor, Open, Unknown };
    std::string command; // as walk.txt has it: "n", "look", "open s", "follow e"
    Kind kind = Look;
    int from = 0, to = 0; // the player's room before and after
    char dir = 0;         // of a move, a refusal or an open
};

// Commands sent together (one line of walk.txt, ";" between them) are answered in one read.
struct Walk {
    std::vector<std::vector<Step>> sends;
    int start = 0;
    // Plays a walk file (walk.txt, look.txt) on the town from its first room, or from the room
    // of the file's "start ID" line: with `doors` false the game has none (every door is open
    // and the player opens none); with `follows` false it has no leader to follow, and the
    // player walks that step himself.
    static Walk Load(const std::filesystem::path& file, const Town& town, bool doors, bool follows);
    int Moves() const; // steps that moved the player
};

std::filesystem::path DataDir(); // tests/data/families

} // namespace families
