// MSDP and GMCP between a game and a client, with the program as a third party: the game's
// stream fed through the decoder as the relay feeds it (plain and inside MCCP, cut anywhere),
// the client's blocks through the merging, in every order the two sides may speak.

#include "Deflater.h"
#include "relay/CommandScan.h"
#include "relay/DebugLog.h"
#include "relay/OutOfBand.h"
#include "relay/Relay.h"
#include "relay/ServerStreamDecoder.h"
#include "text/ByteSearch.h"
#include "text/Cp1251.h"

#include <gtest/gtest.h>

#include <random>

using relay::OutOfBand;
using text::W;
using tracking::IdentityAt;

namespace {

const std::string kIac = "\xFF";
std::string Cmd(unsigned char verb, unsigned char option) {
    return std::string{'\xFF', static_cast<char>(verb), static_cast<char>(option)};
}
const std::string kWillMsdp = Cmd(0xFB, 69), kWillGmcp = Cmd(0xFB, 201);
const std::string kDoMsdp = Cmd(0xFD, 69), kDoGmcp = Cmd(0xFD, 201);
const std::string kDontMsdp = Cmd(0xFE, 69), kDontGmcp = Cmd(0xFE, 201);
const std::string kGa = "\xFF\xF9";

// A subnegotiation as it goes on the wire: 0xFF doubled in the payload.
std::string Sb(unsigned char option, const std::string& payload) {
    std::string s = "\xFF\xFA";
    s.push_back(static_cast<char>(option));
    for (char c : payload) {
        s.push_back(c);
        if (c == '\xFF') s.push_back(c);
    }
    return s + "\xFF\xF0";
}
std::string Msdp(const std::string& payload) {
    return Sb(69, payload);
}
std::string Gmcp(const std::string& payload) {
    return Sb(201, payload);
}
std::string Var(const std::string& name) {
    return "\x01" + name;
}
std::string Val(const std::string& value) {
    return "\x02" + value;
}

// MSDP's ROOM as a game sends it (Windows-1251).
std::string MsdpRoom(const std::string& vnum, const std::string& name, const std::string& area,
                     const std::string& exitTo) {
    return Var("ROOM") + "\x02\x03" + Var("VNUM") + Val(vnum) + Var("NAME") + Val(name) +
           Var("AREA") + Val(area) + Var("ZONE") + Val("10") + Var("EXITS") + "\x02\x03" +
           Var("n") + Val(exitTo) + "\x04\x04";
}
// GMCP's Room.Info (UTF-8 JSON).
std::string GmcpRoom(int num, const char* nameUtf8, int exitTo) {
    return "Room.Info {\"num\": " + std::to_string(num) + ", \"name\": \"" + nameUtf8 +
           "\", \"area\": \"Village\", \"exits\": {\"e\": " + std::to_string(exitTo) + "}}";
}

const std::string kReportRoom = Msdp(Var("REPORT") + Val("ROOM"));
std::string Hello() {
    return Gmcp("Core.Hello {\"client\":\"Quarvelin\",\"version\":\"" + relay::VersionText() +
                "\"}");
}
const std::string kSetRoom = Gmcp("Core.Supports.Set [\"Room 1\"]");

// Everything the game's side of one connection produced, reads joined; identities and prompts
// placed in the joined recognition text.
struct Joined {
    std::string client, recognition, toServer, stream;
    std::vector<std::size_t> prompts;
    std::vector<IdentityAt> identities;
    std::vector<std::string> notices;
};

struct Rig {
    relay::DebugLog log;
    OutOfBand oob{log};
    relay::ServerStreamDecoder decoder;
    relay::DecodeResult r;
    Joined got;
    bool wantText = true;

