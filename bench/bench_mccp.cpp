// MCCP decoding and relaying, measured on 50 MB of room text recorded from the demo game
// server (the same random walk with and without compression).
//
// Decoding: ServerStreamDecoder against zlib's own inflate of the same compressed bytes, both
// fed in reads of 8192 bytes. Relaying: the relay through real sockets on 127.0.0.1 with
// tracking off, against a plain byte-for-byte forwarder, both running in a thread of their own
// while the game and the client run in the main thread; and against its physical bound, zlib's
// inflate of the stream plus forwarding the compressed bytes.

#include "files/SessionFile.h"
#include "map/MapModel.h"
#include "profile/WorldProfile.h"
#include "relay/DebugLog.h"
#include "relay/OutOfBand.h"
#include "relay/Relay.h"
#include "relay/ServerStreamDecoder.h"
#include "text/ByteSearch.h"
#include "tracking/Tracker.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <sys/socket.h>
#include <zlib.h>

namespace {

constexpr qint64 kTextBytes = 50'000'000;
constexpr std::size_t kRead = 8192;
// The object report the relays watch for while tracking is off: "Вы узнали следующее:" CR LF ...
constexpr const char* kReportTemplate = "\xC2\xFB \xF3\xE7\xED\xE0\xEB\xE8 "
                                        "\xF1\xEB\xE5\xE4\xF3\xFE\xF9\xE5\xE5:\r\n/$\r\n";
const std::string kStartV2 = "\xFF\xFA\x56\xFF\xF0";

// ---------------------------------------------------------------------------------------------
// Recording the demo server.

// `msdp`: the game offers MSDP and the recorder takes it up and asks for the room, so that
// every room of the walk is followed by its MSDP ROOM subnegotiation.
std::string Record(int mccp, bool msdp = false) {
    QProcess server;
    QStringList args{
        "--port", "0", "--mccp", QString::number(mccp), "--flood", QString::number(kTextBytes),
        "--seed", "1"};
    if (msdp) args << "--msdp";
    server.start(QUARVELIN_BINARY_DIR "/tools/demo-mud/quarvelin-demo-mud", args);
    if (!server.waitForStarted(5000) || !server.waitForReadyRead(5000)) {
        std::fprintf(stderr, "bench_mccp: the demo game server (quarvelin-demo-mud) did not "
                             "start; build it first\n");
        std::exit(1);
    }
    const QByteArray line = server.readLine().trimmed();
    const quint16 port = static_cast<quint16>(line.mid(line.lastIndexOf(':') + 1).toUInt());

    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(5000)) std::exit(1);
    std::string stream;
    bool answered = mccp == 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 120000) {
        if (!socket.waitForReadyRead(10000)) break; // closed by the server, or stuck
        const QByteArray b = socket.readAll();
        stream.append(b.constData(), static_cast<std::size_t>(b.size()));
        if (!answered && stream.find("\xFF\xFB\x55") != std::string::npos) {
            // As the relay answers: MSDP taken up and the room asked for first, then the
            // newer compression taken, the older one declined.
            if (msdp) {
                const char take[] = "\xFF\xFD\x45\xFF\xFA\x45\x01REPORT\x02ROOM\xFF\xF0";
                socket.write(take, sizeof take - 1);
            }
            socket.write(mccp == 2 ? "\xFF\xFD\x56\xFF\xFE\x55" : "\xFF\xFD\x55");
            answered = true;
        }
    }
    const QByteArray rest = socket.readAll();
    stream.append(rest.constData(), static_cast<std::size_t>(rest.size()));
    socket.abort();
    server.kill();
    server.waitForFinished(5000);
    return stream;
}

struct Recordings {
    std::string compressed; // the whole MCCP2 session as the server sent it
    std::size_t start = 0;  // first compressed byte
    std::string plain;      // the same walk without compression
    std::size_t text = 0;   // bytes of text inside the compressed stream
};

