#include "text/Text.h"

#include <charconv>
#include <cstdint>

namespace text {

namespace {
bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
} // namespace

std::string Trim(std::string_view s) {
    return TrimRight(TrimLeft(s));
}

std::string TrimLeft(std::string_view s) {
    size_t b = 0;
    while (b < s.size() && IsBlank(s[b]))
        ++b;
    return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s) {
    size_t e = s.size();
    while (e > 0 && IsBlank(s[e - 1]))
        --e;
    return std::string(s.substr(0, e));
}

std::string DecodeEscapes(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        size_t p = s.find("#$", i);
        if (p == std::string_view::npos) {
            out.append(s.substr(i));
            break;
        }
        out.append(s.substr(i, p - i));
        if (p + 3 < s.size() && HexDigit(s[p + 2]) >= 0 && HexDigit(s[p + 3]) >= 0) {
            out.push_back(static_cast<char>(HexDigit(s[p + 2]) * 16 + HexDigit(s[p + 3])));
            i = p + 4;
        } else {
            out.append("#$");
            i = p + 2;
        }
    }
    return out;
}

std::string EncodeEscapes(std::string_view s) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const auto u = static_cast<unsigned char>(s[i]);
        // A telnet command (0xFF, then a command byte) is written as escapes too.
        const bool telnet = u == 0xFF || (i > 0 && static_cast<unsigned char>(s[i - 1]) == 0xFF &&
                                          u >= 0xEF && u != 0xFF);
        // "#$" is written "#$23$" so that it does not read back as an escape.
        const bool hash = u == '#' && i + 1 < s.size() && s[i + 1] == '$';
        if (u < 0x20 || u == 0x7F || telnet || hash) {
            out += "#$";
            out.push_back(kHex[u >> 4]);
            out.push_back(kHex[u & 15]);
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

std::string StripAnsi(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        size_t p = s.find("\x1b[", i);
        if (p == std::string_view::npos) break;
        size_t m = s.find('m', p + 2);
        if (m == std::string_view::npos) break;
        out.append(s.substr(i, p - i));
        i = m + 1;
    }
    out.append(s.substr(i));
    return out;
}

std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(s);
    std::string out;
    out.reserve(s.size());
    size_t i = 0;
    for (;;) {
        size_t p = s.find(from, i);
        if (p == std::string_view::npos) break;
        out.append(s.substr(i, p - i));
        out.append(to);
        i = p + from.size();
    }
    out.append(s.substr(i));
    return out;
}

std::string ReplaceAllIgnoreCase(std::string_view s, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(s);
    std::string out;
    out.reserve(s.size());
    size_t i = 0;
    for (;;) {
        size_t p = FindIgnoreCaseCp1251(s, from, i);
        if (p == std::string_view::npos) break;
        out.append(s.substr(i, p - i));
        out.append(to);
        i = p + from.size();
    }
    out.append(s.substr(i));
    return out;
}

namespace {
void ReplaceUntilGone(std::string& s, std::string_view from, std::string_view to) {
    // Each round shortens the text, so this ends.
    while (s.find(from) != std::string::npos)
        s = ReplaceAll(s, from, to);
}
} // namespace

std::string NormaliseDescription(std::string_view description) {
    std::string s(description);
    // One round can leave a doubled break behind ("\n\r\n\n" gives "\r\n\n"): the rounds go on
    // until the text stays as it is, so that a stored description reads back unchanged. A round
    // only shortens the text or moves a CR before an LF, so this ends.
    for (std::string before; before != s;) {
        before = s;
        ReplaceUntilGone(s, "\r\n\r\n", "\r\n");
        ReplaceUntilGone(s, "\r\r", "\r");
        ReplaceUntilGone(s, "\n\n", "\n");
        if (s.find("\n\r") != std::string::npos) s = ReplaceAll(s, "\n\r", "\r\n");
        if (StartsWith(s, "\r\n")) s.erase(0, 2);
        while (EndsWith(s, "\r\n"))
            s.resize(s.size() - 2);
        while (!s.empty() && s.back() == '\r')
            s.pop_back();
        while (!s.empty() && s.back() == '\n')
            s.pop_back();
    }
    return s;
}

std::string GetField(std::string_view s, int n) {
    if (n < 1) return {};
    size_t start = 0;
    for (int field = 1; field < n; ++field) {
        size_t bar = s.find('|', start);
        if (bar == std::string_view::npos) return {};
        start = bar + 1;
    }
    size_t end = s.find('|', start);
    return std::string(s.substr(start, end == std::string_view::npos ? s.npos : end - start));
}

