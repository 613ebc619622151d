// The server stream decoder fed with bytes as a game server sends them, compressed with real
// zlib, and read back byte for byte.

#include "Deflater.h"
#include "relay/ServerStreamDecoder.h"

#include <gtest/gtest.h>
#include <random>
#include <stdexcept>
#include <zlib.h>

using relay::DecodeResult;
using relay::ServerStreamDecoder;

namespace {

const std::string kIac = "\xFF";
const std::string kWillCompress2 = "\xFF\xFB\x56";
const std::string kWillCompress = "\xFF\xFB\x55";
const std::string kWillMsdp = "\xFF\xFB\x45";
const std::string kStartV2 = "\xFF\xFA\x56\xFF\xF0";
const std::string kStartV1 = "\xFF\xFA\x55\xFB\xF0";

// Everything one connection produced, reads joined.
struct Joined {
    std::string client, recognition, server;
    std::vector<std::string> notices;
    bool closed = false;
};

// With `reuse` one result object serves every read, as the relay's hot path may use it.
Joined FeedInPieces(ServerStreamDecoder& decoder, std::string_view stream, std::size_t piece,
                    bool reuse = false) {
    Joined j;
    DecodeResult reused;
    for (std::size_t pos = 0; pos < stream.size(); pos += piece) {
        DecodeResult fresh;
        DecodeResult& r = reuse ? reused : fresh;
        decoder.Feed(stream.substr(pos, piece), true, true, r);
        if (r.forward) {
            j.client += r.clientBytes;
            j.recognition += r.recognitionText;
        }
        j.server += r.toServer;
        j.notices.insert(j.notices.end(), r.notices.begin(), r.notices.end());
        j.closed = j.closed || r.closeServer;
    }
    return j;
}

std::string RoomText(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) {
        s += "\x1B[1;36m\xD0\xFB\xED\xEE\xF7\xED\xE0\xFF \xEF\xEB\xEE\xF9\xE0\xE4\xFC " +
             std::to_string(i) + "\r\n";
        s += "  \xD8\xF3\xEC\xED\xE0\xFF \xEF\xEB\xEE\xF9\xE0\xE4\xFC, \xE1\xF0\xF3\xF1\xF7\xE0"
             "\xF2\xEA\xE0 \xEC\xEE\xEA\xF0\xE0\xFF.\r\n";
        s += "\x1B[36m[ Exits: n e s w ]\r\n";
    }
    return s;
}

} // namespace

TEST(ServerStreamDecoder, AnswersCompressionOffersAndPassesOtherOptionsThrough) {
    {
        ServerStreamDecoder d;
        DecodeResult r = d.Feed("Hi" + kWillCompress2 + "!", true, true);
        EXPECT_EQ(r.clientBytes, "Hi!");
        EXPECT_EQ(r.toServer, "\xFF\xFD\x56");
        EXPECT_EQ(r.notices, std::vector<std::string>{"Enabling MCCP V2"});
        EXPECT_TRUE(d.MccpOffered());
        EXPECT_FALSE(d.MccpActive());
        EXPECT_EQ(d.MccpMode(), "V2");
        EXPECT_EQ(d.StatusText(), " mccp: V2");
    }
    {
        ServerStreamDecoder d;
        DecodeResult r = d.Feed(kWillCompress2, false, true);
        EXPECT_EQ(r.clientBytes, "");
        EXPECT_EQ(r.toServer, "\xFF\xFE\x56");
        EXPECT_EQ(r.notices, std::vector<std::string>{"Refusing MCCP V2"});
        EXPECT_EQ(d.MccpMode(), "none");
        // A later offer in the same connection is declined without a notice.
        r = d.Feed(kWillCompress, false, true);
        EXPECT_EQ(r.toServer, "\xFF\xFE\x55");
        EXPECT_TRUE(r.notices.empty());
        EXPECT_EQ(r.clientBytes, "");
    }
    {
        // As Russian servers greet: MSDP first, then both compression versions in one packet.
        // MSDP is the client's business; COMPRESS2 is taken, COMPRESS declined.
        ServerStreamDecoder d;
        DecodeResult r =
            d.Feed("\r\n" + kWillMsdp + kWillCompress2 + kWillCompress + "Login: ", true, true);
        EXPECT_EQ(r.clientBytes, "\r\n" + kWillMsdp + "Login: ");
        EXPECT_EQ(r.toServer, "\xFF\xFD\x56\xFF\xFE\x55");
        EXPECT_EQ(r.notices, std::vector<std::string>{"Enabling MCCP V2"});
        EXPECT_EQ(d.MccpMode(), "V2");
    }
    {
        // Echo (password masking), EOR and a GA prompt reach the client untouched.
        ServerStreamDecoder d;
        const std::string s = "\xFF\xFB\x01Password: \xFF\xFB\x19\xFF\xFC\x01> \xFF\xF9";
        DecodeResult r = d.Feed(s, true, true);
        EXPECT_EQ(r.clientBytes, s);
        EXPECT_EQ(r.toServer, "");
        EXPECT_TRUE(r.notices.empty());
        EXPECT_FALSE(d.MccpOffered());
        // ...and a compression offer after them is still answered.
        r = d.Feed(kWillCompress, true, true);
        EXPECT_EQ(r.toServer, "\xFF\xFD\x55");
        EXPECT_EQ(d.MccpMode(), "V1");
    }
}

