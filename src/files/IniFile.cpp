#include "files/IniFile.h"

#include "files/FileSaver.h"
#include "text/Text.h"

namespace storage {

IniFile::IniFile(std::filesystem::path path) : path_(std::move(path)) {
    std::string bytes;
    exists_ = ReadFile(path_, bytes);
    if (exists_) Parse(bytes);
}

IniFile::IniFile(std::filesystem::path path, std::string_view content)
    : path_(std::move(path)), exists_(true) {
    Parse(content);
}

void IniFile::Parse(std::string_view bytes) {
    size_t start = 0;
    while (start < bytes.size()) {
        size_t lf = bytes.find('\n', start);
        size_t end = lf == std::string_view::npos ? bytes.size() : lf;
        size_t textEnd = end;
        if (textEnd > start && bytes[textEnd - 1] == '\r') --textEnd;
        lines_.emplace_back(bytes.substr(start, textEnd - start));
        if (lf == std::string_view::npos) break;
        start = lf + 1;
    }
}

bool IniFile::IsSection(std::string_view line, std::string& name) {
    // Every lookup asks this of every line: most lines are told apart without a copy.
    size_t first = 0;
    while (first < line.size() && static_cast<unsigned char>(line[first]) <= 32)
        ++first;
    if (first == line.size() || line[first] != '[') return false;
    std::string t = text::Trim(line);
    if (t.size() < 2 || t.front() != '[') return false;
    size_t close = t.find(']');
    if (close == std::string::npos) return false;
    name = text::Trim(std::string_view(t).substr(1, close - 1));
    return true;
}

bool IniFile::SplitKey(std::string_view line, std::string& key, std::string& value) {
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) return false;
    key = text::Trim(line.substr(0, eq));
    if (key.empty()) return false;
    value = text::Trim(line.substr(eq + 1));
    return true;
}

long IniFile::FindSection(std::string_view section) const {
    std::string name;
    for (size_t i = 0; i < lines_.size(); ++i)
        if (IsSection(lines_[i], name) && text::EqualsIgnoreCaseCp1251(name, section))
            return static_cast<long>(i);
    return -1;
}

long IniFile::SectionEnd(long header) const {
    std::string name;
    size_t i = static_cast<size_t>(header) + 1;
    while (i < lines_.size() && !IsSection(lines_[i], name))
        ++i;
    return static_cast<long>(i);
}

long IniFile::FindKey(long header, std::string_view key) const {
    std::string k, v;
    long end = SectionEnd(header);
    for (long i = header + 1; i < end; ++i)
        if (SplitKey(lines_[i], k, v) && text::EqualsIgnoreCaseCp1251(k, key)) return i;
    return -1;
}

std::optional<std::string> IniFile::Find(std::string_view section, std::string_view key) const {
    long header = FindSection(section);
    if (header < 0) return std::nullopt;
    long line = FindKey(header, key);
    if (line < 0) return std::nullopt;
    std::string k, v;
    SplitKey(lines_[line], k, v);
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    return v;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view def) const {
    auto v = Find(section, key);
    return v ? *v : std::string(def);
}

long long IniFile::ReadInteger(std::string_view section, std::string_view key,
                               long long def) const {
    auto v = Find(section, key);
    long long out = 0;
    if (v && text::ParseInt(*v, out)) return out;
    return def;
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    // Reading trims a value and drops one pair of wrapping quotes: a value that would lose
    // something that way is written inside quotes, which reading takes off again (as the
    // Windows reader does).
    const bool blankAtEnd = !value.empty() && (static_cast<unsigned char>(value.front()) <= 32 ||
                                               static_cast<unsigned char>(value.back()) <= 32);
    const bool quoted = value.size() >= 2 && value.front() == '"' && value.back() == '"';
    std::string line =
        std::string(key) + "=" +
        (blankAtEnd || quoted ? "\"" + std::string(value) + "\"" : std::string(value));
    long header = FindSection(section);
    if (header < 0) {
        lines_.push_back("[" + std::string(section) + "]");
        lines_.push_back(line);
    } else {
        long at = FindKey(header, key);
        if (at >= 0) {
            if (lines_[at] == line) return true; // nothing would change on disk
            lines_[at] = line;
        } else {
            // After the last non-blank line of the section, so that a blank line that
            // separates it from the next section stays where it is.
            long end = SectionEnd(header);
            while (end - 1 > header && text::Trim(lines_[end - 1]).empty())
                --end;
            lines_.insert(lines_.begin() + end, line);
        }
    }
    return Save();
}

bool IniFile::WriteInteger(std::string_view section, std::string_view key, long long value) {
    return WriteString(section, key, text::IntToStr(value));
}

bool IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    return WriteString(section, key, value ? "1" : "0");
}

bool IniFile::EraseSection(std::string_view section) {
    bool erased = false;
    for (long header = FindSection(section); header >= 0; header = FindSection(section)) {
        lines_.erase(lines_.begin() + header, lines_.begin() + SectionEnd(header));
        erased = true;
    }
    return erased ? Save() : true;
}

std::vector<std::string> IniFile::ReadSection(std::string_view section) const {
    std::vector<std::string> keys;
    long header = FindSection(section);
    if (header < 0) return keys;
    std::string k, v;
    long end = SectionEnd(header);
    for (long i = header + 1; i < end; ++i)
        if (SplitKey(lines_[i], k, v)) {
            bool seen = false;
            for (const auto& existing : keys)
                seen = seen || text::EqualsIgnoreCaseCp1251(existing, k);
            if (!seen) keys.push_back(k);
        }
    return keys;
}

std::vector<std::string> IniFile::ReadSections() const {
    std::vector<std::string> names;
    std::string name;
    for (const auto& line : lines_)
        if (IsSection(line, name)) {
            bool seen = false;
            for (const auto& existing : names)
                seen = seen || text::EqualsIgnoreCaseCp1251(existing, name);
            if (!seen) names.push_back(name);
        }
    return names;
}

std::vector<std::string> IniFile::ReadSectionValues(std::string_view section) const {
    std::vector<std::string> values;
    for (const auto& key : ReadSection(section))
        values.push_back(ReadString(section, key, ""));
    return values;
}

bool IniFile::EndBatch() {
    if (batch_ > 0) --batch_;
    return batch_ == 0 && dirty_ ? Save() : true;
}

std::string IniFile::Content() const {
    std::string out;
    for (const auto& line : lines_) {
        out += line;
        out += "\r\n";
    }
    return out;
}

bool IniFile::Save() {
    if (batch_ > 0) {
        dirty_ = true;
        return true;
    }
    dirty_ = false;
    std::error_code ec;
    if (!path_.parent_path().empty()) std::filesystem::create_directories(path_.parent_path(), ec);
    bool ok = SaveFile(path_, Content()).ok;
    exists_ = exists_ || ok;
    return ok;
}

} // namespace storage
