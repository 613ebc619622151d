#pragma once
// The language file "language.ini": every user-visible text is looked up there by window
// (section) and key, and the value in effect is written back, so the file grows into a
// complete template of the replaceable texts.

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace storage {

class Language {
public:
    explicit Language(std::filesystem::path path) : path_(std::move(path)) {}

    // Opens the file anew on every call; a missing key gives `def`, an empty value is a value.
    // A file that cannot be written leaves the texts at their defaults, and nothing fails.
    std::string GetCaption(std::string_view section, std::string_view key,
                           std::string_view def) const;
    // The same with the built-in text of a known key as the default.
    std::string GetCaption(std::string_view section, std::string_view key) const;

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Built-in Russian texts (Windows-1251) of the message keys and of the main window's controls.
struct BuiltinText {
    const char* section;
    const char* key;
    const char* text;
};
// The message texts of every window, and the captions of the main window's controls.
std::span<const BuiltinText> BuiltinMessages();
std::span<const BuiltinText> MainFormControls();
// The built-in text of a key, or empty when the key has none.
std::string_view BuiltinTextOf(std::string_view section, std::string_view key);

} // namespace storage
