#include "world/WorldStore.h"

#include "files/Language.h"
#include "files/Paths.h"
#include "profile/WorldProfile.h"
#include "text/Text.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace storage {

WorldStore::WorldStore(map::MapModel& model, profile::WorldProfile& profile,
                       const Language& language, WorldUi& ui, fs::path dataDir,
                       std::string versionText)
    : model_(model), profile_(profile), language_(language), ui_(ui), dataDir_(std::move(dataDir)),
      versionText_(std::move(versionText)) {
    tree_.zoneCaption = [this](std::string_view zone) { return ZoneCaption(zone); };
}

// Zones saved one after another write "game-ids.txt" once, after the last of them.
struct WorldStore::IdentityBatch {
    explicit IdentityBatch(WorldStore& store) : store_(store) { ++store_.identityBatch_; }
    ~IdentityBatch() {
        if (--store_.identityBatch_ == 0 && store_.identityPending_) store_.WriteRoomIdentities();
    }
    IdentityBatch(const IdentityBatch&) = delete;
    IdentityBatch& operator=(const IdentityBatch&) = delete;
    WorldStore& store_;
};

void WorldStore::RoomIdentitiesChanged() {
    identityPending_ = true;
    if (identityBatch_ == 0) WriteRoomIdentities();
}

std::string WorldStore::Text(std::string_view section, std::string_view key) const {
    return language_.GetCaption(section, key);
}

fs::path WorldStore::MapsDir() const {
    return FindIgnoreCase(dataDir_, "Maps");
}

fs::path WorldStore::WorldDirOf(std::string_view world) const {
    return FindIgnoreCase(MapsDir(), TextToPath(world));
}

bool WorldStore::WorldExists(std::string_view world) const {
    if (!IsValidFileName(world)) return false;
    std::error_code ec;
    return fs::is_directory(WorldDirOf(world), ec);
}

std::string WorldStore::Caption() const {
    std::string c = "[" + worldName_;
    if (!CurrentZone().empty()) c += "." + CurrentZone();
    return c + "] Quarvelin v. " + versionText_;
}

// ---- Lock list ----

bool WorldStore::IsLocked(std::string_view zone) const {
    return profile_.IsLocked(std::string(zone));
}

void WorldStore::SetLocked(std::string_view zone, bool locked) {
    auto& locks = profile_.Locks;
    // The list holds INI key names, which match without regard to case.
    std::erase_if(locks,
                  [&](const std::string& z) { return text::EqualsIgnoreCaseCp1251(z, zone); });
    if (locked) locks.emplace_back(zone);
}

// ---- Zones ----

void WorldStore::LoadZone() {
    map::MapWorld& world = model_.World();
    const std::string& zone = world.CurrentZone;
    if (!zone.empty()) {
        world.HighestRoomNumber = 0;
        ZoneTreeNode* node = nullptr;
        for (ZoneTreeNode* z : tree_.Zones()) {
            if (z->text == zone) {
                node = z;
                continue;
            }
            tree_.SetCurrent(z, false);
            tree_.Collapse(z);
        }
        if (!node) node = tree_.AddZone(zone);
        tree_.SetCurrent(node, true);
        tree_.Select(node);
        tree_.RemoveChildren(node);
        world.Lists().ClearZone();
        world.ZoneLocked = IsLocked(zone);

        world.LoadZoneRooms();
        // Quick-list nodes in world-list order, as the rooms were read and created.
        world.Lists().ForEachWorldRoom([&](map::TMudRoom2* r, const std::string& z) {
            if (z != zone) return;
            r->Selected = false;
            if (!r->QuickList.empty()) tree_.AddQuickListNode(node, r);
        });
        tree_.Expand(node);
    }
    RefreshCaption();
}

void WorldStore::ClearZone() {
    model_.World().ClearZone();
}

std::vector<const map::TMudRoom2*> WorldStore::RoomsOfZone(std::string_view zone) const {
    std::vector<const map::TMudRoom2*> rooms;
    model_.World().Lists().ForEachWorldRoom([&](map::TMudRoom2* r, const std::string& z) {
        if (z == zone) rooms.push_back(r);
    });
    return rooms;
}

