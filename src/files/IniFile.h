#pragma once
// INI files with the semantics of Windows private-profile files, because users bring files
// written by the Windows tools: section and key names match without regard to case (first
// match wins), values are trimmed and lose one pair of wrapping double quotes, bytes are kept
// exactly, lines end in CR LF. The file is read when the object is made; every write goes to
// the file at once through the atomic file saver.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace storage {

class IniFile {
public:
    explicit IniFile(std::filesystem::path path);
    // The content given instead of read from `path` (writes still go to `path`).
    IniFile(std::filesystem::path path, std::string_view content);

    const std::filesystem::path& Path() const { return path_; }
    bool Exists() const { return exists_; }

    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view def) const;
    // A missing key or a malformed integer gives the default.
    long long ReadInteger(std::string_view section, std::string_view key, long long def) const;
    // Read as an integer: any value other than 0 is true.
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;

    // Each write returns false when the file could not be written (the content in memory
    // still changes, so later reads agree with what the program meant to write). A value with
    // blanks or control bytes at either end, or wrapped in quotes, is written inside quotes so
    // that it reads back as it was.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    bool WriteInteger(std::string_view section, std::string_view key, long long value);
    bool WriteBool(std::string_view section, std::string_view key, bool value);
    bool EraseSection(std::string_view section);

    std::vector<std::string> ReadSection(std::string_view section) const; // key names, file order
    std::vector<std::string> ReadSections() const;                        // section names
    // Values of every key of a section in file order (list sections of the profile).
    std::vector<std::string> ReadSectionValues(std::string_view section) const;

    // While a batch is open, writes change only the content in memory; EndBatch writes the
    // file once. Used where many keys are written together (a whole profile).
    void BeginBatch() { ++batch_; }
    bool EndBatch();

    std::string Content() const;

private:
    void Parse(std::string_view bytes);
    static bool IsSection(std::string_view line, std::string& name);
    static bool SplitKey(std::string_view line, std::string& key, std::string& value);
    long FindSection(std::string_view section) const;      // index of header line or -1
    long SectionEnd(long header) const;                    // first line after the section
    long FindKey(long header, std::string_view key) const; // line index or -1
    bool Save();

    std::filesystem::path path_;
    std::vector<std::string> lines_;
    bool exists_ = false;
    int batch_ = 0;
    bool dirty_ = false;
};

} // namespace storage
