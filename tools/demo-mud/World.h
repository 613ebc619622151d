#pragma once
// The demo game's worlds: rooms on a three-dimensional grid (X grows to the south, Y to the
// east, L upwards), exits with doors, a dark room, a portal, items to examine. Texts are kept
// in UTF-8 for the JSON dump and in Windows-1251 for the wire.
//
// Two worlds: the small village of Тихая Заводь (the default), and a region of several hundred
// rooms in six areas built where real games break a mapper that reads only text (RegionWorld).

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
    // A description line that depends on the time of day: inserted before line `timedAt` of
    // descUtf8 (-1: none), the day text by day and the night text by night; an empty text
    // adds no line.
    int timedAt = -1;
    std::string dayUtf8, nightUtf8;
    // The same texts in Windows-1251, filled in once the world is built.
    std::string name, area, day, night;
    std::vector<std::string> desc, extras;

    // The description lines as printed at this time of day (Windows-1251 or UTF-8).
    std::vector<std::string> Description(bool daytime) const;
    std::vector<std::string> DescriptionUtf8(bool daytime) const;
};

// The game's clock, in a world that keeps one: it starts at `startHour` and every
// `commandsPerHour`-th command of the player moves it on an hour, before the command is
// carried out. Day lasts from `dayFrom` o'clock until `nightFrom` o'clock.
struct Clock {
    bool on = false;
    int startHour = 8;
    int commandsPerHour = 4;
    int dayFrom = 6, nightFrom = 20;
    // Movement points the player gets back each game hour.
    int movesPerHour = 0;

    // The hour while the player's command number `commands` is carried out (the first is 1;
    // 0 is before any).
    int HourAfter(long long commands) const {
        return static_cast<int>((startHour + commands / commandsPerHour) % 24);
    }
    bool IsDay(int hour) const { return hour >= dayFrom && hour < nightFrom; }
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
    // The village of Тихая Заводь.
    World();
    // The region: the village of Ольховка and five areas around it.
    static World Region();

    const Room* Find(int id) const;
    const std::vector<Room>& Rooms() const { return rooms_; }
    const std::vector<Item>& Items() const { return items_; }
    int StartRoom() const { return start_; }
    int HighestId() const { return highestId_; }
    const Clock& GameClock() const { return clock_; }
    // The lines of the greeting, colour codes included (UTF-8).
    const std::vector<std::string>& WelcomeUtf8() const { return welcomeUtf8_; }

    // The exit list as printed between "[ Exits:" and "]", doors in parentheses while closed.
    std::string ExitList(const Room& room, const std::array<bool, kDirCount>& closed) const;
    // Every fact a test needs to compare a map with the truth.
    QJsonDocument Dump() const;

private:
    friend class RegionBuilder;
    struct Blank {};
    explicit World(Blank) {}
    // Converts the texts to Windows-1251 and notes the highest room id.
    void Finish();
    Room* Edit(int id) { return const_cast<Room*>(Find(id)); }

    void Add(int id, std::string name, std::vector<std::string> desc, int x, int y, int l,
             bool dark = false, int portal = 0, std::vector<std::string> extras = {});
    void Link(int from, Dir d, int to, const char* doorUtf8 = nullptr);

    std::vector<Room> rooms_;
    std::vector<Item> items_;
    std::vector<int> index_; // room id -> position in rooms_ + 1, 0 for none
    int start_ = 1;
    int highestId_ = 0;
    Clock clock_;
    std::vector<std::string> welcomeUtf8_ = {
        "\x1B[1;32mДобро пожаловать в Тихую Заводь!\x1B[0;37m",
        "Это маленький мир для проверки картографа. Наберите 'помощь'."};
};

// UTF-8 source text to the Windows-1251 bytes that the game sends.
std::string Cp1251(const std::string& utf8);

} // namespace demo
