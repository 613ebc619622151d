#pragma once
// The demo game's world: rooms on a three-dimensional grid (X grows to the south, Y to the
// east, L upwards), exits with doors, a dark room, a portal, items to examine. Texts are kept
// in UTF-8 for the JSON dump and in Windows-1251 for the wire.

#include <QJsonDocument>
#include <array>
#include <string>
#include <vector>

namespace demo {

enum Dir { kNorth, kEast, kSouth, kWest, kUp, kDown, kDirCount };

struct DirInfo {
    const char* command;     // movement command the player types
    const char* exitWord;    // as printed in the exit line
    const char* promptUtf8;  // as printed in the prompt after "Вых:"
    const char* towardsUtf8; // "на север" in "Вы поплелись на север."
    int dx, dy, dl;
    Dir opposite;
};

const DirInfo& Info(Dir d);
// Direction named by a command word ("n", "north", "с", "север"), or kDirCount.
Dir ParseDir(const std::string& cp1251Word);

struct Exit {
    int to = 0;           // target room id, 0 = no exit
    bool door = false;    // a door stands in the way
    std::string doorUtf8; // its name in the refusal "Закрыто (дверь)."
};

struct Room {
    int id = 0;
    std::string nameUtf8;
    std::vector<std::string> descUtf8; // lines as printed, colour codes included
    int x = 0, y = 0, l = 0;
    bool dark = false;
    std::array<Exit, kDirCount> exits;
    int portal = 0;                      // target of "войти", 0 = none
    std::vector<std::string> extrasUtf8; // object lines printed after the exit line
    // The game's own number for the room and its area, as MSDP and GMCP tell them.
    int vnum = 0;
    std::string areaUtf8;
    // The same texts in Windows-1251, filled in once the world is built.
    std::string name, area;
    std::vector<std::string> desc, extras;
};

struct Item {
    std::vector<std::string> keywordsUtf8;
    std::string shortUtf8;
    std::vector<std::string> loreUtf8;
    std::vector<std::string> keywords, lore; // Windows-1251
    std::string shortName;
};

class World {
public:
    World();

    const Room* Find(int id) const;
    const std::vector<Room>& Rooms() const { return rooms_; }
    const std::vector<Item>& Items() const { return items_; }
    int StartRoom() const { return 1; }

    // The exit list as printed between "[ Exits:" and "]", doors in parentheses while closed.
    std::string ExitList(const Room& room, const std::array<bool, kDirCount>& closed) const;
    // Every fact a test needs to compare a map with the truth.
    QJsonDocument Dump() const;

private:
    void Add(int id, std::string name, std::vector<std::string> desc, int x, int y, int l,
             bool dark = false, int portal = 0, std::vector<std::string> extras = {});
    void Link(int from, Dir d, int to, const char* doorUtf8 = nullptr);

    std::vector<Room> rooms_;
    std::vector<Item> items_;
};

// UTF-8 source text to the Windows-1251 bytes that the game sends.
std::string Cp1251(const std::string& utf8);

} // namespace demo
