#pragma once
// Where Quarvelin keeps its files: "quarvelin.ini", "language.ini", "tkdebug.log", the template
// "local.ini" and the "Maps" directory of worlds.

#include <filesystem>
#include <string>
#include <vector>

namespace app {

// --data-dir when given; else the executable's directory when it already holds
// "quarvelin.ini" or "Maps" (a portable installation); else the per-user data directory.
std::filesystem::path ResolveDataDir(const std::string& commandLineDir,
                                     const std::filesystem::path& exeDir);

// Where the files installed with the program are (share/quarvelin beside bin/, as the build
// placed them relative to each other): the template "local.ini", skins, language files.
std::filesystem::path SharedDataDir(const std::filesystem::path& exeDir);

struct DataPaths {
    std::filesystem::path dir;
    std::filesystem::path shared; // SharedDataDir; may not exist (a program run from its build)
    std::filesystem::path SettingsFile() const; // quarvelin.ini
    std::filesystem::path LanguageFile() const; // language.ini
    // local.ini in the data directory, else the one installed with the program when there is
    // one, else the data directory's (which does not exist: the built-in defaults apply).
    std::filesystem::path TemplateProfile() const;
    // Where the games' profiles are: the data directory's own "profiles", then the installed.
    std::vector<std::filesystem::path> ProfileDirs() const;
};

} // namespace app