TEST(ServerStreamDecoder, StartsVersion2AndInflatesTheRestOfTheSameRead) {
    ServerStreamDecoder d;
    Deflater z;
    const std::string room = RoomText(3);
    d.Feed(kWillMsdp + kWillCompress2, true, true);
    DecodeResult r = d.Feed("plain " + kStartV2 + z.Chunk(room), true, true);
    EXPECT_TRUE(r.forward);
    EXPECT_EQ(r.clientBytes, "plain " + room);
    EXPECT_EQ(r.notices, std::vector<std::string>{"Starting MCCP V2"});
    EXPECT_TRUE(d.MccpActive());
    EXPECT_TRUE(d.MccpStarted());
    EXPECT_FALSE(d.MccpOffered());
    EXPECT_EQ(d.MccpBytesOut(), room.size());

    // Offers inside the compressed stream are the client's, not examined.
    r = d.Feed(z.Chunk(kWillCompress2 + "x"), true, true);
    EXPECT_EQ(r.clientBytes, kWillCompress2 + "x");
    EXPECT_EQ(r.toServer, "");
}

TEST(ServerStreamDecoder, StartsVersion1WithItsOwnStartSequence) {
    ServerStreamDecoder d;
    Deflater z;
    DecodeResult r = d.Feed(kWillCompress, true, true);
    EXPECT_EQ(r.toServer, "\xFF\xFD\x55");
    EXPECT_EQ(r.notices, std::vector<std::string>{"Enabling MCCP V1"});
    r = d.Feed(kStartV1 + z.Chunk("text"), true, true);
    EXPECT_EQ(r.clientBytes, "text");
    EXPECT_EQ(r.notices, std::vector<std::string>{"Starting MCCP V1"});
    EXPECT_EQ(d.MccpMode(), "V1");

    // The version-2 start sequence after a version-1 answer is an error.
    ServerStreamDecoder wrong;
    wrong.Feed(kWillCompress, true, true);
    r = wrong.Feed("before" + kStartV2, true, true);
    EXPECT_EQ(r.notices, std::vector<std::string>{"MCCP Error V1"});
    EXPECT_TRUE(r.closeServer);
    EXPECT_FALSE(r.forward);
    EXPECT_EQ(r.clientBytes, "");
}

