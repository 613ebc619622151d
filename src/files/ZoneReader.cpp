#include "files/ZoneFile.h"

#include "files/Paths.h"
#include "files/ZoneFormat.h"
#include "profile/WorldProfile.h"
#include "text/Text.h"

namespace storage {

namespace {

using namespace detail;
using map::TMudRoom2;

struct FormatError {
    std::string what;
};

// Names from the file go into the debug log; control bytes would garble it.
std::string Printable(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 32) c = '?';
    return "\"" + out + "\"";
}

std::string Hex(std::uint8_t b) {
    static const char digits[] = "0123456789ABCDEF";
    return std::string("0x") + digits[b >> 4] + digits[b & 15];
}

class RecordReader {
public:
    RecordReader(std::string_view bytes, const profile::WorldProfile& profile)
        : data_(bytes), profile_(profile) {}

    size_t Position() const { return pos_; }
    size_t Left() const { return data_.size() - pos_; }

    void ReadRecord(map::TMudRoom2& room) {
        if (Take(kSignature.size()) != kSignature) Fail("bad signature");
        if ((Peek() & 0xF0) == 0xF0) Fail("unsupported component flags " + Hex(Peek()));
        ShortString(); // class name: not checked
        ShortString(); // component name: rooms have none, and none is kept
        size_t expected = 0;
        while (Peek() != vaNull) {
            size_t index = FindProp(ShortString(), expected);
            expected = index + 1;
            ReadProp(room, kProps[index]);
        }
        ++pos_;
        if (Byte() != vaNull) Fail("a room cannot own components");
    }

private:
    [[noreturn]] void Fail(std::string what) { throw FormatError{std::move(what)}; }

    [[noreturn]] void CutShort() { Fail("the record is cut short"); }

    std::uint8_t Peek() {
        if (pos_ >= data_.size()) CutShort();
        return static_cast<std::uint8_t>(data_[pos_]);
    }

    std::uint8_t Byte() {
        std::uint8_t b = Peek();
        ++pos_;
        return b;
    }

    std::string_view Take(size_t n) {
        if (n > Left()) CutShort();
        std::string_view s = data_.substr(pos_, n);
        pos_ += n;
        return s;
    }

    std::uint32_t LE(int bytes) {
        std::string_view s = Take(static_cast<size_t>(bytes));
        std::uint32_t v = 0;
        for (int i = bytes - 1; i >= 0; --i)
            v = (v << 8) | static_cast<std::uint8_t>(s[static_cast<size_t>(i)]);
        return v;
    }

    std::string_view ShortString() { return Take(Byte()); }

    size_t FindProp(std::string_view name, size_t expected) {
        // Records come in the written order, so the expected property is nearly always next;
        // names are otherwise matched without regard to case, as the stream reader always did.
        if (expected < kProps.size() && name == kProps[expected].name) return expected;
        for (size_t i = 0; i < kProps.size(); ++i)
            if (text::EqualsIgnoreCaseLatin(name, kProps[i].name)) return i;
        Fail("unknown property " + Printable(name));
    }

    [[noreturn]] void WrongKind(const PropInfo& p, std::uint8_t type) {
        switch (type) {
        case vaNull:
        case vaList:
        case vaInt8:
        case vaInt16:
        case vaInt32:
        case vaString:
        case vaIdent:
        case vaFalse:
        case vaTrue:
        case vaLString:
            Fail("property " + std::string(p.name) + " has a value of the wrong kind (" +
                 Hex(type) + ")");
        default:
            Fail("property " + std::string(p.name) + " has an unknown value type " + Hex(type));
        }
    }

    std::int32_t IntPayload(std::uint8_t type) {
        switch (type) {
        case vaInt8:
            return static_cast<std::int8_t>(LE(1));
        case vaInt16:
            return static_cast<std::int16_t>(LE(2));
        default:
            return static_cast<std::int32_t>(LE(4));
        }
    }

    static bool IsInt(std::uint8_t type) {
        return type == vaInt8 || type == vaInt16 || type == vaInt32;
    }

    std::int32_t Int(const PropInfo& p) {
        std::uint8_t type = Byte();
        if (!IsInt(type)) WrongKind(p, type);
        return IntPayload(type);
    }

