// A world made for a game from its family's profile maps that game at once: the new-world
// operation writes the profile with the server chosen, and the family's walk replayed on the
// new world is mapped right.

#include "families/FamilyReplay.h"
#include "families/FamilyStyle.h"
#include "support/FakeWorldUi.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using namespace families;

} // namespace

TEST(NewWorldFromAProfile, IsTheFamilysProfileWithItsServerAndMapsTheWalk) {
    WorldEnv e;
    e.ui.choices = {std::string("Smaug")};
    e.ui.game = storage::NewWorldGame{ShippedProfile("smaug"), {"smaug.example.org", 4321}};
    e.store.nNewWorldClick();
    ASSERT_EQ(e.store.WorldName(), "Smaug");
    const fs::path world = e.dir.path() / "Maps" / "Smaug";

    // Every key the family's profile has, the server as chosen.
    const storage::IniFile shipped(ShippedProfile("smaug")), made(world / "local.ini");
    for (const std::string& section : shipped.ReadSections())
        for (const std::string& key : shipped.ReadSection(section)) {
            if (section == "Connect" && (key == "Server Name" || key == "Server Port")) continue;
            EXPECT_EQ(made.ReadString(section, key, "?"), shipped.ReadString(section, key, ""))
                << section << "/" << key;
        }
    EXPECT_EQ(made.ReadString("Connect", "Server Name", ""), "smaug.example.org");
    EXPECT_EQ(made.ReadInteger("Connect", "Server Port", 0), 4321);
    EXPECT_EQ(e.profile.RoomNameStart, "#$1B[1;37m"); // the world loaded it

    // The game's walk, replayed on the world just made.
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QuarvelinBinary(),
            {"--replay", QString::fromStdString((DataDir() / "smaug" / "walk.session").string()),
             "--data-dir", QString::fromStdString(e.dir.path().string()), "--world", "Smaug"});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAll().toStdString();
    const Town town = Town::Load(DataDir() / "world.txt");
    const SavedMap saved = SavedMap::Load(world);
    const WalkFigures f = CheckWalk(PlanOf(Walk::Load(DataDir() / "walk.txt", town, true, true)),
                                    saved, saved.FirstRoom());
    EXPECT_EQ(f.roomsRight, static_cast<int>(town.rooms.size())) << f.Summary();
    EXPECT_EQ(f.linksRight, f.walkedExits) << f.Summary();

    // Without a profile to start from, the world gets the server alone; without a game chosen,
    // creating the world writes none (the template serves, as before).
    e.ui.choices = {std::string("Bare")};
    e.ui.game = storage::NewWorldGame{e.dir.path() / "missing.ini", {"bare.example.org", 23}};
    e.store.nNewWorldClick();
    const storage::IniFile bare(e.dir.path() / "Maps" / "Bare" / "local.ini");
    EXPECT_EQ(bare.ReadString("Connect", "Server Name", ""), "bare.example.org");
    EXPECT_EQ(bare.ReadInteger("Connect", "Server Port", 0), 23);
    EXPECT_FALSE(bare.Find("Messages", "RoomNameStart"));
    e.ui.choices = {std::string("Plain")};
    e.ui.game.reset();
    e.store.nNewWorldClick();
    EXPECT_EQ(e.store.WorldName(), "Plain");
    EXPECT_FALSE(storage::IniFile(e.dir.path() / "Maps" / "Plain" / "local.ini")
                     .Find("Connect", "Server Name"));
}
