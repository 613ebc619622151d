#include "storage/WorldStore.h"

#include "storage/FileSaver.h"
#include "storage/Language.h"
#include "storage/Paths.h"
#include "text/Text.h"
#include "tracking/WorldProfile.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace storage {

WorldStore::WorldStore(map::MapModel& model, tracking::WorldProfile& profile,
                       const Language& language, WorldUi& ui, fs::path dataDir,
                       std::string versionText)
    : model_(model), profile_(profile), language_(language), ui_(ui), dataDir_(std::move(dataDir)),
      versionText_(std::move(versionText)) {}

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

// ---- Reading the zone files ----

template <class OnRoom, class AfterFile>
void WorldStore::ReadZoneFiles(ZoneFixups fixups, OnRoom onRoom, AfterFile afterFile) {
    map::MapWorld& world = model_.World();
    for (const fs::path& file : ListZoneFiles(WorldDir())) {
        // The extension goes in any letter case when the file carries it in another case than
        // ours, so that "Zone.TK2" from a Windows machine is the zone "Zone" and is saved back
        // into that same file rather than into a second one.
        const std::string fileName = file.filename().string();
        const bool ignoreCase =
            profile_.AutoexitsIgnoreCase || !text::EndsWith(fileName, kZoneExtension);
        std::optional<std::string> zone = ZoneNameOfFile(file, ignoreCase);
        if (!zone) {
            ui_.LogError("File: \"" + PathToText(file.filename()) +
                         "\" the name cannot be written in Windows-1251; the zone is skipped");
            continue;
        }
        ZoneTreeNode* node = tree_.AddZone(*zone);
        if (IsLocked(*zone)) node->stateImage = kLockedStateImage;

        ZoneReadResult read = ReadZoneFile(file, profile_, fixups);
        for (map::TMudRoom2& room : read.rooms) {
            onRoom(*zone, room);
            map::TMudRoom2* added =
                world.AddRoom(std::make_unique<map::TMudRoom2>(std::move(room)), *zone);
            if (!added->QuickList.empty()) tree_.AddQuickListNode(node, added);
        }
        if (!read.ok()) ui_.LogError(read.LogLine());
        afterFile();
    }
}

void WorldStore::ForgetRooms() {
    map::MapWorld& world = model_.World();
    // The tree goes first: its quick-list nodes point at the rooms.
    tree_.Clear();
    world.DestroyAllRooms();
    world.CurrentRoom = world.ContextRoom = world.ReturnRoom = nullptr;
}

// ---- Worlds ----

void WorldStore::LoadWorld() {
    map::MapWorld& world = model_.World();
    tree_.SetSorted(false);
    if (worldName_.empty()) {
        tree_.SetSorted(true);
        return;
    }
    if (!WorldExists(worldName_)) {
        ui_.ShowError(Text("MainForm", "CantFindWorld") + " <" + worldName_ + ">. " +
                      Text("MainForm", "LoadingUnable"));
        worldName_.clear();
        tree_.SetSorted(true);
        return;
    }
    ui_.TracingOff();
    ClearZone();
    ForgetRooms();
    ui_.ClearObjectBase();

    ui_.ReadProfile();
    RemoveLeftoverTemporaries(WorldDir()); // saves that a crash cut short
    world.ReturnRoom = nullptr;
    const std::string remembered =
        profile_.Zone.empty() ? Text("MainForm", "nNewZone") : profile_.Zone;
    world.CurrentZone.clear();

    tree_.Clear();
    tree_.AddRoot(worldName_);
    // The remembered zone becomes current only when its file holds a room.
    ReadZoneFiles(
        ZoneFixups::Load,
        [&](const std::string& zone, map::TMudRoom2&) {
            if (zone == remembered) world.CurrentZone = zone;
        },
        [] {});

    if (world.CurrentZone.empty()) {
        std::vector<ZoneTreeNode*> zones = tree_.Zones();
        if (!zones.empty())
            world.CurrentZone = zones.front()->text;
        else
            CreateZone();
    }
    LoadZone();
    RefreshCaption();
    ui_.WriteSettings();
    ui_.LoadObjectBase();
    tree_.SetSorted(true);
}

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
    return SaveZoneRooms(RoomsOfZone(CurrentZone()));
}

bool WorldStore::SaveZoneRooms(const std::vector<const map::TMudRoom2*>& rooms) {
    const std::string& zone = CurrentZone();
    std::optional<fs::path> path = ZoneFilePath(WorldDir(), zone);
    ZoneSaveResult saved;
    if (path) {
        saved = SaveZoneFile(*path, WriteZone(rooms));
    } else {
        saved.status = ZoneSaveStatus::CantOverwriteFile;
        saved.error = "the zone name \"" + zone + "\" is not a file name";
    }
    if (!saved.ok()) {
        const std::string shown =
            path ? PathToText(*path) : PathToText(WorldDir()) + "/" + zone + ".tk2";
        ui_.LogError(saved.error);
        ui_.ShowError(Text("MainForm", "CantOverwriteFile") + " " + shown + "\r\n" +
                      Text("MainForm", "DeleteManually"));
        RefreshCaption();
        return false;
    }
    model_.World().Saved = true;
    RefreshCaption();
    return true;
}