// The compressed walk with an MSDP ROOM subnegotiation after every room, made only when a
// benchmark asks for it.
const std::string& MsdpData() {
    static const std::string stream = [] {
        std::string s = Record(2, /*msdp=*/true);
        std::size_t rooms = 0;
        z_stream zs{};
        inflateInit(&zs);
        const std::size_t at = s.find(kStartV2) + kStartV2.size();
        std::string out(1 << 20, '\0');
        zs.next_in = reinterpret_cast<Bytef*>(s.data() + at);
        zs.avail_in = static_cast<uInt>(s.size() - at);
        int rc;
        do {
            zs.next_out = reinterpret_cast<Bytef*>(out.data());
            zs.avail_out = static_cast<uInt>(out.size());
            rc = inflate(&zs, Z_SYNC_FLUSH);
            const std::string_view got(out.data(), out.size() - zs.avail_out);
            for (std::size_t p = got.find("\xFF\xFA\x45"); p != std::string_view::npos;
                 p = got.find("\xFF\xFA\x45", p + 1))
                ++rooms;
        } while (rc == Z_OK);
        inflateEnd(&zs);
        std::fprintf(stderr, "recorded with MSDP: %zu bytes compressed, %zu room subnegotiations\n",
                     s.size(), rooms);
        return s;
    }();
    return stream;
}

const Recordings& Data() {
    static const Recordings r = [] {
        Recordings r;
        r.compressed = Record(2);
        r.plain = Record(0);
        const std::size_t at = r.compressed.find(kStartV2);
        if (at == std::string::npos) {
            std::fprintf(stderr, "bench_mccp: the recording holds no MCCP2 stream\n");
            std::exit(1);
        }
        r.start = at + kStartV2.size();
        z_stream zs{};
        inflateInit(&zs);
        std::string out(1 << 20, '\0');
        zs.next_in = reinterpret_cast<Bytef*>(r.compressed.data() + r.start);
        zs.avail_in = static_cast<uInt>(r.compressed.size() - r.start);
        int rc;
        do {
            zs.next_out = reinterpret_cast<Bytef*>(out.data());
            zs.avail_out = static_cast<uInt>(out.size());
            rc = inflate(&zs, Z_SYNC_FLUSH);
        } while (rc == Z_OK);
        r.text = zs.total_out;
        inflateEnd(&zs);
        std::fprintf(stderr, "recorded: %zu bytes compressed (%zu of text), %zu bytes plain\n",
                     r.compressed.size(), r.text, r.plain.size());
        return r;
    }();
    return r;
}

// ---------------------------------------------------------------------------------------------
// Decoding.

// zlib alone: the compressed part in reads of 8192 bytes, each inflated until zlib has given
// everything, into a buffer that never limits it.
std::size_t InflateWithZlib(const Recordings& r, std::string& out) {
    z_stream zs{};
    inflateInit(&zs);
    std::size_t total = 0;
    for (std::size_t pos = r.start; pos < r.compressed.size(); pos += kRead) {
        const std::size_t n = std::min(kRead, r.compressed.size() - pos);
        zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(r.compressed.data() + pos));
        zs.avail_in = static_cast<uInt>(n);
        do {
            zs.next_out = reinterpret_cast<Bytef*>(out.data());
            zs.avail_out = static_cast<uInt>(out.size());
            const int rc = inflate(&zs, Z_SYNC_FLUSH);
            total += out.size() - zs.avail_out;
            if (rc != Z_OK && rc != Z_BUF_ERROR) break;
        } while (zs.avail_out == 0);
    }
    inflateEnd(&zs);
    return total;
}

// `outOfBand`: with MSDP and GMCP looked for, as the relay runs by default.
std::size_t DecodeReused(const Recordings& r, bool outOfBand = false) {
    relay::ServerStreamDecoder decoder;
    relay::DecodeResult result;
    relay::DebugLog log;
    relay::OutOfBand oob(log);
    oob.SetEnabled(true, true);
    std::size_t total = 0;
    for (std::size_t pos = 0; pos < r.compressed.size(); pos += kRead) {
        decoder.Feed(std::string_view(r.compressed).substr(pos, kRead), true, true, result, true,
                     outOfBand ? &oob : nullptr);
        total += result.clientBytes.size() + result.recognitionText.size() / 1024;
    }
    return total;
}

