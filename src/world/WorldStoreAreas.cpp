// The game's own names for rooms and areas: "game-ids.txt", the zones bound to areas, and the
// zones made for them.

#include "files/AreaFileNames.h"
#include "files/FileSaver.h"
#include "files/Paths.h"
#include "world/WorldStore.h"
#include "world/ZoneOperations.h"

#include <set>

namespace fs = std::filesystem;

namespace storage {

fs::path WorldStore::RoomIdentityFile() const {
    return FindIgnoreCase(WorldDir(), TextToPath(kRoomIdentityFileName));
}

void WorldStore::LoadRoomIdentities() {
    map::MapWorld& world = model_.World();
    identities_.Clear();
    world.ClearZoneAreas();
    const fs::path file = RoomIdentityFile();
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(file, ec))) return; // a world from before game numbers
    std::string bytes;
    RoomIdentityReadResult read;
    if (!ReadFile(file, bytes))
        read.error = "the file cannot be read";
    else
        read = ReadRoomIdentities(bytes);
    if (!read.ok()) {
        // The world loads without it; the file is moved aside before it is first written.
        ui_.LogError("File: \"" + PathToText(file.filename()) + "\" " + read.error);
        identities_.damaged = true;
        return;
    }
    for (const auto& [zone, area] : read.data.zoneAreas)
        world.BindZone(zone, area);
    identities_.Loaded(std::move(read.data.zones), std::move(bytes));
}

bool WorldStore::WriteRoomIdentities() {
    identityPending_ = false;
    if (worldName_.empty() || !tree_.Root()) return true;
    const auto& bindings = model_.World().ZoneAreas();
    std::string bytes = identities_.Bytes(bindings);
    if (identities_.OnDisk() && *identities_.OnDisk() == bytes) return true;
    const fs::path file = RoomIdentityFile();
    std::error_code ec;
    const bool exists = fs::exists(fs::symlink_status(file, ec));
    if (!exists && identities_.NothingToWrite(bindings)) return true;
    if (exists && identities_.damaged) {
        if (!MoveDamagedAside(file, "DamagedIdsKept")) {
            ui_.LogError("File: \"" + PathToText(file.filename()) +
                         "\" the damaged file could not be moved aside");
            return false;
        }
    }
    identities_.damaged = false;
    SaveResult saved = SaveFile(file, bytes, true);
    if (!saved.ok) {
        ui_.LogError(saved.error);
        return false;
    }
    identities_.Written(std::move(bytes));
    return true;
}

void WorldStore::ZoneRenamed(const std::string& from, const std::string& to) {
    if (damaged_.erase(from)) damaged_.insert(to);
    if (unsaved_.erase(from)) unsaved_.insert(to);
    identities_.ZoneRenamed(from, to);
    model_.World().RenameZoneBinding(from, to);
    RoomIdentitiesChanged();
}

void WorldStore::ZoneDeleted(const std::string& zone) {
    damaged_.erase(zone);
    identities_.ZoneDeleted(zone);
    model_.World().ForgetZoneBinding(zone);
    RoomIdentitiesChanged();
}

bool WorldStore::BindZoneToArea(const std::string& zone, const std::string& area) {
    model_.World().BindZone(zone, area);
    tree_.Refresh();
    identityPending_ = true;
    return WriteRoomIdentities();
}

std::vector<std::string> WorldStore::KnownAreas() const {
    std::set<std::string> areas;
    model_.World().Lists().ForEachWorldRoom([&](map::TMudRoom2* r, const std::string&) {
        if (!r->GameArea.empty()) areas.insert(r->GameArea);
    });
    for (const auto& [zone, area] : model_.World().ZoneAreas())
        areas.insert(area);
    return {areas.begin(), areas.end()};
}

std::string WorldStore::ZoneCaption(std::string_view zone) const {
    const std::string& area = model_.World().AreaOfZone(zone);
    if (area.empty()) return {};
    const std::string base = AreaFileName(area);
    if (base == area || !zone.starts_with(base)) return {};
    const std::string_view number = zone.substr(base.size());
    if (number.empty()) return area;
    // "<name> 2": the second zone that wanted the name.
    if (number.size() < 2 || number[0] != ' ' ||
        number.find_first_not_of("0123456789", 1) != std::string_view::npos)
        return {};
    return area + std::string(number);
}

std::string WorldStore::UniqueZoneName(const std::string& base) const {
    if (base.empty()) return {};
    if (!ZoneNameTaken(base)) return base;
    for (int i = 2; i < 10000; ++i) {
        std::string name = base + " " + std::to_string(i);
        if (!ZoneNameTaken(name)) return name;
    }
    return {};
}

std::string WorldStore::ZoneForArea(const std::string& area) {
    map::MapWorld& world = model_.World();
    if (area.empty() || worldName_.empty() || !tree_.Root()) return {};
    const std::string& bound = world.ZoneOfArea(area);
    if (!bound.empty() && tree_.FindZone(bound)) return bound;
    const std::string base = AreaFileName(area);

    // The zone the player has just begun (the first zone of a new world) takes the area.
    const std::string current = world.CurrentZone;
    if (!current.empty() && tree_.FindZone(current) && world.AreaOfZone(current).empty() &&
        RoomsOfZone(current).empty()) {
        std::string name = current == base ? current : UniqueZoneName(base);
        if (!name.empty() && (name == current || ZoneOperations(*this).RenameZone(current, name))) {
            BindZoneToArea(name, area);
            return name;
        }
    }

    const std::string name = UniqueZoneName(base);
    if (name.empty()) return {};
    tree_.AddZone(name);
    // The zone's file exists, empty, from now on (or waits among the unsaved ones).
    SaveZones({name});
    BindZoneToArea(name, area);
    return name;
}

std::string WorldStore::ZoneBeside(const std::string& zone) {
    if (zone.empty() || worldName_.empty() || !tree_.Root()) return {};
    std::string base = zone;
    // "Лес 2" makes "Лес 3", not "Лес 2 2".
    if (const auto blank = base.rfind(' ');
        blank != std::string::npos && blank > 0 && blank + 1 < base.size() &&
        base.find_first_not_of("0123456789", blank + 1) == std::string::npos)
        base.resize(blank);
    std::string name;
    for (int i = 2; i < 10000 && name.empty(); ++i)
        if (!ZoneNameTaken(base + " " + std::to_string(i))) name = base + " " + std::to_string(i);
    if (name.empty()) return {};
    tree_.AddZone(name);
    SaveZones({name});
    return name;
}

} // namespace storage
