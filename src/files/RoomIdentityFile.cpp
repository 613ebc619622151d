#include "files/RoomIdentityFile.h"

#include <charconv>
#include <set>
#include <utility>

namespace storage {

namespace {

constexpr std::string_view kEol = "\r\n";

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = line.find('|', start);
        fields.push_back(line.substr(start, bar - start));
        if (bar == std::string_view::npos) return fields;
        start = bar + 1;
    }
}

std::optional<int> ParseInt(std::string_view s) {
    int value = 0;
    if (s.empty() || s.front() == '+') return std::nullopt;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return value;
}

std::string TagField(const RoomIdentityLine& line) {
    std::string s = std::to_string(line.tag);
    if (line.occurrence > 1) s += ":" + std::to_string(line.occurrence);
    return s;
}

} // namespace

bool RoomIdentities::Empty() const {
    if (!zoneAreas.empty()) return false;
    for (const auto& [zone, lines] : zones)
        if (!lines.empty()) return false;
    return true;
}

std::string EscapeIdentityField(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (char c : field) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '|':
            out += "\\p";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::optional<std::string> UnescapeIdentityField(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        const char c = field[i];
        if (c == '\r' || c == '\n') return std::nullopt; // never written bare
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i == field.size()) return std::nullopt;
        switch (field[i]) {
        case '\\':
            out += '\\';
            break;
        case 'p':
            out += '|';
            break;
        case 'r':
            out += '\r';
            break;
        case 'n':
            out += '\n';
            break;
        default:
            return std::nullopt;
        }
    }
    return out;
}

std::string WriteRoomIdentities(const RoomIdentities& data) {
    return WriteRoomIdentities(data.zoneAreas, data.zones);
}

std::string WriteRoomIdentities(const std::map<std::string, std::string>& zoneAreas,
                                const std::map<std::string, std::vector<RoomIdentityLine>>& zones) {
    std::string out(kRoomIdentityHeader);
    out += kEol;
    for (const auto& [zone, area] : zoneAreas)
        out +=
            "A|" + EscapeIdentityField(zone) + "|" + EscapeIdentityField(area) + std::string(kEol);
    for (const auto& [zone, lines] : zones) {
        const std::string z = EscapeIdentityField(zone);
        for (const RoomIdentityLine& line : lines)
            out += "R|" + z + "|" + TagField(line) + "|" + EscapeIdentityField(line.id) + "|" +
                   EscapeIdentityField(line.area) + std::string(kEol);
    }
    return out;
}

RoomIdentityReadResult ReadRoomIdentities(std::string_view bytes) {
    RoomIdentityReadResult result;
    std::set<std::string> areasSeen;
    std::set<std::pair<std::string, std::pair<int, int>>> roomsSeen;
    int number = 0;
    auto fail = [&](const std::string& what) {
        result.error = "line " + std::to_string(number) + ": " + what;
        result.data = {};
        return result;
    };
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        ++number;
        std::size_t end = bytes.find(kEol, pos);
        const std::string_view line =
            bytes.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
        pos = end == std::string_view::npos ? bytes.size() : end + kEol.size();
        if (number == 1) {
            if (line != kRoomIdentityHeader) return fail("not a room identity file of version 1");
            continue;
        }
        if (line.empty()) continue;

        const std::vector<std::string_view> raw = SplitFields(line);
        std::vector<std::string> fields;
        for (std::string_view f : raw) {
            std::optional<std::string> text = UnescapeIdentityField(f);
            if (!text) return fail("a field with a broken escape");
            fields.push_back(std::move(*text));
        }
        if (fields[0] == "A") {
            if (fields.size() != 3 || fields[1].empty() || fields[2].empty())
                return fail("a binding needs a zone and an area");
            if (result.data.zoneAreas.count(fields[1]) || !areasSeen.insert(fields[2]).second)
                return fail("a zone or an area bound twice");
            result.data.zoneAreas.emplace(std::move(fields[1]), std::move(fields[2]));
        } else if (fields[0] == "R") {
            if (fields.size() != 5 || fields[1].empty())
                return fail("a room needs a zone, a Tag, a number and an area");
            RoomIdentityLine room;
            const std::string& tag = fields[2];
            const std::size_t colon = tag.find(':');
            std::optional<int> t = ParseInt(std::string_view(tag).substr(0, colon));
            std::optional<int> n = colon == std::string::npos
                                       ? std::optional<int>(1)
                                       : ParseInt(std::string_view(tag).substr(colon + 1));
            if (!t || !n || *n < 1 || (colon != std::string::npos && *n < 2))
                return fail("a Tag that is no number");
            room.tag = *t;
            room.occurrence = *n;
            if (!roomsSeen.insert({fields[1], {room.tag, room.occurrence}}).second)
                return fail("a room given twice");
            room.id = std::move(fields[3]);
            room.area = std::move(fields[4]);
            result.data.zones[fields[1]].push_back(std::move(room));
        } else {
            return fail("an unknown kind of line");
        }
    }
    if (number == 0) {
        number = 1;
        return fail("not a room identity file of version 1");
    }
    return result;
}

std::vector<RoomIdentityLine> IdentityLinesOf(std::span<const map::TMudRoom2* const> rooms) {
    std::vector<RoomIdentityLine> lines;
    std::map<int, int> seen; // Tag -> rooms of it so far
    for (const map::TMudRoom2* r : rooms) {
        const int occurrence = ++seen[r->Tag];
        if (r->GameId.empty() && r->GameArea.empty()) continue;
        lines.push_back({r->Tag, occurrence, r->GameId, r->GameArea});
    }
    return lines;
}

void ApplyIdentityLines(std::span<map::TMudRoom2> rooms,
                        const std::vector<RoomIdentityLine>& lines) {
    if (lines.empty()) return;
    std::map<std::pair<int, int>, const RoomIdentityLine*> byKey;
    for (const RoomIdentityLine& line : lines)
        byKey.emplace(std::pair(line.tag, line.occurrence), &line);
    std::map<int, int> seen;
    for (map::TMudRoom2& r : rooms) {
        auto it = byKey.find({r.Tag, ++seen[r.Tag]});
        if (it == byKey.end()) continue;
        r.GameId = it->second->id;
        r.GameArea = it->second->area;
    }
}

} // namespace storage
