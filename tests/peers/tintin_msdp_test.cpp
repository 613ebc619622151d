// tintin++ through Quarvelin to the demo game offering MSDP: the client takes up MSDP itself,
// asks for the room reports itself, and gets every room of its walk out of band, while
// Quarvelin, which asked the game first, keeps mapping; the game hears one request only.

#include "e2e/E2eSupport.h"
#include "files/Paths.h"
#include "files/ZoneFile.h"
#include "profile/WorldProfile.h"

#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>
#include <memory>

namespace {

// A pass-through between Quarvelin and the game that keeps what Quarvelin sent to the game.
class Tap {
public:
    Tap() {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* in = server.nextPendingConnection()) {
                auto* out = new QTcpSocket(in);
                QObject::connect(in, &QTcpSocket::readyRead, [this, in, out] {
                    const QByteArray b = in->readAll();
                    toGame.append(b.constData(), static_cast<size_t>(b.size()));
                    if (out->state() == QAbstractSocket::ConnectedState)
                        out->write(b);
                    else
                        pending.append(b);
                });
                QObject::connect(out, &QTcpSocket::connected, [this, out] {
                    out->write(pending);
                    pending.clear();
                });
                QObject::connect(out, &QTcpSocket::readyRead,
                                 [in, out] { in->write(out->readAll()); });
                QObject::connect(out, &QTcpSocket::disconnected, in,
                                 &QTcpSocket::disconnectFromHost);
                QObject::connect(in, &QTcpSocket::disconnected, out,
                                 &QTcpSocket::disconnectFromHost);
                out->connectToHost(QHostAddress::LocalHost, upstream);
            }
        });
    }
    size_t Count(const std::string& what) const {
        size_t n = 0;
        for (size_t at = toGame.find(what); at != std::string::npos; at = toGame.find(what, at + 1))
            ++n;
        return n;
    }

    QTcpServer server;
    quint16 upstream = 0;
    std::string toGame;
    QByteArray pending;
};

// The client's bytes as Quarvelin recorded them (the C records of a session file).
std::string ClientBytes(const std::string& session) {
    const std::string bytes = TempDir::Read(session);
    std::string client;
    size_t at = bytes.find("\r\n");
    while (at != std::string::npos && at + 2 < bytes.size()) {
        at += 2;
        const size_t headEnd = bytes.find("\r\n", at);
        if (headEnd == std::string::npos) break;
        const std::string head = bytes.substr(at, headEnd - at);
        const size_t lenAt = head.rfind(' ');
        if (lenAt == std::string::npos) break;
        const size_t len = std::stoul(head.substr(lenAt + 1));
        if (head[0] == 'C') client += bytes.substr(headEnd + 2, len);
        at = headEnd + 2 + len;
    }
    return client;
}

size_t Occurrences(const std::string& in, const std::string& what) {
    size_t n = 0;
    for (size_t at = in.find(what); at != std::string::npos; at = in.find(what, at + 1))
        ++n;
    return n;
}

