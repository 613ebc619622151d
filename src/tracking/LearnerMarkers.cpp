#include "tracking/LearnerMarkers.h"

#include "text/Cp1251.h"
#include "text/Text.h"
#include "tracking/LearnerWords.h"

#include <algorithm>
#include <map>
#include <set>

namespace tracking::learn {

namespace {
constexpr std::size_t npos = std::string::npos;
// Answers whose exit-word runs give the candidates for the exit line's start.
constexpr std::size_t kSeedAnswers = 6;
constexpr std::size_t kMaxMarker = 48;
constexpr std::size_t kExitWindow = 60; // what recognition reads after the exit line's start

// A run of exit words in an answer, with where its line (or the line before) begins.
struct RunAt {
    std::size_t headBegin = 0, start = 0, lastEnd = 0, lineEnd = 0;
    std::set<int> dirs; // the directions of its words
};

std::vector<RunAt> RunsOf(const SessionText& s, const Command& c) {
    std::vector<RunAt> out;
    const std::vector<Line> lines = BodyLines(s, c);
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& l = lines[i];
        const std::string vis = Visible(s, l.begin, l.textEnd, &at);
        const std::vector<Token> tokens = Tokens(vis);
        for (const Run& r : Runs(vis, tokens)) {
            RunAt ra;
            ra.start = at[tokens[r.first].begin];
            std::size_t last = r.last;
            for (std::size_t k = r.first; k < tokens.size(); ++k)
                if (tokens[k].dir >= 0) {
                    last = k;
                    ra.dirs.insert(tokens[k].dir);
                }
            ra.lastEnd = at[tokens[last].end - 1] + 1;
            ra.lineEnd = l.end;
            ra.headBegin = l.begin;
            // A list on a line of its own is introduced by the line before ("Obvious exits:").
            if (text::Trim(std::string_view(vis).substr(0, tokens[r.first].begin)).empty()) {
                if (i == 0) continue;
                ra.headBegin = lines[i - 1].begin;
            }
            out.push_back(ra);
        }
    }
    return out;
}

// Which bytes of `h` belong to colour sequences.
std::vector<bool> ColourMask(std::string_view h) {
    std::vector<bool> mask(h.size(), false);
    for (std::size_t i = 0; i + 1 < h.size(); ++i) {
        if (h[i] != '\x1b' || h[i + 1] != '[') continue;
        std::size_t k = i + 2;
        while (k < h.size() &&
               (static_cast<unsigned char>(h[k]) < 0x40 || static_cast<unsigned char>(h[k]) > 0x7E))
            ++k;
        for (std::size_t j = i; j <= k && j < h.size(); ++j)
            mask[j] = true;
        i = k;
    }
    return mask;
}

std::string TrimBlanks(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t'))
        --e;
    return std::string(s.substr(b, e - b));
}

// A marker that names something: three letters at least, no digits (which change).
bool Telling(std::string_view marker) {
    const std::string vis = text::StripAnsi(marker);
    std::size_t letters = 0;
    for (char c : vis) {
        if (c >= '0' && c <= '9') return false;
        letters += IsLetter(c) ? 1 : 0;
    }
    return letters >= 3 && marker.size() <= kMaxMarker;
}

// Pieces of a head that begin and end at a word or a colour sequence.
void StartCandidates(std::string_view h, std::set<std::string>& out) {
    const std::vector<bool> colour = ColourMask(h);
    std::vector<std::size_t> starts{0}, ends{h.size()};
    for (std::size_t k = 1; k < h.size(); ++k) {
        const bool inColour = colour[k] && h[k] != '\x1b';
        if (inColour) continue;
        if (h[k] == '\x1b' || (IsLetter(h[k]) && !IsLetter(h[k - 1])) || h[k - 1] == '\n' ||
            (colour[k - 1] && !colour[k]))
            starts.push_back(k);
        if ((IsLetter(h[k - 1]) && !colour[k - 1] && !IsLetter(h[k])) || h[k - 1] == ':')
            ends.push_back(k);
    }
    for (std::size_t b : starts)
        for (std::size_t e : ends)
            if (e > b && e - b <= kMaxMarker + 8) {
                std::string m = TrimBlanks(h.substr(b, e - b));
                if (Telling(m)) out.insert(std::move(m));
            }
}

// Blanks aside, how many bytes stand between a marker and the words it introduces.
std::size_t Gap(std::string_view between) {
    std::size_t n = 0;
    for (char c : text::StripAnsi(between))
        n += (c == ' ' || c == '\r' || c == '\n' || c == '\t') ? 0 : 1;
    return n;
}

// The part of each text that all of them begin (end) with.
std::string Common(const std::vector<std::string>& texts, bool prefix) {
    if (texts.empty()) return {};
    std::string_view common = texts.front();
    for (const std::string& t : texts) {
        const std::size_t n = prefix ? CommonPrefix(common, t) : CommonSuffix(common, t);
        common = prefix ? common.substr(0, n) : common.substr(common.size() - n);
    }
    return std::string(common);
}
} // namespace

