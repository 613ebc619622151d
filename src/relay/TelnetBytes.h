#pragma once
// The telnet bytes the relay reads and writes, and MSDP's control bytes, shared by the files
// that take the game's stream apart.

#include <cstddef>

// The steps of the scans that run for every byte or every room of the game's stream are put
// inline where they are used, where the compiler allows it.
#if defined(__GNUC__)
#define QUARVELIN_ALWAYS_INLINE __attribute__((always_inline))
#else
#define QUARVELIN_ALWAYS_INLINE
#endif

namespace relay::telnet {

constexpr unsigned char kIac = 0xFF;
constexpr unsigned char kDont = 0xFE;
constexpr unsigned char kDo = 0xFD;
constexpr unsigned char kWont = 0xFC;
constexpr unsigned char kWill = 0xFB;
constexpr unsigned char kSb = 0xFA;
constexpr unsigned char kGa = 0xF9; // go ahead: the game's prompt ends an answer
constexpr unsigned char kSe = 0xF0;
constexpr unsigned char kEor = 0xEF; // end of record: the same for games that negotiate it

// MSDP's control bytes.
constexpr char kVar = 1, kVal = 2, kTableOpen = 3, kTableClose = 4, kArrayOpen = 5, kArrayClose = 6;

inline bool IsMsdpControl(char c) {
    return c >= kVar && c <= kArrayClose;
}

// The byte at i, as the unsigned value the constants above compare with.
inline unsigned char At(const char* p, std::size_t i) {
    return static_cast<unsigned char>(p[i]);
}

} // namespace relay::telnet
