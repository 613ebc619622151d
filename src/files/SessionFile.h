#pragma once
// Session files: what passed the relay, kept so that a session can be run again through
// recognition and tracking. The format is plain and binary-safe:
//
//   "Quarvelin session 1" CR LF, then one record after another:
//   kind SP milliseconds SP length CR LF, then `length` bytes, then CR LF
//
// where kind is "S" (the game's text as decoded: MCCP inflated, the compression offer taken
// out, telnet commands and doubled 0xFF as sent, MSDP and GMCP subnegotiations in place even
// where the client did not get them), "C" (the client's bytes as read)
// or "E" (an event of the connections: "client connected", "client closed", "server
// connected", "server closed", "server error"); milliseconds count from the start of the
// recording. Numbers are decimal ASCII.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
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

// Appends records to a session file. The relay hands records over and goes on at once: a
// thread of the writer's own puts them on the disk (the one thread besides the event loop's; it
// touches nothing but the records and the file). A writer that fails (a full disk, a file that
// cannot be written), that would leave the disk with less than `kKeepFree` bytes free, or that
// falls more than `kMaxBehind` bytes behind, stops for good, so that the map can still be saved
// and memory stays bounded; what it wrote before stays a readable file.
class SessionWriter {
public:
    static constexpr std::uintmax_t kKeepFree = 64ull * 1024 * 1024;
    static constexpr std::size_t kMaxBehind = 64 * 1024 * 1024;

    SessionWriter();
    ~SessionWriter();
    SessionWriter(const SessionWriter&) = delete;
    SessionWriter& operator=(const SessionWriter&) = delete;

    // Creates (or replaces) the file and writes the header; false with Error() when it cannot.
    bool Open(const std::filesystem::path& path);
    bool Recording() const;
    const std::filesystem::path& Path() const { return path_; }
    // Adds one record stamped with the time since Open (the bytes are copied). False once the
    // writer has stopped.
    bool Add(char kind, std::string_view bytes);
    // The same for a large record, without a copy: `bytes` is taken, and left holding a buffer
    // that the writer has done with (empty, its capacity kept), for the caller to fill again.
    bool Take(char kind, std::string& bytes);
    // Waits until every record handed over is on the disk. False once the writer has stopped.
    bool Flush();
    // Writes what is left and closes; the writer can be opened again.
    void Close();
    // Why the writer stopped (empty while it records or was closed by hand).
    std::string Error() const;

private:
    struct Shared;
    void Run();
    // Hands a record over: copied, or taken (`bytes` then gets a spent buffer back).
    bool Queue(char kind, std::string& bytes, bool take);

    std::filesystem::path path_;
    std::int64_t startNs_ = 0;
    std::unique_ptr<Shared> shared_;
};

} // namespace storage
