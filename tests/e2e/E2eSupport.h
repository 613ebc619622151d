#pragma once
// Running the real programs for end-to-end tests: the demo game server, the headless
// Quarvelin, and a scripted MUD client that counts the server's prompts. 127.0.0.1 only.

#include "support/EventLoop.h"
#include "support/TempDir.h"
#include "text/Cp1251.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

inline quint16 FreePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

inline QString DemoBinary() {
    return QUARVELIN_BINARY_DIR "/tools/demo-mud/quarvelin-demo-mud";
}
// QUARVELIN_BINARY names another build of the program (scripts/leakcheck: one built with
// AddressSanitizer).
inline QString QuarvelinBinary() {
    const QString other = qEnvironmentVariable("QUARVELIN_BINARY");
    return other.isEmpty() ? QUARVELIN_BINARY_DIR "/src/main/quarvelin" : other;
}

// The demo world as --dump-world prints it, names and texts in Windows-1251.
struct DemoRoom {
    int id = 0;
    std::string name, descriptionPlain, exitList;
    bool dark = false;
    int portal = 0;
    int vnum = 0;              // the game's own number for the room (MSDP VNUM, GMCP num)
    std::string area;          // Windows-1251
    std::map<char, int> exits; // direction letter -> room id
    std::map<char, bool> doors;
    int x = 0, y = 0, level = 0;
    std::set<char> oneWay;  // exits with no way straight back
    std::set<char> offGrid; // exits whose target does not lie that way on the grid
    // By night, in a world with a clock; empty when the room reads the same day and night.
    std::string descriptionNightPlain;
};

struct DemoWorld {
    int start = 0;
    std::string darkText;
    std::map<int, DemoRoom> rooms;
    // The game's clock (commandsPerHour 0: the world keeps none).
    struct {
        int startHour = 0, commandsPerHour = 0, dayFrom = 0, nightFrom = 0;
    } clock;

    // `world`: the demo's --world (village, region); empty for its default.
    static DemoWorld Load(const QString& world = {}) {
        QProcess p;
        p.start(DemoBinary(), world.isEmpty() ? QStringList{"--dump-world"}
                                              : QStringList{"--world", world, "--dump-world"});
        p.waitForFinished(10000);
        QJsonObject root = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
        DemoWorld w;
        w.start = root["start"].toInt();
        w.darkText = text::FromUnicode(root["darkText"].toString());
        const QJsonObject clock = root["clock"].toObject();
        w.clock = {clock["startHour"].toInt(), clock["commandsPerHour"].toInt(),
                   clock["dayFrom"].toInt(), clock["nightFrom"].toInt()};
        for (const auto& v : root["rooms"].toArray()) {
            QJsonObject o = v.toObject();
            DemoRoom r;
            r.id = o["id"].toInt();
            r.name = text::FromUnicode(o["name"].toString());
            r.descriptionPlain = text::FromUnicode(o["descriptionPlain"].toString());
            r.exitList = text::FromUnicode(o["exitList"].toString());
            r.dark = o["dark"].toBool();
            r.portal = o["portal"].toInt();
            r.vnum = o["vnum"].toInt();
            r.area = text::FromUnicode(o["area"].toString());
            r.x = o["x"].toInt();
            r.y = o["y"].toInt();
            r.level = o["level"].toInt();
            r.descriptionNightPlain = text::FromUnicode(o["descriptionNightPlain"].toString());
            for (const auto& e : o["exits"].toArray()) {
                QJsonObject x = e.toObject();
                char d = x["dir"].toString().toStdString()[0];
                r.exits[d] = x["to"].toInt();
                r.doors[d] = x["door"].toBool();
                if (x["oneWay"].toBool()) r.oneWay.insert(d);
                if (x["offGrid"].toBool()) r.offGrid.insert(d);
            }
            w.rooms[r.id] = r;
        }
        return w;
    }
};

// A MUD client that knows how many prompts (IAC GA) the server has sent.
class ScriptedClient {
public:
    explicit ScriptedClient(quint16 port) {
        QObject::connect(&socket, &QTcpSocket::readyRead, [this] {
            QByteArray b = socket.readAll();
            for (char c : b)
                Scan(static_cast<unsigned char>(c));
            bytes += static_cast<size_t>(b.size());
            if (keep) received.append(b.constData(), static_cast<size_t>(b.size()));
        });
        socket.connectToHost(QHostAddress::LocalHost, port);
    }
    bool Connected() {
        return WaitFor([this] { return socket.state() == QAbstractSocket::ConnectedState; });
    }
    // Sends the lines in one write and waits for one prompt per line.
    bool Send(const std::vector<std::string>& lines, int timeoutMs = 8000) {
        std::string block;
        for (const auto& l : lines)
            block += Telnet(l) + "\r\n";
        int want = prompts + static_cast<int>(lines.size());
        socket.write(block.data(), static_cast<qint64>(block.size()));
        return WaitFor([&] { return prompts >= want; }, timeoutMs);
    }
    // Sends a line that the game never sees (one of Quarvelin's own commands).
    void SendQuiet(const std::string& line) {
        std::string block = Telnet(line) + "\r\n";
        socket.write(block.data(), static_cast<qint64>(block.size()));
        Pump(300);
    }
    bool WaitPrompts(int n, int timeoutMs = 8000) {
        return WaitFor([&] { return prompts >= n; }, timeoutMs);
    }
    size_t Count(const std::string& what) const {
        size_t n = 0;
        for (size_t at = received.find(what); at != std::string::npos;
             at = received.find(what, at + 1))
            ++n;
        return n;
    }

