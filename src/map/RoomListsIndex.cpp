// Index upkeep and the indexed searches of RoomLists.

#include "map/RoomKeys.h"
#include "map/RoomLists.h"

#include <algorithm>

namespace map {

namespace {

constexpr std::uint64_t kTagSalt = 0x7461672D6B6579ull;

std::uint64_t U(int v) {
    return static_cast<std::uint32_t>(v);
}
std::uint64_t ZonePosKey(int x, int y, int l) {
    return MixKey(U(x), U(y), U(l));
}
std::uint64_t WorldPosKey(std::uint32_t zone, int x, int y, int l) {
    return MixKey(zone, U(x), U(y), U(l));
}
std::uint64_t ZoneTagKey(int tag) {
    return MixKey(U(tag), kTagSalt);
}
std::uint64_t WorldTagKey(std::uint32_t zone, int tag) {
    return MixKey(zone, U(tag), kTagSalt);
}

bool MatchesName(const TMudRoom2& r, std::string_view name, std::string_view description,
                 std::string_view exits, bool matchDescription, const ChangingLines* changing) {
    return r.Hint == name &&
           (!matchDescription || SameDescriptionKey(r.Description, description, changing)) &&
           SameExitKey(r.Exits(), exits);
}

} // namespace

// Rooms without a name (corridor rooms) and rooms numbered 0 (corridor rooms again) would
// crowd single index entries by the thousand; they are left out of the name and number
// indexes, and searches for an empty name or the number 0 scan the list instead.

void RoomLists::RecordKeys(TMudRoom2* room) {
    auto& s = room->listing_;
    s.x = room->X;
    s.y = room->Y;
    s.l = room->L;
    s.tag = room->Tag;
    s.named = !room->Hint.empty();
    s.nameKey = NameKeyHash(room->Hint, room->Exits());
    s.descKey = DescriptionKeyHash(room->Description, changing_);
}

void RoomLists::IndexInWorld(TMudRoom2* room) {
    const auto& s = room->listing_;
    const std::uint32_t zone = world_[s.worldSlot].zone;
    worldPos_.Insert(WorldPosKey(zone, s.x, s.y, s.l), room);
    if (s.tag != 0) worldTag_.Insert(WorldTagKey(zone, s.tag), room);
    if (s.named) worldName_.Insert(s.nameKey, room);
}

void RoomLists::UnindexInWorld(TMudRoom2* room) {
    const auto& s = room->listing_;
    const std::uint32_t zone = world_[s.worldSlot].zone;
    worldPos_.Erase(WorldPosKey(zone, s.x, s.y, s.l), room);
    if (s.tag != 0) worldTag_.Erase(WorldTagKey(zone, s.tag), room);
    if (s.named) worldName_.Erase(s.nameKey, room);
}

void RoomLists::IndexInZone(TMudRoom2* room) {
    const auto& s = room->listing_;
    zonePos_.Insert(ZonePosKey(s.x, s.y, s.l), room);
    if (s.tag != 0) zoneTag_.Insert(ZoneTagKey(s.tag), room);
    if (s.named) zoneName_.Insert(s.nameKey, room);
}

void RoomLists::UnindexInZone(TMudRoom2* room) {
    const auto& s = room->listing_;
    zonePos_.Erase(ZonePosKey(s.x, s.y, s.l), room);
    if (s.tag != 0) zoneTag_.Erase(ZoneTagKey(s.tag), room);
    if (s.named) zoneName_.Erase(s.nameKey, room);
}

void RoomLists::Reindex(TMudRoom2* room) {
    if (!InWorld(room)) return;
    auto& s = room->listing_;
    const bool named = !room->Hint.empty();
    const std::uint64_t nameKey = NameKeyHash(room->Hint, room->Exits());
    s.descKey = DescriptionKeyHash(room->Description, changing_);
    if (s.tag == room->Tag && s.named == named && s.nameKey == nameKey) {
        ReindexPosition(room);
        return;
    }
    const bool inZone = InZone(room);
    UnindexInWorld(room);
    if (inZone) UnindexInZone(room);
    const bool moved = s.x != room->X || s.y != room->Y || s.l != room->L;
    RecordKeys(room);
    IndexInWorld(room);
    if (inZone) {
        IndexInZone(room);
        if (moved) {
            zone_[s.zoneSlot].key = PositionKey(room->X, room->Y, room->L);
            zoneSorted_ = false;
        }
    }
}

void RoomLists::SetChangingLines(const ChangingLines* changing) {
    changing_ = changing;
    RehashDescriptions();
}

void RoomLists::RehashDescriptions() {
    for (const WorldEntry& e : world_)
        if (e.room) e.room->listing_.descKey = DescriptionKeyHash(e.room->Description, changing_);
}

void RoomLists::ReindexPosition(TMudRoom2* room) {
    if (!InWorld(room)) return;
    auto& s = room->listing_;
    if (s.x == room->X && s.y == room->Y && s.l == room->L) return;
    const std::uint32_t zone = world_[s.worldSlot].zone;
    worldPos_.Rekey(WorldPosKey(zone, s.x, s.y, s.l), WorldPosKey(zone, room->X, room->Y, room->L),
                    room);
    if (InZone(room)) {
        zonePos_.Rekey(ZonePosKey(s.x, s.y, s.l), ZonePosKey(room->X, room->Y, room->L), room);
        zone_[s.zoneSlot].key = PositionKey(room->X, room->Y, room->L);
        zoneSorted_ = false;
    }
    s.x = room->X;
    s.y = room->Y;
    s.l = room->L;
}

// ---- Searches ----
// Candidates come from the index; the match is tested on the room's fields as they are, and
// the earliest candidate in list order wins.

TMudRoom2* RoomLists::FindInZone(int x, int y, int l) const {
    TMudRoom2* best = nullptr;
    zonePos_.ForEach(ZonePosKey(x, y, l), [&](TMudRoom2* r) {
        if (r->X == x && r->Y == y && r->L == l &&
            (!best || r->listing_.zoneSlot < best->listing_.zoneSlot))
            best = r;
    });
    return best;
}

TMudRoom2* RoomLists::FindInZoneByTag(int tag) const {
    if (tag == 0) {
        for (const auto& e : zone_)
            if (e.room && e.room->Tag == 0) return e.room;
        return nullptr;
    }
    TMudRoom2* best = nullptr;
    zoneTag_.ForEach(ZoneTagKey(tag), [&](TMudRoom2* r) {
        if (r->Tag == tag && (!best || r->listing_.zoneSlot < best->listing_.zoneSlot)) best = r;
    });
    return best;
}

TMudRoom2* RoomLists::FindInWorld(int x, int y, int l, std::string_view zone) const {
    const std::uint32_t* id = FindZoneId(zone);
    return id ? FindInWorldZone(x, y, l, *id) : nullptr;
}

void RoomLists::PrefetchInWorldZone(int x, int y, int l, std::uint32_t id) const {
    worldPos_.Prefetch(WorldPosKey(id, x, y, l));
}

TMudRoom2* RoomLists::FindInWorldZone(int x, int y, int l, std::uint32_t id) const {
    TMudRoom2* best = nullptr;
    worldPos_.ForEach(WorldPosKey(id, x, y, l), [&](TMudRoom2* r) {
        if (r->X == x && r->Y == y && r->L == l && r->listing_.zone == id &&
            (!best || r->listing_.worldSlot < best->listing_.worldSlot))
            best = r;
    });
    return best;
}

TMudRoom2* RoomLists::FindInWorldByTag(int tag, std::string_view zone) const {
    const std::uint32_t* id = FindZoneId(zone);
    if (!id) return nullptr;
    if (tag == 0) {
        for (const auto& e : world_)
            if (e.room && e.zone == *id && e.room->Tag == 0) return e.room.get();
        return nullptr;
    }
    TMudRoom2* best = nullptr;
    worldTag_.ForEach(WorldTagKey(*id, tag), [&](TMudRoom2* r) {
        if (r->Tag == tag && world_[r->listing_.worldSlot].zone == *id &&
            (!best || r->listing_.worldSlot < best->listing_.worldSlot))
            best = r;
    });
    return best;
}

TMudRoom2* RoomLists::FindInZoneByName(std::string_view name, std::string_view description,
                                       std::string_view exits, bool matchDescription) const {
    return FindByName(zoneName_, false, name, description, exits, matchDescription);
}

TMudRoom2* RoomLists::FindInWorldByName(std::string_view name, std::string_view description,
                                        std::string_view exits, bool matchDescription) const {
    return FindByName(worldName_, true, name, description, exits, matchDescription);
}

std::vector<TMudRoom2*> RoomLists::AllInWorldByName(std::string_view name,
                                                    std::string_view description,
                                                    std::string_view exits, bool matchDescription,
                                                    std::size_t limit) const {
    std::vector<TMudRoom2*> all;
    auto test = [&](TMudRoom2* r) {
        if (MatchesName(*r, name, description, exits, matchDescription, changing_))
            all.push_back(r);
    };
    if (name.empty()) {
        ForEachWorldRoom([&](TMudRoom2* r, const std::string&) { test(r); });
    } else {
        const std::uint64_t descKey =
            matchDescription ? DescriptionKeyHash(description, changing_) : 0;
        worldName_.ForEach(NameKeyHash(name, exits), [&](TMudRoom2* r) {
            if (!matchDescription || r->listing_.descKey == descKey) test(r);
        });
        std::sort(all.begin(), all.end(), [](const TMudRoom2* a, const TMudRoom2* b) {
            return a->listing_.worldSlot < b->listing_.worldSlot;
        });
    }
    if (all.size() > limit) all.resize(limit);
    return all;
}

TMudRoom2* RoomLists::FindByName(const RoomIndex& index, bool world, std::string_view name,
                                 std::string_view description, std::string_view exits,
                                 bool matchDescription) const {
    auto slot = [world](const TMudRoom2* r) {
        return world ? r->listing_.worldSlot : r->listing_.zoneSlot;
    };
    if (name.empty()) {
        TMudRoom2* found = nullptr;
        auto test = [&](TMudRoom2* r) {
            if (!found && MatchesName(*r, name, description, exits, matchDescription, changing_))
                found = r;
        };
        if (world)
            ForEachWorldRoom([&](TMudRoom2* r, const std::string&) { test(r); });
        else
            ForEachZoneRoom(test);
        return found;
    }
    const std::uint64_t key = NameKeyHash(name, exits);
    const std::uint64_t descKey = matchDescription ? DescriptionKeyHash(description, changing_) : 0;
    // Usually one candidate passes the hashes and is the answer; the full test guards against
    // hash collisions and rooms changed without a Reindex.
    TMudRoom2* best = nullptr;
    index.ForEach(key, [&](TMudRoom2* r) {
        if (matchDescription && r->listing_.descKey != descKey) return;
        if (!best || slot(r) < slot(best)) best = r;
    });
    if (!best || MatchesName(*best, name, description, exits, matchDescription, changing_))
        return best;
    std::vector<TMudRoom2*> all;
    index.ForEach(key, [&](TMudRoom2* r) { all.push_back(r); });
    std::sort(all.begin(), all.end(),
              [&](const TMudRoom2* a, const TMudRoom2* b) { return slot(a) < slot(b); });
    for (TMudRoom2* r : all)
        if (MatchesName(*r, name, description, exits, matchDescription, changing_)) return r;
    return nullptr;
}

} // namespace map
