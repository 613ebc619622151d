#pragma once
// MSDP (telnet option 69) and GMCP (option 201), negotiated by the program itself between the
// game and the player's client. The game's offer goes on to the client unchanged, but the
// program answers it at once and asks for the player's room, so that the map learns the room's
// identity whatever the client does. The two sides are then merged: the game is never answered
// twice and never asked for the room twice, a client that leaves the room out of its own
// requests does not stop the program's, and a client that did not take up the option never sees
// its subnegotiations. Game subnegotiations of both options are cut out of the text for
// recognition and read for the room's identity.
//
// No sockets: the relay feeds it the game's decoded stream (through ServerStreamDecoder) and the
// client's blocks, and sends what it asks to be sent.

#include "relay/CommandScan.h"
#include "tracking/RoomIdentity.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace relay {

class DebugLog;

class OutOfBand {
public:
    static constexpr unsigned char kMsdp = 69;
    static constexpr unsigned char kGmcp = 201;
    // A game subnegotiation longer than this is not read (its bytes still pass); a client's
    // goes on to the game as it stands.
    static constexpr std::size_t kMaxSubnegotiation = 64 * 1024;

    // A stretch of one read of the game's stream that is (part of) a subnegotiation of either
    // option, from IAC SB to IAC SE inclusive.
    struct Cut {
        std::size_t begin = 0;
        std::size_t end = 0;
        bool toClient = false; // the client took up the option: these bytes are its too
    };
    struct ServerPass {
        std::vector<Cut> cuts; // in order, apart; found only when the read is parsed
        // The read without what the client did not take up, when that is anything.
        std::string client;
        bool clientDiffers = false;
        // The identities whose subnegotiation ended in this read, `offset` being the position
        // in the stream of the cut that ended it.
        std::vector<tracking::IdentityAt> identities;
        std::string toServer; // the program's answers and requests to the game
    };

    explicit OutOfBand(DebugLog& log);

    // What the profile allows. A disabled option is left alone both ways, as if unknown.
    void SetEnabled(bool msdp, bool gmcp);
    bool Active() const { return msdp_.enabled || gmcp_.enabled; }
    // A new game connection: everything is negotiated afresh.
    void Reset();

    // One read of the game's stream, decoded (plain telnet, no compression). A telnet command
    // cut off at the end of `stream` is taken out of it and put in front of the next read, so
    // that the client never gets the start of a subnegotiation it must not see. `parse`: read
    // the identities (and log them).
    void FromServer(std::string& stream, bool parse, ServerPass& out);

    // One block from the client, as read. Returns what goes on to the game; `after` gets what
    // the program sends after it (its own requests, when the client's answer opened the option).
    // A telnet command cut off at the end waits for the next block.
    std::string FromClient(std::string_view block, std::string& after);

    // For tests and the status of the connection.
    bool GameToldDo(unsigned char option) const;
    bool ClientAccepted(unsigned char option) const;

private:
    enum class Scan { Data, Iac, Verb, SubOption, Sub, SubIac };
    enum class ClientAnswer { None, Accepted, Refused };
    struct Option {
        unsigned char code = 0;
        bool enabled = false;
        bool offered = false; // the game said WILL
        bool toldDo = false;  // the game was told DO, by the program or the client
        bool asked = false;   // the room was asked for, by either, once told DO
        ClientAnswer client = ClientAnswer::None;
        bool clientHello = false;   // GMCP: the client introduced itself
        bool clientSetList = false; // GMCP: the client set its own list of packages
        void Clear();
    };

    Option* Find(unsigned char code) {
        if (code == kMsdp && msdp_.enabled) return &msdp_;
        if (code == kGmcp && gmcp_.enabled) return &gmcp_;
        return nullptr;
    }
    const Option* Find(unsigned char code) const;
    void Ask(Option& o, std::string& toServer);
    void GameVerb(unsigned char verb, Option& o, std::string& toServer);
    void GameSubnegotiation(Option& o, std::size_t at, bool parse, ServerPass& out);
    void ScanServer(std::string& stream, bool parse, ServerPass& out);
    void ClientVerb(unsigned char verb, unsigned char option, std::string& out, std::string& after);
    void ClientSubnegotiation(Option& o, std::string& out);
    void PutSubnegotiation(unsigned char option, std::string_view payload, std::string& out);

    DebugLog& log_;
    Option msdp_;
    Option gmcp_;

    // The game's side.
    Scan scan_ = Scan::Data;
    unsigned char verb_ = 0;
    Option* sub_ = nullptr; // inside a subnegotiation of this option (null: another option)
    bool subToClient_ = false;
    bool subTooLong_ = false;
    std::string payload_;
    std::size_t payloadLength_ = 0; // of the subnegotiation being read, kept or not
    std::string carry_;             // a command cut off at the end of the last read
    CommandScan commands_;

    // The client's side.
    Scan clientScan_ = Scan::Data;
    unsigned char clientVerb_ = 0;
    Option* clientSub_ = nullptr;   // buffering a subnegotiation of this option
    bool clientSubPassing_ = false; // a too long one: the rest goes on as it comes
    unsigned char clientSubOption_ = 0;
    std::string clientPayload_;
};

// The MSDP payload without `value` among the values of each top-level variable `name`; a
// variable left without values is left out. `found`: the value was there. A payload that is not
// VAR/VAL pairs comes back unchanged.
std::string MsdpWithout(std::string_view payload, std::string_view name, std::string_view value,
                        bool& found);
// The GMCP package list of a Core.Supports message (a JSON array of "Name version" texts): does
// it name the package (in any letter case), and the list without it (compact JSON).
bool GmcpListHas(std::string_view json, std::string_view package);
std::string GmcpListWithout(std::string_view json, std::string_view package, bool& empty);

} // namespace relay