TEST(ServerStreamDecoder, GivesTheSameBytesHoweverTheStreamIsCutIntoReads) {
    // A whole session: greeting with offers, plain text, compression start, rooms, the end of
    // the compressed stream mid-read, plain text after it, a new offer.
    Deflater z;
    const std::string rooms = RoomText(40);
    const std::string tail = "plain again \xFF\xFF\r\n";
    const std::string packed1 = z.Chunk(rooms.substr(0, 1000));
    const std::string packed2 = z.Chunk(rooms.substr(1000), Z_FINISH);
    const std::string stream = "Welcome\r\n" + kWillMsdp + kWillCompress2 + kWillCompress +
                               "Login: " + kStartV2 + packed1 + packed2 + tail + kWillCompress2 +
                               "end";
    const std::string expectedClient = "Welcome\r\n" + kWillMsdp + "Login: " + rooms + tail + "end";
    std::string expectedRecognition = expectedClient;
    expectedRecognition.replace(expectedRecognition.find("\xFF\xFF\r\n"), 2, "\xFF");

    for (std::size_t piece :
         {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{4}, std::size_t{5},
          std::size_t{7}, std::size_t{64}, std::size_t{700}, stream.size()})
        for (bool reuse : {false, true}) {
            SCOPED_TRACE("read size " + std::to_string(piece) + (reuse ? ", result reused" : ""));
            ServerStreamDecoder d;
            Joined j = FeedInPieces(d, stream, piece, reuse);
            EXPECT_EQ(j.client, expectedClient);
            EXPECT_EQ(j.recognition, expectedRecognition);
            EXPECT_EQ(j.server, "\xFF\xFD\x56\xFF\xFE\x55\xFF\xFD\x56");
            EXPECT_EQ(j.notices, (std::vector<std::string>{"Enabling MCCP V2", "Starting MCCP V2",
                                                           "Stopping MCCP.", "Enabling MCCP V2"}));
            EXPECT_FALSE(j.closed);
            EXPECT_FALSE(d.MccpActive());
            EXPECT_TRUE(d.MccpOffered());
        }
}

TEST(ServerStreamDecoder, ForwardsPlainBytesAfterTheStreamEndInOrder) {
    ServerStreamDecoder d;
    Deflater z;
    d.Feed(kWillCompress2, true, true);
    d.Feed(kStartV2 + z.Chunk("first "), true, true);
    DecodeResult r = d.Feed(z.Chunk("second", Z_FINISH) + " third" + kWillMsdp, true, true);
    EXPECT_EQ(r.clientBytes, "second third" + kWillMsdp);
    EXPECT_EQ(r.notices, std::vector<std::string>{"Stopping MCCP."});
    EXPECT_FALSE(r.closeServer);
    EXPECT_FALSE(d.MccpActive());
    EXPECT_FALSE(d.MccpStarted());
    EXPECT_FALSE(d.MccpOffered());
    EXPECT_EQ(d.StatusText(), " mccp: V2");
}

TEST(ServerStreamDecoder, TheStreamChecksumIsNotComparedButTheHeaderIs) {
    {
        // The checksum is not worth its cost to the relay: a wrong one still ends the stream.
        ServerStreamDecoder d;
        Deflater z;
        d.Feed(kWillCompress2, true, true);
        std::string packed = z.Chunk("text", Z_FINISH);
        packed.back() = static_cast<char>(packed.back() ^ 0x55);
        DecodeResult r = d.Feed(kStartV2 + packed + " after", true, true);
        EXPECT_EQ(r.clientBytes, "text after");
        EXPECT_EQ(r.notices, (std::vector<std::string>{"Starting MCCP V2", "Stopping MCCP."}));
        EXPECT_FALSE(r.closeServer);
    }
    {
        ServerStreamDecoder d;
        d.Feed(kWillCompress2, true, true);
        std::string packed = Deflater().Chunk("text");
        packed[1] = static_cast<char>(packed[1] ^ 1); // the header's check bits no longer fit
        DecodeResult r = d.Feed(kStartV2 + packed, true, true);
        EXPECT_EQ(r.notices.back().rfind("MCCP: -3 ", 0), 0u) << r.notices.back();
        EXPECT_TRUE(r.closeServer);
    }
}

