#include "map/RoomIndex.h"

namespace map {

void RoomIndex::Insert(std::uint64_t key, TMudRoom2* room) {
    // At most 70 % full, so that probe runs stay short.
    if ((size_ + 1) * 10 > slots_.size() * 7) Grow();
    Place(key, room);
    ++size_;
}

void RoomIndex::Place(std::uint64_t key, TMudRoom2* room) {
    std::size_t i = key & mask_;
    while (slots_[i].room)
        i = (i + 1) & mask_;
    slots_[i] = {key, room};
}

void RoomIndex::Grow() {
    std::vector<Slot> old;
    old.swap(slots_);
    slots_.assign(old.empty() ? 16 : old.size() * 2, Slot{});
    mask_ = slots_.size() - 1;
    for (const Slot& s : old)
        if (s.room) Place(s.key, s.room);
}

void RoomIndex::Erase(std::uint64_t key, TMudRoom2* room) {
    if (slots_.empty()) return;
    std::size_t i = key & mask_;
    while (slots_[i].room && !(slots_[i].key == key && slots_[i].room == room))
        i = (i + 1) & mask_;
    if (!slots_[i].room) return;
    // Backward-shift deletion: pull later entries of the run into the hole when their home
    // slot does not lie between the hole and themselves.
    std::size_t j = i;
    for (;;) {
        j = (j + 1) & mask_;
        if (!slots_[j].room) break;
        const std::size_t home = slots_[j].key & mask_;
        const bool staysPut = i <= j ? (i < home && home <= j) : (i < home || home <= j);
        if (staysPut) continue;
        slots_[i] = slots_[j];
        i = j;
    }
    slots_[i] = Slot{};
    --size_;
}

void RoomIndex::Rekey(std::uint64_t from, std::uint64_t to, TMudRoom2* room) {
    if (from == to) return;
    Erase(from, room);
    Insert(to, room);
}

void RoomIndex::Clear() {
    slots_.clear();
    mask_ = 0;
    size_ = 0;
}

} // namespace map
