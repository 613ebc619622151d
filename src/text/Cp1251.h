#pragma once
// The one conversion between the program's Windows-1251 bytes and Unicode, used only at the
// edge of the user interface and of the file system.

#include <QString>
#include <string>
#include <string_view>

namespace text {

QString ToUnicode(std::string_view cp1251);
// Characters that Windows-1251 cannot represent make `ok` false (when given) and become "?".
std::string FromUnicode(const QString& s, bool* ok = nullptr);

} // namespace text

namespace text {
// A UTF-8 literal of the source code as Windows-1251 bytes, converted once and kept.
const std::string& W(const char* utf8Literal);
} // namespace text
