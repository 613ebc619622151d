#include "relay/ServerStreamDecoder.h"

#include "relay/OutOfBand.h"
#include "relay/TelnetBytes.h"
#include "text/ByteSearch.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <zlib.h>
#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace relay {

namespace {

using namespace telnet;

constexpr unsigned char kCompress = 0x55;  // MCCP version 1
constexpr unsigned char kCompress2 = 0x56; // MCCP version 2

// Inflate output steps are at least 8192 bytes and double while a read keeps filling them, up
// to 256 KB: a read of well-compressed text then costs few zlib calls (each call also copies
// its output into zlib's window).
constexpr std::size_t kOutStep = 8192;
constexpr std::size_t kMaxOutStep = 256 * 1024;
// IAC SB option and two more bytes: the longest sequence that is ever held back between reads.
constexpr std::size_t kStartSequenceSize = 5;

bool IsCompressOption(unsigned char c) {
    return c == kCompress || c == kCompress2;
}

// Where the telnet scanner stands between two bytes of the plain stream.
enum class TelnetState {
    Data,   // text, or between commands
    Sub,    // inside a subnegotiation that goes to the client unchanged
    SubIac, // inside a subnegotiation, right after IAC
};

// Whether p[0, n) may hold a prompt command: an 0xFF followed by GA or EOR (a doubled 0xFF
// before the letter "щ" or "п" is also taken: the caller then reads the bytes one by one), or
// GA or EOR first when the previous read ended on an unpaired 0xFF. Russian text doubles 0xFF
// in every letter "я", so looking for 0xFF alone would stop all the time.
bool MayHoldPrompt(const char* p, std::size_t n, bool pending) {
    if (n == 0) return false;
    const auto first = static_cast<unsigned char>(p[0]);
    if (pending && (first == kGa || first == kEor)) return true;
    std::size_t i = 1; // the byte at i and the one before it
#if defined(__SSE2__) || defined(_M_X64)
    const __m128i iac = _mm_set1_epi8(static_cast<char>(kIac));
    const __m128i ga = _mm_set1_epi8(static_cast<char>(kGa));
    const __m128i eor = _mm_set1_epi8(static_cast<char>(kEor));
    for (; i + 16 <= n; i += 16) {
        const __m128i cur = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i prev = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i - 1));
        const __m128i end = _mm_or_si128(_mm_cmpeq_epi8(cur, ga), _mm_cmpeq_epi8(cur, eor));
        if (_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(prev, iac), end)) != 0) return true;
    }
#endif
    for (; i < n; ++i) {
        const auto u = static_cast<unsigned char>(p[i]);
        if (static_cast<unsigned char>(p[i - 1]) == kIac && (u == kGa || u == kEor)) return true;
    }
    return false;
}

} // namespace

struct ServerStreamDecoder::Impl {
    bool offered = false;
    bool active = false;
    bool started = false;
    std::string mode = "none";
    z_stream zs{};
    bool zsInitialised = false;
    std::uint64_t bytesIn = 0;
    std::uint64_t bytesOut = 0;

    // Inflate output, appended to the decoded text after each call. Not zero-filled: a step of
    // well-compressed text would otherwise be written twice.
    std::unique_ptr<Bytef[]> outBuf{new Bytef[kMaxOutStep]};

    TelnetState state = TelnetState::Data;
    std::string held;                // an incomplete telnet command at the end of the last read
    std::string joined;              // held bytes + the new read, reused between reads
    bool recognitionFf = false;      // the last recognition byte was an unpaired 0xFF
    bool promptsSeen = false;        // IAC GA or IAC EOR since the connection opened
    OutOfBand::ServerPass outOfBand; // reused from read to read

    ~Impl() { EndInflater(); }

    void EndInflater() {
        if (zsInitialised) inflateEnd(&zs);
        zsInitialised = false;
    }

    void Answer(DecodeResult& out, unsigned char verb, unsigned char option) {
        out.toServer.push_back(static_cast<char>(kIac));
        out.toServer.push_back(static_cast<char>(verb));
        out.toServer.push_back(static_cast<char>(option));
    }

