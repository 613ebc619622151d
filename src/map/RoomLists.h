#pragma once
// The two room lists of a loaded world and the indexes that make their searches cheap.
//
// World list: every room of the world exactly once, paired with its zone name, in the order
// the rooms were loaded and then created. It owns the rooms.
// Current-zone list: the rooms of the current zone, each filed under its position key
// (PositionKey). It is put in key order by SortZone; a room added by creation is placed in
// key order at once (as an append followed by a stable sort would place it); a room whose
// position changes keeps its place with its new key until the next sort.
//
// Searches return the first match in the order of the list searched, exactly as a scan from
// the front would, but go through hashed indexes. The indexes are made from a room's
// position, Tag, Hint, Description and Exits: whoever changes one of those on a listed room
// outside the map operations must call Reindex(room) afterwards.
//
// Destroy takes a room out of both lists and every index before deleting it, so no list ever
// holds a destroyed room. Removal leaves a hole that iteration skips and a later insertion
// reclaims: destroying rooms while iterating a list is safe, adding rooms is not.

#include "map/MudRoom.h"
#include "map/RoomIndex.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace map {

class ChangingLines;

class RoomLists {
public:
    RoomLists() = default;
    RoomLists(const RoomLists&) = delete;
    RoomLists& operator=(const RoomLists&) = delete;
    ~RoomLists();

    // ---- World list ----
    // Appends the room under the zone name and takes ownership.
    TMudRoom2* AddToWorld(std::unique_ptr<TMudRoom2> room, std::string_view zone);
    // Takes the room out of both lists and every index, then deletes it.
    void Destroy(TMudRoom2* room);
    void DestroyAll();
    bool InWorld(const TMudRoom2* room) const;
    // The zone the room is filed under; empty for a room not in the world list.
    const std::string& ZoneOf(const TMudRoom2* room) const;
    // Files the room under another zone name, keeping its place in the world list.
    void SetZoneOf(TMudRoom2* room, std::string_view zone);
    // Files every room of zone `from` under `to`.
    void RenameZone(std::string_view from, std::string_view to);
    std::size_t WorldCount() const { return world_.size() - worldHoles_; }
    // f(TMudRoom2* room, const std::string& zone) for every room, in list order.
    // Slots of the world list, holes included: a dense number per listed room that walks over
    // the whole world can index side arrays with. Stable until rooms are added or destroyed.
    std::size_t WorldSlotCount() const { return world_.size(); }
    std::size_t WorldSlotOf(const TMudRoom2* room) const {
        return static_cast<std::size_t>(room->listing_.worldSlot);
    }
    // A number for the zone the room is filed under, and a position lookup by that number
    // (cheaper than by name in hot loops). Only valid for rooms in the world list.
    std::uint32_t ZoneIdOf(const TMudRoom2* room) const { return room->listing_.zone; }
    TMudRoom2* FindInWorldZone(int x, int y, int l, std::uint32_t zoneId) const;
    // A hint that FindInWorldZone will soon be asked for this position: walks over many rooms
    // call it a few rooms ahead so that the index is in the cache when they get there.
    void PrefetchInWorldZone(int x, int y, int l, std::uint32_t zoneId) const;
    template <class F> void ForEachWorldRoom(F&& f) const {
        for (std::size_t i = 0; i < world_.size(); ++i)
            if (TMudRoom2* r = world_[i].room.get()) f(r, zoneNames_[world_[i].zone]);
    }

    // ---- Current-zone list ----
    // Appends the room at the end (as a zone is rebuilt); SortZone puts the list in order.
    void AddToZone(TMudRoom2* room);
    // Adds the room and puts the list in key order (what creating a room does).
    void InsertIntoZone(TMudRoom2* room);
    // Stable sort by position key: rooms on one position keep their relative order.
    void SortZone();
    void RemoveFromZone(TMudRoom2* room);
    void ClearZone();
    bool InZone(const TMudRoom2* room) const { return room && room->listing_.zoneSlot >= 0; }
    std::size_t ZoneCount() const { return zone_.size() - zoneHoles_; }
    const std::string& ZoneKey(const TMudRoom2* room) const;
    // f(TMudRoom2* room) for every room of the current-zone list, in list order.
    template <class F> void ForEachZoneRoom(F&& f) const {
        for (std::size_t i = 0; i < zone_.size(); ++i)
            if (TMudRoom2* r = zone_[i].room) f(r);
    }
    std::vector<TMudRoom2*> ZoneRooms() const;

