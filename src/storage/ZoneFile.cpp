#include "storage/ZoneFile.h"

#include "storage/Paths.h"
#include "text/Text.h"
#include "tracking/WorldProfile.h"

#include <array>
#include <cstring>
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

// The streamed properties, in the order they are written.
enum Prop {
    pTag,
    pExits,
    pHint,
    pChN,
    pChS,
    pChW,
    pChE,
    pChU,
    pChD,
    pBColor,
    pDescription,
    pX,
    pY,
    pL,
    pDX,
    pDY,
    pDL,
    pSelected,
    pChecked,
    pPipe,
    pDT,
    pFlyDT,
    pAgro,
    pNoStep,
    pNote,
    pQuickList,
    pAutoMaps,
    pImageIndex,
    kPropCount
};

constexpr std::array<std::string_view, kPropCount> kPropNames{
    "Tag",       "Exits",       "Hint",
    "ChN",       "ChS",         "ChW",
    "ChE",       "ChU",         "ChD",
    "BColor",    "Description", "X",
    "Y",         "L",           "DX",
    "DY",        "DL",          "Selected",
    "Checked",   "Pipe",        "DT",
    "FlyDT",     "Agro",        "NoStep",
    "Note",      "QuickList",   "AutoMaps.Strings",
    "ImageIndex"};

bool* BoolField(map::TMudRoom2& r, Prop p) {
    switch (p) {
    case pChN:
        return &r.ChN;
    case pChS:
        return &r.ChS;
    case pChW:
        return &r.ChW;
    case pChE:
        return &r.ChE;
    case pChU:
        return &r.ChU;
    case pChD:
        return &r.ChD;
    case pSelected:
        return &r.Selected;
    case pChecked:
        return &r.Checked;
    case pPipe:
        return &r.Pipe;
    case pDT:
        return &r.DT;
    case pFlyDT:
        return &r.FlyDT;
    case pAgro:
        return &r.Agro;
    case pNoStep:
        return &r.NoStep;
    default:
        return nullptr;
    }
}

int* IntField(map::TMudRoom2& r, Prop p) {
    switch (p) {
    case pTag:
        return &r.Tag;
    case pX:
        return &r.X;
    case pY:
        return &r.Y;
    case pL:
        return &r.L;
    case pDX:
        return &r.DX;
    case pDY:
        return &r.DY;
    case pDL:
        return &r.DL;
    case pImageIndex:
        return &r.ImageIndex;
    default:
        return nullptr;
    }
}

std::string* StringField(map::TMudRoom2& r, Prop p) {
    switch (p) {
    case pHint:
        return &r.Hint;
    case pDescription:
        return &r.Description;
    case pNote:
        return &r.Note;
    case pQuickList:
        return &r.QuickList;
    default:
        return nullptr;
    }
}

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

