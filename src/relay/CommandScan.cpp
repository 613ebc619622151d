#include "relay/CommandScan.h"

#include "relay/TelnetBytes.h"
#include "text/ByteSearch.h"

#include <algorithm>
#include <bit>
#include <cstring>
#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define QUARVELIN_AVX2 1
#endif

namespace relay {

using namespace telnet;

namespace {

// Bit j set where p[j] is 0xFF, p holding 64 bytes.
inline std::uint64_t IacBits(const char* p) {
#if defined(__SSE2__) || defined(_M_X64)
    const __m128i iac = _mm_set1_epi8(static_cast<char>(kIac));
    auto bits = [&](int q) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * q));
        return static_cast<std::uint64_t>(
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, iac))));
    };
    return bits(0) | bits(1) << 16 | bits(2) << 32 | bits(3) << 48;
#else
    std::uint64_t bits = 0;
    for (int j = 0; j < 64; ++j)
        if (At(p, j) == kIac) bits |= std::uint64_t{1} << j;
    return bits;
#endif
}

// Which bytes of a block of 64 follow a telnet IAC, given which are 0xFF and whether the block
// before ended in an IAC (`carry`, 1 or 0, set for the next block). Found the way JSON scanners
// find escaped characters: an IAC escapes the byte after it unless it is itself escaped, so in a
// run of 0xFF every other one is an IAC and the byte after an odd run is a command. No byte is
// looked at one by one, so the pairs of 0xFF of the letter "я" cost nothing.
inline QUARVELIN_ALWAYS_INLINE std::uint64_t AfterIac(std::uint64_t iac, std::uint64_t& carry) {
    constexpr std::uint64_t even = 0x5555555555555555ULL;
    auto work = [&](std::uint64_t in) {
        const std::uint64_t escapes = iac & ~in; // an escaped first byte escapes nothing
        const std::uint64_t follows = escapes << 1 | in;
        const std::uint64_t oddStarts = escapes & ~even & ~follows;
        const std::uint64_t sum = oddStarts + escapes;
        carry = sum < escapes ? 1 : 0; // the last byte is an IAC: it escapes the next block's
        return (even ^ (sum << 1)) & follows;
    };
    // Rarely does a block begin after an IAC: the usual way is worked out with that known.
    return carry ? work(1) : work(0);
}

// The commands of one block of 64 at i, whose 0xFF are `iac` (`valid`: the bytes that are the
// read's), written to out[count...].
inline QUARVELIN_ALWAYS_INLINE void TakeBlock(std::uint64_t iac, std::uint64_t valid, std::size_t i,
                                              std::uint64_t& carry, std::size_t* out,
                                              std::size_t& count) {
    std::uint64_t found = AfterIac(iac, carry) & ~iac & valid;
    // A block rarely holds more than two: those two are written whether there or not, so that no
    // branch waits on the bytes (the top bit keeps the count of zeros defined; what is written
    // past the count is never read).
    constexpr std::uint64_t top = std::uint64_t{1} << 63;
    const auto c = static_cast<std::size_t>(std::popcount(found));
    out[count] = i + static_cast<std::size_t>(std::countr_zero(found | top));
    found &= found - 1;
    out[count + 1] = i + static_cast<std::size_t>(std::countr_zero(found | top));
    found &= found - 1;
    for (std::size_t k = count + 2; found; found &= found - 1)
        out[k++] = i + static_cast<std::size_t>(std::countr_zero(found));
    count += c;
}

// The last block of a read, fewer than 64 bytes, goes through a zero-filled copy (a zero is no
// IAC).
template <typename Bits>
inline void TakeTail(const char* p, std::size_t i, std::size_t n, std::uint64_t& carry,
                     std::size_t* out, std::size_t& count, Bits bits) {
    char tail[64] = {};
    std::memcpy(tail, p + i, n - i);
    TakeBlock(bits(tail), (std::uint64_t{1} << (n - i)) - 1, i, carry, out, count);
}

// The commands of p[from, to) into `out`, `to` being n or `from` plus a multiple of 64; their
// count. Written out once for each kind of processor, BITS finding the 0xFF of a block: a
// function for one kind cannot be inlined into code for any other. Unrolled, the blocks' work
// overlaps.
#define QUARVELIN_FIND_BLOCKS(BITS)                                                                \
    std::size_t count = 0, i = from;                                                               \
    std::uint64_t c = carry ? 1 : 0; /* kept in a register through the loop */                     \
    const std::size_t whole = n >= 64 ? std::min(to, n - 63) : 0; /* blocks all in the read */     \
    _Pragma("GCC unroll 8") for (; i < whole; i += 64)                                             \
        TakeBlock(BITS(p + i), ~std::uint64_t{0}, i, c, out, count);                               \
    if (i < to) TakeTail(p, i, n, c, out, count, BITS);                                            \
    carry = c != 0;                                                                                \
    return count