    // ---- Index upkeep ----
    // Refiles the room after its position, Tag, Hint, Description or Exits changed. A room
    // that changed position gets its new key in place in the current-zone list.
    void Reindex(TMudRoom2* room);
    // The same when only the position changed (cheaper: the texts are not hashed again).
    void ReindexPosition(TMudRoom2* room);

    // ---- Searches (first match in list order, nullptr when none) ----
    TMudRoom2* FindInZone(int x, int y, int l) const;
    TMudRoom2* FindInZoneByTag(int tag) const;
    // Hint equal, exit keys equal and, when matchDescription, description keys equal.
    TMudRoom2* FindInZoneByName(std::string_view name, std::string_view description,
                                std::string_view exits, bool matchDescription) const;
    TMudRoom2* FindInWorld(int x, int y, int l, std::string_view zone) const;
    TMudRoom2* FindInWorldByTag(int tag, std::string_view zone) const;
    TMudRoom2* FindInWorldByName(std::string_view name, std::string_view description,
                                 std::string_view exits, bool matchDescription) const;
    // Every room of the world that FindInWorldByName could answer, in world-list order, at
    // most `limit` of them.
    std::vector<TMudRoom2*> AllInWorldByName(std::string_view name, std::string_view description,
                                             std::string_view exits, bool matchDescription,
                                             std::size_t limit) const;

    // ---- The game's own room numbers ----
    // The room the game calls `id`; nullptr when none (or the id is empty). With two rooms of
    // one id the first one listed answers.
    TMudRoom2* FindInWorldById(std::string_view id) const;
    // Gives a listed room another id (empty: none) and refiles it.
    void SetGameId(TMudRoom2* room, std::string id);

    // ---- Visit marks for walks over rooms (a fresh mark marks nothing yet) ----
    std::uint32_t NewMark() { return ++markCounter_; }
    static bool Marked(const TMudRoom2* room, std::uint32_t mark) {
        return room->listing_.mark == mark;
    }
    static void Mark(TMudRoom2* room, std::uint32_t mark) { room->listing_.mark = mark; }

    // The lines the description keys leave out (null: none); the lists do not own them.
    void SetChangingLines(const ChangingLines* changing);
    // Every room's description key made again: the changing lines grew.
    void RehashDescriptions();
    const ChangingLines* Changing() const { return changing_; }

private:
    struct WorldEntry {
        std::unique_ptr<TMudRoom2> room; // null: a hole left by a removed room
        std::uint32_t zone = 0;
    };
    struct ZoneEntry {
        std::string key;
        TMudRoom2* room = nullptr; // null: a hole left by a removed room
    };
    struct NameQuery;

    std::uint32_t ZoneId(std::string_view zone);
    const std::uint32_t* FindZoneId(std::string_view zone) const;
    void IndexInWorld(TMudRoom2* room);
    void UnindexInWorld(TMudRoom2* room);
    void IndexInZone(TMudRoom2* room);
    void UnindexInZone(TMudRoom2* room);
    void RecordKeys(TMudRoom2* room);
    void RefreshPlace(TMudRoom2* room);
    void CompactWorldIfSparse();
    void CompactZone();
    void RenumberZone(std::size_t from);
    TMudRoom2* FindByName(const RoomIndex& index, bool world, std::string_view name,
                          std::string_view description, std::string_view exits,
                          bool matchDescription) const;

    std::vector<WorldEntry> world_;
    std::size_t worldHoles_ = 0;
    std::vector<ZoneEntry> zone_;
    std::size_t zoneHoles_ = 0;
    bool zoneSorted_ = true;
    std::vector<std::string> zoneNames_;
    std::unordered_map<std::string, std::uint32_t> zoneIds_;
    void IndexId(TMudRoom2* room);
    void UnindexId(TMudRoom2* room);
    std::unordered_map<std::string, TMudRoom2*> worldId_;
    RoomIndex worldPos_, worldTag_, worldName_;
    RoomIndex zonePos_, zoneTag_, zoneName_;
    std::uint32_t markCounter_ = 0;
    const ChangingLines* changing_ = nullptr;
};

} // namespace map
