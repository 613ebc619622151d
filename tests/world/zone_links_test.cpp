// Splitting a zone, joining zones and showing linked rooms, on worlds in a temporary directory.

#include "files/IniFile.h"
#include "files/Language.h"
#include "files/Paths.h"
#include "files/ProfileFile.h"
#include "files/ZoneFile.h"
#include "map/MapModel.h"
#include "profile/WorldProfile.h"
#include "support/FakeWorldUi.h"
#include "support/TempDir.h"
#include "text/Cp1251.h"
#include "world/WorldStore.h"
#include "world/ZoneLinks.h"

#include <gtest/gtest.h>

#include <vector>

namespace fs = std::filesystem;
using map::Dir;
using map::TMudRoom2;
using text::W;
using Lines = std::vector<std::string>;
using Names = std::vector<std::string>;

namespace {

// A room on the grid; `flags` holds the letters of its set link flags (N, S, E, W, U, D).
TMudRoom2 Room(const std::string& hint, int tag, int x, int y, int l, const std::string& flags,
               Lines lines = {}) {
    TMudRoom2 r;
    r.Hint = hint;
    r.Tag = tag;
    r.X = x, r.Y = y, r.L = l;
    for (const map::DirInfo& d : map::kDirs)
        r.Ch(d.dir) = flags.find(static_cast<char>(std::toupper(d.letter))) != std::string::npos;
    r.AutoMaps = std::move(lines);
    return r;
}

struct World : WorldEnv {
    storage::ZoneLinks links{store};

    fs::path WorldDir() const { return dir.path() / "Maps" / "W"; }
    void Zone(const std::string& zone, const std::vector<TMudRoom2>& rooms) {
        std::vector<const TMudRoom2*> p;
        for (const auto& r : rooms)
            p.push_back(&r);
        TempDir::Write(*storage::ZoneFilePath(WorldDir(), zone), storage::WriteZone(p));
    }
    // Loads the world with `current` as the current zone and `context` as the context room.
    void Load(const std::string& current, const std::string& context) {
        TempDir::Write(WorldDir() / "local.ini", "[Options]\r\nZone=" + current + "\r\n");
        store.SetWorldName("W");
        store.LoadWorld();
        model.World().ContextRoom = R(context);
    }
    map::MapWorld& Map() { return model.World(); }
    TMudRoom2* R(const std::string& hint) {
        TMudRoom2* found = nullptr;
        Map().Lists().ForEachWorldRoom([&](TMudRoom2* r, const std::string&) {
            if (r->Hint == hint) found = r;
        });
        return found;
    }
    const std::string& ZoneOf(const std::string& hint) { return Map().ZoneOf(R(hint)); }
    std::vector<int> Pos(const std::string& hint) {
        const TMudRoom2* r = R(hint);
        return {r->X, r->Y, r->L};
    }
    std::vector<TMudRoom2> FileRooms(const std::string& zone) {
        return storage::ReadZoneFile(*storage::ZoneFilePath(WorldDir(), zone), profile).rooms;
    }
    Names FileHints(const std::string& zone) {
        Names n;
        for (const auto& r : FileRooms(zone))
            n.push_back(r.Hint);
        return n;
    }
    bool FileExists(const std::string& zone) {
        return fs::exists(*storage::ZoneFilePath(WorldDir(), zone));
    }
    Names TreeZones() {
        Names n;
        for (auto* z : store.Tree().Zones())
            n.push_back(z->text);
        return n;
    }
    Names QuickNodes(const std::string& zone) {
        Names n;
        for (const auto& c : store.Tree().FindZone(zone)->children)
            n.push_back(c->text);
        return n;
    }
};

const std::string& NewZone() {
    return W("Новая зона");
}

std::string Phrase(Dir d) {
    static const profile::WorldProfile profile;
    return map::Phrase(profile, d);
}

} // namespace