bool WorldStore::SaveZone() {
    if (CurrentZone().empty()) {
        RefreshCaption();
        return true;
    }
    if (!SaveZoneRooms(RoomsOfZone(CurrentZone()))) return false;
    return SaveUnsavedZones();
}

bool WorldStore::SaveUnsavedZones() {
    IdentityBatch batch(*this);
    identityPending_ = true; // a write of the file that failed before is tried again too
    map::MapWorld& world = model_.World();
    const std::string remembered = world.CurrentZone;
    const std::vector<std::string> zones(unsaved_.begin(), unsaved_.end());
    for (const std::string& zone : zones) {
        if (!tree_.FindZone(zone)) {
            unsaved_.erase(zone); // deleted or renamed since
            continue;
        }
        world.CurrentZone = zone;
        if (!SaveZoneRooms(RoomsOfZone(zone))) break;
    }
    world.CurrentZone = remembered;
    RefreshCaption();
    return unsaved_.empty();
}

bool WorldStore::SaveZones(const std::set<std::string>& zones) {
    IdentityBatch batch(*this);
    map::MapWorld& world = model_.World();
    const std::string remembered = world.CurrentZone;
    const bool wasSaved = world.Saved;
    bool allSaved = true;
    for (const std::string& zone : zones) {
        if (!tree_.FindZone(zone)) continue;
        world.CurrentZone = zone;
        if (!SaveZoneRooms(RoomsOfZone(zone))) allSaved = false;
    }
    world.CurrentZone = remembered;
    if (!zones.count(remembered)) world.Saved = wasSaved;
    RefreshCaption();
    return allSaved;
}

bool WorldStore::SaveZoneRooms(const std::vector<const map::TMudRoom2*>& rooms) {
    const std::string& zone = CurrentZone();
    std::optional<fs::path> path = ZoneFilePath(WorldDir(), zone);
    ZoneSaveResult saved;
    if (path && damaged_.count(zone) && !KeepDamagedOriginal(zone, *path)) {
        saved.status = ZoneSaveStatus::CantOverwriteFile;
        saved.error = "the damaged file " + PathToText(*path) + " could not be moved aside";
    } else if (path) {
        saved = SaveZoneFile(*path, WriteZone(rooms));
    } else {
        saved.status = ZoneSaveStatus::CantOverwriteFile;
        saved.error = "the zone name \"" + zone + "\" is not a file name";
    }
    if (!saved.ok()) {
        unsaved_.insert(zone);
        ui_.LogError(saved.error);
        if (saved.status == ZoneSaveStatus::CantWriteWorld) {
            // Deleting files would not help here, and one message per zone is no clearer than
            // one for them all: the map waits in memory for the next save.
            if (!toldNotWritable_)
                ui_.ShowError(Text("MainForm", "CantWriteWorld") + " " + PathToText(WorldDir()) +
                              "\r\n" + Text("MainForm", "MapKeptInMemory"));
            toldNotWritable_ = true;
        } else {
            const std::string shown =
                path ? PathToText(*path) : PathToText(WorldDir()) + "/" + zone + ".tk2";
            ui_.ShowError(Text("MainForm", "CantOverwriteFile") + " " + shown + "\r\n" +
                          Text("MainForm", "DeleteManually"));
        }
        RefreshCaption();
        return false;
    }
    unsaved_.erase(zone);
    identities_.ZoneWritten(zone, rooms);
    RoomIdentitiesChanged();
    if (toldNotWritable_ && unsaved_.empty()) {
        toldNotWritable_ = false;
        ui_.LogError(Text("MainForm", "MapSavedAgain"));
    }
    model_.World().Saved = true;
    RefreshCaption();
    return true;
}

