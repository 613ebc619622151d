// The game families whose sessions are made from their games' source: the committed session
// files are exactly what the styles make of the town and the walk, and each family's shipped
// profile maps its walk right when the session is replayed through the program: every room
// once, under the name the game prints, every walked exit linked both ways, tracing never
// stopped.

#include "families/FamilyReplay.h"
#include "families/FamilyStyle.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using namespace families;

const Town& TheTown() {
    static const Town town = Town::Load(DataDir() / "world.txt");
    return town;
}

Walk WalkOf(const Style& style, const char* file = "walk.txt") {
    return Walk::Load(DataDir() / file, TheTown(), style.Doors(), style.Follows());
}

std::string Utf8(const std::string& cp1251) {
    return text::ToUnicode(cp1251).toStdString();
}

} // namespace

TEST(FamilySessions, TheTownAndTheWalkAreWhatTheSessionsAreMadeFor) {
    const Town& town = TheTown();
    EXPECT_EQ(town.rooms.size(), 19u);
    int dark = 0, doors = 0, twins = 0;
    std::set<std::string> names;
    for (const auto& [id, r] : town.rooms) {
        dark += r.dark;
        doors += static_cast<int>(r.doors.size());
        twins += !names.insert(r.name.en).second;
        EXPECT_FALSE(r.desc.empty() || r.descRu.empty() || r.name.ru.empty()) << id;
    }
    EXPECT_EQ(dark, 1);
    EXPECT_EQ(doors, 2); // one door, seen from both sides
    EXPECT_EQ(twins, 1);
    // Fifty moves for a game with doors: two of them refused, one taken behind a leader.
    const Walk walk = WalkOf(*TbaMud());
    int refused = 0, followed = 0;
    std::set<int> reached{walk.start};
    for (const auto& send : walk.sends)
        for (const Step& s : send) {
            refused += s.kind == Step::Refused || s.kind == Step::ClosedDoor;
            followed += s.kind == Step::Follow;
            reached.insert(s.to);
        }
    EXPECT_EQ(walk.Moves() + refused, 50);
    EXPECT_EQ(refused, 2);
    EXPECT_EQ(followed, 1);
    EXPECT_EQ(reached.size(), town.rooms.size());
    // A game without doors walks through the chapel door at once and bumps into the chapel's
    // wall after: the walk ends where it ends with doors.
    const Walk open = WalkOf(*LpMud());
    EXPECT_EQ(open.sends.back().back().to, walk.sends.back().back().to);
    // The look session: a look and five moves, among them a wall, the dark cellar and the
    // closed door.
    const Walk look = WalkOf(*TbaMud(), "look.txt");
    ASSERT_EQ(look.sends.size(), kLookSends);
    std::set<Step::Kind> kinds;
    bool darkness = false;
    for (const auto& send : look.sends)
        for (const Step& s : send) {
            kinds.insert(s.kind);
            darkness = darkness || town.rooms.at(s.to).dark;
        }
    EXPECT_EQ(kinds,
              (std::set<Step::Kind>{Step::Look, Step::Refused, Step::Move, Step::ClosedDoor}));
    EXPECT_TRUE(darkness);
}

TEST(FamilySessions, TheCommittedFilesAreWhatTheGamesSourceMakes) {
    for (const auto& style : AllStyles()) {
        const Walk walk = WalkOf(*style);
        const fs::path dir = DataDir() / style->Id();
        EXPECT_TRUE(TempDir::Read(dir / "look.session") ==
                    MakeSession(*style, TheTown(), WalkOf(*style, "look.txt")))
            << style->Id() << ": run quarvelin-family-sessions " << DataDir();
        EXPECT_TRUE(TempDir::Read(dir / "walk.session") == MakeSession(*style, TheTown(), walk))
            << style->Id() << ": run quarvelin-family-sessions " << DataDir();
    }
}

class GeneratedFamily : public ::testing::TestWithParam<std::string> {};

