// Recorded sessions through the real program: a walk of the demo recorded and replayed (every
// DemoRig does that at its Stop), a session file cut short or not a session at all, and a
// recording that the disk refuses while the map goes on being made and saved.

#include "E2eSupport.h"
#include "files/SessionFile.h"
#include "text/Text.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

std::string W(const char* utf8) {
    return text::FromUnicode(QString::fromUtf8(utf8));
}

// `quarvelin --replay FILE` on a data directory; its exit code and what it printed.
int Replay(const fs::path& session, const fs::path& dataDir, std::string& said) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QuarvelinBinary(), {"--replay", QString::fromStdString(session.string()), "--data-dir",
                                QString::fromStdString(dataDir.string()), "--world", "Demo"});
    if (!p.waitForFinished(60000)) return -1;
    said = p.readAll().toStdString();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// The rooms (not corridors) of every zone file of the world.
std::size_t MappedRooms(const fs::path& worldDir) {
    std::size_t n = 0;
    for (const auto& [name, bytes] : DemoRig::ZoneFiles(worldDir)) {
        (void)name;
        for (std::size_t at = bytes.find("Hint"); at != std::string::npos;
             at = bytes.find("Hint", at + 1))
            ++n;
    }
    return n;
}

} // namespace

TEST(SessionE2e, ACutSessionIsReplayedUpToTheCutAndSaysSo) {
    DemoRig rig(2);
    {
        ScriptedClient client(rig.clientPort);
        ASSERT_TRUE(client.Connected());
        ASSERT_TRUE(client.WaitPrompts(1)) << rig.output;
        for (const char* c : {"look", "n", "n", "s", "s", "e", "w", "s", "s"})
            ASSERT_TRUE(client.Send({c})) << c;
    }
    ASSERT_TRUE(rig.Stop()) << rig.output; // which replays the whole session too
    const std::size_t live = MappedRooms(rig.dir.path() / "Maps" / "Demo");
    ASSERT_GE(live, 5u);

    // Cut in the middle of a record after the first few moves.
    const std::string whole = TempDir::Read(rig.Session());
    const std::size_t cutAt = whole.find(W("Северн"), whole.find("S "));
    ASSERT_NE(cutAt, std::string::npos);
    TempDir cut;
    TempDir::Write(cut.path() / "cut.session", whole.substr(0, cutAt + 3));
    TempDir::Write(cut.path() / "Maps" / "Demo" / "local.ini",
                   TempDir::Read(rig.dir.path() / "Maps" / "Demo" / "local.ini"));
    std::string said;
    EXPECT_EQ(Replay(cut.path() / "cut.session", cut.path(), said), 0) << said;
    EXPECT_NE(said.find("is cut short at byte "), std::string::npos) << said;
    EXPECT_NE(said.find("records before it were replayed"), std::string::npos) << said;
    const std::size_t replayed = MappedRooms(cut.path() / "Maps" / "Demo");
    EXPECT_GE(replayed, 1u);
    EXPECT_LT(replayed, live);

    // Damage inside a record is found as well; a file that is no session is refused whole.
    std::string damaged = whole;
    damaged[whole.find("\r\nS ", whole.size() / 2) + 2] = 'Q';
    TempDir::Write(cut.path() / "damaged.session", damaged);
    EXPECT_EQ(Replay(cut.path() / "damaged.session", cut.path(), said), 0) << said;
    EXPECT_NE(said.find("is damaged: a record begins with neither S, C nor E at byte"),
              std::string::npos)
        << said;
    TempDir::Write(cut.path() / "other.txt", "[Options]\r\nZone=x\r\n");
    EXPECT_EQ(Replay(cut.path() / "other.txt", cut.path(), said), 2) << said;
    EXPECT_NE(said.find("not a Quarvelin session file"), std::string::npos) << said;
    EXPECT_EQ(Replay(cut.path() / "missing.session", cut.path(), said), 2) << said;
    EXPECT_NE(said.find("Cannot read the session file"), std::string::npos) << said;
}

TEST(SessionE2e, ADiskThatRefusesTheRecordingNeverCostsTheMap) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    TempDir dir;
    const quint16 serverPort = FreePort(), clientPort = FreePort();
    WriteGameProfile(dir.path() / "Maps" / "Demo" / "local.ini", clientPort, serverPort);
    QProcess server;
    server.start(DemoBinary(), {"--port", QString::number(serverPort)});
    ASSERT_TRUE(server.waitForStarted(5000));
    ASSERT_TRUE(WaitFor([&] {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, serverPort);
        return probe.waitForConnected(100);
    }));
    QProcess q;
    q.setProcessChannelMode(QProcess::MergedChannels);
    q.start(QuarvelinBinary(),
            {"--headless", "--data-dir", QString::fromStdString(dir.path().string()), "--world",
             "Demo", "--record", "/dev/full"});
    std::string output;
    ASSERT_TRUE(WaitFor(
        [&] {
            output += q.readAll().toStdString();
            return output.find("listening: ") != std::string::npos;
        },
        30000))
        << output;
    EXPECT_NE(output.find("Cannot record the session to /dev/full: No space left on device"),
              std::string::npos)
        << output;
    {
        ScriptedClient client(clientPort);
        ASSERT_TRUE(client.Connected());
        ASSERT_TRUE(client.WaitPrompts(1));
        for (const char* c : {"look", "n", "s", "e"})
            ASSERT_TRUE(client.Send({c})) << c;
    }
    q.terminate();
    ASSERT_TRUE(q.waitForFinished(20000));
    output += q.readAll().toStdString();
    server.kill();
    server.waitForFinished(5000);
    EXPECT_EQ(q.exitCode(), 0) << output;
    EXPECT_GE(MappedRooms(dir.path() / "Maps" / "Demo"), 3u) << output;
}
