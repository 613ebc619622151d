#include "files/SessionFile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#if defined(__linux__)
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace storage {

namespace {

std::int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// A decimal number of at most `maxDigits` digits ending at a blank or CR; `at` moves past it.
bool Number(std::string_view s, std::size_t& at, std::size_t maxDigits, std::uint64_t& value) {
    value = 0;
    std::size_t digits = 0;
    while (at < s.size() && s[at] >= '0' && s[at] <= '9') {
        if (++digits > maxDigits) return false;
        value = value * 10 + static_cast<std::uint64_t>(s[at++] - '0');
    }
    return digits > 0;
}

// The largest record a reader accepts: far more than a relay read (8 KiB, inflated at most a
// few hundred KiB), little enough that a damaged length cannot ask for the moon.
constexpr std::uint64_t kMaxRecord = 64ull * 1024 * 1024;

} // namespace

void AppendSessionRecord(std::string& out, char kind, std::uint64_t ms, std::string_view bytes) {
    out += kind;
    out += ' ';
    out += std::to_string(ms);
    out += ' ';
    out += std::to_string(bytes.size());
    out += "\r\n";
    out.append(bytes);
    out += "\r\n";
}

SessionReadResult ReadSession(std::string_view s) {
    SessionReadResult r;
    if (s.substr(0, kSessionHeader.size()) != kSessionHeader) {
        r.error = s.size() < kSessionHeader.size() && kSessionHeader.substr(0, s.size()) == s
                      ? "cut short in its first line"
                      : "not a Quarvelin session file (its first line is not \"Quarvelin "
                        "session 1\")";
        return r;
    }
    std::size_t at = kSessionHeader.size();
    r.goodBytes = at;
    auto fail = [&](const std::string& what) {
        r.error = what + " at byte " + std::to_string(at) + " (record " +
                  std::to_string(r.records.size() + 1) + ")";
    };
    while (at < s.size()) {
        const std::size_t start = at;
        SessionRecord rec;
        rec.kind = s[at];
        if (rec.kind != 'S' && rec.kind != 'C' && rec.kind != 'E') {
            fail("damaged: a record begins with neither S, C nor E");
            return r;
        }
        ++at;
        std::uint64_t length = 0;
        const bool head = at < s.size() && s[at++] == ' ' && Number(s, at, 19, rec.ms) &&
                          at < s.size() && s[at++] == ' ' && Number(s, at, 10, length);
        if (!head || at + 2 > s.size() || s.compare(at, 2, "\r\n") != 0) {
            at = start;
            // A head that simply stops is a cut; anything else is damage.
            if (s.find("\r\n", start) == std::string_view::npos)
                fail("cut short");
            else
                fail("damaged: a record's head is not \"kind time length\"");
            return r;
        }
        at += 2;
        if (length > kMaxRecord) {
            at = start;
            fail("damaged: a record claims " + std::to_string(length) + " bytes");
            return r;
        }
        if (s.size() - at < length + 2) {
            at = start;
            fail("cut short");
            return r;
        }
        rec.bytes.assign(s.substr(at, static_cast<std::size_t>(length)));
        at += static_cast<std::size_t>(length);
        if (s.compare(at, 2, "\r\n") != 0) {
            at = start;
            fail("damaged: a record's bytes do not end where its length says");
            return r;
        }
        at += 2;
        r.records.push_back(std::move(rec));
        r.goodBytes = at;
    }
    return r;
}

// Spent buffers kept for the relay's next reads (a read's text is some KB to a few hundred):
// without them every read would allocate, and fault in, a fresh buffer.
constexpr std::size_t kSpareBuffers = 32;

// What the event loop's thread and the writer's thread share, under the mutex.
struct SessionWriter::Shared {
    std::mutex mutex;
    std::condition_variable wake, written;
    std::FILE* file = nullptr;
    std::vector<SessionRecord> queue;   // handed over, not yet taken by the writer thread
    std::vector<std::string> spare;     // buffers the writer thread is done with
    std::size_t behind = 0;             // bytes in `queue`
    std::uint64_t handed = 0, done = 0; // records handed over and written
    bool closing = false;
    bool failed = false;
    bool sleeping = false; // the writer thread waits for work: only then is it woken
    std::string error;
    std::thread thread;
};

SessionWriter::SessionWriter() : shared_(std::make_unique<Shared>()) {}

SessionWriter::~SessionWriter() {
    Close();
}

bool SessionWriter::Recording() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->file && !shared_->failed;
}

std::string SessionWriter::Error() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->error;
}

bool SessionWriter::Open(const std::filesystem::path& path) {
    Close();
    Shared& sh = *shared_;
    sh.error.clear();
    sh.failed = false;
    path_ = path;
    std::FILE* file = std::fopen(path.string().c_str(), "wb");
    if (!file) {
        sh.error = std::strerror(errno);
        return false;
    }
    // A small buffer: the heads gather in it, while the game's text (reads of many KB) goes to
    // the system straight from the record, without another copy.
    std::setvbuf(file, nullptr, _IOFBF, 16 * 1024);
    // The header at once: a file that takes nothing is known before the session begins.
    errno = 0;
    if (std::fwrite(kSessionHeader.data(), 1, kSessionHeader.size(), file) !=
            kSessionHeader.size() ||
        std::fflush(file) != 0) {
        sh.error = errno ? std::strerror(errno) : "the file could not be written";
        std::fclose(file);
        return false;
    }
    startNs_ = NowNs();
    sh.file = file;
    sh.closing = false;
    sh.handed = sh.done = 0;
    sh.behind = 0;
    sh.thread = std::thread([this] { Run(); });
    return true;
}

