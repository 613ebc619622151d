#include "app/core/DataDir.h"
#include "app/core/Session.h"
#include "files/IniFile.h"
#include "support/FakePeers.h"
#include "support/TempDir.h"
#include "text/Cp1251.h"
#include "world/ObjectBase.h"

#include <gtest/gtest.h>

namespace {

struct FakeUi : app::AppUi {
    std::string caption;
    std::vector<bool> tracing;
    std::string status;
    std::vector<std::string> errors;
    bool normal = true;
    void SetCaption(const std::string& c) override { caption = c; }
    void SetTracing(bool on) override { tracing.push_back(on); }
    void SetMccpStatus(const std::string& t) override { status = t; }
    void ShowError(const std::string& m) override { errors.push_back(m); }
    void Repaint() override {}
    bool CollectWindowPlace(int& top, int& left, int& height, int& width) override {
        top = 11, left = 22, height = 333, width = 444;
        return normal;
    }
};

std::string W(const char* utf8) {
    return text::FromUnicode(QString::fromUtf8(utf8));
}

void WriteProfile(const TempDir& dir, const std::string& worldUtf8, quint16 server) {
    TempDir::Write(dir.path() / "Maps" / worldUtf8 / "local.ini",
                   "[Connect]\r\nClient Port=0\r\nServer Name=127.0.0.1\r\nServer Port=" +
                       std::to_string(server) + "\r\n");
}

} // namespace

TEST(Session, StartsWithoutAWorldOnTheBuiltInPort) {
    TempDir dir;
    FakeUi ui;
    app::Session s({dir.path(), "", false}, ui);
    s.Start();
    EXPECT_EQ(s.Relay().ListenPort(), 4000);
    ASSERT_FALSE(ui.tracing.empty());
    EXPECT_FALSE(ui.tracing.back());
    s.FirstActivation();
    EXPECT_TRUE(s.WorldName().empty());
    EXPECT_TRUE(ui.errors.empty());
}

TEST(Session, ListensOnlyOnceTheWorldsProfileHasToldThePort) {
    // Another program holding the built-in port must not matter to a world that uses another.
    QTcpServer squatter;
    const bool squatting = squatter.listen(QHostAddress::LocalHost, 4000);
    TempDir dir;
    FakeGameServer game;
    WriteProfile(dir, "World", game.port());
    TempDir::Write(dir.path() / "quarvelin.ini", "[Options]\r\nDebugActiv=1\r\n");
    FakeUi ui;
    app::Session s({dir.path(), "World", false}, ui);
    s.Start();
    EXPECT_FALSE(s.Relay().Listening()) << "listening before the profile was read";
    s.FirstActivation();
    ASSERT_TRUE(s.Relay().Listening());
    EXPECT_NE(s.Relay().ActualListenPort(), 4000);
    EXPECT_EQ(s.Log().Text().find("Cannot listen"), std::string::npos) << squatting;
}

TEST(Session, LoadsACyrillicWorldFromTheFirstRunAndWritesSettingsBack) {
    TempDir dir;
    FakeGameServer game;
    WriteProfile(dir, "Тест", game.port());
    FakeUi ui;
    app::Session s({dir.path(), W("Тест"), false}, ui);
    s.Start();
    s.FirstActivation();
    EXPECT_EQ(s.WorldName(), W("Тест"));
    EXPECT_EQ(text::ToUnicode(ui.caption), QString::fromUtf8("[Тест.Новая зона] Quarvelin v. ") +
                                               QString::fromStdString(relay::VersionText()));
    EXPECT_TRUE(s.Relay().Listening());
    EXPECT_NE(s.Relay().ActualListenPort(), 4000);
    storage::IniFile settings(dir.path() / "quarvelin.ini");
    EXPECT_EQ(settings.ReadString("Options", "World", ""), W("Тест"));
    EXPECT_EQ(settings.ReadInteger("Window", "Width", 0), 444);
    // The settings write after loading adds only the skin choice and the lock list.
    std::string profile = TempDir::Read(dir.path() / "Maps" / "Тест" / "local.ini");
    EXPECT_NE(profile.find("[Skin]\r\nCurrentSkin=0\r\n"), std::string::npos);
    EXPECT_EQ(profile.find("NoDoubleYa"), std::string::npos);
}

TEST(Session, MissingWorldIsReportedOrCreated) {
    TempDir dir;
    FakeUi ui;
    app::Session gui({dir.path(), "Gone", false}, ui);
    gui.Start();
    gui.FirstActivation();
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_NE(ui.errors[0].find("<Gone>"), std::string::npos);
    EXPECT_TRUE(gui.WorldName().empty());

    FakeUi ui2;
    app::Session headless({dir.path(), "New", true}, ui2);
    headless.Start();
    headless.FirstActivation();
    EXPECT_TRUE(ui2.errors.empty());
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "Maps" / "New"));
}

