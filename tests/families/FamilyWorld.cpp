#include "families/FamilyWorld.h"

#include "map/Direction.h"

#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

namespace families {

namespace {

std::vector<std::string> Lines(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// "\e" in the file is ESC.
std::string Unescape(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size() && s[i + 1] == 'e') {
            out += '\x1b';
            ++i;
        } else {
            out += s[i];
        }
    }
    return out;
}

void Fail(const std::string& what, int line) {
    throw std::runtime_error("world.txt line " + std::to_string(line) + ": " + what);
}

} // namespace

char Opposite(char dir) {
    for (const auto& i : map::kDirs)
        if (i.letter == dir) return map::Info(i.opposite).letter;
    return 0;
}

const char* DirWord(char dir) {
    static const char* const words[] = {"north", "south", "east", "west", "up", "down"};
    for (const auto& i : map::kDirs)
        if (i.letter == dir) return words[i.dir];
    return "";
}

std::filesystem::path DataDir() {
    return std::filesystem::path(QUARVELIN_SOURCE_DIR) / "tests" / "data" / "families";
}

Town Town::Load(const std::filesystem::path& file) {
    Town town;
    Room* room = nullptr;
    int n = 0;
    for (const std::string& line : Lines(file)) {
        ++n;
        if (line.empty() || line[0] == '#') continue;
        const std::size_t blank = line.find(' ');
        const std::string key = line.substr(0, blank);
        const std::string rest = blank == std::string::npos ? "" : line.substr(blank + 1);
        std::istringstream words(rest);
        if (key == "room") {
            Room r;
            if (!(words >> r.id >> r.x >> r.y >> r.level >> r.zone)) Fail("bad room", n);
            if (!town.start) town.start = r.id;
            room = &town.rooms[r.id];
            *room = r;
            continue;
        }
        if (!room) Fail("a line before the first room", n);
        if (key == "name")
            room->name.en = rest;
        else if (key == "name-ru")
            room->name.ru = rest;
        else if (key == "desc")
            room->desc.push_back(Unescape(rest));
        else if (key == "desc-ru")
            room->descRu.push_back(Unescape(rest));
        else if (key == "dark")
            room->dark = true;
        else if (key == "obj")
            room->objs.push_back({rest, {}});
        else if (key == "obj-ru" && !room->objs.empty())
            room->objs.back().ru = rest;
        else if (key == "mob")
            room->mobs.push_back({rest, {}});
        else if (key == "mob-ru" && !room->mobs.empty())
            room->mobs.back().ru = rest;
        else if (key == "exit") {
            char dir = 0;
            int to = 0;
            if (!(words >> dir >> to) || !Opposite(dir)) Fail("bad exit", n);
            room->exits[dir] = to;
        } else if (key == "door") {
            char dir = 0;
            Door door;
            if (!(words >> dir >> door.key.en >> door.key.ru)) Fail("bad door", n);
            room->doors[dir] = door;
        } else {
            Fail("unknown line " + key, n);
        }
    }
    // Every exit has its way back, and a door is a door from both of its sides.
    for (const auto& [id, r] : town.rooms)
        for (const auto& [dir, to] : r.exits) {
            const auto there = town.rooms.find(to);
            if (there == town.rooms.end() || there->second.exits.count(Opposite(dir)) == 0 ||
                there->second.exits.at(Opposite(dir)) != id)
                throw std::runtime_error("world.txt: exit " + std::string(1, dir) + " of room " +
                                         std::to_string(id) + " has no way back");
            if (r.doors.count(dir) != there->second.doors.count(Opposite(dir)))
                throw std::runtime_error("world.txt: the door of room " + std::to_string(id) +
                                         " is missing on its other side");
        }
    return town;
}

Walk Walk::Load(const std::filesystem::path& file, const Town& town, bool doors, bool follows) {
    Walk walk;
    walk.start = town.start;
    int at = town.start;
    std::set<std::pair<int, char>> open;
    for (const std::string& line : Lines(file)) {
        if (line.empty() || line[0] == '#') continue;
        // "start ID": the player comes into the game there (before the first send only).
        if (line.rfind("start ", 0) == 0) {
            const int id = std::stoi(line.substr(6));
            if (!walk.sends.empty() || !town.rooms.count(id))
                throw std::runtime_error(file.filename().string() + ": bad " + line);
            walk.start = at = id;
            continue;
        }
        std::vector<Step> send;
        std::istringstream commands(line);
        for (std::string command; std::getline(commands, command, ';');) {
            Step step;
            step.command = command;
            step.from = at;
            const Room& here = town.rooms.at(at);
            if (command == "look") {
                step.kind = Step::Look;
            } else if (command.rfind("open ", 0) == 0 && command.size() == 6) {
                // Where the game has no doors, the player has none to open.
                if (!doors) continue;
                step.dir = command[5];
                step.kind = here.doors.count(step.dir) ? Step::Open : Step::Unknown;
                if (step.kind == Step::Open) {
                    open.insert({at, step.dir});
                    open.insert({here.exits.at(step.dir), Opposite(step.dir)});
                }
            } else if ((command.size() == 1 && Opposite(command[0])) ||
                       (command.rfind("follow ", 0) == 0 && command.size() == 8)) {
                step.dir = command.back();
                if (command.size() > 1 && !follows) step.command = command.substr(7);
                if (!here.exits.count(step.dir))
                    step.kind = Step::Refused;
                else if (doors && here.doors.count(step.dir) && !open.count({at, step.dir}))
                    step.kind = Step::ClosedDoor;
                else {
                    step.kind = step.command.size() > 1 ? Step::Follow : Step::Move;
                    at = here.exits.at(step.dir);
                }
            } else {
                throw std::runtime_error("walk.txt: unknown command " + command);
            }
            step.to = at;
            send.push_back(step);
        }
        if (!send.empty()) walk.sends.push_back(send);
    }
    return walk;
}

int Walk::Moves() const {
    int n = 0;
    for (const auto& send : sends)
        for (const Step& s : send)
            n += s.kind == Step::Move || s.kind == Step::Follow;
    return n;
}

} // namespace families
