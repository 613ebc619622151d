// The game server's stream: telnet commands, compression offers, MCCP v1/v2 start sequences and
// compressed data, in reads cut anywhere.
//
// Input: a flag byte (1 MCCP accepted, 2 collapse doubled 0xFF for recognition, 4 the middle
// piece is sent deflated, 8 its compressed stream is finished), then three pieces (plain bytes
// before, text to deflate, plain bytes after), then one byte per read giving its size.
//
// Properties: the same stream decodes to the same bytes, answers and notices whether it comes
// in one read or in many; the recognition copy is the client's text with 0xFF pairs collapsed.

#include "FuzzInput.h"
#include "relay/ServerStreamDecoder.h"

#include <string>
#include <vector>
#include <zlib.h>

namespace {

std::string Deflate(const std::string& text, bool finish) {
    z_stream zs{};
    if (deflateInit(&zs, Z_DEFAULT_COMPRESSION) != Z_OK) return {};
    std::string out(deflateBound(&zs, static_cast<uLong>(text.size())) + 64, '\0');
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    zs.avail_in = static_cast<uInt>(text.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    deflate(&zs, finish ? Z_FINISH : Z_SYNC_FLUSH);
    out.resize(out.size() - zs.avail_out);
    deflateEnd(&zs);
    return out;
}

std::string CollapsePairs(const std::string& s) {
    std::string out;
    bool pending = false;
    for (char c : s) {
        if (static_cast<unsigned char>(c) == 0xFF && pending) {
            pending = false;
            continue;
        }
        pending = static_cast<unsigned char>(c) == 0xFF;
        out.push_back(c);
    }
    return out;
}

struct Decoded {
    std::string client, recognition, toServer;
    std::vector<std::string> notices;
    bool failed = false;
};

// Feeds `stream` in reads of the given sizes (the rest in one read), as the relay does: a read
// that fails ends the connection.
Decoded Decode(const std::string& stream, const std::vector<std::size_t>& sizes, bool mccp,
               bool noDoubleYa) {
    relay::ServerStreamDecoder decoder;
    relay::DecodeResult r;
    Decoded d;
    std::size_t pos = 0;
    for (std::size_t i = 0; pos < stream.size() && !d.failed; ++i) {
        const std::size_t n = i < sizes.size() ? sizes[i] : stream.size() - pos;
        decoder.Feed(std::string_view(stream).substr(pos, n), mccp, noDoubleYa, r);
        pos += n;
        d.toServer += r.toServer;
        d.notices.insert(d.notices.end(), r.notices.begin(), r.notices.end());
        if (!r.forward || r.closeServer) {
            d.failed = true;
            break;
        }
        d.client += r.clientBytes;
        d.recognition += r.recognitionText;
        FUZZ_CHECK(noDoubleYa || r.recognitionText == r.clientBytes);
        (void)decoder.StatusText();
    }
    return d;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const std::uint8_t flags = in.Byte();
    const bool mccp = flags & 1, noDoubleYa = flags & 2, deflated = flags & 4;
    std::string stream = in.Piece(16384);
    const std::string middle = in.Piece(16384);
    stream += deflated ? Deflate(middle, flags & 8) : middle;
    stream += in.Piece(16384);

    std::vector<std::size_t> sizes;
    for (std::size_t total = 0; !in.Empty() && total < stream.size();) {
        const std::size_t n = 1 + std::size_t{in.Byte()} * 32; // 1 .. 8161 bytes
        sizes.push_back(n);
        total += n;
    }

    const Decoded pieces = Decode(stream, sizes, mccp, noDoubleYa);
    const Decoded whole = Decode(stream, {}, mccp, noDoubleYa);
    FUZZ_CHECK(pieces.failed == whole.failed);
    if (!whole.failed) {
        FUZZ_CHECK(pieces.client == whole.client);
        FUZZ_CHECK(pieces.toServer == whole.toServer);
        FUZZ_CHECK(pieces.notices == whole.notices);
        FUZZ_CHECK(pieces.recognition == whole.recognition);
        if (noDoubleYa) FUZZ_CHECK(whole.recognition == CollapsePairs(whole.client));
    }
    return 0;
}
