#include "map/RoomLists.h"

#include "map/RoomKeys.h"

#include <algorithm>
#include <stdexcept>

namespace map {

namespace {

const std::string kNoZone;

} // namespace

RoomLists::~RoomLists() = default;

// ---- World list ----

TMudRoom2* RoomLists::AddToWorld(std::unique_ptr<TMudRoom2> room, std::string_view zone) {
    if (!room || room->listing_.worldSlot >= 0)
        throw std::logic_error("RoomLists::AddToWorld: room missing or already listed");
    CompactWorldIfSparse();
    TMudRoom2* r = room.get();
    RecordKeys(r);
    r->listing_.worldSlot = static_cast<std::int32_t>(world_.size());
    r->listing_.zone = ZoneId(zone);
    world_.push_back({std::move(room), r->listing_.zone});
    IndexInWorld(r);
    IndexId(r);
    return r;
}

void RoomLists::IndexId(TMudRoom2* room) {
    if (!room->GameId.empty()) worldId_.try_emplace(room->GameId, room);
}

void RoomLists::UnindexId(TMudRoom2* room) {
    if (room->GameId.empty()) return;
    auto it = worldId_.find(room->GameId);
    if (it == worldId_.end() || it->second != room) return;
    worldId_.erase(it);
    // Another room of the same id (a copy) answers from now on.
    for (const WorldEntry& e : world_)
        if (e.room && e.room.get() != room && e.room->GameId == room->GameId) {
            worldId_.emplace(room->GameId, e.room.get());
            break;
        }
}

TMudRoom2* RoomLists::FindInWorldById(std::string_view id) const {
    if (id.empty()) return nullptr;
    auto it = worldId_.find(std::string(id));
    return it == worldId_.end() ? nullptr : it->second;
}

void RoomLists::SetGameId(TMudRoom2* room, std::string id) {
    if (!InWorld(room)) {
        room->GameId = std::move(id);
        return;
    }
    if (room->GameId == id) return;
    UnindexId(room);
    room->GameId = std::move(id);
    IndexId(room);
}

void RoomLists::Destroy(TMudRoom2* room) {
    if (!InWorld(room)) return;
    RemoveFromZone(room);
    UnindexInWorld(room);
    UnindexId(room);
    auto& entry = world_[room->listing_.worldSlot];
    std::unique_ptr<TMudRoom2> owned = std::move(entry.room);
    room->listing_.worldSlot = -1;
    ++worldHoles_;
    // Deleted only now, with nothing left that refers to it.
}

void RoomLists::DestroyAll() {
    ClearZone();
    worldPos_.Clear();
    worldTag_.Clear();
    worldName_.Clear();
    worldId_.clear();
    world_.clear();
    worldHoles_ = 0;
}

bool RoomLists::InWorld(const TMudRoom2* room) const {
    return room && room->listing_.worldSlot >= 0 &&
           static_cast<std::size_t>(room->listing_.worldSlot) < world_.size() &&
           world_[room->listing_.worldSlot].room.get() == room;
}

const std::string& RoomLists::ZoneOf(const TMudRoom2* room) const {
    if (!InWorld(room)) return kNoZone;
    return zoneNames_[world_[room->listing_.worldSlot].zone];
}

void RoomLists::SetZoneOf(TMudRoom2* room, std::string_view zone) {
    if (!InWorld(room)) return;
    std::uint32_t id = ZoneId(zone);
    auto& entry = world_[room->listing_.worldSlot];
    if (entry.zone == id) return;
    UnindexInWorld(room);
    entry.zone = room->listing_.zone = id;
    IndexInWorld(room);
}

void RoomLists::RenameZone(std::string_view from, std::string_view to) {
    const std::uint32_t* fromId = FindZoneId(from);
    if (!fromId || from == to) return;
    const std::uint32_t oldId = *fromId;
    const std::uint32_t newId = ZoneId(to);
    for (auto& entry : world_) {
        if (!entry.room || entry.zone != oldId) continue;
        UnindexInWorld(entry.room.get());
        entry.zone = entry.room->listing_.zone = newId;
        IndexInWorld(entry.room.get());
    }
}

std::uint32_t RoomLists::ZoneId(std::string_view zone) {
    if (const std::uint32_t* id = FindZoneId(zone)) return *id;
    auto id = static_cast<std::uint32_t>(zoneNames_.size());
    zoneNames_.emplace_back(zone);
    zoneIds_.emplace(std::string(zone), id);
    return id;
}

const std::uint32_t* RoomLists::FindZoneId(std::string_view zone) const {
    auto it = zoneIds_.find(std::string(zone));
    return it == zoneIds_.end() ? nullptr : &it->second;
}

void RoomLists::CompactWorldIfSparse() {
    if (worldHoles_ < 64 || worldHoles_ * 2 < world_.size()) return;
    std::size_t out = 0;
    for (std::size_t i = 0; i < world_.size(); ++i) {
        if (!world_[i].room) continue;
        if (out != i) world_[out] = std::move(world_[i]);
        world_[out].room->listing_.worldSlot = static_cast<std::int32_t>(out);
        ++out;
    }
    world_.resize(out);
    worldHoles_ = 0;
}

// ---- Current-zone list ----

void RoomLists::AddToZone(TMudRoom2* room) {
    if (!InWorld(room)) throw std::logic_error("RoomLists::AddToZone: room not in the world");
    if (InZone(room)) return;
    RefreshPlace(room);
    if (zoneHoles_ * 2 > zone_.size()) CompactZone();
    std::string key = PositionKey(room->X, room->Y, room->L);
    if (!zone_.empty() && zone_.back().key > key) zoneSorted_ = false;
    room->listing_.zoneSlot = static_cast<std::int32_t>(zone_.size());
    zone_.push_back({std::move(key), room});
    IndexInZone(room);
}

void RoomLists::InsertIntoZone(TMudRoom2* room) {
    if (!InWorld(room)) throw std::logic_error("RoomLists::InsertIntoZone: room not in the world");
    if (InZone(room)) return;
    if (!zoneSorted_) {
        AddToZone(room);
        SortZone();
        return;
    }
    RefreshPlace(room);
    if (zoneHoles_ * 2 > zone_.size()) CompactZone();
    std::string key = PositionKey(room->X, room->Y, room->L);
    // After the entries of equal key, as a stable sort of the appended room would put it.
    auto at = std::upper_bound(zone_.begin(), zone_.end(), key,
                               [](const std::string& k, const ZoneEntry& e) { return k < e.key; });
    std::size_t slot = static_cast<std::size_t>(at - zone_.begin());
    zone_.insert(at, ZoneEntry{std::move(key), room});
    RenumberZone(slot);
    IndexInZone(room);
}

void RoomLists::SortZone() {
    CompactZone();
    std::stable_sort(zone_.begin(), zone_.end(),
                     [](const ZoneEntry& a, const ZoneEntry& b) { return a.key < b.key; });
    RenumberZone(0);
    zoneSorted_ = true;
}

void RoomLists::RemoveFromZone(TMudRoom2* room) {
    if (!InZone(room)) return;
    UnindexInZone(room);
    zone_[room->listing_.zoneSlot].room = nullptr;
    room->listing_.zoneSlot = -1;
    ++zoneHoles_;
}

void RoomLists::ClearZone() {
    for (auto& e : zone_)
        if (e.room) e.room->listing_.zoneSlot = -1;
    zone_.clear();
    zoneHoles_ = 0;
    zoneSorted_ = true;
    zonePos_.Clear();
    zoneTag_.Clear();
    zoneName_.Clear();
}

const std::string& RoomLists::ZoneKey(const TMudRoom2* room) const {
    return InZone(room) ? zone_[room->listing_.zoneSlot].key : kNoZone;
}

std::vector<TMudRoom2*> RoomLists::ZoneRooms() const {
    std::vector<TMudRoom2*> out;
    out.reserve(ZoneCount());
    ForEachZoneRoom([&](TMudRoom2* r) { out.push_back(r); });
    return out;
}

void RoomLists::RefreshPlace(TMudRoom2* room) {
    // Position and number may have been set after the room joined the world (a loaded zone is
    // moved into view); texts are kept current by whoever changes them.
    const auto& s = room->listing_;
    if (s.tag != room->Tag)
        Reindex(room);
    else
        ReindexPosition(room);
}

void RoomLists::CompactZone() {
    if (zoneHoles_ == 0) return;
    // Holes keep their keys, so dropping them never unsorts a sorted list.
    std::erase_if(zone_, [](const ZoneEntry& e) { return e.room == nullptr; });
    zoneHoles_ = 0;
    RenumberZone(0);
}

void RoomLists::RenumberZone(std::size_t from) {
    for (std::size_t i = from; i < zone_.size(); ++i)
        if (zone_[i].room) zone_[i].room->listing_.zoneSlot = static_cast<std::int32_t>(i);
}

} // namespace map
