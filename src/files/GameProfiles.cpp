#include "files/GameProfiles.h"

#include "files/FileSaver.h"
#include "files/IniFile.h"
#include "files/Paths.h"

#include <algorithm>
#include <map>

namespace storage {

std::vector<GameProfile> ListGameProfiles(const std::vector<std::filesystem::path>& dirs) {
    std::map<std::string, std::filesystem::path> found;
    for (const auto& dir : dirs) {
        std::error_code ec;
        for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end;
             it.increment(ec)) {
            const std::filesystem::path& file = it->path();
            std::string id = file.stem().string();
            std::string ext = file.extension().string();
            std::transform(ext.begin(), ext.end(), ext.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            std::error_code fileEc;
            if (ext != ".ini" || id.empty() || !it->is_regular_file(fileEc)) continue;
            std::transform(id.begin(), id.end(), id.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            found.emplace(id, file); // the first directory keeps its file
        }
    }
    std::vector<GameProfile> out;
    for (auto& [id, file] : found)
        out.push_back({id, file});
    return out;
}

GameServer ServerOfProfile(const std::filesystem::path& profile) {
    const IniFile ini(profile);
    GameServer server;
    server.name = ini.ReadString("Connect", "Server Name", "");
    const long long port = ini.ReadInteger("Connect", "Server Port", server.port);
    if (port > 0 && port <= 65535) server.port = static_cast<int>(port);
    return server;
}

std::string WriteWorldProfile(const std::filesystem::path& from,
                              const std::filesystem::path& target, const GameServer& server) {
    std::string bytes;
    std::error_code ec;
    if (!from.empty() && std::filesystem::is_regular_file(from, ec) && !ReadFile(from, bytes))
        return "Cannot read the profile " + PathToText(from);
    const SaveResult saved = SaveFile(target, bytes, true);
    if (!saved.ok) return saved.error;
    IniFile ini(target);
    if (!ini.WriteString("Connect", "Server Name", server.name) ||
        !ini.WriteInteger("Connect", "Server Port", server.port))
        return "Cannot write the profile " + PathToText(target);
    return {};
}

} // namespace storage
