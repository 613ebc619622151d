#include "app/core/DataDir.h"

#include "files/Paths.h"

#include <QStandardPaths>

namespace app {

std::filesystem::path ResolveDataDir(const std::string& commandLineDir,
                                     const std::filesystem::path& exeDir) {
    std::error_code ec;
    if (!commandLineDir.empty()) return std::filesystem::absolute(commandLineDir, ec);
    if (!exeDir.empty() && (std::filesystem::exists(exeDir / "quarvelin.ini", ec) ||
                            std::filesystem::exists(storage::FindIgnoreCase(exeDir, "Maps"), ec)))
        return exeDir;
    QString location = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (location.isEmpty()) return std::filesystem::current_path(ec);
    return std::filesystem::path(location.toStdString());
}

std::filesystem::path SharedDataDir(const std::filesystem::path& exeDir) {
#ifdef QUARVELIN_SHARED_DATA_DIR
    if (exeDir.empty()) return {};
    return (exeDir / QUARVELIN_SHARED_DATA_DIR).lexically_normal();
#else
    return {};
#endif
}

std::filesystem::path DataPaths::SettingsFile() const {
    return storage::FindIgnoreCase(dir, "quarvelin.ini");
}
std::filesystem::path DataPaths::LanguageFile() const {
    return storage::FindIgnoreCase(dir, "language.ini");
}
std::vector<std::filesystem::path> DataPaths::ProfileDirs() const {
    std::vector<std::filesystem::path> dirs{storage::FindIgnoreCase(dir, "profiles")};
    if (!shared.empty()) dirs.push_back(shared / "profiles");
    return dirs;
}

std::filesystem::path DataPaths::TemplateProfile() const {
    const std::filesystem::path own = storage::FindIgnoreCase(dir, "local.ini");
    std::error_code ec;
    if (std::filesystem::exists(own, ec) || shared.empty()) return own;
    const std::filesystem::path installed = shared / "local.ini";
    return std::filesystem::is_regular_file(installed, ec) ? installed : own;
}
} // namespace app