TEST(ServerStreamDecoder, CorruptOrUnusableStreamsCloseTheConnection) {
    {
        ServerStreamDecoder d;
        Deflater z;
        d.Feed(kWillCompress2, true, true);
        d.Feed(kStartV2 + z.Chunk("good"), true, true);
        // A block of the reserved type 3 right after a flushed block.
        DecodeResult r = d.Feed(z.Chunk("fine") + "\x07garbage", true, true);
        ASSERT_EQ(r.notices.size(), 1u);
        EXPECT_EQ(r.notices[0].rfind("MCCP: -3 ", 0), 0u) << r.notices[0];
        EXPECT_GT(r.notices[0].size(), 9u); // zlib's own message follows
        EXPECT_TRUE(r.closeServer);
        EXPECT_FALSE(r.forward);
        EXPECT_EQ(r.clientBytes, "");
        EXPECT_EQ(r.recognitionText, "");
    }
    {
        // Plain text before the start sequence of the failing read is not forwarded either.
        ServerStreamDecoder d;
        d.Feed(kWillCompress2, true, true);
        DecodeResult r = d.Feed("room text" + kStartV2 + "not zlib at all", true, true);
        EXPECT_EQ(r.notices.front(), "Starting MCCP V2");
        ASSERT_EQ(r.notices.size(), 2u);
        EXPECT_EQ(r.notices[1].rfind("MCCP: -3 ", 0), 0u);
        EXPECT_TRUE(r.closeServer);
        EXPECT_FALSE(r.forward);
        EXPECT_EQ(r.clientBytes, "");
    }
    {
        ServerStreamDecoder d;
        Deflater z("a preset dictionary");
        d.Feed(kWillCompress2, true, true);
        DecodeResult r = d.Feed(kStartV2 + z.Chunk("text"), true, true);
        EXPECT_EQ(r.notices.back(), "Oops, zlib wants a dictionary, where can i find that, sir");
        EXPECT_TRUE(r.closeServer);
    }
    {
        ServerStreamDecoder d;
        d.Feed(kWillCompress2, true, true);
        DecodeResult r = d.Feed("x\xFF\xFA\x56\xFF\xFA", true, true);
        EXPECT_EQ(r.notices, std::vector<std::string>{"MCCP Error V2"});
        EXPECT_TRUE(r.closeServer);
        EXPECT_FALSE(r.forward);
    }
    {
        // The server starts compression although it was refused.
        ServerStreamDecoder d;
        d.Feed(kWillCompress2, false, true);
        DecodeResult r = d.Feed(kStartV2, false, true);
        EXPECT_EQ(r.notices, std::vector<std::string>{"MCCP Error none"});
        EXPECT_TRUE(r.closeServer);
    }
}

TEST(ServerStreamDecoder, OtherSubnegotiationsPassWhileCompressionIsAwaited) {
    ServerStreamDecoder d;
    d.Feed(kWillMsdp + kWillCompress2, true, true);
    // MSDP data holding a doubled 0xFF followed by bytes that look like WILL COMPRESS2.
    const std::string msdp = "\xFF\xFA\x45\x01ROOM\x02\xFF\xFF\xFB\x56\xFF\xF0";
    DecodeResult r = d.Feed(msdp, true, true);
    EXPECT_EQ(r.clientBytes, msdp);
    EXPECT_EQ(r.toServer, "");
    EXPECT_TRUE(r.notices.empty());
    EXPECT_TRUE(d.MccpOffered());
    EXPECT_FALSE(r.closeServer);
}

TEST(ServerStreamDecoder, KeepsDoubledYaForTheClientAndCollapsesItForRecognition) {
    ServerStreamDecoder d;
    // "яя" doubled by the server, "я" + "ы" (0xFB) + "V", "я" + "ъ" (0xFA), a prompt ending in
    // "я" and GA.
    const std::string s = "\xFF\xFF\xFF\xFF \xFF\xFF\xFB\x56 \xFF\xFF\xFA\x56 \xC2\xFB\xF5:\xFF\xFF"
                          "\xFF\xF9";
    DecodeResult r = d.Feed(s, true, true);
    EXPECT_EQ(r.clientBytes, s);
    EXPECT_EQ(r.recognitionText, "\xFF\xFF \xFF\xFB\x56 \xFF\xFA\x56 \xC2\xFB\xF5:\xFF\xFF\xF9");
    EXPECT_EQ(r.toServer, "");
    EXPECT_FALSE(d.MccpOffered());

    r = d.Feed("\xFF\xFF", true, false);
    EXPECT_EQ(r.recognitionText, "\xFF\xFF");

    // While an offer is answered, "яъ" followed by the option byte is still only text.
    d.Feed(kWillCompress2, true, true);
    r = d.Feed("\xFF\xFF\xFA\x56\xFF\xFF\xF0", true, true);
    EXPECT_EQ(r.clientBytes, "\xFF\xFF\xFA\x56\xFF\xFF\xF0");
    EXPECT_FALSE(d.MccpActive());
}

