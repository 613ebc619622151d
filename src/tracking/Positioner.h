#pragma once
// Positioning: what one command and the room the server printed after it mean on the map.
// The player stepped into a known room, into a room known elsewhere (link it), into new ground
// (create a room, making space), through a cross-zone link, looked around, fled, or something
// that does not fit (tracing stops).

#include "map/Direction.h"
#include "tracking/TrackerHost.h"
#include "tracking/TrackingState.h"

#include <string>

namespace map {
class MapModel;
class TMudRoom2;
} // namespace map

namespace profile {
struct WorldProfile;
}

namespace tracking {

using profile::WorldProfile;

class Positioner {
public:
    Positioner(TrackingState& state, map::MapModel& map, const WorldProfile& profile,
               TrackerHost& host);

    // Runs for CurrentCmd while tracing is on.
    void Position();
    // A refused move before the exit line: the command is dropped, a speedwalk abandoned.
    bool RefusedMove();

private:
    void Look();
    void Flight();
    void Move(map::Dir d);
    void Other();
    void Jump(const std::string& line);
    // Makes the room's zone current when it lies in another zone.
    void FollowToZone(map::TMudRoom2* room, bool saveFirst);
    bool Parse();
    bool IsDark(const std::string& name) const;
    void LogSeen(const char* prefixUtf8);
    void Log(const std::string& line);
    map::TMudRoom2*& Current();

    TrackingState& s_;
    map::MapModel& map_;
    const WorldProfile& profile_;
    TrackerHost& host_;
};

} // namespace tracking
