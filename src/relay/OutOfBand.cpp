#include "relay/OutOfBand.h"

#include "relay/DebugLog.h"
#include "relay/Relay.h"
#include "text/ByteSearch.h"
#include "text/Text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <cstring>
#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define QUARVELIN_AVX2 1
#endif

namespace relay {

namespace {

constexpr unsigned char kIac = 0xFF;
constexpr unsigned char kSb = 0xFA;
constexpr unsigned char kWill = 0xFB;
constexpr unsigned char kWont = 0xFC;
constexpr unsigned char kDo = 0xFD;
constexpr unsigned char kDont = 0xFE;
constexpr unsigned char kSe = 0xF0;

// MSDP's control bytes.
constexpr char kVar = 1, kVal = 2, kTableOpen = 3, kTableClose = 4, kArrayOpen = 5, kArrayClose = 6;

bool IsMsdpControl(char c) {
    return c >= kVar && c <= kArrayClose;
}

unsigned char At(const char* p, std::size_t i) {
    return static_cast<unsigned char>(p[i]);
}

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

std::string JsonQuoted(std::string_view s) {
    std::string q = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') q.push_back('\\');
        q.push_back(c);
    }
    return q + "\"";
}

// A GMCP message: the package name, then its data (JSON, after blanks).
std::pair<std::string_view, std::string_view> SplitGmcp(std::string_view payload) {
    std::size_t end = 0;
    while (end < payload.size() && payload[end] != ' ' && payload[end] != '\t' &&
           payload[end] != '[' && payload[end] != '{' && payload[end] != '\r' &&
           payload[end] != '\n')
        ++end;
    return {payload.substr(0, end), payload.substr(end)};
}

bool NamesPackage(const QString& entry, std::string_view package) {
    const QString name = entry.trimmed().section(' ', 0, 0);
    const QByteArray bytes = name.toUtf8();
    return text::EqualsIgnoreCaseLatin(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), package);
}

bool ParseList(std::string_view json, QJsonArray& list) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(
        QByteArray(json.data(), static_cast<qsizetype>(json.size())), &error);
    if (error.error != QJsonParseError::NoError || !doc.isArray()) return false;
    list = doc.array();
    return true;
}

// One MSDP value from `pos` (just after VAL): plain text up to the next control byte, or a whole
// table or array. Returns where it ends, or npos when it never closes.
std::size_t SkipMsdpValue(std::string_view s, std::size_t pos) {
    if (pos < s.size() && (s[pos] == kTableOpen || s[pos] == kArrayOpen)) {
        int depth = 0;
        for (; pos < s.size(); ++pos) {
            if (s[pos] == kTableOpen || s[pos] == kArrayOpen) {
                ++depth;
            } else if (s[pos] == kTableClose || s[pos] == kArrayClose) {
                if (--depth == 0) return pos + 1;
            }
        }
        return std::string_view::npos;
    }
    while (pos < s.size() && !IsMsdpControl(s[pos]))
        ++pos;
    return pos;
}

// The plain texts of an array value (ARRAY_OPEN VAL text ... ARRAY_CLOSE); false when it holds
// anything else.
bool ArrayTexts(std::string_view v, std::vector<std::string_view>& texts) {
    std::size_t i = 1;
    while (i < v.size() && v[i] == kVal) {
        const std::size_t from = ++i;
        while (i < v.size() && !IsMsdpControl(v[i]))
            ++i;
        texts.push_back(v.substr(from, i - from));
    }
    return i + 1 == v.size() && v[i] == kArrayClose;
}

} // namespace

std::string MsdpWithout(std::string_view s, std::string_view name, std::string_view value,
                        bool& found) {
    found = false;
    std::string out;
    std::size_t pos = 0;
    while (pos < s.size()) {
        if (s[pos] != kVar) return std::string(s);
        const std::size_t entry = pos++;
        const std::size_t nameFrom = pos;
        while (pos < s.size() && !IsMsdpControl(s[pos]))
            ++pos;
        const std::string_view var = s.substr(nameFrom, pos - nameFrom);
        std::vector<std::string_view> texts;
        bool simple = true, array = false;
        int values = 0;
        while (pos < s.size() && s[pos] == kVal) {
            ++values;
            const std::size_t end = SkipMsdpValue(s, ++pos);
            if (end == std::string_view::npos) return std::string(s);
            const std::string_view v = s.substr(pos, end - pos);
            if (!v.empty() && v[0] == kArrayOpen)
                simple = ArrayTexts(v, texts) && (array = true);
            else if (!v.empty() && v[0] == kTableOpen)
                simple = false;
            else
                texts.push_back(v);
            pos = end;
        }
        if (values == 0) return std::string(s);
        const std::string_view whole = s.substr(entry, pos - entry);
        if (var != name || !simple || (array && values != 1)) {
            out.append(whole);
            continue;
        }
        std::vector<std::string_view> kept;
        for (std::string_view t : texts)
            if (t == value)
                found = true;
            else
                kept.push_back(t);
        if (kept.size() == texts.size()) {
            out.append(whole);
            continue;
        }
        if (kept.empty()) continue;
        out.push_back(kVar);
        out.append(var);
        if (array) {
            out.push_back(kVal);
            out.push_back(kArrayOpen);
        }
        for (std::string_view t : kept) {
            out.push_back(kVal);
            out.append(t);
        }
        if (array) out.push_back(kArrayClose);
    }
    return found ? out : std::string(s);
}

