#include "app/core/TrackingLink.h"

#include "map/MapModel.h"
#include "relay/DebugLog.h"
#include "relay/Relay.h"
#include "storage/AppSettings.h"

namespace app {

TrackingLink::TrackingLink(map::MapModel& map, const profile::WorldProfile& profile,
                           const storage::AppSettings& settings, relay::Relay& relay,
                           relay::DebugLog& log, Hooks hooks)
    : map_(map), settings_(settings), relay_(relay), log_(log), hooks_(std::move(hooks)),
      tracker_(map, profile, *this), intake_(map, profile, settings, tracker_.State(), *this) {}

void TrackingLink::TracingOff() {
    map::MapWorld& world = map_.World();
    if (map::TMudRoom2* room = world.CurrentRoom) {
        room->Selected = false;
        room->Checked = true;
    }
    world.CurrentRoom = nullptr;
    tracker_.Reset();
}

void TrackingLink::ModeClick(bool on) {
    if (hooks_.modeClick) hooks_.modeClick(on);
}

bool TrackingLink::Tracing() const {
    return hooks_.tracing && hooks_.tracing();
}
bool TrackingLink::LogActive() const {
    return log_.DebugActiv;
}
void TrackingLink::DLine(const std::string& line) {
    log_.DLine(line);
}

// The object exchange and report capture belong to the object base, which takes these over.
void TrackingLink::ObjectBaseLine(const std::string&) {}
void TrackingLink::CaptureReports(std::string&) {}
void TrackingLink::SearchObjects(const std::string&) {}

// The speedwalk queue stays empty until paths can be searched; the run-to and return commands
// are recognised (and not sent to the game) but start nothing yet.
void TrackingLink::SendSpeedwalkBurst() {}
void TrackingLink::StartSpeedwalk() {}

void TrackingLink::CenterBox() {
    if (hooks_.centerBox) hooks_.centerBox();
}
void TrackingLink::Repaint() {
    if (hooks_.repaint) hooks_.repaint();
}
bool TrackingLink::SwitchZone(const std::string& zone, bool saveFirst) {
    return hooks_.switchZone && hooks_.switchZone(zone, saveFirst);
}
bool TrackingLink::NeedRepos() const {
    return settings_.NeedRepos;
}

void TrackingLink::SendToServer(const std::string& bytes) {
    relay_.SendToServer(bytes);
}
void TrackingLink::SendToClient(const std::string& bytes) {
    relay_.SendToClient(bytes);
}

void TrackingLink::NewZone(const std::string& name, bool named) {
    if (hooks_.newZone) hooks_.newZone(name, named);
}
void TrackingLink::AliasAdded(map::TMudRoom2* room) {
    if (hooks_.aliasAdded) hooks_.aliasAdded(room);
}

} // namespace app
