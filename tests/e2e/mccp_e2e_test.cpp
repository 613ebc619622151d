// The demo game server, compressing with MCCP version 2 or 1, played through the headless
// program by a dumb client: the client must read exactly the text that the same game sends
// uncompressed, and the status shows the compression ratio.

#include "support/EventLoop.h"
#include "support/TempDir.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const char kDemo[] = QUARVELIN_BINARY_DIR "/tools/demo-mud/quarvelin-demo-mud";
const char kQuarvelin[] = QUARVELIN_BINARY_DIR "/src/main/quarvelin";
const std::string kPrompt = "> \xFF\xF9"; // every prompt of the demo game ends so

quint16 FreePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// Removes every occurrence of `what`, returning how many there were.
std::size_t Remove(std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at)) {
        text.erase(at, what.size());
        ++n;
    }
    return n;
}

class DemoServer {
public:
    explicit DemoServer(int mccp) {
        proc_.start(kDemo, {"--port", "0", "--mccp", QString::number(mccp)});
        if (!proc_.waitForStarted(5000)) return;
        WaitFor([&] { return proc_.canReadLine(); }, 5000);
        const QByteArray line = proc_.readLine().trimmed();
        port_ = static_cast<quint16>(line.mid(line.lastIndexOf(':') + 1).toUInt());
    }
    ~DemoServer() {
        proc_.kill();
        proc_.waitForFinished(5000);
    }
    quint16 Port() const { return port_; }

private:
    QProcess proc_;
    quint16 port_ = 0;
};

class HeadlessQuarvelin {
public:
    explicit HeadlessQuarvelin(quint16 serverPort) : clientPort_(FreePort()) {
        TempDir::Write(
            dir_.path() / "Maps" / "Demo" / "local.ini",
            "[Connect]\r\nServer Name=127.0.0.1\r\nServer Port=" + std::to_string(serverPort) +
                "\r\nClient Port=" + std::to_string(clientPort_) +
                "\r\n[Options]\r\nMccpEnabled=1\r\n");
        proc_.setProcessChannelMode(QProcess::MergedChannels);
        QObject::connect(&proc_, &QProcess::readyRead, [this] { output_ += proc_.readAll(); });
        proc_.start(kQuarvelin, {"--headless", "--data-dir",
                                 QString::fromStdString(dir_.path().string()), "--world", "Demo"});
        proc_.waitForStarted(5000);
        WaitFor([&] { return output_.contains("listening: 127.0.0.1:"); }, 10000);
    }
    ~HeadlessQuarvelin() {
        proc_.terminate();
        if (!proc_.waitForFinished(5000)) proc_.kill();
    }
    quint16 ClientPort() const { return clientPort_; }
    const QByteArray& Output() const { return output_; }

private:
    TempDir dir_;
    QProcess proc_;
    quint16 clientPort_;
    QByteArray output_;
};

// A client that only reads and types: it answers no telnet option.
class Player {
public:
    explicit Player(quint16 port) {
        QObject::connect(&socket_, &QTcpSocket::readyRead, [this] {
            const QByteArray b = socket_.readAll();
            received.append(b.constData(), static_cast<std::size_t>(b.size()));
        });
        socket_.connectToHost(QHostAddress::LocalHost, port);
    }
    bool WaitPrompts(std::size_t n) {
        return WaitFor([&] { return Count(received, kPrompt) >= n; }, 15000);
    }
    // Waits until the game has said all it will say for now.
    void WaitQuiet() {
        std::size_t size = received.size();
        for (int i = 0; i < 100; ++i) {
            Pump(300);
            if (received.size() == size) return;
            size = received.size();
        }
    }
    void Type(const std::string& utf8) {
        const std::string cp1251 = Encode(utf8) + "\r\n";
        socket_.write(cp1251.data(), static_cast<qint64>(cp1251.size()));
    }
    static std::string Encode(const std::string& utf8) {
        QByteArray bytes;
        for (const QChar c : QString::fromUtf8(utf8.c_str())) {
            const ushort u = c.unicode();
            if (u < 0x80)
                bytes.append(static_cast<char>(u));
            else if (u >= 0x410 && u <= 0x44F)
                bytes.append(static_cast<char>(u - 0x410 + 0xC0));
            else
                bytes.append('?');
        }
        return bytes.toStdString();
    }

