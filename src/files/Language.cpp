#include "files/Language.h"

#include "files/IniFile.h"

namespace storage {

std::string Language::GetCaption(std::string_view section, std::string_view key,
                                 std::string_view def) const {
    IniFile ini(path_);
    std::string value = ini.ReadString(section, key, def);
    ini.WriteString(section, key, value);
    return value;
}

std::string Language::GetCaption(std::string_view section, std::string_view key) const {
    return GetCaption(section, key, BuiltinTextOf(section, key));
}

std::string_view BuiltinTextOf(std::string_view section, std::string_view key) {
    for (auto texts : {BuiltinMessages(), MainFormControls()})
        for (const BuiltinText& t : texts)
            if (section == t.section && key == t.key) return t.text;
    return {};
}

} // namespace storage
