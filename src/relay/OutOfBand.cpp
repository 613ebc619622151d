// MSDP and GMCP, the game's side: its offers answered once, the program's own requests, and
// the subnegotiations found in the stream, taken out for a client that never took them up.

#include "relay/OutOfBand.h"

#include "relay/DebugLog.h"
#include "relay/Relay.h"
#include "relay/TelnetBytes.h"
#include "text/Text.h"

#include <algorithm>
#include <cstring>

namespace relay {

using namespace telnet;

namespace {

std::string JsonQuoted(std::string_view s) {
    std::string q = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') q.push_back('\\');
        q.push_back(c);
    }
    return q + "\"";
}

} // namespace
void OutOfBand::Option::Clear() {
    offered = toldDo = asked = clientHello = clientSetList = false;
    client = ClientAnswer::None;
}

OutOfBand::OutOfBand(DebugLog& log) : log_(log) {
    msdp_.code = kMsdp;
    gmcp_.code = kGmcp;
}

void OutOfBand::SetEnabled(bool msdp, bool gmcp) {
    msdp_.enabled = msdp;
    gmcp_.enabled = gmcp;
}

void OutOfBand::Reset() {
    msdp_.Clear();
    gmcp_.Clear();
    scan_ = clientScan_ = Scan::Data;
    sub_ = clientSub_ = nullptr;
    subTooLong_ = clientSubPassing_ = false;
    payload_.clear();
    payload_.shrink_to_fit();
    payloadLength_ = 0;
    carry_.clear();
    clientPayload_.clear();
    clientPayload_.shrink_to_fit();
}

const OutOfBand::Option* OutOfBand::Find(unsigned char code) const {
    return const_cast<OutOfBand*>(this)->Find(code);
}

bool OutOfBand::GameToldDo(unsigned char option) const {
    const Option* o = Find(option);
    return o && o->toldDo;
}

bool OutOfBand::ClientAccepted(unsigned char option) const {
    const Option* o = Find(option);
    return o && o->client == ClientAnswer::Accepted;
}

void OutOfBand::PutSubnegotiation(unsigned char option, std::string_view payload,
                                  std::string& out) {
    out.push_back(static_cast<char>(kIac));
    out.push_back(static_cast<char>(kSb));
    out.push_back(static_cast<char>(option));
    for (char c : payload) {
        out.push_back(c);
        if (static_cast<unsigned char>(c) == kIac) out.push_back(c);
    }
    out.push_back(static_cast<char>(kIac));
    out.push_back(static_cast<char>(kSe));
}

// The program's own request for the room, once the option is on and nobody has asked yet.
void OutOfBand::Ask(Option& o, std::string& toServer) {
    if (!o.offered || !o.toldDo || o.asked) return;
    o.asked = true;
    if (o.code == kMsdp) {
        PutSubnegotiation(kMsdp, "\x01REPORT\x02ROOM", toServer);
        return;
    }
    if (!o.clientHello)
        PutSubnegotiation(
            kGmcp,
            "Core.Hello {\"client\":\"Quarvelin\",\"version\":" + JsonQuoted(VersionText()) + "}",
            toServer);
    // A list the client set is kept: Room is only added to it.
    PutSubnegotiation(kGmcp,
                      std::string(o.clientSetList ? "Core.Supports.Add" : "Core.Supports.Set") +
                          " [\"Room 1\"]",
                      toServer);
}

void OutOfBand::GameVerb(unsigned char verb, Option& o, std::string& toServer) {
    if (verb == kWill) {
        o.offered = true;
        if (!o.toldDo) {
            toServer +=
                {static_cast<char>(kIac), static_cast<char>(kDo), static_cast<char>(o.code)};
            o.toldDo = true;
        }
        Ask(o, toServer);
    } else if (verb == kWont) {
        // The game ends the option: an offer later is a fresh start.
        o.offered = o.toldDo = o.asked = false;
    }
}

void OutOfBand::GameSubnegotiation(Option& o, std::size_t at, bool parse, ServerPass& out) {
    if (subTooLong_ || !parse) return;
    const bool msdp = o.code == kMsdp;
    auto room = msdp ? tracking::ParseMsdpRoom(payload_) : tracking::ParseGmcpRoomInfo(payload_);
    if (!room) return;
    if (log_.DebugActiv)
        log_.DLine(std::string(msdp ? "MSDP ROOM: " : "GMCP Room.Info: ") + room->id + " " +
                   room->name + " [" + room->area + "]");
    out.identities.push_back({at, std::move(*room)});
}

void OutOfBand::FromServer(std::string& stream, bool parse, ServerPass& out) {
    out.cuts.clear();
    out.client.clear();
    out.clientDiffers = false;
    out.identities.clear();
    out.toServer.clear();
    if (!carry_.empty()) {
        stream.insert(0, carry_);
        carry_.clear();
    }
    if (!Active()) {
        scan_ = Scan::Data;
        sub_ = nullptr;
        return;
    }
    if (scan_ == Scan::Data && !MayHoldNegotiation(stream.data(), stream.size())) {
        // Nothing to do but keep back an IAC at the very end: what follows it is not known yet.
        // (At the start of a read the scan never stands after an IAC.)
        std::size_t run = 0;
        while (run < stream.size() && At(stream.data(), stream.size() - 1 - run) == kIac)
            ++run;
        if (run % 2 == 1) {
            carry_.assign(1, static_cast<char>(kIac));
            stream.pop_back();
        }
        return;
    }
    ScanServer(stream, parse, out);
}

