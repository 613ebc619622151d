#include "app/core/UpdateCheck.h"
#include "support/EventLoop.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>
#include <optional>

using app::IsNewerVersion;
using app::VersionFromAnswer;

TEST(UpdateCheck, VersionIsTheFirstLineOfAnOkAnswer) {
    EXPECT_EQ(VersionFromAnswer("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n0.2.0\r\n"),
              "0.2.0");
    EXPECT_EQ(VersionFromAnswer("HTTP/1.0 200 OK\n\n  1.10b \nsecond line\n"), "1.10b");
    EXPECT_EQ(VersionFromAnswer("HTTP/1.0 200\r\n\r\n0.3"), "0.3");
    // Errors, redirects, missing bodies, pages instead of versions, other protocols.
    for (const char* answer :
         {"HTTP/1.1 404 Not Found\r\n\r\n0.2.0", "HTTP/1.1 301 Moved\r\nLocation: x\r\n\r\n",
          "HTTP/1.1 2000 OK\r\n\r\n0.2.0", "HTTP/1.1 200 OK\r\n\r\n",
          "HTTP/1.1 200 OK\r\n\r\n<html><body>0.2.0</body></html>",
          "HTTP/1.1 200 OK\r\n\r\n0123456789012345678901234567890123", "0.2.0\r\n", "",
          "HTTP/1.1 200 OK\r\nno end of headers"})
        EXPECT_EQ(VersionFromAnswer(answer), "err") << answer;
}

TEST(UpdateCheck, OnlyAHigherVersionIsNewer) {
    EXPECT_TRUE(IsNewerVersion("0.2.0", "0.1.0"));
    EXPECT_TRUE(IsNewerVersion("0.10", "0.9.5"));
    EXPECT_TRUE(IsNewerVersion("1", "0.99"));
    EXPECT_FALSE(IsNewerVersion("0.1.0", "0.1.0"));
    EXPECT_FALSE(IsNewerVersion("0.1", "0.1.0"));
    EXPECT_FALSE(IsNewerVersion("0.0.9", "0.1.0"));
    EXPECT_FALSE(IsNewerVersion("err", "0.1.0"));
    EXPECT_FALSE(IsNewerVersion("", "0.1.0"));
    // A text of another shape that differs is announced.
    EXPECT_TRUE(IsNewerVersion("0.2-beta", "0.1.0"));
    EXPECT_EQ(app::NewVersionMessage("0.2.0", "http://example.org/"),
              "New version available - 0.2.0\r\nPlease visit: http://example.org/");
}

namespace {

struct Result {
    std::optional<std::string> value;
    void operator()(const std::string& v) {
        EXPECT_FALSE(value) << "answered twice";
        value = v;
    }
};

std::string Url(const QTcpServer& server, const char* path = "/version.txt") {
    return "http://127.0.0.1:" + std::to_string(server.serverPort()) + path;
}

} // namespace

TEST(UpdateCheck, NoAddressAnswersAtOnceWithoutTheNetwork) {
    app::UpdateCheck check;
    std::optional<std::string> got;
    check.Start("", [&](const std::string& v) { got = v; });
    EXPECT_EQ(got, "err");
    EXPECT_FALSE(check.Running());
    got.reset();
    check.Start("ftp://127.0.0.1/version.txt", [&](const std::string& v) { got = v; });
    EXPECT_EQ(got, "err");
    got.reset();
    check.Start("not an address", [&](const std::string& v) { got = v; });
    EXPECT_EQ(got, "err");
}

TEST(UpdateCheck, ReadsTheVersionAndSendsAPlainRequest) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    QByteArray request;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        QTcpSocket* s = server.nextPendingConnection();
        QObject::connect(s, &QTcpSocket::readyRead, [s, &request] {
            request += s->readAll();
            if (!request.endsWith("\r\n\r\n")) return;
            s->write("HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n0.9.1\r\n");
            s->disconnectFromHost();
        });
    });
    app::UpdateCheck check;
    Result result;
    check.Start(Url(server, "/v/latest.txt?x=1"), std::ref(result));
    ASSERT_TRUE(WaitFor([&] { return result.value.has_value(); }));
    EXPECT_EQ(*result.value, "0.9.1");
    EXPECT_TRUE(request.startsWith("GET /v/latest.txt?x=1 HTTP/1.0\r\n")) << request.constData();
    EXPECT_TRUE(request.contains("\r\nHost: 127.0.0.1:" + QByteArray::number(server.serverPort())));
}

TEST(UpdateCheck, AServerThatNeverAnswersTimesOutWithoutBlocking) {
    QTcpServer server; // accepts, then says nothing
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    app::UpdateCheck check;
    Result result;
    QElapsedTimer t;
    t.start();
    check.Start(Url(server), std::ref(result), 300);
    EXPECT_LT(t.elapsed(), 100); // Start returns at once; the loop keeps running
    EXPECT_FALSE(result.value);
    EXPECT_TRUE(check.Running());
    ASSERT_TRUE(WaitFor([&] { return result.value.has_value(); }, 3000));
    EXPECT_EQ(*result.value, "err");
    EXPECT_GE(t.elapsed(), 250);
    EXPECT_FALSE(check.Running());
    // The connection was closed on our side.
    QTcpSocket* accepted = server.nextPendingConnection();
    ASSERT_NE(accepted, nullptr);
    EXPECT_TRUE(
        WaitFor([&] { return accepted->state() == QAbstractSocket::UnconnectedState; }, 2000));
}

TEST(UpdateCheck, MegabytesOfJunkAreCutOffAfterAFewKilobytes) {
    // One server sends an endless header, the other a valid answer with a huge body.
    for (const QByteArray& head :
         {QByteArray("HTTP/1.1 200 OK\r\nX-Junk: "), QByteArray("HTTP/1.0 200 OK\r\n\r\n0.2.0")}) {
        QTcpServer server;
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
        QTcpSocket* peer = nullptr;
        qint64 sent = 0;
        const QByteArray junk(64 * 1024, 'x');
        QObject::connect(&server, &QTcpServer::newConnection, [&] {
            peer = server.nextPendingConnection();
            peer->write(head);
            // Keep the pipe full: 8 MB in all, as fast as the other side takes it.
            QObject::connect(peer, &QTcpSocket::bytesWritten, [&, peer] {
                if (peer->bytesToWrite() < junk.size() && sent < 8 * 1024 * 1024) {
                    peer->write(junk);
                    sent += junk.size();
                }
            });
            peer->write(junk);
            sent += junk.size();
        });
        app::UpdateCheck check;
        Result result;
        check.Start(Url(server), std::ref(result), 5000);
        ASSERT_TRUE(WaitFor([&] { return result.value.has_value(); }, 4000)) << head.constData();
        EXPECT_EQ(*result.value, "err");
        // It stopped reading long before the server was done sending.
        EXPECT_LT(sent, 8 * 1024 * 1024);
        ASSERT_NE(peer, nullptr);
        EXPECT_TRUE(
            WaitFor([&] { return peer->state() == QAbstractSocket::UnconnectedState; }, 2000));
    }
}

TEST(UpdateCheck, ANewCheckAbandonsTheOneRunning) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    app::UpdateCheck check;
    int firstAnswers = 0;
    check.Start(
        Url(server), [&](const std::string&) { ++firstAnswers; }, 200);
    std::optional<std::string> second;
    check.Start("", [&](const std::string& v) { second = v; });
    EXPECT_EQ(second, "err");
    Pump(400);
    EXPECT_EQ(firstAnswers, 0);
}
