#include "app/core/Session.h"

#include "files/IniFile.h"
#include "files/Paths.h"
#include "files/ProfileFile.h"

#include <QDateTime>

namespace app {

Session::Session(Options options, AppUi& ui)
    : options_(std::move(options)), ui_(ui), paths_{options_.dataDir, options_.sharedDataDir},
      language_(paths_.LanguageFile()) {
    relay_ = std::make_unique<relay::Relay>(log_, *this, profile_);
    mapUi_ = std::make_unique<SessionMapUi>(*this, ui_);
    map_ = std::make_unique<map::MapModel>(profile_, *mapUi_);
    worldUi_ = std::make_unique<SessionWorldUi>(*this, ui_);
    world_ = std::make_unique<storage::WorldStore>(*map_, profile_, language_, *worldUi_,
                                                   paths_.dir, relay::VersionText());
    zones_ = std::make_unique<storage::ZoneOperations>(*world_);
    quickList_ = std::make_unique<storage::QuickList>(*world_);
    zoneLinks_ = std::make_unique<storage::ZoneLinks>(*world_);
    objectHost_ = std::make_unique<SessionObjectHost>(*this);
    objects_ = std::make_unique<storage::ObjectBase>(profile_, language_, *worldUi_, *objectHost_,
                                                     relay::VersionText());
    reportSink_ = std::make_unique<SessionReportSink>(*this);
    mapUi_->SetTree(&world_->Tree());

    TrackingLink::Hooks hooks;
    hooks.modeClick = [this](bool on) { ModeClick(on); };
    hooks.tracing = [this] { return tracing_; };
    hooks.centerBox = [this] { worldUi_->CenterMap(); };
    hooks.repaint = [this] { ui_.Repaint(); };
    hooks.switchZone = [this](const std::string& zone, bool save) {
        return world_->SwitchZone(zone, save);
    };
    hooks.zoneTouched = [this](const std::string& zone) { world_->MarkUnsaved(zone); };
    hooks.zoneForArea = [this](const std::string& area) { return world_->ZoneForArea(area); };
    hooks.zoneBeside = [this](const std::string& zone) { return world_->ZoneBeside(zone); };
    hooks.newZone = [this](const std::string& name, bool named) {
        zones_->NewZoneCommand(named ? std::optional<std::string_view>(name) : std::nullopt);
    };
    hooks.aliasAdded = [this](map::TMudRoom2* room) {
        quickList_->AddAlias(room, room->QuickList);
    };
    hooks.objectLine = [this](const std::string& line) { objects_->ReceiveLine(line); };
    hooks.captureReports = [this](std::string& pending) {
        // A path rule that is not a list of numbers is reported once, not on every read that
        // follows while the report waits in the pending text.
        const std::string rules = profile_.StuffSeq + '\n' + profile_.MobSeq;
        if (rules == brokenRules_) return;
        try {
            tracking::CaptureReports(pending, profile_, *reportSink_);
        } catch (const std::runtime_error&) {
            brokenRules_ = rules;
            throw;
        }
    };
    hooks.searchObjects = [this](const std::string& query) {
        relay_->SendToClient(objects_->SearchForClient(query));
    };
    hooks.clipboard = [this](const std::string& text) { ui_.SetClipboard(text); };
    hooks.showStop = [this](const std::string& message) { ui_.ShowError(message); };
    hooks.windowMode = [this](int mode) { ui_.SetWindowMode(mode); };
    hooks.caption = [this](const std::string& section, const std::string& key,
                           const std::string& def) {
        return language_.GetCaption(section, key, def);
    };
    tracking_ =
        std::make_unique<TrackingLink>(*map_, profile_, settings_, *relay_, log_, std::move(hooks));
    world_->BeforeSave = [this] { tracking_->Tracker().Settle(); };
}

Session::~Session() {
    world_->BeforeSave = nullptr;
    // The recorder goes before the relay (members end in reverse order).
    relay_->SetRecorder(nullptr);
}

void Session::Start() {
    std::error_code ec;
    std::filesystem::create_directories(paths_.dir, ec);
    settings_.Read(storage::IniFile(paths_.SettingsFile()));
    log_.DebugActiv = settings_.DebugActiv;
    log_.DebugVisible = settings_.DebugVisible;
    objects_->replaceLore = settings_.ReplaceLore;
    world_->SetWorldName(options_.world.empty() ? settings_.World : options_.world);
    ModeClick(false);
    if (options_.replay) relay_->BeginReplay();
    // The listener opens once the world's profile has told its port (FirstActivation): opening
    // it on the default port first would take a port the player may use for something else.
}

void Session::FirstActivation() {
    const std::string& name = world_->WorldName();
    std::error_code ec;
    if (options_.createMissingWorld && !name.empty() &&
        !std::filesystem::is_directory(world_->WorldDirOf(name), ec)) {
        std::filesystem::create_directories(world_->MapsDir() / storage::TextToPath(name), ec);
        if (ec)
            log_.ELine("Cannot create the world directory " +
                       storage::PathToText(world_->WorldDirOf(name)));
    }
    world_->Startup();
    // Without a world (or a profile) the relay still listens, on the port it has.
    if (!relay_->Listening()) relay_->ActivateListener();
    UpdateRecording();
}

void Session::UpdateRecording() {
    if (options_.replay) return; // a replay records nothing
    const bool wanted = !options_.recordFile.empty() || settings_.RecordSessions;
    if (!wanted) {
        relay_->SetRecorder(nullptr);
        recorder_.Close();
        return;
    }
    if (recorder_.Recording()) return;
    std::filesystem::path file = options_.recordFile;
    if (file.empty()) {
        if (WorldName().empty()) return;
        const std::string stamp =
            QDateTime::currentDateTime().toString("yyyy-MM-dd-HHmmss").toStdString();
        file = world_->WorldDir() / ("session-" + stamp + ".session");
    }
    if (!recorder_.Open(file)) {
        log_.ELine("Cannot record the session to " + storage::PathToText(file) + ": " +
                   recorder_.Error());
        return;
    }
    relay_->SetRecorder(&recorder_);
}

bool Session::Shutdown() {
    relay_->SetRecorder(nullptr);
    recorder_.Close();
    WriteIniFile(false);
    const bool saved = world_->Shutdown(); // which saves the object base when it has changes
    objects_->AskSaveOnClose();
    if (!log_.SaveOnExit(paths_.dir)) log_.ELine("Cannot save tkdebug.log");
    return saved;
}

std::filesystem::path Session::ObjectsFile() const {
    if (WorldName().empty()) return {};
    return storage::FindIgnoreCase(world_->WorldDir(), "objects.dat");
}

std::filesystem::path Session::ProfilePath() const {
    if (WorldName().empty()) return world_->MapsDir() / "local.ini";
    return storage::FindIgnoreCase(world_->WorldDir(), "local.ini");
}

void Session::ReadIniFile() {
    if (WorldName().empty()) return;
    std::filesystem::path path = ProfilePath();
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) path = paths_.TemplateProfile();
    storage::IniFile ini(path);

