#include "world/RoomIdentityStore.h"

namespace storage {

void RoomIdentityStore::Clear() {
    zones_.clear();
    onDisk_.reset();
    damaged = false;
}

void RoomIdentityStore::Loaded(std::map<std::string, std::vector<RoomIdentityLine>> zones,
                               std::string bytes) {
    zones_ = std::move(zones);
    onDisk_ = std::move(bytes);
}

void RoomIdentityStore::Apply(const std::string& zone, std::span<map::TMudRoom2> rooms) const {
    auto it = zones_.find(zone);
    if (it != zones_.end()) ApplyIdentityLines(rooms, it->second);
}

void RoomIdentityStore::ZoneWritten(const std::string& zone,
                                    std::span<const map::TMudRoom2* const> rooms) {
    std::vector<RoomIdentityLine> lines = IdentityLinesOf(rooms);
    if (lines.empty())
        zones_.erase(zone);
    else
        zones_[zone] = std::move(lines);
}

void RoomIdentityStore::ZoneRenamed(const std::string& from, const std::string& to) {
    if (from == to) return;
    // The file of `to` holds the rooms of `from` now, and only those.
    auto it = zones_.find(from);
    if (it == zones_.end()) {
        zones_.erase(to);
        return;
    }
    std::vector<RoomIdentityLine> lines = std::move(it->second);
    zones_.erase(it);
    zones_[to] = std::move(lines);
}

std::string RoomIdentityStore::Bytes(const std::map<std::string, std::string>& bindings) const {
    return WriteRoomIdentities(bindings, zones_);
}

bool RoomIdentityStore::NothingToWrite(const std::map<std::string, std::string>& bindings) const {
    return bindings.empty() && zones_.empty();
}

} // namespace storage