TEST(Session, TemplateProfileIsUsedWhenTheWorldHasNone) {
    TempDir dir;
    TempDir::Write(dir.path() / "local.ini",
                   "[Exits]\r\nNorth=С\r\n[Connect]\r\nClient Port=0\r\n");
    std::filesystem::create_directories(dir.path() / "Maps" / "W");
    FakeUi ui;
    app::Session s({dir.path(), "W", false}, ui);
    s.Start();
    s.FirstActivation();
    EXPECT_EQ(s.Profile().ExitWords[0], "С");
    // The world's own file now exists: the template's keys with the skin choice written in ...
    const std::string own = TempDir::Read(dir.path() / "Maps" / "W" / "local.ini");
    EXPECT_NE(own.find("North=С\r\n"), std::string::npos) << own;
    EXPECT_NE(own.find("[Skin]\r\nCurrentSkin=0\r\n"), std::string::npos) << own;
    // ... so the next load reads the same profile, not the defaults.
    s.ReadIniFile();
    EXPECT_EQ(s.Profile().ExitWords[0], "С");
    // The template itself is left as it was.
    EXPECT_EQ(TempDir::Read(dir.path() / "local.ini"),
              "[Exits]\r\nNorth=С\r\n[Connect]\r\nClient Port=0\r\n");
}

TEST(Session, InstalledTemplateProfileIsUsedWhenTheDataDirectoryHasNone) {
    TempDir dir;
    const auto data = dir.path() / "data", shared = dir.path() / "usr" / "share" / "quarvelin";
    TempDir::Write(shared / "local.ini", "[Exits]\r\nNorth=С\r\n[Connect]\r\nClient Port=0\r\n");
    std::filesystem::create_directories(data / "Maps" / "W");
    std::filesystem::create_directories(data / "Maps" / "V");
    {
        FakeUi ui;
        app::Session s({data, "W", false, shared}, ui);
        s.Start();
        s.FirstActivation();
        EXPECT_EQ(s.Profile().ExitWords[0], "С");
    }
    // The data directory's own template wins over the installed one.
    TempDir::Write(data / "local.ini", "[Exits]\r\nNorth=Н\r\n[Connect]\r\nClient Port=0\r\n");
    FakeUi ui;
    app::Session s({data, "V", false, shared}, ui);
    s.Start();
    s.FirstActivation();
    EXPECT_EQ(s.Profile().ExitWords[0], "Н");

    // Installed programs look beside their own directory, wherever the package was unpacked.
    EXPECT_EQ(app::SharedDataDir("/opt/q/usr/bin"),
              std::filesystem::path("/opt/q/usr/share/quarvelin"));
    EXPECT_EQ(app::SharedDataDir(""), std::filesystem::path());
}

TEST(Session, TracingNoticesOnlyOnChangeAndOnlyWhileRelaying) {
    TempDir dir;
    FakeGameServer game;
    WriteProfile(dir, "W", game.port());
    FakeUi ui;
    app::Session s({dir.path(), "W", false}, ui);
    s.Start();
    s.FirstActivation();
    s.ModeClick(true); // no client: no notice, but the switch is on
    EXPECT_TRUE(s.Tracing());
    s.ModeClick(false);

    FakeClient client(s.Relay().ActualListenPort());
    ASSERT_TRUE(WaitFor([&] { return s.Relay().ServerConnected(); }));
    const std::string on = "\r\n\x1b[1;33m<Quarvelin> : Tracing now \x1b[1;32mON\x1b[0m\r\n";
    const std::string off = "\r\n\x1b[1;33m<Quarvelin> : Tracing now \x1b[1;31mOFF\x1b[0m\r\n";
    s.ModeClick(true);
    s.ModeClick(true);
    s.ModeClick(false);
    s.ModeClick(false);
    ASSERT_TRUE(client.WaitReceived(off));
    Pump(50);
    std::string after = client.received.substr(client.received.find("online"));
    EXPECT_EQ(after.substr(after.find("\r\n") + 2), on + off);
    EXPECT_EQ(ui.tracing.back(), false);

    // Reading the profile again drops both connections and listens anew.
    s.ReadIniFile();
    ASSERT_TRUE(WaitFor([&] { return client.closed; }));
    EXPECT_FALSE(s.Relay().ServerConnected());
    EXPECT_TRUE(s.Relay().Listening());
}

