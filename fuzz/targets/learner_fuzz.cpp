// Learning a profile from a session: the game's stream and the player's blocks, cut anywhere,
// telnet commands, colour and doubled 0xFF wherever they fall.
//
// Input: a flag byte (1 the game does not double 0xFF), then pieces: ">" and a block the
// player's client sent, or a block of the game's stream.
//
// Properties: every escape written for a marker reads back as the bytes it stands for; a key is
// named once; a learnt profile recognises what it says it recognises, through either way in; and
// putting what was learnt into a profile gives the learnt markers.

#include "FuzzInput.h"
#include "profile/WorldProfile.h"
#include "text/Text.h"
#include "tracking/ProfileLearner.h"

#include <algorithm>
#include <deque>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const std::uint8_t flags = in.Byte();
    profile::WorldProfile base;
    base.NoDoubleYa = !(flags & 1);

    std::deque<std::string> blocks;
    std::vector<tracking::SessionPiece> session;
    for (int pieces = 0; !in.Empty() && pieces < 256; ++pieces) {
        std::string piece = in.Piece(16384);
        const bool player = !piece.empty() && piece[0] == '>';
        blocks.push_back(player ? piece.substr(1) : std::move(piece));
        session.push_back({player, blocks.back()});
        // Any bytes at all, written as escapes, read back as they were.
        FUZZ_CHECK(text::DecodeEscapes(text::EncodeEscapes(blocks.back())) == blocks.back());
    }

    const tracking::LearntProfile learnt = tracking::LearnProfile(session, base);
    for (std::size_t i = 0; i < learnt.keys.size(); ++i)
        FUZZ_CHECK(std::count(learnt.keys.begin(), learnt.keys.end(), learnt.keys[i]) == 1);
    for (const tracking::LearnRemark& r : learnt.remarks) {
        FUZZ_CHECK(r.dir >= -1 && r.dir < 6);
        FUZZ_CHECK(!tracking::RemarkText(r).empty());
    }
    const profile::WorldProfile& p = learnt.profile;
    FUZZ_CHECK(p.RoomNameStartDecoded == text::DecodeEscapes(p.RoomNameStart));
    FUZZ_CHECK(p.AutoexitEndDecoded == text::DecodeEscapes(p.AutoexitEnd));
    if (learnt.Learnt()) {
        FUZZ_CHECK(!learnt.rooms.empty());
        const auto again = tracking::RecogniseRooms(session, p);
        FUZZ_CHECK(again.size() == learnt.rooms.size());
        for (std::size_t i = 0; i < again.size(); ++i)
            FUZZ_CHECK(again[i].name == learnt.rooms[i].name &&
                       again[i].exits == learnt.rooms[i].exits);
    }
    profile::WorldProfile applied = base;
    tracking::ApplyLearnt(learnt, applied);
    for (const profile::ProfileKey& k : learnt.keys) {
        if (k == profile::ProfileKey{"Messages", "RoomNameStart"})
            FUZZ_CHECK(applied.RoomNameStartDecoded == p.RoomNameStartDecoded);
        if (k == profile::ProfileKey{"Messages", "AutoexitStart"})
            FUZZ_CHECK(applied.AutoexitStartDecoded == p.AutoexitStartDecoded);
    }
    return 0;
}
