#pragma once
// Byte-text helpers shared by every subsystem. Game text, file text and INI values are
// Windows-1251 bytes held in std::string; nothing here decodes them.

#include <string>
#include <string_view>

namespace text {

constexpr char CRLF[] = "\r\n";

// Removes bytes with codes up to 32 at both ends.
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

// "#$" followed by two upper-case hexadecimal digits becomes the byte they name; anything
// else (lower-case digits, "#$" at the end) stays as written.
std::string DecodeEscapes(std::string_view s);
// The inverse: control bytes, DEL, telnet commands (0xFF and the command byte after it) and a
// "#" before "$" become "#$" escapes, so that DecodeEscapes gives `s` back.
std::string EncodeEscapes(std::string_view s);

// Removes every ESC "[" ... "m" run (up to the first "m" after the ESC). When no "m"
// follows an ESC "[", the rest stays as it is.
std::string StripAnsi(std::string_view s);

// Every occurrence of `from`, left to right, replaced by `to`. An empty `from` changes nothing.
std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to);
// The same, comparing Latin and Windows-1251 letters without regard to case.
std::string ReplaceAllIgnoreCase(std::string_view s, std::string_view from, std::string_view to);

// Line breaks of a room description as the program stores them: doubled breaks collapsed
// (CR LF CR LF, CR CR, LF LF, each until none is left), LF CR turned into CR LF, one leading
// CR LF and every trailing CR LF pair, CR and LF dropped; repeated until nothing changes, so
// that a normalised description stays as it is.
std::string NormaliseDescription(std::string_view description);

// Field n (counted from 1) of a "|"-separated text; a missing field is empty.
std::string GetField(std::string_view s, int n);

// Case folding: Latin letters only, or Latin and Windows-1251 Cyrillic letters.
char LowerLatin(char c);
char LowerCp1251(char c);
std::string LowerLatin(std::string_view s);
std::string LowerCp1251(std::string_view s);
bool EqualsIgnoreCaseCp1251(std::string_view a, std::string_view b);
bool EqualsIgnoreCaseLatin(std::string_view a, std::string_view b);
// Position of `needle` in `hay` or npos; with ignoreCase both are compared lower-cased
// (Latin letters only, as the exit-word searches do).
size_t FindLatin(std::string_view hay, std::string_view needle, bool ignoreCase);
// Position of `needle` comparing Latin and Cyrillic letters without regard to case.
size_t FindIgnoreCaseCp1251(std::string_view hay, std::string_view needle, size_t from = 0);

// Decimal conversions with the INI reader's tolerance: surrounding blanks allowed, a
// leading sign allowed, anything else makes the value malformed.
bool ParseInt(std::string_view s, long long& out);
std::string IntToStr(long long v);

bool StartsWith(std::string_view s, std::string_view prefix);
bool EndsWith(std::string_view s, std::string_view suffix);

} // namespace text
