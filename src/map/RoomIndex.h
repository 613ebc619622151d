#pragma once
// A hashed multi-index from 64-bit keys to rooms. Keys are already well mixed (RoomKeys.h),
// several rooms may share a key, and callers decide which candidate wins.
//
// Open addressing with linear probing in one flat array: a lookup touches one or two cache
// lines and never the rooms themselves, which matters when a push walks ten thousand rooms.

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

    // Calls f(room) for every room filed under the key.
    template <class F> void ForEach(std::uint64_t key, F&& f) const {
        if (slots_.empty()) return;
        for (std::size_t i = key & mask_; slots_[i].room; i = (i + 1) & mask_)
            if (slots_[i].key == key) f(slots_[i].room);
    }

private:
    struct Slot {
        std::uint64_t key = 0;
        TMudRoom2* room = nullptr; // null: empty slot
    };
    void Grow();
    void Place(std::uint64_t key, TMudRoom2* room);

    std::vector<Slot> slots_;
    std::size_t mask_ = 0;
    std::size_t size_ = 0;
};

} // namespace map
