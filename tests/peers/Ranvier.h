#pragma once
// A game on the Ranvier engine (npm packages ranvier, ranvier-telnet, ranvier-datasource-file)
// for tests: the game itself is tests/peers/ranvier/game.js with its bundle, the packages are
// installed once per build directory with `npm ci` from tests/peers/ranvier/package-lock.json.
// The game listens on 127.0.0.1 only.

#include "support/EventLoop.h"
#include "support/TempDir.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpSocket>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

namespace ranvier_peer {

namespace fs = std::filesystem;

inline fs::path GameDir() {
    return fs::path(QUARVELIN_SOURCE_DIR) / "tests" / "peers" / "ranvier";
}
inline fs::path PackageDir() {
    return fs::path(QUARVELIN_BINARY_DIR) / "tests" / "peers" / "ranvier-npm";
}

// On CI the packages must be there: a missing tool or a failed install fails the test there
// instead of skipping it.
inline bool MustRun() {
    const char* ci = std::getenv("CI");
    return ci && std::string(ci) == "true";
}

// The packages, installed into PackageDir() unless the lock file there is already the one of
// the sources; an empty answer when they are ready, else why not.
inline std::string InstallPackages() {
    if (QStandardPaths::findExecutable("node").isEmpty()) return "node is not installed";
    if (QStandardPaths::findExecutable("npm").isEmpty()) return "npm is not installed";
    const std::string lock = TempDir::Read(GameDir() / "package-lock.json");
    if (lock.empty()) return "tests/peers/ranvier/package-lock.json is missing";
    const fs::path stamp = PackageDir() / "installed-lock.json";
    if (TempDir::Read(stamp) == lock && fs::exists(PackageDir() / "node_modules" / "ranvier"))
        return {};
    std::error_code ec;
    fs::remove_all(PackageDir(), ec);
    fs::create_directories(PackageDir());
    TempDir::Write(PackageDir() / "package.json", TempDir::Read(GameDir() / "package.json"));
    TempDir::Write(PackageDir() / "package-lock.json", lock);
    QProcess npm;
    npm.setWorkingDirectory(QString::fromStdString(PackageDir().string()));
    npm.setProcessChannelMode(QProcess::MergedChannels);
    npm.start("npm", {"ci", "--no-audit", "--no-fund", "--prefer-offline", "--loglevel=error"});
    npm.closeWriteChannel();
    if (!npm.waitForFinished(300000)) {
        npm.kill();
        npm.waitForFinished(5000);
        return "npm ci took more than 5 minutes";
    }
    if (npm.exitStatus() != QProcess::NormalExit || npm.exitCode() != 0)
        return "npm ci failed: " + npm.readAll().toStdString();
    TempDir::Write(stamp, lock);
    return {};
}

inline QProcessEnvironment NodeEnvironment() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("NODE_PATH", QString::fromStdString((PackageDir() / "node_modules").string()));
    return env;
}

// The game's rooms as `game.js --dump-world` prints them.
struct GameRoom {
    int num = 0;
    std::string name, area, description;
    std::map<std::string, int> exits; // direction word -> room number
};

struct GameWorld {
    int start = 0;
    std::map<int, GameRoom> rooms;
    std::string error;

    static GameWorld Load() {
        GameWorld w;
        QProcess p;
        p.setProcessEnvironment(NodeEnvironment());
        p.start("node", {QString::fromStdString((GameDir() / "game.js").string()), "--dump-world"});
        p.closeWriteChannel();
        if (!p.waitForFinished(30000) || p.exitCode() != 0) {
            w.error = "game.js --dump-world failed: " + p.readAllStandardError().toStdString();
            return w;
        }
        const QJsonObject root = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
        w.start = root["start"].toInt();
        for (const auto& v : root["rooms"].toArray()) {
            const QJsonObject o = v.toObject();
            GameRoom r;
            r.num = o["num"].toInt();
            r.name = o["name"].toString().toStdString();
            r.area = o["area"].toString().toStdString();
            r.description = o["description"].toString().toStdString();
            const QJsonObject exits = o["exits"].toObject();
            for (auto it = exits.begin(); it != exits.end(); ++it)
                r.exits[it.key().toStdString()] = it.value().toInt();
            w.rooms[r.num] = r;
        }
        return w;
    }
};

// The game server on 127.0.0.1:port.
class Game {
public:
    explicit Game(quint16 port) {
        server_.setProcessEnvironment(NodeEnvironment());
        server_.setProcessChannelMode(QProcess::MergedChannels);
        server_.start("node", {QString::fromStdString((GameDir() / "game.js").string()), "--port",
                               QString::number(port)});
        server_.closeWriteChannel();
        if (!server_.waitForStarted(5000)) return;
        running_ = WaitFor(
            [&] {
                output_ += server_.readAll().toStdString();
                return output_.find("listening on 127.0.0.1:") != std::string::npos;
            },
            30000);
    }
    ~Game() {
        if (server_.state() == QProcess::NotRunning) return;
        server_.terminate();
        if (!server_.waitForFinished(10000)) {
            server_.kill();
            server_.waitForFinished(5000);
        }
    }
    bool Running() const { return running_; }
    std::string Output() {
        output_ += server_.readAll().toStdString();
        return output_;
    }

private:
    QProcess server_;
    std::string output_;
    bool running_ = false;
};

// A player's raw telnet connection that counts prompts: the game ends each one with IAC GA,
// or IAC EOR once end-of-record is agreed. It answers no negotiation.
class Player {
public:
    explicit Player(quint16 port) {
        QObject::connect(&socket_, &QTcpSocket::readyRead, [this] {
            const QByteArray b = socket_.readAll();
            for (char c : b) {
                const auto u = static_cast<unsigned char>(c);
                if (iac_) {
                    iac_ = false;
                    if (u == 0xF9 || u == 0xEF) ++prompts_;
                } else if (u == 0xFF) {
                    iac_ = true;
                }
            }
            received_.append(b.constData(), static_cast<size_t>(b.size()));
        });
        socket_.connectToHost(QHostAddress::LocalHost, port);
    }
    bool WaitPrompts(int n, int timeoutMs = 10000) {
        return WaitFor([&] { return prompts_ >= n; }, timeoutMs);
    }
    // Sends a line and waits for the prompt after its answer.
    bool Send(const std::string& line, int timeoutMs = 10000) {
        const int want = prompts_ + 1;
        const std::string bytes = line + "\r\n";
        socket_.write(bytes.data(), static_cast<qint64>(bytes.size()));
        return WaitPrompts(want, timeoutMs);
    }
    int Prompts() const { return prompts_; }
    const std::string& Received() const { return received_; }
    void Close() {
        socket_.disconnectFromHost();
        Pump(200);
    }

private:
    QTcpSocket socket_;
    std::string received_;
    int prompts_ = 0;
    bool iac_ = false;
};

} // namespace ranvier_peer
