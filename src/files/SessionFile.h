#pragma once
// Session files: what passed the relay, kept so that a session can be run again through
// recognition and tracking. The format is plain and binary-safe:
//
//   "Quarvelin session 1" CR LF, then one record after another:
//   kind SP milliseconds SP length CR LF, then `length` bytes, then CR LF
//
// where kind is "S" (the game's text as the client received it: MCCP inflated, the compression
// offer taken out, telnet commands and doubled 0xFF as sent), "C" (the client's bytes as read)
// or "E" (an event of the connections: "client connected", "client closed", "server
// connected", "server closed", "server error"); milliseconds count from the start of the
// recording. Numbers are decimal ASCII.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace storage {

inline constexpr std::string_view kSessionHeader = "Quarvelin session 1\r\n";

struct SessionRecord {
    char kind = 0; // 'S', 'C' or 'E'
    std::uint64_t ms = 0;
    std::string bytes;
};

struct SessionReadResult {
    std::vector<SessionRecord> records; // every whole record before the damage, if any
    std::string error;                  // empty when the file was whole
    std::size_t goodBytes = 0;          // the file's bytes up to the end of the last good record
    bool ok() const { return error.empty(); }
};

// Reads a session file's bytes: every record up to the end, or up to the first damage (a cut,
// a malformed record), which `error` then names with its byte offset.
SessionReadResult ReadSession(std::string_view bytes);

// Appends one record to `out` as the file holds it.
void AppendSessionRecord(std::string& out, char kind, std::uint64_t ms, std::string_view bytes);

// Appends records to a session file. Records gather in memory and go to the disk in blocks, so
// that recording costs the relay little; a writer that fails (a full disk, a file that cannot
// be written) or that would leave the disk with less than `kKeepFree` bytes free stops for
// good, so that the map can still be saved. What it wrote before stays a readable file.
class SessionWriter {
public:
    static constexpr std::size_t kFlushAt = 64 * 1024;
    static constexpr std::uintmax_t kKeepFree = 64ull * 1024 * 1024;

    SessionWriter() = default;
    ~SessionWriter();
    SessionWriter(const SessionWriter&) = delete;
    SessionWriter& operator=(const SessionWriter&) = delete;

    // Creates (or replaces) the file and writes the header; false with Error() when it cannot.
    bool Open(const std::filesystem::path& path);
    bool Recording() const { return file_ != nullptr; }
    const std::filesystem::path& Path() const { return path_; }
    // Adds one record stamped with the time since Open. False once the writer has stopped.
    bool Add(char kind, std::string_view bytes);
    // Hands what has gathered to the disk. False once the writer has stopped.
    bool Flush();
    // Flushes and closes; the writer can be opened again.
    void Close();
    // Why the writer stopped (empty while it records or was closed by hand).
    const std::string& Error() const { return error_; }

private:
    void Stop(std::string why);

    std::FILE* file_ = nullptr;
    std::filesystem::path path_;
    std::string buffer_;
    std::string error_;
    std::int64_t startNs_ = 0;
    std::uintmax_t sinceSpaceCheck_ = 0;
};

} // namespace storage
