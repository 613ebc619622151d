#include "profile/WorldProfile.h"
#include "relay/DebugLog.h"
#include "relay/Relay.h"
#include "support/FakePeers.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

struct RecordingHooks : relay::RelayHooks {
    std::vector<bool> modes;
    std::string translated;
    std::vector<std::string> statuses;
    std::vector<std::string> exceptions;
    relay::Relay* relay = nullptr;
    void ModeClick(bool on) override { modes.push_back(on); }
    void ClientBlock(const std::string& block) override { relay->SendToServer(block); }
    void TranslateCmd(const std::string& text, const std::vector<std::size_t>& ends, bool marked,
                      const std::vector<tracking::IdentityAt>& told) override {
        for (std::size_t end : ends)
            prompts.push_back(translated.size() + end);
        for (tracking::IdentityAt id : told) {
            id.offset += translated.size();
            identities.push_back(std::move(id));
        }
        translated += text;
        promptsMarked = marked;
    }
    std::vector<std::size_t> prompts;             // ends of prompts in `translated`
    std::vector<tracking::IdentityAt> identities; // placed in `translated`
    bool promptsMarked = false;
    void MccpStatus(const std::string& text) override { statuses.push_back(text); }
    void AppException(const std::string& m) override { exceptions.push_back(m); }
};

struct RelayRig {
    profile::WorldProfile profile;
    relay::DebugLog log;
    RecordingHooks hooks;
    FakeGameServer game;
    relay::Relay relay{log, hooks, profile};
    RelayRig() {
        hooks.relay = &relay;
        log.DebugActiv = true;
        relay.SetListenPort(0);
        relay.SetServer("127.0.0.1", game.port());
        EXPECT_TRUE(relay.ActivateListener());
    }
    quint16 port() const { return relay.ActualListenPort(); }
    bool Logged(const std::string& line) const {
        for (const auto& l : log.Lines())
            if (l == line) return true;
        return false;
    }
};

const std::string kWelcome =
    "\x1b[1;33m<Quarvelin v. " + relay::VersionText() + "> is online\x1b[0m\r\n";

} // namespace

TEST(Relay, WelcomesTheClientAndRelaysBothWays) {
    RelayRig rig;
    FakeClient client(rig.port());
    ASSERT_TRUE(client.WaitConnected());
    ASSERT_TRUE(WaitFor([&] { return rig.relay.ServerConnected() && rig.game.last(); }));
    EXPECT_EQ(client.received, kWelcome);
    EXPECT_TRUE(rig.relay.ClientConnected());
    EXPECT_EQ(rig.hooks.statuses.back(), " mccp: none");

    client.Send("look\r\n");
    ASSERT_TRUE(WaitFor([&] { return rig.game.received == "look\r\n"; }));
    rig.game.Send("\x1b[1;36mRoom\x1b[0m\r\n\xFF\xFF text");
    ASSERT_TRUE(client.WaitReceived("text"));
    // The client gets the server's bytes exactly; recognition gets 0xFF pairs collapsed.
    EXPECT_EQ(client.received, kWelcome + "\x1b[1;36mRoom\x1b[0m\r\n\xFF\xFF text");
    EXPECT_EQ(rig.hooks.translated, "\x1b[1;36mRoom\x1b[0m\r\n\xFF text");
    EXPECT_TRUE(rig.Logged("SSClientConnect:Open client socket"));
    EXPECT_TRUE(rig.Logged("CSConnect"));
}