bool GmcpListHas(std::string_view json, std::string_view package) {
    QJsonArray list;
    if (!ParseList(json, list)) return false;
    for (const QJsonValue& v : list)
        if (v.isString() && NamesPackage(v.toString(), package)) return true;
    return false;
}

std::string GmcpListWithout(std::string_view json, std::string_view package, bool& empty) {
    QJsonArray list, kept;
    empty = false;
    if (!ParseList(json, list)) return std::string(json);
    for (const QJsonValue& v : list)
        if (!v.isString() || !NamesPackage(v.toString(), package)) kept.append(v);
    empty = kept.isEmpty();
    return QJsonDocument(kept).toJson(QJsonDocument::Compact).toStdString();
}

bool OutOfBand::ServerPass::ClientCut() const {
    for (const Cut& c : cuts)
        if (!c.toClient) return true;
    return false;
}

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
    while (i < n) {
        switch (scan_) {
        case Scan::Data: {
            const std::size_t k = NextCommand(b, i, n);
            if (k < n) {
                command = k - 1;
                // The common case at once: a whole subnegotiation of an option of ours inside
                // this read (0xFF doubled in its payload, as in every "я" of a room's name).
                // Anything else goes step by step below.
                if (At(b, k) == kSb && k + 1 < n) {
                    if (Option* o = Find(At(b, k + 1))) {
                        const std::size_t from = k + 2;
                        std::size_t at = from, end = n;
                        std::size_t pairs = 0;
                        while (at < n) {
                            const void* hit = std::memchr(b + at, kIac, n - at);
                            if (!hit || static_cast<const char*>(hit) + 1 == b + n) break;
                            const std::size_t h =
                                static_cast<std::size_t>(static_cast<const char*>(hit) - b);
                            if (At(b, h + 1) == kIac) {
                                ++pairs;
                                at = h + 2;
                                continue;
                            }
                            if (At(b, h + 1) == kSe) end = h;
                            break;
                        }
                        if (end < n && end - from - pairs <= kMaxSubnegotiation) {
                            subToClient_ = o->client == ClientAnswer::Accepted;
                            subTooLong_ = false;
                            payloadLength_ = end - from - pairs;
                            payload_.clear();
                            if (parse) {
                                for (std::size_t p = from; p < end; ++p) {
                                    payload_.push_back(b[p]);
                                    if (At(b, p) == kIac) ++p; // the pair's second byte
                                }
                            }
                            out.cuts.push_back({command, end + 2, subToClient_});
                            sub_ = o;
                            GameSubnegotiation(*o, command, parse, out);
                            sub_ = nullptr;
                            payload_.clear();
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
                out.cuts.push_back({cutFrom, i, subToClient_});
                if (c == kSe) GameSubnegotiation(*sub_, cutFrom, parse, out);
                sub_ = nullptr;
                payload_.clear();
            }
            break;
        }
        }
    }
    if (sub_ && cutFrom < n) out.cuts.push_back({cutFrom, n, subToClient_});
    if (scan_ == Scan::Iac || scan_ == Scan::Verb || scan_ == Scan::SubOption) {
        carry_.assign(b + command, n - command);
        stream.resize(command);
        scan_ = Scan::Data;
    }
}

std::string OutOfBand::FromClient(std::string_view block, std::string& after) {
    after.clear();
    if (!Active()) {
        clientScan_ = Scan::Data;
        clientSub_ = nullptr;
        return std::string(block);
    }
    std::string out;
    out.reserve(block.size());
    const char* b = block.data();
    const std::size_t n = block.size();
    auto put = [&](unsigned char a, unsigned char c) {
        out.push_back(static_cast<char>(a));
        out.push_back(static_cast<char>(c));
    };
    auto putStart = [&] {
        put(kIac, kSb);
        out.push_back(static_cast<char>(clientSubOption_));
    };
    std::size_t i = 0;
    while (i < n) {
        switch (clientScan_) {
        case Scan::Data: {
            const void* hit = std::memchr(b + i, kIac, n - i);
            const std::size_t end =
                hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - b) : n;
            out.append(b + i, end - i);
            i = hit ? end + 1 : n;
            if (hit) clientScan_ = Scan::Iac;
            break;
        }
        case Scan::Iac: {
            const unsigned char c = At(b, i++);
            if (c >= kWill && c <= kDont) {
                clientVerb_ = c;
                clientScan_ = Scan::Verb;
            } else if (c == kSb) {
                clientScan_ = Scan::SubOption;
            } else {
                put(kIac, c);
                clientScan_ = Scan::Data;
            }
            break;
        }
        case Scan::Verb:
            clientScan_ = Scan::Data;
            ClientVerb(clientVerb_, At(b, i++), out, after);
            break;
        case Scan::SubOption:
            clientScan_ = Scan::Sub;
            clientSubOption_ = At(b, i++);
            clientSub_ = Find(clientSubOption_);
            clientSubPassing_ = !clientSub_;
            clientPayload_.clear();
            if (clientSubPassing_) putStart();
            break;
        case Scan::Sub: {
            const void* hit = std::memchr(b + i, kIac, n - i);
            const std::size_t end =
                hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - b) : n;
            if (clientSubPassing_) {
                out.append(b + i, end - i);
            } else {
                clientPayload_.append(b + i, end - i);
                if (clientPayload_.size() > kMaxSubnegotiation) {
                    // Too long to hold: what came goes on, and the rest as it comes.
                    std::string start;
                    PutSubnegotiation(clientSubOption_, clientPayload_, start);
                    out.append(start, 0, start.size() - 2); // without its IAC SE
                    clientPayload_.clear();
                    clientPayload_.shrink_to_fit();
                    clientSubPassing_ = true;
                }
            }
            i = hit ? end + 1 : n;
            if (hit) clientScan_ = Scan::SubIac;
            break;
        }
        case Scan::SubIac: {
            const unsigned char c = At(b, i++);
            if (c == kIac) {
                clientScan_ = Scan::Sub;
                if (clientSubPassing_)
                    put(kIac, kIac);
                else
                    clientPayload_.push_back(static_cast<char>(kIac));
                break;
            }
            clientScan_ = Scan::Data;
            if (clientSubPassing_) {
                put(kIac, c);
            } else if (c == kSe) {
                ClientSubnegotiation(*clientSub_, out);
            } else { // malformed: on as it came
                std::string whole;
                PutSubnegotiation(clientSubOption_, clientPayload_, whole);
                whole.back() = static_cast<char>(c);
                out += whole;
            }
            clientSub_ = nullptr;
            clientSubPassing_ = false;
            clientPayload_.clear();
            break;
        }
        }
    }
    return out;
}