    std::string received;

private:
    QTcpSocket socket_;
};

// What one player session types. The game's own item command and "look" are left out: the
// program answers the first itself and switches tracing on with the second.
const std::vector<std::string> kCommands = {
    "смотреть",   "e", "e", "open e",   "e", "u", "n",        "убежать", "поток 300",
    "nocompress", "w", "d", "compress", "s", "w", "поток 50", "d",       "d",
};

// The uncompressed game, played directly; for each command the number of prompts seen after
// it, so that the relayed session can wait for the same points.
std::string PlayDirect(std::vector<std::size_t>& prompts) {
    DemoServer game(0);
    Player player(game.Port());
    EXPECT_TRUE(player.WaitPrompts(1));
    player.WaitQuiet();
    prompts.push_back(Count(player.received, kPrompt));
    for (const std::string& command : kCommands) {
        player.Type(command);
        EXPECT_TRUE(player.WaitPrompts(prompts.back() + 1)) << command;
        player.WaitQuiet();
        prompts.push_back(Count(player.received, kPrompt));
    }
    return player.received;
}

struct Relayed {
    std::string received;
    QByteArray output;
};

Relayed PlayThroughQuarvelin(int mccp, const std::vector<std::size_t>& prompts) {
    DemoServer game(mccp);
    HeadlessQuarvelin quarvelin(game.Port());
    Player player(quarvelin.ClientPort());
    EXPECT_TRUE(player.WaitPrompts(prompts[0]));
    for (std::size_t i = 0; i < kCommands.size(); ++i) {
        player.Type(kCommands[i]);
        EXPECT_TRUE(player.WaitPrompts(prompts[i + 1])) << kCommands[i];
    }
    player.WaitQuiet();
    return {player.received, quarvelin.Output()};
}

std::string Notice(const std::string& text) {
    return "\x1b[1;33m" + text + "\x1b[0m\r\n";
}

void ExpectSameGame(int mccp, const std::string& version) {
    std::vector<std::size_t> prompts;
    const std::string direct = PlayDirect(prompts);
    ASSERT_GT(direct.size(), 350000u); // both floods came
    Relayed relayed = PlayThroughQuarvelin(mccp, prompts);

    std::string text = relayed.received;
    ASSERT_EQ(text.rfind("\x1b[1;33m<Quarvelin v. ", 0), 0u);
    text.erase(0, text.find("\r\n") + 2); // the welcome line
    // Compression is offered at connect and again after "compress"; the notices are the
    // program's, the rest must be the game's bytes exactly.
    EXPECT_EQ(Remove(text, Notice("Enabling MCCP " + version)), 2u);
    EXPECT_EQ(Remove(text, Notice("Starting MCCP " + version)), 2u);
    EXPECT_EQ(Remove(text, Notice("Stopping MCCP.")), 1u);
    Remove(text, "\r\n\x1b[1;33m<Quarvelin> : Tracing now \x1b[1;32mON\x1b[0m\r\n");
    Remove(text, "\r\n\x1b[1;33m<Quarvelin> : Tracing now \x1b[1;31mOFF\x1b[0m\r\n");
    EXPECT_EQ(text.size(), direct.size());
    EXPECT_TRUE(text == direct)
        << "first difference at byte "
        << std::mismatch(text.begin(), text.end(), direct.begin(), direct.end()).first -
               text.begin();

    // The status line carried the share of bytes saved while the stream was compressed.
    const QString output = QString::fromUtf8(relayed.output);
    const QRegularExpression ratio(
        QString::fromStdString("status: mccp: " + version + " \\((\\d+)%\\)"));
    QRegularExpressionMatchIterator it = ratio.globalMatch(output);
    int last = -1;
    while (it.hasNext())
        last = it.next().captured(1).toInt();
    EXPECT_GT(last, 50) << output.toStdString();
    EXPECT_LT(last, 100);
}

} // namespace

TEST(MccpEndToEnd, Version2ReachesTheClientAsThePlainGame) {
    ExpectSameGame(2, "V2");
}

TEST(MccpEndToEnd, Version1ReachesTheClientAsThePlainGame) {
    ExpectSameGame(1, "V1");
}
