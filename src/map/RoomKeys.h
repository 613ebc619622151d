#pragma once
// The texts and hashes by which rooms are filed and compared: the position key of the
// current-zone list, and the description and exit keys of the name rule.

#include <cstdint>
#include <string>
#include <string_view>

namespace map {

class ChangingLines;

// Level + 1000 padded with "0" to four digits, "|", X, "|", Y: L 0, X 3, Y -2 gives
// "1000|3|-2". The zone list is kept in the text order of these keys.
std::string PositionKey(int x, int y, int l);

// The description with every space removed (line breaks kept).
std::string DescriptionKey(std::string_view description);
// The exit list with every space, "(" and ")" removed: a door and an open exit give one key.
std::string ExitKey(std::string_view exits);

// With `changing` (not empty), the lines it holds are left out of both descriptions first.
bool SameDescriptionKey(std::string_view a, std::string_view b,
                        const ChangingLines* changing = nullptr);
bool SameExitKey(std::string_view a, std::string_view b);
// The descriptions as printed, blanks and all, apart from the lines `changing` holds.
bool SameDescription(std::string_view a, std::string_view b, const ChangingLines* changing);

// Hashes of the keys above, computed without building them.
std::uint64_t DescriptionKeyHash(std::string_view description,
                                 const ChangingLines* changing = nullptr);
std::uint64_t NameKeyHash(std::string_view name, std::string_view exits);

// Mixes a few integers into one well-spread 64-bit key (cheap: one multiply per part and one
// finishing round; collisions are possible and every index user checks its candidates).
inline std::uint64_t MixKey(std::uint64_t a, std::uint64_t b = 0, std::uint64_t c = 0,
                            std::uint64_t d = 0) {
    std::uint64_t h = a * 0x9E3779B97F4A7C15ull ^ b * 0xC2B2AE3D27D4EB4Full ^
                      c * 0x165667B19E3779F9ull ^ d * 0xD6E8FEB86659FD93ull;
    h ^= h >> 32;
    h *= 0xbf58476d1ce4e5b9ull;
    h ^= h >> 29;
    return h;
}

} // namespace map
