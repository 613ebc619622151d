#pragma once
// Text between the program (Windows-1251 bytes) and the widgets (Unicode).

#include "text/Cp1251.h"

#include <QString>
#include <string>

namespace view {

inline QString U(const std::string& cp1251) {
    return text::ToUnicode(cp1251);
}
// A character Windows-1251 cannot hold becomes "?".
inline std::string B(const QString& s) {
    bool ok = false;
    return text::FromUnicode(s, &ok);
}

} // namespace view
