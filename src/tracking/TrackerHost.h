#pragma once
// What the tracking pass asks of the program around it.

#include <string>

namespace tracking {

class TrackerHost {
public:
    virtual ~TrackerHost() = default;
    // The tracing switch (which also resets the tracking state when switching off).
    virtual void ModeClick(bool on) = 0;
    virtual bool Tracing() const = 0;
    // Debug log; LogActive tells whether lines are recorded at all, so that the pass builds
    // its texts only when someone reads them.
    virtual bool LogActive() const = 0;
    virtual void DLine(const std::string& line) = 0;
    // A "->>" line of the object exchange, colour removed.
    virtual void ObjectBaseLine(const std::string& line) = 0;
    // Item and creature report capture on the pending text.
    virtual void CaptureReports(std::string& pendingText) = 0;
    // The speedwalk queue: anything left, forgetting it, sending the next burst.
    virtual bool SpeedwalkPending() const = 0;
    virtual void ClearSpeedwalk() = 0;
    virtual void SendSpeedwalkBurst() = 0;
    // Centres the view on the player's room; repaints.
    virtual void CenterBox() = 0;
    virtual void Repaint() = 0;
    // Makes `zone` current: saves the current zone first when asked, clears the view, loads
    // the other zone. False when the zone could not be made current.
    virtual bool SwitchZone(const std::string& zone, bool saveFirst) = 0;
    // Centre on every speedwalk step.
    virtual bool NeedRepos() const = 0;
    // The map zone for a game area: the zone bound to it, else the current zone when it is
    // still empty and bound to nothing (it is bound and named after the area), else a new
    // zone made and bound for it. Empty when there is none and none can be made. Does not
    // switch zones.
    virtual std::string ZoneForArea(const std::string& area) {
        (void)area;
        return {};
    }
    // A new zone beside `zone` for rooms the grid of `zone` has no cell for: named after it
    // with a number ("Лес 2"), bound to no area. Empty when none can be made. Does not switch
    // zones.
    virtual std::string NewZoneBeside(const std::string& zone) {
        (void)zone;
        return {};
    }
    // A room of a zone other than the current one was changed (a link line written into it):
    // the zone is to be saved with the next save.
    virtual void ZoneTouched(const std::string& zone) { (void)zone; }
};

// A host with no one around: no view, no log, no object base, no speedwalk; tracing as set.
class NullTrackerHost : public TrackerHost {
public:
    explicit NullTrackerHost(bool tracing = false) : tracing_(tracing) {}
    void ModeClick(bool on) override { tracing_ = on; }
    bool Tracing() const override { return tracing_; }
    bool LogActive() const override { return false; }
    void DLine(const std::string&) override {}
    void ObjectBaseLine(const std::string&) override {}
    void CaptureReports(std::string&) override {}
    bool SpeedwalkPending() const override { return false; }
    void ClearSpeedwalk() override {}
    void SendSpeedwalkBurst() override {}
    void CenterBox() override {}
    void Repaint() override {}
    bool SwitchZone(const std::string&, bool) override { return false; }
    bool NeedRepos() const override { return false; }

private:
    bool tracing_;
};

} // namespace tracking
