// The settings dialog's values without the dialog: filling, the checks before OK, applying in
// order, and the whole-profile write that remembers the open zone.

#include "app/core/ConfigSettings.h"
#include "app/core/Session.h"
#include "files/IniFile.h"
#include "files/SessionFile.h"
#include "support/FakePeers.h"
#include "support/TempDir.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

struct QuietUi : app::AppUi {
    void SetCaption(const std::string&) override {}
    void SetTracing(bool) override {}
    void SetMccpStatus(const std::string&) override {}
    void ShowError(const std::string&) override {}
    void Repaint() override {}
    bool CollectWindowPlace(int&, int&, int&, int&) override { return false; }
};

struct RecordingConfigUi : app::ConfigUi {
    std::vector<std::string> calls;
    void ShowInformation(const std::string& m) override { calls.push_back("info " + m); }
    void PanelChanged() override { calls.push_back("panel"); }
    void TransparencyMenu(bool on) override { calls.push_back(on ? "menu on" : "menu off"); }
    void SkinFileChanged() override { calls.push_back("skin"); }
    void SettingsApplied() override { calls.push_back("applied"); }
};

// A world "W" listening on a free port, its profile as given.
struct World {
    TempDir dir;
    QuietUi ui;
    std::unique_ptr<app::Session> session;
    explicit World(const std::string& profile = "[Connect]\r\nClient Port=0\r\n") {
        TempDir::Write(dir.path() / "Maps" / "W" / "local.ini", profile);
        session = std::make_unique<app::Session>(app::Session::Options{dir.path(), "W", false}, ui);
        session->Start();
        session->FirstActivation();
    }
    std::string Profile() const { return TempDir::Read(dir.path() / "Maps" / "W" / "local.ini"); }
};

} // namespace

TEST(ConfigRules, FieldsAndCounts) {
    EXPECT_EQ(app::DigitsOnly("1a2 b"), "12");
    EXPECT_EQ(app::ParsePort("4000"), 4000);
    EXPECT_EQ(app::ParsePort("0"), 0);
    EXPECT_EQ(app::ParsePort("65535"), 65535);
    EXPECT_EQ(app::ParsePort(""), std::nullopt);
    EXPECT_EQ(app::ParsePort("65536"), std::nullopt);
    EXPECT_EQ(app::ParsePort("40 0"), std::nullopt);

    // How often the multiplier halves before it is 1 or less, within the five choices.
    EXPECT_EQ(app::ScrollMultIndex(1), 0);
    EXPECT_EQ(app::ScrollMultIndex(2), 1);
    EXPECT_EQ(app::ScrollMultIndex(3), 1);
    EXPECT_EQ(app::ScrollMultIndex(16), 4);
    EXPECT_EQ(app::ScrollMultIndex(1024), 4);
    EXPECT_EQ(app::ScrollMultIndex(0), 0);
    EXPECT_EQ(app::ScrollMultIndex(-8), 0);

    // Steps per burst: at least 1 or else 5; the longest walk: at least 10.
    EXPECT_EQ(app::StepCount("0", 10, 1, 5), 5);
    EXPECT_EQ(app::StepCount("3", 10, 1, 5), 3);
    EXPECT_EQ(app::StepCount("", 7, 1, 5), 7);
    EXPECT_EQ(app::StepCount("", 0, 1, 5), 5); // a 0 read from the file is corrected too
    EXPECT_EQ(app::StepCount("7", 100, 10, 10), 10);
    EXPECT_EQ(app::StepCount("250", 100, 10, 10), 250);

    EXPECT_EQ(app::MemoLines("a\r\nb\n\nc\r\n"), (std::vector<std::string>{"a", "b", "", "c"}));
    EXPECT_TRUE(app::MemoLines("").empty());
    EXPECT_EQ(app::MemoText({"a", "b"}), "a\r\nb");
    EXPECT_EQ(app::WithCrLf("a\nb\r\nc\n"), "a\r\nb\r\nc\r\n");
}

