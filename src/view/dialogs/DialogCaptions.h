#pragma once
// Captions of a dialog's controls, each looked up in the language file under the window's
// section and the control's name, so that opening the dialog writes its keys into the file.

#include "files/Language.h"
#include "text/Cp1251.h"

#include <QString>

#include <string_view>

namespace view {

// The text of `key` in `section`; the default is the language file's built-in text of the key
// where it has one, else `utf8Default` (a literal of the source, UTF-8).
inline QString DialogCaption(const storage::Language& texts, std::string_view section,
                             std::string_view key, const char* utf8Default) {
    const std::string_view builtin = storage::BuiltinTextOf(section, key);
    return text::ToUnicode(
        texts.GetCaption(section, key, builtin.empty() ? text::W(utf8Default) : builtin));
}

} // namespace view
