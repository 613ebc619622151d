#include "tracking/LearnerSteps.h"

#include "text/Text.h"
#include "tracking/RoomParser.h"

#include <algorithm>
#include <map>
#include <set>

namespace tracking::learn {

namespace {
constexpr std::size_t npos = std::string::npos;
constexpr std::size_t kExitWindow = 60;
constexpr std::size_t kMaxRefusals = 8;
constexpr std::size_t kMaxDarkTexts = 3;

// The texts seen, the most frequent first (the first seen first among equals).
std::vector<std::string> ByFrequency(const std::vector<std::string>& seen) {
    std::vector<std::pair<std::string, std::size_t>> counts;
    for (const std::string& t : seen) {
        auto it =
            std::find_if(counts.begin(), counts.end(), [&](const auto& c) { return c.first == t; });
        if (it == counts.end())
            counts.push_back({t, 1});
        else
            ++it->second;
    }
    std::stable_sort(counts.begin(), counts.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    std::vector<std::string> out;
    for (auto& [t, n] : counts)
        out.push_back(std::move(t));
    return out;
}

void Join(const std::vector<std::string>& add, std::vector<std::string>& list) {
    for (const std::string& entry : add)
        if (std::find(list.begin(), list.end(), entry) == list.end()) list.push_back(entry);
}
} // namespace

void Steps::Key(std::string_view section, std::string_view key) {
    const profile::ProfileKey k{section, key};
    if (std::find(out.keys.begin(), out.keys.end(), k) == out.keys.end()) out.keys.push_back(k);
}

void Steps::Remark(LearnRemark::Kind kind, int dir, std::string word) {
    out.remarks.push_back({kind, dir, std::move(word)});
}

void Steps::Marker(std::string_view key, std::string& field, const std::string& raw) {
    field = text::EncodeEscapes(raw);
    Key("Messages", key);
}

void Steps::Darkness(const std::vector<std::size_t>& rooms,
                     const std::vector<std::size_t>& others) {
    const std::string& g = s.Game();
    std::vector<std::string> seen;
    for (std::size_t i : others)
        for (const Line& l : BodyLines(s, s.Commands()[i]))
            if (std::string piece = PlainPiece(s, l, true); !piece.empty()) seen.push_back(piece);
    // A dark room that still shows its exits: its one line before them speaks of darkness.
    const std::string& exitStart = out.profile.AutoexitStartDecoded;
    for (std::size_t i : rooms) {
        const Command& c = s.Commands()[i];
        const std::size_t x = s.Find(exitStart, c);
        if (x == npos) continue;
        std::vector<Line> lines;
        for (const Line& l : LinesOf(g, c.begin, x))
            if (l.end != l.textEnd && !text::Trim(Visible(s, l.begin, l.textEnd)).empty())
                lines.push_back(l);
        if (lines.size() != 1) continue;
        if (std::string piece = PlainPiece(s, lines.front(), true); !piece.empty())
            seen.push_back(piece);
    }
    if (seen.empty()) return;
    std::vector<std::string> texts = ByFrequency(seen);
    if (texts.size() > kMaxDarkTexts) texts.resize(kMaxDarkTexts);
    out.profile.Dark = texts.front();
    Join(texts, out.profile.DarkList);
    Key("Messages", "Dark");
    Key("Dark", "");
}

bool Steps::ListAfter(const Command& c, const std::string& start, std::string& list,
                      std::set<int>& dirs, std::vector<std::string>* spellings) const {
    const std::string& g = s.Game();
    const std::string& end = out.profile.AutoexitEndDecoded;
    const std::size_t x = s.Find(start, c);
    if (x == npos) return false;
    const std::size_t from = x + start.size();
    const std::size_t e = s.Find(end, from, c.end);
    const std::size_t to = e == npos ? std::min(c.end, from + kExitWindow) : e;
    const std::string vis = Visible(s, from, to);
    std::vector<Token> tokens = Tokens(vis);
    // A start that ends inside a word (the "obvious exit" of "obvious exits:") leaves the rest
    // of that word at the list's head: the "s" is no exit south.
    if (!tokens.empty() && tokens.front().begin == 0 && !start.empty() && IsLetter(start.back()))
        tokens.erase(tokens.begin());
    dirs.clear();
    for (const Run& r : Runs(vis, tokens))
        for (std::size_t k = r.first; k <= r.last; ++k)
            if (tokens[k].dir >= 0) {
                dirs.insert(tokens[k].dir);
                if (spellings)
                    spellings[tokens[k].dir].push_back(
                        vis.substr(tokens[k].begin, tokens[k].end - tokens[k].begin));
            }
    list.clear();
    if (e == npos || e - from > kExitWindow) return true;
    list = text::StripAnsi(std::string_view(g).substr(from, e - from));
    return true;
}

bool Steps::ReadsTheSame(const std::vector<std::size_t>& rooms, const std::string& start) const {
    const profile::WorldProfile& p = out.profile;
    for (std::size_t i : rooms) {
        const Command& c = s.Commands()[i];
        if (s.Find(start, c) != s.Find(p.AutoexitStartDecoded, c)) return false;
        std::string list, before;
        std::set<int> dirs, dirsBefore;
        ListAfter(c, p.AutoexitStartDecoded, before, dirsBefore);
        if (!ListAfter(c, start, list, dirs) || list.empty()) return false;
        for (int d = 0; d < 6; ++d)
            if ((ExitPos(p, p.ExitWords[d], list) != npos) != (dirsBefore.count(d) > 0))
                return false;
    }
    return true;
}

void Steps::ExitWords(const std::vector<std::size_t>& rooms) {
    profile::WorldProfile& p = out.profile;
    std::vector<std::string> spellings[6];
    std::vector<std::pair<std::string, std::set<int>>> lists; // what recognition reads, its exits
    for (std::size_t i : Spread(rooms, 400)) {
        std::string list;
        std::set<int> dirs;
        if (ListAfter(s.Commands()[i], p.AutoexitStartDecoded, list, dirs, spellings) &&
            !list.empty())
            lists.push_back({list, dirs});
    }
    // Words printed in more than one letter case are written in small letters.
    bool mixedCase = false;
    SixWords seen;
    for (int d = 0; d < 6; ++d) {
        if (spellings[d].empty()) continue;
        seen[d] = ByFrequency(spellings[d]).front();
        for (const std::string& w : spellings[d])
            mixedCase = mixedCase || (w != seen[d] && text::EqualsIgnoreCaseCp1251(w, seen[d]));
    }
    if (mixedCase)
        for (std::string& w : seen)
            w = text::LowerLatin(w);
    Words(seen, ExitFamilies(), p.ExitWords, "Exits", LearnRemark::ExitWordOfKind,
          LearnRemark::ExitWordUnseen);
    // Case is not compared, seen mixed or not: a few rooms cannot show every case the game
    // prints (games of one family print an exit into another zone in capitals), and the words
    // are told apart by their letters alone already (a seen "N" and "n" are both north).
    p.AutoexitsIgnoreCase = true;
    Key("Exits", "AutoexitsIgnoreCase");

    // Recognition finds a word anywhere in the list: one inside another word is an exit too.
    std::set<int> told;
    for (const auto& [list, dirs] : lists)
        for (int d = 0; d < 6; ++d)
            if (!dirs.count(d) && !told.count(d) &&
                ExitPos(p, p.ExitWords[d], list) != std::string::npos) {
                told.insert(d);
                Remark(LearnRemark::ExitWordsAmbiguous, d, p.ExitWords[d]);
            }
}

void Steps::PromptWords(const PromptExits& prompt) {
    SixWords seen;
    for (int d = 0; d < 6; ++d)
        if (!prompt.words[d].empty()) seen[d] = ByFrequency(prompt.words[d]).front();
    Words(seen, ExitFamilies(), out.profile.ExitWords, "Exits", LearnRemark::ExitWordOfKind,
          LearnRemark::ExitWordUnseen);
}

void Steps::Refusals(const std::vector<std::size_t>& others, const std::string& nameStart) {
    std::vector<std::string> seen;
    for (std::size_t i : others) {
        const Command& c = s.Commands()[i];
        if (!c.dir) continue;
        std::vector<Line> lines;
        for (const Line& l : BodyLines(s, c))
            if (!text::Trim(Visible(s, l.begin, l.textEnd)).empty()) lines.push_back(l);
        // A room after all, whose exit line was left out (the prompt may hold what a name
        // follows).
        const std::size_t name = s.Find(nameStart, c);
        if (!lines.empty() && name != npos && name + nameStart.size() <= lines.back().end) continue;
        // A refusal is a line or two, not a room whose exit line was left out.
        if (lines.empty() || lines.size() > 2) continue;
        // Nor the way into a dark room ("You go down." and the darkness after it).
        if (std::any_of(lines.begin(), lines.end(),
                        [&](const Line& l) { return !PlainPiece(s, l, true).empty(); }))
            continue;
        std::string piece = PlainPiece(s, lines.front());
        if (piece.size() >= 3 && piece != c.word) seen.push_back(std::move(piece));
    }
    if (seen.empty()) return;
    std::vector<std::string> texts = ByFrequency(seen);
    if (texts.size() > kMaxRefusals) texts.resize(kMaxRefusals);
    Join(texts, out.profile.CantMove);
    Key(profile::kCantMoveSection, "");
}

void Steps::MoveWords(const std::vector<std::size_t>& rooms) {
    std::vector<std::string> typed[6], looks;
    // Every move typed counts, answered apart or together with the next.
    for (const Command& c : s.Commands())
        if (c.dir) typed[*c.dir].push_back(c.word);
    for (std::size_t i : rooms)
        if (s.Commands()[i].look) looks.push_back(s.Commands()[i].word);
    SixWords seen;
    for (int d = 0; d < 6; ++d)
        if (!typed[d].empty()) seen[d] = ByFrequency(typed[d]).front();
    Words(seen, MoveFamilies(), out.profile.MoveWords, "Moves", LearnRemark::MoveWordOfKind,
          LearnRemark::MoveWordUnseen);
    if (!looks.empty()) {
        out.profile.Look = ByFrequency(looks).front();
        Key("Moves", "Look");
    }
}

void Steps::Words(const SixWords& seen, const std::vector<WordFamily>& families,
                  std::array<std::string, 6>& words, std::string_view section,
                  LearnRemark::Kind ofKind, LearnRemark::Kind unseen) {
    if (std::all_of(seen.begin(), seen.end(), [](const std::string& w) { return w.empty(); }))
        return;
    const std::optional<SixWords> whole = CompleteFromFamily(seen, families);
    for (int d = 0; d < 6; ++d) {
        if (!seen[d].empty()) {
            words[d] = seen[d];
        } else if (whole) {
            words[d] = (*whole)[d];
            Remark(ofKind, d, words[d]);
        } else {
            Remark(unseen, d, words[d]);
            continue;
        }
        Key(section, profile::kWordKeys[d]);
    }
}

} // namespace tracking::learn