    QTcpSocket socket;
    std::string received;
    size_t bytes = 0; // everything received, kept or not
    bool keep = true; // false: count what arrives without keeping it
    int prompts = 0;

private:
    // As a telnet client sends text: the letter "я" (0xFF) doubled.
    static std::string Telnet(const std::string& line) {
        std::string out;
        for (char c : line) {
            out += c;
            if (c == '\xFF') out += c;
        }
        return out;
    }
    // A telnet scan that tells IAC GA from a doubled "я".
    void Scan(unsigned char c) {
        if (iac_) {
            iac_ = false;
            if (c == 0xF9) ++prompts;
            return;
        }
        if (c == 0xFF) iac_ = true;
    }
    bool iac_ = false;
};

// A world profile (Windows-1251 text) for a game server on 127.0.0.1: the client's port, the
// server's port, then whatever else the test needs (`extra`, whole sections).
inline void WriteGameProfile(const std::filesystem::path& profile, quint16 clientPort,
                             quint16 serverPort, const std::string& extra = {}) {
    TempDir::Write(profile, "[Connect]\r\nClient Port=" + std::to_string(clientPort) +
                                "\r\nServer Name=127.0.0.1\r\nServer Port=" +
                                std::to_string(serverPort) + "\r\n" + extra);
}

// Starts the headless Quarvelin on a data directory and waits until it listens; `output`
// collects what it printed. A `wrapper` command (with its arguments) runs Quarvelin.
inline bool StartHeadless(QProcess& q, const std::filesystem::path& dataDir, const QString& world,
                          std::string& output, QStringList wrapper = {}) {
    q.setProcessChannelMode(QProcess::MergedChannels);
    wrapper << QuarvelinBinary()
            << QStringList{"--headless", "--data-dir", QString::fromStdString(dataDir.string()),
                           "--world", world};
    q.start(wrapper.takeFirst(), wrapper);
    if (!q.waitForStarted(5000)) return false;
    return WaitFor(
        [&] {
            output += q.readAll().toStdString();
            return output.find("listening: ") != std::string::npos;
        },
        30000);
}

inline std::filesystem::path TemplateProfile() {
    return QUARVELIN_SOURCE_DIR "/data/local.ini";
}

// The template profile with the game's and the client's ports replaced (the only keys a test
// cannot take as shipped: other tests run beside it).
inline std::string TemplateWithPorts(quint16 clientPort, quint16 serverPort) {
    std::string bytes = TempDir::Read(TemplateProfile());
    auto replace = [&](const std::string& key, const std::string& value) {
        const std::size_t at = bytes.find("\r\n" + key + "=");
        if (at == std::string::npos) return;
        const std::size_t from = at + 3 + key.size(), to = bytes.find("\r\n", from);
        bytes.replace(from, to - from, value);
    };
    replace("Client Port", std::to_string(clientPort));
    replace("Server Port", std::to_string(serverPort));
    return bytes;
}

