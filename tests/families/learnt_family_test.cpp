// A profile learnt from a family's look session alone (a look and five moves), by the
// program's own command line into a world made from the program's template profile, and the
// family's fifty-move walk replayed on that world. Nothing of the family's shipped profile is
// used, so the learnt keys alone must make the walk map: every room once, every walked exit
// linked both ways, tracing never stopped.
//
// A look and five moves cannot show all a walk meets. Where the walk needs what the look session
// never printed (the darkness of the cellar, the refusal of a closed door in a game that ends its
// answers with no prompt command, an exit into another zone printed in capitals), the family's
// entry says so. The test then proves the entry exact: the look session holds none of it, the
// learnt profile alone does not map the walk, the learnt profile with just those values (as the
// family's game prints them, taken from its shipped profile) does, and leaving out any one of them
// again does not. (A leader taking the player along needs nothing: the room he is taken to is
// placed by its exits.)

#include "families/FamilyReplay.h"
#include "files/IniFile.h"
#include "files/ProfileFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

namespace fs = std::filesystem;
using namespace families;

// What a walk can need that a look session may not show.
enum class Unseen { Darkness, DoorRefusal, CapitalExits };

const char* NameOf(Unseen u) {
    switch (u) {
    case Unseen::Darkness:
        return "the darkness text";
    case Unseen::DoorRefusal:
        return "the closed door's refusal";
    case Unseen::CapitalExits:
        return "exit words compared without regard to case";
    }
    return "";
}

struct Family {
    const char* id;
    std::vector<Unseen> unseen;
};

const Family kFamilies[] = {
    // The template profile is the demo's own; TinyMUX has no doors, leaders or darkness.
    {"demo", {}},
    {"tinymux", {}},
    // The prompt's IAC GA ends every answer, so a refusal needs no text of its own; the
    // watch tower's exit, into another zone, is printed "N".
    {"rusdiku", {Unseen::Darkness, Unseen::CapitalExits}},
    // No prompt command: an unknown refusal leaves the move waiting for the next room.
    {"circlemud", {Unseen::Darkness, Unseen::DoorRefusal}},
    {"tbamud", {Unseen::Darkness, Unseen::DoorRefusal}},
    {"rom", {Unseen::Darkness}},
    {"smaug", {Unseen::Darkness, Unseen::DoorRefusal}},
    // No doors and no leaders.
    {"lpmud", {Unseen::Darkness}},
};

const Family& FamilyOf(const std::string& id) {
    return *std::find_if(std::begin(kFamilies), std::end(kFamilies),
                         [&](const Family& f) { return f.id == id; });
}

std::string Session(const std::string& family, const char* name) {
    return TempDir::Read(DataDir() / family / name);
}

bool Shows(const std::string& session, const std::string& text) {
    return !text.empty() && session.find(text) != std::string::npos;
}

// The family's refusals that its walk prints and its look session does not.
std::vector<std::string> RefusalsOnlyWalked(const std::string& family) {
    const std::string look = Session(family, "look.session");
    const std::string walk = Session(family, "walk.session");
    std::vector<std::string> out;
    for (const std::string& r : ReadShippedProfile(family).CantMove)
        if (Shows(walk, r) && !Shows(look, r)) out.push_back(r);
    return out;
}

// Puts into `p` the values of `u` as the family's game prints them, and names their keys.
void Supply(Unseen u, const profile::WorldProfile& shipped, const std::string& family,
            profile::WorldProfile& p, std::vector<profile::ProfileKey>& keys) {
    switch (u) {
    case Unseen::Darkness:
        p.Dark = shipped.Dark;
        p.DarkList.insert(p.DarkList.end(), shipped.DarkList.begin(), shipped.DarkList.end());
        keys.insert(keys.end(), {{"Messages", "Dark"}, {"Dark", ""}});
        break;
    case Unseen::DoorRefusal:
        for (const std::string& r : RefusalsOnlyWalked(family))
            p.CantMove.push_back(r);
        keys.push_back({profile::kCantMoveSection, ""});
        break;
    case Unseen::CapitalExits:
        p.AutoexitsIgnoreCase = shipped.AutoexitsIgnoreCase;
        keys.push_back({"Exits", "AutoexitsIgnoreCase"});
        break;
    }
}

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