TEST(ServerStreamDecoder, CollapsesPairsInLongTextLikeTheSimpleRule) {
    // Long inflated text with runs of 0xFF of every length at every offset, cut into reads of
    // odd sizes: recognition must see exactly what replacing pairs left to right gives.
    std::mt19937 rng(11);
    std::string text;
    while (text.size() < 200000) {
        const unsigned r = rng() % 10;
        if (r < 3)
            text.append(rng() % 6 + 1, '\xFF');
        else
            text.append(rng() % 40, static_cast<char>('a' + r));
    }
    std::string expected;
    for (std::size_t i = 0; i < text.size(); ++i) {
        expected.push_back(text[i]);
        if (text[i] == '\xFF' && i + 1 < text.size() && text[i + 1] == '\xFF') ++i;
    }

    Deflater z;
    std::string packed;
    for (std::size_t pos = 0; pos < text.size(); pos += 997)
        packed += z.Chunk(text.substr(pos, 997));
    for (bool reuse : {false, true}) {
        SCOPED_TRACE(reuse ? "one result for all reads" : "a result per read");
        ServerStreamDecoder d;
        d.Feed(kWillCompress2 + kStartV2, true, true);
        std::string client, recognition;
        DecodeResult reused;
        for (std::size_t pos = 0; pos < packed.size();) {
            const std::size_t n = std::min<std::size_t>(rng() % 300 + 1, packed.size() - pos);
            DecodeResult fresh;
            DecodeResult& r = reuse ? reused : fresh;
            d.Feed(packed.substr(pos, n), true, true, r);
            client += r.clientBytes;
            recognition += r.recognitionText;
            pos += n;
        }
        EXPECT_EQ(client, text);
        EXPECT_EQ(recognition.size(), expected.size());
        EXPECT_EQ(recognition, expected);
    }
}

TEST(ServerStreamDecoder, KeepsACommandSplitBetweenReads) {
    ServerStreamDecoder d;
    DecodeResult r = d.Feed("abc\xFF", true, true);
    EXPECT_EQ(r.clientBytes, "abc");
    r = d.Feed("\xFF\xE0", true, true); // the second half of a doubled "я"
    EXPECT_EQ(r.clientBytes, "\xFF\xFF\xE0");
    EXPECT_EQ(r.recognitionText, "\xFF\xE0");

    r = d.Feed("x\xFF\xFB", true, true);
    EXPECT_EQ(r.clientBytes, "x");
    r = d.Feed("\x56y", true, true);
    EXPECT_EQ(r.clientBytes, "y");
    EXPECT_EQ(r.toServer, "\xFF\xFD\x56");

    // A doubled "я" split between two inflated chunks is still one letter for recognition.
    Deflater z;
    d.Feed(kStartV2, true, true);
    r = d.Feed(z.Chunk("ab\xFF"), true, true);
    EXPECT_EQ(r.clientBytes, "ab\xFF");
    r = d.Feed(z.Chunk("\xFF\xFF\xFF"
                       "cd"),
               true, true);
    EXPECT_EQ(r.clientBytes, "\xFF\xFF\xFF"
                             "cd");
    EXPECT_EQ(r.recognitionText, "\xFF"
                                 "cd");
}

TEST(ServerStreamDecoder, DeliversAllOutputOfARead) {
    // Long matches inflate to far more than one output step. Wherever a read ends, everything
    // that zlib can give for the bytes received so far must come out in that read, not wait
    // for the next one (which may never come while the player reads the prompt).
    const std::string text = std::string(20000, 'a') + RoomText(30) + std::string(20000, 'b');
    const std::string packed = Deflater().Chunk(text);
    for (std::size_t cut = 1; cut < packed.size(); ++cut) {
        z_stream ref{};
        ASSERT_EQ(inflateInit(&ref), Z_OK);
        std::string whole(text.size() + 1, '\0');
        ref.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
        ref.avail_in = static_cast<uInt>(cut);
        ref.next_out = reinterpret_cast<Bytef*>(whole.data());
        ref.avail_out = static_cast<uInt>(whole.size());
        inflate(&ref, Z_SYNC_FLUSH);
        const std::size_t available = ref.total_out;
        inflateEnd(&ref);

        ServerStreamDecoder d;
        d.Feed(kWillCompress2 + kStartV2, true, true);
        DecodeResult first = d.Feed(packed.substr(0, cut), true, true);
        ASSERT_EQ(first.clientBytes.size(), available) << "read cut at " << cut;
        DecodeResult second = d.Feed(packed.substr(cut), true, true);
        ASSERT_EQ(first.clientBytes + second.clientBytes, text);
        ASSERT_EQ(d.MccpBytesIn(), packed.size());
        ASSERT_EQ(d.MccpBytesOut(), text.size());
    }
}

