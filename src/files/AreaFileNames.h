#pragma once
// Zone names made from the names of the game's areas. A zone's name is its file's name, so an
// area name that could not stand as a file name on Windows or Linux is written with "%XX"
// (the byte in hexadecimal) in place of the characters that cannot: "%" itself, \ / : * ? " < > |,
// control characters, bytes that Windows-1251 leaves undefined, the invisible soft hyphen, a
// leading dot or blank, a trailing dot or blank, the dot of a ".tk2" inside the name, and the
// first letter of a device name (CON, NUL, COM1 ...). Every other byte stays as it is, so most
// names read unchanged.

#include <string>
#include <string_view>

namespace storage {

// The zone name for an area; empty for an empty area. A very long name is cut (at a whole
// character) so that the file name and the names made from it fit every file system; only
// such a cut name does not decode back to the area.
std::string AreaFileName(std::string_view area);
// The area a zone name was made from: every "%XX" of two upper-case hexadecimal digits becomes
// its byte, the rest stays.
std::string AreaOfFileName(std::string_view name);

} // namespace storage