    // A compression offer in the plain stream. Only the first is taken up; any later one while
    // it stands is declined so that the server does not wait for an answer that never comes.
    void Offer(DecodeResult& out, unsigned char option, bool mccpEnabled) {
        if (offered) {
            Answer(out, kDont, option);
            return;
        }
        mode = option == kCompress2 ? "V2" : "V1";
        EndInflater();
        zs = z_stream{};
        bytesIn = bytesOut = 0;
        if (mccpEnabled) {
            out.notices.push_back("Enabling MCCP " + mode);
            Answer(out, kDo, option);
        } else {
            out.notices.push_back("Refusing MCCP " + mode);
            mode = "none";
            Answer(out, kDont, option);
        }
        offered = true;
    }

    void Fail(DecodeResult& out, std::string notice) {
        out.notices.push_back(std::move(notice));
        out.closeServer = true;
        out.forward = false;
    }

    // Scans plain bytes from `pos` and appends them to the client text, answering and removing
    // compression offers. Returns where the compressed stream begins (or in.size()). On a
    // malformed start sequence `out.forward` becomes false.
    std::size_t ScanPlain(std::string_view in, std::size_t pos, DecodeResult& out,
                          bool mccpEnabled) {
        std::string& d = out.clientBytes;
        const char* base = in.data();
        const std::size_t n = in.size();
        while (pos < n) {
            if (state == TelnetState::SubIac) {
                const auto c = static_cast<unsigned char>(base[pos]);
                d.push_back(base[pos++]);
                state = c == kIac ? TelnetState::Sub : TelnetState::Data;
                continue;
            }
            const void* hit = std::memchr(base + pos, kIac, n - pos);
            const std::size_t iac = hit ? static_cast<const char*>(hit) - base : n;
            d.append(base + pos, iac - pos);
            pos = iac;
            if (pos == n) break;
            if (state == TelnetState::Sub) {
                d.push_back(base[pos++]);
                state = TelnetState::SubIac;
                continue;
            }
            // IAC in the data: the whole command must be in hand to decide about it.
            if (pos + 1 >= n) {
                held.assign(base + pos, n - pos);
                return n;
            }
            const auto verb = static_cast<unsigned char>(base[pos + 1]);
            if (verb == kIac) { // a doubled 0xFF is the letter, not a command
                d.append(base + pos, 2);
                pos += 2;
            } else if (verb == kWill || verb == kWont || verb == kDo || verb == kDont) {
                if (pos + 2 >= n) {
                    held.assign(base + pos, n - pos);
                    return n;
                }
                const auto option = static_cast<unsigned char>(base[pos + 2]);
                if (verb == kWill && IsCompressOption(option))
                    Offer(out, option, mccpEnabled);
                else
                    d.append(base + pos, 3);
                pos += 3;
            } else if (verb == kSb) {
                if (pos + 2 >= n) {
                    held.assign(base + pos, n - pos);
                    return n;
                }
                const auto option = static_cast<unsigned char>(base[pos + 2]);
                if (offered && IsCompressOption(option)) {
                    if (n - pos < kStartSequenceSize) {
                        held.assign(base + pos, n - pos);
                        return n;
                    }
                    const auto* s = reinterpret_cast<const unsigned char*>(base + pos + 2);
                    const bool v2 =
                        mode == "V2" && s[0] == kCompress2 && s[1] == kIac && s[2] == kSe;
                    const bool v1 =
                        mode == "V1" && s[0] == kCompress && s[1] == kWill && s[2] == kSe;
                    if (!v1 && !v2) {
                        Fail(out, "MCCP Error " + mode);
                        return n;
                    }
                    out.notices.push_back("Starting MCCP " + mode);
                    offered = false;
                    EndInflater();
                    zs = z_stream{};
                    if (inflateInit(&zs) != Z_OK) {
                        Fail(out, "MCCP unknown error.");
                        return n;
                    }
                    zsInitialised = true;
                    // The stream's checksum is only compared at its end, which most sessions
                    // never reach, yet computing it costs a fifth of the relay's time; TCP
                    // already guards the bytes. The header is still checked.
                    inflateValidate(&zs, 0);
                    bytesIn = bytesOut = 0;
                    active = started = true;
                    return pos + kStartSequenceSize;
                }
                d.append(base + pos, 3);
                pos += 3;
                state = TelnetState::Sub;
            } else { // a two-byte command: GA, NOP, EOR, ...
                d.append(base + pos, 2);
                pos += 2;
            }
        }
        return n;
    }