TEST(ConfigApply, EveryValueReachesTheSettingsTheProfileAndTheFiles) {
    World w;
    app::Session& s = *w.session;
    app::ConfigValues v = app::FillConfig(s);
    EXPECT_FALSE(v.connectionOpen);
    EXPECT_EQ(v.serverPort, "4000");
    EXPECT_EQ(v.speedWalkLength, "10");
    EXPECT_EQ(v.scrollMultIndex, 1);
    EXPECT_EQ(v.texture, 0);
    EXPECT_EQ(v.exitWords[profile::kEast], "E");
    EXPECT_EQ(app::CheckConfig(v), app::ConfigProblem::None);

    v.clientPort = "0";
    v.serverName = "  127.0.0 .1 ";
    v.serverPort = "4123";
    v.moveWords[profile::kEast] = "east";
    v.exitWords[profile::kWest] = "Z";
    v.autoexitStart = "#$1B[33m[Exits:";
    v.cantMove = {"No way.", "Closed."};
    v.darkList = {"Too dark"};
    v.leaderMove = {"leaves"};
    v.stuffTem = "Item '%1'\nweight %2";
    v.mobTem = "Mob %1";
    v.requestCommand = "identify";
    v.speedWalkLength = "0";
    v.maxSpeedWalkLength = "7";
    v.scrollMultIndex = 3;
    v.texture = -1;
    v.panelColor = 0x102030;
    v.showNote = true;
    v.replaceLore = false;
    v.skinFile = "other.ini";
    RecordingConfigUi ui;
    app::ApplyConfig(s, v, ui);

    // The server field is written back without blanks; a leading digit makes it an address.
    EXPECT_EQ(v.serverName, "127.0.0.1");
    EXPECT_EQ(s.Relay().Address(), "127.0.0.1");
    EXPECT_TRUE(s.Relay().HostName().empty());
    EXPECT_EQ(s.Relay().ServerPort(), 4123);
    EXPECT_TRUE(s.Relay().Listening());

    const profile::WorldProfile& p = s.Profile();
    EXPECT_EQ(p.MoveWords[profile::kEast], "east");
    EXPECT_EQ(p.ExitWords[profile::kWest], "Z");
    EXPECT_EQ(p.AutoexitStartDecoded, "\x1b[33m[Exits:");
    EXPECT_EQ(p.StuffTem, "Item '%1'\r\nweight %2");
    EXPECT_EQ(p.RequestCommand, "identify");
    const storage::AppSettings& st = s.Settings();
    EXPECT_EQ(st.RequestObject, "identify");
    EXPECT_EQ(st.SpeedWalkLength, 5);
    EXPECT_EQ(st.MaxSpeedWalkLength, 10);
    EXPECT_EQ(st.ScrollMult, 8);
    EXPECT_EQ(st.PanelBitmap, -1);
    EXPECT_EQ(st.PanelColor, 0x102030);
    EXPECT_FALSE(s.Objects().replaceLore);
    // The window hears of each change at its step; the transparency stays off on this system.
    EXPECT_EQ(ui.calls,
              (std::vector<std::string>{"panel", "menu off", "panel", "skin", "applied"}));

    storage::IniFile settings(w.dir.path() / "quarvelin.ini");
    EXPECT_EQ(settings.ReadInteger("Options", "SpeedWalkLength", 0), 5);
    EXPECT_EQ(settings.ReadInteger("Options", "MaxSpeedWalkLength", 0), 10);
    EXPECT_EQ(settings.ReadInteger("Options", "ScrollMult", 0), 8);
    EXPECT_EQ(settings.ReadString("Commands", "RequestObject", ""), "identify");
    // The whole profile, lists renumbered, templates with their line breaks escaped.
    const std::string profile = w.Profile();
    for (const char* line :
         {"Server Name=127.0.0.1\r\n", "Server Port=4123\r\n", "West=Z\r\n", "East=east\r\n",
          "CantMove0=No way.\r\nCantMove1=Closed.\r\n", "[Dark]\r\nDark0=Too dark\r\n",
          "Move0=leaves\r\n", "StuffTem=Item '%1'#$0D#$0Aweight %2\r\n", "IniFile=other.ini\r\n",
          "AutoexitStart=#$1B[33m[Exits:\r\n"})
        EXPECT_NE(profile.find(line), std::string::npos) << line;
}

TEST(ConfigApply, ServerFieldsThatAreHostNames) {
    World w;
    for (const auto& [typed, host] :
         {std::pair<std::string, std::string>{" mud.example.org", "mud.example.org"},
          {"0mud", "0mud"}}) {
        app::ConfigValues v = app::FillConfig(*w.session);
        v.serverName = typed;
        RecordingConfigUi ui;
        app::ApplyConfig(*w.session, v, ui);
        EXPECT_EQ(w.session->Relay().HostName(), host);
        EXPECT_TRUE(w.session->Relay().Address().empty());
    }
}

TEST(ConfigApply, AnOpenGameConnectionKeepsItsPortsAndServer) {
    FakeGameServer game;
    World w("[Connect]\r\nClient Port=0\r\nServer Name=127.0.0.1\r\nServer Port=" +
            std::to_string(game.port()) + "\r\n");
    app::Session& s = *w.session;
    FakeClient client(s.Relay().ActualListenPort());
    ASSERT_TRUE(client.WaitConnected());
    ASSERT_TRUE(WaitFor([&] { return s.Relay().ServerConnected(); }));

    app::ConfigValues v = app::FillConfig(s);
    EXPECT_TRUE(v.connectionOpen);
    const int listenPort = s.Relay().ListenPort();
    v.clientPort = "";                  // not even looked at
    v.serverName = "elsewhere.example"; // nor this
    v.serverPort = "1";
    EXPECT_EQ(app::CheckConfig(v), app::ConfigProblem::None);
    RecordingConfigUi ui;
    app::ApplyConfig(s, v, ui);
    EXPECT_EQ(s.Relay().ListenPort(), listenPort);
    EXPECT_EQ(s.Relay().Address(), "127.0.0.1");
    EXPECT_EQ(s.Relay().ServerPort(), game.port());
    EXPECT_TRUE(s.Relay().ServerConnected());
    Pump(50);
    EXPECT_FALSE(client.closed);
    EXPECT_EQ(game.disconnects, 0);
}

