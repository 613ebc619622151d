// Load that a long session brings: megabyte lines without a line break, a hundred megabytes of
// chatter while commands wait for rooms that never come, a thousand connections. Every byte
// is relayed, memory stays bounded, and tracking still works afterwards.

#include "RoadRig.h"

#include <gtest/gtest.h>

namespace {

constexpr size_t kMegabyte = 1 << 20;

// Sends `total` bytes of `line` repeated, a chunk at a time, as fast as the client reads them.
bool Flood(RoadRig& rig, ScriptedClient& client, const std::string& line, size_t total) {
    std::string chunk;
    while (chunk.size() < 256 * 1024)
        chunk += line;
    const size_t want = client.bytes + total;
    size_t sent = 0;
    QTcpSocket* game = rig.game.Latest()->socket;
    QElapsedTimer timer;
    timer.start();
    while (client.bytes < want) {
        if (timer.elapsed() > 120000) return false;
        if (sent < total && game->bytesToWrite() < qint64(kMegabyte)) {
            const size_t n = std::min(chunk.size(), total - sent);
            game->write(chunk.data(), qint64(n));
            sent += n;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return client.bytes == want;
}

} // namespace

TEST(LoadE2e, MegabyteLinesWithoutALineBreakPassBothWays) {
    RoadRig rig;
    ASSERT_TRUE(rig.Start()) << rig.output;
    ScriptedClient client(rig.clientPort);
    ASSERT_TRUE(client.Connected());
    ASSERT_TRUE(rig.game.WaitConnections(1));
    FakeGame::Connection* game = rig.game.Latest();
    ASSERT_TRUE(client.Send({"look"}));

    // From the game, while a move waits for its room: the room after the line is still found.
    rig.game.onMove = [](FakeGame::Connection&) { return false; };
    client.socket.write("e\r\n");
    ASSERT_TRUE(WaitFor([&] { return game->moves == 1; }));
    const size_t before = client.bytes;
    rig.game.Send(std::string(kMegabyte, 'x'));
    rig.game.at = 1;
    rig.game.Send("\r\n" + RoadRoom(1, 24));
    const int prompts = client.prompts;
    ASSERT_TRUE(client.WaitPrompts(prompts + 1, 20000));
    EXPECT_EQ(client.bytes - before, kMegabyte + 2 + RoadRoom(1, 24).size());
    EXPECT_NE(client.received.find(std::string(kMegabyte, 'x') + "\r\n\x1b[1;36mRoad 1"),
              std::string::npos);
    rig.game.onMove = nullptr;

    // From the client: every byte reaches the game; a look then starts tracking afresh.
    const size_t got = game->received.size();
    const std::string line(kMegabyte, 'y');
    client.socket.write(line.data(), qint64(line.size()));
    client.socket.write("\r\n");
    ASSERT_TRUE(WaitFor([&] { return game->received.size() >= got + kMegabyte + 2; }, 20000));
    EXPECT_EQ(game->received.substr(got), line + "\r\n");
    ASSERT_TRUE(client.Send({"look"}));
    ASSERT_TRUE(client.Send({"w"}));
    ASSERT_TRUE(rig.Running());
    ASSERT_TRUE(rig.Stop()) << rig.output;
    std::string selected;
    EXPECT_EQ(rig.SavedRooms(&selected).size(), 25u);
    EXPECT_EQ(selected, "Road 0");
}

TEST(LoadE2e, HundredMegabytesOfChatterKeepMemoryBounded) {
    RoadRig rig;
    ASSERT_TRUE(rig.Start()) << rig.output;
    ScriptedClient client(rig.clientPort);
    client.keep = false;
    ASSERT_TRUE(client.Connected());
    ASSERT_TRUE(rig.game.WaitConnections(1));
    ASSERT_TRUE(client.Send({"look"}));
    const long baseline = rig.Memory().second;

    // Tracing on, with moves queued that no room answers.
    rig.game.onMove = [](FakeGame::Connection&) { return false; };
    client.socket.write("e\r\ne\r\nw\r\n");
    ASSERT_TRUE(WaitFor([&] { return rig.game.Latest()->moves == 3; }));
    const std::string chatter = "A cold wind howls through the empty streets of the town.\r\n";
    ASSERT_TRUE(Flood(rig, client, chatter, 50 * kMegabyte));
    const long tracingOn = rig.Memory().second;

    // Tracing off.
    client.SendQuiet(text::FromUnicode(QString::fromUtf8("стоптр")));
    ASSERT_TRUE(Flood(rig, client, chatter, 50 * kMegabyte));
    const auto [rss, peak] = rig.Memory();
    std::printf("peak RSS: %ld kB at start, %ld kB after 50 MB traced, %ld kB after 100 MB "
                "(now %ld kB)\n",
                baseline, tracingOn, peak, rss);
    ::testing::Test::RecordProperty("peak_rss_kb", std::to_string(peak));
    if (MemoryTells()) {
        EXPECT_LT(peak - baseline, 8 * 1024) << "memory grows with the chatter";
    }

    // Tracking works as before.
    rig.game.onMove = nullptr;
    ASSERT_TRUE(client.Send({"look"}));
    ASSERT_TRUE(client.Send({"e"}));
    ASSERT_TRUE(rig.Stop()) << rig.output;
    std::string selected;
    rig.SavedRooms(&selected);
    EXPECT_EQ(selected, "Road 1");
}

TEST(LoadE2e, ClientThatStopsReadingHoldsTheGameBackInsteadOfFillingMemory) {
    RoadRig rig;
    ASSERT_TRUE(rig.Start()) << rig.output;
    QTcpSocket client;
    client.setReadBufferSize(64 * 1024); // reads nothing more until the test takes it
    client.connectToHost(QHostAddress::LocalHost, rig.clientPort);
    ASSERT_TRUE(client.waitForConnected(5000));
    ASSERT_TRUE(rig.game.WaitConnections(1));
    const long baseline = rig.Memory().second;

    // Three seconds of the game writing as fast as it can to a client that reads nothing.
    std::string chunk;
    for (int i = 0; chunk.size() < 256 * 1024; ++i)
        chunk += "Line " + std::to_string(i) + " of the flood.\r\n";
    QTcpSocket* game = rig.game.Latest()->socket;
    size_t sent = 0;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 3000) {
        if (game->bytesToWrite() < qint64(kMegabyte)) {
            game->write(chunk.data(), qint64(chunk.size()));
            sent += chunk.size();
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    const long peak = rig.Memory().second;
    std::printf("game wrote %zu kB to a client that reads nothing; Quarvelin's peak RSS %ld kB "
                "(%ld kB at start)\n",
                sent / 1024, peak, baseline);
    if (MemoryTells()) {
        EXPECT_LT(peak - baseline, 8 * 1024) << "the relay buffers what the client does not read";
    }

    // The client reads again: every byte arrives, in order, after Quarvelin's greeting.
    std::string got;
    got.reserve(sent + 1024);
    size_t start = std::string::npos;
    timer.restart();
    while ((start == std::string::npos || got.size() - start < sent) && timer.elapsed() < 60000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        const QByteArray b = client.readAll();
        got.append(b.constData(), size_t(b.size()));
        if (start == std::string::npos) start = got.find("Line 0 of the flood.");
    }
    ASSERT_NE(start, std::string::npos);
    got.erase(0, start);
    ASSERT_EQ(got.size(), sent);
    for (size_t at = 0; at < sent; at += chunk.size())
        ASSERT_EQ(got.compare(at, chunk.size(), chunk), 0) << "at byte " << at;
    ASSERT_TRUE(rig.Running());
}

// Under AddressSanitizer (scripts/leakcheck) the exit status also tells whether anything leaked.
TEST(LoadE2e, ThousandConnectCyclesLeakNothing) {
    RoadRig rig;
    ASSERT_TRUE(rig.Start()) << rig.output;
    long afterWarmUp = 0;
    for (int i = 1; i <= 1000; ++i) {
        QTcpSocket client;
        client.connectToHost(QHostAddress::LocalHost, rig.clientPort);
        ASSERT_TRUE(client.waitForConnected(5000)) << "cycle " << i;
        ASSERT_TRUE(rig.game.WaitConnections(size_t(i))) << "cycle " << i;
        if (i % 2) client.write("look\r\n"); // half of them with tracing on
        client.disconnectFromHost();
        ASSERT_TRUE(WaitFor([&] { return rig.game.Latest()->closed; })) << "cycle " << i;
        if (i == 100) afterWarmUp = rig.Memory().first;
    }
    const long rss = rig.Memory().first;
    std::printf("RSS after 100 cycles: %ld kB, after 1000: %ld kB\n", afterWarmUp, rss);
    if (MemoryTells()) {
        EXPECT_LT(rss - afterWarmUp, 4 * 1024) << "memory grows with every connection";
    }

    ScriptedClient client(rig.clientPort);
    ASSERT_TRUE(client.Connected());
    ASSERT_TRUE(client.Send({"look"}));
    ASSERT_TRUE(client.Send({"e"}));
    ASSERT_TRUE(rig.Stop()) << rig.output;
    std::string selected;
    rig.SavedRooms(&selected);
    EXPECT_EQ(selected, "Road 1");
}
