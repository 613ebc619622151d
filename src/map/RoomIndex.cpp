#include "map/RoomIndex.h"

#include <utility>

namespace map {

void RoomIndex::Erase(std::uint64_t key, TMudRoom2* room) {
    auto [b, e] = map_.equal_range(key);
    for (; b != e; ++b)
        if (b->second == room) {
            map_.erase(b);
            return;
        }
}

void RoomIndex::Rekey(std::uint64_t from, std::uint64_t to, TMudRoom2* room) {
    if (from == to) return;
    auto [b, e] = map_.equal_range(from);
    for (; b != e; ++b)
        if (b->second == room) {
            auto node = map_.extract(b);
            node.key() = to;
            map_.insert(std::move(node));
            return;
        }
    map_.emplace(to, room);
}

} // namespace map
