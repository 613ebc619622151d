#pragma once
// The debug log: at most 500 lines of Windows-1251 text. DLine writes only while logging is on;
// ELine always writes and shows the pane (without making that the DebugVisible setting). A view or
// the headless runner listens.

#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace relay {

class DebugLog {
public:
    static constexpr size_t kMaxLines = 500;

    bool DebugActiv = false;   // lines are recorded
    bool DebugVisible = false; // the pane is shown and scrolls to each new line

    void DLine(std::string_view line);
    void ELine(std::string_view line);

    const std::deque<std::string>& Lines() const { return lines_; }
    // The whole log as text, lines ended by CR LF.
    std::string Text() const;
    // Saves the log as "tkdebug.log" in `dir` when logging is on; false on a write error.
    bool SaveOnExit(const std::filesystem::path& dir) const;

    // Called for each appended line; `shown` asks the listener to show the pane.
    std::function<void(const std::string& line, bool shown)> OnLine;
    // Called when lines were dropped from the front (the view trims its copy).
    std::function<void(size_t dropped)> OnTrim;

private:
    void Append(std::string_view line, bool shown);
    void AppendOne(std::string_view line, bool shown);
    std::deque<std::string> lines_;
};

} // namespace relay
