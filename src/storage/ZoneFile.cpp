#include "storage/ZoneFile.h"

#include "storage/Paths.h"
#include "text/Text.h"
#include "tracking/WorldProfile.h"

#include <array>
#include <limits>

namespace storage {

namespace {

// Value types of the component stream. Only these are ever produced for a room; everything
// else (floating point, sets, binary data, wide strings, ...) is refused.
enum ValueType : std::uint8_t {
    vaNull = 0x00,
    vaList = 0x01,
    vaInt8 = 0x02,
    vaInt16 = 0x03,
    vaInt32 = 0x04,
    vaString = 0x06,
    vaIdent = 0x07,
    vaFalse = 0x08,
    vaTrue = 0x09,
    vaLString = 0x0C,
};

constexpr std::string_view kSignature = "TPF0";
constexpr std::string_view kClassName = "TMudRoom2";
constexpr map::Color kDefaultColor = map::kSilver;
// Integer properties without a declared default are skipped only at this value.
constexpr std::int32_t kNoDefault = std::numeric_limits<std::int32_t>::min();

struct NamedColor {
    std::string_view name;
    std::uint32_t value;
};

// Writing takes the first name whose value matches, so the order matters.
constexpr std::array<NamedColor, 52> kColors{{
    {"clBlack", 0x00000000},
    {"clMaroon", 0x00000080},
    {"clGreen", 0x00008000},
    {"clOlive", 0x00008080},
    {"clNavy", 0x00800000},
    {"clPurple", 0x00800080},
    {"clTeal", 0x00808000},
    {"clGray", 0x00808080},
    {"clSilver", 0x00C0C0C0},
    {"clRed", 0x000000FF},
    {"clLime", 0x0000FF00},
    {"clYellow", 0x0000FFFF},
    {"clBlue", 0x00FF0000},
    {"clFuchsia", 0x00FF00FF},
    {"clAqua", 0x00FFFF00},
    {"clWhite", 0x00FFFFFF},
    {"clMoneyGreen", 0x00C0DCC0},
    {"clSkyBlue", 0x00F0CAA6},
    {"clCream", 0x00F0FBFF},
    {"clMedGray", 0x00A4A0A0},
    {"clActiveBorder", 0xFF00000A},
    {"clActiveCaption", 0xFF000002},
    {"clAppWorkSpace", 0xFF00000C},
    {"clBackground", 0xFF000001},
    {"clBtnFace", 0xFF00000F},
    {"clBtnHighlight", 0xFF000014},
    {"clBtnShadow", 0xFF000010},
    {"clBtnText", 0xFF000012},
    {"clCaptionText", 0xFF000009},
    {"clDefault", 0x20000000},
    {"clGradientActiveCaption", 0xFF00001B},
    {"clGradientInactiveCaption", 0xFF00001C},
    {"clGrayText", 0xFF000011},
    {"clHighlight", 0xFF00000D},
    {"clHighlightText", 0xFF00000E},
    {"clHotLight", 0xFF00001A},
    {"clInactiveBorder", 0xFF00000B},
    {"clInactiveCaption", 0xFF000003},
    {"clInactiveCaptionText", 0xFF000013},
    {"clInfoBk", 0xFF000018},
    {"clInfoText", 0xFF000017},
    {"clMenu", 0xFF000004},
    {"clMenuBar", 0xFF00001E},
    {"clMenuHighlight", 0xFF00001D},
    {"clMenuText", 0xFF000007},
    {"clNone", 0x1FFFFFFF},
    {"clScrollBar", 0xFF000000},
    {"cl3DDkShadow", 0xFF000015},
    {"cl3DLight", 0xFF000016},
    {"clWindow", 0xFF000005},
    {"clWindowFrame", 0xFF000006},
    {"clWindowText", 0xFF000008},
}};

// The streamed properties, in the order they are written, with how each is stored and when it
// is left out.
enum class Kind : std::uint8_t { Int, Bool, Text, Exits, Colour, Lines };
enum class Skip : std::uint8_t { Never, AtDefault, WhenFalse };

using map::TMudRoom2;

struct PropInfo {
    std::string_view name;
    Kind kind;
    Skip skip = Skip::AtDefault;
    int TMudRoom2::*intField = nullptr;
    std::int32_t intDefault = 0;
    bool TMudRoom2::*boolField = nullptr;
    std::string TMudRoom2::*textField = nullptr;
};

constexpr PropInfo Int(std::string_view name, int TMudRoom2::*f, std::int32_t def) {
    return {name, Kind::Int, Skip::AtDefault, f, def};
}
constexpr PropInfo Flag(std::string_view name, bool TMudRoom2::*f, Skip skip) {
    return {name, Kind::Bool, skip, nullptr, 0, f};
}
constexpr PropInfo Text(std::string_view name, std::string TMudRoom2::*f) {
    return {name, Kind::Text, Skip::AtDefault, nullptr, 0, nullptr, f};
}

constexpr std::array kProps{
    Int("Tag", &TMudRoom2::Tag, 0),
    PropInfo{"Exits", Kind::Exits},
    Text("Hint", &TMudRoom2::Hint),
    Flag("ChN", &TMudRoom2::ChN, Skip::Never),
    Flag("ChS", &TMudRoom2::ChS, Skip::Never),
    Flag("ChW", &TMudRoom2::ChW, Skip::Never),
    Flag("ChE", &TMudRoom2::ChE, Skip::Never),
    Flag("ChU", &TMudRoom2::ChU, Skip::Never),
    Flag("ChD", &TMudRoom2::ChD, Skip::Never),
    PropInfo{"BColor", Kind::Colour},
    Text("Description", &TMudRoom2::Description),
    Int("X", &TMudRoom2::X, kNoDefault),
    Int("Y", &TMudRoom2::Y, kNoDefault),
    Int("L", &TMudRoom2::L, kNoDefault),
    Int("DX", &TMudRoom2::DX, kNoDefault),
    Int("DY", &TMudRoom2::DY, kNoDefault),
    Int("DL", &TMudRoom2::DL, kNoDefault),
    Flag("Selected", &TMudRoom2::Selected, Skip::WhenFalse),
    Flag("Checked", &TMudRoom2::Checked, Skip::WhenFalse),
    Flag("Pipe", &TMudRoom2::Pipe, Skip::WhenFalse),
    Flag("DT", &TMudRoom2::DT, Skip::WhenFalse),
    Flag("FlyDT", &TMudRoom2::FlyDT, Skip::WhenFalse),
    Flag("Agro", &TMudRoom2::Agro, Skip::WhenFalse),
    Flag("NoStep", &TMudRoom2::NoStep, Skip::WhenFalse),
    Text("Note", &TMudRoom2::Note),
    Text("QuickList", &TMudRoom2::QuickList),
    PropInfo{"AutoMaps.Strings", Kind::Lines}, // the string list streams under its path
    Int("ImageIndex", &TMudRoom2::ImageIndex, 0),
};

// ---- Writer ---------------------------------------------------------------------------------

void PutByte(std::string& out, std::uint8_t b) {
    out.push_back(static_cast<char>(b));
}

void PutLE(std::string& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        PutByte(out, static_cast<std::uint8_t>(v >> (8 * i)));
}

void PutShortString(std::string& out, std::string_view s) {
    PutByte(out, static_cast<std::uint8_t>(s.size()));
    out.append(s);
}

void PutInt(std::string& out, std::int32_t v) {
    if (v >= -128 && v <= 127) {
        PutByte(out, vaInt8);
        PutLE(out, static_cast<std::uint32_t>(v), 1);
    } else if (v >= -32768 && v <= 32767) {
        PutByte(out, vaInt16);
        PutLE(out, static_cast<std::uint32_t>(v), 2);
    } else {
        PutByte(out, vaInt32);
        PutLE(out, static_cast<std::uint32_t>(v), 4);
    }
}

void PutString(std::string& out, std::string_view s) {
    if (s.size() <= 255) {
        PutByte(out, vaString);
        PutByte(out, static_cast<std::uint8_t>(s.size()));
    } else {
        PutByte(out, vaLString);
        PutLE(out, static_cast<std::uint32_t>(s.size()), 4);
    }
    out.append(s);
}

void PutProp(std::string& out, const PropInfo& p, const TMudRoom2& room) {
    auto name = [&] { PutShortString(out, p.name); };
    switch (p.kind) {
    case Kind::Int:
        if (room.*p.intField == p.intDefault) return;
        name();
        PutInt(out, room.*p.intField);
        return;
    case Kind::Bool:
        if (!(room.*p.boolField) && p.skip == Skip::WhenFalse) return;
        name();
        PutByte(out, room.*p.boolField ? vaTrue : vaFalse);
        return;
    case Kind::Text:
    case Kind::Exits: {
        const std::string& s = p.kind == Kind::Exits ? room.Exits() : room.*p.textField;
        if (s.empty()) return;
        name();
        PutString(out, s);
        return;
    }
    case Kind::Colour: {
        if (room.BColor == kDefaultColor) return;
        name();
        std::string_view colourName = ColorName(room.BColor);
        if (colourName.empty()) {
            PutInt(out, room.BColor);
        } else {
            PutByte(out, vaIdent);
            PutShortString(out, colourName);
        }
        return;
    }
    case Kind::Lines:
        if (room.AutoMaps.empty()) return;
        name();
        PutByte(out, vaList);
        for (const std::string& line : room.AutoMaps)
            PutString(out, line);
        PutByte(out, vaNull);
        return;
    }
}

// ---- Reader ---------------------------------------------------------------------------------

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
    RecordReader(std::string_view bytes, const tracking::WorldProfile& profile)
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
    const tracking::WorldProfile& profile_;
    size_t pos_ = 0;
};

void StripTrailing(std::string& s, std::string_view tail) {
    while (text::EndsWith(s, tail))
        s.resize(s.size() - tail.size());
}

} // namespace