bool SessionWriter::Queue(char kind, std::string& bytes, bool take) {
    Shared& sh = *shared_;
    const auto ms = static_cast<std::uint64_t>((NowNs() - startNs_) / 1000000);
    bool wake = false;
    {
        std::lock_guard lock(sh.mutex);
        if (!sh.file || sh.failed) return false;
        if (sh.behind + bytes.size() > kMaxBehind) {
            sh.failed = true;
            sh.error = "the disk does not keep up with the game";
            sh.wake.notify_one();
            return false;
        }
        sh.behind += bytes.size();
        ++sh.handed;
        sh.queue.push_back(SessionRecord{kind, ms, {}});
        if (take) {
            sh.queue.back().bytes.swap(bytes);
            // A buffer the writer is done with goes back to the caller, capacity and all.
            if (!sh.spare.empty()) {
                bytes.swap(sh.spare.back());
                sh.spare.pop_back();
            }
        } else {
            sh.queue.back().bytes = bytes;
        }
        // Waking a thread costs a system call: only one that sleeps is woken.
        wake = sh.sleeping;
        sh.sleeping = false;
    }
    if (wake) sh.wake.notify_one();
    return true;
}

bool SessionWriter::Add(char kind, std::string_view bytes) {
    std::string copy(bytes);
    return Queue(kind, copy, false);
}

bool SessionWriter::Take(char kind, std::string& bytes) {
    return Queue(kind, bytes, true);
}

bool SessionWriter::Flush() {
    Shared& sh = *shared_;
    std::unique_lock lock(sh.mutex);
    if (!sh.file) return false;
    const std::uint64_t want = sh.handed;
    sh.sleeping = false;
    sh.wake.notify_one();
    sh.written.wait(lock, [&] { return sh.failed || sh.done >= want; });
    return !sh.failed;
}

void SessionWriter::Close() {
    Shared& sh = *shared_;
    {
        std::lock_guard lock(sh.mutex);
        if (!sh.thread.joinable()) return;
        sh.closing = true;
    }
    sh.wake.notify_one();
    sh.thread.join();
    std::lock_guard lock(sh.mutex);
    if (sh.file) std::fclose(sh.file);
    sh.file = nullptr;
    sh.queue.clear();
    sh.spare.clear();
}

void SessionWriter::Run() {
#if defined(__linux__)
    // The recording yields to everything else of the program: it must never slow the relay.
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 10);
#endif
    Shared& sh = *shared_;
    std::vector<SessionRecord> batch;
    std::string head;
    std::uintmax_t sinceSpaceCheck = 0;
    bool checkSpace = true;
    for (;;) {
        {
            std::unique_lock lock(sh.mutex);
            sh.sleeping = sh.queue.empty();
            sh.wake.wait(lock, [&] { return sh.closing || sh.failed || !sh.queue.empty(); });
            sh.sleeping = false;
            if (sh.failed) break;
            if (sh.queue.empty()) break; // closing, and everything is written
            batch.swap(sh.queue);
            sh.queue.clear();
        }
        std::string why;
        std::size_t bytes = 0;
        for (const SessionRecord& r : batch)
            bytes += r.bytes.size();
        // The map needs room on the disk more than the recording does.
        if (checkSpace) {
            std::error_code ec;
            const std::filesystem::space_info space = std::filesystem::space(
                path_.parent_path().empty() ? std::filesystem::path(".") : path_.parent_path(), ec);
            if (!ec && space.available < kKeepFree + bytes)
                why = "less than 64 MB left on the disk";
            checkSpace = false;
        }
        errno = 0;
        for (const SessionRecord& r : batch) {
            if (!why.empty()) break;
            head.clear();
            head += r.kind;
            head += ' ';
            head += std::to_string(r.ms);
            head += ' ';
            head += std::to_string(r.bytes.size());
            head += "\r\n";
            if (std::fwrite(head.data(), 1, head.size(), sh.file) != head.size() ||
                std::fwrite(r.bytes.data(), 1, r.bytes.size(), sh.file) != r.bytes.size() ||
                std::fwrite("\r\n", 1, 2, sh.file) != 2)
                why = errno ? std::strerror(errno) : "the file could not be written";
        }
        if (why.empty() && std::fflush(sh.file) != 0)
            why = errno ? std::strerror(errno) : "the file could not be written";
        sinceSpaceCheck += bytes;
        if (sinceSpaceCheck >= 4 * 1024 * 1024) {
            sinceSpaceCheck = 0;
            checkSpace = true;
        }
        std::lock_guard lock(sh.mutex);
        sh.behind -= std::min(sh.behind, bytes);
        sh.done += batch.size();
        for (SessionRecord& r : batch)
            if (sh.spare.size() < kSpareBuffers && r.bytes.capacity() >= 4096) {
                r.bytes.clear();
                sh.spare.push_back(std::move(r.bytes));
            }
        batch.clear();
        if (!why.empty()) {
            sh.failed = true;
            sh.error = why;
        }
        sh.written.notify_all();
        if (sh.failed) break;
    }
    std::lock_guard lock(sh.mutex);
    sh.written.notify_all();
}

} // namespace storage