std::vector<std::size_t> Spread(const std::vector<std::size_t>& all, std::size_t limit) {
    if (all.size() <= limit) return all;
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < limit; ++i)
        out.push_back(all[i * all.size() / limit]);
    return out;
}

std::size_t CommonPrefix(std::string_view a, std::string_view b) {
    std::size_t n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n])
        ++n;
    return n;
}

std::size_t CommonSuffix(std::string_view a, std::string_view b) {
    std::size_t n = 0;
    while (n < a.size() && n < b.size() && a[a.size() - 1 - n] == b[b.size() - 1 - n])
        ++n;
    return n;
}

std::string LeadingColour(std::string_view raw) {
    const std::vector<bool> colour = ColourMask(raw);
    std::size_t n = 0;
    while (n < raw.size() && colour[n])
        ++n;
    return std::string(raw.substr(0, n));
}

std::string TrailingColour(std::string_view raw) {
    const std::vector<bool> colour = ColourMask(raw);
    std::size_t n = 0;
    while (n < raw.size() && colour[raw.size() - 1 - n])
        ++n;
    return std::string(raw.substr(raw.size() - n));
}

std::optional<ExitLine> FindExitLine(const SessionText& s,
                                     const std::vector<std::size_t>& answers) {
    const std::string& g = s.Game();
    const auto& commands = s.Commands();
    std::vector<std::vector<RunAt>> runs;
    std::set<std::string> candidates;
    for (std::size_t i : answers) {
        runs.push_back(RunsOf(s, commands[i]));
        if (candidates.size() < 4000 && runs.size() <= kSeedAnswers)
            for (const RunAt& r : runs.back())
                StartCandidates(std::string_view(g).substr(r.headBegin, r.start - r.headBegin),
                                candidates);
    }

    // The start of the lists whose words agree best with the way the player left each room,
    // that most answers have before a run of exit words with nothing like it earlier (for
    // recognition takes the first), of lists that differ from room to room, and as close to
    // the words as can be.
    struct Score {
        long agree = 0;
        std::size_t covered = 0, kinds = 0, gap = 0, visible = 0, raw = 0;
        bool operator<(const Score& o) const {
            if (agree != o.agree) return agree < o.agree;
            if (covered != o.covered) return covered < o.covered;
            if (kinds != o.kinds) return kinds < o.kinds;
            if (gap != o.gap) return gap > o.gap;
            if (visible != o.visible) return visible < o.visible;
            return raw < o.raw;
        }
    };
    auto inAnswer = [&](const std::string& m, const Command& c) { return s.Find(m, c); };
    Score best;
    std::string start;
    for (const std::string& m : candidates) {
        Score score;
        score.visible = text::StripAnsi(m).size();
        score.raw = m.size();
        std::set<std::set<int>> kinds;
        for (std::size_t a = 0; a < answers.size(); ++a) {
            const std::size_t p = inAnswer(m, commands[answers[a]]);
            if (p == npos) continue;
            const auto r = std::find_if(runs[a].begin(), runs[a].end(),
                                        [&](const RunAt& r) { return r.start >= p + m.size(); });
            if (r == runs[a].end() || p < r->headBegin) continue;
            ++score.covered;
            kinds.insert(r->dirs);
            score.gap += Gap(std::string_view(g).substr(p + m.size(), r->start - p - m.size()));
            // A move that leads to the next room went by one of this room's exits.
            const std::size_t k = answers[a] + 1;
            if (k < commands.size() && commands[k].dir && inAnswer(m, commands[k]) != npos)
                score.agree += r->dirs.count(*commands[k].dir) ? 1 : -1;
        }
        score.kinds = kinds.size();
        if (best < score) best = score, start = m;
    }
    const std::size_t need =
        std::max<std::size_t>(answers.size() * 2 / 5, answers.size() > 1 ? 2 : 1);
    if (start.empty() || best.covered < need) return std::nullopt;

    // The end: what every list is followed by up to its line break.
    std::vector<std::string> tails, heads;
    std::vector<std::size_t> starts;
    for (std::size_t a = 0; a < answers.size(); ++a) {
        const Command& c = commands[answers[a]];
        const std::size_t p = s.Find(start, c);
        if (p == npos) continue;
        const auto r = std::find_if(runs[a].begin(), runs[a].end(),
                                    [&](const RunAt& r) { return r.start >= p + start.size(); });
        if (r == runs[a].end() || p < r->headBegin) continue;
        tails.push_back(
            TrimBlanks(std::string_view(g).substr(r->lastEnd, r->lineEnd - r->lastEnd)));
        starts.push_back(p + start.size());
        heads.push_back(g.substr(r->headBegin, p - r->headBegin));
    }
    ExitLine line;
    line.start = start;
    line.end = Common(tails, true);
    if (line.end.empty()) line.end = Common(tails, false);
    if (line.end.empty()) return std::nullopt;
    for (std::size_t from : starts) {
        const std::size_t e = s.Find(line.end, from, from + kExitWindow + line.end.size());
        line.longLists = line.longLists || e == npos || e - from + line.end.size() > kExitWindow;
    }
    // A label inside a sentence that changes with the number of exits ("There is one obvious
    // exit:", "There are two obvious exits:"); not a fixed label, nor one on a line of its own.
    std::string loose = start;
    if (!loose.empty() && loose.back() == ':') loose.pop_back();
    static const std::string kPlural = text::W("sSыЫиИ");
    const bool sentence = std::any_of(heads.begin(), heads.end(),
                                      [&](const std::string& h) { return h != heads.front(); });
    if (sentence && loose.size() > 4 && IsLetter(loose[loose.size() - 2]) &&
        kPlural.find(loose.back()) != npos && start.find('\n') == npos) {
        loose.pop_back();
        if (Telling(loose)) line.looseStart = loose;
    }
    const std::string plain = start.substr(LeadingColour(start).size());
    if (plain != start && Telling(plain)) line.plainStart = TrimBlanks(plain);
    return line;
}