void OutOfBand::ClientVerb(unsigned char verb, unsigned char option, std::string& out,
                           std::string& after) {
    Option* o = Find(option);
    const bool pass = [&] {
        if (!o) return true;
        if (verb == kDo) {
            o->client = ClientAnswer::Accepted;
            if (o->toldDo) return false; // the program has answered already
            o->toldDo = true;
            return true;
        }
        if (verb == kDont) {
            o->client = ClientAnswer::Refused;
            return !o->toldDo; // the program keeps the option for itself
        }
        return true;
    }();
    if (pass) {
        out.push_back(static_cast<char>(kIac));
        out.push_back(static_cast<char>(verb));
        out.push_back(static_cast<char>(option));
    }
    // The client answered the game's offer before the program did (or in its place).
    if (o && pass && verb == kDo) Ask(*o, after);
}

void OutOfBand::ClientSubnegotiation(Option& o, std::string& out) {
    std::string p = std::move(clientPayload_);
    clientPayload_.clear();
    if (o.code == kMsdp) {
        bool found = false;
        std::string without = MsdpWithout(p, "REPORT", "ROOM", found);
        if (found && o.asked)
            p = std::move(without); // reported already, and the client gets every ROOM anyway
        else if (found && o.toldDo)
            o.asked = true;
        // The program's report stays, whatever the client stops.
        without = MsdpWithout(p, "UNREPORT", "ROOM", found);
        if (found) p = std::move(without);
        if (!p.empty()) PutSubnegotiation(kMsdp, p, out);
        return;
    }
    const auto [package, json] = SplitGmcp(p);
    if (text::EqualsIgnoreCaseLatin(package, "Core.Hello")) {
        if (o.toldDo) o.clientHello = true;
    } else if (text::EqualsIgnoreCaseLatin(package, "Core.Supports.Set")) {
        o.clientSetList = true;
        QJsonArray list;
        if (ParseList(json, list) && !GmcpListHas(json, "Room")) {
            // The client's list replaces the program's: Room must stay in it.
            const std::size_t close = p.rfind(']');
            p.insert(close, list.isEmpty() ? "\"Room 1\"" : ", \"Room 1\"");
        }
        if (o.toldDo && GmcpListHas(SplitGmcp(p).second, "Room")) o.asked = true;
    } else if (text::EqualsIgnoreCaseLatin(package, "Core.Supports.Add")) {
        if (o.toldDo && GmcpListHas(json, "Room")) o.asked = true;
    } else if (text::EqualsIgnoreCaseLatin(package, "Core.Supports.Remove")) {
        if (GmcpListHas(json, "Room")) {
            bool empty = false;
            const std::string rest = GmcpListWithout(json, "Room", empty);
            if (empty) return;
            p = std::string(package) + " " + rest;
        }
    }
    PutSubnegotiation(kGmcp, p, out);
}

} // namespace relay
