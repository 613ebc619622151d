#pragma once
// The worlds on disk as the world chooser sees them: the subdirectories of "Maps", and deleting
// or renaming one of them. The world that is loaded is never deleted or renamed under the
// program's feet.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace storage {

// The worlds under `mapsDir`: the names (Windows-1251) of its subdirectories that do not begin
// with ".", in the order the file system lists them. A name that cannot be written in
// Windows-1251 is left out (no world of that name could be loaded).
std::vector<std::string> ListWorlds(const std::filesystem::path& mapsDir);

enum class WorldDirResult {
    Done,
    Loaded,  // the world is the loaded one: refused
    Invalid, // the name does not name a world directory (empty, "..", a path, a hidden name)
    Missing, // there is no such world
    Exists,  // renaming: a world of the new name exists
    Failed,  // the file system refused (part of a deletion may have happened)
};

// Whether `name` is the loaded world (its directory is `loadedWorldDir`, which may be empty).
bool IsLoadedWorld(const std::filesystem::path& mapsDir, std::string_view name,
                   const std::filesystem::path& loadedWorldDir);

// Deletes the world `name` under `mapsDir` (found without regard to letter case) with every
// file and directory in it. `loadedWorldDir` is the loaded world's directory, or empty.
WorldDirResult DeleteWorld(const std::filesystem::path& mapsDir, std::string_view name,
                           const std::filesystem::path& loadedWorldDir);

// Renames the world `from` to `to`. A rename never replaces another world; changing only the
// letter case of a name is allowed.
WorldDirResult RenameWorld(const std::filesystem::path& mapsDir, std::string_view from,
                           std::string_view to, const std::filesystem::path& loadedWorldDir);

} // namespace storage
