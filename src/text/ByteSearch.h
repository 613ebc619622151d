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

// How wide the scans over every byte of the game's stream go: 16 bytes at a time (SSE2), 32
// (AVX2) or 64 (AVX-512), as this processor allows and the compiler can build. Tests cap it, to
// try every way on any processor.
enum class VectorWidth { Sse2, Avx2, Avx512 };
VectorWidth Widest();
void CapVectorWidth(VectorWidth width);
inline bool HasAvx2() {
    return Widest() >= VectorWidth::Avx2;
}

// Where `needle` first occurs in `hay` at or after `from`; npos when it does not (an empty
// needle is found at `from`). Sixteen bytes at a time: the needle's first and last bytes are
// compared in every position at once, and only where both match are the bytes between them.
std::size_t FindBytes(std::string_view hay, std::string_view needle, std::size_t from = 0);

} // namespace text