std::size_t DecodeByValue(const Recordings& r) {
    relay::ServerStreamDecoder decoder;
    std::size_t total = 0;
    for (std::size_t pos = 0; pos < r.compressed.size(); pos += kRead) {
        relay::DecodeResult result =
            decoder.Feed(std::string_view(r.compressed).substr(pos, kRead), true, true);
        total += result.clientBytes.size() + result.recognitionText.size() / 1024;
    }
    return total;
}

void BM_ZlibInflate(benchmark::State& state) {
    const Recordings& r = Data();
    std::string out(256 * 1024, '\0');
    for (auto _ : state)
        benchmark::DoNotOptimize(InflateWithZlib(r, out));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * r.text));
}

void BM_DecoderFeed(benchmark::State& state) {
    const Recordings& r = Data();
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodeReused(r));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * r.text));
}

// The same walk without compression: the telnet scan alone, with and without MSDP and GMCP
// looked for.
std::size_t DecodePlain(const Recordings& r, bool outOfBand) {
    relay::ServerStreamDecoder decoder;
    relay::DecodeResult result;
    relay::DebugLog log;
    relay::OutOfBand oob(log);
    oob.SetEnabled(true, true);
    std::size_t total = 0;
    for (std::size_t pos = 0; pos < r.plain.size(); pos += kRead) {
        decoder.Feed(std::string_view(r.plain).substr(pos, kRead), true, true, result, true,
                     outOfBand ? &oob : nullptr);
        total += result.clientBytes.size() + result.recognitionText.size() / 1024;
    }
    return total;
}

void BM_DecoderPlain(benchmark::State& state) {
    const Recordings& r = Data();
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodePlain(r, state.range(0) != 0));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * r.plain.size()));
}

void BM_DecoderFeedOutOfBand(benchmark::State& state) {
    const Recordings& r = Data();
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodeReused(r, true));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * r.text));
}

// As the relay calls it today: a fresh result for every read.
void BM_DecoderFeedByValue(benchmark::State& state) {
    const Recordings& r = Data();
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodeByValue(r));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * r.text));
}

double ThreadSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// Both in one iteration, so that the machine's load affects them alike; the counter is the
// decoder's throughput as a share of zlib's, from the processor time of this thread (other
// builds on the machine take wall time from both, not processor time).
void BM_DecoderShareOfZlib(benchmark::State& state) {
    const Recordings& r = Data();
    std::string out(256 * 1024, '\0');
    double zlibSeconds = 0, decoderSeconds = 0;
    for (auto _ : state) {
        const double t0 = ThreadSeconds();
        benchmark::DoNotOptimize(InflateWithZlib(r, out));
        const double t1 = ThreadSeconds();
        benchmark::DoNotOptimize(DecodeReused(r));
        const double t2 = ThreadSeconds();
        zlibSeconds += t1 - t0;
        decoderSeconds += t2 - t1;
    }
    state.counters["share"] = zlibSeconds / decoderSeconds;
}

// What the relay's thread does with each read of the MSDP walk while tracking is off: decode
// (MCCP inflated, subnegotiations the client did not take up cut out) and the idle watch for
// object reports on the client's bytes. `outOfBand` false passes the subnegotiations on.
std::size_t RelayWork(const std::string& stream, bool outOfBand) {
    profile::WorldProfile profile;
    profile.StuffTem = kReportTemplate;
    map::NullMapUi mapUi;
    map::MapModel map(profile, mapUi);
    tracking::NullTrackerHost idle{/*tracing=*/false};
    tracking::Tracker tracker(map, profile, idle);
    relay::ServerStreamDecoder decoder;
    relay::DecodeResult result;
    relay::DebugLog log;
    relay::OutOfBand oob(log);
    oob.SetEnabled(true, true);
    std::size_t total = 0;
    for (std::size_t pos = 0; pos < stream.size(); pos += kRead) {
        decoder.Feed(std::string_view(stream).substr(pos, kRead), true, true, result, false,
                     outOfBand ? &oob : nullptr);
        tracker.TranslateIdle(result.clientBytes);
        total += result.clientBytes.size();
    }
    return total;
}

