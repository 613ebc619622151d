#include "files/FileSaver.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <unistd.h>

namespace storage {

namespace {
std::string Describe(const std::filesystem::path& p, const char* what) {
    return std::string(what) + " " + p.string() + ": " + std::strerror(errno);
}

bool Refused(int error) {
    return error == EACCES || error == EPERM || error == EROFS || error == ENOSPC ||
           error == EDQUOT;
}
} // namespace

SaveResult SaveFile(const std::filesystem::path& target, std::string_view bytes, bool durable) {
    SaveResult result;
    std::filesystem::path dir = target.parent_path();
    if (dir.empty()) dir = ".";
    static std::mt19937 rng{std::random_device{}()};
    std::filesystem::path tmp =
        dir / ("." + target.filename().string() + ".tmp" + std::to_string(rng() % 1000000));

    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return {false, Describe(tmp, "cannot create"), Refused(errno)};
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            result = {false, Describe(tmp, "cannot write"), Refused(errno)};
            break;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    if (result.ok && durable && ::fsync(fd) != 0)
        result = {false, Describe(tmp, "cannot sync"), Refused(errno)};
    if (::close(fd) != 0 && result.ok) result = {false, Describe(tmp, "cannot close")};
    if (result.ok && ::rename(tmp.c_str(), target.c_str()) != 0)
        result = {false, Describe(target, "cannot replace")};
    if (!result.ok) {
        ::unlink(tmp.c_str());
        return result;
    }
    if (durable) {
        int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dfd >= 0) {
            ::fsync(dfd);
            ::close(dfd);
        }
    }
    return result;
}

int RemoveLeftoverTemporaries(const std::filesystem::path& dir) {
    int removed = 0;
    std::error_code ec;
    for (auto it = std::filesystem::directory_iterator(dir, ec);
         !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        size_t tmp = name.rfind(".tmp");
        if (name.size() < 6 || name[0] != '.' || tmp == std::string::npos || tmp + 4 == name.size())
            continue;
        if (name.find_first_not_of("0123456789", tmp + 4) != std::string::npos) continue;
        std::error_code rm;
        if (it->is_regular_file(rm) && std::filesystem::remove(it->path(), rm)) ++removed;
    }
    return removed;
}

bool ReadFile(const std::filesystem::path& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size < 0) return false;
    in.seekg(0, std::ios::beg);
    out.resize(static_cast<size_t>(size));
    if (size > 0 && !in.read(out.data(), size)) return false;
    return true;
}

} // namespace storage
