#include "map/MapWorld.h"

#include "map/RoomKeys.h"
#include "profile/WorldProfile.h"
#include "text/Text.h"

#include <algorithm>

namespace map {

// ---- Filling, switching zones, destroying ----

TMudRoom2* MapWorld::AddRoom(std::unique_ptr<TMudRoom2> room, std::string_view zone) {
    return lists_.AddToWorld(std::move(room), zone);
}

void MapWorld::LoadZoneRooms() {
    lists_.ClearZone();
    HighestRoomNumber = 0;
    lists_.ForEachWorldRoom([&](TMudRoom2* r, const std::string& zone) {
        if (zone != CurrentZone) return;
        lists_.AddToZone(r);
        HighestRoomNumber = std::max(HighestRoomNumber, r->Tag);
    });
    lists_.SortZone();
    RecomputeExtents();
}

void MapWorld::ClearZone() {
    lists_.ForEachZoneRoom([](TMudRoom2* r) {
        r->Selected = false;
        r->Checked = false;
    });
    lists_.ClearZone();
    ui_.Repaint();
}

void MapWorld::DestroyRoom(TMudRoom2* room) {
    if (!room || !lists_.InWorld(room)) return;
    if (BeforeDestroy) BeforeDestroy(room);
    if (room == CurrentRoom) {
        ui_.TracingOff();
        CurrentRoom = nullptr;
    }
    if (room == ContextRoom) ContextRoom = nullptr;
    if (room == ReturnRoom) ReturnRoom = nullptr;
    // A node of the zone tree may hold the room even after its QuickList was emptied by an
    // edit of the node's text, so the tree is always asked.
    ui_.RemoveQuickListNodes(room);
    lists_.Destroy(room);
}

void MapWorld::DestroyAllRooms() {
    if (BeforeDestroy) BeforeDestroy(nullptr);
    CurrentRoom = ContextRoom = ReturnRoom = nullptr;
    lists_.DestroyAll();
    changing_.Clear();
}

void MapWorld::WidenExtents(int x, int y, int l) {
    Extents.MinX = std::min(Extents.MinX, x);
    Extents.MaxX = std::max(Extents.MaxX, x);
    Extents.MinY = std::min(Extents.MinY, y);
    Extents.MaxY = std::max(Extents.MaxY, y);
    Extents.MinL = std::min(Extents.MinL, l);
    Extents.MaxL = std::max(Extents.MaxL, l);
}

bool MapWorld::RecomputeExtents() {
    bool first = true;
    MapExtents e;
    lists_.ForEachZoneRoom([&](TMudRoom2* r) {
        if (first) {
            e = {r->X, r->X, r->Y, r->Y, r->L, r->L};
            first = false;
            return;
        }
        e.MinX = std::min(e.MinX, r->X);
        e.MaxX = std::max(e.MaxX, r->X);
        e.MinY = std::min(e.MinY, r->Y);
        e.MaxY = std::max(e.MaxY, r->Y);
        e.MinL = std::min(e.MinL, r->L);
        e.MaxL = std::max(e.MaxL, r->L);
    });
    if (first) return false;
    Extents = e;
    return true;
}

// ---- Lookups ----

TMudRoom2* MapWorld::FindRoomByAlias(std::string_view alias) const {
    // Only the run-to command asks, and few rooms have an alias: a scan is cheap and can never
    // miss an alias set through the zone tree.
    TMudRoom2* found = nullptr;
    lists_.ForEachWorldRoom([&](TMudRoom2* r, const std::string&) {
        if (!found && !r->QuickList.empty() && text::EqualsIgnoreCaseCp1251(r->QuickList, alias))
            found = r;
    });
    return found;
}

TMudRoom2* MapWorld::FindRoomByName(std::string_view name, std::string_view description,
                                    std::string_view exits) const {
    return lists_.FindInZoneByName(name, description, exits, !profile_.NoDescription);
}

TMudRoom2* MapWorld::GlobalFindRoomByName(std::string_view name, std::string_view description,
                                          std::string_view exits) const {
    return lists_.FindInWorldByName(name, description, exits, !profile_.NoDescription);
}

bool MapWorld::SameRoom(const TMudRoom2* room, std::string_view name, std::string_view description,
                        std::string_view exits) const {
    if (!room || room->Pipe) return false;
    if (room->Hint == profile_.Dark || name == profile_.Dark) return true;
    if (room->Hint != name) return false;
    if (!room->Description.empty() && !description.empty())
        return SameDescription(room->Description, description, &changing_);
    if (exits.empty() || room->Exits().empty()) return true;
    return SameExitKey(room->Exits(), exits);
}

bool MapWorld::MayDifferByItself(const TMudRoom2* room, std::string_view description,
                                 const TMudRoom2* besides) const {
    if (!room || room->Pipe || !changing_.MayDifferByItself(room->Description, description))
        return false;
    const std::vector<std::string_view> printed = DescriptionLines(description);
    std::vector<std::string_view> kept;
    for (std::string_view line : DescriptionLines(room->Description))
        if (!line.empty() && !changing_.Has(line) &&
            std::find(printed.begin(), printed.end(), line) != printed.end())
            kept.push_back(line);
    constexpr std::size_t kNamesakes = 64;
    for (const TMudRoom2* other :
         lists_.AllInWorldByName(room->Hint, "", room->Exits(), false, kNamesakes)) {
        if (other == room || other == besides || other->Pipe) continue;
        const std::vector<std::string_view> theirs = DescriptionLines(other->Description);
        if (std::all_of(kept.begin(), kept.end(), [&](std::string_view line) {
                return std::find(theirs.begin(), theirs.end(), line) != theirs.end();
            }))
            return false;
    }
    return true;
}

bool MapWorld::LearnChangingLines(const TMudRoom2* room, std::string_view description) {
    if (!room || room->Pipe || description.empty()) return false;
    if (!changing_.Observe(reinterpret_cast<std::uintptr_t>(room), room->Description, description))
        return false;
    lists_.RehashDescriptions();
    return true;
}

void MapWorld::AddChangingLine(std::string line) {
    if (changing_.Add(std::move(line))) lists_.RehashDescriptions();
}

void MapWorld::ClearChangingLines() {
    changing_.Clear();
    lists_.RehashDescriptions();
}

void MapWorld::RefreshProp(TMudRoom2* room, std::string_view name, std::string_view description,
                           std::string_view exits) {
    if (!room || name == profile_.Dark) return;
    if (!room->Description.empty() && room->Description != description && ZoneLocked) return;
    room->Hint = std::string(name);
    if (!description.empty() && description != "Editing") room->Description = description;
    if (!SameExitKey(room->Exits(), exits)) {
        const bool none = text::FindLatin(exits, profile_.NoExits, profile_.AutoexitsIgnoreCase) !=
                          std::string_view::npos;
        room->SetExits(none ? std::string() : std::string(exits), profile_);
    }
    lists_.Reindex(room);
}

namespace {
const std::string kNone;
}

const std::string& MapWorld::ZoneOfArea(std::string_view area) const {
    if (area.empty()) return kNone;
    for (const auto& [zone, a] : zoneAreas_)
        if (a == area) return zone;
    return kNone;
}

const std::string& MapWorld::AreaOfZone(std::string_view zone) const {
    auto it = zoneAreas_.find(std::string(zone));
    return it == zoneAreas_.end() ? kNone : it->second;
}

void MapWorld::BindZone(const std::string& zone, const std::string& area) {
    zoneAreas_.erase(zone);
    if (area.empty()) return;
    for (auto it = zoneAreas_.begin(); it != zoneAreas_.end();)
        it = it->second == area ? zoneAreas_.erase(it) : std::next(it);
    zoneAreas_[zone] = area;
}

void MapWorld::RenameZoneBinding(const std::string& from, const std::string& to) {
    auto it = zoneAreas_.find(from);
    if (it == zoneAreas_.end() || from == to) return;
    std::string area = std::move(it->second);
    zoneAreas_.erase(it);
    BindZone(to, area);
}

} // namespace map
