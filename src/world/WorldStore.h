#pragma once
// The loaded world on disk and in memory: loading a world from its directory of zone files,
// making a zone current, saving zones, creating, loading and copying worlds, undo, the lock
// list and the caption. Rooms live in the map's world; the zone tree model mirrors the world's
// zones and their quick-list rooms.
//
// A world is the directory Maps/<world name> in the data directory; names are Windows-1251
// inside the program and are looked up on disk without regard to letter case.

#include "files/ZoneFile.h"
#include "map/MapModel.h"
#include "world/RoomIdentityStore.h"
#include "world/WorldUi.h"
#include "world/ZoneTree.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace profile {
struct WorldProfile;
}

namespace storage {

class Language;

class WorldStore {
public:
    WorldStore(map::MapModel& model, profile::WorldProfile& profile, const Language& language,
               WorldUi& ui, std::filesystem::path dataDir, std::string versionText);
    WorldStore(const WorldStore&) = delete;
    WorldStore& operator=(const WorldStore&) = delete;

    // Called before the whole world is saved, to let a choice that tracking left open be made
    // so that the moves made meanwhile are on the map.
    std::function<void()> BeforeSave;

    // ---- State ----
    const std::string& WorldName() const { return worldName_; }
    // Names the world that the next LoadWorld loads (start-up takes it from the settings).
    void SetWorldName(std::string name) { worldName_ = std::move(name); }
    const std::string& CurrentZone() const { return model_.World().CurrentZone; }
    ZoneTree& Tree() { return tree_; }
    map::MapModel& Model() { return model_; }
    WorldUi& Ui() { return ui_; }
    const Language& Texts() const { return language_; }
    // "Maps" in the data directory, in whatever letter case it exists.
    std::filesystem::path MapsDir() const;
    // The directory of a world (any letter case), or of the loaded world.
    std::filesystem::path WorldDirOf(std::string_view world) const;
    std::filesystem::path WorldDir() const { return WorldDirOf(worldName_); }

    // "[" world "." zone "] Quarvelin v. " version
    std::string Caption() const;
    void RefreshCaption() { ui_.SetCaption(Caption()); }

    // ---- Lock list (the profile's [Lock] section) ----
    bool IsLocked(std::string_view zone) const;
    void SetLocked(std::string_view zone, bool locked);

    // ---- Worlds ----
    // Loads the world named by WorldName. A missing directory is reported and empties the name;
    // the rooms in memory are then left as they were.
    void LoadWorld();
    // Makes the zone named by CurrentZone current: its rooms, its tree node, ZoneLocked.
    void LoadZone();
    // Unselects and unchecks the current zone's rooms and empties the current-zone list.
    void ClearZone();
    // Writes the current zone to its file; false (after the message) when the file could not
    // be replaced, which leaves the saved flag as it was. A save that works also writes the
    // zones whose last save failed.
    bool SaveZone();
    // Writes the zones whose last save failed (a world directory that was read-only for a
    // while); true when none is left unsaved.
    bool SaveUnsavedZones();
    bool HasUnsavedZones() const { return !unsaved_.empty(); }
    // Writes these zones (the current one too when named); false when one could not be
    // written. The saved flag keeps telling about the current zone.
    bool SaveZones(const std::set<std::string>& zones);
    // A zone other than the current one was changed in memory: it is saved with the next save.
    void MarkUnsaved(const std::string& zone) { unsaved_.insert(zone); }
    // Saves every zone of the tree, then the object base when it changed. False when a zone
    // could not be written.
    bool nSaveWorldClick();
    void nLoadWorldClick();
    void nNewWorldClick();
    void nSaveWorldAsClick();
    // Reloads every zone from its file, dropping all unsaved changes of the map.
    void btnUndoClick();

    // Makes another zone current for tracking: saves the current one first when asked, clears
    // the view, loads the other. False for an empty zone name.
    bool SwitchZone(const std::string& zone, bool saveFirst);
    // Creates a new, empty zone named after the "New zone" caption (with a number when taken),
    // writes its file and makes it current. Null when no world is loaded.
    ZoneTreeNode* CreateZone();

    // A zone was renamed (its file with it): a damaged file is still kept before the next save,
    // a zone not yet saved is still saved; its rooms' game numbers and its area follow it.
    void ZoneRenamed(const std::string& from, const std::string& to);
    // A zone was deleted with its file: its rooms' game numbers and its area go too.
    void ZoneDeleted(const std::string& zone);