TEST(Session, AppExceptionShowsTheLocalisedMessageOrResetsSilently) {
    TempDir dir;
    FakeUi ui;
    app::Session s({dir.path(), "", false}, ui);
    s.Start();
    s.Log().DebugActiv = true;
    s.AppException("boom");
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0], "boom \r\n" + W("Ошибка. Ну и хрен с ней."));
    EXPECT_EQ(s.Log().Lines().back(), "Error:(0) Error: boom");
    s.AppException("Socket Error # 10054");
    EXPECT_EQ(ui.errors.size(), 1u);
    EXPECT_TRUE(s.Relay().Listening());
}

TEST(Session, ShutdownSavesTheDebugLogOnlyWhenLogging) {
    TempDir dir;
    FakeUi ui;
    {
        app::Session s({dir.path(), "", false}, ui);
        s.Start();
        s.Shutdown();
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "tkdebug.log"));
    TempDir::Write(dir.path() / "quarvelin.ini", "[Options]\r\nDebugActiv=1\r\n");
    ui.normal = false;
    app::Session s({dir.path(), "", false}, ui);
    s.Start();
    s.Log().DLine("hello");
    s.Shutdown();
    EXPECT_NE(TempDir::Read(dir.path() / "tkdebug.log").find("hello\r\n"), std::string::npos);
    EXPECT_FALSE(storage::IniFile(dir.path() / "quarvelin.ini").Find("Window", "Top").has_value());
}

TEST(Session, ReportsAreFiledAndABrokenPathRuleIsReportedOnce) {
    TempDir dir;
    FakeUi ui;
    app::Session s({dir.path(), "", false}, ui);
    s.Start();
    s.Profile().StuffTem = W("Вы узнали следующее:") + "\r\n" + W("Предмет \"/$\"") + "\r\n";
    s.Profile().StuffSeq = "1";
    const std::string report =
        "\r\n" + W("Вы узнали следующее:") + "\r\n" + W("Предмет \"меч\"") + "\r\nrest\r\n";
    s.TranslateCmd(report, {}, false, {}); // tracing is off: tells and reports are still taken
    const auto& roots = s.Objects().Tree().Roots();
    ASSERT_EQ(roots.size(), 1u);
    EXPECT_EQ(roots[0]->Title(), W("Предметы"));
    ASSERT_EQ(roots[0]->Children().size(), 1u);
    EXPECT_EQ(roots[0]->Children()[0]->Title(), W("меч"));

    s.Profile().StuffSeq = "1,x";
    EXPECT_THROW(s.TranslateCmd(report, {}, false, {}), std::runtime_error);
    EXPECT_NO_THROW(s.TranslateCmd(report, {}, false, {}));
    s.Profile().StuffSeq = "1,y";
    EXPECT_THROW(s.TranslateCmd(report, {}, false, {}), std::runtime_error);
}

TEST(Session, GroupTellReachesTheGameWithEveryYaDoubledWhateverAddDoubleYaSays) {
    TempDir dir;
    FakeGameServer game;
    WriteProfile(dir, "W", game.port());
    FakeUi ui;
    app::Session s({dir.path(), "W", false}, ui);
    s.Start();
    s.FirstActivation();
    ASSERT_FALSE(s.Profile().AddDoubleYa);
    FakeClient client(s.Relay().ActualListenPort());
    ASSERT_TRUE(WaitFor([&] { return s.Relay().ServerConnected(); }));

    storage::ObjectTree& tree = s.Objects().Tree();
    storage::ObjectNode* node = tree.Add(tree.Add(nullptr, W("Предметы")), W("меч я"));
    node->TextList() = {W("Вес: я")};
    s.Objects().Select(node);
    s.Objects().nGroupTellClick();
    const std::string gg = W("гг") + " ->>";
    const std::string wire = gg + "Quarvelin objecs base <begin> (v.2)\r\n" + gg +
                             W("Предметы.меч яя") + "\r\n" + gg + W("Вес: яя") + "\r\n" + gg +
                             "Quarvelin objecs base <end> (v.2)\r\n";
    ASSERT_TRUE(WaitFor([&] { return game.received.find(wire) != std::string::npos; }))
        << game.received;
    // No single 0xFF anywhere: the game would read it as a telnet command.
    const std::string& got = game.received;
    for (std::size_t at = got.find('\xFF'); at != std::string::npos; at = got.find('\xFF', at + 2))
        ASSERT_TRUE(at + 1 < got.size() && got[at + 1] == '\xFF') << "single IAC at " << at;
}
