#pragma once
// Where Quarvelin keeps its files: "quarvelin.ini", "language.ini", "tkdebug.log", the template
// "local.ini" and the "Maps" directory of worlds.

#include <filesystem>
#include <string>

namespace app {

// --data-dir when given; else the executable's directory when it already holds
// "quarvelin.ini" or "Maps" (a portable installation); else the per-user data directory.
std::filesystem::path ResolveDataDir(const std::string& commandLineDir,
                                     const std::filesystem::path& exeDir);

struct DataPaths {
    std::filesystem::path dir;
    std::filesystem::path SettingsFile() const;    // quarvelin.ini
    std::filesystem::path LanguageFile() const;    // language.ini
    std::filesystem::path TemplateProfile() const; // local.ini beside the program's files
};

} // namespace app