// The learnt profile file with the values of `unseen` put in.
std::string Supplied(const std::string& family, const fs::path& learnt,
                     const std::vector<Unseen>& unseen) {
    storage::IniFile ini(learnt, TempDir::Read(learnt));
    profile::WorldProfile p;
    storage::ReadProfile(p, ini);
    const profile::WorldProfile shipped = ReadShippedProfile(family);
    std::vector<profile::ProfileKey> keys;
    for (Unseen u : unseen)
        Supply(u, shipped, family, p, keys);
    ini.BeginBatch(); // kept open: the file on disk stays the learnt one
    storage::WriteProfileKeys(p, keys, ini);
    return ini.Content();
}

} // namespace

class LearntFamily : public ::testing::TestWithParam<std::string> {};

TEST_P(LearntFamily, TheProfileLearntFromTheLookSessionMapsTheWalk) {
    const std::string family = GetParam();
    const Family& expected = FamilyOf(family);
    const LearntWorld w(family);
    ASSERT_EQ(w.learnStatus, 0) << w.learnSaid;
    EXPECT_EQ(w.learnSaid.find("missing:"), std::string::npos) << w.learnSaid;
    const std::string learnt = TempDir::Read(w.Profile());
    const Outcome alone = WalkWith(family, learnt);
    if (expected.unseen.empty()) {
        EXPECT_TRUE(alone.mapped) << alone.told << "\n" << w.learnSaid;
        EXPECT_EQ(alone.wrongNames, "");
        return;
    }

    // What the walk needs, the look session never showed, and the learner did not make up.
    const std::string look = Session(family, "look.session");
    const std::string walk = Session(family, "walk.session");
    const profile::WorldProfile shipped = ReadShippedProfile(family);
    profile::WorldProfile mine;
    storage::ReadProfile(mine, storage::IniFile(w.Profile()));
    for (Unseen u : expected.unseen) {
        SCOPED_TRACE(NameOf(u));
        switch (u) {
        case Unseen::Darkness:
            EXPECT_TRUE(Shows(walk, shipped.Dark) && !Shows(look, shipped.Dark));
            EXPECT_NE(mine.Dark, shipped.Dark);
            break;
        case Unseen::DoorRefusal:
            EXPECT_FALSE(RefusalsOnlyWalked(family).empty());
            break;
        case Unseen::CapitalExits:
            EXPECT_TRUE(shipped.AutoexitsIgnoreCase && !mine.AutoexitsIgnoreCase);
            break;
        }
    }

    EXPECT_FALSE(alone.mapped) << "the learnt profile alone maps the walk: the entry of " << family
                               << " says more is missing than is";
    const Outcome supplied = WalkWith(family, Supplied(family, w.Profile(), expected.unseen));
    EXPECT_TRUE(supplied.mapped) << supplied.told << "\n" << w.learnSaid;
    EXPECT_EQ(supplied.wrongNames, "");
    for (std::size_t i = 0; i < expected.unseen.size() && expected.unseen.size() > 1; ++i) {
        std::vector<Unseen> fewer = expected.unseen;
        fewer.erase(fewer.begin() + static_cast<std::ptrdiff_t>(i));
        EXPECT_FALSE(WalkWith(family, Supplied(family, w.Profile(), fewer)).mapped)
            << "mapped without " << NameOf(expected.unseen[i]);
    }
}

INSTANTIATE_TEST_SUITE_P(Families, LearntFamily,
                         ::testing::Values("demo", "tinymux", "rusdiku", "circlemud", "tbamud",
                                           "rom", "smaug", "lpmud"));