bool WorldStore::nSaveWorldClick() {
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

void WorldStore::nLoadWorldClick() {
    map::MapWorld& world = model_.World();
    const std::string oldWorld = worldName_;
    const std::string oldZone = world.CurrentZone;
    if (!world.Saved) nSaveWorldClick();

    if (std::optional<std::string> chosen = ui_.ChooseWorld(ChooserMode::Load, "")) {
        nSaveWorldClick();
        worldName_ = *chosen;
        world.CurrentZone.clear();
        LoadWorld();
        if (worldName_.empty()) {
            // The chosen world was not found: the old one is still in memory, untouched.
            worldName_ = oldWorld;
            world.CurrentZone = oldZone;
            RefreshCaption();
        }
    }
    world.CurrentRoom = nullptr;
    world.ContextRoom = nullptr;
    ui_.CenterMap();
}

std::string WorldStore::ProposeWorldName() const {
    const std::string base = Text("MainForm", "nNewWorld");
    std::string name = base;
    for (int i = 1; WorldExists(name); ++i)
        name = base + " " + std::to_string(i);
    return name;
}

void WorldStore::nNewWorldClick() {
    map::MapWorld& world = model_.World();
    std::string name = ProposeWorldName();
    for (;;) {
        std::optional<std::string> chosen = ui_.ChooseWorld(ChooserMode::Create, name);
        if (!chosen) return;
        name = *chosen;
        if (!IsValidFileName(name)) continue;
        if (!WorldExists(name)) break;
        Answer a = ui_.Ask(Text("MainForm", "World") + " <" + name + "> " +
                               Text("MainForm", "AlreadyExistLoadIt"),
                           true);
        if (a == Answer::Yes) {
            if (!worldName_.empty()) nSaveWorldClick();
            worldName_ = name;
            world.CurrentZone.clear();
            LoadWorld();
            return;
        }
    }

    // Moving and linking rooms leave the saved flag alone, so the old world is always written
    // before its rooms are dropped.
    if (!worldName_.empty()) nSaveWorldClick();
    ClearZone();
    ForgetRooms();
    tree_.Clear();
    world.HighestRoomNumber = 0;
    worldName_ = name;
    world.CurrentZone.clear();
    std::error_code ec;
    fs::create_directories(MapsDir() / TextToPath(name), ec);
    tree_.AddRoot(name);
    CreateZone();
    RefreshCaption();
    LoadWorld();
}

bool WorldStore::EmptyWorldDirectory(const fs::path& dir) const {
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code fileEc;
        if (it->is_directory(fileEc)) continue;
        if (!fs::remove(it->path(), fileEc)) return false;
    }
    fs::remove(dir, ec);
    return !fs::exists(fs::symlink_status(dir, ec));
}

void WorldStore::CopyWorldFiles(const fs::path& from, const fs::path& to) const {
    // The profile and the object base go with the copy: the world's profile holds the game's
    // connection and recognition settings, without which the copy would be a different world.
    for (const char* name : {"local.ini", "objects.dat"}) {
        fs::path source = FindIgnoreCase(from, name);
        std::string bytes;
        std::error_code ec;
        if (!fs::is_regular_file(source, ec) || !ReadFile(source, bytes)) continue;
        SaveResult r = SaveFile(to / source.filename(), bytes, true);
        if (!r.ok) ui_.LogError(r.error);
    }
}

void WorldStore::nSaveWorldAsClick() {
    map::MapWorld& world = model_.World();
    if (worldName_.empty() || !tree_.Root()) return;
    std::string name = ProposeWorldName();
    for (;;) {
        std::optional<std::string> chosen = ui_.ChooseWorld(ChooserMode::Save, name);
        if (!chosen) return;
        name = *chosen;
        if (!IsValidFileName(name)) continue;
        if (!WorldExists(name)) break;
        Answer a = ui_.Ask(Text("SaveLoadForm", "WorldMessage") + " <" + name + "> " +
                               Text("SaveLoadForm", "WorldExistsMessage"),
                           true);
        if (a != Answer::Yes) continue;
        const fs::path target = WorldDirOf(name);
        std::error_code ec;
        if (fs::equivalent(target, WorldDir(), ec)) {
            // Overwriting the loaded world with itself would first delete its profile and
            // object base: saving it is all that is asked.
            nSaveWorldClick();
            return;
        }
        if (!EmptyWorldDirectory(target)) return;
        break;
    }

    const fs::path oldDir = WorldDir();
    worldName_ = name;
    tree_.SetText(tree_.Root(), name);
    std::error_code ec;
    fs::create_directories(WorldDir(), ec);
    CopyWorldFiles(oldDir, WorldDir());
    world.Saved = false;
    nSaveWorldClick();
    ui_.WriteSettings();
    RefreshCaption();
}

void WorldStore::btnUndoClick() {
    map::MapWorld& world = model_.World();
    if (worldName_.empty()) return;
    const std::string remembered = world.CurrentZone;
    ui_.TracingOff();
    ClearZone();
    ForgetRooms();

    tree_.Clear();
    tree_.AddRoot(worldName_);
    world.CurrentZone = remembered;
    std::string candidate;
    ReadZoneFiles(
        ZoneFixups::Undo,
        [&](const std::string& zone, map::TMudRoom2& room) {
            // A room saved while selected marks the zone the player was in.
            if (room.Selected) world.CurrentZone = zone;
            if (candidate.empty() || zone == world.CurrentZone) candidate = zone;
            room.Selected = false;
        },
        [&] {
            if (candidate.empty()) candidate = world.CurrentZone;
        });
    world.CurrentZone = candidate;
    if (world.CurrentZone.empty()) CreateZone();
    LoadZone();
    RefreshCaption();
    ui_.CenterMap();
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

void WorldStore::Shutdown() {
    if (!worldName_.empty()) nSaveWorldClick();
    ClearZone();
    model_.World().CurrentRoom = nullptr;
}

} // namespace storage