    explicit Rig(bool msdp = true, bool gmcp = true) {
        log.DebugActiv = true;
        oob.SetEnabled(msdp, gmcp);
    }
    // One read of the game's stream.
    void Game(std::string_view bytes) {
        decoder.Feed(bytes, true, true, r, wantText, &oob);
        ASSERT_TRUE(r.forward);
        for (std::size_t p : r.prompts)
            got.prompts.push_back(got.recognition.size() + p);
        for (IdentityAt id : r.identities) {
            id.offset += got.recognition.size();
            got.identities.push_back(std::move(id));
        }
        got.client += r.clientBytes;
        got.recognition += r.recognitionText;
        got.toServer += r.toServer;
        got.stream += r.Stream();
        got.notices.insert(got.notices.end(), r.notices.begin(), r.notices.end());
    }
    void GameInPieces(std::string_view bytes, std::size_t piece) {
        for (std::size_t at = 0; at < bytes.size(); at += piece)
            Game(bytes.substr(at, piece));
    }
    // One block of the client: what the game gets from it.
    std::string Client(std::string_view block) {
        std::string after;
        std::string out = oob.FromClient(block, after);
        return out + after;
    }
    // What happened since the last look.
    Joined Take() { return std::exchange(got, Joined{}); }
    bool Logged(const std::string& line) const {
        for (const auto& l : log.Lines())
            if (l == line) return true;
        return false;
    }
};

} // namespace

TEST(OutOfBand, GameOffersFirstTheProgramAsksAndTheClientSeesOnlyWhatItTookUp) {
    Rig rig;
    rig.Game("Welcome\r\n" + kWillMsdp + kWillGmcp);
    Joined j = rig.Take();
    // The offers reach the client unchanged; the program answers each once and asks.
    EXPECT_EQ(j.client, "Welcome\r\n" + kWillMsdp + kWillGmcp);
    EXPECT_EQ(j.toServer, kDoMsdp + kReportRoom + kDoGmcp + Hello() + kSetRoom);

    // A client that has not answered gets none of the subnegotiations; recognition never does,
    // and the identities and the prompt stand where the text around them does.
    const std::string square = W("Площадь"), village = W("Деревня");
    const std::string room = "\x1b[1;36m" + square + "\x1b[0m\r\n" + W("Тут я стою.") + "\r\n";
    rig.Game("\r\n" + Msdp(MsdpRoom("1001", square, village, "1002")) + room + "> " + kGa +
             Gmcp(GmcpRoom(1001, "Площадь", 1003)));
    j = rig.Take();
    EXPECT_EQ(j.client, "\r\n" + room + "> " + kGa);
    EXPECT_EQ(j.recognition, "\r\n" + room + "> " + kGa);
    EXPECT_EQ(j.prompts, (std::vector<std::size_t>{j.recognition.size()}));
    ASSERT_EQ(j.identities.size(), 2u);
    EXPECT_EQ(j.identities[0].offset, 2u);
    EXPECT_EQ(j.identities[0].identity,
              (tracking::RoomIdentity{"1001", square, village, {{"n", "1002"}}}));
    EXPECT_EQ(j.identities[1].offset, j.recognition.size());
    EXPECT_EQ(j.identities[1].identity,
              (tracking::RoomIdentity{"1001", square, "Village", {{"e", "1003"}}}));
    EXPECT_TRUE(rig.Logged("MSDP ROOM: 1001 " + square + " [" + village + "]"));
    EXPECT_TRUE(rig.Logged("GMCP Room.Info: 1001 " + square + " [Village]"));
    EXPECT_TRUE(j.toServer.empty());

    // The client takes MSDP up late: the game is not answered twice, and from now on the
    // client gets MSDP's subnegotiations exactly as sent (GMCP's still not).
    EXPECT_EQ(rig.Client(kDoMsdp + "look\r\n"), "look\r\n");
    const std::string ff = Msdp(Var("NAME") + Val(W("Двор я")));
    rig.Game(ff + "x" + Gmcp(GmcpRoom(1, "a", 2)));
    j = rig.Take();
    EXPECT_EQ(j.client, ff + "x");
    EXPECT_EQ(j.recognition, "x");
    // Its DONT later is the client's affair: the program keeps the option, the game hears
    // nothing, and the client gets no more.
    EXPECT_EQ(rig.Client(kDontMsdp), "");
    rig.Game(ff + "y");
    EXPECT_EQ(rig.Take().client, "y");
    EXPECT_TRUE(rig.oob.GameToldDo(69));

    // Without tracking the client is served just the same, and nothing is parsed.
    rig.wantText = false;
    rig.Game("z" + Msdp(MsdpRoom("7", "a", "b", "8")));
    j = rig.Take();
    EXPECT_EQ(j.client, "z");
    EXPECT_TRUE(j.identities.empty());
}

