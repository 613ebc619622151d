#pragma once
// Looking for a few bytes in a lot of text: what runs over every byte the game sends.

#include <cstddef>
#include <string_view>

namespace text {

// Where `needle` first occurs in `hay` at or after `from`; npos when it does not (an empty
// needle is found at `from`). Sixteen bytes at a time: the needle's first and last bytes are
// compared in every position at once, and only where both match are the bytes between them.
std::size_t FindBytes(std::string_view hay, std::string_view needle, std::size_t from = 0);

} // namespace text
