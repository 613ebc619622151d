#include "map/MudRoom.h"

#include "profile/WorldProfile.h"
#include "text/Text.h"

namespace map {

ExitState ComputeExitState(const std::string& exits, const std::string& word, bool ignoreCase) {
    if (text::FindLatin(exits, word, ignoreCase) == std::string::npos) return kNoExit;
    return text::FindLatin(exits, "(" + word + ")", ignoreCase) == std::string::npos ? kExit
                                                                                     : kDoor;
}

void TMudRoom2::SetExits(std::string exits, const profile::WorldProfile& profile) {
    exits_ = std::move(exits);
    for (const auto& i : kDirs)
        exitStates_[i.dir] =
            ComputeExitState(exits_, profile.ExitWords[i.dir], profile.AutoexitsIgnoreCase);
}

void TMudRoom2::SetExitsRaw(std::string exits, const std::array<ExitState, kDirCount>& states) {
    exits_ = std::move(exits);
    exitStates_ = states;
}

} // namespace map