    relay_->DeactivateListener();
    relay_->DeactivateServer();
    storage::ReadProfile(profile_, ini);
    relay_->SetListenPort(profile_.ClientPort);
    relay_->SetServer(profile_.ServerName, profile_.ServerPort);
    relay_->ActivateListener();
    // The profile's item command wins over the one in the settings file.
    settings_.RequestObject = profile_.RequestCommand;
    ui_.ProfileRead();
}

void Session::WriteIniFile(bool whole) {
    int top = 0, left = 0, height = 0, width = 0;
    bool normal = ui_.CollectWindowPlace(top, left, height, width);
    if (normal) {
        settings_.Top = top;
        settings_.Left = left;
        settings_.Height = height;
        settings_.Width = width;
    }
    settings_.World = WorldName();
    settings_.DebugActiv = log_.DebugActiv;
    settings_.DebugVisible = log_.DebugVisible;
    storage::IniFile settingsFile(paths_.SettingsFile());
    settings_.Write(settingsFile, normal);

    // A world that took its profile from the template gets the template's keys in its own file
    // before the first of them is written there: otherwise the file would hold only what is
    // written now, and from the next load on every other key (the server, the exit words ...)
    // would fall back to its default.
    const std::filesystem::path profilePath = ProfilePath();
    std::error_code ec;
    if (!WorldName().empty() && !std::filesystem::exists(profilePath, ec)) {
        const std::filesystem::path from = paths_.TemplateProfile();
        if (std::filesystem::is_regular_file(from, ec) &&
            std::filesystem::is_directory(profilePath.parent_path(), ec))
            std::filesystem::copy_file(from, profilePath, ec);
    }
    storage::IniFile profileFile(profilePath);
    if (whole && !WorldName().empty()) {
        profile_.ClientPort = relay_->ListenPort();
        profile_.ServerName = relay_->ServerNameForProfile();
        profile_.ServerPort = relay_->ServerPort();
        // The zone open now is the one the next load of this world opens.
        profile_.Zone = ZoneName();
        storage::WriteWholeProfile(profile_, profileFile);
    }
    storage::WriteSkinAndLocks(profile_, profileFile);
}

