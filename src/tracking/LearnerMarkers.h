#pragma once
// The markers that frame what recognition cuts from the game's text, found in the answers of a
// session: the exit line's start and end, the prompt's exit markers, the room name's markers.
// Markers are raw game text (colour sequences and all), not yet written as escapes.

#include "tracking/LearnerText.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace profile {
struct WorldProfile;
}

namespace tracking::learn {

struct ExitLine {
    std::string start, end;
    // The start without the colour sequences it begins with, when that is another marker.
    std::string plainStart;
    // The start without the ending of its last word, where that word may change with the
    // number of exits ("exits:", "exit:"; "Выходы:", "Выход:") and the list follows on its line.
    std::string looseStart;
    bool longLists = false; // some lists pass the 60 characters recognition reads
};
// `answers`: indexes of answered looks and moves, the rooms among them.
std::optional<ExitLine> FindExitLine(const SessionText& s, const std::vector<std::size_t>& answers);

struct PromptExits {
    std::string start, end;
    // The exit words of the prompts, by direction: every spelling seen.
    std::vector<std::string> words[6];
};
std::optional<PromptExits> FindPromptExits(const SessionText& s,
                                           const std::vector<std::size_t>& answers);

struct NameMarkers {
    std::string start, end;
    std::string exitStart; // the exit line's start that recognition finds the names with
};
// `profile` holds the exit line's markers (decoded); `exitStarts` the starts to try with them.
std::optional<NameMarkers> FindNameMarkers(const SessionText& s,
                                           const std::vector<std::size_t>& rooms,
                                           const profile::WorldProfile& profile,
                                           const std::vector<std::string>& exitStarts);

// At most `limit` of `all`, spread over it evenly.
std::vector<std::size_t> Spread(const std::vector<std::size_t>& all, std::size_t limit);
// The longest common prefix and suffix of two texts.
std::size_t CommonPrefix(std::string_view a, std::string_view b);
std::size_t CommonSuffix(std::string_view a, std::string_view b);
// The colour sequences that `raw` begins with (ends with).
std::string LeadingColour(std::string_view raw);
std::string TrailingColour(std::string_view raw);

} // namespace tracking::learn
