#include "map/RoomKeys.h"

#include "map/ChangingLines.h"

#include <vector>

namespace map {

namespace {

constexpr std::uint64_t kFnvOffset = 14695981039346656037ull;
constexpr std::uint64_t kFnvPrime = 1099511628211ull;

bool IsExitFiller(char c) {
    return c == ' ' || c == '(' || c == ')';
}

template <class Skip> std::string Without(std::string_view s, Skip skip) {
    std::string out;
    out.reserve(s.size());
    for (char c : s)
        if (!skip(c)) out.push_back(c);
    return out;
}

template <class Skip> bool EqualWithout(std::string_view a, std::string_view b, Skip skip) {
    size_t i = 0, j = 0;
    for (;;) {
        while (i < a.size() && skip(a[i]))
            ++i;
        while (j < b.size() && skip(b[j]))
            ++j;
        if (i == a.size() || j == b.size()) return i == a.size() && j == b.size();
        if (a[i++] != b[j++]) return false;
    }
}

template <class Skip> std::uint64_t HashWithout(std::uint64_t h, std::string_view s, Skip skip) {
    for (char c : s) {
        if (skip(c)) continue;
        h = (h ^ static_cast<unsigned char>(c)) * kFnvPrime;
    }
    return h;
}

std::uint64_t Finish(std::uint64_t h) {
    // splitmix64 finaliser: the FNV state alone is weak in its low bits
    h ^= h >> 30;
    h *= 0xbf58476d1ce4e5b9ull;
    h ^= h >> 27;
    h *= 0x94d049bb133111ebull;
    return h ^ (h >> 31);
}

} // namespace

namespace {

// Decimal digits of v at the end of the buffer before `end`, at least `width` of them, with a
// leading "-" for negative values; returns where the text starts.
char* Decimal(char* end, long long v, int width) {
    unsigned long long u = v < 0 ? 0ull - static_cast<unsigned long long>(v) : v;
    char* p = end;
    do {
        *--p = static_cast<char>('0' + u % 10);
        u /= 10;
    } while (u || end - p < width);
    if (v < 0) *--p = '-';
    return p;
}

} // namespace

std::string PositionKey(int x, int y, int l) {
    // Written back to front; this runs for every room a push moves.
    char buf[48];
    char* end = buf + sizeof buf;
    char* p = Decimal(end, y, 1);
    *--p = '|';
    p = Decimal(p, x, 1);
    *--p = '|';
    p = Decimal(p, static_cast<long long>(l) + 1000, 4);
    return std::string(p, end);
}

std::string DescriptionKey(std::string_view description) {
    return Without(description, [](char c) { return c == ' '; });
}

std::string ExitKey(std::string_view exits) {
    return Without(exits, IsExitFiller);
}

namespace {

bool IsBlank(char c) {
    return c == ' ';
}

// The lines of a description that `changing` does not hold, empty lines left out as well (a
// line taken out must not leave its break behind).
std::vector<std::string_view> KeptLines(std::string_view description,
                                        const ChangingLines& changing) {
    std::vector<std::string_view> kept;
    for (std::string_view line : DescriptionLines(description))
        if (!line.empty() && !changing.Has(line)) kept.push_back(line);
    return kept;
}

bool Active(const ChangingLines* changing) {
    return changing && !changing->Empty();
}

} // namespace

bool SameDescriptionKey(std::string_view a, std::string_view b, const ChangingLines* changing) {
    if (!Active(changing)) return EqualWithout(a, b, IsBlank);
    const auto x = KeptLines(a, *changing), y = KeptLines(b, *changing);
    if (x.size() != y.size()) return false;
    for (std::size_t i = 0; i < x.size(); ++i)
        if (!EqualWithout(x[i], y[i], IsBlank)) return false;
    return true;
}

bool SameDescription(std::string_view a, std::string_view b, const ChangingLines* changing) {
    if (a == b) return true;
    if (!Active(changing)) return false;
    return KeptLines(a, *changing) == KeptLines(b, *changing);
}

bool SameExitKey(std::string_view a, std::string_view b) {
    return EqualWithout(a, b, IsExitFiller);
}

std::uint64_t DescriptionKeyHash(std::string_view description, const ChangingLines* changing) {
    if (!Active(changing)) return Finish(HashWithout(kFnvOffset, description, IsBlank));
    std::uint64_t h = kFnvOffset;
    for (std::string_view line : KeptLines(description, *changing))
        h = (HashWithout(h, line, IsBlank) ^ '\n') * kFnvPrime;
    return Finish(h);
}

std::uint64_t NameKeyHash(std::string_view name, std::string_view exits) {
    std::uint64_t h = HashWithout(kFnvOffset, name, [](char) { return false; });
    h = (h ^ 0x1F) * kFnvPrime; // separator, so that name and exits cannot trade bytes
    return Finish(HashWithout(h, exits, IsExitFiller));
}

} // namespace map