TEST(ServerStreamDecoder, StatusTextShowsTheShareOfBytesSaved) {
    // Random letters do not compress, 'a's compress to almost nothing: grow the 'a's until the
    // compressed stream is exactly a quarter of the text.
    std::mt19937 rng(7);
    std::string noise(900, ' ');
    for (char& c : noise)
        c = static_cast<char>('a' + rng() % 26);
    std::string text, packed;
    std::size_t fill = 0;
    for (int attempt = 0; attempt < 50; ++attempt) {
        text = noise + std::string(fill, 'a');
        packed = Deflater().Chunk(text);
        if (packed.size() * 4 == text.size()) break;
        fill = packed.size() * 4 - noise.size();
    }
    ASSERT_EQ(packed.size() * 4, text.size());

    ServerStreamDecoder d;
    EXPECT_EQ(d.StatusText(), " mccp: none");
    d.Feed(kWillCompress2, true, true);
    d.Feed(kStartV2, true, true);
    EXPECT_EQ(d.StatusText(), " mccp: V2"); // nothing inflated yet
    d.Feed(packed, true, true);
    EXPECT_EQ(d.MccpBytesIn(), packed.size());
    EXPECT_EQ(d.MccpBytesOut(), text.size());
    EXPECT_EQ(d.StatusText(), " mccp: V2 (75%)");

    d.Reset();
    EXPECT_EQ(d.StatusText(), " mccp: none");
    EXPECT_FALSE(d.MccpActive());
    // After the reset a new connection is answered afresh.
    DecodeResult r = d.Feed(kWillCompress2, true, true);
    EXPECT_EQ(r.toServer, "\xFF\xFD\x56");
}

TEST(ServerStreamDecoder, CountsRawBytesWhileCompressionIsOff) {
    ServerStreamDecoder d;
    d.Feed("12345", false, true);
    d.Feed("678", false, true);
    EXPECT_EQ(d.MccpBytesOut(), 8u);
    EXPECT_EQ(d.MccpBytesIn(), 0u);
    // Answering an offer starts the counters afresh; later reads count again.
    d.Feed(kWillCompress2, false, true);
    EXPECT_EQ(d.MccpBytesOut(), 0u);
    d.Feed("abcd", false, true);
    EXPECT_EQ(d.MccpBytesOut(), 4u);
}

TEST(ServerStreamDecoder, ANewClientConnectionAnswersOffersAgain) {
    ServerStreamDecoder d;
    d.Feed(kWillCompress2, true, true);
    DecodeResult r = d.Feed(kWillCompress2, true, true);
    EXPECT_EQ(r.toServer, "\xFF\xFE\x56");
    d.ResetOffer();
    r = d.Feed(kWillCompress2, true, true);
    EXPECT_EQ(r.toServer, "\xFF\xFD\x56");
    EXPECT_EQ(r.notices, std::vector<std::string>{"Enabling MCCP V2"});
}

