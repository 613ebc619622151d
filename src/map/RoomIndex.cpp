#include "map/RoomIndex.h"

#include <algorithm>

namespace map {

void RoomIndex::Insert(std::uint64_t key, TMudRoom2* room) {
    ++size_;
    if (Slot* s = const_cast<Slot*>(Find(key))) {
        if (s->many < 0) {
            if (freeLists_.empty()) {
                s->many = static_cast<std::int32_t>(lists_.size());
                lists_.emplace_back();
            } else {
                s->many = freeLists_.back();
                freeLists_.pop_back();
            }
            lists_[s->many] = {s->room};
        }
        lists_[s->many].push_back(room);
        return;
    }
    // At most 70 % full, so that probe runs stay short.
    if ((keys_ + 1) * 10 > slots_.size() * 7) Grow();
    Place(Slot{key, room, -1});
    ++keys_;
}

void RoomIndex::Place(const Slot& slot) {
    std::size_t i = slot.key & mask_;
    while (slots_[i].room)
        i = (i + 1) & mask_;
    slots_[i] = slot;
}

void RoomIndex::Grow() {
    std::vector<Slot> old;
    old.swap(slots_);
    slots_.assign(old.empty() ? 16 : old.size() * 2, Slot{});
    mask_ = slots_.size() - 1;
    for (const Slot& s : old)
        if (s.room) Place(s);
}

void RoomIndex::Erase(std::uint64_t key, TMudRoom2* room) {
    Slot* s = const_cast<Slot*>(Find(key));
    if (!s) return;
    if (s->many >= 0) {
        auto& list = lists_[s->many];
        auto it = std::find(list.begin(), list.end(), room);
        if (it == list.end()) return;
        *it = list.back();
        list.pop_back();
        --size_;
        s->room = list.front();
        if (list.size() == 1) {
            list.clear();
            freeLists_.push_back(s->many);
            s->many = -1;
        }
        return;
    }
    if (s->room != room) return;
    --size_;
    RemoveSlot(static_cast<std::size_t>(s - slots_.data()));
}

void RoomIndex::RemoveSlot(std::size_t i) {
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
    --keys_;
}

void RoomIndex::Rekey(std::uint64_t from, std::uint64_t to, TMudRoom2* room) {
    if (from == to) return;
    Erase(from, room);
    Insert(to, room);
}

void RoomIndex::Clear() {
    slots_.clear();
    mask_ = 0;
    keys_ = 0;
    size_ = 0;
    lists_.clear();
    freeLists_.clear();
}

} // namespace map
