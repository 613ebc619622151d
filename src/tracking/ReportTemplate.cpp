#include "tracking/ReportTemplate.h"

#include "text/Text.h"

#include <stdexcept>

namespace tracking {

namespace {

constexpr auto npos = std::string_view::npos;

bool IsToken(std::string_view p, size_t i) {
    if (i + 1 >= p.size()) return false;
    const char a = p[i], b = p[i + 1];
    return (a == '\r' && b == '\n') || (a == '[' && b == '[') ||
           (a == '/' && (b == '*' || b == '/' || b == '$' || b == '+'));
}

// Takes the next piece off the front of `p`: a token, or the literal up to the next token.
// Every piece is at least one byte long, so a loop over pieces ends.
std::string_view TakePiece(std::string_view& p) {
    size_t len = 2;
    if (!IsToken(p, 0)) {
        len = 1;
        while (len < p.size() && !IsToken(p, len))
            ++len;
    }
    std::string_view piece = p.substr(0, len);
    p.remove_prefix(piece.size());
    return piece;
}

bool NeedsNoText(std::string_view piece) {
    return piece == "/*" || piece == "//" || piece == "/$" || piece == "/+";
}

// True when what is left of a template still asks for text (a literal or alternatives).
bool WantsMore(std::string_view p) {
    while (!p.empty())
        if (!NeedsNoText(TakePiece(p))) return true;
    return false;
}

// The matcher proper, over a view of the text so that long pending texts are never copied.
// `ranOut` tells that the text ended before the template did.
//
// Recursion is at most one level deep: alternatives are the text before the first "]]", so an
// alternative never holds a "]]" and a "[[" inside it fails at once.
size_t MatchView(std::string_view t, std::string_view p, std::vector<std::string>& fields,
                 bool& ranOut) {
    ranOut = false;
    if (t.empty() || p.empty()) return 0;
    const size_t fieldsBefore = fields.size();
    size_t at = 0;
    size_t captureFrom = 0;
    std::string_view prev;
    bool innerRanOut = false;
    bool ok = true;
    while (ok && !p.empty() && at < t.size()) {
        const std::string_view piece = TakePiece(p);
        if (piece == "/$") {
            captureFrom = at;
        } else if (NeedsNoText(piece)) {
            // acts through prev on the next literal
        } else if (piece == "[[") {
            const size_t close = p.find("]]");
            if (close == npos) {
                ok = false;
            } else {
                std::string_view alternatives = p.substr(0, close);
                p.remove_prefix(close + 2);
                size_t taken = 0;
                for (;;) {
                    const size_t sep = alternatives.find("][");
                    taken =
                        MatchView(t.substr(at), alternatives.substr(0, sep), fields, innerRanOut);
                    if (taken > 0 || sep == npos) break;
                    alternatives.remove_prefix(sep + 2);
                }
                at += taken;
                ok = taken > 0;
            }
        } else {
            // A literal must start on the current line unless "//" allows a later one; the
            // search is bounded accordingly so a miss costs one line, not the whole text.
            const size_t lineEnd = prev == "//" ? npos : t.find("\r\n", at);
            const std::string_view hay = lineEnd == npos ? t : t.substr(0, lineEnd + piece.size());
            const size_t found = hay.find(piece, at);
            if (found != npos) {
                if (prev == "/$")
                    fields.emplace_back(t.substr(captureFrom, found - captureFrom));
                else if (prev == "/+")
                    fields.emplace_back(piece);
                at = found + piece.size();
            } else if (prev == "/+") {
                fields.emplace_back();
            } else {
                ok = false;
            }
        }
        prev = piece;
    }
    if (!ok || at == 0) {
        // A failed match leaves no captures; a failed alternative's would shift the field
        // numbers the path rule counts on.
        fields.resize(fieldsBefore);
        return 0;
    }
    ranOut = at == t.size() && (innerRanOut || WantsMore(p));
    return at;
}

// Titles down the object tree from the path rule: field numbers counted from 1, separated by
// ","; 0 or an empty entry ends the rule, a number with no such field is skipped.
std::vector<std::string> PathTitles(std::string_view rule, const std::vector<std::string>& fields) {
    std::vector<std::string> titles;
    for (;;) {
        const size_t comma = rule.find(',');
        const std::string_view entry = rule.substr(0, comma);
        if (entry.empty()) break;
        long long k = 0;
        if (!text::ParseInt(entry, k))
            throw std::runtime_error("'" + std::string(entry) + "' is not a valid integer value");
        if (k == 0) break;
        // Negative numbers name no field either.
        if (k > 0 && static_cast<unsigned long long>(k) <= fields.size())
            titles.push_back(text::StripAnsi(fields[k - 1]));
        if (comma == npos) break;
        rule.remove_prefix(comma + 1);
    }
    return titles;
}

// The report's complete lines before its first empty line, colour removed. What follows the
// last line break (or the empty line and everything after it) is not part of the text.
std::vector<std::string> ReportLines(std::string_view report) {
    std::vector<std::string> lines;
    for (;;) {
        const size_t end = report.find("\r\n");
        if (end == npos || end == 0) break;
        lines.push_back(text::StripAnsi(report.substr(0, end)));
        report.remove_prefix(end + 2);
    }
    return lines;
}

void CaptureOne(std::string& pending, const profile::WorldProfile& profile, const std::string& tmpl,
                std::string_view rule, const char* root, ReportSink& sink) {
    if (tmpl.empty()) return;
    const std::string& exitStart = profile.AutoexitStartDecoded;
    const size_t exitLine = exitStart.empty() ? npos : pending.find(exitStart);

    const std::string_view head = TemplateHead(tmpl);
    size_t start = pending.find("\r\n" + std::string(head));
    if (start != npos)
        start += 2;
    else if (text::StartsWith(pending, head))
        start = 0;
    else
        return;
    if (exitLine != npos && start >= exitLine) return;

    std::vector<std::string> fields;
    bool ranOut = false;
    const size_t n = MatchView(std::string_view(pending).substr(start), tmpl, fields, ranOut);
    // A report cut short by the end of a read is filed when the rest has come, not as a stub
    // that would replace the full text a node may already hold.
    if (n == 0 || ranOut) return;

    const std::vector<std::string> titles = PathTitles(rule, fields);
    const std::vector<std::string> lines = ReportLines(std::string_view(pending).substr(start, n));
    const ReportSink::Filed filed = sink.FileReport(root, titles, lines);
    pending.erase(start, n);

    std::string message = (filed.replaced ? "Item replaced: " : "Item added: ") + filed.displayName;
    if (profile.AddDoubleYaLor) message = text::ReplaceAll(message, "\xFF", "\xFF\xFF");
    sink.SendToClient("\r\n\x1b[1;32m" + message + "\x1b[0m\r\n\r\n");
}

} // namespace

std::size_t Match(std::string& text, std::string_view tmpl, std::vector<std::string>& fields) {
    bool ranOut = false;
    const size_t n = MatchView(text, tmpl, fields, ranOut);
    text.erase(0, n);
    return n;
}

std::string_view TemplateHead(std::string_view tmpl) {
    // CR LF belongs to the head: a report's first lines are literal text. The other tokens
    // end it; "//" and "/+" too, since the game never prints them.
    for (size_t i = 0; i < tmpl.size(); ++i)
        if (tmpl[i] != '\r' && IsToken(tmpl, i)) return tmpl.substr(0, i);
    return tmpl;
}

void CaptureReports(std::string& pendingText, const profile::WorldProfile& profile,
                    ReportSink& sink) {
    // StuffTem and MobTem come with real line breaks; colour bytes may still be escaped.
    CaptureOne(pendingText, profile, text::DecodeEscapes(profile.StuffTem), profile.StuffSeq,
               kItemsRoot, sink);
    CaptureOne(pendingText, profile, text::DecodeEscapes(profile.MobTem), profile.MobSeq,
               kCreaturesRoot, sink);
}

} // namespace tracking