TEST(OutOfBand, AClientThatRefusesOrNeverAnswersNeverSeesASubnegotiation) {
    Rig rig;
    rig.Game(kWillMsdp + kWillGmcp);
    rig.Take();
    // DONT to MSDP is swallowed (the program said DO); GMCP is never answered at all.
    EXPECT_EQ(rig.Client(kDontMsdp + "look\r\n"), "look\r\n");
    EXPECT_FALSE(rig.oob.ClientAccepted(69));
    rig.Game(Msdp(MsdpRoom("5", "a", "b", "6")) + "text" + Gmcp(GmcpRoom(5, "a", 6)) + kGa);
    const Joined j = rig.Take();
    EXPECT_EQ(j.client, "text" + kGa);
    EXPECT_EQ(j.identities.size(), 2u);
    EXPECT_TRUE(j.toServer.empty());
}

TEST(OutOfBand, ClientFirstItsAnswerAndRequestsCountAsThePrograms) {
    {
        // The client answers and asks before the game offers: all of it goes on (its package
        // list with Room added), and the offers then need nothing more from the program.
        Rig rig;
        const std::string hello = Gmcp("Core.Hello {\"client\":\"tt++\",\"version\":\"2\"}");
        EXPECT_EQ(rig.Client(kDoMsdp + kReportRoom + kDoGmcp + hello +
                             Gmcp("Core.Supports.Set [\"Char 1\"]")),
                  kDoMsdp + kReportRoom + kDoGmcp + hello +
                      Gmcp("Core.Supports.Set [\"Char 1\", \"Room 1\"]"));
        rig.Game(kWillMsdp + kWillGmcp + Msdp(MsdpRoom("1", "a", "b", "2")) +
                 Gmcp(GmcpRoom(1, "a", 2)));
        const Joined j = rig.Take();
        EXPECT_EQ(j.toServer, "");
        EXPECT_EQ(j.client, kWillMsdp + kWillGmcp + Msdp(MsdpRoom("1", "a", "b", "2")) +
                                Gmcp(GmcpRoom(1, "a", 2)));
        EXPECT_EQ(j.identities.size(), 2u);
    }
    {
        // The client only answers first: the program asks once the offers come, saying DO no
        // more. Hello goes first.
        Rig rig;
        EXPECT_EQ(rig.Client(kDoMsdp + kDoGmcp), kDoMsdp + kDoGmcp);
        rig.Game(kWillMsdp + kWillGmcp);
        EXPECT_EQ(rig.Take().toServer, kReportRoom + Hello() + kSetRoom);
        EXPECT_EQ(rig.Client(kDoMsdp + kDoGmcp), "");
    }
    {
        // The game offers, the client's DO comes before the program's own answer could: here the
        // program answered at once, so the client's is swallowed, and a client list set before
        // the option was on is kept by adding Room to it rather than setting it anew.
        Rig rig;
        EXPECT_EQ(rig.Client(Gmcp("Core.Supports.Set []")), Gmcp("Core.Supports.Set [\"Room 1\"]"));
        rig.Game(kWillGmcp);
        EXPECT_EQ(rig.Take().toServer, kDoGmcp + Hello() + Gmcp("Core.Supports.Add [\"Room 1\"]"));
        EXPECT_EQ(rig.Client(kDoGmcp), "");
    }
}

