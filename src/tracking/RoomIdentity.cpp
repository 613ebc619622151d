#include "tracking/RoomIdentity.h"

#include "text/Cp1251.h"
#include "text/Text.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <cmath>

namespace tracking {

namespace {

// MSDP's control bytes.
constexpr char kVar = 1, kVal = 2, kTableOpen = 3, kTableClose = 4, kArrayOpen = 5, kArrayClose = 6;
// Tables in tables in tables: deeper than any game sends, shallow enough for any stack.
constexpr int kMaxDepth = 32;

bool IsControl(char c) {
    return c >= kVar && c <= kArrayClose;
}

struct MsdpValue {
    enum Kind { Text, Table, Array } kind = Text;
    std::string text;
    // A table's names and values (an array's values, its names empty).
    std::vector<std::string> keys;
    std::vector<MsdpValue> items;
    void Add(std::string key, MsdpValue value) {
        keys.push_back(std::move(key));
        items.push_back(std::move(value));
    }
};

class MsdpReader {
public:
    explicit MsdpReader(std::string_view s) : s_(s) {}

    // VAR name VAL value ... up to `close` (or the end when close is 0).
    bool Table(MsdpValue& out, char close, int depth) {
        while (pos_ < s_.size()) {
            if (close && s_[pos_] == close) {
                ++pos_;
                return true;
            }
            if (s_[pos_++] != kVar) return false;
            std::string name = Plain();
            if (pos_ >= s_.size() || s_[pos_++] != kVal) return false;
            MsdpValue value;
            if (!Value(value, depth)) return false;
            // One name with several values is an array of them.
            while (pos_ < s_.size() && s_[pos_] == kVal) {
                ++pos_;
                MsdpValue more;
                if (!Value(more, depth)) return false;
                if (value.kind != MsdpValue::Array) {
                    MsdpValue first = std::move(value);
                    value = MsdpValue{};
                    value.kind = MsdpValue::Array;
                    value.Add(std::string(), std::move(first));
                }
                value.Add(std::string(), std::move(more));
            }
            out.Add(std::move(name), std::move(value));
        }
        return close == 0;
    }

private:
    std::string Plain() {
        const std::size_t from = pos_;
        while (pos_ < s_.size() && !IsControl(s_[pos_]))
            ++pos_;
        return std::string(s_.substr(from, pos_ - from));
    }

    bool Value(MsdpValue& v, int depth) {
        if (depth >= kMaxDepth) return false;
        if (pos_ < s_.size() && s_[pos_] == kTableOpen) {
            ++pos_;
            v.kind = MsdpValue::Table;
            return Table(v, kTableClose, depth + 1);
        }
        if (pos_ < s_.size() && s_[pos_] == kArrayOpen) {
            ++pos_;
            v.kind = MsdpValue::Array;
            while (pos_ < s_.size() && s_[pos_] != kArrayClose) {
                if (s_[pos_++] != kVal) return false;
                MsdpValue element;
                if (!Value(element, depth + 1)) return false;
                v.Add(std::string(), std::move(element));
            }
            if (pos_ >= s_.size()) return false;
            ++pos_;
            return true;
        }
        v.text = Plain();
        return true;
    }

    std::string_view s_;
    std::size_t pos_ = 0;
};

const MsdpValue* Field(const MsdpValue& table, std::string_view name) {
    for (std::size_t i = 0; i < table.keys.size(); ++i)
        if (table.keys[i] == name) return &table.items[i];
    return nullptr;
}

std::string FieldText(const MsdpValue& table, std::string_view name) {
    const MsdpValue* v = Field(table, name);
    return v && v->kind == MsdpValue::Text ? text::Trim(v->text) : std::string();
}

// A JSON number or string as the text of a room number; empty for anything else.
std::string NumberText(const QJsonValue& v) {
    if (v.isString()) return text::Trim(text::FromUnicode(v.toString()));
    if (!v.isDouble()) return {};
    const double d = v.toDouble();
    if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 9007199254740992.0)
        return std::to_string(static_cast<long long>(d));
    return text::FromUnicode(QString::number(d));
}

// Control characters (a NUL, a line break) have no place in a room's texts on the map: each
// becomes "?", like any character that has no byte.
RoomIdentity Clean(RoomIdentity room) {
    auto clean = [](std::string& s) {
        for (char& c : s)
            if (static_cast<unsigned char>(c) < 0x20) c = '?';
    };
    clean(room.id);
    clean(room.name);
    clean(room.area);
    for (auto& [dir, to] : room.exits) {
        clean(dir);
        clean(to);
    }
    return room;
}

} // namespace

std::optional<RoomIdentity> ParseMsdpRoom(std::string_view payload) {
    MsdpValue vars;
    MsdpReader reader(payload);
    if (!reader.Table(vars, 0, 0)) return std::nullopt;
    for (std::size_t v = 0; v < vars.keys.size(); ++v) {
        const MsdpValue& value = vars.items[v];
        if (vars.keys[v] != "ROOM" || value.kind != MsdpValue::Table) continue;
        RoomIdentity room;
        room.id = FieldText(value, "VNUM");
        if (room.id.empty()) return std::nullopt;
        room.name = FieldText(value, "NAME");
        room.area = FieldText(value, "AREA");
        if (const MsdpValue* exits = Field(value, "EXITS");
            exits && exits->kind == MsdpValue::Table)
            for (std::size_t i = 0; i < exits->keys.size(); ++i)
                if (std::string number = text::Trim(exits->items[i].text);
                    exits->items[i].kind == MsdpValue::Text && !number.empty())
                    room.exits.emplace_back(text::Trim(exits->keys[i]), std::move(number));
        return Clean(std::move(room));
    }
    return std::nullopt;
}

std::optional<RoomIdentity> ParseGmcpRoomInfo(std::string_view payload) {
    std::size_t nameEnd = 0;
    while (nameEnd < payload.size() && payload[nameEnd] != ' ' && payload[nameEnd] != '{' &&
           payload[nameEnd] != '\t' && payload[nameEnd] != '\r' && payload[nameEnd] != '\n')
        ++nameEnd;
    if (!text::EqualsIgnoreCaseLatin(payload.substr(0, nameEnd), "Room.Info")) return std::nullopt;
    const std::string_view json = payload.substr(nameEnd);
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(
        QByteArray(json.data(), static_cast<qsizetype>(json.size())), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) return std::nullopt;
    const QJsonObject o = doc.object();
    RoomIdentity room;
    room.id = NumberText(o.value("num"));
    if (room.id.empty()) return std::nullopt;
    room.name = text::FromUnicode(o.value("name").toString());
    room.area = text::FromUnicode(o.value("area").toString());
    const QJsonObject exits = o.value("exits").toObject();
    for (auto it = exits.begin(); it != exits.end(); ++it) {
        const std::string to = NumberText(it.value());
        if (!to.empty()) room.exits.emplace_back(text::FromUnicode(it.key()), to);
    }
    return Clean(std::move(room));
}

} // namespace tracking
