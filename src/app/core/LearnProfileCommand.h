#pragma once
// `quarvelin --learn-profile FILE [--out FILE]`: the profile learnt from a session file, to
// standard output or into a profile file; what could not be told goes to standard error.

#include <filesystem>

namespace app {

// Exit statuses of the command.
enum LearnStatus {
    kLearnt = 0,        // the profile recognises the rooms of the session
    kNothingLearnt = 1, // no profile that recognises rooms could be learnt
    kUnreadable = 2,    // the file cannot be read or is no session file
    kDamaged = 3,       // learnt from the records before the damage of a damaged file
    kCannotWrite = 4,   // the profile file could not be written
};

// `out` empty: the profile goes to standard output.
int LearnProfileCommand(const std::filesystem::path& session, const std::filesystem::path& out);

} // namespace app
