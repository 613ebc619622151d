#pragma once
// The six directions of the map and everything that hangs on them, from one table: grid step,
// link flag, opposite, index in the profile's Directions phrases, menu tag. A direction's index
// is also its index in the profile's Exits, Leader and Moves words (north, south, east, west,
// up, down).

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace profile {
struct WorldProfile;
}

namespace map {

enum Dir : int { North = 0, South = 1, East = 2, West = 3, Up = 4, Down = 5 };
inline constexpr int kDirCount = 6;

struct DirInfo {
    Dir dir;
    int menuTag;    // Tag of the context-menu items naming this direction
    int dx, dy, dl; // grid step: X grows south, Y east, L up
    Dir opposite;
    int directionsIndex; // index in the profile's Directions phrases (north, south, west, east, up,
                         // down)
    char letter;         // for logs and tests
};

inline constexpr std::array<DirInfo, kDirCount> kDirs{{
    {North, 1, -1, 0, 0, South, 0, 'n'},
    {South, 2, 1, 0, 0, North, 1, 's'},
    {East, 3, 0, 1, 0, West, 3, 'e'},
    {West, 4, 0, -1, 0, East, 2, 'w'},
    {Up, 5, 0, 0, 1, Down, 4, 'u'},
    {Down, 6, 0, 0, -1, Up, 5, 'd'},
}};

inline constexpr const DirInfo& Info(Dir d) {
    return kDirs[d];
}
inline constexpr Dir OppositeDir(Dir d) {
    return kDirs[d].opposite;
}

std::optional<Dir> DirFromMenuTag(int tag);
std::optional<Dir> DirFromDirectionsIndex(int index);
// Exact match against the profile's movement words.
std::optional<Dir> DirFromMoveWord(const profile::WorldProfile& profile, std::string_view word);
// Exact match against the profile's Directions phrases.
std::optional<Dir> DirFromPhrase(const profile::WorldProfile& profile, std::string_view phrase);
const std::string& MoveWord(const profile::WorldProfile& profile, Dir d);
const std::string& ExitWord(const profile::WorldProfile& profile, Dir d);
const std::string& Phrase(const profile::WorldProfile& profile, Dir d);

} // namespace map