void PutName(std::string& out, Prop p) {
    PutShortString(out, kPropNames[p]);
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

void PutIntProp(std::string& out, Prop p, std::int32_t v, std::int32_t defaultValue) {
    if (v == defaultValue) return;
    PutName(out, p);
    PutInt(out, v);
}

void PutStringProp(std::string& out, Prop p, const std::string& s) {
    if (s.empty()) return;
    PutName(out, p);
    PutString(out, s);
}

void PutBoolProp(std::string& out, Prop p, bool v, bool always) {
    if (!v && !always) return;
    PutName(out, p);
    PutByte(out, v ? vaTrue : vaFalse);
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
            Prop p = FindProp(ShortString(), expected);
            expected = static_cast<size_t>(p) + 1;
            ReadProp(room, p);
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

    Prop FindProp(std::string_view name, size_t expected) {
        // Records come in the written order, so the expected property is nearly always next;
        // names are otherwise matched without regard to case, as the stream reader always did.
        if (expected < kPropCount && name == kPropNames[expected])
            return static_cast<Prop>(expected);
        for (size_t i = 0; i < kPropCount; ++i)
            if (text::EqualsIgnoreCaseLatin(name, kPropNames[i])) return static_cast<Prop>(i);
        Fail("unknown property " + Printable(name));
    }

    [[noreturn]] void WrongKind(Prop p, std::uint8_t type) {
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
            Fail("property " + std::string(kPropNames[p]) + " has a value of the wrong kind (" +
                 Hex(type) + ")");
        default:
            Fail("property " + std::string(kPropNames[p]) + " has an unknown value type " +
                 Hex(type));
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

    std::int32_t Int(Prop p) {
        std::uint8_t type = Byte();
        if (!IsInt(type)) WrongKind(p, type);
        return IntPayload(type);
    }

    std::string_view String(Prop p) {
        std::uint8_t type = Byte();
        if (type == vaString) return ShortString();
        if (type != vaLString) WrongKind(p, type);
        std::uint32_t n = LE(4);
        if (n > Left())
            Fail("property " + std::string(kPropNames[p]) + " claims " + std::to_string(n) +
                 " bytes of text where " + std::to_string(Left()) + " are left");
        return Take(n);
    }

    bool Bool(Prop p) {
        std::uint8_t type = Byte();
        if (type == vaTrue) return true;
        if (type != vaFalse) WrongKind(p, type);
        return false;
    }

    map::Color Color() {
        std::uint8_t type = Byte();
        if (IsInt(type)) return IntPayload(type);
        if (type != vaIdent) WrongKind(pBColor, type);
        std::string_view name = ShortString();
        std::optional<map::Color> c = ColorFromName(name);
        if (!c) Fail("unknown colour " + Printable(name));
        return *c;
    }

    void ReadList(std::vector<std::string>& lines) {
        std::uint8_t type = Byte();
        if (type != vaList) WrongKind(pAutoMaps, type);
        lines.clear();
        // Every item takes at least two bytes, so the loop ends with the input.
        while (Peek() != vaNull)
            lines.emplace_back(String(pAutoMaps));
        ++pos_;
    }

    void ReadProp(map::TMudRoom2& room, Prop p) {
        if (int* i = IntField(room, p)) {
            *i = Int(p);
        } else if (bool* b = BoolField(room, p)) {
            *b = Bool(p);
        } else if (std::string* s = StringField(room, p)) {
            s->assign(String(p));
        } else if (p == pExits) {
            room.SetExits(std::string(String(p)), profile_);
        } else if (p == pBColor) {
            room.BColor = Color();
        } else if (p == pAutoMaps) {
            ReadList(room.AutoMaps);
        }
    }

    std::string_view data_;
    const tracking::WorldProfile& profile_;
    size_t pos_ = 0;
};

// Replaces `from` by `to` left to right, again and again until `from` no longer occurs.
void ReplaceUntilGone(std::string& s, std::string_view from, std::string_view to) {
    while (s.find(from) != std::string::npos)
        s = text::ReplaceAll(s, from, to);
}

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
    PutIntProp(out, pTag, room.Tag, 0);
    PutStringProp(out, pExits, room.Exits());
    PutStringProp(out, pHint, room.Hint);
    PutBoolProp(out, pChN, room.ChN, true);
    PutBoolProp(out, pChS, room.ChS, true);
    PutBoolProp(out, pChW, room.ChW, true);
    PutBoolProp(out, pChE, room.ChE, true);
    PutBoolProp(out, pChU, room.ChU, true);
    PutBoolProp(out, pChD, room.ChD, true);
    if (room.BColor != kDefaultColor) {
        PutName(out, pBColor);
        std::string_view name = ColorName(room.BColor);
        if (name.empty()) {
            PutInt(out, room.BColor);
        } else {
            PutByte(out, vaIdent);
            PutShortString(out, name);
        }
    }
    PutStringProp(out, pDescription, room.Description);
    PutIntProp(out, pX, room.X, kNoDefault);
    PutIntProp(out, pY, room.Y, kNoDefault);
    PutIntProp(out, pL, room.L, kNoDefault);
    PutIntProp(out, pDX, room.DX, kNoDefault);
    PutIntProp(out, pDY, room.DY, kNoDefault);
    PutIntProp(out, pDL, room.DL, kNoDefault);
    PutBoolProp(out, pSelected, room.Selected, false);
    PutBoolProp(out, pChecked, room.Checked, false);
    PutBoolProp(out, pPipe, room.Pipe, false);
    PutBoolProp(out, pDT, room.DT, false);
    PutBoolProp(out, pFlyDT, room.FlyDT, false);
    PutBoolProp(out, pAgro, room.Agro, false);
    PutBoolProp(out, pNoStep, room.NoStep, false);
    PutStringProp(out, pNote, room.Note);
    PutStringProp(out, pQuickList, room.QuickList);
    if (!room.AutoMaps.empty()) {
        PutName(out, pAutoMaps);
        PutByte(out, vaList);
        for (const std::string& line : room.AutoMaps)
            PutString(out, line);
        PutByte(out, vaNull);
    }
    PutIntProp(out, pImageIndex, room.ImageIndex, 0);
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

std::string NormalizeDescription(std::string_view description) {
    std::string s(description);
    ReplaceUntilGone(s, "\r\n\r\n", "\r\n");
    ReplaceUntilGone(s, "\r\r", "\r");
    ReplaceUntilGone(s, "\n\n", "\n");
    if (s.find("\n\r") != std::string::npos) s = text::ReplaceAll(s, "\n\r", "\r\n");
    if (text::StartsWith(s, "\r\n")) s.erase(0, 2);
    StripTrailing(s, "\r\n");
    StripTrailing(s, "\r");
    StripTrailing(s, "\n");
    return s;
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
        room.Description = NormalizeDescription(room.Description);
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
