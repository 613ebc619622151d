#include "map/ChangingLines.h"

#include <algorithm>

namespace map {

std::vector<std::string_view> DescriptionLines(std::string_view description) {
    std::vector<std::string_view> lines;
    ForEachDescriptionLine(description, [&](std::string_view line) { lines.push_back(line); });
    return lines;
}

bool ChangingLines::Add(std::string line) {
    if (line.empty()) return false;
    return lines_.insert(std::move(line)).second;
}

void ChangingLines::Clear() {
    lines_.clear();
    seen_.clear();
}

bool ChangingLines::Differing(std::string_view stored, std::string_view printed,
                              std::vector<std::string_view>& gone,
                              std::vector<std::string_view>& came) const {
    if (stored.empty() || printed.empty() || stored == printed) return false;
    auto kept = [&](std::string_view text) {
        std::vector<std::string_view> lines;
        for (std::string_view line : DescriptionLines(text))
            if (!line.empty() && !Has(line)) lines.push_back(line);
        std::sort(lines.begin(), lines.end());
        return lines;
    };
    const std::vector<std::string_view> a = kept(stored), b = kept(printed);
    std::vector<std::string_view> common;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(gone));
    std::set_difference(b.begin(), b.end(), a.begin(), a.end(), std::back_inserter(came));
    std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(common));
    const std::size_t differing = gone.size() + came.size();
    return differing > 0 && differing <= 2 && !common.empty();
}

bool ChangingLines::MayDifferByItself(std::string_view stored, std::string_view printed) const {
    std::vector<std::string_view> gone, came;
    if (!Differing(stored, printed, gone, came)) return false;
    auto trimmed = [](std::string_view line) {
        const std::size_t b = line.find_first_not_of(" \t");
        if (b == std::string_view::npos) return std::string_view();
        return line.substr(b, line.find_last_not_of(" \t") + 1 - b);
    };
    for (std::string_view g : gone)
        for (std::string_view c : came)
            if (trimmed(g) == trimmed(c)) return false;
    return true;
}

bool ChangingLines::Observe(std::uint64_t room, std::string_view stored, std::string_view printed) {
    std::vector<std::string_view> gone, came;
    if (!Differing(stored, printed, gone, came)) return false;
    bool added = false;
    for (const auto* side : {&gone, &came})
        for (std::string_view line : *side) {
            auto it = seen_.find(line);
            if (it == seen_.end())
                it = seen_.emplace(std::string(line), std::set<std::uint64_t>{}).first;
            it->second.insert(room);
            if (it->second.size() >= 2 && lines_.insert(std::string(line)).second) added = true;
        }
    return added;
}

} // namespace map
