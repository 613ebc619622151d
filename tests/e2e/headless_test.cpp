#include "support/EventLoop.h"
#include "support/TempDir.h"

#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

quint16 FreePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// Local addresses (as "AABBCCDD:PORT" in hex) of listening TCP sockets on `port`.
std::vector<std::string> ListeningAddresses(quint16 port) {
    std::vector<std::string> out;
    for (const char* file : {"/proc/net/tcp", "/proc/net/tcp6"}) {
        std::ifstream in(file);
        std::string line;
        std::getline(in, line);
        while (std::getline(in, line)) {
            std::istringstream ls(line);
            std::string slot, local, remote, state;
            ls >> slot >> local >> remote >> state;
            if (state != "0A") continue; // LISTEN
            auto colon = local.rfind(':');
            if (std::stoi(local.substr(colon + 1), nullptr, 16) == port) out.push_back(local);
        }
    }
    return out;
}

} // namespace

TEST(Headless, ListensOnLoopbackOnlyAndShutsDownCleanlyOnSigterm) {
    TempDir dir;
    quint16 port = FreePort();
    TempDir::Write(dir.path() / "Maps" / "Мир" / "local.ini",
                   "[Connect]\r\nClient Port=" + std::to_string(port) +
                       "\r\nServer Name=127.0.0.1\r\n");
    QProcess proc;
    proc.setProgram(QUARVELIN_BINARY_DIR "/src/main/quarvelin");
    proc.setArguments({"--headless", "--data-dir", QString::fromStdString(dir.path().string()),
                       "--world", QString::fromUtf8("Мир")});
    proc.setProcessChannelMode(QProcess::MergedChannels);
    proc.start();
    ASSERT_TRUE(proc.waitForStarted(5000));

    ASSERT_TRUE(WaitFor([&] { return !ListeningAddresses(port).empty(); }, 10000))
        << "never listened";
    // 127.0.0.1 in the kernel's little-endian hex; never 0.0.0.0 or ::.
    EXPECT_EQ(ListeningAddresses(port), std::vector<std::string>{"0100007F:" + [&] {
                  char buf[8];
                  std::snprintf(buf, sizeof buf, "%04X", port);
                  return std::string(buf);
              }()});
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, port);
    ASSERT_TRUE(client.waitForConnected(5000));
    ASSERT_TRUE(WaitFor([&] { return client.bytesAvailable() > 0; }));
    EXPECT_TRUE(client.readAll().startsWith("\x1b[1;33m<Quarvelin v. "));

    proc.terminate(); // SIGTERM
    ASSERT_TRUE(proc.waitForFinished(10000));
    EXPECT_EQ(proc.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(proc.exitCode(), 0) << proc.readAll().toStdString();
    std::string settings = TempDir::Read(dir.path() / "quarvelin.ini");
    EXPECT_NE(settings.find("World=\xCC\xE8\xF0\r\n"), std::string::npos); // "Мир" in Windows-1251
}

TEST(Headless, HelpVersionAndBadOptions) {
    QProcess proc;
    proc.start(QUARVELIN_BINARY_DIR "/src/main/quarvelin", {"--version"});
    ASSERT_TRUE(proc.waitForFinished(10000));
    EXPECT_EQ(proc.exitCode(), 0);
    EXPECT_TRUE(proc.readAllStandardOutput().startsWith("Quarvelin "));
    proc.start(QUARVELIN_BINARY_DIR "/src/main/quarvelin", {"--help"});
    ASSERT_TRUE(proc.waitForFinished(10000));
    EXPECT_TRUE(proc.readAllStandardOutput().contains("--data-dir"));
    proc.start(QUARVELIN_BINARY_DIR "/src/main/quarvelin", {"--bogus"});
    ASSERT_TRUE(proc.waitForFinished(10000));
    EXPECT_EQ(proc.exitCode(), 2);
    EXPECT_TRUE(proc.readAllStandardError().contains("unknown option"));
}
