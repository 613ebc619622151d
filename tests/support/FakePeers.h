#pragma once
// A fake game server and a fake MUD client on 127.0.0.1, for tests that drive the relay with
// real sockets.

#include "support/EventLoop.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <string>
#include <vector>

class FakeGameServer {
public:
    FakeGameServer() {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = server.nextPendingConnection()) {
                conns.push_back(s);
                QObject::connect(s, &QTcpSocket::readyRead, [this, s] {
                    QByteArray b = s->readAll();
                    received.append(b.constData(), static_cast<size_t>(b.size()));
                });
                QObject::connect(s, &QTcpSocket::disconnected, [this] { ++disconnects; });
            }
        });
    }
    quint16 port() const { return server.serverPort(); }
    QTcpSocket* last() { return conns.empty() ? nullptr : conns.back(); }
    void Send(const std::string& bytes) {
        last()->write(bytes.data(), static_cast<qint64>(bytes.size()));
        last()->flush();
    }

    QTcpServer server;
    std::vector<QTcpSocket*> conns;
    std::string received;
    int disconnects = 0;
};

class FakeClient {
public:
    explicit FakeClient(quint16 port) {
        QObject::connect(&socket, &QTcpSocket::readyRead, [this] {
            QByteArray b = socket.readAll();
            received.append(b.constData(), static_cast<size_t>(b.size()));
        });
        QObject::connect(&socket, &QTcpSocket::disconnected, [this] { closed = true; });
        socket.connectToHost(QHostAddress::LocalHost, port);
    }
    bool WaitConnected() {
        return WaitFor([this] { return socket.state() == QAbstractSocket::ConnectedState; });
    }
    void Send(const std::string& bytes) {
        socket.write(bytes.data(), static_cast<qint64>(bytes.size()));
        socket.flush();
    }
    bool WaitReceived(const std::string& what, int ms = 5000) {
        return WaitFor([&] { return received.find(what) != std::string::npos; }, ms);
    }

    QTcpSocket socket;
    std::string received;
    bool closed = false;
};
