#pragma once
// A hashed multi-index from 64-bit keys to rooms. Keys are already well mixed (RoomKeys.h),
// several rooms may share a key, and callers decide which candidate wins.

#include <cstdint>
#include <unordered_map>

namespace map {

class TMudRoom2;

class RoomIndex {
public:
    void Insert(std::uint64_t key, TMudRoom2* room) { map_.emplace(key, room); }
    void Erase(std::uint64_t key, TMudRoom2* room);
    // Files the room under a new key, reusing its entry.
    void Rekey(std::uint64_t from, std::uint64_t to, TMudRoom2* room);
    void Clear() { map_.clear(); }
    void Reserve(std::size_t n) { map_.reserve(n); }

    // Calls f(room) for every room filed under the key.
    template <class F> void ForEach(std::uint64_t key, F&& f) const {
        auto [b, e] = map_.equal_range(key);
        for (; b != e; ++b)
            f(b->second);
    }

private:
    struct Identity {
        std::size_t operator()(std::uint64_t k) const noexcept { return k; }
    };
    std::unordered_multimap<std::uint64_t, TMudRoom2*, Identity> map_;
};

} // namespace map
