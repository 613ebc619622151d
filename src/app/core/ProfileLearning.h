#pragma once
// Learning a profile from the running session, for the settings dialog: the last stretch of the
// session the relay keeps, learnt with what the dialog's recognition page holds now, and the
// learnt values put into the page's values when the player accepts them.

#include "app/core/ConfigSettings.h"
#include "tracking/ProfileLearner.h"

namespace app {

class Session;

// The dialog's values of what learning reads and learns, put into a profile that otherwise
// holds `world`.
profile::WorldProfile RecognitionProfile(const ConfigValues& values,
                                         const profile::WorldProfile& world);

// What the session's last few hundred lines teach, starting from `base`. No lines yet: nothing
// learnt, and the remark that the game answered no look and no move.
tracking::LearntProfile LearnFromRecentSession(Session& session, const profile::WorldProfile& base);

// The learnt keys put into the dialog's values (learnt refusal and darkness texts join the
// listed ones); the rest stays as it is.
void ApplyLearnt(const tracking::LearntProfile& learnt, ConfigValues& values,
                 const profile::WorldProfile& world);

} // namespace app
