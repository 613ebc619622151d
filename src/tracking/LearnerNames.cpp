// The room name's markers: proposed from the name lines' colour, from a frame the names are
// written in ("<< Hall >>"), or from what every name follows (the prompt), and each proposal
// tried with recognition itself; the one that finds the most names wins.

#include "profile/WorldProfile.h"
#include "text/Text.h"
#include "tracking/LearnerMarkers.h"
#include "tracking/LearnerWords.h"
#include "tracking/RoomParser.h"

#include <algorithm>
#include <map>

namespace tracking::learn {

namespace {
constexpr std::size_t npos = std::string::npos;
constexpr std::size_t kContext = 512; // of the text before an answer, as tracking may hold it
constexpr std::size_t kSample = 48;

// A room answer and the line that should be its name.
struct Expected {
    std::size_t context = 0, end = 0;
    Line line;
    std::string raw, vis, lead, brk;
};

bool Alnum(char c) {
    return IsLetter(c) || (c >= '0' && c <= '9');
}

std::string MostCommon(const std::vector<std::string>& texts) {
    std::map<std::string, std::size_t> n;
    for (const auto& t : texts)
        ++n[t];
    std::string best;
    std::size_t most = 0;
    for (const auto& [t, k] : n)
        if (k > most) best = t, most = k;
    return best;
}

// The colour sequence a colour run ends with.
std::string LastSequence(const std::string& colour) {
    const std::size_t esc = colour.rfind('\x1b');
    return esc == npos ? colour : colour.substr(esc);
}

// How many answers recognition, with these markers, reads the expected name from.
std::size_t Matches(const std::string& g, const std::vector<Expected>& expected,
                    profile::WorldProfile p, const std::string& start, const std::string& end,
                    const std::string& exitStart, std::string_view frameStart = {},
                    std::string_view frameEnd = {}) {
    p.RoomNameStart = text::EncodeEscapes(start);
    p.RoomNameEnd = text::EncodeEscapes(end);
    p.AutoexitStart = text::EncodeEscapes(exitStart);
    p.DecodeMarkers();
    std::size_t n = 0;
    for (const Expected& e : expected) {
        std::string pending = g.substr(e.context, e.end - e.context);
        SeenRoom seen, last;
        bool any = false;
        for (int guard = 0; guard < 16 && ParseRoom(pending, p, seen); ++guard)
            last = seen, any = true;
        std::string_view want = e.vis;
        if (!frameStart.empty() && want.substr(0, frameStart.size()) == frameStart)
            want.remove_prefix(frameStart.size());
        if (!frameEnd.empty() && want.size() >= frameEnd.size() &&
            want.substr(want.size() - frameEnd.size()) == frameEnd)
            want.remove_suffix(frameEnd.size());
        if (any && !want.empty() && text::Trim(last.Name) == text::Trim(want)) ++n;
    }
    return n;
}
} // namespace

std::optional<NameMarkers> FindNameMarkers(const SessionText& s,
                                           const std::vector<std::size_t>& rooms,
                                           const profile::WorldProfile& profile,
                                           const std::vector<std::string>& exitStarts) {
    const std::string& g = s.Game();
    if (exitStarts.empty()) return std::nullopt;
    // Each answer's lines before its exit line, and the first that is not the command's echo.
    std::vector<std::vector<Line>> before;
    std::vector<Expected> expected;
    for (std::size_t i : Spread(rooms, kSample)) {
        const Command& c = s.Commands()[i];
        const std::size_t x = s.Find(exitStarts.front(), c);
        if (x == npos) continue;
        std::vector<Line> lines;
        for (const Line& l : LinesOf(g, c.begin, x)) {
            if (l.end == l.textEnd) continue; // the exit line's own head
            const std::string vis = text::Trim(Visible(s, l.begin, l.textEnd));
            if (!vis.empty() && vis != c.word) lines.push_back(l);
        }
        if (lines.empty()) continue;
        Expected e;
        // Where the game ends its answers with a prompt command, tracking may have let go of
        // the text before an answer: the answer must be read on its own.
        e.context = s.PromptsMarked() ? c.begin : c.begin > kContext ? c.begin - kContext : 0;
        e.end = c.end;
        e.line = lines.front();
        before.push_back(std::move(lines));
        expected.push_back(e);
    }
    if (expected.empty()) return std::nullopt;

    // A colour that begins one line of most answers marks the names, even where a line of
    // another colour ("You follow Bob.") comes first. Of two colours as frequent (the name's and
    // a description's of one line), the one whose line comes first more often: names lead.
    std::map<std::string, std::pair<std::size_t, std::size_t>> colours; // answers, first there
    auto leading = [&](const Line& l) {
        return LeadingColour(std::string_view(g).substr(l.begin, l.textEnd - l.begin));
    };
    for (const auto& lines : before) {
        std::map<std::string, std::size_t> mine;
        for (const Line& l : lines)
            ++mine[leading(l)];
        const std::string first = leading(lines.front());
        for (const auto& [colour, n] : mine)
            if (!colour.empty() && n == 1) {
                ++colours[colour].first;
                colours[colour].second += colour == first;
            }
    }
    std::string colour;
    std::pair<std::size_t, std::size_t> top{0, 0};
    for (const auto& [c, n] : colours)
        if (n > top) colour = c, top = n;
    const std::size_t most = top.first;
    if (most * 5 < expected.size() * 3) colour.clear();
    for (std::size_t k = 0; k < expected.size(); ++k) {
        Expected& e = expected[k];
        for (const Line& l : before[k])
            if (!colour.empty() &&
                LeadingColour(std::string_view(g).substr(l.begin, l.textEnd - l.begin)) == colour) {
                e.line = l;
                break;
            }
        e.raw = g.substr(e.line.begin, e.line.textEnd - e.line.begin);
        e.vis = text::Trim(Visible(s, e.line.begin, e.line.textEnd));
        e.brk = std::string(e.line.Break(g));
    }

    std::vector<std::string> breaks, trailing, visible, preceding;
    for (const Expected& e : expected) {
        breaks.push_back(e.brk);
        trailing.push_back(TrailingColour(e.raw));
        visible.push_back(e.vis);
        const std::size_t from = e.line.begin > 12 ? e.line.begin - 12 : 0;
        preceding.push_back(g.substr(from, e.line.begin - from));
    }
    const std::string brk = MostCommon(breaks);
    if (brk.empty()) return std::nullopt;
    auto common = [](const std::vector<std::string>& texts, bool prefix) {
        std::string_view c = texts.front();
        for (const auto& t : texts) {
            const std::size_t n = prefix ? CommonPrefix(c, t) : CommonSuffix(c, t);
            c = prefix ? c.substr(0, n) : c.substr(c.size() - n);
        }
        return std::string(c);
    };

    struct Proposal {
        std::string start, end, frameStart, frameEnd;
    };
    std::vector<Proposal> proposals;
    if (!colour.empty()) {
        const std::string tail = common(trailing, false);
        for (const std::string& start : {colour, LastSequence(colour)})
            for (const std::string& end : {brk, tail + brk})
                proposals.push_back({start, end, {}, {}});
    }
    // A frame: the same marks (no letters, no digits) around every name.
    std::string framePrefix = common(visible, true), frameSuffix = common(visible, false);
    framePrefix.resize(std::find_if(framePrefix.begin(), framePrefix.end(), Alnum) -
                       framePrefix.begin());
    frameSuffix.erase(0, std::find_if(frameSuffix.rbegin(), frameSuffix.rend(), Alnum).base() -
                             frameSuffix.begin());
    if (!text::Trim(framePrefix).empty() && expected.size() > 1) {
        for (const std::string& end : {frameSuffix + brk, frameSuffix})
            if (!end.empty()) proposals.push_back({framePrefix, end, framePrefix, frameSuffix});
    }
    // What every name follows: the end of the prompt before it (on the name's line first), after
    // its last digit (hit points and the like change, however alike this session's were).
    std::string follows = common(preceding, false);
    const std::size_t digit = follows.find_last_of("0123456789");
    if (digit != npos) follows.erase(0, digit + 1);
    const std::size_t lf = follows.rfind('\n');
    for (const std::string& f : {lf == npos ? std::string() : follows.substr(lf + 1), follows})
        if (f.find_first_not_of("\r\n \t") != npos && expected.size() > 1)
            proposals.push_back({f, brk, {}, {}});

    std::optional<NameMarkers> best;
    std::size_t bestMatches = 0;
    for (const Proposal& p : proposals)
        for (const std::string& exitStart : exitStarts) {
            const std::size_t n =
                Matches(g, expected, profile, p.start, p.end, exitStart, p.frameStart, p.frameEnd);
            if (n > bestMatches) best = NameMarkers{p.start, p.end, exitStart}, bestMatches = n;
        }
    if (bestMatches * 5 < expected.size() * 3) return std::nullopt;
    return best;
}

} // namespace tracking::learn
