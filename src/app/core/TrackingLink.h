#pragma once
// The link between the relay and tracking: client blocks go through the command intake, server
// text through the tracking pass, and both reach the rest of the program through here.

#include "app/core/Speedwalker.h"
#include "relay/ClientIntake.h"
#include "tracking/Tracker.h"
#include "tracking/TrackerHost.h"

#include <deque>
#include <functional>
#include <string>

namespace map {
class MapModel;
class TMudRoom2;
} // namespace map
namespace relay {
class DebugLog;
class Relay;
} // namespace relay
namespace storage {
struct AppSettings;
}

namespace app {

class TrackingLink : public tracking::TrackerHost, public relay::IntakeHost, public SpeedwalkHost {
public:
    // What the rest of the program provides; unset hooks do nothing.
    struct Hooks {
        std::function<void(bool)> modeClick;
        std::function<bool()> tracing;
        std::function<void()> centerBox;
        std::function<void()> repaint;
        std::function<bool(const std::string&, bool)> switchZone;
        std::function<std::string(const std::string&)> zoneForArea;
        std::function<std::string(const std::string&)> zoneBeside;
        std::function<void(const std::string&)> zoneTouched;
        std::function<void(const std::string&, bool)> newZone;
        std::function<void(map::TMudRoom2*)> aliasAdded;
        std::function<void(const std::string&)> objectLine;
        std::function<void(std::string&)> captureReports;
        std::function<void(const std::string&)> searchObjects;
        std::function<void(const std::string&)> clipboard;
        std::function<void(const std::string&)> showStop;
        std::function<void(int)> windowMode;
        std::function<std::string(const std::string&, const std::string&, const std::string&)>
            caption;
    };

    TrackingLink(map::MapModel& map, const profile::WorldProfile& profile,
                 const storage::AppSettings& settings, relay::Relay& relay, relay::DebugLog& log,
                 Hooks hooks);

    // A block from the client (the relay's read event).
    void ClientBlock(const std::string& block) { intake_.SSClientRead(block); }
    // Decoded server text (once per read).
    void TranslateCmd(const std::string& text, const std::vector<std::size_t>& prompts = {},
                      bool promptsMarked = false,
                      const std::vector<tracking::IdentityAt>& identities = {}) {
        tracker_.TranslateCmd(text, prompts, promptsMarked, identities);
    }
    // Tracing went off: the queue and pending text are emptied, the player's room forgotten
    // (its last position stays highlighted).
    void TracingOff();

    tracking::Tracker& Tracker() { return tracker_; }
    app::Speedwalker& Speedwalk() { return speedwalker_; }

    // tracking::TrackerHost
    void ModeClick(bool on) override;
    bool Tracing() const override;
    bool LogActive() const override;
    void DLine(const std::string& line) override;
    void ObjectBaseLine(const std::string& line) override;
    void CaptureReports(std::string& pendingText) override;
    bool SpeedwalkPending() const override { return speedwalker_.Pending(); }
    void ClearSpeedwalk() override { speedwalker_.Clear(); }
    void SendSpeedwalkBurst() override { speedwalker_.SendBurst(); }
    void CenterBox() override;
    void Repaint() override;
    bool SwitchZone(const std::string& zone, bool saveFirst) override;
    bool NeedRepos() const override;
    std::string ZoneForArea(const std::string& area) override;
    std::string NewZoneBeside(const std::string& zone) override;
    void ZoneTouched(const std::string& zone) override;

    // relay::IntakeHost
    void SendToServer(const std::string& bytes) override;
    void SendToClient(const std::string& bytes) override;
    void StartSpeedwalk() override;
    void SearchObjects(const std::string& query) override;
    void NewZone(const std::string& name, bool named) override;
    void AliasAdded(map::TMudRoom2* room) override;

    // SpeedwalkHost (SendToServer, SendToClient and Tracing as above)
    void SetClipboard(const std::string& text) override;
    void ShowStop(const std::string& message) override;
    void SetWindowMode(int mode) override;
    std::string Caption(const std::string& section, const std::string& key,
                        const std::string& def) override;

private:
    map::MapModel& map_;
    const storage::AppSettings& settings_;
    relay::Relay& relay_;
    relay::DebugLog& log_;
    Hooks hooks_;
    tracking::Tracker tracker_;
    relay::ClientIntake intake_;
    Speedwalker speedwalker_;
};

} // namespace app
