#include "text/ByteSearch.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define QUARVELIN_AVX2 1
#endif

namespace text {

namespace {

#if QUARVELIN_AVX2
// The search 32 bytes at a time, on processors that have AVX2: from i while a whole block fits
// before `last`. Returns the hit or npos, and leaves i where the blocks ended.
__attribute__((target("avx2"))) std::size_t FindWide(const char* p, const char* q, std::size_t k,
                                                     std::size_t last, std::size_t& i) {
    const __m256i head = _mm256_set1_epi8(q[0]);
    const __m256i tail = _mm256_set1_epi8(q[k - 1]);
    for (; i + 31 <= last; i += 32) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i + k - 1));
        unsigned mask = static_cast<unsigned>(_mm256_movemask_epi8(
            _mm256_and_si256(_mm256_cmpeq_epi8(a, head), _mm256_cmpeq_epi8(b, tail))));
        while (mask != 0) {
            const unsigned bit = LowestBit(mask);
            if (std::memcmp(p + i + bit + 1, q + 1, k - 2) == 0) return i + bit;
            mask &= mask - 1;
        }
    }
    return std::string_view::npos;
}

// The same 64 bytes at a time with AVX-512.
__attribute__((target("avx512bw"))) std::size_t
FindWidest(const char* p, const char* q, std::size_t k, std::size_t last, std::size_t& i) {
    const __m512i head = _mm512_set1_epi8(q[0]);
    const __m512i tail = _mm512_set1_epi8(q[k - 1]);
    for (; i + 63 <= last; i += 64) {
        std::uint64_t mask = _mm512_cmpeq_epi8_mask(_mm512_loadu_si512(p + i), head) &
                             _mm512_cmpeq_epi8_mask(_mm512_loadu_si512(p + i + k - 1), tail);
        for (; mask != 0; mask &= mask - 1) {
            const auto bit = static_cast<std::size_t>(std::countr_zero(mask));
            if (std::memcmp(p + i + bit + 1, q + 1, k - 2) == 0) return i + bit;
        }
    }
    return std::string_view::npos;
}
#endif

} // namespace

namespace {
VectorWidth ProcessorWidth() {
#if QUARVELIN_AVX2
    if (__builtin_cpu_supports("avx512bw")) return VectorWidth::Avx512;
    if (__builtin_cpu_supports("avx2")) return VectorWidth::Avx2;
#endif
    return VectorWidth::Sse2;
}
const VectorWidth kProcessor = ProcessorWidth();
VectorWidth widest = kProcessor;
} // namespace

VectorWidth Widest() {
    return widest;
}

void CapVectorWidth(VectorWidth width) {
    widest = std::min(width, kProcessor);
}

std::size_t FindBytes(std::string_view hay, std::string_view needle, std::size_t from) {
    const std::size_t n = hay.size(), k = needle.size();
    if (from > n) return std::string_view::npos;
    if (k == 0) return from;
    if (k > n - from) return std::string_view::npos;
    if (k == 1) {
        const void* hit = std::memchr(hay.data() + from, needle[0], n - from);
        return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - hay.data())
                   : std::string_view::npos;
    }
    const char* const p = hay.data();
    const char* const q = needle.data();
    const std::size_t last = n - k; // the last position the needle can start at
    std::size_t i = from;
#if QUARVELIN_AVX2
    const VectorWidth width = Widest();
    if (width == VectorWidth::Avx512) {
        const std::size_t hit = FindWidest(p, q, k, last, i);
        if (hit != std::string_view::npos) return hit;
    }
    if (width >= VectorWidth::Avx2) {
        const std::size_t hit = FindWide(p, q, k, last, i);
        if (hit != std::string_view::npos) return hit;
    }
#endif
#if defined(__SSE2__) || defined(_M_X64)
    const __m128i head = _mm_set1_epi8(q[0]);
    const __m128i tail = _mm_set1_epi8(q[k - 1]);
    for (; i + 15 <= last; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + k - 1));
        unsigned mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, head), _mm_cmpeq_epi8(b, tail))));
        while (mask != 0) {
            const unsigned bit = LowestBit(mask);
            if (std::memcmp(p + i + bit + 1, q + 1, k - 2) == 0) return i + bit;
            mask &= mask - 1;
        }
    }
#endif
    for (; i <= last; ++i)
        if (p[i] == q[0] && p[i + k - 1] == q[k - 1] && std::memcmp(p + i + 1, q + 1, k - 2) == 0)
            return i;
    return std::string_view::npos;
}

} // namespace text
