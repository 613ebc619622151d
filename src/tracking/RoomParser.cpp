#include "tracking/RoomParser.h"

#include "profile/WorldProfile.h"
#include "text/Text.h"

namespace tracking {

namespace {
constexpr size_t npos = std::string::npos;
constexpr size_t kExitWindow = 60;

size_t Find(std::string_view hay, std::string_view needle, size_t from = 0) {
    if (needle.empty()) return npos;
    return hay.find(needle, from);
}

void DropTrailingCrLf(std::string& s) {
    while (text::EndsWith(s, "\r\n"))
        s.resize(s.size() - 2);
}

bool DarkInBlock(const WorldProfile& p, const std::string& name, const std::string& desc) {
    for (const auto& entry : p.DarkList) {
        std::string d = text::DecodeEscapes(entry);
        if (d.empty()) continue;
        if (name.find(d) != npos || desc.find(d) != npos) return true;
    }
    return false;
}

// The text after the earliest Dark-list entry in `w`, when there is one.
bool CutAfterDarkness(std::string& w, const WorldProfile& p) {
    size_t best = npos, bestEnd = 0;
    for (const auto& entry : p.DarkList) {
        std::string d = text::DecodeEscapes(entry);
        size_t at = Find(w, d);
        if (at != npos && at < best) {
            best = at;
            bestEnd = at + d.size();
        }
    }
    if (best == npos) return false;
    w.erase(0, bestEnd);
    return true;
}
} // namespace

bool ParseRoom(std::string& pending, const WorldProfile& p, SeenRoom& seen) {
    const std::string& nameStart = p.RoomNameStartDecoded;
    const std::string& nameEnd = p.RoomNameEndDecoded;
    const std::string& exitStart = p.AutoexitStartDecoded;
    const std::string& exitEnd = p.AutoexitEndDecoded;
    std::string w = pending;

    size_t x = Find(w, exitStart);
    if (x == npos) {
        // No exit line: only darkness makes a block.
        if (!CutAfterDarkness(w, p)) return false;
        seen.Name = p.Dark;
        seen.Desc.clear();
        seen.Exits.clear();
    } else {
        // When several names precede one exit line, the last one wins.
        for (;;) {
            size_t before = w.size();
            x = Find(w, exitStart);
            size_t e = Find(w, nameEnd);
            if (e != npos && e < x) {
                // A name marker after the exit line opens a later block: this block has none
                // (a game whose prompt is the marker prints the first room after tracing
                // starts without one before it), and its name is its first line.
                size_t n = Find(w, nameStart);
                if (n != npos && n < x) w.erase(0, n + nameStart.size());
            }
            e = Find(w, nameEnd);
            x = Find(w, exitStart);
            if (x == npos) return false; // the exit line was cut away with a stray name marker
            size_t next = Find(w, nameStart);
            std::string_view descCandidate;
            if (e != npos && e + nameEnd.size() <= x)
                descCandidate =
                    std::string_view(w).substr(e + nameEnd.size(), x - e - nameEnd.size());
            if (next == npos || next > x || Find(descCandidate, nameEnd) == npos) break;
            if (w.size() == before) break;
        }
        x = Find(w, exitStart);
        size_t e = Find(w, nameEnd);
        seen.Name = w.substr(0, e == npos ? w.size() : e);
        for (size_t n = Find(seen.Name, nameStart); n != npos; n = Find(seen.Name, nameStart))
            seen.Name.erase(0, n + nameStart.size());
        if (e != npos && e + nameEnd.size() <= x)
            seen.Desc = w.substr(e + nameEnd.size(), x - e - nameEnd.size());
        else
            seen.Desc.clear();

        std::string window = w.substr(x + exitStart.size(), kExitWindow);
        size_t end = Find(window, exitEnd);
        // An exit line cut off by the end of a read is not a line without exits: wait for the
        // rest rather than store the room with its exits lost.
        if (end == npos && window.size() < kExitWindow) return false;
        seen.Exits = end == npos ? std::string() : text::StripAnsi(window.substr(0, end));
        if (!p.NoExits.empty() && seen.Exits.find(p.NoExits) != npos) seen.Exits.clear();

        seen.Desc = text::StripAnsi(seen.Desc);
        DropTrailingCrLf(seen.Desc);

        // The rest begins with the last character of the exit line's end marker.
        w.erase(0, x + exitStart.size() - (exitStart.empty() ? 0 : 1));
        size_t after = Find(w, exitEnd);
        if (after != npos)
            w.erase(0, after + exitEnd.size() - 1);
        else if (text::StartsWith(w, exitStart)) // a one-byte marker: not the next exit line
            w.erase(0, exitStart.size());
        // A block always takes something, or the same block would be read on every pass.
        if (w.size() >= pending.size()) w.erase(0, 1);

        if (DarkInBlock(p, seen.Name, seen.Desc)) {
            seen.Name = p.Dark;
            seen.Desc.clear();
        }
        seen.Name = text::StripAnsi(seen.Name);
        seen.Desc = text::NormaliseDescription(text::StripAnsi(seen.Desc));
    }

    if (p.UsePromptExit) {
        size_t ps = Find(w, p.PromptExitStartDecoded);
        if (ps == npos) return false;
        size_t from = ps + p.PromptExitStartDecoded.size();
        size_t pe = Find(w, p.PromptExitEndDecoded, from);
        if (pe == npos) return false;
        seen.Exits = w.substr(from, pe - from);
    }
    pending = std::move(w);
    return true;
}

size_t ExitPos(const WorldProfile& profile, std::string_view word, std::string_view text) {
    return text::FindLatin(text, word, profile.AutoexitsIgnoreCase);
}

} // namespace tracking
