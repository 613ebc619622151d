#include "files/WorldDirectories.h"

#include "files/Paths.h"

namespace fs = std::filesystem;

namespace storage {

namespace {

bool IsWorldName(std::string_view name) {
    return IsValidFileName(name) && name.front() != '.';
}

bool IsLoaded(const fs::path& dir, const fs::path& loadedWorldDir) {
    if (loadedWorldDir.empty()) return false;
    std::error_code ec;
    return fs::equivalent(dir, loadedWorldDir, ec);
}

bool Exists(const fs::path& p) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(p, ec));
}

} // namespace

std::vector<std::string> ListWorlds(const fs::path& mapsDir) {
    std::vector<std::string> worlds;
    std::error_code ec;
    for (fs::directory_iterator it(mapsDir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code entryEc;
        if (!it->is_directory(entryEc)) continue;
        std::optional<std::string> name = PathToTextExact(it->path().filename());
        if (name && IsWorldName(*name)) worlds.push_back(std::move(*name));
    }
    return worlds;
}

bool IsLoadedWorld(const fs::path& mapsDir, std::string_view name, const fs::path& loadedWorldDir) {
    return IsWorldName(name) && IsLoaded(FindIgnoreCase(mapsDir, TextToPath(name)), loadedWorldDir);
}

WorldDirResult DeleteWorld(const fs::path& mapsDir, std::string_view name,
                           const fs::path& loadedWorldDir) {
    if (!IsWorldName(name)) return WorldDirResult::Invalid;
    const fs::path dir = FindIgnoreCase(mapsDir, TextToPath(name));
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) return WorldDirResult::Missing;
    if (IsLoaded(dir, loadedWorldDir)) return WorldDirResult::Loaded;
    // A world directory that is a link loses the link only: what it points at is not ours.
    fs::remove_all(dir, ec);
    return Exists(dir) ? WorldDirResult::Failed : WorldDirResult::Done;
}

WorldDirResult RenameWorld(const fs::path& mapsDir, std::string_view from, std::string_view to,
                           const fs::path& loadedWorldDir) {
    if (!IsWorldName(from) || !IsWorldName(to)) return WorldDirResult::Invalid;
    const fs::path source = FindIgnoreCase(mapsDir, TextToPath(from));
    std::error_code ec;
    if (!fs::is_directory(source, ec)) return WorldDirResult::Missing;
    if (IsLoaded(source, loadedWorldDir)) return WorldDirResult::Loaded;
    const fs::path existing = FindIgnoreCase(mapsDir, TextToPath(to));
    if (Exists(existing) && !fs::equivalent(existing, source, ec)) return WorldDirResult::Exists;
    fs::rename(source, mapsDir / TextToPath(to), ec);
    return ec ? WorldDirResult::Failed : WorldDirResult::Done;
}

} // namespace storage
