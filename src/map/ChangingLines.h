#pragma once
// Description lines that the game changes by itself: a line it adds or swaps by the time of day
// ("Над полем висит луна."), by the weather, by the season. A room printed with such a line
// that the map stored without it (or the other way round) is still that room, so the
// description keys and comparisons leave these lines out; every other line, with its blanks,
// still tells rooms apart.
//
// The rule is learnt, not given: when tracking is sure of the room (the player followed a walked
// exit into a room of that name and those exits, or the game named the room), the lines that
// differ between the stored and the printed description are noted. A line counts as changing
// once it was seen come or go in two different rooms; one room alone may be a map that went
// wrong a few moves earlier. Descriptions that differ in more than two lines, or share no line
// at all, teach nothing.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace map {

class ChangingLines {
public:
    // Lines are compared as printed, a trailing CR left out.
    bool Has(std::string_view line) const { return lines_.count(line) > 0; }
    bool Empty() const { return lines_.empty(); }
    const std::set<std::string, std::less<>>& Lines() const { return lines_; }
    // A line known from before (a saved world); false when it was known already.
    bool Add(std::string line);
    void Clear();

    // A room tracking is sure of (`room` tells rooms apart, any stable number) was stored with
    // one description and printed with another. Returns true when a line became changing.
    bool Observe(std::uint64_t room, std::string_view stored, std::string_view printed);
    // Could `printed` be `stored` with lines the game changes by itself, learnt or not: one or two
    // lines come, gone or swapped, a line in common, and no line that only lost or gained blanks
    // (blanks tell look-alike rooms apart).
    bool MayDifferByItself(std::string_view stored, std::string_view printed) const;

private:
    // The lines that differ between two descriptions (the lines known to change left out);
    // false when they differ too much to tell.
    bool Differing(std::string_view stored, std::string_view printed,
                   std::vector<std::string_view>& gone, std::vector<std::string_view>& came) const;

    std::set<std::string, std::less<>> lines_;
    // Lines seen come or go so far, with the rooms where they did.
    std::map<std::string, std::set<std::uint64_t>, std::less<>> seen_;
};

// f(std::string_view line) for each line of a description, split at line feeds, a trailing CR
// left out of each; nothing for an empty description.
template <class F> void ForEachDescriptionLine(std::string_view description, F&& f) {
    if (description.empty()) return;
    for (std::size_t from = 0;;) {
        const std::size_t end = description.find('\n', from);
        std::string_view line = description.substr(
            from, end == std::string_view::npos ? std::string_view::npos : end - from);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        f(line);
        if (end == std::string_view::npos) return;
        from = end + 1;
    }
}

// The same lines, gathered.
std::vector<std::string_view> DescriptionLines(std::string_view description);

} // namespace map