TEST(ZoneSplit, NorthMovesTheRegionIntoANewZoneNumberedFromOne) {
    World w;
    // N's west flag goes with a link line into Far: the walk and the growth stop there.
    w.Zone("Old", {Room("C", 5, 0, 0, 2, "NS"),
                   Room("N", 9, -1, 0, 2, "SEW", {"Far|" + Phrase(map::West) + "|7||-1"}),
                   Room("M", 3, -1, 1, 2, "W"), Room("S", 2, 1, 0, 2, "N")});
    TMudRoom2 x = Room("X", 7, 0, 0, 0, "E", {"Old|" + Phrase(map::East) + "|9||-1"});
    w.Zone("Far", {x});
    w.Load("Old", "C");
    w.R("M")->QuickList = "peak";
    w.store.LoadZone(); // the quick-list node under Old
    w.R("N")->Checked = true;

    ASSERT_TRUE(w.links.StartNewZone(map::North));
    EXPECT_TRUE(w.ui.errors.empty());
    EXPECT_EQ(w.store.CurrentZone(), NewZone());
    EXPECT_EQ(w.TreeZones(), (Names{"Far", "Old", NewZone()}));

    // The first room walked is room 1 at the origin; levels start at 0 too.
    EXPECT_EQ(w.ZoneOf("N"), NewZone());
    EXPECT_EQ(w.R("N")->Tag, 1);
    EXPECT_EQ(w.Pos("N"), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(w.R("M")->Tag, 2);
    EXPECT_EQ(w.Pos("M"), (std::vector<int>{0, 1, 0}));
    EXPECT_FALSE(w.R("N")->Checked);
    EXPECT_EQ(w.Map().HighestRoomNumber, 2);

    // The cut becomes a pair of link lines; Far's line now leads to the new number.
    EXPECT_EQ(w.R("C")->AutoMaps, (Lines{NewZone() + "|" + Phrase(map::North) + "|1||-1"}));
    EXPECT_EQ(w.R("N")->AutoMaps, (Lines{"Far|" + Phrase(map::West) + "|7||-1",
                                         "Old|" + Phrase(map::South) + "|5||-1"}));
    EXPECT_EQ(w.R("X")->AutoMaps, (Lines{NewZone() + "|" + Phrase(map::East) + "|1||-1"}));
    EXPECT_EQ(w.ZoneOf("S"), "Old");
    EXPECT_EQ(w.R("S")->Tag, 2);

    // Every zone is on disk as it is now, and the quick-list room moved with its node.
    EXPECT_EQ(w.FileHints("Old"), (Names{"C", "S"}));
    EXPECT_EQ(w.FileHints(NewZone()), (Names{"N", "M"}));
    EXPECT_EQ(w.FileRooms("Far")[0].AutoMaps, w.R("X")->AutoMaps);
    EXPECT_EQ(w.QuickNodes(NewZone()), (Names{"peak"}));
    EXPECT_TRUE(w.QuickNodes("Old").empty());
}

TEST(ZoneSplit, EveryHorizontalDirectionPutsTheNearRoomAtTheOrigin) {
    for (Dir d : {map::North, map::South, map::East, map::West}) {
        SCOPED_TRACE(map::Info(d).letter);
        World w;
        const map::DirInfo& s = map::Info(d);
        const Dir back = map::OppositeDir(d);
        const std::string fwd(1, std::toupper(s.letter));
        const std::string bwd(1, std::toupper(map::Info(back).letter));
        // West has a corridor room at the cut, which goes.
        const bool corridor = d == map::West;
        const int a = corridor ? 2 : 1;
        std::vector<TMudRoom2> rooms{Room("C", 1, 0, 0, 0, fwd + bwd),
                                     Room("R", 2, -s.dx, -s.dy, 0, fwd),
                                     Room("A", 3, a * s.dx, a * s.dy, 0, fwd + bwd),
                                     Room("B", 4, (a + 1) * s.dx, (a + 1) * s.dy, 0, bwd)};
        if (corridor) {
            rooms.push_back(Room("", 0, s.dx, s.dy, 0, fwd + bwd));
            rooms.back().Pipe = true;
        }
        w.Zone("Old", rooms);
        w.Load("Old", "C");
        ASSERT_TRUE(w.links.StartNewZone(d));

        EXPECT_EQ(w.Pos("A"), (std::vector<int>{0, 0, 0}));
        EXPECT_EQ(w.Pos("B"), (std::vector<int>{s.dx, s.dy, 0}));
        EXPECT_EQ(w.R("A")->Tag, 1);
        EXPECT_EQ(w.R("B")->Tag, 2);
        EXPECT_EQ(w.R("C")->AutoMaps, (Lines{NewZone() + "|" + Phrase(d) + "|1||-1"}));
        EXPECT_EQ(w.R("A")->AutoMaps, (Lines{"Old|" + Phrase(back) + "|1||-1"}));
        EXPECT_TRUE(w.R("A")->Ch(back));
        EXPECT_EQ(w.ZoneOf("R"), "Old");
        EXPECT_EQ(w.Map().Lists().WorldCount(), 4u);
        EXPECT_EQ(w.FileHints("Old"), (Names{"C", "R"}));
    }
}

TEST(ZoneSplit, UpAndDownKeepPositionsAndTurnVerticalLinksIntoLinkLines) {
    {
        World w;
        // Two ways lead down from the upper level: through C, and through V.
        w.Zone("Old", {Room("C", 1, 0, 0, 0, "DE"), Room("V", 2, 0, 1, 0, "WD"),
                       Room("D1", 3, 0, 0, -1, "UED"), Room("D2", 4, 0, 1, -1, "WU"),
                       Room("D0", 5, 0, 0, -2, "U")});
        w.Load("Old", "C");
        ASSERT_TRUE(w.links.StartNewZone(map::Down));
        const std::string down = Phrase(map::Down), up = Phrase(map::Up);
        EXPECT_EQ(w.R("D1")->Tag, 1);
        EXPECT_EQ(w.R("D2")->Tag, 2);
        EXPECT_EQ(w.R("D0")->Tag, 3);
        EXPECT_EQ(w.Pos("D0"), (std::vector<int>{0, 0, -2}));
        EXPECT_EQ(w.ZoneOf("V"), "Old");
        EXPECT_EQ(w.R("C")->AutoMaps, (Lines{NewZone() + "|" + down + "|1||-1"}));
        EXPECT_EQ(w.R("D1")->AutoMaps, (Lines{"Old|" + up + "|1||-1"}));
        EXPECT_EQ(w.R("V")->AutoMaps, (Lines{NewZone() + "|" + down + "|2||-1"}));
        EXPECT_EQ(w.R("D2")->AutoMaps, (Lines{"Old|" + up + "|2||-1"}));
        EXPECT_TRUE(w.R("D0")->AutoMaps.empty()); // its link stays inside the new zone
        EXPECT_EQ(w.FileHints(NewZone()), (Names{"D1", "D2", "D0"}));
    }
    {
        World w;
        w.Zone("Old", {Room("C", 7, 0, 0, 0, "U"), Room("A", 2, 0, 0, 1, "DU"),
                       Room("B", 3, 0, 0, 2, "D")});
        w.Load("Old", "C");
        ASSERT_TRUE(w.links.StartNewZone(map::Up));
        EXPECT_EQ(w.R("A")->Tag, 1);
        EXPECT_EQ(w.Pos("B"), (std::vector<int>{0, 0, 2}));
        EXPECT_EQ(w.R("C")->AutoMaps, (Lines{NewZone() + "|" + Phrase(map::Up) + "|1||-1"}));
        EXPECT_EQ(w.R("A")->AutoMaps, (Lines{"Old|" + Phrase(map::Down) + "|7||-1"}));
        EXPECT_TRUE(w.R("B")->AutoMaps.empty());
    }
}

TEST(ZoneSplit, RefusedWhenTheRegionIsJoinedToTheRestAnotherWay) {
    // A ring round C's north, and a circle of one-sided flags that never leads back.
    const std::vector<std::vector<TMudRoom2>> zones{
        {Room("C", 1, 0, 0, 0, "NE"), Room("A", 2, -1, 0, 0, "SE"), Room("B", 3, -1, 1, 0, "WS"),
         Room("D", 4, 0, 1, 0, "NW")},
        {Room("C", 1, 0, 0, 0, "N"), Room("A", 2, -1, 0, 0, "SN"), Room("D", 3, -2, 0, 0, "E"),
         Room("E", 4, -2, 1, 0, "S"), Room("B", 5, -1, 1, 0, "W")}};
    for (const auto& rooms : zones) {
        World w;
        w.Zone("Old", rooms);
        w.Load("Old", "C");
        const std::string before = TempDir::Read(*storage::ZoneFilePath(w.WorldDir(), "Old"));

        EXPECT_FALSE(w.links.StartNewZone(map::North));
        EXPECT_EQ(w.ui.errors, (Names{W("В указанном направлении новую карту начать нельзя.")}));
        EXPECT_EQ(w.TreeZones(), (Names{"Old"}));
        EXPECT_FALSE(w.FileExists(NewZone()));
        EXPECT_EQ(w.store.CurrentZone(), "Old");
        EXPECT_TRUE(w.R("C")->AutoMaps.empty());
        EXPECT_EQ(w.R("A")->Tag, 2);
        EXPECT_EQ(w.ZoneOf("B"), "Old");
        EXPECT_TRUE(w.R("A")->Checked && w.R("B")->Checked); // the walk shows where it went
        EXPECT_EQ(TempDir::Read(*storage::ZoneFilePath(w.WorldDir(), "Old")), before);
    }
}

TEST(ZoneMerge, PlacesRenumbersAndDeletesTheLinkedZone) {
    World w;
    const std::string north = Phrase(map::North), south = Phrase(map::South);
    w.Zone("Old",
           {Room("C", 1, 0, 0, 0, "N", {"Side|" + north + "|1||-1"}), Room("R", 4, 3, 3, 0, "")});
    TMudRoom2 pipe = Room("", 0, 5, 6, 0, "EW");
    pipe.Pipe = true;
    TMudRoom2 t2 = Room("T2", 2, 5, 7, 0, "WE", {"Far|" + Phrase(map::East) + "|3||-1"});
    t2.QuickList = "spot";
    t2.ImageIndex = 2;
    w.Zone("Side", {Room("T", 1, 5, 5, 0, "SE", {"Old|" + south + "|1||-1"}), pipe, t2});
    w.Zone("Far", {Room("X", 3, 0, 0, 0, "W", {"Side|" + Phrase(map::West) + "|2||-1"})});
    w.Load("Old", "C");

    ASSERT_TRUE(w.links.nMergeZone(map::North));
    EXPECT_TRUE(w.ui.errors.empty());
    // T stands north of C; the rest keeps its place beside T.
    EXPECT_EQ(w.Pos("T"), (std::vector<int>{-1, 0, 0}));
    EXPECT_EQ(w.Pos("T2"), (std::vector<int>{-1, 2, 0}));
    EXPECT_EQ(w.R("T")->Tag, 5);
    EXPECT_EQ(w.R("T2")->Tag, 6);
    EXPECT_EQ(w.Map().FindRoom(-1, 1, 0)->Tag, 0); // the corridor room keeps no number
    EXPECT_EQ(w.Map().HighestRoomNumber, 6);

    // C and T are plain neighbours now; Far's line follows T2 and survives the deletion.
    EXPECT_TRUE(w.R("C")->AutoMaps.empty());
    EXPECT_TRUE(w.R("T")->AutoMaps.empty());
    EXPECT_TRUE(w.R("C")->ChN && w.R("T")->ChS);
    EXPECT_EQ(w.R("X")->AutoMaps, (Lines{"Old|" + Phrase(map::West) + "|6"}));
    EXPECT_TRUE(w.R("X")->ChW);

    EXPECT_FALSE(w.FileExists("Side"));
    EXPECT_EQ(w.TreeZones(), (Names{"Far", "Old"}));
    EXPECT_EQ(w.store.CurrentZone(), "Old");
    EXPECT_EQ(w.FileHints("Old"), (Names{"C", "R", "T", "", "T2"}));
    ASSERT_EQ(w.QuickNodes("Old"), (Names{"spot"}));
    EXPECT_EQ(w.store.Tree().FindZone("Old")->children[0]->image, 8);
    EXPECT_EQ(w.Map().Lists().ZoneCount(), 5u);
}

TEST(ZoneMerge, RefusedWithoutChangingAnything) {
    World w;
    const auto line = [](Dir d, const std::string& rest) { return "|" + Phrase(d) + "|" + rest; };
    // North: T would land on Q. South: no room 99. East: not a number (the corridor room has
    // number 0). West: a line into the current zone. Up: no line at all.
    w.Zone("Old", {Room("C", 1, 0, 0, 0, "NSEWU",
                        {"Side" + line(map::North, "1||-1"), "Side" + line(map::South, "99||-1"),
                         "Side" + line(map::East, "x||-1"), "Old" + line(map::West, "2||-1")}),
                   Room("Q", 2, -1, 0, 0, "")});
    TMudRoom2 pipe = Room("", 0, 20, 20, 0, "EW");
    pipe.Pipe = true;
    w.Zone("Side", {Room("T", 1, 5, 5, 0, "S", {"Old" + line(map::South, "1||-1")}), pipe});
    w.Load("Old", "C");
    const Lines before = w.R("C")->AutoMaps;

    for (Dir d : {map::North, map::South, map::East, map::West, map::Up}) {
        SCOPED_TRACE(map::Info(d).letter);
        w.ui.errors.clear();
        EXPECT_FALSE(w.links.nMergeZone(d));
        EXPECT_EQ(w.ui.errors, (Names{W("В указанном направлении карту присоединить нельзя.")}));
    }
    EXPECT_EQ(w.R("C")->AutoMaps, before);
    EXPECT_EQ(w.R("T")->AutoMaps.size(), 1u);
    EXPECT_EQ(w.ZoneOf("T"), "Side");
    EXPECT_EQ(w.Pos("T"), (std::vector<int>{5, 5, 0}));
    EXPECT_EQ(w.R("T")->Tag, 1);
    EXPECT_TRUE(w.FileExists("Side"));
    EXPECT_EQ(w.TreeZones(), (Names{"Old", "Side"}));
}

TEST(ZoneShow, JumpsToTheLinkedRoomInItsZone) {
    World w;
    w.Zone("Old",
           {Room("C", 1, 0, 0, 0, "NES",
                 {"|" + Phrase(map::North) + "|0|open|-1", "Side|" + Phrase(map::East) + "|2||-1",
                  "Gone|" + Phrase(map::South) + "|1||-1"})});
    w.Zone("Side", {Room("T", 1, 0, 0, 0, "W"), Room("T2", 2, 3, 4, 1, "W")});
    w.Load("Old", "C");
    w.R("C")->Note = "seen";

    // An automatic command, a zone the world does not have, a line that is not there.
    for (int i : {0, 2, 7, -1})
        w.links.nShowZone1Click(i);
    EXPECT_EQ(w.store.CurrentZone(), "Old");
    EXPECT_EQ(w.ui.shown, nullptr);
    EXPECT_EQ(w.TreeZones(), (Names{"Old", "Side"}));

    w.links.nShowZone1Click(1);
    EXPECT_EQ(w.store.CurrentZone(), "Side");
    EXPECT_EQ(w.ui.shown, w.R("T2"));
    EXPECT_EQ(w.Map().ViewLevel, 1);
    EXPECT_TRUE(w.R("T2")->Checked);
    EXPECT_EQ(w.Map().FindRoomByTag(2), w.R("T2"));
    EXPECT_EQ(w.FileRooms("Old")[0].Note, "seen"); // the zone left was saved first
}
