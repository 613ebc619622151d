#pragma once
// A tracking pass wired to a real map and a recording host, fed with room text as the default
// profile recognises it.

#include "map/MapModel.h"
#include "profile/WorldProfile.h"
#include "text/Cp1251.h"
#include "tracking/Tracker.h"

#include <algorithm>
#include <string>
#include <vector>

inline std::string W8(const char* utf8) {
    return text::FromUnicode(QString::fromUtf8(utf8));
}

// A room block in the default format.
inline std::string RoomText(const std::string& name, const std::string& desc,
                            const std::string& exits) {
    return "\x1b[1;36m" + name + "\x1b[0m\r\n" + desc + "\r\n\x1b[36m[ Exits: " + exits + " ]\r\n";
}

struct RecordingHost : tracking::TrackerHost {
    bool tracing = true;
    std::vector<std::string> log;
    std::vector<bool> modes;
    std::vector<std::string> objectLines;
    std::vector<std::string> switches;
    std::vector<std::string> speedwalk;
    int bursts = 0;
    int centred = 0;
    tracking::Tracker* tracker = nullptr;
    map::MapWorld* world = nullptr;

    void ModeClick(bool on) override {
        modes.push_back(on);
        tracing = on;
        if (!on) {
            if (world->CurrentRoom) {
                world->CurrentRoom->Selected = false;
                world->CurrentRoom->Checked = true;
            }
            world->CurrentRoom = nullptr;
            tracker->Reset();
        }
    }
    bool Tracing() const override { return tracing; }
    bool LogActive() const override { return true; }
    void DLine(const std::string& line) override { log.push_back(line); }
    void ObjectBaseLine(const std::string& line) override { objectLines.push_back(line); }
    void CaptureReports(std::string&) override {}
    bool SpeedwalkPending() const override { return !speedwalk.empty(); }
    void ClearSpeedwalk() override { speedwalk.clear(); }
    void SendSpeedwalkBurst() override { ++bursts; }
    void CenterBox() override { ++centred; }
    void Repaint() override {}
    bool SwitchZone(const std::string& zone, bool saveFirst) override {
        switches.push_back(zone + (saveFirst ? " (saved)" : ""));
        world->ClearZone();
        world->CurrentZone = zone;
        world->LoadZoneRooms();
        return true;
    }
    bool NeedRepos() const override { return false; }
    // Zones beside others, numbered as the world store numbers them.
    std::vector<std::string> madeZones;
    std::string NewZoneBeside(const std::string& zone) override {
        std::string base = zone;
        if (const auto blank = base.rfind(' ');
            blank != std::string::npos && blank + 1 < base.size() &&
            base.find_first_not_of("0123456789", blank + 1) == std::string::npos)
            base.resize(blank);
        for (int n = 2;; ++n) {
            std::string name = base + " " + std::to_string(n);
            if (std::find(madeZones.begin(), madeZones.end(), name) == madeZones.end()) {
                madeZones.push_back(name);
                return name;
            }
        }
    }

    bool Logged(const std::string& line) const {
        for (const auto& l : log)
            if (l == line) return true;
        return false;
    }
};

struct TrackingRig {
    profile::WorldProfile profile;
    map::NullMapUi ui;
    map::MapModel map{profile, ui};
    RecordingHost host;
    tracking::Tracker tracker{map, profile, host};

    TrackingRig() {
        host.tracker = &tracker;
        host.world = &map.World();
        map.World().CurrentZone = "Zone";
    }
    map::MapWorld& world() { return map.World(); }
    map::TMudRoom2* current() { return map.World().CurrentRoom; }
    // The client typed these commands (as the intake queues them).
    void Send(std::initializer_list<const char*> commands) {
        for (const char* c : commands)
            tracker.State().CommandQueue.push_back(c);
    }
    void Server(const std::string& text) { tracker.TranslateCmd(text); }
};
