#include "storage/Language.h"

#include "storage/IniFile.h"

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
    size_t count = 0;
    const BuiltinText* texts = BuiltinTexts(count);
    for (size_t i = 0; i < count; ++i)
        if (section == texts[i].section && key == texts[i].key) return texts[i].text;
    return {};
}

} // namespace storage