TEST(OutOfBand, TheClientsRequestsAreMergedWithThePrograms) {
    Rig rig;
    rig.Game(kWillMsdp + kWillGmcp);
    rig.Take();
    EXPECT_EQ(rig.Client(kDoMsdp + kDoGmcp), "");

    // MSDP: ROOM is reported already, and no client may stop that.
    EXPECT_EQ(rig.Client(kReportRoom), "");
    EXPECT_EQ(rig.Client(Msdp(Var("REPORT") + Val("HEALTH") + Val("ROOM") + Val("EXP"))),
              Msdp(Var("REPORT") + Val("HEALTH") + Val("EXP")));
    EXPECT_EQ(rig.Client(Msdp(Var("REPORT") + "\x02\x05" + Val("ROOM") + Val("MANA") + "\x06" +
                              Var("SEND") + Val("ROOM"))),
              Msdp(Var("REPORT") + "\x02\x05" + Val("MANA") + "\x06" + Var("SEND") + Val("ROOM")));
    EXPECT_EQ(rig.Client(Msdp(Var("UNREPORT") + Val("ROOM"))), "");
    EXPECT_EQ(rig.Client(Msdp(Var("UNREPORT") + Val("ROOM") + Val("HEALTH"))),
              Msdp(Var("UNREPORT") + Val("HEALTH")));
    // Anything else goes on byte for byte, 0xFF and all.
    for (const std::string& same :
         {Msdp(Var("LIST") + Val("REPORTABLE_VARIABLES")), Msdp(Var("REPORT") + Val("ROOMS")),
          Msdp(Var("REPORT") + "\x02\x03" + Var("ROOM") + Val("1") + "\x04"),
          Msdp(Var("SAY") + Val(W("я и я"))), Sb(31, std::string("\x00\x50\x00\xFF", 4))})
        EXPECT_EQ(rig.Client(same), same);

    // GMCP: a list the client sets keeps Room; Room is never removed.
    EXPECT_EQ(rig.Client(Gmcp("Core.Supports.Set [\"Char 1\", \"Comm.Channel 1\"]")),
              Gmcp("Core.Supports.Set [\"Char 1\", \"Comm.Channel 1\", \"Room 1\"]"));
    EXPECT_EQ(rig.Client(Gmcp("Core.Supports.Set [ ]")), Gmcp("Core.Supports.Set [ \"Room 1\"]"));
    EXPECT_EQ(rig.Client(Gmcp("core.supports.set [\"room 1\"]")),
              Gmcp("core.supports.set [\"room 1\"]"));
    EXPECT_EQ(rig.Client(Gmcp("Core.Supports.Remove [\"Room\"]")), "");
    EXPECT_EQ(rig.Client(Gmcp("Core.Supports.Remove [\"Char\", \"Room 1\"]")),
              Gmcp("Core.Supports.Remove [\"Char\"]"));
    for (const std::string& same :
         {Gmcp("Core.Supports.Add [\"Comm 1\"]"), Gmcp("Core.Supports.Remove [\"Char\"]"),
          Gmcp("Char.Skills.Get {\"group\": \"\xD1\x8F\"}"), Gmcp("Core.Supports.Set nonsense]"),
          Gmcp("Core.Hello {\"client\":\"x\"}")})
        EXPECT_EQ(rig.Client(same), same);
    EXPECT_EQ(rig.Take().toServer, ""); // and the program itself never asks again
}