std::size_t FindNarrow(const char* p, std::size_t from, std::size_t to, std::size_t n, bool& carry,
                       std::size_t* out) {
    QUARVELIN_FIND_BLOCKS(IacBits);
}

#if QUARVELIN_AVX2
__attribute__((target("avx2"))) inline QUARVELIN_ALWAYS_INLINE std::uint64_t
IacBitsWide(const char* q) {
    const __m256i ff = _mm256_set1_epi8(static_cast<char>(kIac));
    const __m256i lo = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(q));
    const __m256i hi = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(q + 32));
    return static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(lo, ff))) |
           static_cast<std::uint64_t>(
               static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(hi, ff))))
               << 32;
}

__attribute__((target("avx2,popcnt,bmi"))) std::size_t FindWide(const char* p, std::size_t from,
                                                                std::size_t to, std::size_t n,
                                                                bool& carry, std::size_t* out) {
    QUARVELIN_FIND_BLOCKS(IacBitsWide);
}

// With AVX-512 a block of 64 is compared at once.
__attribute__((target("avx512bw"))) inline QUARVELIN_ALWAYS_INLINE std::uint64_t
IacBitsWidest(const char* q) {
    return _mm512_cmpeq_epi8_mask(_mm512_loadu_si512(q), _mm512_set1_epi8(static_cast<char>(kIac)));
}

__attribute__((target("avx512bw,popcnt,bmi"))) std::size_t
FindWidest(const char* p, std::size_t from, std::size_t to, std::size_t n, bool& carry,
           std::size_t* out) {
    QUARVELIN_FIND_BLOCKS(IacBitsWidest);
}

// MayHoldNegotiation 32 bytes at a time: the first k in [i, n) where p[k - 1] is an IAC
// and p[k] is SB, WILL, WONT, DO or DONT; n when there is none. i is at least 1.
__attribute__((target("avx2"))) std::size_t FirstCandidateWide(const char* p, std::size_t& i,
                                                               std::size_t n) {
    const __m256i iac = _mm256_set1_epi8(static_cast<char>(kIac));
    const __m256i first = _mm256_set1_epi8(static_cast<char>(kSb));
    const __m256i span = _mm256_set1_epi8(kDont - kSb);
    for (; i + 32 <= n; i += 32) {
        const __m256i cur = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
        const __m256i prev = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i - 1));
        const __m256i d = _mm256_sub_epi8(cur, first);
        const __m256i command = _mm256_cmpeq_epi8(_mm256_min_epu8(d, span), d);
        if (_mm256_movemask_epi8(_mm256_and_si256(_mm256_cmpeq_epi8(prev, iac), command))) return i;
    }
    return n;
}

#endif

} // namespace

bool MayHoldNegotiation(const char* p, std::size_t n) {
    std::size_t i = 1;
#if QUARVELIN_AVX2
    if (text::HasAvx2() && FirstCandidateWide(p, i, n) < n) return true;
#endif
#if defined(__SSE2__) || defined(_M_X64)
    const __m128i iac = _mm_set1_epi8(static_cast<char>(kIac));
    const __m128i first = _mm_set1_epi8(static_cast<char>(kSb));
    const __m128i span = _mm_set1_epi8(kDont - kSb);
    for (; i + 16 <= n; i += 16) {
        const __m128i cur = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i prev = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i - 1));
        // SB..DONT: the byte minus SB, unsigned, is at most DONT - SB.
        const __m128i d = _mm_sub_epi8(cur, first);
        const __m128i command = _mm_cmpeq_epi8(_mm_min_epu8(d, span), d);
        if (_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(prev, iac), command))) return true;
    }
#endif
    for (; i < n; ++i)
        if (At(p, i - 1) == kIac && At(p, i) >= kSb && At(p, i) <= kDont) return true;
    return false;
}

void CommandScan::Start(const char* p, std::size_t from, std::size_t n) {
    p_ = p;
    n_ = n;
    covered_ = from;
    carry_ = false;
    count_ = taken_ = 0;
}

void CommandScan::Fill() {
    const std::size_t to = std::min(n_, covered_ + kWindow);
#if QUARVELIN_AVX2
    const text::VectorWidth width = text::Widest();
    if (width == text::VectorWidth::Avx512)
        count_ = FindWidest(p_, covered_, to, n_, carry_, found_.data());
    else if (width == text::VectorWidth::Avx2)
        count_ = FindWide(p_, covered_, to, n_, carry_, found_.data());
    else
#endif
        count_ = FindNarrow(p_, covered_, to, n_, carry_, found_.data());
    covered_ = to;
    taken_ = 0;
}

} // namespace relay
