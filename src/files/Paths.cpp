#include "files/Paths.h"

#include "text/Cp1251.h"
#include "text/Text.h"

#include <QString>
#include <algorithm>
#include <system_error>

namespace storage {

namespace fs = std::filesystem;

namespace {

QString ToQString(const fs::path& p) {
#ifdef _WIN32
    return QString::fromStdWString(p.native());
#else
    return QString::fromUtf8(p.native().data(), static_cast<qsizetype>(p.native().size()));
#endif
}

fs::path FromQString(const QString& s) {
#ifdef _WIN32
    return fs::path(s.toStdWString());
#else
    return fs::path(s.toStdString());
#endif
}

bool SameIgnoringCase(const fs::path& a, const fs::path& b) {
    return ToQString(a).compare(ToQString(b), Qt::CaseInsensitive) == 0;
}

} // namespace

fs::path TextToPath(std::string_view cp1251) {
    return FromQString(text::ToUnicode(cp1251));
}

std::optional<std::string> PathToTextExact(const fs::path& path) {
    bool ok = false;
    std::string s = text::FromUnicode(ToQString(path), &ok);
    if (!ok) return std::nullopt;
    return s;
}

std::string PathToText(const fs::path& path) {
    bool ok = false; // asking for it also turns what is missing into "?"
    return text::FromUnicode(ToQString(path), &ok);
}

bool IsValidFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    return name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

std::optional<fs::path> ZoneFileName(std::string_view zoneName) {
    std::string name = std::string(zoneName) + std::string(kZoneExtension);
    if (!IsValidFileName(zoneName)) return std::nullopt;
    return TextToPath(name);
}

std::optional<std::string> ZoneNameOfFile(const fs::path& fileName, bool ignoreCase) {
    std::optional<std::string> name = PathToTextExact(fileName.filename());
    if (!name) return std::nullopt;
    return ignoreCase ? text::ReplaceAllIgnoreCase(*name, kZoneExtension, "")
                      : text::ReplaceAll(*name, kZoneExtension, "");
}

std::vector<fs::path> ListZoneFiles(const fs::path& dir) {
    std::vector<fs::path> files;
    std::error_code ec;
    fs::directory_iterator it(dir, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (name.size() <= kZoneExtension.size()) continue;
        if (!text::EqualsIgnoreCaseLatin(name.substr(name.size() - kZoneExtension.size()),
                                         kZoneExtension))
            continue;
        std::error_code fileEc;
        if (!it->is_regular_file(fileEc)) continue;
        files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

fs::path FindIgnoreCase(const fs::path& dir, const fs::path& name) {
    fs::path exact = dir / name;
    std::error_code ec;
    if (fs::exists(fs::symlink_status(exact, ec))) return exact;
    std::optional<fs::path> found;
    fs::directory_iterator it(dir, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const fs::path entry = it->path().filename();
        if (SameIgnoringCase(entry, name) && (!found || entry < *found)) found = entry;
    }
    return found ? dir / *found : exact;
}

fs::path ResolveIgnoreCase(const fs::path& base, const fs::path& relative) {
    fs::path p = base;
    for (const fs::path& part : relative)
        p = FindIgnoreCase(p, part);
    return p;
}

std::optional<fs::path> ZoneFilePath(const fs::path& worldDir, std::string_view zoneName) {
    std::optional<fs::path> name = ZoneFileName(zoneName);
    if (!name) return std::nullopt;
    return FindIgnoreCase(worldDir, *name);
}

} // namespace storage
