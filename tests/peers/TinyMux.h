#pragma once
// A TinyMUX game server (Debian's `tinymux`) for tests: a fresh game directory, listening on
// 127.0.0.1 only, and a telnet login that sends commands and waits for their answers.

#include "support/EventLoop.h"
#include "support/TempDir.h"

#include <QFile>
#include <QProcess>
#include <QTcpSocket>
#include <optional>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>

class TinyMux {
public:
    static bool Installed() { return QFile::exists("/usr/games/tinymux-install"); }

    // Installs a game under `dir` and starts it on `port`; Running() says whether that worked.
    TinyMux(const std::filesystem::path& dir, quint16 port) : game_(dir / "tinymux" / "game") {
        QProcess install;
        install.setWorkingDirectory(QString::fromStdString(dir.string()));
        install.start("/usr/games/tinymux-install", {});
        install.closeWriteChannel();
        if (!install.waitForFinished(30000) || install.exitCode() != 0) return;
        // Later lines of the configuration win over the port of the stock file. A player may
        // type 100 commands at once and then one a second: building takes hundreds.
        std::string conf = TempDir::Read(game_ / "netmux.conf");
        conf += "\nport " + std::to_string(port) +
                "\nip_address 127.0.0.1\nhostnames no\n"
                "command_quota_max 100000\ncommand_quota_increment 100000\n";
        TempDir::Write(game_ / "netmux.conf", conf);

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LD_LIBRARY_PATH", "./bin");
        server_.setProcessEnvironment(env);
        server_.setWorkingDirectory(QString::fromStdString(game_.string()));
        server_.setProcessChannelMode(QProcess::MergedChannels);
        server_.start("./bin/netmux", {"-c", "netmux.conf", "-p", "netmux.pid", "-e", "."});
        server_.closeWriteChannel();
        if (!server_.waitForStarted(5000)) return;
        running_ = WaitFor(
            [&] {
                QTcpSocket probe;
                probe.connectToHost(QHostAddress::LocalHost, port);
                return probe.waitForConnected(100);
            },
            15000);
    }
    ~TinyMux() {
        if (server_.state() == QProcess::NotRunning) return;
        server_.terminate();
        if (!server_.waitForFinished(10000)) {
            server_.kill();
            server_.waitForFinished(5000);
        }
    }
    bool Running() const { return running_; }

private:
    std::filesystem::path game_;
    QProcess server_;
    bool running_ = false;
};

// A player's telnet connection, used to build: each command is followed by a marker that the
// server echoes back, so that Send returns once the command's whole answer is in.
class MuxLogin {
public:
    explicit MuxLogin(quint16 port) {
        QObject::connect(&socket_, &QTcpSocket::readyRead,
                         [this] { received_ += socket_.readAll().toStdString(); });
        socket_.connectToHost(QHostAddress::LocalHost, port);
    }
    bool Connect(const std::string& name, const std::string& password) {
        if (!WaitFor([&] { return received_.size() > 0; }, 10000)) return false;
        return Send("connect " + name + " " + password).has_value();
    }
    // The command's answer, or nothing when the marker did not come back in time.
    std::optional<std::string> Send(const std::string& command, int timeoutMs = 10000) {
        const std::string marker = "=done " + std::to_string(++sent_) + "=";
        const size_t from = received_.size();
        Write(command);
        Write("think " + marker);
        size_t at = std::string::npos;
        if (!WaitFor(
                [&] {
                    at = received_.find(marker + "\r\n", from);
                    return at != std::string::npos;
                },
                timeoutMs))
            return std::nullopt;
        return received_.substr(from, at - from);
    }
    // The command's answer for building: an answer that does not come back in time throws.
    std::string Must(const std::string& command) {
        auto answer = Send(command);
        if (!answer) throw std::runtime_error("no answer to " + command);
        return *answer;
    }
    // Digs the room parent, stands in it and sends it the room formats of a softcode file
    // (lines beginning "@@" are comments). Its dbref; throws when a format is not set.
    int MakeRoomParent(const std::filesystem::path& softcodeFile) {
        const int parent = CreatedRoom(Must("@dig/teleport Room Parent"));
        if (!parent) throw std::runtime_error("no parent room");
        std::istringstream softcode(TempDir::Read(softcodeFile));
        for (std::string line; std::getline(softcode, line);) {
            if (line.empty() || line.rfind("@@", 0) == 0) continue;
            const std::string answer = Must(line);
            if (answer.find("Set.") == std::string::npos &&
                answer.find("set.") == std::string::npos)
                throw std::runtime_error(line + " -> " + answer);
        }
        return parent;
    }
    // "Name created as room #12." -> 12; 0 when the answer has no such line.
    static int CreatedRoom(const std::string& answer) {
        std::smatch m;
        static const std::regex created("created as room #([0-9]+)\\.");
        return std::regex_search(answer, m, created) ? std::stoi(m[1]) : 0;
    }
    const std::string& Received() const { return received_; }

private:
    void Write(const std::string& line) {
        const std::string bytes = line + "\r\n";
        socket_.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    QTcpSocket socket_;
    std::string received_;
    int sent_ = 0;
};