// Where the game ends its answers: after each IAC GA or IAC EOR, as offsets into the text for
// recognition, whatever the "я" pairs before it, compressed or not, however the reads fall.
TEST(ServerStreamDecoder, FindsTheEndsOfTheGamesPromptsInTheRecognitionText) {
    const std::string ya = "\xFF\xFF"; // "я" as telnet sends it
    const std::string ga = "\xFF\xF9", eor = "\xFF\xEF";
    // "ящ" is 0xFF 0xFF 0xF9 on the wire: a letter pair, then a letter, never a prompt.
    const std::string answer1 = "Room " + ya + "\xF9" + ya + ya + "\r\n> " + ga;
    const std::string answer2 = "Closed.\r\n" + ya + "> " + eor;
    const std::string stream = answer1 + answer2 + "tail";
    // Recognition text: pairs collapsed, the commands kept as they are.
    const std::string text = "Room \xFF\xF9\xFF\xFF\r\n> \xFF\xF9"
                             "Closed.\r\n\xFF> \xFF\xEF"
                             "tail";
    const std::vector<std::size_t> ends{text.find("Closed."), text.find("tail")};

    for (bool compressed : {false, true})
        for (std::size_t cut = 1; cut < stream.size(); ++cut) {
            ServerStreamDecoder d;
            std::string got;
            std::vector<std::size_t> prompts;
            auto feed = [&](std::string_view raw) {
                DecodeResult r = d.Feed(raw, true, true);
                for (std::size_t end : r.prompts)
                    prompts.push_back(got.size() + end);
                got += r.recognitionText;
            };
            if (compressed) {
                Deflater z;
                feed(kWillCompress2 + kStartV2);
                feed(z.Chunk(stream.substr(0, cut)));
                feed(z.Chunk(stream.substr(cut)));
            } else {
                feed(stream.substr(0, cut));
                feed(stream.substr(cut));
            }
            ASSERT_EQ(got, text) << cut;
            ASSERT_EQ(prompts, ends) << (compressed ? "compressed, " : "plain, ") << cut;
            EXPECT_TRUE(d.PromptsSeen());
            d.Reset();
            EXPECT_FALSE(d.PromptsSeen());
        }

    // Without collapsing the offsets are the client's bytes themselves.
    ServerStreamDecoder raw;
    DecodeResult r = raw.Feed(stream, true, false);
    EXPECT_EQ(r.prompts,
              (std::vector<std::size_t>{answer1.size(), answer1.size() + answer2.size()}));

    // While the text is not wanted (tracing off) nothing is made, but the decoder still learns
    // that the game sends prompts, and "ящ" alone does not teach it that.
    ServerStreamDecoder idle;
    DecodeResult out;
    idle.Feed("Welcome " + ya + "\xF9 ", true, true, out, false);
    EXPECT_FALSE(idle.PromptsSeen());
    EXPECT_TRUE(out.prompts.empty());
    idle.Feed("Name? " + ga, true, true, out, false);
    EXPECT_TRUE(idle.PromptsSeen());
    EXPECT_TRUE(out.prompts.empty());

    // Long Russian text (the vector path) with a prompt in the middle of a block.
    std::string longText, longWire;
    for (int i = 0; i < 40; ++i) {
        longText += "\xFF\xE1\xE2\xFF";
        longWire += ya + "\xE1\xE2" + ya;
    }
    ServerStreamDecoder vec;
    r = vec.Feed(longWire + "> " + ga + longWire + "\xF9", true, true);
    EXPECT_EQ(r.recognitionText, longText + "> \xFF\xF9" + longText + "\xF9");
    EXPECT_EQ(r.prompts, std::vector<std::size_t>{longText.size() + 4});
}

// A game whose "я" pairs are left as they are for recognition: its prompts are found in long
// Russian text however the reads cut it, even between the 0xFF and the GA, and pairs before
// "щ" or "п" are never taken for one, with tracing on or off.
TEST(ServerStreamDecoder, FindsPromptsInUncollapsedTextAcrossEveryCut) {
    const std::string ya = "\xFF\xFF";
    std::string russian;
    for (int i = 0; i < 12; ++i)
        russian += ya + "\xF9\xE1" + ya + "\xEF" + ya + ya + " ";
    const std::string first = russian + "> \xFF\xF9";
    const std::string stream = first + russian + ya + "> \xFF\xEF" + russian;
    const std::vector<std::size_t> ends{first.size(), stream.size() - russian.size()};
    for (bool compressed : {false, true})
        for (bool wantText : {true, false})
            for (std::size_t cut = 1; cut < stream.size(); ++cut) {
                ServerStreamDecoder d;
                DecodeResult r;
                std::vector<std::size_t> prompts;
                Deflater z;
                if (compressed) d.Feed(kWillCompress2 + kStartV2, true, false, r, wantText);
                auto wire = [&](const std::string& s) { return compressed ? z.Chunk(s) : s; };
                d.Feed(wire(stream.substr(0, cut)), true, false, r, wantText);
                const bool seenEarly = d.PromptsSeen();
                prompts = r.prompts;
                const std::size_t before = r.recognitionText.size(); // a byte may be held back
                d.Feed(wire(stream.substr(cut)), true, false, r, wantText);
                for (std::size_t end : r.prompts)
                    prompts.push_back(before + end);
                ASSERT_EQ(seenEarly, cut >= ends[0]) << cut;
                ASSERT_TRUE(d.PromptsSeen()) << cut;
                if (wantText) ASSERT_EQ(prompts, ends) << cut;
            }
}