TEST(OutOfBand, ReadsCutAnywhereGiveWhatOneReadGives) {
    // The game's side: offers, subnegotiations with 0xFF inside, doubled "я" in the text and
    // prompts, in one read and then cut in two at every byte, and one byte at a time.
    const std::string game =
        "Hi " + W("я") + W("я") + kWillMsdp + kWillGmcp +
        Msdp(MsdpRoom("9", W("Изба я"), "x", "10")) + W("Изба ") + "\xFF\xFF\r\n" + "> " + kGa +
        Sb(24, "\x01") + Gmcp(GmcpRoom(9, "я", 10)) + Msdp(Var("HEALTH") + Val("\xFF")) +
        // Long enough to be searched in blocks: "яр" is 0xFF 0xF0 (an
        // IAC SE once doubled), "яяя" runs over a block's end.
        Msdp(MsdpRoom("10", W("Старый яр, где яяя тропа к реке"), "x", "1")) +
        // An IAC that is neither doubled nor SE ends it malformed, with the byte after it.
        "\xFF\xFA\x45\x01VNUM\x02" + W("долгий путь ") + "\xFFx tail" + "end\xFF\xFF";
    Rig whole;
    whole.Game(game);
    const Joined one = whole.Take();
    ASSERT_EQ(one.identities.size(), 3u);
    EXPECT_EQ(one.identities[2].identity.name, W("Старый яр, где яяя тропа к реке"));
    EXPECT_NE(one.client.find(" tailend"), std::string::npos);
    EXPECT_EQ(one.stream, game);
    EXPECT_EQ(one.recognition.find("\x1b"), std::string::npos);
    for (std::size_t cut = 0; cut <= game.size(); ++cut) {
        Rig rig;
        rig.Game(std::string_view(game).substr(0, cut));
        rig.Game(std::string_view(game).substr(cut));
        const Joined two = rig.Take();
        ASSERT_EQ(two.client, one.client) << "cut at " << cut;
        ASSERT_EQ(two.recognition, one.recognition) << "cut at " << cut;
        ASSERT_EQ(two.prompts, one.prompts) << "cut at " << cut;
        ASSERT_EQ(two.toServer, one.toServer) << "cut at " << cut;
        ASSERT_EQ(two.stream, game) << "cut at " << cut;
        ASSERT_EQ(two.identities.size(), 3u) << "cut at " << cut;
        for (int i = 0; i < 3; ++i) {
            ASSERT_EQ(two.identities[i].offset, one.identities[i].offset) << "cut at " << cut;
            ASSERT_EQ(two.identities[i].identity, one.identities[i].identity);
        }
    }
    Rig bytes;
    bytes.GameInPieces(game, 1);
    const Joined each = bytes.Take();
    EXPECT_EQ(each.client, one.client);
    EXPECT_EQ(each.recognition, one.recognition);
    EXPECT_EQ(each.identities.size(), 3u);

    // The client's side: answers and requests cut in two at every byte.
    const std::string client = "look\r\n" + kDoMsdp + kReportRoom + "\xFF\xFF" +
                               Msdp(Var("REPORT") + Val("ROOM") + Val(W("я"))) + kDoGmcp +
                               Gmcp("Core.Supports.Set [\"Char 1\"]") + Sb(31, "\xFF\x01") +
                               "\xFF\xF1" + "n\r\n";
    auto merged = [&](std::size_t cut) {
        Rig rig;
        rig.Game(kWillMsdp + kWillGmcp);
        std::string out = rig.Client(std::string_view(client).substr(0, cut));
        return out + rig.Client(std::string_view(client).substr(cut));
    };
    const std::string expected = merged(client.size());
    EXPECT_EQ(expected, "look\r\n\xFF\xFF" + Msdp(Var("REPORT") + Val(W("я"))) +
                            Gmcp("Core.Supports.Set [\"Char 1\", \"Room 1\"]") +
                            Sb(31, "\xFF\x01") + "\xFF\xF1n\r\n");
    for (std::size_t cut = 0; cut < client.size(); ++cut)
        ASSERT_EQ(merged(cut), expected) << "cut at " << cut;
}