TEST(Relay, ServerCloseDropsTheClientAndListensAgain) {
    RelayRig rig;
    {
        FakeClient client(rig.port());
        ASSERT_TRUE(WaitFor([&] { return rig.relay.ServerConnected(); }));
        rig.game.last()->disconnectFromHost();
        ASSERT_TRUE(WaitFor([&] { return client.closed; }));
        EXPECT_FALSE(rig.relay.ServerConnected());
        EXPECT_FALSE(rig.hooks.modes.empty());
        EXPECT_FALSE(rig.hooks.modes.back()); // tracing went off
        EXPECT_EQ(rig.hooks.statuses.back(), " mccp: none");
        EXPECT_TRUE(rig.Logged("CSDisconnect:Disable server socket"));
        EXPECT_TRUE(rig.Logged("CSDisconnect:Enable server socket"));
    }
    EXPECT_TRUE(rig.relay.Listening());
    FakeClient second(rig.port());
    ASSERT_TRUE(second.WaitReceived(kWelcome));
    ASSERT_TRUE(WaitFor([&] { return rig.game.conns.size() == 2 && rig.relay.ServerConnected(); }));
}

TEST(Relay, ClientCloseClosesTheServerConnection) {
    RelayRig rig;
    auto client = std::make_unique<FakeClient>(rig.port());
    ASSERT_TRUE(WaitFor([&] { return rig.relay.ServerConnected(); }));
    client->socket.disconnectFromHost();
    ASSERT_TRUE(WaitFor([&] { return rig.game.disconnects == 1; }));
    EXPECT_FALSE(rig.relay.ClientConnected());
    EXPECT_FALSE(rig.relay.ServerConnected());
    EXPECT_TRUE(rig.Logged("SSClientDisconnect"));
    EXPECT_TRUE(rig.Logged("SSClientDisconnect:Closing client socket"));
    EXPECT_TRUE(rig.relay.Listening());
}

// A game whose accept queue is full: the relay's connection to it waits for an answer.
struct GameNotAnswering {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    std::vector<int> queued;
    quint16 port = 0;
    GameNotAnswering() {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&a), len) != 0 || ::listen(fd, 0) != 0 ||
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0)
            return;
        port = ntohs(a.sin_port);
        // Fill the queue: later connections are not answered until it has room again.
        for (int i = 0; i < 3; ++i) {
            const int c = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            ::connect(c, reinterpret_cast<sockaddr*>(&a), sizeof a);
            sockaddr_in own{};
            socklen_t ownLen = sizeof own;
            ::getsockname(c, reinterpret_cast<sockaddr*>(&own), &ownLen);
            fillers.push_back(ntohs(own.sin_port));
            queued.push_back(c);
        }
    }
    // Takes every connection waiting to be accepted; how many of them were not the fillers'.
    int AcceptAll() {
        int n = 0;
        for (;;) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 0) != 1) return n;
            sockaddr_in peer{};
            socklen_t len = sizeof peer;
            const int c = ::accept(fd, reinterpret_cast<sockaddr*>(&peer), &len);
            if (c < 0) return n;
            queued.push_back(c);
            n += std::find(fillers.begin(), fillers.end(), ntohs(peer.sin_port)) == fillers.end();
        }
    }
    std::vector<quint16> fillers;
    ~GameNotAnswering() {
        for (int c : queued)
            ::close(c);
        ::close(fd);
    }
};

TEST(Relay, AClientGoneBeforeTheGameAnsweredLeavesNoConnectionToTheGame) {
    GameNotAnswering game;
    ASSERT_NE(game.port, 0);
    profile::WorldProfile profile;
    relay::DebugLog log;
    RecordingHooks hooks;
    relay::Relay relay{log, hooks, profile};
    hooks.relay = &relay;
    log.DebugActiv = true;
    relay.SetListenPort(0);
    relay.SetServer("127.0.0.1", game.port);
    ASSERT_TRUE(relay.ActivateListener());
    {
        FakeClient client(relay.ActualListenPort());
        ASSERT_TRUE(WaitFor([&] { return relay.ClientConnected(); }));
        client.socket.disconnectFromHost();
        ASSERT_TRUE(WaitFor([&] { return !relay.ClientConnected(); }));
    }
    EXPECT_FALSE(relay.ServerConnected());
    // The game makes room in its queue: the relay's connection, had it been kept, is answered at
    // its next try (after a second) and comes up with nobody behind it.
    int late = game.AcceptAll();
    WaitFor(
        [&] {
            late += game.AcceptAll();
            return late > 0 || relay.ServerConnected();
        },
        3500);
    EXPECT_EQ(late, 0);
    EXPECT_FALSE(relay.ServerConnected());
    EXPECT_TRUE(relay.Listening());
}