    // Inflates from `pos`. Returns where plain text resumes after the end of the compressed
    // stream (or in.size()). On an inflate error `out.forward` becomes false.
    std::size_t Inflate(std::string_view in, std::size_t pos, DecodeResult& out) {
        std::string& d = out.clientBytes;
        zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data() + pos));
        zs.avail_in = static_cast<uInt>(in.size() - pos);
        // The first step is sized for the text that the input is likely to hold (MUD text
        // packs ten to twenty times), so that a whole read usually takes one zlib call.
        std::size_t step =
            std::clamp<std::size_t>(std::size_t{zs.avail_in} * 16, kOutStep, kMaxOutStep);
        for (;; step = std::min(step * 2, kMaxOutStep)) {
            zs.next_out = outBuf.get();
            zs.avail_out = static_cast<uInt>(step);
            const uInt inBefore = zs.avail_in;
            const int rc = inflate(&zs, Z_SYNC_FLUSH);
            const std::size_t produced = step - zs.avail_out;
            const std::size_t consumed = inBefore - zs.avail_in;
            d.append(reinterpret_cast<const char*>(outBuf.get()), produced);
            bytesIn += consumed;
            bytesOut += produced;
            if (rc == Z_OK ||
                (rc == Z_BUF_ERROR && consumed == 0 && produced == 0 && zs.avail_in == 0)) {
                // A full output step may leave output inside zlib even when all input is
                // taken: ask again, or the tail of this read would wait for the next one.
                if (zs.avail_in == 0 && (produced < step || rc == Z_BUF_ERROR)) break;
                continue;
            }
            if (rc == Z_STREAM_END) {
                const std::size_t rest = zs.avail_in;
                active = started = offered = false;
                const int endRc = inflateEnd(&zs);
                zsInitialised = false;
                if (endRc == Z_OK) {
                    out.notices.push_back("Stopping MCCP.");
                } else {
                    out.notices.push_back("MCCP unknown error.");
                    out.closeServer = true;
                }
                return in.size() - rest;
            }
            if (rc == Z_NEED_DICT) {
                Fail(out, "Oops, zlib wants a dictionary, where can i find that, sir");
                return in.size();
            }
            if (zs.msg)
                Fail(out, "MCCP: " + std::to_string(rc) + " " + zs.msg);
            else
                Fail(out, "MCCP unknown error: " + std::to_string(rc));
            return in.size();
        }
        return in.size();
    }

    // The copy for recognition: every 0xFF pair becomes one byte, pairs counted across reads.
    // Russian text is full of the letter, so the scan goes 16 bytes at a time where it can.
    // An unpaired 0xFF followed by GA or EOR is the game's prompt command: its end is noted in
    // `prompts` (offsets into t).
    // The collapsed bytes are written into t from `at` on; returns where they end (t is longer:
    // the caller cuts it).
    std::size_t Collapse(const char* p, std::size_t n, std::string& t, std::size_t at,
                         std::vector<std::size_t>& prompts) {
        // Room for the last whole-block store. Not shrunk first: bytes already there spare
        // the zero fill.
        if (t.size() < at + n + 16) t.resize(at + n + 16);
        const char* const end = p + n;
        char* w = t.data() + at;
        bool pending = recognitionFf;
        auto step = [&](char c) {
            const auto u = static_cast<unsigned char>(c);
            if (u != kIac) {
                *w++ = c;
                if (pending && (u == kGa || u == kEor))
                    prompts.push_back(static_cast<std::size_t>(w - t.data()));
                pending = false;
            } else if (pending) {
                pending = false; // the second byte of a pair
            } else {
                *w++ = c;
                pending = true;
            }
        };
#if defined(__SSE2__) || defined(_M_X64)
        // Each block is copied whole and only the dropped bytes cut out of it. Loads reach up
        // to 16 bytes past the block, so the last 31 bytes go through the plain loop.
        const __m128i iac = _mm_set1_epi8(static_cast<char>(kIac));
        const __m128i ga = _mm_set1_epi8(static_cast<char>(kGa));
        const __m128i eor = _mm_set1_epi8(static_cast<char>(kEor));
        while (end - p >= 32) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, iac)));
            const unsigned ends = static_cast<unsigned>(_mm_movemask_epi8(
                _mm_or_si128(_mm_cmpeq_epi8(block, ga), _mm_cmpeq_epi8(block, eor))));
            if ((((mask << 1) | (pending ? 1u : 0u)) & ends) != 0) {
                // A GA or EOR right after a 0xFF: rare (one prompt a read), so byte by byte.
                for (int i = 0; i < 16; ++i)
                    step(*p++);
                continue;
            }
            if ((mask & ((mask >> 1) | (pending ? 1u : 0u))) == 0) {
                // No pair starts or ends here: every 0xFF of the block is kept.
                _mm_storeu_si128(reinterpret_cast<__m128i*>(w), block);
                w += 16;
                p += 16;
                pending = (mask >> 15) != 0;
                continue;
            }
            int from = 0;                     // first byte of the block not yet written
            int lastKept = pending ? -1 : -2; // position of the last 0xFF written
            while (mask) {
                const int i = static_cast<int>(text::LowestBit(mask));
                mask &= mask - 1;
                if (lastKept == i - 1) { // the second byte of a pair: cut it out
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(w),
                                     _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + from)));
                    w += i - from;
                    from = i + 1;
                    lastKept = -2;
                } else {
                    lastKept = i;
                }
            }
            _mm_storeu_si128(reinterpret_cast<__m128i*>(w),
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + from)));
            w += 16 - from;
            pending = lastKept == 15;
            p += 16;
        }