// The commands of a read against the plain definition (the byte after an odd run of 0xFF), in
// reads of every length round the blocks of 64 and the windows, from any starting point, with
// runs of 0xFF of every length and across block ends.
TEST(CommandScan, FindsTheByteAfterEveryIacAndNoDoubledOne) {
    using Width = text::VectorWidth;
    std::mt19937 rng(69);
    struct WidestAgain { // also when an assertion ends the test
        ~WidestAgain() { text::CapVectorWidth(text::VectorWidth::Avx512); }
    } widestAgain;
    relay::CommandScan scan;
    for (int round = 0; round < 1200; ++round) {
        // Each width in turn (as wide as this processor goes).
        text::CapVectorWidth(static_cast<Width>(round % 3));
        const std::size_t n = round < 600 ? static_cast<std::size_t>(round / 3) : rng() % 3000;
        std::string read(n, 'a');
        const int density = 1 + static_cast<int>(rng() % 4);
        for (char& c : read)
            if (static_cast<int>(rng() % 8) < density)
                c = '\xFF';
            else if (rng() % 5 == 0)
                c = static_cast<char>(0xF0 + rng() % 16);
        const std::size_t from = n ? rng() % n : 0;
        std::vector<std::size_t> expected;
        std::size_t run = 0;
        for (std::size_t i = from; i < n; ++i) {
            if (read[i] == '\xFF') {
                ++run;
                continue;
            }
            if (run % 2 == 1) expected.push_back(i);
            run = 0;
        }
        std::vector<std::size_t> got;
        scan.Start(read.data(), from, n);
        for (std::size_t k = scan.Next(from); k < n; k = scan.Next(k + 1))
            got.push_back(k);
        ASSERT_EQ(got, expected) << "round " << round << ", " << n << " bytes from " << from;
        // The quick look tells no pairs apart: any 0xFF before SB..DONT may be a command.
        bool may = false;
        for (std::size_t k = 1; k < n; ++k)
            may = may || (read[k - 1] == '\xFF' && static_cast<unsigned char>(read[k]) >= 0xFA &&
                          read[k] != '\xFF');
        ASSERT_EQ(relay::MayHoldNegotiation(read.data(), n), may) << "round " << round;
    }
}

// Random streams thick with 0xFF (runs of every length across the 64-byte blocks the search
// takes at once, "яр" as 0xFF 0xFF 0xF0, stray commands): one read gives what the reads of one
// byte give, which go step by step.
TEST(OutOfBand, RandomStreamsInOneReadGiveWhatByteByByteGives) {
    std::mt19937 rng(2026);
    const std::string bytes = "\xFF\xFF\xFF\xF0\xFA\xFB\xFD\x45\xC9\x01\x02" + std::string("ab");
    auto randomBytes = [&](int count) {
        std::string s;
        for (int i = 0; i < count; ++i)
            s.push_back(bytes[rng() % bytes.size()]);
        return s;
    };
    for (int round = 0; round < 300; ++round) {
        std::string game = kWillMsdp + kWillGmcp;
        while (game.size() < 200u + round * 4u) {
            switch (rng() % 5) {
            case 0:
                game += W("Дорога ") + std::string(rng() % 6, '\xFF') + "\xF0 ";
                break;
            case 1:
                game += Msdp(MsdpRoom(std::to_string(rng() % 99),
                                      W("Старый яр") + randomBytes(rng() % 90), "x", "1"));
                break;
            case 2:
                game += Gmcp(GmcpRoom(static_cast<int>(rng() % 99), "y", 2));
                break;
            case 3:
                game += randomBytes(rng() % 70);
                break;
            default:
                game += kGa + "\r\n";
                break;
            }
        }
        game += "\r\n"; // nothing held back at the end
        Rig whole, each;
        whole.Game(game);
        each.GameInPieces(game, 1);
        const Joined a = whole.Take(), b = each.Take();
        ASSERT_EQ(a.stream, game) << round;
        ASSERT_EQ(b.stream, game) << round;
        ASSERT_EQ(a.client, b.client) << round;
        ASSERT_EQ(a.recognition, b.recognition) << round;
        ASSERT_EQ(a.prompts, b.prompts) << round;
        ASSERT_EQ(a.toServer, b.toServer) << round;
        ASSERT_EQ(a.identities.size(), b.identities.size()) << round;
        for (std::size_t i = 0; i < a.identities.size(); ++i) {
            ASSERT_EQ(a.identities[i].offset, b.identities[i].offset) << round;
            ASSERT_EQ(a.identities[i].identity, b.identities[i].identity) << round;
        }
    }
}

