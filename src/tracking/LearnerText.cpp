#include "tracking/LearnerText.h"

#include "text/Text.h"
#include "tracking/LearnerWords.h"

#include <algorithm>

namespace tracking::learn {

namespace {
constexpr unsigned char kIac = 0xFF, kSb = 0xFA, kSe = 0xF0, kGa = 0xF9, kEor = 0xEF, kWill = 0xFB;
// Telnet states between two bytes of a stream.
enum State { Data, Iac, Option, Sub, SubIac };
// What a byte of a telnet stream turned out to be.
enum class Byte { Text, DoubledIac, Command, PromptEnd, Dropped };

Byte Step(int& state, unsigned char u) {
    switch (state) {
    case Iac:
        if (u == kIac) return state = Data, Byte::DoubledIac;
        if (u == kSb) return state = Sub, Byte::Dropped;
        state = u >= kWill ? Option : Data;
        return u == kGa || u == kEor ? Byte::PromptEnd : Byte::Command;
    case Option:
        return state = Data, Byte::Command;
    case Sub:
        if (u == kIac) state = SubIac;
        return Byte::Dropped;
    case SubIac:
        state = u == kSe ? Data : Sub;
        return Byte::Dropped;
    default:
        if (u == kIac) return state = Iac, Byte::Dropped; // told by the byte after it
        return Byte::Text;
    }
}
} // namespace

SessionText::SessionText(const std::vector<SessionPiece>& pieces, bool noDoubleYa) {
    std::size_t total = 0;
    for (const SessionPiece& p : pieces)
        if (!p.fromPlayer) total += p.bytes.size();
    game_.reserve(total);
    telnet_.reserve(total);
    for (const SessionPiece& p : pieces) {
        if (p.fromPlayer)
            PlayerBytes(p.bytes);
        else
            GameBytes(p.bytes, noDoubleYa);
    }
    Answers();
}

std::size_t SessionText::Find(std::string_view what, std::size_t from, std::size_t to) const {
    to = std::min(to, game_.size());
    if (what.empty() || from >= to) return std::string::npos;
    const std::size_t at = std::string_view(game_).substr(from, to - from).find(what);
    return at == std::string_view::npos ? std::string::npos : from + at;
}

void SessionText::GameBytes(std::string_view bytes, bool noDoubleYa) {
    auto put = [this](char c, bool telnet) {
        game_.push_back(c);
        telnet_.push_back(telnet ? 1 : 0);
    };
    for (char c : bytes) {
        const bool afterIac = gameState_ == Iac;
        const Byte b = Step(gameState_, static_cast<unsigned char>(c));
        if (b == Byte::Text) {
            put(c, false);
        } else if (b == Byte::DoubledIac) {
            // One letter "я", or two bytes where the game does not double it.
            if (!noDoubleYa) put(c, false);
            put(c, false);
        } else if (b == Byte::Command || b == Byte::PromptEnd) {
            // Recognition gets commands as sent: the IAC before the command byte too.
            if (afterIac) put(static_cast<char>(kIac), true);
            put(c, true);
            if (b == Byte::PromptEnd) prompts_.push_back(game_.size());
        }
    }
}

void SessionText::PlayerBytes(std::string_view bytes) {
    for (char c : bytes) {
        if (Step(playerState_, static_cast<unsigned char>(c)) != Byte::Text) continue;
        if (c != '\n' && c != '\r') {
            if (line_.size() < 256) line_.push_back(c);
            continue;
        }
        std::string word = text::Trim(line_);
        line_.clear();
        if (word.empty()) continue;
        Command command;
        command.word = std::move(word);
        command.begin = game_.size();
        command.dir = DirectionOf(command.word, MoveFamilies());
        command.look = IsLookWord(command.word);
        commands_.push_back(std::move(command));
    }
}

void SessionText::Answers() {
    // Commands typed before the game answered share the text that follows them: the game's
    // prompts part it between them when there are enough of them.
    for (std::size_t i = 0; i < commands_.size();) {
        std::size_t j = i;
        while (j < commands_.size() && commands_[j].begin == commands_[i].begin)
            ++j;
        const std::size_t from = commands_[i].begin;
        const std::size_t to = j < commands_.size() ? commands_[j].begin : game_.size();
        std::vector<std::size_t> ends;
        for (auto it = std::upper_bound(prompts_.begin(), prompts_.end(), from);
             it != prompts_.end() && *it <= to; ++it)
            ends.push_back(*it);
        const std::size_t group = j - i;
        for (std::size_t k = 0; k < group; ++k) {
            Command& c = commands_[i + k];
            if (ends.size() >= group) {
                c.begin = k == 0 ? from : ends[k - 1];
                c.end = ends[k];
                c.hasPrompt = true;
            } else if (k + 1 < group) {
                c.begin = c.end = from; // answered together with the last: not told apart
            } else {
                c.begin = from;
                c.end = ends.empty() ? to : ends.front();
                c.hasPrompt = group == 1 && !ends.empty();
            }
        }
        i = j;
    }
}

std::vector<Line> LinesOf(const std::string& game, std::size_t begin, std::size_t end) {
    std::vector<Line> lines;
    std::size_t at = begin;
    while (at < end) {
        const std::size_t lf = game.find('\n', at);
        Line line;
        line.begin = at;
        if (lf == std::string::npos || lf >= end) {
            line.textEnd = line.end = end;
        } else {
            line.textEnd = lf > at && game[lf - 1] == '\r' ? lf - 1 : lf;
            line.end = lf + 1;
            // A break written LF CR (as some games do) is one break.
            if (line.textEnd == lf && line.end < end && game[line.end] == '\r') ++line.end;
        }
        lines.push_back(line);
        at = line.end;
    }
    return lines;
}

std::vector<Line> BodyLines(const SessionText& s, const Command& c) {
    std::vector<Line> lines = LinesOf(s.Game(), c.begin, c.end);
    if (!lines.empty() && lines.back().end == lines.back().textEnd) lines.pop_back();
    return lines;
}

std::string Visible(const SessionText& s, std::size_t begin, std::size_t end,
                    std::vector<std::size_t>* at) {
    const std::string& g = s.Game();
    std::string out;
    out.reserve(end - begin);
    if (at) at->clear();
    for (std::size_t i = begin; i < end; ++i) {
        const char c = g[i];
        if (s.Telnet(i) || c == '\r' || c == '\n') continue;
        if (c == '\x1b' && i + 1 < end && g[i + 1] == '[') {
            // A control sequence runs to its final byte.
            std::size_t k = i + 2;
            while (k < end && (static_cast<unsigned char>(g[k]) < 0x40 ||
                               static_cast<unsigned char>(g[k]) > 0x7E))
                ++k;
            i = k;
            continue;
        }
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t') continue;
        out.push_back(c == '\t' ? ' ' : c);
        if (at) at->push_back(i);
    }
    return out;
}

std::string PlainPiece(const SessionText& s, const Line& line, bool darkness) {
    std::vector<std::size_t> at;
    const std::string vis = Visible(s, line.begin, line.textEnd, &at);
    std::string best;
    for (std::size_t b = 0; b < vis.size();) {
        std::size_t e = b + 1;
        while (e < vis.size() && at[e] == at[e - 1] + 1)
            ++e;
        std::string piece = text::Trim(std::string_view(vis).substr(b, e - b));
        if (piece.size() > best.size() && (!darkness || SpeaksOfDarkness(piece)))
            best = std::move(piece);
        b = e;
    }
    return best;
}

std::vector<Token> Tokens(std::string_view visible) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < visible.size()) {
        if (visible[i] == '^') {
            tokens.push_back({i, i + 1, DirectionOf("^", ExitFamilies()).value_or(-1)});
            ++i;
            continue;
        }
        if (!IsLetter(visible[i])) {
            ++i;
            continue;
        }
        std::size_t e = i;
        while (e < visible.size() && IsLetter(visible[e]))
            ++e;
        const std::string_view word = visible.substr(i, e - i);
        Token t{i, e, DirectionOf(word, ExitFamilies()).value_or(-1)};
        // Capitals each of which is an exit letter: one exit a letter ("NESW", "СВЮЗ").
        bool letters = t.dir < 0 && word.size() >= 2 && word.size() <= 8 && Upper(word) == word;
        for (std::size_t k = 0; letters && k < word.size(); ++k)
            letters = DirectionOf(word.substr(k, 1), ExitFamilies()).has_value();
        if (letters) {
            for (std::size_t k = i; k < e; ++k)
                tokens.push_back({k, k + 1, *DirectionOf(visible.substr(k, 1), ExitFamilies())});
        } else {
            tokens.push_back(t);
        }
        i = e;
    }
    return tokens;
}

std::vector<Run> Runs(std::string_view visible, const std::vector<Token>& tokens) {
    std::vector<Run> runs;
    auto plainGap = [&](const Token& a, const Token& b) {
        for (std::size_t k = a.end; k < b.begin; ++k)
            if (visible[k] >= '0' && visible[k] <= '9') return false;
        return true;
    };
    for (std::size_t i = 0; i < tokens.size();) {
        if (tokens[i].dir < 0) {
            ++i;
            continue;
        }
        Run run{i, i};
        std::size_t k = i + 1;
        while (k < tokens.size() && plainGap(tokens[k - 1], tokens[k])) {
            if (tokens[k].dir >= 0) {
                run.last = k++;
                continue;
            }
            const auto& t = tokens[k];
            if (!IsConjunction(visible.substr(t.begin, t.end - t.begin))) break;
            ++k;
        }
        runs.push_back(run);
        i = std::max(k, run.last + 1);
    }
    return runs;
}

} // namespace tracking::learn