#endif
        while (p < end)
            step(*p++);
        recognitionFf = pending;
        if (!prompts.empty()) promptsSeen = true;
        return static_cast<std::size_t>(w - t.data());
    }

    // The prompt commands of text that is not collapsed (offsets into d itself); `prompts` may
    // be null when only promptsSeen is wanted.
    void FindPrompts(const std::string& d, std::vector<std::size_t>* prompts) {
        bool pending = recognitionFf;
        const char* const base = d.data();
        const std::size_t n = d.size();
        if (!MayHoldPrompt(base, n, pending)) {
            // Only the unpaired 0xFF at the end matters: the length of the last run of them.
            std::size_t run = 0;
            while (run < n && static_cast<unsigned char>(base[n - 1 - run]) == kIac)
                ++run;
            recognitionFf = run == n ? pending != (run % 2 == 1) : run % 2 == 1;
            return;
        }
        for (std::size_t i = 0; i < n;) {
            if (!pending) {
                const void* hit = std::memchr(base + i, kIac, n - i);
                if (!hit) break;
                i = static_cast<std::size_t>(static_cast<const char*>(hit) - base) + 1;
                pending = true;
                continue;
            }
            const auto u = static_cast<unsigned char>(base[i++]);
            pending = false;
            if (u == kGa || u == kEor) {
                promptsSeen = true;
                if (!prompts) break;
                prompts->push_back(i);
            }
        }
        recognitionFf = pending;
    }
};

ServerStreamDecoder::ServerStreamDecoder() : impl_(new Impl) {}

ServerStreamDecoder::~ServerStreamDecoder() {
    delete impl_;
}

DecodeResult ServerStreamDecoder::Feed(std::string_view raw, bool mccpEnabled, bool noDoubleYa) {
    DecodeResult out;
    Feed(raw, mccpEnabled, noDoubleYa, out);
    return out;
}

