#pragma once
// The small direction operations that tracking and the map share. A direction travels as a
// word: the profile's movement word or, in cross-zone links, its Directions phrase.

#include "map/Direction.h"
#include "map/MudRoom.h"

#include <optional>
#include <string>
#include <string_view>

namespace profile {
struct WorldProfile;
}

namespace map {

class DirectionWords {
public:
    explicit DirectionWords(const profile::WorldProfile& profile) : profile_(profile) {}

    // The direction of a movement word, or of a Directions phrase.
    std::optional<Dir> FromMoveWord(std::string_view word) const;
    std::optional<Dir> FromPhrase(std::string_view phrase) const;

    // Moves the position one step in the direction of a movement word; any other word leaves
    // it unchanged.
    void ReposXYL(std::string_view word, int& x, int& y, int& l) const;
    // Sets the link flag named by a movement word or a Directions phrase; other words set
    // nothing.
    void SetCheck(TMudRoom2& room, std::string_view word, bool value) const;
    // The opposite movement word or Directions phrase; any other word comes back unchanged.
    std::string Opposite(std::string_view word) const;
    // True when the exit word of the movement word's direction occurs in the room's Exits
    // (a door counts). Exit words are compared ignoring Latin case with AutoexitsIgnoreCase.
    bool HasExit(const TMudRoom2& room, std::string_view word) const;
    bool HasExit(const TMudRoom2& room, Dir d) const;
    // Link flag set and HasExit, or the word is the portal word.
    bool WasStep(const TMudRoom2& room, std::string_view word) const;
    bool WasStep(const TMudRoom2& room, Dir d) const;
    // A movement word whose link flag is not set.
    bool WasNotStep(const TMudRoom2& room, std::string_view word) const;
    // Index of the room's first link line (non-empty zone field) whose exit field is the
    // phrase of the movement word's direction or the word itself; -1 when none.
    int HasJump(const TMudRoom2* room, std::string_view word) const;

private:
    const profile::WorldProfile& profile_;
};

} // namespace map
