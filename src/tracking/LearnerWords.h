#pragma once
// The words that learning a profile knows before it reads a session: direction words of the
// common game languages, look commands, the words of darkness. A word the player typed or a game
// printed is told by these; the family a word belongs to completes the directions a short
// session never showed. Every word is lower-case Windows-1251.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tracking::learn {

// Six direction words in the profile's order: north, south, east, west, up, down.
using SixWords = std::array<std::string, 6>;

struct WordFamily {
    const char* name;
    SixWords words;
};

// Families of exit words as games print them, and of movement commands as players type them.
const std::vector<WordFamily>& ExitFamilies();
const std::vector<WordFamily>& MoveFamilies();

// The direction (profile index) of a word in any family, compared without regard to case.
std::optional<int> DirectionOf(std::string_view word, const std::vector<WordFamily>& families);
bool IsLookWord(std::string_view word);
// "and", "или" ...: words that may stand between the exits of a list.
bool IsConjunction(std::string_view word);
// Whether a line speaks of darkness ("It is pitch black...", "Здесь темно...").
bool SpeaksOfDarkness(std::string_view visibleLine);

// Letters of words, Latin and Windows-1251 Cyrillic (with the Ukrainian and Belarusian ones).
bool IsLetter(char c);
std::string Upper(std::string_view word);

// The words of the one family that holds every word seen (empty entries are unseen), written in
// the letter case the seen words share; nullopt when no family holds them all.
std::optional<SixWords> CompleteFromFamily(const SixWords& seen,
                                           const std::vector<WordFamily>& families);

} // namespace tracking::learn
