#include "relay/DebugLog.h"

#include "files/FileSaver.h"

namespace relay {

void DebugLog::DLine(std::string_view line) {
    if (DebugActiv) Append(line, DebugVisible);
}

void DebugLog::ELine(std::string_view line) {
    // The pane shows the error; the player's choice of showing the log stays as it was.
    Append(line, true);
}

void DebugLog::Append(std::string_view line, bool shown) {
    // A text with line breaks becomes several lines of the pane, as a text control shows it.
    size_t start = 0;
    for (;;) {
        size_t lf = line.find('\n', start);
        std::string_view piece =
            line.substr(start, lf == std::string_view::npos ? line.npos : lf - start);
        if (!piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
        AppendOne(piece, shown);
        if (lf == std::string_view::npos) break;
        start = lf + 1;
    }
}

void DebugLog::AppendOne(std::string_view line, bool shown) {
    lines_.emplace_back(line);
    size_t dropped = 0;
    while (lines_.size() > kMaxLines) {
        lines_.pop_front();
        ++dropped;
    }
    if (dropped && OnTrim) OnTrim(dropped);
    if (OnLine) OnLine(lines_.back(), shown);
}

std::string DebugLog::Text() const {
    std::string out;
    for (const auto& l : lines_) {
        out += l;
        out += "\r\n";
    }
    return out;
}

bool DebugLog::SaveOnExit(const std::filesystem::path& dir) const {
    if (!DebugActiv) return true;
    return storage::SaveFile(dir / "tkdebug.log", Text()).ok;
}

} // namespace relay
