// A profile learnt from a family's look session alone (a look and five moves), by the
// program's own command line into a world made from the program's template profile, and the
// family's fifty-move walk replayed on that world. Nothing of the family's shipped profile is
// used, so the learnt keys alone must make the walk map: every room once, every walked exit
// linked both ways, tracing never stopped.
//
// The look sessions show what a player would show the program to learn his game from: the
// families made from source come back into the game at the inn and walk into a wall, down into
// the dark cellar and up, and against the chapel's closed door; the demo and TinyMUX walk the
// first five moves of their walks. An exit printed in capitals that the look session never
// showed (the watch tower's, into another zone) is read all the same, and a leader taking the
// player along needs nothing: the room he is taken to is placed by its exits.

#include "families/FamilyReplay.h"

#include <gtest/gtest.h>

#include <set>

namespace {

namespace fs = std::filesystem;
using namespace families;

// A world made from the template profile, the family's look.session learnt into its local.ini
// by `quarvelin --learn-profile`.
struct LearntWorld {
    ReplayRun run;
    int learnStatus = -1;  // -1: it did not end in time
    std::string learnSaid; // standard error: what was learnt and what is missing

    explicit LearntWorld(const std::string& family) {
        TempDir::Write(Profile(),
                       TempDir::Read(fs::path(QUARVELIN_SOURCE_DIR) / "data" / "local.ini"));
        QProcess learn;
        learn.start(QuarvelinBinary(),
                    {"--learn-profile",
                     QString::fromStdString((DataDir() / family / "look.session").string()),
                     "--out", QString::fromStdString(Profile().string())});
        if (!learn.waitForFinished(60000)) return;
        learnSaid = learn.readAllStandardError().toStdString();
        learnStatus = learn.exitStatus() == QProcess::NormalExit ? learn.exitCode() : -1;
    }
    fs::path Profile() const { return run.World() / "local.ini"; }
};

// The names the family's game gives its rooms (Windows-1251), darkness as its profile says it.
std::set<std::string> RoomNames(const std::string& family) {
    std::set<std::string> names;
    if (family == "demo") {
        const DemoWorld world = DemoWorld::Load();
        for (const auto& [id, r] : world.rooms)
            names.insert(r.name);
        names.insert(world.darkText);
        return names;
    }
    const auto style = family == "tinymux" ? nullptr : MakeStyle(family);
    for (const auto& [id, r] : Town::Load(DataDir() / "world.txt").rooms)
        names.insert(style ? text::FromUnicode(QString::fromUtf8(style->MapName(r).c_str()))
                           : r.name.en);
    names.insert(ReadShippedProfile(family).Dark);
    return names;
}

// The walk replayed on a world whose profile is `profileText`, measured.
struct Outcome {
    bool mapped = false;    // every room once, every walked exit both ways, tracing kept on
    std::string told;       // the figures and the end of the log, for a failure's message
    std::string wrongNames; // map rooms named other than the game names its rooms (UTF-8)
};

Outcome WalkWith(const std::string& family, const std::string& profileText) {
    ReplayRun run;
    TempDir::Write(run.World() / "local.ini", profileText);
    run.Replay(DataDir() / family / "walk.session");
    if (run.exitCode != 0) return {false, "the replay failed: " + run.said, {}};
    const SavedMap saved = SavedMap::Load(run.World());
    const MapRoom* start = saved.FirstRoom();
    if (!start) return {false, "no first room\n" + run.LogTail(), {}};
    const WalkFigures f = CheckWalk(FamilyWalkPlan(family), saved, start);
    const bool mapped = !run.TracingStopped() && f.roomsRight == f.gameRooms &&
                        f.linksRight == f.walkedExits && f.mapRooms == f.gameRooms &&
                        f.firstWrong == -1;
    std::string wrongNames;
    const std::set<std::string> names = RoomNames(family);
    for (const MapRoom& r : saved.Rooms())
        if (!names.count(r.room.Hint))
            wrongNames += "\"" + text::ToUnicode(r.room.Hint).toStdString() + "\" ";
    return {mapped,
            f.Summary() + (run.TracingStopped() ? "; tracing stopped\n" : "\n") + run.LogTail(),
            wrongNames};
}

} // namespace

class LearntFamily : public ::testing::TestWithParam<std::string> {};

TEST_P(LearntFamily, TheProfileLearntFromTheLookSessionMapsTheWalk) {
    const std::string family = GetParam();
    const LearntWorld w(family);
    ASSERT_EQ(w.learnStatus, 0) << w.learnSaid;
    EXPECT_EQ(w.learnSaid.find("missing:"), std::string::npos) << w.learnSaid;
    const Outcome walked = WalkWith(family, TempDir::Read(w.Profile()));
    EXPECT_TRUE(walked.mapped) << walked.told << "\n" << w.learnSaid;
    // The dark cellar too bears the game's own darkness text, learnt from the look session.
    EXPECT_EQ(walked.wrongNames, "");
}

INSTANTIATE_TEST_SUITE_P(Families, LearntFamily,
                         ::testing::Values("demo", "tinymux", "rusdiku", "circlemud", "tbamud",
                                           "rom", "smaug", "lpmud"));
