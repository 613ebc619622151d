#pragma once
// A hashed multi-index from 64-bit keys to rooms. Keys are already well mixed (RoomKeys.h),
// several rooms may share a key, and callers decide which candidate wins.
//
// Open addressing with linear probing in one flat array of distinct keys: a lookup touches one
// or two cache lines, which matters when a push walks ten thousand rooms. Rooms sharing a key
// (a maze of identical rooms) share one slot and a list beside the table, so that they never
// lengthen the probe runs of other keys.

#include <cstdint>
#include <vector>

namespace map {

class TMudRoom2;

class RoomIndex {
public:
    void Insert(std::uint64_t key, TMudRoom2* room);
    void Erase(std::uint64_t key, TMudRoom2* room);
    // Files the room under a new key.
    void Rekey(std::uint64_t from, std::uint64_t to, TMudRoom2* room);
    void Clear();
    std::size_t Size() const { return size_; }

    // Asks the processor to fetch the first probe of a later lookup of the key (a hint only).
    void Prefetch(std::uint64_t key) const {
        if (!slots_.empty()) __builtin_prefetch(&slots_[key & mask_]);
    }

    // Calls f(room) for every room filed under the key.
    template <class F> void ForEach(std::uint64_t key, F&& f) const {
        const Slot* s = Find(key);
        if (!s) return;
        if (s->many < 0) {
            f(s->room);
            return;
        }
        for (TMudRoom2* r : lists_[s->many])
            f(r);
    }

private:
    struct Slot {
        std::uint64_t key = 0;
        TMudRoom2* room = nullptr; // the one room, or any of many; null: empty slot
        std::int32_t many = -1;    // index in lists_ when several rooms share the key
    };
    const Slot* Find(std::uint64_t key) const {
        if (slots_.empty()) return nullptr;
        for (std::size_t i = key & mask_; slots_[i].room; i = (i + 1) & mask_)
            if (slots_[i].key == key) return &slots_[i];
        return nullptr;
    }
    void Grow();
    void Place(const Slot& slot);
    void RemoveSlot(std::size_t i);

    std::vector<Slot> slots_;
    std::size_t mask_ = 0;
    std::size_t keys_ = 0; // occupied slots
    std::size_t size_ = 0; // rooms filed
    std::vector<std::vector<TMudRoom2*>> lists_;
    std::vector<std::int32_t> freeLists_;
};

} // namespace map