std::string Session::Caption() const {
    return world_->Caption();
}

void Session::SetCaption() {
    ui_.SetCaption(Caption());
}

void Session::ModeClick(bool on) {
    // Tracing switched off by hand keeps the moves made while a choice between rooms that look
    // alike was open (when tracking itself gives up, nothing is open any more).
    if (!on && tracing_) tracking_->Tracker().Settle();
    if (relay_->HasClient() && relay_->ServerConnected()) {
        if (!on && tracing_)
            relay_->SendToClient(
                "\r\n\x1b[1;33m<Quarvelin> : Tracing now \x1b[1;31mOFF\x1b[0m\r\n");
        else if (on && !tracing_)
            relay_->SendToClient("\r\n\x1b[1;33m<Quarvelin> : Tracing now \x1b[1;32mON\x1b[0m\r\n");
    }
    tracing_ = on;
    ui_.SetTracing(on);
    if (on && map_->World().CurrentZone.empty()) world_->CreateZone();
    if (!on) {
        tracking_->TracingOff();
        ui_.Repaint();
    }
}

void Session::ClientBlock(const std::string& block) {
    tracking_->ClientBlock(block);
}

void Session::TranslateCmd(const std::string& text, const std::vector<std::size_t>& prompts,
                           bool promptsMarked,
                           const std::vector<tracking::IdentityAt>& identities) {
    tracking_->TranslateCmd(text, prompts, promptsMarked, identities);
}

void Session::nSpeedWalkClick(SpeedwalkSender sender) {
    tracking_->Tracker().Settle();
    tracking_->Speedwalk().nSpeedWalkClick(sender);
}

void Session::nnSpeedWalkClick(TreeSpeedwalkItem item) {
    if (!quickList_->SelectTarget()) return;
    nSpeedWalkClick(SenderFor(item));
}

void Session::TreeViewZonesDblClick(storage::ZoneTreeNode* node) {
    if (map::TMudRoom2* room = zones_->TreeViewZonesDblClick(node)) {
        world_->Tree().Select(node);
        map_->World().ContextRoom = room;
        nSpeedWalkClick(SpeedwalkSender::nSpeedWalk);
    }
}

void Session::TranslateIdle(std::string_view clientBytes) {
    tracking_->Tracker().TranslateIdle(clientBytes);
}

void Session::MccpStatus(const std::string& text) {
    ui_.SetMccpStatus(text);
}

void Session::AppException(const std::string& message) {
    log_.DLine("ON Error:" + message);
    if (message.find("10053") != std::string::npos || message.find("10054") != std::string::npos) {
        // A connection aborted or reset: both sides start over, silently.
        ModeClick(false);
        relay_->DeactivateListener();
        relay_->DeactivateServer();
        relay_->ActivateListener();
        return;
    }
    log_.DLine("Error:(0) Error: " + message);
    ui_.ShowError(message + " \r\n" + language_.GetCaption("MainForm", "ErrorMsg"));
}

} // namespace app