// The MSDP walk inflated, cut in the pieces one read of the relay gives.
const std::vector<std::string>& MsdpPieces() {
    static const std::vector<std::string> pieces = [] {
        relay::ServerStreamDecoder decoder;
        relay::DecodeResult result;
        std::vector<std::string> out;
        const std::string& stream = MsdpData();
        for (std::size_t pos = 0; pos < stream.size(); pos += kRead) {
            decoder.Feed(std::string_view(stream).substr(pos, kRead), true, true, result, false,
                         nullptr);
            out.push_back(result.clientBytes);
        }
        return out;
    }();
    return pieces;
}

// The out-of-band scan alone over the inflated walk (16.2 MB of its 50 MB are the 166,399
// subnegotiations), against only copying the same reads (range 0); range 2: for a client that
// took MSDP up (nothing is cut out of its copy).
void BM_OutOfBandScan(benchmark::State& state) {
    relay::DebugLog log;
    std::string read;
    std::size_t total = 0;
    for (auto _ : state) {
        relay::OutOfBand oob(log);
        oob.SetEnabled(true, true);
        relay::OutOfBand::ServerPass pass;
        if (state.range(0) == 2) {
            std::string after;
            std::string first = "\xFF\xFB\x45";
            oob.FromServer(first, false, pass);
            oob.FromClient("\xFF\xFD\x45", after);
        }
        for (const std::string& piece : MsdpPieces()) {
            read.assign(piece);
            if (state.range(0)) oob.FromServer(read, false, pass);
            total += (pass.clientDiffers ? pass.client : read).size();
        }
    }
    benchmark::DoNotOptimize(total);
}

// The idle watch's search for an object report's head, which every read of every game goes
// through, over the plain walk in reads, 64 bytes at a time against 32, alternately in each
// iteration; the counter is the first one's processor time over the second's. Skipped where the
// processor has no AVX-512.
void BM_SearchWidths(benchmark::State& state) {
    if (text::Widest() != text::VectorWidth::Avx512) {
        state.SkipWithError("no AVX-512 here");
        return;
    }
    const std::string& plain = Data().plain;
    const std::string head =
        "\xC2\xFB \xF3\xE7\xED\xE0\xEB\xE8 \xF1\xEB\xE5\xE4\xF3\xFE\xF9\xE5\xE5:";
    auto search = [&] {
        std::size_t found = 0;
        for (std::size_t pos = 0; pos < plain.size(); pos += 32 * kRead) {
            const std::string_view read = std::string_view(plain).substr(pos, 32 * kRead);
            found += text::FindBytes(read, head) != std::string_view::npos;
        }
        return found;
    };
    double wide = 0, widest = 0;
    for (auto _ : state) {
        text::CapVectorWidth(text::VectorWidth::Avx2);
        const double t0 = ThreadSeconds();
        benchmark::DoNotOptimize(search());
        const double t1 = ThreadSeconds();
        text::CapVectorWidth(text::VectorWidth::Avx512);
        benchmark::DoNotOptimize(search());
        const double t2 = ThreadSeconds();
        wide += t1 - t0;
        widest += t2 - t1;
    }
    state.counters["avx512_over_avx2"] = widest / wide;
}

// One side of it alone on the MSDP walk, for profiling: 1 with MSDP and GMCP looked for.
void BM_RelayWork(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(RelayWork(MsdpData(), state.range(0) != 0));
}

