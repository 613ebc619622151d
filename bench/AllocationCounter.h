#pragma once
// Counts the bytes the program holds by replacing the global allocator, so that a benchmark can
// set the peak during some work against what remains afterwards. Include it in one file of a
// benchmark program only.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <malloc.h>
#include <new>

namespace {
size_t g_live = 0;
size_t g_peak = 0;

void* Allocate(size_t n) {
    void* p = std::malloc(n ? n : 1);
    if (!p) throw std::bad_alloc();
    g_live += malloc_usable_size(p);
    if (g_live > g_peak) g_peak = g_live;
    return p;
}
void Release(void* p) {
    if (!p) return;
    g_live -= malloc_usable_size(p);
    std::free(p);
}
} // namespace

void* operator new(size_t n) {
    return Allocate(n);
}
void* operator new[](size_t n) {
    return Allocate(n);
}
void operator delete(void* p) noexcept {
    Release(p);
}
void operator delete[](void* p) noexcept {
    Release(p);
}
void operator delete(void* p, size_t) noexcept {
    Release(p);
}
void operator delete[](void* p, size_t) noexcept {
    Release(p);
}

// The counters of a loading benchmark: rooms loaded, the memory the loaded world keeps and the
// peak while loading, both in MB, and their ratio.
inline void ReportLoad(benchmark::State& state, size_t rooms, size_t expectedRooms,
                       double worldBytes, double peakBytes) {
    if (rooms != expectedRooms) state.SkipWithError("rooms lost");
    state.counters["rooms"] = static_cast<double>(rooms);
    state.counters["world_MB"] = worldBytes / 1e6;
    state.counters["peak_MB"] = peakBytes / 1e6;
    state.counters["peak_over_world"] = peakBytes / worldBytes;
}
