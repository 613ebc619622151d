#pragma once
// A profile learnt from a session, on disk: the session file's records as learning reads them,
// and the learnt keys written in the profile's own format by the profile's own writer.

#include "files/SessionFile.h"
#include "tracking/ProfileLearner.h"

#include <filesystem>
#include <string>
#include <vector>

namespace storage {

// The game's records and the client's, in order, as learning reads them (events left out). The
// pieces point into `records`.
std::vector<tracking::SessionPiece> LearnPieces(const std::vector<SessionRecord>& records);

// The text of a profile file that holds the learnt keys alone (Windows-1251, CR LF).
std::string LearntProfileText(const tracking::LearntProfile& learnt);

// Writes the learnt keys into the profile file `path`: an existing file keeps every other key
// and its refusal and darkness lists take the learnt texts in; a missing one is made. False
// with `error` when the file could not be written.
bool WriteLearntProfile(const tracking::LearntProfile& learnt, const std::filesystem::path& path,
                        std::string& error);

} // namespace storage