// The same as BM_OutOfBandOverRelay without sockets: both in each iteration, the counter from
// this thread's processor time (other work on the machine leaves it alone).
void BM_OutOfBandWork(benchmark::State& state) {
    const std::string& stream = state.range(0) ? MsdpData() : Data().compressed;
    double on = 0, off = 0;
    for (auto _ : state) {
        const double t0 = ThreadSeconds();
        benchmark::DoNotOptimize(RelayWork(stream, true));
        const double t1 = ThreadSeconds();
        benchmark::DoNotOptimize(RelayWork(stream, false));
        const double t2 = ThreadSeconds();
        on += t1 - t0;
        off += t2 - t1;
    }
    state.counters["outofband_work"] = on / off;
}

// ---------------------------------------------------------------------------------------------
// Relaying through sockets.

quint16 FreePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// The game: sends one recording to each connection, then shuts its side and waits for the
// other side to hang up (closing at once could reset the connection over an unread answer).
class ReplayServer {
public:
    explicit ReplayServer(const std::string* bytes) : bytes_(bytes) {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection()) {
                QObject::connect(s, &QTcpSocket::readyRead, s, [s] { s->readAll(); });
                QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
                QObject::connect(s, &QTcpSocket::bytesWritten, s, [s] {
                    if (s->bytesToWrite() == 0 && s->property("sent").toBool())
                        ::shutdown(static_cast<int>(s->socketDescriptor()), SHUT_WR);
                });
                s->setProperty("sent", true);
                s->write(bytes_->data(), static_cast<qint64>(bytes_->size()));
            }
        });
    }
    quint16 Port() const { return server_.serverPort(); }
    void SetBytes(const std::string* bytes) { bytes_ = bytes; }

private:
    QTcpServer server_;
    const std::string* bytes_;
};

// The player: connects, reads to the end, and says how long that took and how much came.
// The relay reopens its listener after each game hangs up, so a connect may land while it is
// closed and be refused: it is tried again, and the clock starts once connected.
std::pair<double, qint64> RunClient(quint16 port) {
    QTcpSocket client;
    qint64 received = 0;
    QEventLoop loop;
    QObject::connect(&client, &QTcpSocket::readyRead, [&] { received += client.readAll().size(); });
    QObject::connect(&client, &QTcpSocket::disconnected, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    for (int attempt = 0; attempt < 200; ++attempt) {
        clock.start();
        client.connectToHost(QHostAddress::LocalHost, port);
        if (client.waitForConnected(5000)) break;
        client.abort();
        QThread::msleep(5);
    }
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    if (client.state() == QAbstractSocket::ConnectedState) loop.exec();
    const double seconds = clock.nsecsElapsed() / 1e9;
    received += client.readAll().size();
    return {seconds, received};
}

double WallSeconds(const std::function<void()>& f) {
    QElapsedTimer clock;
    clock.start();
    f();
    return clock.nsecsElapsed() / 1e9;
}

// Tracing is off, as in most of a session: the tracking pass only looks for object-base tells
// and item reports (the profile has an item template), as the program does.

struct QuietHooks : relay::RelayHooks {
    explicit QuietHooks(const profile::WorldProfile& profile)
        : map(profile, mapUi), tracker(map, profile, idle) {}
    relay::Relay* relay = nullptr;
    map::NullMapUi mapUi;
    map::MapModel map;
    tracking::NullTrackerHost idle{/*tracing=*/false};
    tracking::Tracker tracker;
    void ModeClick(bool) override {}
    void ClientBlock(const std::string& block) override { relay->SendToServer(block); }
    void TranslateCmd(const std::string&, const std::vector<std::size_t>&, bool,
                      const std::vector<tracking::IdentityAt>&) override {}
    bool WantsServerText() const override { return false; } // tracking off
    void TranslateIdle(std::string_view bytes) override { tracker.TranslateIdle(bytes); }
    void MccpStatus(const std::string&) override {}
    void AppException(const std::string& m) override {
        std::fprintf(stderr, "relay: %s\n", m.c_str());
    }
};

// The plain forwarder: every byte from either side goes to the other, nothing else.
class Forwarder : public QObject {
public:
    Forwarder(quint16 listenPort, quint16 upstreamPort) : upstream_(upstreamPort) {
        server_.listen(QHostAddress::LocalHost, listenPort);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* client = server_.nextPendingConnection()) {
                auto* game = new QTcpSocket(client);
                // Each write is handed to the system at once, as the relay does.
                connect(client, &QTcpSocket::readyRead, game, [client, game] {
                    game->write(client->readAll());
                    game->flush();
                });
                connect(game, &QTcpSocket::readyRead, client, [client, game] {
                    client->write(game->readAll());
                    client->flush();
                });
                connect(game, &QTcpSocket::disconnected, client, [client, game] {
                    client->write(game->readAll());
                    client->disconnectFromHost();
                });
                connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
                game->connectToHost(QHostAddress::LocalHost, upstream_);
            }
        });
    }