TEST(ConfigApply, PortFieldsMustHoldPortNumbers) {
    World w;
    app::ConfigValues v = app::FillConfig(*w.session);
    v.clientPort = "";
    EXPECT_EQ(app::CheckConfig(v), app::ConfigProblem::ClientPort);
    v.clientPort = "4999";
    v.serverPort = "99999";
    EXPECT_EQ(app::CheckConfig(v), app::ConfigProblem::ServerPort);
    v.serverPort = "23";
    EXPECT_EQ(app::CheckConfig(v), app::ConfigProblem::None);
    // A port above 9999 read from a profile is shown whole (and kept by OK).
    World big("[Connect]\r\nClient Port=0\r\nServer Port=23456\r\n");
    app::ConfigValues b = app::FillConfig(*big.session);
    EXPECT_EQ(b.serverPort, "23456");
    RecordingConfigUi ui;
    app::ApplyConfig(*big.session, b, ui);
    EXPECT_NE(big.Profile().find("Server Port=23456\r\n"), std::string::npos);
}

TEST(ConfigApply, TheWholeProfileRemembersTheZoneOpenNow) {
    TempDir dir;
    TempDir::Write(dir.path() / "Maps" / "W" / "local.ini",
                   "[Connect]\r\nClient Port=0\r\n[Options]\r\nZone=Town\r\n");
    TempDir::Write(dir.path() / "Maps" / "W" / "Town.tk2", "");
    TempDir::Write(dir.path() / "Maps" / "W" / "Forest.tk2", "");
    {
        QuietUi ui;
        app::Session s({dir.path(), "W", false}, ui);
        s.Start();
        s.FirstActivation();
        // A zone is remembered only when its file holds a room: one room in each.
        for (const char* zone : {"Town", "Forest"}) {
            auto room = std::make_unique<map::TMudRoom2>();
            room->Hint = zone;
            s.Map().World().AddRoom(std::move(room), zone);
        }
        s.World().SwitchZone("Town", false);
        ASSERT_TRUE(s.World().nSaveWorldClick());
        s.World().SwitchZone("Forest", true);
        app::ConfigValues v = app::FillConfig(s);
        RecordingConfigUi cui;
        app::ApplyConfig(s, v, cui);
        EXPECT_NE(TempDir::Read(dir.path() / "Maps" / "W" / "local.ini").find("Zone=Forest\r\n"),
                  std::string::npos);
        s.Shutdown();
    }
    QuietUi ui;
    app::Session s({dir.path(), "W", false}, ui);
    s.Start();
    s.FirstActivation();
    EXPECT_EQ(s.ZoneName(), "Forest");
    s.Shutdown();
}

// The settings' "record sessions": on, the relay's traffic goes to a file named by the date in
// the world's directory from then on; off, the file is closed (and stays readable).
TEST(ConfigApply, RecordingSessionsStartsAndStopsAFileInTheWorldsDirectory) {
    World w;
    app::Session& s = *w.session;
    auto sessions = [&] {
        std::vector<std::filesystem::path> found;
        for (const auto& e : std::filesystem::directory_iterator(w.dir.path() / "Maps" / "W"))
            if (e.path().extension() == ".session") found.push_back(e.path());
        return found;
    };
    EXPECT_TRUE(sessions().empty());
    RecordingConfigUi ui;
    app::ConfigValues v = app::FillConfig(s);
    EXPECT_FALSE(v.recordSessions);
    v.recordSessions = true;
    app::ApplyConfig(s, v, ui);
    ASSERT_TRUE(s.Recorder().Recording());
    ASSERT_EQ(sessions().size(), 1u);
    const std::string name = sessions()[0].filename().string();
    EXPECT_TRUE(QRegularExpression("^session-\\d{4}-\\d\\d-\\d\\d-\\d{6}\\.session$")
                    .match(QString::fromStdString(name))
                    .hasMatch())
        << name;
    EXPECT_NE(TempDir::Read(w.dir.path() / "quarvelin.ini").find("RecordSessions=1"),
              std::string::npos);

    v.recordSessions = false;
    app::ApplyConfig(s, v, ui);
    EXPECT_FALSE(s.Recorder().Recording());
    const storage::SessionReadResult r = storage::ReadSession(TempDir::Read(sessions()[0]));
    EXPECT_TRUE(r.ok()) << r.error; // a whole file (the walks record through the relay)
}