    std::string_view String(const PropInfo& p) {
        std::uint8_t type = Byte();
        if (type == vaString) return ShortString();
        if (type != vaLString) WrongKind(p, type);
        std::uint32_t n = LE(4);
        if (n > Left())
            Fail("property " + std::string(p.name) + " claims " + std::to_string(n) +
                 " bytes of text where " + std::to_string(Left()) + " are left");
        return Take(n);
    }

    bool Bool(const PropInfo& p) {
        std::uint8_t type = Byte();
        if (type == vaTrue) return true;
        if (type != vaFalse) WrongKind(p, type);
        return false;
    }

    map::Color Color(const PropInfo& p) {
        std::uint8_t type = Byte();
        if (IsInt(type)) return IntPayload(type);
        if (type != vaIdent) WrongKind(p, type);
        std::string_view name = ShortString();
        std::optional<map::Color> c = ColorFromName(name);
        if (!c) Fail("unknown colour " + Printable(name));
        return *c;
    }

    void ReadList(const PropInfo& p, std::vector<std::string>& lines) {
        std::uint8_t type = Byte();
        if (type != vaList) WrongKind(p, type);
        lines.clear();
        // Every item takes at least two bytes, so the loop ends with the input.
        while (Peek() != vaNull)
            lines.emplace_back(String(p));
        ++pos_;
    }

    void ReadProp(TMudRoom2& room, const PropInfo& p) {
        switch (p.kind) {
        case Kind::Int:
            room.*p.intField = Int(p);
            break;
        case Kind::Bool:
            room.*p.boolField = Bool(p);
            break;
        case Kind::Text:
            (room.*p.textField).assign(String(p));
            break;
        case Kind::Exits:
            room.SetExits(std::string(String(p)), profile_);
            break;
        case Kind::Colour:
            room.BColor = Color(p);
            break;
        case Kind::Lines:
            ReadList(p, room.AutoMaps);
            break;
        }
    }

    std::string_view data_;
    const profile::WorldProfile& profile_;
    size_t pos_ = 0;
};

void StripTrailing(std::string& s, std::string_view tail) {
    while (text::EndsWith(s, tail))
        s.resize(s.size() - tail.size());
}

} // namespace

std::string CompleteLinkLine(std::string_view line) {
    if (!text::GetField(line, 5).empty()) return std::string(line);
    std::string fourth = text::GetField(line, 4);
    std::string out;
    out.reserve(line.size() + 3);
    for (int i = 1; i <= 3; ++i)
        out.append(text::GetField(line, i)).append("|");
    out.append(fourth).append("|").append(fourth.empty() ? "-1" : "0");
    return out;
}

void ApplyFixups(map::TMudRoom2& room, ZoneFixups fixups) {
    // Black was never a colour a room could keep: a stored 0 means "not set".
    if (room.BColor == 0) room.BColor = kDefaultColor;
    if (room.Pipe) room.Hint.clear();
    if (fixups == ZoneFixups::Load) {
        room.Description = text::NormaliseDescription(room.Description);
        for (std::string& line : room.AutoMaps)
            line = CompleteLinkLine(line);
    }
    StripTrailing(room.Description, "\r\n");
}

std::string ZoneReadResult::LogLine() const {
    return "File: \"" + fileName + "\" " + error;
}

ZoneReadResult ReadZone(std::string_view bytes, const profile::WorldProfile& profile,
                        ZoneFixups fixups) {
    ZoneReadResult result;
    RecordReader reader(bytes, profile);
    // Up to ten trailing bytes are ignored, as they always were.
    while (reader.Left() > 10) {
        size_t start = reader.Position();
        map::TMudRoom2 room;
        try {
            reader.ReadRecord(room);
        } catch (const FormatError& e) {
            result.error = "room " + std::to_string(result.rooms.size() + 1) + " at offset " +
                           std::to_string(start) + ": " + e.what;
            break;
        }
        ApplyFixups(room, fixups);
        result.rooms.push_back(std::move(room));
    }
    return result;
}

ZoneReadResult ReadZoneFile(const std::filesystem::path& path, const profile::WorldProfile& profile,
                            ZoneFixups fixups) {
    std::string bytes;
    ZoneReadResult result;
    if (!ReadFile(path, bytes)) {
        result.error = "cannot be read";
    } else {
        result = ReadZone(bytes, profile, fixups);
    }
    result.fileName = PathToText(path.filename());
    return result;
}

} // namespace storage