private:
    QTcpServer server_;
    quint16 upstream_;
};

// Runs a relay or a forwarder in a thread of its own, listening on a fixed port.
class MiddleThread : public QThread {
public:
    // `recordTo`: the relay records the session to this file.
    // `outOfBand` false: the relay's profile turns MSDP and GMCP off.
    MiddleThread(bool useRelay, quint16 listenPort, quint16 upstreamPort,
                 std::filesystem::path recordTo = {}, bool outOfBand = true)
        : useRelay_(useRelay), listen_(listenPort), upstream_(upstreamPort),
          recordTo_(std::move(recordTo)), outOfBand_(outOfBand) {}
    void StartAndWait() {
        start();
        ready_.get_future().wait();
    }
    void Stop() {
        quit();
        wait();
    }

protected:
    void run() override {
        if (useRelay_) {
            profile::WorldProfile profile;
            profile.MccpEnabled = true;
            profile.MsdpEnabled = profile.GmcpEnabled = outOfBand_;
            profile.StuffTem = kReportTemplate;
            relay::DebugLog log;
            QuietHooks hooks(profile);
            relay::Relay relay(log, hooks, profile);
            hooks.relay = &relay;
            storage::SessionWriter recorder;
            if (!recordTo_.empty() && recorder.Open(recordTo_)) relay.SetRecorder(&recorder);
            relay.SetListenPort(listen_);
            relay.SetServer("127.0.0.1", upstream_);
            relay.ActivateListener();
            ready_.set_value();
            exec();
        } else {
            Forwarder forwarder(listen_, upstream_);
            ready_.set_value();
            exec();
        }
    }

private:
    bool useRelay_;
    quint16 listen_, upstream_;
    std::filesystem::path recordTo_;
    bool outOfBand_;
    std::promise<void> ready_;
};

void RelayBench(benchmark::State& state, bool useRelay, const std::string& bytes) {
    ReplayServer game(&bytes);
    const quint16 port = FreePort();
    MiddleThread middle(useRelay, port, game.Port());
    middle.StartAndWait();
    qint64 received = 0;
    for (auto _ : state) {
        const auto [seconds, n] = RunClient(port);
        state.SetIterationTime(seconds);
        received = n;
    }
    middle.Stop();
    state.counters["received_MB"] = static_cast<double>(received) / 1e6;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Data().text));
}

// The relay inflating the MCCP2 recording for the client.
void BM_RelayMccp2(benchmark::State& state) {
    RelayBench(state, true, Data().compressed);
}
// The forwarder carrying the same text to the client uncompressed.
void BM_ForwardPlain(benchmark::State& state) {
    RelayBench(state, false, Data().plain);
}
// The forwarder carrying the compressed bytes (the client would have to inflate them itself).
void BM_ForwardCompressed(benchmark::State& state) {
    RelayBench(state, false, Data().compressed);
}