    // ---- The game's areas (kept in "game-ids.txt" with the rooms' game numbers) ----
    // The zone for the game's area: the zone bound to it; else the current zone, when it holds
    // no room and is bound to nothing, renamed after the area and bound to it; else a new,
    // empty zone named after the area and bound to it. The current zone stays current (only its
    // name may change). Empty when no zone can be had: no world, an empty area name.
    std::string ZoneForArea(const std::string& area);
    // A new zone beside `zone` for rooms its grid has no cell for: "<zone> 2" (the number after
    // a numbered zone's base name), added to the tree and saved empty. Empty when the world has
    // no tree or no free name.
    std::string ZoneBeside(const std::string& zone);
    // Binds a zone to an area (an empty area unbinds it; an area has one zone: another zone
    // bound to it loses it) and writes the file at once. False when the file was not written.
    bool BindZoneToArea(const std::string& zone, const std::string& area);
    // The areas the world's rooms carry and the zones are bound to, sorted, each once.
    std::vector<std::string> KnownAreas() const;
    // What the zone tree shows for a zone named after its area when the area's name had to be
    // written otherwise to be a file name: the area's own name (with the zone's number, if
    // any). Empty for every other zone.
    std::string ZoneCaption(std::string_view zone) const;
    // Writes "game-ids.txt" when what it should hold differs from what it holds; no file is
    // made while there is nothing to write. False (after a line in the log) when it could not.
    bool WriteRoomIdentities();

    // ---- Start and end ----
    // First activation: the named world is loaded; when no world results, a new one is offered.
    void Startup();
    // Window close: every zone saved, the zone cleared, the player's room forgotten. False when
    // a zone could not be written: then the map stays as it is (SaveUnsavedZones later).
    bool Shutdown();

private:
    using ZoneRooms = std::unordered_map<std::string, std::vector<const map::TMudRoom2*>>;

    std::string Text(std::string_view section, std::string_view key) const;
    bool WorldExists(std::string_view world) const;
    bool SaveZoneRooms(const std::vector<const map::TMudRoom2*>& rooms);
    // Moves a damaged zone file aside under a name of its own; false when it could not.
    bool KeepDamagedOriginal(const std::string& zone, const std::filesystem::path& file);
    // Moves a file aside as "<name>.damaged" (".damaged.1" ... when taken) and tells the player
    // with the message of `messageKey`; the name it now has, or nullopt when it could not.
    std::optional<std::filesystem::path> MoveDamagedAside(const std::filesystem::path& file,
                                                          std::string_view messageKey);
    // Reads the world's "game-ids.txt": the bindings go to the map's world, the rooms' lines
    // wait for the zone files. A file that makes no sense is left out (and kept aside later).
    void LoadRoomIdentities();
    std::filesystem::path RoomIdentityFile() const;
    // Writes of "game-ids.txt" wait while zones are saved one after another.
    struct IdentityBatch;
    void RoomIdentitiesChanged();
    // The zone name for an area's file name, with a number when taken; empty when none is free.
    std::string UniqueZoneName(const std::string& base) const;
    std::vector<const map::TMudRoom2*> RoomsOfZone(std::string_view zone) const;
    std::string ProposeWorldName() const;
    bool ZoneNameTaken(std::string_view zone) const;
    // Enumerates the zone files into the world and the tree. `onRoom` runs for each room read,
    // before it joins the world; `afterFile` after each file.
    template <class OnRoom, class AfterFile>
    void ReadZoneFiles(ZoneFixups fixups, OnRoom onRoom, AfterFile afterFile);
    void ForgetRooms();
    bool EmptyWorldDirectory(const std::filesystem::path& dir) const;
    void CopyWorldFiles(const std::filesystem::path& from, const std::filesystem::path& to) const;

    map::MapModel& model_;
    profile::WorldProfile& profile_;
    const Language& language_;
    WorldUi& ui_;
    std::filesystem::path dataDir_;
    std::string versionText_;
    std::string worldName_;
    // Zones whose file failed to load part-way: before such a file is first written, the
    // original is moved aside (".damaged"), so that the rooms behind the fault are never lost.
    std::unordered_set<std::string> damaged_;
    // Zones whose last save failed, and whether the player has been told that the world's
    // directory takes no files (told once until a save works again).
    std::unordered_set<std::string> unsaved_;
    bool toldNotWritable_ = false;
    RoomIdentityStore identities_;
    int identityBatch_ = 0;
    bool identityPending_ = false;
    ZoneTree tree_;
};

} // namespace storage