void ServerStreamDecoder::Feed(std::string_view raw, bool mccpEnabled, bool noDoubleYa,
                               DecodeResult& out, bool wantText, OutOfBand* outOfBand) {
    Impl& s = *impl_;
    out.clientBytes.clear();
    out.streamDiffers = false;
    out.identities.clear();
    // recognitionText is rewritten below; its old bytes only spare Collapse a zero fill.
    out.toServer.clear();
    out.notices.clear();
    out.closeServer = false;
    out.forward = true;
    if (!mccpEnabled) s.bytesOut += raw.size();

    std::string_view in = raw;
    if (!s.held.empty()) {
        s.joined.assign(s.held);
        s.joined.append(raw);
        s.held.clear();
        in = s.joined;
    }
    out.clientBytes.reserve(s.active ? in.size() * 4 : in.size());

    std::size_t pos = 0;
    while (pos < in.size() && out.forward) {
        if (s.active && mccpEnabled) {
            pos = s.Inflate(in, pos, out);
        } else if (s.active) {
            // Compression runs but the profile no longer accepts it: the bytes go on untouched.
            out.clientBytes.append(in.substr(pos));
            pos = in.size();
        } else {
            pos = s.ScanPlain(in, pos, out, mccpEnabled);
        }
    }

    out.prompts.clear();
    if (!out.forward) {
        out.clientBytes.clear();
        out.recognitionText.clear();
        return;
    }
    OutOfBand::ServerPass& pass = s.outOfBand;
    pass.cuts.clear();
    if (outOfBand) {
        outOfBand->FromServer(out.clientBytes, wantText, pass);
        out.toServer += pass.toServer;
        if (pass.clientDiffers) {
            // The client gets the stream without what it did not take up. (The buffers go round,
            // so that each keeps its room from read to read.)
            out.streamBytes.swap(out.clientBytes);
            out.clientBytes.swap(pass.client);
            out.streamDiffers = true;
        }
    }
    const std::string& stream = out.Stream();
    if (!wantText) {
        out.recognitionText.clear();
        // Until the game is known to end its answers with a prompt command, look for one.
        if (!s.promptsSeen) s.FindPrompts(stream, nullptr);
        s.recognitionFf = false;
    } else if (pass.cuts.empty()) {
        if (noDoubleYa) {
            out.recognitionText.resize(
                s.Collapse(stream.data(), stream.size(), out.recognitionText, 0, out.prompts));
        } else {
            out.recognitionText = stream;
            s.FindPrompts(out.recognitionText, &out.prompts);
        }
    } else {
        // Recognition never sees the subnegotiations: the text between them, each identity
        // placed where its subnegotiation was taken out.
        std::string& t = out.recognitionText;
        std::size_t length = 0, from = 0, next = 0;
        auto segment = [&](std::size_t to) {
            if (noDoubleYa) {
                length = s.Collapse(stream.data() + from, to - from, t, length, out.prompts);
            } else {
                t.resize(length);
                t.append(stream, from, to - from);
                length = t.size();
            }
        };
        for (const auto& cut : pass.cuts) {
            segment(cut.begin);
            for (; next < pass.identities.size() && pass.identities[next].offset == cut.begin;
                 ++next) {
                out.identities.push_back(std::move(pass.identities[next]));
                out.identities.back().offset = length;
            }
            from = cut.end;
        }
        segment(stream.size());
        t.resize(length);
        if (!noDoubleYa) s.FindPrompts(t, &out.prompts);
    }
}

void ServerStreamDecoder::ResetOffer() {
    impl_->offered = false;
}

void ServerStreamDecoder::Reset() {
    Impl& s = *impl_;
    s.EndInflater();
    s.offered = s.active = s.started = false;
    s.mode = "none";
    s.state = TelnetState::Data;
    s.held.clear();
    s.recognitionFf = false;
    s.promptsSeen = false;
}

std::string ServerStreamDecoder::StatusText() const {
    const Impl& s = *impl_;
    std::string text = " mccp: " + s.mode;
    if (s.active && s.bytesOut > 0) {
        const double saved = 100.0 - static_cast<double>(s.bytesIn) * 100.0 / s.bytesOut;
        text += " (" + std::to_string(std::lround(saved)) + "%)";
    }
    return text;
}

bool ServerStreamDecoder::PromptsSeen() const {
    return impl_->promptsSeen;
}

bool ServerStreamDecoder::MccpOffered() const {
    return impl_->offered;
}
bool ServerStreamDecoder::MccpActive() const {
    return impl_->active;
}
bool ServerStreamDecoder::MccpStarted() const {
    return impl_->started;
}
const std::string& ServerStreamDecoder::MccpMode() const {
    return impl_->mode;
}
std::uint64_t ServerStreamDecoder::MccpBytesIn() const {
    return impl_->bytesIn;
}
std::uint64_t ServerStreamDecoder::MccpBytesOut() const {
    return impl_->bytesOut;
}

} // namespace relay
