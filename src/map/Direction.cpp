#include "map/Direction.h"

#include "profile/WorldProfile.h"

namespace map {

std::optional<Dir> DirFromMenuTag(int tag) {
    for (const auto& i : kDirs)
        if (i.menuTag == tag) return i.dir;
    return std::nullopt;
}

std::optional<Dir> DirFromDirectionsIndex(int index) {
    for (const auto& i : kDirs)
        if (i.directionsIndex == index) return i.dir;
    return std::nullopt;
}

std::optional<Dir> DirFromMoveWord(const profile::WorldProfile& profile, std::string_view word) {
    for (const auto& i : kDirs)
        if (profile.MoveWords[i.dir] == word) return i.dir;
    return std::nullopt;
}

std::optional<Dir> DirFromPhrase(const profile::WorldProfile& profile, std::string_view phrase) {
    for (const auto& i : kDirs)
        if (profile.Directions[i.directionsIndex] == phrase) return i.dir;
    return std::nullopt;
}

const std::string& MoveWord(const profile::WorldProfile& profile, Dir d) {
    return profile.MoveWords[d];
}
const std::string& ExitWord(const profile::WorldProfile& profile, Dir d) {
    return profile.ExitWords[d];
}
const std::string& Phrase(const profile::WorldProfile& profile, Dir d) {
    return profile.Directions[kDirs[d].directionsIndex];
}

} // namespace map