// One walk; `mccp` is the game's compression (0: none, 2: MCCP2 for Quarvelin to inflate).
void WalkWithMsdp(const QString& tintin, int mccp) {
    // Quarvelin's game connection goes through the tap.
    Tap tap;
    ASSERT_TRUE(tap.server.isListening());
    DemoRig rig(mccp,
                [&](const std::filesystem::path& dir) {
                    const auto profile = dir / "Maps" / "Demo" / "local.ini";
                    std::string bytes = TempDir::Read(profile);
                    const std::string key = "\r\nServer Port=";
                    const size_t from = bytes.find(key) + key.size(), to = bytes.find("\r\n", from);
                    tap.upstream = static_cast<quint16>(std::stoi(bytes.substr(from, to - from)));
                    bytes.replace(from, to - from, std::to_string(tap.server.serverPort()));
                    TempDir::Write(profile, bytes);
                },
                DemoRig::Start::Test, {"--msdp"});
    ASSERT_NE(tap.upstream, 0);

    const auto log = rig.dir.path() / "session.log";
    const auto script = rig.dir.path() / "msdp.tin";
    // tintin++ answers an MSDP offer with DONT unless the script catches the offer
    // (IAC WILL MSDP): then the script answers DO and asks for REPORT ROOM with raw bytes.
    // Each room's report (IAC SB MSDP ROOM) is kept in $room and its VNUM added to $vnums; the
    // walk takes its next step when a room's report has come, and the last report is written
    // to the log.
    const std::string logName = log.string();
    TempDir::Write(script,
                   "#config {log mode} {plain}\n"
                   "#event {SESSION CONNECTED} {#log {overwrite} {" +
                       logName +
                       "}}\n"
                       "#event {SESSION DISCONNECTED} {#end}\n"
                       "#var walking {0}\n"
                       "#var vnums {}\n"
                       "#list path create {n;e;s;w;n;e}\n"
                       "#alias {finish} {#line log {" +
                       logName + "} {VNUMS:$vnums:};#line log {" + logName +
                       "} {LAST VNUM=$room[VNUM] NAME=$room[NAME]:};#end}\n"
                       "#event {IAC WILL MSDP} "
                       "{#send {\\xFF\\xFD\\x45\\xFF\\xFA\\x45\\x01REPORT\\x02ROOM\\xFF\\xF0}}\n"
                       "#event {IAC SB MSDP ROOM} {"
                       "#var room {%1};"
                       "#var vnums {$vnums $room[VNUM]};"
                       "#if {$walking == 1} {"
                       "#list path size left;"
                       "#if {$left > 0} {#send {$path[1]};#list path delete 1} "
                       "{#var walking 2;#delay {2} {finish}}"
                       "}}\n"
                       "#session game 127.0.0.1 " +
                       std::to_string(rig.clientPort) +
                       "\n"
                       "#delay {2} {#var walking 1;look}\n"
                       "#delay {50} {finish}\n");

    QProcess client;
    client.setWorkingDirectory(QString::fromStdString(rig.dir.path().string()));
    client.start("timeout",
                 {"60", tintin, "-G", "-T", "-H", QString::fromStdString(script.string())});
    client.closeWriteChannel();
    ASSERT_TRUE(client.waitForStarted(10000));
    // The tap needs the event loop while the client runs.
    ASSERT_TRUE(WaitFor([&] { return client.state() == QProcess::NotRunning; }, 70000));
    EXPECT_NE(client.exitCode(), 124) << "tintin++ ran into the time limit";
    ASSERT_TRUE(rig.Stop()) << rig.output;

    const std::string seenRaw = TempDir::Read(log);
    const QString seen = text::ToUnicode(seenRaw);

    // Every room of the walk reached tintin++'s variable, once, in order: the look, then six
    // steps. Before the look at most the one report that Quarvelin's own request brought, if
    // tintin++ had taken MSDP up by then.
    const size_t v = seenRaw.find("VNUMS:");
    ASSERT_NE(v, std::string::npos) << seen.toStdString();
    const std::string vnums = seenRaw.substr(v + 6, seenRaw.find(':', v + 6) - v - 6);
    const std::string walk = " 6001 6002 6003 6004 6001 6002 6003";
    EXPECT_TRUE(vnums == walk || vnums == " 6001" + walk) << "tintin++ got:" << vnums;

    // The last report as tintin++ keeps it: the well east of the north street.
    EXPECT_TRUE(seen.contains(QString::fromUtf8("LAST VNUM=6003 NAME=Колодец:")))
        << seen.toStdString();

    // The game's text reached the player as before, and tracing stayed on.
    EXPECT_TRUE(seen.contains(QString::fromUtf8("Центральная площадь")));
    EXPECT_TRUE(seen.contains(QString::fromUtf8("Колодец")));
    EXPECT_TRUE(seen.contains("Tracing now ON"));
    EXPECT_FALSE(seen.contains("Tracing now OFF"));

    // tintin++ did answer and ask for itself...
    const std::string fromClient = ClientBytes(rig.Session());
    EXPECT_EQ(Occurrences(fromClient, "\xFF\xFD\x45"), 1u);
    EXPECT_EQ(Occurrences(fromClient, "\x01REPORT\x02ROOM"), 1u);
    // ...yet the game heard Quarvelin's DO and request only: once each.
    EXPECT_EQ(tap.Count("\xFF\xFD\x45"), 1u);
    EXPECT_EQ(tap.Count("\x01REPORT\x02ROOM"), 1u);
    EXPECT_EQ(tap.Count("\xFF\xFE\x45"), 0u); // and no DONT MSDP

    // The loop around the square: four rooms, linked all the way round.
    profile::WorldProfile profile;
    auto files = storage::ListZoneFiles(rig.dir.path() / "Maps" / "Demo");
    ASSERT_EQ(files.size(), 1u);
    storage::ZoneReadResult zone = storage::ReadZoneFile(files[0], profile);
    ASSERT_TRUE(zone.ok()) << zone.LogLine();
    ASSERT_EQ(zone.rooms.size(), 4u);
    for (const auto& r : zone.rooms)
        EXPECT_EQ(int(r.ChN) + r.ChS + r.ChE + r.ChW, 2) << r.Hint;
}

} // namespace

TEST(TintinE2e, NegotiatesMsdpItselfThroughQuarvelin) {
    const QString tintin = "/usr/games/tt++";
    if (!QFile::exists(tintin)) GTEST_SKIP() << "tintin++ is not installed";
    for (int mccp : {2, 0}) {
        SCOPED_TRACE("the game's compression: MCCP " + std::to_string(mccp));
        WalkWithMsdp(tintin, mccp);
    }
}