bool WorldStore::KeepDamagedOriginal(const std::string& zone, const fs::path& file) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(file, ec))) {
        damaged_.erase(zone); // nothing left to keep
        return true;
    }
    std::optional<fs::path> aside = MoveDamagedAside(file, "DamagedZoneKept");
    if (!aside) return false;
    damaged_.erase(zone);
    // The game numbers of the rooms in the kept file stay with it, under its name.
    if (std::optional<std::string> name = PathToTextExact(aside->filename()))
        identities_.ZoneRenamed(zone, *name);
    return true;
}

std::optional<fs::path> WorldStore::MoveDamagedAside(const fs::path& file,
                                                     std::string_view messageKey) {
    // Never replace an earlier copy: each one is a map the player may still want back.
    std::error_code ec;
    fs::path aside = file;
    aside += ".damaged";
    for (int i = 1; fs::exists(fs::symlink_status(aside, ec)); ++i) {
        aside = file;
        aside += ".damaged." + std::to_string(i);
    }
    fs::rename(file, aside, ec);
    if (ec) return std::nullopt;
    const std::string message =
        Text("MainForm", messageKey) + " <" + PathToText(aside.filename()) + ">";
    ui_.LogError(message);
    ui_.ShowError(message);
    return aside;
}

bool WorldStore::nSaveWorldClick() {
    if (BeforeSave) BeforeSave();
    IdentityBatch batch(*this);
    identityPending_ = true;
    map::MapWorld& world = model_.World();
    // One pass over the world sorts the rooms into their zones, in world-list order.
    ZoneRooms byZone;
    world.Lists().ForEachWorldRoom(
        [&](map::TMudRoom2* r, const std::string& zone) { byZone[zone].push_back(r); });

    const std::string remembered = world.CurrentZone;
    bool allSaved = true;
    static const std::vector<const map::TMudRoom2*> kNone;
    for (ZoneTreeNode* node : tree_.Zones()) {
        world.CurrentZone = node->text;
        auto it = byZone.find(node->text);
        if (!SaveZoneRooms(it == byZone.end() ? kNone : it->second)) allSaved = false;
    }
    world.CurrentZone = remembered;
    RefreshCaption();
    ui_.SaveObjectBaseIfChanged();
    return allSaved;
}

bool WorldStore::SwitchZone(const std::string& zone, bool saveFirst) {
    if (zone.empty()) return false;
    if (saveFirst) SaveZone();
    ClearZone();
    model_.World().CurrentZone = zone;
    LoadZone();
    return true;
}

bool WorldStore::ZoneNameTaken(std::string_view zone) const {
    if (tree_.FindZone(zone)) return true;
    std::optional<fs::path> path = ZoneFilePath(WorldDir(), zone);
    std::error_code ec;
    return path && fs::exists(fs::symlink_status(*path, ec));
}

ZoneTreeNode* WorldStore::CreateZone() {
    map::MapWorld& world = model_.World();
    ZoneTreeNode* root = tree_.Root();
    if (!root) return nullptr;
    ClearZone();
    for (ZoneTreeNode* z : tree_.Zones())
        tree_.Collapse(z);

    const std::string base = Text("MainForm", "nNewZone");
    std::string name = base;
    for (int i = 1; ZoneNameTaken(name); ++i)
        name = base + " " + std::to_string(i);
    world.CurrentZone = name;
    SaveZone(); // the zone's file exists, empty, from now on

    tree_.Expand(root);
    world.HighestRoomNumber = 0;
    for (ZoneTreeNode* z : tree_.Zones()) {
        tree_.SetCurrent(z, false);
        tree_.Collapse(z);
    }
    ZoneTreeNode* node = tree_.AddZone(name);
    tree_.SetCurrent(node, true);
    tree_.Expand(node);
    tree_.Select(node);
    world.ZoneLocked = false;
    ui_.CenterMap();
    return node;
}

// ---- Start and end ----

void WorldStore::Startup() {
    if (!worldName_.empty()) LoadWorld();
    if (worldName_.empty()) nNewWorldClick();
    RefreshCaption();
}

bool WorldStore::Shutdown() {
    if (!worldName_.empty() && !nSaveWorldClick())
        return false; // all as it was, so that a later save writes the same
    ClearZone();
    model_.World().CurrentRoom = nullptr;
    return true;
}

} // namespace storage
