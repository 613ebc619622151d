#include "files/ZoneFile.h"

#include "files/ZoneFormat.h"

namespace storage {

namespace {

using namespace detail;
using map::TMudRoom2;

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
        // Without a default every value is written, the lowest integer too (skipping it, as
        // the stream format's "no default" marker suggests, would move the room to 0 on load).
        if (p.intDefault != kNoDefault && room.*p.intField == p.intDefault) return;
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

} // namespace

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
    return {saved.directoryRefused ? ZoneSaveStatus::CantWriteWorld
                                   : ZoneSaveStatus::CantOverwriteFile,
            saved.error};
}

} // namespace storage