TEST(Relay, UnreachableServerGivesTheErrorNoticeAndKeepsListening) {
    RelayRig rig;
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        closedPort = probe.serverPort();
    }
    rig.relay.SetServer("127.0.0.1", closedPort);
    FakeClient client(rig.port());
    ASSERT_TRUE(WaitFor([&] { return client.closed; }));
    EXPECT_EQ(client.received,
              kWelcome +
                  "\r\n\x1b[1;33m<Quarvelin>\x1b[1;31m Server communication error\x1b[0m\r\n");
    EXPECT_TRUE(rig.Logged("CSError:Close client socket"));
    EXPECT_TRUE(rig.relay.Listening());
    FakeClient again(rig.port());
    EXPECT_TRUE(again.WaitReceived(kWelcome));
}

TEST(Relay, ServerNameDigitRule) {
    RelayRig rig;
    rig.relay.SetServer("127.0.0.1", 1);
    EXPECT_EQ(rig.relay.Address(), "127.0.0.1");
    EXPECT_EQ(rig.relay.HostName(), "");
    rig.relay.SetServer("0mud.example", 1);
    EXPECT_EQ(rig.relay.HostName(), "0mud.example");
    EXPECT_EQ(rig.relay.Address(), "");
    rig.relay.SetServer("mud.example", 1);
    EXPECT_EQ(rig.relay.ServerNameForProfile(), "mud.example");

    // "localhost" is a host name and is resolved; "1ocalhost" counts as an address and,
    // not being one, fails without any lookup.
    rig.relay.SetServer("localhost", rig.game.port());
    {
        FakeClient client(rig.port());
        ASSERT_TRUE(WaitFor([&] { return rig.relay.ServerConnected(); }));
    }
    ASSERT_TRUE(WaitFor([&] { return !rig.relay.ServerConnected(); }));
    rig.relay.SetServer("1ocalhost", rig.game.port());
    FakeClient bad(rig.port());
    EXPECT_TRUE(bad.WaitReceived("Server communication error"));
}

TEST(Relay, TakenPortIsLoggedNotFatal) {
    QTcpServer squatter;
    ASSERT_TRUE(squatter.listen(QHostAddress::LocalHost, 0));
    profile::WorldProfile profile;
    relay::DebugLog log;
    bool shown = false;
    log.OnLine = [&](const std::string&, bool s) { shown = s; };
    RecordingHooks hooks;
    relay::Relay relay(log, hooks, profile);
    relay.SetListenPort(squatter.serverPort());
    EXPECT_FALSE(relay.ActivateListener());
    EXPECT_FALSE(relay.Listening());
    ASSERT_FALSE(log.Lines().empty());
    EXPECT_NE(log.Lines().back().find("Cannot listen on 127.0.0.1:"), std::string::npos);
    // ELine shows the pane even with logging off, without changing the player's setting.
    EXPECT_TRUE(shown);
    EXPECT_FALSE(log.DebugVisible);
}

TEST(DebugLog, CapsAtFiveHundredLinesAndOnlyELineWritesWhenOff) {
    relay::DebugLog log;
    size_t dropped = 0;
    log.OnTrim = [&](size_t n) { dropped += n; };
    log.DLine("ignored");
    EXPECT_TRUE(log.Lines().empty());
    log.ELine("shown");
    EXPECT_EQ(log.Lines().size(), 1u);
    log.DebugActiv = true;
    for (int i = 0; i < 700; ++i)
        log.DLine("line " + std::to_string(i));
    EXPECT_EQ(log.Lines().size(), 500u);
    EXPECT_EQ(log.Lines().back(), "line 699");
    EXPECT_EQ(log.Lines().front(), "line 200");
    EXPECT_EQ(dropped, 201u);
    log.DLine("a\r\nb"); // a text with a line break is two lines of the pane
    EXPECT_EQ(log.Lines().back(), "b");
}