std::optional<PromptExits> FindPromptExits(const SessionText& s,
                                           const std::vector<std::size_t>& answers) {
    const std::string& g = s.Game();
    struct Seen {
        std::string raw;
        std::vector<std::pair<std::string, std::size_t>> heads; // marker, token index
        std::string vis;
        std::vector<Token> tokens;
        std::vector<Run> runs;
    };
    std::vector<Seen> prompts;
    std::map<std::string, std::size_t> votes;
    for (std::size_t i : answers) {
        const Command& c = s.Commands()[i];
        const std::vector<Line> lines = LinesOf(g, c.begin, c.end);
        if (lines.empty() || lines.back().end != lines.back().textEnd) continue;
        Seen p;
        p.raw = g.substr(lines.back().begin, lines.back().textEnd - lines.back().begin);
        p.vis = Visible(s, lines.back().begin, lines.back().textEnd);
        if (text::Trim(p.vis).empty()) continue;
        p.tokens = Tokens(p.vis);
        p.runs = Runs(p.vis, p.tokens);
        std::set<std::string> mine;
        for (const Run& r : p.runs) {
            // The label right before the exits: no blanks, no digits (they change).
            const std::string head = text::TrimRight(p.vis.substr(0, p.tokens[r.first].begin));
            std::size_t b = head.size();
            while (b > 0 && head[b - 1] != ' ' && !(head[b - 1] >= '0' && head[b - 1] <= '9'))
                --b;
            const std::string m = head.substr(b);
            if (m.empty() || m.size() > 16 || p.raw.find(m) == npos) continue;
            p.heads.push_back({m, r.first});
            if (mine.insert(m).second) ++votes[m];
            // A bracket before the first exit may be the game's mark of a closed door on it
            // ("Вых:(С)В>"): the label without it is the label of every prompt.
            if (m.size() > 1 && std::string_view("([{").find(m.back()) != npos) {
                const std::string bare = m.substr(0, m.size() - 1);
                p.heads.push_back({bare, r.first});
                if (mine.insert(bare).second) ++votes[bare];
            }
        }
        prompts.push_back(std::move(p));
    }
    std::string start;
    std::size_t covered = 0;
    for (const auto& [m, n] : votes)
        if (n > covered || (n == covered && m.size() > start.size())) start = m, covered = n;
    const std::size_t need =
        std::max<std::size_t>(prompts.size() * 2 / 5, prompts.size() > 1 ? 2 : 1);
    if (start.empty() || covered < need) return std::nullopt;

    PromptExits out;
    out.start = start;
    std::map<char, std::size_t> ends;
    for (const Seen& p : prompts)
        for (const auto& [m, first] : p.heads) {
            if (m != start) continue;
            const Run& r =
                *std::find_if(p.runs.begin(), p.runs.end(),
                              [&, first = first](const Run& r) { return r.first == first; });
            for (std::size_t k = r.first; k <= r.last; ++k) {
                const Token& t = p.tokens[k];
                if (t.dir >= 0) out.words[t.dir].push_back(p.vis.substr(t.begin, t.end - t.begin));
            }
            std::size_t e = p.tokens[r.last].end;
            while (e < p.vis.size() && std::string_view(")]} ").find(p.vis[e]) != npos)
                ++e;
            if (e < p.vis.size() && !IsLetter(p.vis[e]) && !(p.vis[e] >= '0' && p.vis[e] <= '9'))
                ++ends[p.vis[e]];
            break;
        }
    std::size_t most = 0;
    for (const auto& [c, n] : ends)
        if (n > most) out.end = std::string(1, c), most = n;
    if (out.end.empty() || most * 5 < covered * 3) return std::nullopt;
    return out;
}

} // namespace tracking::learn