// A demo server and a headless Quarvelin relaying to it, on a world "Demo". With `Start::Test`
// the profile recognises the demo's texts and the debug log is on; with `Start::AsShipped` the
// data directory is made as scripts/run makes it on a first run (the template profile copied
// into it and into the world, nothing else). `prepare` may add to the data directory before
// Quarvelin starts (the demo server already runs then).
class DemoRig {
public:
    enum class Start { Test, AsShipped };
    // `serverArgs` go to the demo server besides its port and compression (--msdp, --gmcp).
    explicit DemoRig(int mccp,
                     const std::function<void(const std::filesystem::path&)>& prepare = {},
                     Start start = Start::Test, const QStringList& serverArgs = {})
        : serverPort(FreePort()), clientPort(FreePort()) {
        if (start == Start::AsShipped) {
            TempDir::Write(dir.path() / "local.ini", TempDir::Read(TemplateProfile()));
            TempDir::Write(dir.path() / "Maps" / "Demo" / "local.ini",
                           TemplateWithPorts(clientPort, serverPort));
        } else {
            std::string profile = "[Options]\r\nMccpEnabled=1\r\n[Dark]\r\nDark0=" +
                                  text::FromUnicode(QString::fromUtf8("Здесь темно...")) +
                                  "\r\n[Can`t Move]\r\n";
            const char* refusals[] = {"Вы не сможете туда пройти...", "Закрыто",
                                      "Вы слишком устали.", "Нет... Вы слишком расслаблены..."};
            for (int i = 0; i < 4; ++i)
                profile += "CantMove" + std::to_string(i) + "=" +
                           text::FromUnicode(QString::fromUtf8(refusals[i])) + "\r\n";
            WriteGameProfile(dir.path() / "Maps" / "Demo" / "local.ini", clientPort, serverPort,
                             profile);
            TempDir::Write(dir.path() / "quarvelin.ini", "[Options]\r\nDebugActiv=1\r\n");
        }

        server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server.start(DemoBinary(), QStringList{"--port", QString::number(serverPort), "--mccp",
                                               QString::number(mccp)} +
                                       serverArgs);
        server.waitForStarted(5000);
        if (prepare) prepare(dir.path());
        // The data directory as the session begins, to replay the session on it afterwards.
        std::filesystem::copy(dir.path(), before.path(), std::filesystem::copy_options::recursive);
        quarvelin.setProcessChannelMode(QProcess::MergedChannels);
        quarvelin.start(QuarvelinBinary(),
                        {"--headless", "--data-dir", QString::fromStdString(dir.path().string()),
                         "--world", "Demo", "--record", QString::fromStdString(Session())});
        quarvelin.waitForStarted(5000);
        // Both listen within a moment.
        WaitFor([&] {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, serverPort);
            return probe.waitForConnected(100);
        });
        WaitFor([&] {
            output += quarvelin.readAll().toStdString();
            return output.find("listening: ") != std::string::npos;
        });
    }
    ~DemoRig() {
        if (quarvelin.state() != QProcess::NotRunning) {
            quarvelin.kill();
            quarvelin.waitForFinished(5000);
        }
        server.kill();
        server.waitForFinished(5000);
    }
    // SIGTERM; true when Quarvelin exited 0. The recorded session is then replayed on the data
    // directory as it was when the session began: the zone files must come out the same, byte
    // for byte (a difference is a failure of the test).
    bool Stop() {
        quarvelin.terminate();
        bool done = quarvelin.waitForFinished(20000);
        output += quarvelin.readAll().toStdString();
        const bool ok =
            done && quarvelin.exitStatus() == QProcess::NormalExit && quarvelin.exitCode() == 0;
        if (ok) CheckReplay();
        return ok;
    }
    std::string Session() const { return (dir.path() / "session.rec").string(); }

    // The zone files of a world: file name -> bytes.
    static std::map<std::string, std::string> ZoneFiles(const std::filesystem::path& world) {
        std::map<std::string, std::string> files;
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(world, ec))
            if (e.path().extension() == ".tk2")
                files[e.path().filename().string()] = TempDir::Read(e.path());
        return files;
    }
    void CheckReplay() {
        QProcess replay;
        replay.setProcessChannelMode(QProcess::MergedChannels);
        replay.start(QuarvelinBinary(),
                     {"--replay", QString::fromStdString(Session()), "--data-dir",
                      QString::fromStdString(before.path().string()), "--world", "Demo"});
        const bool finished = replay.waitForFinished(60000);
        const std::string said = replay.readAll().toStdString();
        if (!finished || replay.exitCode() != 0) {
            ADD_FAILURE() << "the replay failed: " << said;
            return;
        }
        const auto live = ZoneFiles(dir.path() / "Maps" / "Demo");
        const auto again = ZoneFiles(before.path() / "Maps" / "Demo");
        EXPECT_FALSE(live.empty());
        EXPECT_TRUE(live == again) << "the replayed session mapped otherwise: " << live.size()
                                   << " zone files live, " << again.size() << " replayed\n"
                                   << said;
        // The same debug log too, line for line.
        if (std::filesystem::exists(dir.path() / "tkdebug.log")) {
            EXPECT_TRUE(TempDir::Read(dir.path() / "tkdebug.log") ==
                        TempDir::Read(before.path() / "tkdebug.log"))
                << "the replay's debug log differs";
        }
    }

    // The end of the debug log (after Stop), as UTF-8, for failure messages.
    std::string LogTail(size_t lines = 80) const {
        std::string log = text::ToUnicode(TempDir::Read(dir.path() / "tkdebug.log")).toStdString();
        size_t at = log.size();
        for (size_t n = 0; n < lines && at != std::string::npos && at > 0; ++n)
            at = log.rfind('\n', at - 1);
        return at == std::string::npos ? log : log.substr(at);
    }

    TempDir dir;
    TempDir before; // the data directory as the session began
    quint16 serverPort, clientPort;
    QProcess server, quarvelin;
    std::string output; // what Quarvelin printed (UTF-8)
};