char LowerLatin(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

char LowerCp1251(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u >= 'A' && u <= 'Z') return static_cast<char>(u + 32);
    if (u >= 0xC0 && u <= 0xDF) return static_cast<char>(u + 32); // А..Я -> а..я
    if (u == 0xA8) return static_cast<char>(0xB8);                // Ё -> ё
    if (u == 0xA1) return static_cast<char>(0xA2);                // Ў -> ў
    if (u == 0xB2) return static_cast<char>(0xB3);                // І -> і
    if (u == 0xAA) return static_cast<char>(0xBA);                // Є -> є
    if (u == 0xAF) return static_cast<char>(0xBF);                // Ї -> ї
    if (u == 0xA5) return static_cast<char>(0xB4);                // Ґ -> ґ
    if (u == 0x80) return static_cast<char>(0x90);                // Ђ -> ђ
    if (u == 0x81) return static_cast<char>(0x83);                // Ѓ -> ѓ
    if (u == 0x8A) return static_cast<char>(0x9A);                // Љ -> љ
    if (u == 0x8C) return static_cast<char>(0x9C);                // Њ -> њ
    if (u == 0x8D) return static_cast<char>(0x9D);                // Ќ -> ќ
    if (u == 0x8E) return static_cast<char>(0x9E);                // Ћ -> ћ
    if (u == 0x8F) return static_cast<char>(0x9F);                // Џ -> џ
    if (u == 0xA3) return static_cast<char>(0xBC);                // Ј -> ј
    if (u == 0xBD) return static_cast<char>(0xBE);                // Ѕ -> ѕ
    return c;
}

std::string LowerLatin(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = LowerLatin(c);
    return out;
}

std::string LowerCp1251(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = LowerCp1251(c);
    return out;
}

bool EqualsIgnoreCaseCp1251(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerCp1251(a[i]) != LowerCp1251(b[i])) return false;
    return true;
}

bool EqualsIgnoreCaseLatin(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerLatin(a[i]) != LowerLatin(b[i])) return false;
    return true;
}

size_t FindLatin(std::string_view hay, std::string_view needle, bool ignoreCase) {
    if (needle.empty()) return std::string_view::npos;
    if (!ignoreCase) return hay.find(needle);
    if (needle.size() > hay.size()) return std::string_view::npos;
    for (size_t i = 0; i + needle.size() <= hay.size(); ++i) {
        size_t k = 0;
        while (k < needle.size() && LowerLatin(hay[i + k]) == LowerLatin(needle[k]))
            ++k;
        if (k == needle.size()) return i;
    }
    return std::string_view::npos;
}

size_t FindIgnoreCaseCp1251(std::string_view hay, std::string_view needle, size_t from) {
    if (needle.empty() || needle.size() > hay.size()) return std::string_view::npos;
    for (size_t i = from; i + needle.size() <= hay.size(); ++i) {
        size_t k = 0;
        while (k < needle.size() && LowerCp1251(hay[i + k]) == LowerCp1251(needle[k]))
            ++k;
        if (k == needle.size()) return i;
    }
    return std::string_view::npos;
}

bool ParseInt(std::string_view s, long long& out) {
    std::string t = Trim(s);
    if (t.empty()) return false;
    const char* b = t.data();
    const char* e = t.data() + t.size();
    bool negative = false;
    if (*b == '+' || *b == '-') negative = *b++ == '-';
    if (b == e) return false;
    int base = 10;
    // Delphi-written files may hold hexadecimal values as "$1F" (or "0x1F").
    if (*b == '$') {
        base = 16;
        ++b;
    } else if (e - b > 2 && b[0] == '0' && (b[1] == 'x' || b[1] == 'X')) {
        base = 16;
        b += 2;
    }
    if (b == e) return false;
    unsigned long long u = 0;
    auto [ptr, ec] = std::from_chars(b, e, u, base);
    if (ec != std::errc() || ptr != e) return false;
    long long v = 0;
    if (base == 16 && u <= 0xFFFFFFFFull && !negative) {
        v = static_cast<long long>(u); // hexadecimal values are 32-bit patterns
    } else {
        if (u > static_cast<unsigned long long>(INT64_MAX)) return false;
        v = negative ? -static_cast<long long>(u) : static_cast<long long>(u);
    }
    out = v;
    return true;
}
std::string IntToStr(long long v) {
    return std::to_string(v);
}

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

} // namespace text