// Relay and forwarder alternately in each iteration; the counter is the relay's wall time as a
// multiple of the forwarder's.
void BM_RelayOverForwarder(benchmark::State& state) {
    const Recordings& r = Data();
    ReplayServer compressedGame(&r.compressed), plainGame(&r.plain);
    const quint16 relayPort = FreePort(), forwarderPort = FreePort();
    MiddleThread relayThread(true, relayPort, compressedGame.Port());
    MiddleThread forwarderThread(false, forwarderPort, plainGame.Port());
    relayThread.StartAndWait();
    forwarderThread.StartAndWait();
    double relaySeconds = 0, forwarderSeconds = 0;
    bool relayFirst = false;
    for (auto _ : state) {
        // Alternating the order keeps the one that runs second from always finding warm caches.
        double f = 0, t = 0;
        if (relayFirst) t = RunClient(relayPort).first;
        f = RunClient(forwarderPort).first;
        if (!relayFirst) t = RunClient(relayPort).first;
        relayFirst = !relayFirst;
        forwarderSeconds += f;
        relaySeconds += t;
        state.SetIterationTime(f + t);
    }
    relayThread.Stop();
    forwarderThread.Stop();
    state.counters["relay_over_forwarder"] = relaySeconds / forwarderSeconds;
}

// The relay against what it cannot avoid: zlib's own inflate of the stream plus carrying the
// compressed bytes from the game to the client. All three in each iteration, the sockets ones
// in alternating order; the counter is the relay's wall time over the sum of the other two.
void BM_RelayOverBound(benchmark::State& state) {
    const Recordings& r = Data();
    ReplayServer relayGame(&r.compressed), forwarderGame(&r.compressed);
    const quint16 relayPort = FreePort(), forwarderPort = FreePort();
    MiddleThread relayThread(true, relayPort, relayGame.Port());
    MiddleThread forwarderThread(false, forwarderPort, forwarderGame.Port());
    relayThread.StartAndWait();
    forwarderThread.StartAndWait();
    std::string out(256 * 1024, '\0');
    double relaySeconds = 0, boundSeconds = 0;
    bool relayFirst = false;
    for (auto _ : state) {
        double t = 0;
        if (relayFirst) t = RunClient(relayPort).first;
        const double f = RunClient(forwarderPort).first;
        if (!relayFirst) t = RunClient(relayPort).first;
        const double z = WallSeconds([&] { benchmark::DoNotOptimize(InflateWithZlib(r, out)); });
        relayFirst = !relayFirst;
        relaySeconds += t;
        boundSeconds += f + z;
        state.SetIterationTime(t);
    }
    relayThread.Stop();
    forwarderThread.Stop();
    state.counters["relay_over_bound"] = relaySeconds / boundSeconds;
}

// The relay looking for MSDP and GMCP (and taking the game's room subnegotiations out of the
// stream of a client that never took them up) against the same relay with both turned off,
// alternately in each iteration; the counter is the first one's wall time over the second's.
// Argument 1: the walk with an MSDP ROOM after every room; 0: the walk of a game that sends
// none.
void BM_OutOfBandOverRelay(benchmark::State& state) {
    const bool msdp = state.range(0) != 0;
    const std::string& stream = msdp ? MsdpData() : Data().compressed;
    ReplayServer onGame(&stream), offGame(&stream);
    const quint16 onPort = FreePort(), offPort = FreePort();
    MiddleThread on(true, onPort, onGame.Port());
    MiddleThread off(true, offPort, offGame.Port(), {}, /*outOfBand=*/false);
    on.StartAndWait();
    off.StartAndWait();
    double onSeconds = 0, offSeconds = 0;
    qint64 onBytes = 0, offBytes = 0;
    bool onFirst = false;
    for (auto _ : state) {
        std::pair<double, qint64> a, b;
        if (onFirst) a = RunClient(onPort);
        b = RunClient(offPort);
        if (!onFirst) a = RunClient(onPort);
        onFirst = !onFirst;
        onSeconds += a.first;
        offSeconds += b.first;
        onBytes = a.second;
        offBytes = b.second;
        state.SetIterationTime(a.first);
    }
    on.Stop();
    off.Stop();
    // The client of the first never took MSDP up: it gets less (no subnegotiations).
    if (msdp && onBytes >= offBytes) state.SkipWithError("no subnegotiation was taken out");
    state.counters["outofband_over_relay"] = onSeconds / offSeconds;
}

