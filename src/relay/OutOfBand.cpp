// MSDP and GMCP, the game's side: its offers answered once, the program's own requests, and
// the subnegotiations found in the stream, taken out for a client that never took them up.

#include "relay/OutOfBand.h"

#include "relay/DebugLog.h"
#include "relay/Relay.h"
#include "relay/TelnetBytes.h"
#include "text/ByteSearch.h"
#include "text/Text.h"

#include <cstring>
#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define QUARVELIN_AVX2 1
#endif

namespace relay {

using namespace telnet;

namespace {

// The first k in [i, n) where p[k - 1] is an IAC, p[k] is SB, WILL, WONT, DO or DONT and
// accept(k) holds; n when there is none. Sixteen bytes at a time (32 with AVX2): pairs of 0xFF
// (the letter "я", everywhere in Russian text) are passed over by the vector compare and only
// its hits are looked at one by one. i is at least 1.
#if QUARVELIN_AVX2
template <typename Accept>
__attribute__((target("avx2"))) std::size_t FindCommandWide(const char* p, std::size_t& i,
                                                            std::size_t n, Accept& accept) {
    const __m256i iac = _mm256_set1_epi8(static_cast<char>(kIac));
    const __m256i first = _mm256_set1_epi8(static_cast<char>(kSb));
    const __m256i span = _mm256_set1_epi8(kDont - kSb);
    for (; i + 32 <= n; i += 32) {
        const __m256i cur = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
        const __m256i prev = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i - 1));
        const __m256i d = _mm256_sub_epi8(cur, first);
        const __m256i command = _mm256_cmpeq_epi8(_mm256_min_epu8(d, span), d);
        unsigned mask = static_cast<unsigned>(
            _mm256_movemask_epi8(_mm256_and_si256(_mm256_cmpeq_epi8(prev, iac), command)));
        for (; mask; mask &= mask - 1)
            if (const std::size_t k = i + text::LowestBit(mask); accept(k)) return k;
    }
    return n;
}
#endif

template <typename Accept>
std::size_t FindCommand(const char* p, std::size_t i, std::size_t n, Accept&& accept) {
#if QUARVELIN_AVX2
    if (text::HasAvx2()) {
        const std::size_t k = FindCommandWide(p, i, n, accept);
        if (k < n) return k;
    }
#endif
#if defined(__SSE2__) || defined(_M_X64)
    const __m128i iac = _mm_set1_epi8(static_cast<char>(kIac));
    const __m128i first = _mm_set1_epi8(static_cast<char>(kSb));
    const __m128i span = _mm_set1_epi8(kDont - kSb);
    for (; i + 16 <= n; i += 16) {
        const __m128i cur = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i prev = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i - 1));
        // SB..DONT: the byte minus SB, unsigned, is at most DONT - SB.
        const __m128i d = _mm_sub_epi8(cur, first);
        const __m128i command = _mm_cmpeq_epi8(_mm_min_epu8(d, span), d);
        unsigned mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(prev, iac), command)));
        for (; mask; mask &= mask - 1)
            if (const std::size_t k = i + text::LowestBit(mask); accept(k)) return k;
    }
#endif
    for (; i < n; ++i)
        if (At(p, i - 1) == kIac && At(p, i) >= kSb && At(p, i) <= kDont && accept(i)) return i;
    return n;
}

// Could the text hold a negotiation or a subnegotiation: an IAC followed by SB, WILL, WONT, DO or
// DONT? Pairs of 0xFF (the letter "я") are not told apart from commands here, so the answer may
// be yes for plain text, never no for a command. Game text rarely has any, so this runs over
// every read before anything slower.
bool MayHoldNegotiation(const char* p, std::size_t n) {
    return FindCommand(p, 1, n, [](std::size_t) { return true; }) < n;
}

// Where the next negotiation or subnegotiation command begins in p[from, n): the index of the
// byte after its IAC (SB, WILL, WONT, DO or DONT), the IAC itself not doubled (an odd run of
// 0xFF before it, counted from `from`, where no command is under way). n when there is none.
std::size_t NextCommand(const char* p, std::size_t from, std::size_t n) {
    return FindCommand(p, from + 1, n, [&](std::size_t k) {
        std::size_t run = 0;
        while (k - run > from && At(p, k - 1 - run) == kIac)
            ++run;
        return run % 2 == 1;
    });
}

// Where the subnegotiation whose payload begins at `from` ends: the index of the IAC of its
// IAC SE, counting the pairs of 0xFF in the payload. n when it does not end in [from, n) or an
// IAC inside it is followed by neither IAC nor SE (both left to the step-by-step scan). The
// payloads are short and hold few 0xFF, so the search runs sixteen bytes at a time inline.
std::size_t SubnegotiationEnd(const char* b, std::size_t from, std::size_t n, std::size_t& pairs) {
    std::size_t i = from;
    auto at = [&](std::size_t h) -> std::size_t {
        if (h + 1 >= n) return n;
        if (At(b, h + 1) == kIac) {
            ++pairs;
            i = h + 2;
            return 0;
        }
        return At(b, h + 1) == kSe ? h : n;
    };
#if defined(__SSE2__) || defined(_M_X64)
    const __m128i iac = _mm_set1_epi8(static_cast<char>(kIac));
    while (i + 16 <= n) {
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i)), iac)));
        if (!mask) {
            i += 16;
            continue;
        }
        if (const std::size_t end = at(i + text::LowestBit(mask))) return end;
    }
#endif
    while (i < n) {
        if (At(b, i) != kIac) {
            ++i;
            continue;
        }
        if (const std::size_t end = at(i)) return end;
    }
    return n;
}

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

OutOfBand::Option* OutOfBand::Find(unsigned char code) {
    if (code == kMsdp && msdp_.enabled) return &msdp_;
    if (code == kGmcp && gmcp_.enabled) return &gmcp_;
    return nullptr;
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
    auto cut = [&](std::size_t begin, std::size_t end, bool toClient) {
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
    auto take = [&](std::size_t k, std::size_t end, std::size_t pairs, Option& o) {
        const std::size_t from = k + 2;
        if (end - from - pairs > kMaxSubnegotiation) return false;
        subToClient_ = o.client == ClientAnswer::Accepted;
        subTooLong_ = false;
        payloadLength_ = end - from - pairs;
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
            const std::size_t k = NextCommand(b, i, n);
            if (k < n) {
                command = k - 1;
                // Anything but a whole subnegotiation of ours goes step by step below.
                if (At(b, k) == kSb && k + 1 < n) {
                    if (Option* o = Find(At(b, k + 1))) {
                        std::size_t pairs = 0;
                        const std::size_t end = SubnegotiationEnd(b, k + 2, n, pairs);
                        if (end < n && take(k, end, pairs, *o)) {
                            i = end + 2;
                            break;
                        }
                    }
                }
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
