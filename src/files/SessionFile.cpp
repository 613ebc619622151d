#include "files/SessionFile.h"

#include <cerrno>
#include <chrono>
#include <cstring>

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

SessionWriter::~SessionWriter() {
    Close();
}

bool SessionWriter::Open(const std::filesystem::path& path) {
    Close();
    error_.clear();
    path_ = path;
    file_ = std::fopen(path.string().c_str(), "wb");
    if (!file_) {
        error_ = std::strerror(errno);
        return false;
    }
    startNs_ = NowNs();
    sinceSpaceCheck_ = 0;
    buffer_.assign(kSessionHeader);
    return Flush();
}

bool SessionWriter::Add(char kind, std::string_view bytes) {
    if (!file_) return false;
    const auto ms = static_cast<std::uint64_t>((NowNs() - startNs_) / 1000000);
    AppendSessionRecord(buffer_, kind, ms, bytes);
    return buffer_.size() < kFlushAt || Flush();
}

bool SessionWriter::Flush() {
    if (!file_) return false;
    if (buffer_.empty()) return true;
    // The map needs room on the disk more than the recording does: look at what is free now
    // and then (after every few MB written).
    if (sinceSpaceCheck_ == 0 || sinceSpaceCheck_ >= 4 * 1024 * 1024) {
        std::error_code ec;
        const std::filesystem::space_info space =
            std::filesystem::space(path_.parent_path().empty() ? "." : path_.parent_path(), ec);
        if (!ec && space.available < kKeepFree + buffer_.size()) {
            Stop("less than 64 MB left on the disk");
            return false;
        }
        sinceSpaceCheck_ = 0;
    }
    errno = 0;
    if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size() ||
        std::fflush(file_) != 0) {
        Stop(errno ? std::strerror(errno) : "the file could not be written");
        return false;
    }
    sinceSpaceCheck_ += buffer_.size();
    buffer_.clear();
    return true;
}

void SessionWriter::Close() {
    if (!file_) return;
    Flush();
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

void SessionWriter::Stop(std::string why) {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    buffer_.clear();
    error_ = std::move(why);
}

} // namespace storage
