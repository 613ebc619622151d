// MSDP and GMCP with the program between game and client: the game's stream and the client's
// blocks, both from anyone, in reads cut anywhere.
//
// Input: a flag byte (1 MSDP on, 2 GMCP on, 4 collapse doubled 0xFF for recognition, 8 the
// client speaks first), then two pieces (the client's bytes, the game's stream, plain telnet),
// then one byte per read giving its size (client reads first, then the game's).
//
// Properties: cut anywhere, both sides give what they give in one read (client text, text to
// the game, recognition text, identities and their places); the stream recorded is the game's
// stream byte for byte; the client gets the stream less whole stretches of it, and all of it
// when both options are off; an identity lies within the recognition text.

#include "FuzzInput.h"
#include "relay/DebugLog.h"
#include "relay/OutOfBand.h"
#include "relay/ServerStreamDecoder.h"

#include <string>
#include <vector>

namespace {

struct Result {
    std::string toGame, client, recognition, stream;
    std::vector<tracking::IdentityAt> identities;
};

std::vector<std::string_view> Cut(std::string_view s, const std::vector<std::size_t>& sizes) {
    std::vector<std::string_view> reads;
    std::size_t pos = 0;
    for (std::size_t i = 0; pos < s.size(); ++i) {
        const std::size_t n =
            i < sizes.size() ? std::min(sizes[i], s.size() - pos) : s.size() - pos;
        reads.push_back(s.substr(pos, n));
        pos += n;
    }
    return reads;
}

Result Run(std::uint8_t flags, const std::string& client, const std::string& game,
           const std::vector<std::size_t>& clientSizes, const std::vector<std::size_t>& gameSizes) {
    relay::DebugLog log;
    relay::OutOfBand oob(log);
    oob.SetEnabled(flags & 1, flags & 2);
    relay::ServerStreamDecoder decoder;
    relay::DecodeResult r;
    Result out;
    auto clientSide = [&] {
        for (std::string_view block : Cut(client, clientSizes)) {
            std::string after;
            out.toGame += oob.FromClient(block, after);
            out.toGame += after;
        }
    };
    if (flags & 8) clientSide();
    for (std::string_view read : Cut(game, gameSizes)) {
        decoder.Feed(read, false, flags & 4, r, true, &oob);
        FUZZ_CHECK(r.forward);
        for (tracking::IdentityAt id : r.identities) {
            FUZZ_CHECK(id.offset <= r.recognitionText.size());
            id.offset += out.recognition.size();
            out.identities.push_back(std::move(id));
        }
        out.toGame += r.toServer;
        out.client += r.clientBytes;
        out.recognition += r.recognitionText;
        out.stream += r.Stream();
    }
    if (!(flags & 8)) clientSide();
    return out;
}

// Is `part` what is left of `whole` with some stretches taken out?
bool IsSubsequence(const std::string& part, const std::string& whole) {
    std::size_t i = 0;
    for (char c : whole)
        if (i < part.size() && part[i] == c) ++i;
    return i == part.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const std::uint8_t flags = in.Byte();
    const std::string client = in.Piece(8192);
    // No compression offers: the decoder passes the rest of plain telnet as it stands.
    std::string game = in.Piece(16384);
    for (std::size_t i = 0; i + 2 < game.size(); ++i)
        if (game[i] == '\xFF' && (game[i + 2] == '\x55' || game[i + 2] == '\x56'))
            game[i + 2] = 'X';
    std::vector<std::size_t> clientSizes, gameSizes;
    for (std::size_t total = 0; !in.Empty() && total < client.size();) {
        clientSizes.push_back(1 + std::size_t{in.Byte()} % 64);
        total += clientSizes.back();
    }
    for (std::size_t total = 0; !in.Empty() && total < game.size();) {
        gameSizes.push_back(1 + std::size_t{in.Byte()} * 32);
        total += gameSizes.back();
    }

    const Result pieces = Run(flags, client, game, clientSizes, gameSizes);
    const Result whole = Run(flags, client, game, {}, {});
    FUZZ_CHECK(pieces.toGame == whole.toGame);
    FUZZ_CHECK(pieces.client == whole.client);
    FUZZ_CHECK(pieces.recognition == whole.recognition);
    FUZZ_CHECK(pieces.identities.size() == whole.identities.size());
    for (std::size_t i = 0; i < whole.identities.size(); ++i) {
        FUZZ_CHECK(pieces.identities[i].offset == whole.identities[i].offset);
        FUZZ_CHECK(pieces.identities[i].identity == whole.identities[i].identity);
    }
    // The end of the stream may wait for more (a command cut off), never anything else.
    FUZZ_CHECK(game.compare(0, whole.stream.size(), whole.stream) == 0);
    FUZZ_CHECK(game.size() - whole.stream.size() <= 3);
    FUZZ_CHECK(IsSubsequence(whole.client, whole.stream));
    if (!(flags & 3)) {
        FUZZ_CHECK(whole.client == whole.stream);
        FUZZ_CHECK(whole.toGame == client);
    }
    return 0;
}
