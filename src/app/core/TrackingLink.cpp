#include "app/core/TrackingLink.h"

#include "files/AppSettings.h"
#include "map/MapModel.h"
#include "relay/DebugLog.h"
#include "relay/Relay.h"

namespace app {

TrackingLink::TrackingLink(map::MapModel& map, const profile::WorldProfile& profile,
                           const storage::AppSettings& settings, relay::Relay& relay,
                           relay::DebugLog& log, Hooks hooks)
    : map_(map), settings_(settings), relay_(relay), log_(log), hooks_(std::move(hooks)),
      tracker_(map, profile, *this), intake_(map, profile, settings, tracker_.State(), *this),
      speedwalker_(map, settings, log, tracker_.State(), *this) {}

void TrackingLink::TracingOff() {
    map::MapWorld& world = map_.World();
    if (map::TMudRoom2* room = world.CurrentRoom) {
        room->Selected = false;
        room->Checked = true;
    }
    world.CurrentRoom = nullptr;
    tracker_.Reset();
    // A run that tracing stopped (a connection lost, the stop command) never resumes by
    // itself: its next burst would go out from wherever the player now stands.
    speedwalker_.Clear();
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

void TrackingLink::ObjectBaseLine(const std::string& line) {
    if (hooks_.objectLine) hooks_.objectLine(line);
}
void TrackingLink::CaptureReports(std::string& pendingText) {
    if (hooks_.captureReports) hooks_.captureReports(pendingText);
}
void TrackingLink::SearchObjects(const std::string& query) {
    if (hooks_.searchObjects) hooks_.searchObjects(query);
}

// The run-to and return commands have set the context room (and the return room).
void TrackingLink::StartSpeedwalk() {
    speedwalker_.nSpeedWalkClick(SpeedwalkSender::MainWindow);
}

void TrackingLink::SetClipboard(const std::string& text) {
    if (hooks_.clipboard) hooks_.clipboard(text);
}
void TrackingLink::ShowStop(const std::string& message) {
    if (hooks_.showStop) hooks_.showStop(message);
}
void TrackingLink::SetWindowMode(int mode) {
    if (hooks_.windowMode) hooks_.windowMode(mode);
}
std::string TrackingLink::Caption(const std::string& section, const std::string& key,
                                  const std::string& def) {
    return hooks_.caption ? hooks_.caption(section, key, def) : def;
}

void TrackingLink::CenterBox() {
    if (hooks_.centerBox) hooks_.centerBox();
}
void TrackingLink::Repaint() {
    if (hooks_.repaint) hooks_.repaint();
}
bool TrackingLink::SwitchZone(const std::string& zone, bool saveFirst) {
    return hooks_.switchZone && hooks_.switchZone(zone, saveFirst);
}
std::string TrackingLink::ZoneForArea(const std::string& area) {
    return hooks_.zoneForArea ? hooks_.zoneForArea(area) : std::string();
}

std::string TrackingLink::NewZoneBeside(const std::string& zone) {
    return hooks_.zoneBeside ? hooks_.zoneBeside(zone) : std::string();
}
void TrackingLink::ZoneTouched(const std::string& zone) {
    if (hooks_.zoneTouched) hooks_.zoneTouched(zone);
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