TEST(OutOfBand, SubnegotiationsInsideMccpAreFoundAndTakenOut) {
    // Offers in plain text, the rest compressed, the compressed stream ended and plain again.
    Deflater z;
    const std::string inside = kWillGmcp + Msdp(MsdpRoom("21", W("Мост"), "r", "22")) + W("Мост ") +
                               "\xFF\xFF\r\n" + "> " + kGa + Gmcp(GmcpRoom(21, "Мост", 23));
    const std::string packed = z.Chunk(inside);
    const std::string last = z.Chunk("bye\r\n", Z_FINISH);
    const std::string stream = "Hello\r\n" + kWillMsdp + "\xFF\xFB\x56" + "\xFF\xFA\x56\xFF\xF0" +
                               packed + last + Msdp(MsdpRoom("22", "b", "r", "21")) + "plain\r\n";
    for (std::size_t piece : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{7},
                              std::size_t{64}, stream.size()}) {
        Rig rig;
        rig.GameInPieces(stream, piece);
        const Joined j = rig.Take();
        const std::string text = "Hello\r\n" + kWillMsdp + kWillGmcp + W("Мост ") + "\xFF\xFF\r\n" +
                                 "> " + kGa + "bye\r\nplain\r\n";
        ASSERT_EQ(j.client, text) << "reads of " << piece;
        EXPECT_EQ(j.recognition.size(), text.size() - 1) << "reads of " << piece; // я pair
        ASSERT_EQ(j.identities.size(), 3u) << "reads of " << piece;
        const std::size_t before = ("Hello\r\n" + kWillMsdp + kWillGmcp).size();
        EXPECT_EQ(j.identities[0].offset, before);
        EXPECT_EQ(j.identities[0].identity.id, "21");
        EXPECT_EQ(j.identities[0].identity.name, W("Мост"));
        EXPECT_EQ(j.identities[1].offset, j.prompts.at(0));
        EXPECT_EQ(j.identities[1].identity.exits.at(0).second, "23");
        EXPECT_EQ(j.identities[2].offset, j.recognition.size() - std::string("plain\r\n").size());
        // The answer to the compression offer comes first or later, as the reads fall.
        std::string answers = j.toServer;
        const std::size_t mccp = answers.find("\xFF\xFD\x56");
        ASSERT_NE(mccp, std::string::npos);
        answers.erase(mccp, 3);
        EXPECT_EQ(answers, kDoMsdp + kReportRoom + kDoGmcp + Hello() + kSetRoom);
        EXPECT_EQ(j.notices, (std::vector<std::string>{"Enabling MCCP V2", "Starting MCCP V2",
                                                       "Stopping MCCP."}));
    }
}

TEST(OutOfBand, AnOverlongSubnegotiationIsDroppedNeverKept) {
    Rig rig;
    rig.Game(kWillMsdp);
    rig.Take();
    rig.Client(kDoMsdp);
    const std::string big = Msdp(MsdpRoom("1", std::string(70000, 'a'), "b", "2"));
    const std::string next = Msdp(MsdpRoom("3", "c", "d", "4"));
    rig.GameInPieces("<" + big + ">" + next + "!", 8192);
    const Joined j = rig.Take();
    EXPECT_EQ(j.client, "<" + big + ">" + next + "!"); // the client took it up: all of it
    EXPECT_EQ(j.recognition, "<>!");
    ASSERT_EQ(j.identities.size(), 1u);
    EXPECT_EQ(j.identities[0].identity.id, "3");
    EXPECT_EQ(j.identities[0].offset, 2u);
    EXPECT_TRUE(rig.Logged("MSDP subnegotiation over 64 KiB dropped"));

    // A client's goes on to the game as it came, in whatever blocks.
    const std::string list = Gmcp("Core.Supports.Set [\"" + std::string(70000, 'x') + "\"]");
    std::string out;
    for (std::size_t at = 0; at < list.size(); at += 4096)
        out += rig.Client(std::string_view(list).substr(at, 4096));
    EXPECT_EQ(out, list);
    EXPECT_EQ(rig.Client("look\r\n"), "look\r\n");
}