void OutOfBand::ScanServer(std::string& stream, bool parse, ServerPass& out) {
    const char* b = stream.data();
    const std::size_t n = stream.size();
    std::size_t i = 0;
    std::size_t command = 0; // where the command being read began
    std::size_t cutFrom = 0; // where the subnegotiation being read began in this read
    std::size_t copied = 0;  // the client's copy holds the read up to here
    // [begin, end) is (part of) a subnegotiation: recognition passes over it, and the client's
    // copy leaves it out unless the client took the option up. The copy is made as the scan
    // goes, while the bytes are at hand.
    auto cut = [&](std::size_t begin, std::size_t end, bool toClient) QUARVELIN_ALWAYS_INLINE {
        if (parse) out.cuts.push_back({begin, end, toClient});
        if (toClient) return;
        out.client.append(b + copied, begin - copied);
        copied = end;
        out.clientDiffers = true;
    };
    auto addPayload = [&](const char* p, std::size_t len) {
        if (subTooLong_) return;
        payloadLength_ += len;
        if (payloadLength_ > kMaxSubnegotiation) {
            subTooLong_ = true;
            payload_.clear();
            payload_.shrink_to_fit();
            log_.DLine(std::string(sub_->code == kMsdp ? "MSDP" : "GMCP") +
                       " subnegotiation over 64 KiB dropped");
            return;
        }
        // Only tracking reads the payload: while it does not, the bytes are only counted.
        if (parse) payload_.append(p, len);
    };
    // A whole subnegotiation of an option of ours inside this read (0xFF doubled in its payload,
    // as in every "я" of a room's name), k its SB and end the IAC of its IAC SE: taken at once.
    auto take = [&](std::size_t k, std::size_t end, Option& o) {
        const std::size_t from = k + 2;
        if (end - from > kMaxSubnegotiation) {
            // Long as it stands: every 0xFF in it is one of a pair.
            const auto ffs = static_cast<std::size_t>(std::count(b + from, b + end, '\xFF'));
            if (end - from - ffs / 2 > kMaxSubnegotiation) return false;
        }
        subToClient_ = o.client == ClientAnswer::Accepted;
        subTooLong_ = false;
        payload_.clear();
        if (parse) {
            for (std::size_t p = from; p < end; ++p) {
                payload_.push_back(b[p]);
                if (At(b, p) == kIac) ++p; // the pair's second byte
            }
        }
        cut(k - 1, end + 2, subToClient_);
        if (parse) {
            sub_ = &o;
            GameSubnegotiation(o, k - 1, parse, out);
            sub_ = nullptr;
            payload_.clear();
        }
        return true;
    };
    while (i < n) {
        switch (scan_) {
        case Scan::Data: {
            // Whole subnegotiations of ours are taken here at once, one after another, and the
            // game's other commands that change nothing here (a prompt's GA) passed over.
            commands_.Start(b, i, n);
            std::size_t k = commands_.Next(i);
            for (; k < n; k = commands_.Next(k + 1)) {
                const unsigned char c = At(b, k);
                if (c == kSb && k + 1 < n) {
                    if (Option* o = Find(At(b, k + 1))) {
                        // The first command inside it ends it.
                        const std::size_t end = commands_.Next(k + 2);
                        if (end < n && At(b, end) == kSe && take(k, end - 1, *o)) {
                            k = end;
                            continue;
                        }
                    }
                }
                if (c >= kSb && c <= kDont) break;
            }
            if (k < n) {
                // Anything else goes step by step below.
                command = k - 1;
                i = k;
                scan_ = Scan::Iac;
                break;
            }
            // None: an unpaired IAC at the very end waits for the byte after it.
            std::size_t run = 0;
            while (run < n - i && At(b, n - 1 - run) == kIac)
                ++run;
            if (run % 2 == 1) {
                command = n - 1;
                scan_ = Scan::Iac;
            }
            i = n;
            break;
        }
        case Scan::Iac: {
            const unsigned char c = At(b, i++);
            if (c >= kWill && c <= kDont) {
                verb_ = c;
                scan_ = Scan::Verb;
            } else {
                scan_ = c == kSb ? Scan::SubOption : Scan::Data;
            }
            break;
        }
        case Scan::Verb:
            scan_ = Scan::Data;
            if (Option* o = Find(At(b, i))) GameVerb(verb_, *o, out.toServer);
            ++i;
            break;
        case Scan::SubOption:
            scan_ = Scan::Sub;
            sub_ = Find(At(b, i++));
            if (sub_) {
                subToClient_ = sub_->client == ClientAnswer::Accepted;
                subTooLong_ = false;
                payload_.clear();
                payloadLength_ = 0;
                cutFrom = command;
            }
            break;
        case Scan::Sub: {
            const void* hit = std::memchr(b + i, kIac, n - i);
            const std::size_t end =
                hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - b) : n;
            if (sub_) addPayload(b + i, end - i);
            i = hit ? end + 1 : n;
            if (hit) scan_ = Scan::SubIac;
            break;
        }
        case Scan::SubIac: {
            const unsigned char c = At(b, i++);
            if (c == kIac) { // a doubled 0xFF in the payload
                scan_ = Scan::Sub;
                if (sub_) addPayload(b + i - 1, 1);
                break;
            }
            // SE ends it; anything else ends it malformed, unread.
            scan_ = Scan::Data;
            if (sub_) {
                cut(cutFrom, i, subToClient_);
                if (c == kSe) GameSubnegotiation(*sub_, cutFrom, parse, out);
                sub_ = nullptr;
                payload_.clear();
            }
            break;
        }
        }
    }
    if (sub_ && cutFrom < n) cut(cutFrom, n, subToClient_);
    if (scan_ == Scan::Iac || scan_ == Scan::Verb || scan_ == Scan::SubOption) {
        carry_.assign(b + command, n - command);
        stream.resize(command);
        scan_ = Scan::Data;
    }
    if (out.clientDiffers) out.client.append(stream, copied);
}

} // namespace relay
