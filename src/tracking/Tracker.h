#pragma once
// The tracking pass: pairs the client's commands with the rooms the server prints, one command
// per room, and keeps the player's position on the map in step with the game.

#include "tracking/Positioner.h"
#include "tracking/TrackerHost.h"
#include "tracking/TrackingState.h"

#include <string>

namespace map {
class MapModel;
}

namespace profile {
struct WorldProfile;
}

namespace tracking {

using profile::WorldProfile;

class Tracker {
public:
    // While a command waits for its room, unconsumed text is kept up to this size.
    static constexpr size_t kPendingLimit = 64 * 1024;
    // With nothing outstanding, idle chatter is trimmed to this size.
    static constexpr size_t kIdleLimit = 4096;

    Tracker(map::MapModel& map, const WorldProfile& profile, TrackerHost& host);

    // Called once for every read of the server stream with the decoded text.
    void TranslateCmd(const std::string& text);

    // Tracing switched off: the queue, the pending text and the current command are emptied.
    void Reset();

    TrackingState& State() { return state_; }
    const TrackingState& State() const { return state_; }

private:
    void Pass();
    void TakeObjectBaseLines();
    void CheckRetreat();
    void CheckFollow();
    void CheckWaitingTriggers(size_t exitLine);
    bool LogOn() const { return host_.LogActive(); }

    map::MapModel& map_;
    const WorldProfile& profile_;
    TrackerHost& host_;
    TrackingState state_;
    Positioner positioner_;
    bool trimLogged_ = false;
};

} // namespace tracking
