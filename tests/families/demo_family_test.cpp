// The demo family on its real server: a walk of fifty moves through the demo village, relayed
// by the headless program with the shipped demo profile, maps every room once and every walked
// exit both ways; the session is recorded, and the committed sessions of tests/data/families/demo
// (recorded this way) replay to the same village. QUARVELIN_FAMILY_SESSIONS=DIR writes the
// sessions of this run to DIR/demo/ (to refresh the committed ones).

#include "families/FamilyReplay.h"
#include "families/FamilyStyle.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using namespace families;

constexpr std::size_t kMoves = 50;

// The first fifty moves of a seeded walk over every exit of the village, doors opened.
std::vector<std::string> VillageWalk(const DemoWorld& world) {
    const WalkPlan plan = PlanWalk(world, 23);
    std::vector<std::string> commands{"look"};
    for (std::size_t i = 0; i < plan.commands.size(); ++i) {
        if (plan.moveOf[i] >= static_cast<int>(kMoves)) break;
        commands.push_back(plan.commands[i]);
    }
    return commands;
}

void ExpectWalkMapped(const WalkPlan& plan, const fs::path& worldDir, const std::string& log) {
    const SavedMap saved = SavedMap::Load(worldDir);
    const WalkFigures f = CheckWalk(plan, saved, saved.FirstRoom());
    EXPECT_EQ(f.roomsRight, f.gameRooms) << f.Summary();
    EXPECT_EQ(f.linksRight, f.walkedExits) << f.Summary();
    EXPECT_EQ(f.duplicates + f.merges + f.unmapped, 0) << f.Summary();
    EXPECT_EQ(f.firstWrong, -1) << f.Summary() << "\n" << log;
}

} // namespace

TEST(DemoFamily, TheTemplateProfileIsTheDemosShippedOne) {
    const fs::path data = fs::path(QUARVELIN_SOURCE_DIR) / "data";
    EXPECT_TRUE(TempDir::Read(data / "local.ini") == TempDir::Read(ShippedProfile("demo")));
}

TEST(DemoFamily, FiftyMovesThroughTheVillageAreMappedAndRecorded) {
    const DemoWorld world = DemoWorld::Load();
    ASSERT_FALSE(world.rooms.empty());
    const std::vector<std::string> commands = VillageWalk(world);
    const WalkPlan plan = PlanOnWorld(world, world.start, commands);
    ASSERT_EQ(plan.moves.size(), kMoves);

    // The data directory as a first run makes it: the shipped profile, nothing else.
    DemoRig rig(2, {}, DemoRig::Start::AsShipped);
    {
        ScriptedClient client(rig.clientPort);
        ASSERT_TRUE(client.Connected());
        ASSERT_TRUE(client.WaitPrompts(1)) << rig.output;
        for (const std::string& c : commands)
            ASSERT_TRUE(client.Send({c})) << c << "\n" << rig.output;
        EXPECT_EQ(client.Count("Tracing now \x1b[1;31mOFF"), 0u);
    }
    ASSERT_TRUE(rig.Stop()) << rig.output; // and the recording replays to the same map
    ExpectWalkMapped(plan, rig.dir.path() / "Maps" / "Demo", rig.output);

    const std::string session = TempDir::Read(rig.Session());
    EXPECT_EQ(CommandsOf(session), commands);
    if (const char* out = std::getenv("QUARVELIN_FAMILY_SESSIONS")) {
        TempDir::Write(fs::path(out) / "demo" / "walk.session", session);
        TempDir::Write(fs::path(out) / "demo" / "look.session", CutSession(session, kLookSends));
    }
}

TEST(DemoFamily, TheCommittedSessionsReplayToTheVillage) {
    const DemoWorld world = DemoWorld::Load();
    const std::string walk = TempDir::Read(DataDir() / "demo" / "walk.session");
    const WalkPlan plan = PlanOnWorld(world, world.start, CommandsOf(walk));
    EXPECT_EQ(plan.moves.size(), kMoves);
    ReplayRun run("demo", DataDir() / "demo" / "walk.session");
    ASSERT_EQ(run.exitCode, 0) << run.said;
    EXPECT_FALSE(run.TracingStopped()) << run.LogTail();
    ExpectWalkMapped(plan, run.World(), run.LogTail());

    // look.session is the look and the first five moves of the same walk.
    const std::string look = TempDir::Read(DataDir() / "demo" / "look.session");
    EXPECT_TRUE(walk.compare(0, look.size(), look) == 0);
    const std::vector<std::string> first = CommandsOf(look);
    ASSERT_EQ(first.size(), kLookSends);
    EXPECT_EQ(first.front(), "look");
}