TEST(Relay, AsksForTheRoomOutOfBandAndRecordsItForReplay) {
    TempDir dir;
    storage::SessionWriter writer;
    ASSERT_TRUE(writer.Open(dir / "session.txt"));
    RelayRig rig;
    rig.relay.SetRecorder(&writer);
    FakeClient client(rig.port());
    ASSERT_TRUE(WaitFor([&] { return rig.relay.ServerConnected() && rig.game.last(); }));

    const std::string willMsdp = "\xFF\xFB\x45", doMsdp = "\xFF\xFD\x45";
    const std::string report = "\xFF\xFA\x45\x01REPORT\x02ROOM\xFF\xF0";
    const std::string room = "\xFF\xFA\x45\x01ROOM\x02\x03\x01VNUM\x02"
                             "42\x01NAME\x02Hall\x01"
                             "EXITS\x02\x03\x01n\x02"
                             "43\x04\x04\xFF\xF0";
    rig.game.Send("Hi\r\n" + willMsdp);
    ASSERT_TRUE(WaitFor([&] { return rig.game.received == doMsdp + report; }));
    ASSERT_TRUE(client.WaitReceived(willMsdp));

    // The client has not answered: it gets the text without the room's subnegotiation, and
    // tracking gets the identity where it stood.
    rig.game.Send("Hall\r\n" + room + "> \xFF\xF9");
    ASSERT_TRUE(client.WaitReceived("> \xFF\xF9"));
    EXPECT_EQ(client.received, kWelcome + "Hi\r\n" + willMsdp + "Hall\r\n> \xFF\xF9");
    ASSERT_TRUE(WaitFor([&] { return !rig.hooks.identities.empty(); }));
    EXPECT_EQ(rig.hooks.translated, "Hi\r\n" + willMsdp + "Hall\r\n> \xFF\xF9");
    EXPECT_EQ(rig.hooks.identities[0].offset, ("Hi\r\n" + willMsdp + "Hall\r\n").size());
    EXPECT_EQ(rig.hooks.identities[0].identity.id, "42");
    EXPECT_TRUE(rig.Logged("MSDP ROOM: 42 Hall []"));

    // Its late DO is swallowed (the game heard the program's), its command goes on; from then
    // on it gets the subnegotiations too.
    client.Send(doMsdp + "look\r\n");
    ASSERT_TRUE(WaitFor([&] { return rig.game.received == doMsdp + report + "look\r\n"; }));
    rig.game.Send(room + "end");
    ASSERT_TRUE(client.WaitReceived(room + "end"));
    ASSERT_TRUE(WaitFor([&] { return rig.hooks.identities.size() == 2; }));
    rig.relay.SetRecorder(nullptr);
    writer.Close();

    // The recording holds the game's stream whole, so a replay finds what the live run found.
    const storage::SessionReadResult read =
        storage::ReadSession(TempDir::Read(dir / "session.txt"));
    ASSERT_TRUE(read.ok()) << read.error;
    std::string recorded;
    for (const auto& rec : read.records)
        if (rec.kind == 'S') recorded += rec.bytes;
    EXPECT_EQ(recorded, "Hi\r\n" + willMsdp + "Hall\r\n" + room + "> \xFF\xF9" + room + "end");
    profile::WorldProfile profile;
    relay::DebugLog log;
    RecordingHooks again;
    relay::Relay replay(log, again, profile);
    again.relay = &replay;
    replay.BeginReplay();
    for (const auto& rec : read.records)
        replay.Replay(rec);
    EXPECT_EQ(again.translated, rig.hooks.translated);
    ASSERT_EQ(again.identities.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(again.identities[i].offset, rig.hooks.identities[i].offset);
        EXPECT_EQ(again.identities[i].identity, rig.hooks.identities[i].identity);
    }
    EXPECT_TRUE(replay.OutOfBandState().ClientAccepted(69));
}
