// The game's word on the player's room: MSDP and GMCP subnegotiation payloads, which any game
// (or anything that says it is one) may send.
//
// Input: a flag byte (odd: GMCP, even: MSDP), then the payload.
//
// Properties: parsing never fails hard; an identity always has a number and no control byte in
// any text; an MSDP identity written back as a ROOM table reads back the same.

#include "FuzzInput.h"
#include "tracking/RoomIdentity.h"

#include <string_view>

namespace {
bool Clean(const std::string& s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) < 0x20) return false;
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const bool gmcp = data[0] & 1;
    const std::string_view payload(reinterpret_cast<const char*>(data + 1), size - 1);
    const auto room =
        gmcp ? tracking::ParseGmcpRoomInfo(payload) : tracking::ParseMsdpRoom(payload);
    if (!room) return 0;
    FUZZ_CHECK(!room->id.empty());
    FUZZ_CHECK(Clean(room->id) && Clean(room->name) && Clean(room->area));
    for (const auto& [dir, to] : room->exits)
        FUZZ_CHECK(Clean(dir) && Clean(to) && !to.empty());
    if (!gmcp) {
        std::string again = "\x01ROOM\x02\x03\x01VNUM\x02" + room->id + "\x01NAME\x02" +
                            room->name +
                            "\x01"
                            "AREA\x02" +
                            room->area +
                            "\x01"
                            "EXITS\x02\x03";
        for (const auto& [dir, to] : room->exits)
            again += "\x01" + dir + "\x02" + to;
        again += "\x04\x04";
        FUZZ_CHECK(tracking::ParseMsdpRoom(again) == room);
    }
    return 0;
}
