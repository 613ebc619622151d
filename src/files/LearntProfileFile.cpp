#include "files/LearntProfileFile.h"

#include "files/IniFile.h"
#include "files/Paths.h"
#include "files/ProfileFile.h"

namespace storage {

std::vector<tracking::SessionPiece> LearnPieces(const std::vector<SessionRecord>& records) {
    std::vector<tracking::SessionPiece> pieces;
    pieces.reserve(records.size());
    for (const SessionRecord& r : records)
        if (r.kind == 'S' || r.kind == 'C') pieces.push_back({r.kind == 'C', r.bytes});
    return pieces;
}

std::string LearntProfileText(const tracking::LearntProfile& learnt) {
    // A file held in memory: the batch left open keeps it from ever being written.
    IniFile ini{std::filesystem::path(), std::string_view()};
    ini.BeginBatch();
    WriteProfileKeys(learnt.profile, learnt.keys, ini);
    return ini.Content();
}

bool WriteLearntProfile(const tracking::LearntProfile& learnt, const std::filesystem::path& path,
                        std::string& error) {
    IniFile ini(path);
    profile::WorldProfile p;
    ReadProfile(p, ini);
    tracking::ApplyLearnt(learnt, p);
    if (WriteProfileKeys(p, learnt.keys, ini)) return true;
    error = "Cannot write the profile " + PathToText(path) + ".";
    return false;
}

} // namespace storage
