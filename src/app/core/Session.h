#pragma once
// The state and wiring that the main window and the headless runner share: settings, the
// world's profile, the debug log, the relay, the tracing switch, start-up and shutdown.

#include "app/core/AppUi.h"
#include "app/core/DataDir.h"
#include "app/core/TrackingLink.h"
#include "app/core/WorldAdapters.h"
#include "files/AppSettings.h"
#include "files/Language.h"
#include "map/MapModel.h"
#include "profile/WorldProfile.h"
#include "relay/DebugLog.h"
#include "relay/Relay.h"
#include "world/QuickList.h"
#include "world/WorldStore.h"
#include "world/ZoneLinks.h"
#include "world/ZoneOperations.h"

#include <memory>
#include <string>

namespace app {

class Session : public relay::RelayHooks {
public:
    struct Options {
        std::filesystem::path dataDir;
        std::string world; // --world, Windows-1251; empty: the settings' world
        bool createMissingWorld = false;
        std::filesystem::path sharedDataDir = {}; // the files installed with the program
        // --record FILE: the session goes to this file, whatever the settings say.
        std::filesystem::path recordFile = {};
        // --replay: a recorded session is run instead of the network (nothing listens).
        bool replay = false;
    };

    Session(Options options, AppUi& ui);
    ~Session() override;

    // Start-up up to the first activation of the window: settings read, tracing off,
    // listening on the built-in port.
    void Start();
    // First activation: the world named in the settings (or on the command line) is loaded
    // (zones, profile, lock list, caption); without one a new world is offered.
    void FirstActivation();
    // Window close: settings written, the world saved and its zone cleared, the debug log saved
    // when logging is on. False when the world could not be saved: the map stays in memory
    // (World().SaveUnsavedZones writes it later).
    bool Shutdown();

    // The world's profile: read from the world's "local.ini" (or the template beside the
    // program); reconfigures and restarts the relay.
    void ReadIniFile();
    // The settings file, then the profile: whole when asked and a world is set (its Zone then
    // names the zone open now), else only the skin choice and the lock list.
    void WriteIniFile(bool whole);
    void SetCaption();
    std::string Caption() const;

    // relay::RelayHooks
    void ModeClick(bool on) override;
    void ClientBlock(const std::string& block) override;
    void TranslateCmd(const std::string& text, const std::vector<std::size_t>& prompts,
                      bool promptsMarked,
                      const std::vector<tracking::IdentityAt>& identities) override;
    // With tracing off a read changes nothing in tracking, so the relay spares the copy.
    bool WantsServerText() const override { return tracing_; }
    void TranslateIdle(std::string_view clientBytes) override;
    void MccpStatus(const std::string& text) override;
    void AppException(const std::string& message) override;

    std::string GetCaption(const std::string& section, const std::string& key) const {
        return language_.GetCaption(section, key);
    }
    std::string GetCaption(const std::string& section, const std::string& key,
                           const std::string& def) const {
        return language_.GetCaption(section, key, def);
    }

    const DataPaths& Paths() const { return paths_; }
    const storage::Language& Texts() const { return language_; }
    storage::AppSettings& Settings() { return settings_; }
    profile::WorldProfile& Profile() { return profile_; }
    relay::DebugLog& Log() { return log_; }
    relay::Relay& Relay() { return *relay_; }
    bool Tracing() const { return tracing_; }
    const std::string& WorldName() const { return world_->WorldName(); }
    const std::string& ZoneName() const { return world_->CurrentZone(); }
    map::MapModel& Map() { return *map_; }
    storage::WorldStore& World() { return *world_; }
    storage::ZoneOperations& Zones() { return *zones_; }
    TrackingLink& Tracking() { return *tracking_; }
    storage::QuickList& QuickList() { return *quickList_; }
    storage::ZoneLinks& ZoneLinks() { return *zoneLinks_; }
    storage::ObjectBase& Objects() { return *objects_; }
    // The loaded world's "objects.dat" (in whatever letter case it exists).
    std::filesystem::path ObjectsFile() const;

    // Recording of the session: to the file given on the command line, else, while the
    // settings' RecordSessions is on, to a file named by the date in the world's directory.
    // Starts or stops as they say now; a file that cannot be opened is reported.
    void UpdateRecording();
    const storage::SessionWriter& Recorder() const { return recorder_; }

    // The speedwalk from the player's room to the context room, ordered from the map.
    void nSpeedWalkClick(SpeedwalkSender sender);
    // The zone tree's speedwalk items: the selected quick-list node's room becomes the context
    // room, then the speedwalk is ordered.
    void nnSpeedWalkClick(TreeSpeedwalkItem item);
    // A double click in the zone tree: a zone node opens its zone; a quick-list node whose room
    // is no death trap starts a speedwalk to it.
    void TreeViewZonesDblClick(storage::ZoneTreeNode* node);

private:
    std::filesystem::path ProfilePath() const;

    Options options_;
    AppUi& ui_;
    DataPaths paths_;
    storage::Language language_;
    storage::AppSettings settings_;
    profile::WorldProfile profile_;
    relay::DebugLog log_;
    std::unique_ptr<relay::Relay> relay_;
    bool tracing_ = false;
    // The map and the world on disk.
    std::unique_ptr<SessionMapUi> mapUi_;
    std::unique_ptr<map::MapModel> map_;
    std::unique_ptr<SessionWorldUi> worldUi_;
    std::unique_ptr<storage::WorldStore> world_;
    std::unique_ptr<storage::ZoneOperations> zones_;
    std::unique_ptr<TrackingLink> tracking_;
    std::unique_ptr<storage::QuickList> quickList_;
    std::unique_ptr<storage::ZoneLinks> zoneLinks_;
    std::unique_ptr<SessionObjectHost> objectHost_;
    std::unique_ptr<storage::ObjectBase> objects_;
    std::unique_ptr<SessionReportSink> reportSink_;
    std::string brokenRules_; // the report path rules last reported as broken
    storage::SessionWriter recorder_;
};

} // namespace app
