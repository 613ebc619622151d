#pragma once
// Names at the file-system edge. World and zone names are Windows-1251 text inside the program;
// on disk they are in the file system's own encoding (UTF-8 on Linux). Worlds copied from a
// Windows machine may spell a name in another letter case than the program asks for, so files
// are looked up without regard to case.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace storage {

inline constexpr std::string_view kZoneExtension = ".tk2";

// Windows-1251 text as a file-system path (or one name of it).
std::filesystem::path TextToPath(std::string_view cp1251);
// A path as Windows-1251 text; nullopt when it holds characters Windows-1251 lacks.
std::optional<std::string> PathToTextExact(const std::filesystem::path& path);
// A path as Windows-1251 text for messages and logs: missing characters become "?".
std::string PathToText(const std::filesystem::path& path);

// False for names that would not name one file inside its directory: empty, ".", "..", or
// holding a path separator ("/" or "\") or a NUL byte.
bool IsValidFileName(std::string_view cp1251);

// The file name of a zone: the zone name and ".tk2"; nullopt when the name is not a valid file
// name (a zone named "../x" must not write outside its world).
std::optional<std::filesystem::path> ZoneFileName(std::string_view zoneName);
// The zone a file holds: its name with every ".tk2" removed (without regard to case when
// `ignoreCase`); nullopt when the name cannot be written in Windows-1251.
std::optional<std::string> ZoneNameOfFile(const std::filesystem::path& fileName, bool ignoreCase);

// The zone files of a world directory: regular files whose names end in ".tk2" in any letter
// case, sorted by name. A directory that cannot be read gives none.
std::vector<std::filesystem::path> ListZoneFiles(const std::filesystem::path& dir);

// The entry `name` of `dir`: the exact name when it exists, else the first entry (in name order)
// equal to it without regard to case, else dir / name (for creating it).
std::filesystem::path FindIgnoreCase(const std::filesystem::path& dir,
                                     const std::filesystem::path& name);
// `relative` below `base`, each of its names looked up with FindIgnoreCase.
std::filesystem::path ResolveIgnoreCase(const std::filesystem::path& base,
                                        const std::filesystem::path& relative);

// The file a zone is saved to and read from: the existing file of that name in any letter case,
// else the exact name; nullopt when the zone name is not a valid file name.
std::optional<std::filesystem::path> ZoneFilePath(const std::filesystem::path& worldDir,
                                                  std::string_view zoneName);

} // namespace storage
