#include "app/core/ProfileLearning.h"

#include "app/core/Session.h"
#include "files/LearntProfileFile.h"

namespace app {

namespace {
using profile::WorldProfile;
using Words = std::array<std::string, 6>;
using Lines = std::vector<std::string>;

// The dialog's fields of what learning reads and learns, and the profile's keys they edit.
const std::pair<std::string ConfigValues::*, std::string WorldProfile::*> kTexts[] = {
    {&ConfigValues::look, &WorldProfile::Look},
    {&ConfigValues::roomNameStart, &WorldProfile::RoomNameStart},
    {&ConfigValues::roomNameEnd, &WorldProfile::RoomNameEnd},
    {&ConfigValues::autoexitStart, &WorldProfile::AutoexitStart},
    {&ConfigValues::autoexitEnd, &WorldProfile::AutoexitEnd},
    {&ConfigValues::promptExitStart, &WorldProfile::PromptExitStart},
    {&ConfigValues::promptExitEnd, &WorldProfile::PromptExitEnd},
    {&ConfigValues::dark, &WorldProfile::Dark},
};
const std::pair<Words ConfigValues::*, Words WorldProfile::*> kWords[] = {
    {&ConfigValues::moveWords, &WorldProfile::MoveWords},
    {&ConfigValues::exitWords, &WorldProfile::ExitWords},
};
const std::pair<bool ConfigValues::*, bool WorldProfile::*> kSwitches[] = {
    {&ConfigValues::noDoubleYa, &WorldProfile::NoDoubleYa},
    {&ConfigValues::usePromptExit, &WorldProfile::UsePromptExit},
    {&ConfigValues::autoexitsIgnoreCase, &WorldProfile::AutoexitsIgnoreCase},
};
const std::pair<Lines ConfigValues::*, Lines WorldProfile::*> kLists[] = {
    {&ConfigValues::darkList, &WorldProfile::DarkList},
    {&ConfigValues::cantMove, &WorldProfile::CantMove},
};

template <class Pairs> void ToProfile(const Pairs& pairs, const ConfigValues& v, WorldProfile& p) {
    for (const auto& [field, key] : pairs)
        p.*key = v.*field;
}
template <class Pairs> void ToValues(const Pairs& pairs, const WorldProfile& p, ConfigValues& v) {
    for (const auto& [field, key] : pairs)
        v.*field = p.*key;
}
} // namespace

WorldProfile RecognitionProfile(const ConfigValues& v, const WorldProfile& world) {
    WorldProfile p = world;
    ToProfile(kTexts, v, p);
    ToProfile(kWords, v, p);
    ToProfile(kSwitches, v, p);
    ToProfile(kLists, v, p);
    p.DecodeMarkers();
    return p;
}

tracking::LearntProfile LearnFromRecentSession(Session& session, const WorldProfile& base) {
    const std::vector<storage::SessionRecord> records = session.Relay().Recent().Records();
    return tracking::LearnProfile(storage::LearnPieces(records), base);
}

void ApplyLearnt(const tracking::LearntProfile& learnt, ConfigValues& v,
                 const WorldProfile& world) {
    WorldProfile p = RecognitionProfile(v, world);
    tracking::ApplyLearnt(learnt, p);
    ToValues(kTexts, p, v);
    ToValues(kWords, p, v);
    ToValues(kSwitches, p, v);
    ToValues(kLists, p, v);
}

} // namespace app
