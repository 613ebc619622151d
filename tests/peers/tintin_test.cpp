// A real MUD client, tintin++, through Quarvelin to the demo game: the player sees the game,
// and walking maps it.

#include "e2e/E2eSupport.h"
#include "files/Paths.h"
#include "files/ZoneFile.h"
#include "profile/WorldProfile.h"

#include <QFile>
#include <gtest/gtest.h>

TEST(TintinE2e, RealClientWalksAndTheMapFollows) {
    const QString tintin = "/usr/games/tt++";
    if (!QFile::exists(tintin)) GTEST_SKIP() << "tintin++ is not installed";
    DemoRig rig(2);
    const auto log = rig.dir.path() / "session.log";
    const auto script = rig.dir.path() / "walk.tin";
    TempDir::Write(script, "#config {log mode} {plain}\n"
                           "#event {SESSION CONNECTED} {#log {overwrite} {" +
                               log.string() +
                               "}}\n"
                               "#event {SESSION DISCONNECTED} {#end}\n"
                               "#session game 127.0.0.1 " +
                               std::to_string(rig.clientPort) +
                               "\n"
                               "#delay {1} {look}\n"
                               "#delay {2} {n}\n"
                               "#delay {3} {e}\n"
                               "#delay {4} {s}\n"
                               "#delay {5} {w}\n"
                               "#delay {6.5} {#end}\n");
    QProcess client;
    client.setWorkingDirectory(QString::fromStdString(rig.dir.path().string()));
    client.start("timeout",
                 {"20", tintin, "-G", "-T", "-H", QString::fromStdString(script.string())});
    client.closeWriteChannel();
    ASSERT_TRUE(client.waitForFinished(30000));
    ASSERT_TRUE(rig.Stop()) << rig.output;

    // The client's log is plain text in the game's code page.
    QString seen = text::ToUnicode(TempDir::Read(log));
    EXPECT_TRUE(seen.contains(QString::fromUtf8("Центральная площадь")));
    EXPECT_TRUE(seen.contains(QString::fromUtf8("Колодец")));
    EXPECT_TRUE(seen.contains("Tracing now ON"));
    EXPECT_FALSE(seen.contains("Tracing now OFF"));

    // The loop around the square: four rooms, linked all the way round.
    profile::WorldProfile profile;
    auto files = storage::ListZoneFiles(rig.dir.path() / "Maps" / "Demo");
    ASSERT_EQ(files.size(), 1u);
    storage::ZoneReadResult zone = storage::ReadZoneFile(files[0], profile);
    ASSERT_TRUE(zone.ok()) << zone.LogLine();
    ASSERT_EQ(zone.rooms.size(), 4u);
    for (const auto& r : zone.rooms)
        EXPECT_EQ(int(r.ChN) + r.ChS + r.ChE + r.ChW, 2) << r.Hint;
}
