#include "map/DirectionWords.h"

#include "profile/WorldProfile.h"
#include "text/Text.h"

namespace map {

std::optional<Dir> DirectionWords::FromMoveWord(std::string_view word) const {
    return DirFromMoveWord(profile_, word);
}

std::optional<Dir> DirectionWords::FromPhrase(std::string_view phrase) const {
    return DirFromPhrase(profile_, phrase);
}

void DirectionWords::ReposXYL(std::string_view word, int& x, int& y, int& l) const {
    auto d = FromMoveWord(word);
    if (!d) return;
    x += Info(*d).dx;
    y += Info(*d).dy;
    l += Info(*d).dl;
}

void DirectionWords::SetCheck(TMudRoom2& room, std::string_view word, bool value) const {
    auto d = FromMoveWord(word);
    if (!d) d = FromPhrase(word);
    if (d) room.Ch(*d) = value;
}

std::string DirectionWords::Opposite(std::string_view word) const {
    if (auto d = FromMoveWord(word)) return MoveWord(profile_, OppositeDir(*d));
    if (auto d = FromPhrase(word)) return Phrase(profile_, OppositeDir(*d));
    return std::string(word);
}

bool DirectionWords::HasExit(const TMudRoom2& room, std::string_view word) const {
    auto d = FromMoveWord(word);
    return d && HasExit(room, *d);
}

bool DirectionWords::HasExit(const TMudRoom2& room, Dir d) const {
    return text::FindLatin(room.Exits(), ExitWord(profile_, d), profile_.AutoexitsIgnoreCase) !=
           std::string::npos;
}

bool DirectionWords::WasStep(const TMudRoom2& room, std::string_view word) const {
    if (auto d = FromMoveWord(word)) {
        if (WasStep(room, *d)) return true;
    }
    return word == profile_.Portal;
}

bool DirectionWords::WasStep(const TMudRoom2& room, Dir d) const {
    return room.Ch(d) && HasExit(room, d);
}

bool DirectionWords::WasNotStep(const TMudRoom2& room, std::string_view word) const {
    auto d = FromMoveWord(word);
    return d && !room.Ch(*d);
}

int DirectionWords::HasJump(const TMudRoom2* room, std::string_view word) const {
    if (!room) return -1;
    auto d = FromMoveWord(word);
    for (std::size_t i = 0; i < room->AutoMaps.size(); ++i) {
        const std::string& line = room->AutoMaps[i];
        if (text::GetField(line, 1).empty()) continue;
        const std::string exit = text::GetField(line, 2);
        if ((d && exit == Phrase(profile_, *d)) || exit == word) return static_cast<int>(i);
    }
    return -1;
}

} // namespace map
