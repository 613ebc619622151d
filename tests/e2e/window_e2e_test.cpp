// The window closes properly on SIGTERM and SIGINT: the settings are written and the world is
// saved, as when the player closes it.

#include "E2eSupport.h"
#include "support/FakePeers.h"

#include <csignal>
#include <gtest/gtest.h>

namespace {
// The real window, offscreen, on the world "W" of a data directory.
bool StartWindow(QProcess& window, const TempDir& dir) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    window.setProcessEnvironment(env);
    window.setProcessChannelMode(QProcess::MergedChannels);
    window.start(QuarvelinBinary(),
                 {"--data-dir", QString::fromStdString(dir.path().string()), "--world", "W"});
    return window.waitForStarted(5000);
}
} // namespace

TEST(WindowE2e, SigtermAndSigintCloseTheWindowAndSave) {
    for (int sig : {SIGTERM, SIGINT}) {
        TempDir dir;
        TempDir::Write(dir.path() / "Maps" / "W" / "local.ini", "[Connect]\r\nClient Port=0\r\n");
        // With logging on, the debug log is written only by the shutdown.
        TempDir::Write(dir.path() / "quarvelin.ini", "[Options]\r\nDebugActiv=1\r\n");
        QProcess window;
        ASSERT_TRUE(StartWindow(window, dir));
        // The first activation loads the world, which starts its first zone.
        auto zoneWritten = [&] {
            std::error_code ec;
            for (const auto& e : std::filesystem::directory_iterator(dir.path() / "Maps" / "W", ec))
                if (e.path().extension() == ".tk2") return true;
            return false;
        };
        ASSERT_TRUE(WaitFor(zoneWritten, 20000)) << window.readAll().toStdString();
        EXPECT_FALSE(std::filesystem::exists(dir.path() / "tkdebug.log"));
        ::kill(static_cast<pid_t>(window.processId()), sig);
        ASSERT_TRUE(window.waitForFinished(20000));
        EXPECT_EQ(window.exitStatus(), QProcess::NormalExit) << "killed by signal " << sig;
        EXPECT_EQ(window.exitCode(), 0);
        EXPECT_TRUE(std::filesystem::exists(dir.path() / "tkdebug.log")) << "signal " << sig;
        EXPECT_NE(TempDir::Read(dir.path() / "quarvelin.ini").find("World=W"), std::string::npos);
    }
}

// A signal during a session with changes closes without waiting for answers to questions.
TEST(WindowE2e, SignalClosesWithoutAskingAndKeepsTheObjectBase) {
    TempDir dir;
    FakeGameServer game;
    const quint16 clientPort = FreePort();
    WriteGameProfile(dir.path() / "Maps" / "W" / "local.ini", clientPort, game.port(),
                     "[Messages]\r\nStuffTem=Lore:#$0D#$0AItem /$#$0D#$0A\r\nStuffSeq=1\r\n");
    QProcess window;
    ASSERT_TRUE(StartWindow(window, dir));
    ASSERT_TRUE(WaitFor(
        [&] {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, clientPort);
            return probe.waitForConnected(100);
        },
        20000));
    // The probes' own connections to the game come and go; the client's is the next one.
    Pump(200);
    const std::size_t before = game.conns.size();
    auto client = std::make_unique<FakeClient>(clientPort);
    ASSERT_TRUE(client->WaitConnected());
    ASSERT_TRUE(WaitFor([&] { return game.conns.size() > before; }, 10000));
    // A report changes the object base: closing by hand would ask whether to save it.
    game.Send("Lore:\r\nItem sword\r\n\r\n> ");
    ASSERT_TRUE(client->WaitReceived("Item added")) << client->received;
    ::kill(static_cast<pid_t>(window.processId()), SIGTERM);
    ASSERT_TRUE(window.waitForFinished(20000)) << "the window waited for an answer";
    EXPECT_EQ(window.exitCode(), 0);
    EXPECT_NE(TempDir::Read(dir.path() / "Maps" / "W" / "objects.dat").find("sword"),
              std::string::npos);
}
