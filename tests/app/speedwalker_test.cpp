// Ordering and sending a speedwalk: clipboard forms, bursts, notices, refusals.

#include "app/core/Speedwalker.h"
#include "files/AppSettings.h"
#include "map/MapFixture.h"
#include "relay/DebugLog.h"
#include "text/Cp1251.h"
#include "text/Text.h"

#include <gtest/gtest.h>

namespace {

using map::TMudRoom2;
using maptest::MapTest;
using text::W;

struct FakeHost : app::SpeedwalkHost {
    bool tracing = true;
    std::string server, client, clipboard;
    std::vector<std::string> stops;
    std::vector<int> modes;
    bool Tracing() const override { return tracing; }
    void SendToServer(const std::string& b) override { server += b; }
    void SendToClient(const std::string& b) override { client += b; }
    void SetClipboard(const std::string& t) override { clipboard = t; }
    void ShowStop(const std::string& m) override { stops.push_back(m); }
    void SetWindowMode(int m) override { modes.push_back(m); }
    std::string Caption(const std::string&, const std::string& key,
                        const std::string& def) override {
        return key == "SpeedwalkUnabled" ? def : "?";
    }
};

class SpeedwalkerTest : public MapTest {
protected:
    storage::AppSettings settings;
    relay::DebugLog log;
    tracking::TrackingState tracking;
    FakeHost host;
    app::Speedwalker walker{model, settings, log, tracking, host};

    TMudRoom2* At(int x, int y) { return world.FindRoom(x, y, 0); }
    void Order(TMudRoom2* from, TMudRoom2* to,
               app::SpeedwalkSender sender = app::SpeedwalkSender::MainWindow) {
        world.CurrentRoom = from;
        world.ContextRoom = to;
        walker.nSpeedWalkClick(sender);
    }
};

TEST_F(SpeedwalkerTest, ClipboardWithAndWithoutSeparators) {
    Build({"A-B-C"});
    host.tracing = false; // the clipboard forms work with tracing off
    Order(At(0, 0), At(0, 2), app::SpeedwalkSender::nSpeedWalkNT);
    EXPECT_EQ(host.clipboard, "ee");
    Order(At(0, 0), At(0, 2), app::SpeedwalkSender::nSpeedWalkNTD);
    EXPECT_EQ(host.clipboard, "e;e");
    EXPECT_TRUE(host.server.empty());
    EXPECT_FALSE(walker.Pending());
    EXPECT_EQ(world.ReturnRoom, nullptr);
    // Sending needs tracing: without it nothing happens at all.
    Order(At(0, 0), At(0, 2), app::SpeedwalkSender::nSpeedWalk);
    EXPECT_TRUE(host.server.empty() && host.client.empty() && host.stops.empty());
    EXPECT_EQ(host.modes, (std::vector<int>{2, 2, 2}));
}

TEST_F(SpeedwalkerTest, SevenCommandsGoInBurstsOfThreeThreeAndOne) {
    Build({"0-1-2-3-4-5-6-7"});
    settings.SpeedWalkLength = 3;
    log.DebugActiv = true;
    Order(At(0, 0), At(0, 7));
    EXPECT_TRUE(log.DebugActiv); // quiet only while searching
    EXPECT_EQ(world.ReturnRoom, At(0, 0));
    EXPECT_EQ(host.server, "e\r\ne\r\ne\r\n");
    EXPECT_EQ(host.client,
              "\r\n\x1b[1;33m<Quarvelin> : Speedwalk sent: \r\n\x1b[1;32me;e;e;\x1b[0m\r\n");
    EXPECT_EQ(tracking.CommandQueue.size(), 3u);
    EXPECT_EQ(walker.Queue().size(), 4u);
    // Tracking confirms the three moves, then asks for the next burst.
    tracking.CommandQueue.clear();
    host.server.clear();
    walker.SendBurst();
    EXPECT_EQ(host.server, "e\r\ne\r\ne\r\n");
    tracking.CommandQueue.clear();
    host.server.clear();
    walker.SendBurst();
    EXPECT_EQ(host.server, "e\r\n");
    EXPECT_EQ(tracking.CommandQueue, (std::deque<std::string>{"e"}));
    EXPECT_FALSE(walker.Pending());
}

TEST_F(SpeedwalkerTest, BurstLengthBelowOneStillMoves) {
    Build({"0-1-2-3-4-5-6-7"});
    settings.SpeedWalkLength = 0;
    Order(At(0, 0), At(0, 7));
    EXPECT_EQ(tracking.CommandQueue.size(), 5u);
}

TEST_F(SpeedwalkerTest, AutomaticCommandsAreTrimmedAndTheLetterYaIsDoubledForTheGame) {
    Build({"A-B"});
    At(0, 0)->AutoMaps = {"|" + map::Phrase(profile, map::East) + "|0| " + W("стоять я") + " |-1"};
    Order(At(0, 0), At(0, 1));
    EXPECT_EQ(tracking.CommandQueue, (std::deque<std::string>{W("стоять я"), "e"}));
    EXPECT_EQ(host.server, text::ReplaceAll(W("стоять я"), "\xFF", "\xFF\xFF") + "\r\ne\r\n");
}

TEST_F(SpeedwalkerTest, NoWayIsReportedAndKeepsTheQueue) {
    Build({"A-B . C"});
    settings.SpeedWalkLength = 1;
    Order(At(0, 0), At(0, 1));
    ASSERT_TRUE(walker.Queue().empty());
    Build({"D-E-F"}, 2, 0);
    Order(world.FindRoom(2, 0, 0), world.FindRoom(2, 2, 0));
    ASSERT_EQ(walker.Queue().size(), 1u);
    host.client.clear();
    Order(At(0, 0), At(0, 3));
    EXPECT_EQ(host.client, "\r\n\x1b[1;33m<Quarvelin> : Speedwalk \x1b[1;32munabled\x1b[0m\r\n");
    EXPECT_EQ(walker.Queue().size(), 1u);
    host.tracing = false;
    Order(At(0, 0), At(0, 3), app::SpeedwalkSender::nSpeedWalkNT);
    EXPECT_EQ(host.stops, (std::vector<std::string>{W("Спидволк сюда невозможен.")}));
}

TEST_F(SpeedwalkerTest, SilentlyNothingForItsOwnRoomADeathTrapOrNoPosition) {
    Build({"A-B"});
    Order(At(0, 0), At(0, 0));
    Order(nullptr, At(0, 1));
    Order(At(0, 0), nullptr);
    At(0, 1)->DT = true;
    Order(At(0, 0), At(0, 1));
    EXPECT_TRUE(host.server.empty() && host.client.empty() && host.stops.empty());
    EXPECT_EQ(world.ReturnRoom, nullptr);
}

} // namespace
