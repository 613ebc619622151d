#pragma once
// A game server inside the test, for faults that a real server cannot be made to show on cue:
// it prints a road of rooms, answers moves along it, and can be cut off at any byte.

#include "support/EventLoop.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The room block of a road room as the default profile recognises it, then a prompt.
inline std::string RoadRoom(int i, int last) {
    std::string exits = i == 0 ? "E" : i == last ? "W" : "E W";
    return "\x1b[1;36mRoad " + std::to_string(i) + "\r\nDesc of road " + std::to_string(i) +
           ".\r\n\x1b[36m[ Exits: " + exits + " ]\r\n\r\n> \xff\xf9";
}

class FakeGame {
public:
    explicit FakeGame(int lastRoom = 24) : last(lastRoom) {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = server.nextPendingConnection()) {
                auto c = std::make_unique<Connection>();
                c->socket = s;
                Connection* raw = c.get();
                QObject::connect(s, &QTcpSocket::readyRead, [this, raw] { Read(*raw); });
                QObject::connect(s, &QTcpSocket::disconnected, [raw] { raw->closed = true; });
                connections.push_back(std::move(c));
            }
        });
    }
    ~FakeGame() {
        for (auto& c : connections)
            QObject::disconnect(c->socket, nullptr, nullptr, nullptr);
    }
    quint16 Port() const { return server.serverPort(); }

    struct Connection {
        QTcpSocket* socket = nullptr;
        std::string received;           // everything the relay sent
        std::vector<std::string> lines; // complete lines, telnet commands left out
        int moves = 0;
        bool closed = false;
        std::string partial;
    };

    Connection* Latest() { return connections.empty() ? nullptr : connections.back().get(); }
    bool WaitConnections(size_t n, int ms = 8000) {
        return WaitFor([&] { return connections.size() >= n; }, ms);
    }
    void Send(const std::string& bytes) {
        if (Connection* c = Latest()) c->socket->write(bytes.data(), qint64(bytes.size()));
    }
    // Ends the latest connection at once, as a server process that died.
    void Die() {
        if (Connection* c = Latest()) {
            c->socket->flush();
            c->socket->abort();
            c->closed = true;
        }
    }

    int at = 0; // where the player stands on the road
    int last;
    bool answer = true; // print rooms in answer to moves and looks
    // Called for each move before it is answered; returning false leaves it unanswered.
    std::function<bool(Connection&)> onMove;

private:
    void Read(Connection& c) {
        const QByteArray b = c.socket->readAll();
        c.received.append(b.constData(), size_t(b.size()));
        for (char ch : b) {
            if (ch == '\n') continue;
            if (ch != '\r') {
                c.partial += ch;
                continue;
            }
            std::string line;
            line.swap(c.partial);
            if (!line.empty() && static_cast<unsigned char>(line[0]) == 0xFF) continue;
            c.lines.push_back(line);
            Answer(c, line);
            if (c.closed) return;
        }
    }
    void Answer(Connection& c, const std::string& line) {
        const bool east = line == "e", west = line == "w";
        if (east || west) {
            ++c.moves;
            if (onMove && !onMove(c)) return;
            if (east && at < last) ++at;
            if (west && at > 0) --at;
        } else if (line != "look") {
            return;
        }
        if (answer) {
            const std::string room = RoadRoom(at, last);
            c.socket->write(room.data(), qint64(room.size()));
        }
    }

    QTcpServer server;
    std::vector<std::unique_ptr<Connection>> connections;
};
