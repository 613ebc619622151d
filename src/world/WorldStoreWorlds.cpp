#include "world/WorldStore.h"

#include "files/FileSaver.h"
#include "files/Language.h"
#include "files/Paths.h"
#include "profile/WorldProfile.h"
#include "text/Text.h"

namespace fs = std::filesystem;

namespace storage {

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
        identities_.Apply(*zone, read.rooms);
        for (map::TMudRoom2& room : read.rooms) {
            onRoom(*zone, room);
            map::TMudRoom2* added =
                world.AddRoom(std::make_unique<map::TMudRoom2>(std::move(room)), *zone);
            if (!added->QuickList.empty()) tree_.AddQuickListNode(node, added);
        }
        if (!read.ok()) {
            ui_.LogError(read.LogLine());
            damaged_.insert(*zone);
        }
        afterFile();
    }
}

void WorldStore::ForgetRooms() {
    map::MapWorld& world = model_.World();
    damaged_.clear();
    unsaved_.clear();
    toldNotWritable_ = false;
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
    LoadRoomIdentities();
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

void WorldStore::nLoadWorldClick() {
    map::MapWorld& world = model_.World();
    const std::string oldWorld = worldName_;
    const std::string oldZone = world.CurrentZone;
    if (!world.Saved) nSaveWorldClick();

    if (std::optional<WorldChoice> chosen = ui_.ChooseWorld(ChooserMode::Load, "")) {
        nSaveWorldClick();
        worldName_ = chosen->name;
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
    std::optional<NewWorldGame> game;
    for (;;) {
        std::optional<WorldChoice> chosen = ui_.ChooseWorld(ChooserMode::Create, name);
        if (!chosen) return;
        name = chosen->name;
        game = chosen->game;
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
    identities_.Clear();
    world.ClearZoneAreas();
    tree_.Clear();
    world.HighestRoomNumber = 0;
    worldName_ = name;
    world.CurrentZone.clear();
    std::error_code ec;
    fs::create_directories(MapsDir() / TextToPath(name), ec);
    // The game's profile, chosen with the name, is the world's from the start.
    if (game) {
        const std::string error = WriteWorldProfile(
            game->profile, MapsDir() / TextToPath(name) / "local.ini", game->server);
        if (!error.empty()) ui_.LogError(error);
    }
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
        std::optional<WorldChoice> chosen = ui_.ChooseWorld(ChooserMode::Save, name);
        if (!chosen) return;
        name = chosen->name;
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
    // The copy gets every room's game number and every binding, in a file of its own; a damaged
    // file stays behind in the old world.
    identities_.ForgetDisk();
    identities_.damaged = false;
    tree_.SetText(tree_.Root(), name);
    std::error_code ec;
    fs::create_directories(WorldDir(), ec);
    CopyWorldFiles(oldDir, WorldDir());
    world.Saved = false;
    nSaveWorldClick();
    ui_.WriteSettings();
    RefreshCaption();
}

// ---- Undo ----

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

} // namespace storage