std::string_view ColorName(map::Color color) {
    for (const NamedColor& c : kColors)
        if (c.value == static_cast<std::uint32_t>(color)) return c.name;
    return {};
}

std::optional<map::Color> ColorFromName(std::string_view name) {
    for (const NamedColor& c : kColors)
        if (text::EqualsIgnoreCaseLatin(name, c.name)) return static_cast<map::Color>(c.value);
    return std::nullopt;
}

void AppendRoomRecord(std::string& out, const map::TMudRoom2& room) {
    out.append(kSignature);
    PutShortString(out, kClassName);
    PutByte(out, 0); // no component name
    for (const PropInfo& p : kProps)
        PutProp(out, p, room);
    PutByte(out, vaNull); // end of properties
    PutByte(out, vaNull); // end of child components
}

std::string WriteZone(std::span<const map::TMudRoom2* const> rooms) {
    size_t estimate = 0;
    for (const map::TMudRoom2* r : rooms)
        estimate += 160 + r->Exits().size() + r->Hint.size() + r->Description.size() +
                    r->Note.size() + r->QuickList.size() + 64 * r->AutoMaps.size();
    std::string out;
    out.reserve(estimate);
    for (const map::TMudRoom2* r : rooms)
        AppendRoomRecord(out, *r);
    return out;
}

ZoneSaveResult SaveZoneFile(const std::filesystem::path& path, std::string_view bytes) {
    SaveResult saved = SaveFile(path, bytes, /*durable=*/true);
    if (saved.ok) return {};
    return {ZoneSaveStatus::CantOverwriteFile, saved.error};
}

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

ZoneReadResult ReadZone(std::string_view bytes, const tracking::WorldProfile& profile,
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

ZoneReadResult ReadZoneFile(const std::filesystem::path& path,
                            const tracking::WorldProfile& profile, ZoneFixups fixups) {
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