TEST_P(GeneratedFamily, TheShippedProfileMapsTheWalk) {
    const auto style = MakeStyle(GetParam());
    const Walk walk = WalkOf(*style);
    ReplayRun run(GetParam(), DataDir() / GetParam() / "walk.session");
    ASSERT_EQ(run.exitCode, 0) << run.said;
    EXPECT_FALSE(run.TracingStopped()) << run.LogTail();
    // Every room was paired with its command: none was taken for a look of its own, and the
    // room a leader took the player to was found by the profile's follow texts.
    EXPECT_FALSE(run.LoggedWhileTracing("Список команд пуст")) << run.LogTail();
    EXPECT_EQ(run.LoggedWhileTracing("Cледование есть."), style->Follows());

    const SavedMap saved = SavedMap::Load(run.World());
    const MapRoom* start = saved.FirstRoom();
    ASSERT_NE(start, nullptr) << run.LogTail();
    const WalkPlan plan = PlanOf(walk);
    const WalkFigures f = CheckWalk(plan, saved, start);
    EXPECT_EQ(f.gameRooms, static_cast<int>(TheTown().rooms.size()));
    EXPECT_EQ(f.roomsRight, f.gameRooms) << f.Summary();
    EXPECT_EQ(f.linksRight, f.walkedExits) << f.Summary();
    EXPECT_EQ(f.mapRooms, f.gameRooms) << f.Summary();
    EXPECT_EQ(f.firstWrong, -1) << f.Summary() << "\n" << run.LogTail();

    // Along the walk, each room holds the name the game gave it (a dark room the profile's
    // word for darkness), and the way back of every move leads back.
    const profile::WorldProfile profile = ReadShippedProfile(GetParam());
    const MapRoom* at = start;
    for (const WalkMove& move : plan.moves) {
        const MapRoom* next = at ? saved.Follow(*at, move.dir) : nullptr;
        ASSERT_NE(next, nullptr) << "move " << move.from << " " << move.dir;
        const Room& truth = TheTown().rooms.at(move.to);
        const std::string name =
            truth.dark ? profile.Dark
                       : text::FromUnicode(QString::fromUtf8(style->MapName(truth).c_str()));
        EXPECT_EQ(Utf8(next->room.Hint), Utf8(name)) << "room " << move.to;
        EXPECT_EQ(saved.Follow(*next, Opposite(move.dir)), at)
            << "no way back from " << move.to << " by " << Opposite(move.dir);
        at = next;
    }
}

TEST_P(GeneratedFamily, TheLookSessionMapsItsRoomsAlone) {
    const auto style = MakeStyle(GetParam());
    ReplayRun run(GetParam(), DataDir() / GetParam() / "look.session");
    ASSERT_EQ(run.exitCode, 0) << run.said;
    const SavedMap saved = SavedMap::Load(run.World());
    // The inn's courtyard, the dark cellar below it and the chapel, and where the game has no
    // doors the square beyond the chapel's.
    EXPECT_EQ(saved.Rooms().size(), style->Doors() ? 3u : 4u) << run.LogTail();
    const MapRoom* inn = saved.FirstRoom();
    ASSERT_NE(inn, nullptr);
    EXPECT_EQ(Utf8(inn->room.Hint), style->MapName(TheTown().rooms.at(11)));
    EXPECT_EQ(saved.Follow(*inn, 'e'), nullptr); // the wall
    const MapRoom* cellar = saved.Follow(*inn, 'd');
    ASSERT_NE(cellar, nullptr) << run.LogTail();
    EXPECT_EQ(cellar->room.L, inn->room.L - 1);
    EXPECT_EQ(cellar->room.Hint, ReadShippedProfile(GetParam()).Dark);
    EXPECT_EQ(saved.Follow(*cellar, 'u'), inn);
    const MapRoom* chapel = saved.Follow(*inn, 'w');
    ASSERT_NE(chapel, nullptr) << run.LogTail();
    EXPECT_EQ(saved.Follow(*chapel, 'n') != nullptr, !style->Doors()); // the closed door
}

INSTANTIATE_TEST_SUITE_P(Families, GeneratedFamily,
                         ::testing::Values("rusdiku", "circlemud", "tbamud", "rom", "smaug",
                                           "lpmud"));

// Recorded from the real server (the TinyMuxFamily test of the peers): TinyMUX has no doors, no
// leaders, and no darkness that hides a room's name.
TEST(TinyMuxFamily, TheCommittedSessionsMapTheWalkWithTheShippedProfile) {
    const Walk walk = Walk::Load(DataDir() / "walk.txt", TheTown(), false, false);
    ReplayRun run("tinymux", DataDir() / "tinymux" / "walk.session");
    ASSERT_EQ(run.exitCode, 0) << run.said;
    EXPECT_FALSE(run.TracingStopped()) << run.LogTail();
    const SavedMap saved = SavedMap::Load(run.World());
    const WalkFigures f = CheckWalk(PlanOf(walk), saved, saved.FirstRoom());
    EXPECT_EQ(f.gameRooms, static_cast<int>(TheTown().rooms.size()));
    EXPECT_EQ(f.roomsRight, f.gameRooms) << f.Summary();
    EXPECT_EQ(f.linksRight, f.walkedExits) << f.Summary();
    EXPECT_EQ(f.firstWrong, -1) << f.Summary();
    for (const MapRoom& r : saved.Rooms()) {
        bool named = false;
        for (const auto& [id, room] : TheTown().rooms)
            named = named || room.name.en == r.room.Hint;
        EXPECT_TRUE(named) << r.room.Hint;
    }

    // look.session: the login, the look and the next five commands of the same recording.
    const std::string look = TempDir::Read(DataDir() / "tinymux" / "look.session");
    const std::vector<std::string> commands = CommandsOf(look);
    ASSERT_EQ(commands.size(), 1 + kLookSends);
    EXPECT_EQ(commands[1], "look");
    EXPECT_TRUE(TempDir::Read(DataDir() / "tinymux" / "walk.session").rfind(look, 0) == 0);
}
