#pragma once
// Ordering a speedwalk and sending it: the way from the player's room to the context room is
// searched on the map, then either put into the clipboard or sent to the game in bursts, each
// burst after tracking has confirmed every move of the previous one.

#include "map/MapModel.h"
#include "tracking/TrackingState.h"

#include <deque>
#include <string>

namespace relay {
class DebugLog;
}
namespace storage {
struct AppSettings;
}

namespace app {

// Who ordered the speedwalk: the three items of the map's context menu, or the player's run-to
// and return commands typed in the client (the main window).
enum class SpeedwalkSender { nSpeedWalk, nSpeedWalkNTD, nSpeedWalkNT, MainWindow };
// The zone tree's speedwalk items; a double click on a quick-list node acts as nnSpeedWalk.
enum class TreeSpeedwalkItem { nnSpeedWalk, nnSpeedWalkNTD, nnSpeedWalkNT };
// The map item that a zone-tree item stands for.
SpeedwalkSender SenderFor(TreeSpeedwalkItem item);

class SpeedwalkHost {
public:
    virtual ~SpeedwalkHost() = default;
    virtual bool Tracing() const = 0;
    virtual void SendToServer(const std::string& bytes) = 0;
    virtual void SendToClient(const std::string& bytes) = 0;
    // Empties the clipboard and puts the text (Windows-1251) into it.
    virtual void SetClipboard(const std::string& text) = 0;
    // A system-modal stop-icon message box, caption "Quarvelin".
    virtual void ShowStop(const std::string& message) = 0;
    // The view's window mode (2: the view does not follow the next change of position).
    virtual void SetWindowMode(int mode) = 0;
    // A text of the language file.
    virtual std::string Caption(const std::string& section, const std::string& key,
                                const std::string& def) = 0;
};

class Speedwalker {
public:
    Speedwalker(map::MapModel& map, const storage::AppSettings& settings, relay::DebugLog& log,
                tracking::TrackingState& tracking, SpeedwalkHost& host)
        : map_(map), settings_(settings), log_(log), tracking_(tracking), host_(host) {}

    // Searches from the player's room to the context room and delivers the way as the sender
    // asks. Nothing happens without a player's room or a context room, for the player's own
    // room, or for a death trap.
    void nSpeedWalkClick(SpeedwalkSender sender);
    // Sends the next burst of the speedwalk queue and queues its commands for tracking.
    void SendBurst();

    bool Pending() const { return !queue_.empty(); }
    void Clear() { queue_.clear(); }
    const std::deque<std::string>& Queue() const { return queue_; }

    // The burst size in effect: the setting, or 5 when it is below 1 (as the settings dialog
    // would have made it), so that a speedwalk always moves on.
    int BurstLength() const;

private:
    map::MapModel& map_;
    const storage::AppSettings& settings_;
    relay::DebugLog& log_;
    tracking::TrackingState& tracking_;
    SpeedwalkHost& host_;
    std::deque<std::string> queue_;
};

} // namespace app
