#pragma once
// Decoding of the game server's stream: telnet compression offers answered, MCCP v1/v2 started,
// inflated and ended. It takes the raw bytes of one read and gives back what goes to the client,
// to recognition and to the server, so that it can be driven without sockets.

#include "tracking/RoomIdentity.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace relay {

class OutOfBand;

struct DecodeResult {
    std::string clientBytes; // decoded text for the client (sent after the notices)
    // The game's decoded stream, when the client does not get all of it (a subnegotiation it
    // did not take up was cut out); else the stream is clientBytes itself.
    std::string streamBytes;
    bool streamDiffers = false;
    std::string recognitionText; // the copy for recognition, 0xFF pairs collapsed if asked
    // Where in recognitionText the game ended an answer with IAC GA or IAC EOR: the offset just
    // after the command, in order. Made only when recognitionText is.
    std::vector<std::size_t> prompts;
    // The room's identity as the game told it out of band in this read, placed by offsets into
    // recognitionText. Made only when recognitionText is.
    std::vector<tracking::IdentityAt> identities;
    std::string toServer;             // answers to the server's offers
    std::vector<std::string> notices; // notice texts, unframed, in order
    bool closeServer = false;         // the server connection must be closed
    bool forward = true;              // false: nothing of this read goes on (client, tracking)

    // The game's stream as decoded, out-of-band subnegotiations and all: what is recorded.
    std::string& Stream() { return streamDiffers ? streamBytes : clientBytes; }
};

class ServerStreamDecoder {
public:
    ServerStreamDecoder();
    ~ServerStreamDecoder();
    ServerStreamDecoder(const ServerStreamDecoder&) = delete;
    ServerStreamDecoder& operator=(const ServerStreamDecoder&) = delete;

    // One read of at most 8192 bytes.
    DecodeResult Feed(std::string_view raw, bool mccpEnabled, bool noDoubleYa);
    // The same, into a result whose buffers are reused from read to read.
    // `wantText` false leaves recognitionText empty (nobody reads it: tracking is off).
    // With `outOfBand` the decoded stream goes through it: its answers go to the server, the
    // subnegotiations of its options are cut out of the recognition text (and out of the
    // client's, unless it took them up) and read for identities.
    void Feed(std::string_view raw, bool mccpEnabled, bool noDoubleYa, DecodeResult& out,
              bool wantText = true, OutOfBand* outOfBand = nullptr);

    // A new client connection: offers are answered afresh.
    void ResetOffer();
    // Server connected or disconnected: everything back to plain, the inflater released.
    void Reset();

    // The game has ended an answer with IAC GA or IAC EOR since its connection opened.
    bool PromptsSeen() const;

    // Status bar panel 1: " mccp: none", " mccp: V2 (75%)".
    std::string StatusText() const;

    bool MccpOffered() const;
    bool MccpActive() const;
    bool MccpStarted() const;
    const std::string& MccpMode() const;
    std::uint64_t MccpBytesIn() const;
    std::uint64_t MccpBytesOut() const;

private:
    struct Impl;
    Impl* impl_;
};

} // namespace relay
