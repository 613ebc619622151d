#include "app/core/DataDir.h"

#include "storage/Paths.h"

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

std::filesystem::path DataPaths::SettingsFile() const {
    return storage::FindIgnoreCase(dir, "quarvelin.ini");
}
std::filesystem::path DataPaths::LanguageFile() const {
    return storage::FindIgnoreCase(dir, "language.ini");
}
std::filesystem::path DataPaths::TemplateProfile() const {
    return storage::FindIgnoreCase(dir, "local.ini");
}
} // namespace app
