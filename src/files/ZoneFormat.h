#pragma once
// What the zone writer and reader agree on: the value types of the component stream, the record's
// fixed names and the table of room properties. Internal to the zone file code.

#include "map/MudRoom.h"

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace storage::detail {

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

inline constexpr std::string_view kSignature = "TPF0";
inline constexpr std::string_view kClassName = "TMudRoom2";
inline constexpr map::Color kDefaultColor = map::kSilver;
// Integer properties without a declared default: always written.
inline constexpr std::int32_t kNoDefault = std::numeric_limits<std::int32_t>::min();

// The streamed properties, in the order they are written, with how each is stored and when it
// is left out.
enum class Kind : std::uint8_t { Int, Bool, Text, Exits, Colour, Lines };
enum class Skip : std::uint8_t { Never, AtDefault, WhenFalse };

struct PropInfo {
    std::string_view name;
    Kind kind;
    Skip skip = Skip::AtDefault;
    int map::TMudRoom2::*intField = nullptr;
    std::int32_t intDefault = 0;
    bool map::TMudRoom2::*boolField = nullptr;
    std::string map::TMudRoom2::*textField = nullptr;
};

constexpr PropInfo Int(std::string_view name, int map::TMudRoom2::*f, std::int32_t def) {
    return {name, Kind::Int, Skip::AtDefault, f, def};
}
constexpr PropInfo Flag(std::string_view name, bool map::TMudRoom2::*f, Skip skip) {
    return {name, Kind::Bool, skip, nullptr, 0, f};
}
constexpr PropInfo Text(std::string_view name, std::string map::TMudRoom2::*f) {
    return {name, Kind::Text, Skip::AtDefault, nullptr, 0, nullptr, f};
}

inline constexpr std::array kProps{
    Int("Tag", &map::TMudRoom2::Tag, 0),
    PropInfo{"Exits", Kind::Exits},
    Text("Hint", &map::TMudRoom2::Hint),
    Flag("ChN", &map::TMudRoom2::ChN, Skip::Never),
    Flag("ChS", &map::TMudRoom2::ChS, Skip::Never),
    Flag("ChW", &map::TMudRoom2::ChW, Skip::Never),
    Flag("ChE", &map::TMudRoom2::ChE, Skip::Never),
    Flag("ChU", &map::TMudRoom2::ChU, Skip::Never),
    Flag("ChD", &map::TMudRoom2::ChD, Skip::Never),
    PropInfo{"BColor", Kind::Colour},
    Text("Description", &map::TMudRoom2::Description),
    Int("X", &map::TMudRoom2::X, kNoDefault),
    Int("Y", &map::TMudRoom2::Y, kNoDefault),
    Int("L", &map::TMudRoom2::L, kNoDefault),
    Int("DX", &map::TMudRoom2::DX, kNoDefault),
    Int("DY", &map::TMudRoom2::DY, kNoDefault),
    Int("DL", &map::TMudRoom2::DL, kNoDefault),
    Flag("Selected", &map::TMudRoom2::Selected, Skip::WhenFalse),
    Flag("Checked", &map::TMudRoom2::Checked, Skip::WhenFalse),
    Flag("Pipe", &map::TMudRoom2::Pipe, Skip::WhenFalse),
    Flag("DT", &map::TMudRoom2::DT, Skip::WhenFalse),
    Flag("FlyDT", &map::TMudRoom2::FlyDT, Skip::WhenFalse),
    Flag("Agro", &map::TMudRoom2::Agro, Skip::WhenFalse),
    Flag("NoStep", &map::TMudRoom2::NoStep, Skip::WhenFalse),
    Text("Note", &map::TMudRoom2::Note),
    Text("QuickList", &map::TMudRoom2::QuickList),
    PropInfo{"AutoMaps.Strings", Kind::Lines}, // the string list streams under its path
    Int("ImageIndex", &map::TMudRoom2::ImageIndex, 0),
};

} // namespace storage::detail
