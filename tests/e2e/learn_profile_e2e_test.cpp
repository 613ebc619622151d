// `quarvelin --learn-profile`: the demo game learnt from a short walk recorded through the real
// program, and the proof that counts: a long walk of the game, replayed with the learnt profile,
// makes the map its hand-written profile made. Then what the command says of files it cannot
// use, and of sessions it cannot learn from.

#include "DemoWalker.h"
#include "E2eSupport.h"
#include "files/SessionFile.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out, err;
};

Outcome Quarvelin(const QStringList& args) {
    QProcess p;
    p.start(QuarvelinBinary(), args);
    Outcome r;
    if (!p.waitForFinished(60000)) return r;
    r.out = p.readAllStandardOutput().toStdString();
    r.err = p.readAllStandardError().toStdString();
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return r;
}

QString Q(const fs::path& p) {
    return QString::fromStdString(p.string());
}

std::string W(const char* utf8) {
    return text::FromUnicode(QString::fromUtf8(utf8));
}

TEST(LearnProfileE2e, TheDemoLearntFromAShortWalkMapsALongWalkAsItsOwnProfileDoes) {
    const DemoWorld world = DemoWorld::Load();
    // A look and five moves through the real program, recorded.
    DemoRig shortWalk(2);
    {
        ScriptedClient client(shortWalk.clientPort);
        ASSERT_TRUE(client.Connected());
        ASSERT_TRUE(client.WaitPrompts(1)) << shortWalk.output;
        Walker walk{world, client, world.start, {world.start}, {}, {}};
        ASSERT_TRUE(client.Send({"look"}));
        for (int i = 0; i < 5; ++i)
            ASSERT_TRUE(walk.Step(walk.PathToUnvisited().front()));
    }
    ASSERT_TRUE(shortWalk.Stop()) << shortWalk.output;

    // To standard output: the profile's own format, the demo's markers as escapes.
    const Outcome learnt = Quarvelin({"--learn-profile", Q(shortWalk.Session())});
    ASSERT_EQ(learnt.status, 0) << learnt.err;
    for (const std::string& line :
         {std::string("[Messages]\r\n"), std::string("RoomNameStart=#$1B[1;36m\r\n"),
          std::string("AutoexitStart=#$1B[36m[ Exits:\r\n"),
          std::string("AutoexitEnd=]#$0D#$0A\r\n"), "PromptExitStart=" + W("Вых:") + "\r\n",
          std::string("PromptExitEnd=>\r\n"), std::string("UsePromptExit=0\r\n"),
          std::string("[Exits]\r\n"), std::string("Look=look\r\n")})
        EXPECT_NE(learnt.out.find(line), std::string::npos) << line << "\n" << learnt.out;
    EXPECT_EQ(learnt.out.find("[Connect]"), std::string::npos) << learnt.out;
    EXPECT_NE(learnt.err.find("they recognise"), std::string::npos) << learnt.err;

    // A long walk with the test's profile, the map it makes live.
    DemoRig longWalk(2);
    {
        ScriptedClient client(longWalk.clientPort);
        ASSERT_TRUE(client.Connected());
        ASSERT_TRUE(client.WaitPrompts(1));
        Walker walk{world, client, world.start, {world.start}, {}, {}};
        ASSERT_TRUE(client.Send({"look"}));
        ASSERT_TRUE(walk.RandomWalk(3));
        ASSERT_GE(walk.moves, 50);
    }
    ASSERT_TRUE(longWalk.Stop()) << longWalk.output;

    // The learnt keys written into a player's profile that knows the server and the dark (the
    // short walk never saw it), and the long walk replayed with it.
    TempDir player;
    const fs::path profile = player.path() / "Maps" / "Demo" / "local.ini";
    TempDir::Write(profile, "[Connect]\r\nServer Name=127.0.0.1\r\nServer Port=4000\r\n[Dark]\r\n"
                            "Dark0=" +
                                W("Здесь темно...") + "\r\n");
    const Outcome written =
        Quarvelin({"--learn-profile", Q(shortWalk.Session()), "--out", Q(profile)});
    ASSERT_EQ(written.status, 0) << written.err;
    EXPECT_TRUE(written.out.empty());
    const std::string bytes = TempDir::Read(profile);
    EXPECT_NE(bytes.find("Server Port=4000\r\n"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("Dark0=" + W("Здесь темно...")), std::string::npos) << bytes;
    const Outcome replay = Quarvelin(
        {"--replay", Q(longWalk.Session()), "--data-dir", Q(player.path()), "--world", "Demo"});
    ASSERT_EQ(replay.status, 0) << replay.err;
    const auto live = DemoRig::ZoneFiles(longWalk.dir.path() / "Maps" / "Demo");
    const auto replayed = DemoRig::ZoneFiles(player.path() / "Maps" / "Demo");
    ASSERT_FALSE(live.empty());
    EXPECT_TRUE(live == replayed) << live.size() << " zone files live, " << replayed.size()
                                  << " with the learnt profile";
}

TEST(LearnProfileE2e, SaysWhatItCannotUseAndWritesNothingThen) {
    TempDir dir;
    // A session of a game without an exit line: nothing that recognises rooms.
    std::string bare(storage::kSessionHeader);
    const char* rooms[] = {"Hall A", "Hall B", "Hall C"};
    storage::AppendSessionRecord(bare, 'S', 0, "Welcome!\r\n");
    for (int i = 0; i < 3; ++i) {
        storage::AppendSessionRecord(bare, 'C', 10 * i + 1, i == 0 ? "look\r\n" : "e\r\n");
        storage::AppendSessionRecord(bare, 'S', 10 * i + 2,
                                     std::string(rooms[i]) + "\r\nA bare stone hall.\r\n");
    }
    TempDir::Write(dir / "bare.session", bare);
    Outcome r =
        Quarvelin({"--learn-profile", Q(dir / "bare.session"), "--out", Q(dir / "out.ini")});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("missing: no line lists the rooms' exits"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("missing: the room names have no colour"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir / "out.ini"));

    // No file, and a file that is no session.
    r = Quarvelin({"--learn-profile", Q(dir / "none.session")});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Cannot read the session file"), std::string::npos) << r.err;
    TempDir::Write(dir / "local.ini", "[Options]\r\nZone=x\r\n");
    r = Quarvelin({"--learn-profile", Q(dir / "local.ini")});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("not a Quarvelin session file"), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty());
    r = Quarvelin({"--learn-profile"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--learn-profile needs a value"), std::string::npos) << r.err;
}

TEST(LearnProfileE2e, ADamagedSessionIsLearntUpToTheDamageAndSaysSo) {
    TempDir dir;
    // A coloured game with an exit line, then a record cut short.
    std::string bytes(storage::kSessionHeader);
    const char* names[] = {"Hall A", "Hall B", "Hall C", "Hall D"};
    const char* exits[] = {"E", "W E", "W E", "W"};
    storage::AppendSessionRecord(bytes, 'S', 0, "Welcome!\r\n> ");
    for (int i = 0; i < 4; ++i) {
        storage::AppendSessionRecord(bytes, 'C', 10 * i + 1, i == 0 ? "look\r\n" : "e\r\n");
        storage::AppendSessionRecord(bytes, 'S', 10 * i + 2,
                                     "\x1b[1;33m" + std::string(names[i]) +
                                         "\x1b[0m\r\nA bare stone hall.\r\n[ Exits: " + exits[i] +
                                         " ]\r\n> ");
    }
    TempDir::Write(dir / "cut.session", bytes + "S 90 500\r\nHall E");
    Outcome r = Quarvelin({"--learn-profile", Q(dir / "cut.session")});
    EXPECT_EQ(r.status, 3) << r.err;
    EXPECT_NE(r.err.find("is cut short"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("learning from the 9 records before it"), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("RoomNameStart=#$1B[1;33m\r\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("AutoexitStart=[ Exits:\r\n"), std::string::npos) << r.out;

    // A profile that cannot be written.
    TempDir::Write(dir / "file", "x");
    r = Quarvelin(
        {"--learn-profile", Q(dir / "cut.session"), "--out", Q(dir / "file" / "local.ini")});
    EXPECT_EQ(r.status, 4) << r.err;
    EXPECT_NE(r.err.find("Cannot write the profile"), std::string::npos) << r.err;
}

} // namespace
