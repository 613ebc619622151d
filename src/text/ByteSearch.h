#pragma once
// Looking for a few bytes in a lot of text: what runs over every byte the game sends.

#include <cstddef>
#include <string_view>
#if defined(_MSC_VER)
#include <intrin.h>
#endif

namespace text {

// The index of the lowest set bit of a non-zero mask (a vector compare's hits).
inline unsigned LowestBit(unsigned mask) {
#if defined(_MSC_VER)
    unsigned long index;
    _BitScanForward(&index, mask);
    return static_cast<unsigned>(index);
#else
    return static_cast<unsigned>(__builtin_ctz(mask));
#endif
}

// Whether this processor runs AVX2 (the scans over every byte of the game's stream then go 32
// bytes at a time). Always false where the compiler cannot build such code.
bool HasAvx2();

// Where `needle` first occurs in `hay` at or after `from`; npos when it does not (an empty
// needle is found at `from`). Sixteen bytes at a time: the needle's first and last bytes are
// compared in every position at once, and only where both match are the bytes between them.
std::size_t FindBytes(std::string_view hay, std::string_view needle, std::size_t from = 0);

} // namespace text
