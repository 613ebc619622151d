#pragma once
// Profiles made for the common game families (installed in "profiles" beside the program's other
// data, and the player's own in the data directory's "profiles"), and a new world's profile
// made from one of them with the game's server.

#include <filesystem>
#include <string>
#include <vector>

namespace storage {

struct GameProfile {
    std::string id;             // the file's name without ".ini" ("rom"), in lower case
    std::filesystem::path file; // the profile
};

// The "*.ini" files of the directories, by id; a directory listed earlier wins an id over a
// later one (the player's own profiles over the installed ones). Sorted by id.
std::vector<GameProfile> ListGameProfiles(const std::vector<std::filesystem::path>& dirs);

// The game server a profile names ("Server Name" and "Server Port" of [Connect]; the port 4000
// when it names none).
struct GameServer {
    std::string name; // Windows-1251
    int port = 4000;
};
GameServer ServerOfProfile(const std::filesystem::path& profile);

// Writes the profile of a new world to `target`: the bytes of `from` (none when it does not
// exist), then the server. Empty when it worked, else what went wrong.
std::string WriteWorldProfile(const std::filesystem::path& from,
                              const std::filesystem::path& target, const GameServer& server);

} // namespace storage