TEST(OutOfBand, ANewConnectionNegotiatesAfresh) {
    Rig rig;
    rig.Game(kWillMsdp + kWillGmcp);
    rig.Client(kDoMsdp + kDoGmcp);
    rig.Game("\xFF\xFA"); // cut off as the connection ends
    rig.Take();
    rig.oob.Reset();
    rig.decoder.Reset();
    rig.Game(kWillMsdp + kWillGmcp + "x" + Msdp(MsdpRoom("1", "a", "b", "2")));
    const Joined j = rig.Take();
    EXPECT_EQ(j.toServer, kDoMsdp + kReportRoom + kDoGmcp + Hello() + kSetRoom);
    EXPECT_EQ(j.client, kWillMsdp + kWillGmcp + "x"); // the new client has not answered
    EXPECT_EQ(j.identities.size(), 1u);
    EXPECT_FALSE(rig.oob.ClientAccepted(69));
}

TEST(OutOfBand, DisabledOptionsPassUntouched) {
    const std::string game = kWillMsdp + kWillGmcp + Msdp(MsdpRoom("1", "a", "b", "2")) + "x" +
                             Gmcp(GmcpRoom(1, "a", 2));
    {
        Rig rig(false, false);
        rig.Game(game);
        const Joined j = rig.Take();
        EXPECT_EQ(j.client, game);
        EXPECT_EQ(j.toServer, "");
        EXPECT_TRUE(j.identities.empty());
        // Not even an IAC at the end is kept back.
        const std::string client = kDoMsdp + kReportRoom + kDoGmcp + "\xFF";
        EXPECT_EQ(rig.Client(client), client);
    }
    {
        // Only GMCP: MSDP is the client's own business.
        Rig rig(false, true);
        rig.Game(game);
        const Joined j = rig.Take();
        EXPECT_EQ(j.client, kWillMsdp + kWillGmcp + Msdp(MsdpRoom("1", "a", "b", "2")) + "x");
        EXPECT_EQ(j.toServer, kDoGmcp + Hello() + kSetRoom);
        ASSERT_EQ(j.identities.size(), 1u);
        EXPECT_EQ(j.identities[0].offset, j.recognition.size());
        EXPECT_EQ(rig.Client(kDoMsdp + kReportRoom + kDoGmcp), kDoMsdp + kReportRoom);
    }
}

// The offer found wherever it lies in a long read of Russian text full of "я" pairs (the fast
// scans go 16 and 32 bytes at a time), and a pair right before a WILL is not taken for an IAC.
TEST(OutOfBand, AnOfferIsFoundAtEveryPlaceOfALongRead) {
    const std::string ya = "\xFF\xFF";
    std::string russian;
    for (int i = 0; i < 30; ++i)
        russian += ya + "\xE1\xE2 ";
    for (std::size_t at = 0; at <= 80; ++at) {
        if (at % 5 == 1) continue; // inside a pair: "я" then "ыE", see below
        Rig rig;
        rig.Game(russian.substr(0, at) + kWillMsdp + russian);
        const Joined j = rig.Take();
        ASSERT_EQ(j.toServer, kDoMsdp + kReportRoom) << at;
        ASSERT_EQ(j.client, russian.substr(0, at) + kWillMsdp + russian) << at;
    }
    Rig plain;
    plain.Game(russian + ya + "\xFB\x45" + russian); // "яыE": letters only
    EXPECT_EQ(plain.Take().toServer, "");
}