// The relay recording the session against the same relay not recording, alternately in each
// iteration; the counter is the recording relay's wall time over the other's.
void BM_RecordingOverRelay(benchmark::State& state) {
    const Recordings& r = Data();
    ReplayServer recordedGame(&r.compressed), plainGame(&r.compressed);
    const quint16 recordingPort = FreePort(), relayPort = FreePort();
    // QUARVELIN_BENCH_RECORD_DIR: where the session goes (default: the temporary directory).
    const char* dir = std::getenv("QUARVELIN_BENCH_RECORD_DIR");
    const std::filesystem::path file =
        (dir ? std::filesystem::path(dir) : std::filesystem::temp_directory_path()) /
        "quarvelin-bench.session";
    MiddleThread recordingThread(true, recordingPort, recordedGame.Port(), file);
    MiddleThread relayThread(true, relayPort, plainGame.Port());
    recordingThread.StartAndWait();
    relayThread.StartAndWait();
    double recordingSeconds = 0, relaySeconds = 0;
    bool recordingFirst = false;
    // The writer's thread may still be putting the last records on the disk when the client has
    // everything: that tail slows no relay, so it is let finish outside both measurements.
    auto settled = [&] {
        std::error_code ec;
        for (std::uintmax_t last = ~0ull;;) {
            const std::uintmax_t now = std::filesystem::file_size(file, ec);
            if (ec || now == last) return;
            last = now;
            QThread::msleep(20);
        }
    };
    for (auto _ : state) {
        double rec = 0, plain = 0;
        if (recordingFirst) rec = RunClient(recordingPort).first;
        settled();
        plain = RunClient(relayPort).first;
        if (!recordingFirst) rec = RunClient(recordingPort).first;
        settled();
        recordingFirst = !recordingFirst;
        recordingSeconds += rec;
        relaySeconds += plain;
        state.SetIterationTime(rec);
    }
    recordingThread.Stop();
    relayThread.Stop();
    std::error_code ec;
    if (std::filesystem::is_regular_file(file, ec)) {
        state.counters["recorded_MB"] = static_cast<double>(std::filesystem::file_size(file)) / 1e6;
        std::filesystem::remove(file, ec);
    }
    state.counters["recording_over_relay"] = recordingSeconds / relaySeconds;
}

constexpr int kRepetitions = 7;

BENCHMARK(BM_ZlibInflate)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_DecoderFeed)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_DecoderFeedOutOfBand)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_DecoderPlain)
    ->ArgName("outOfBand")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_DecoderFeedByValue)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_DecoderShareOfZlib)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_OutOfBandWork)
    ->ArgName("msdp")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->DisplayAggregatesOnly(true);
BENCHMARK(BM_RelayWork)->ArgName("outofband")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OutOfBandScan)->ArgName("scan")->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchWidths)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->DisplayAggregatesOnly(true);
BENCHMARK(BM_RelayMccp2)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ForwardPlain)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ForwardCompressed)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_RelayOverForwarder)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(4)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_RelayOverBound)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(12)
    ->Repetitions(kRepetitions)
    ->DisplayAggregatesOnly(true);
BENCHMARK(BM_OutOfBandOverRelay)
    ->ArgName("msdp")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(12)
    ->Repetitions(kRepetitions)
    ->DisplayAggregatesOnly(true);
BENCHMARK(BM_RecordingOverRelay)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(4)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    Data(); // record before anything is timed
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
