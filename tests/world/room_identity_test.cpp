// The game's room numbers and areas on disk ("game-ids.txt") kept in step with the zone files
// through saving, undo and every operation on zones and worlds; zones made for the game's areas.

#include "files/RoomIdentityFile.h"
#include "files/ZoneFile.h"
#include "map/MapModel.h"
#include "support/FakeWorldUi.h"
#include "support/TempDir.h"
#include "text/Cp1251.h"
#include "world/ZoneLinks.h"
#include "world/ZoneOperations.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using map::TMudRoom2;
using storage::RoomIdentityLine;
using text::W;
using Names = std::vector<std::string>;
using Lines = std::vector<RoomIdentityLine>;

namespace {

const std::string kHead = "Quarvelin room identity 1\r\n";

TMudRoom2 Room(const std::string& hint, int tag, int x = 0, int y = 0,
               const std::string& flags = "", std::vector<std::string> lines = {}) {
    TMudRoom2 r;
    r.Hint = hint;
    r.Tag = tag;
    r.X = x, r.Y = y;
    r.BColor = map::kSilver;
    for (const map::DirInfo& d : map::kDirs)
        r.Ch(d.dir) = flags.find(static_cast<char>(std::toupper(d.letter))) != std::string::npos;
    r.AutoMaps = std::move(lines);
    return r;
}

std::string Phrase(map::Dir d) {
    static const profile::WorldProfile profile;
    return map::Phrase(profile, d);
}

struct Env : WorldEnv {
    storage::ZoneOperations zones{store};
    storage::ZoneLinks links{store};

    map::MapWorld& Map() { return model.World(); }
    fs::path Dir(const std::string& world = "W") const { return dir.path() / "Maps" / world; }
    fs::path IdsFile(const std::string& world = "W") const { return Dir(world) / "game-ids.txt"; }
    std::string ZoneBytes(const std::vector<TMudRoom2>& rooms) {
        std::vector<const TMudRoom2*> p;
        for (const auto& r : rooms)
            p.push_back(&r);
        return storage::WriteZone(p);
    }
    void Zone(const std::string& zone, const std::vector<TMudRoom2>& rooms) {
        TempDir::Write(*storage::ZoneFilePath(Dir(), zone), ZoneBytes(rooms));
    }
    void Load(const std::string& current, const std::string& world = "W") {
        TempDir::Write(Dir(world) / "local.ini", "[Options]\r\nZone=" + current + "\r\n");
        store.SetWorldName(world);
        store.LoadWorld();
    }
    TMudRoom2* R(const std::string& hint) {
        TMudRoom2* found = nullptr;
        Map().Lists().ForEachWorldRoom([&](TMudRoom2* r, const std::string&) {
            if (r->Hint == hint) found = r;
        });
        return found;
    }
    // Gives a room of the world a game number and area, as tracking does.
    void Identify(const std::string& hint, const std::string& id, const std::string& area) {
        TMudRoom2* r = R(hint);
        ASSERT_NE(r, nullptr) << hint;
        Map().SetGameId(r, id);
        r->GameArea = area;
    }
    // "hint=id@area" for every room of the world that has a number or an area, by zone.
    std::map<std::string, Names> Identities() {
        std::map<std::string, Names> out;
        Map().Lists().ForEachWorldRoom([&](TMudRoom2* r, const std::string& zone) {
            if (!r->GameId.empty() || !r->GameArea.empty())
                out[zone].push_back(r->Hint + "=" + r->GameId + "@" + r->GameArea);
        });
        return out;
    }
    storage::RoomIdentities OnDisk(const std::string& world = "W") {
        storage::RoomIdentityReadResult read =
            storage::ReadRoomIdentities(TempDir::Read(IdsFile(world)));
        EXPECT_TRUE(read.ok()) << read.error;
        return read.data;
    }
    Names TreeZones() {
        Names n;
        for (auto* z : store.Tree().Zones())
            n.push_back(z->text);
        return n;
    }
};

} // namespace

TEST(RoomIdentity, WorldWithoutTheFileGetsOneOnlyWhenThereIsSomethingToWrite) {
    Env e;
    e.Zone("A", {Room("a1", 1), Room("a2", 2, 1)});
    const std::string zoneBytes = TempDir::Read(e.Dir() / "A.tk2");
    e.Load("A");
    EXPECT_TRUE(e.Identities().empty());
    ASSERT_TRUE(e.store.nSaveWorldClick());
    EXPECT_FALSE(fs::exists(e.IdsFile()));
    EXPECT_EQ(TempDir::Read(e.Dir() / "A.tk2"), zoneBytes);

    // A number and an area: the zone file stays as other programs know it, the rest goes beside.
    e.Identify("a2", "502", W("Деревня"));
    ASSERT_TRUE(e.store.SaveZone());
    EXPECT_EQ(TempDir::Read(e.Dir() / "A.tk2"), zoneBytes);
    EXPECT_EQ(TempDir::Read(e.IdsFile()), kHead + "R|A|2|502|" + W("Деревня") + "\r\n");

    e.Load("A");
    EXPECT_EQ(e.Map().FindRoomById("502"), e.R("a2"));
    EXPECT_EQ(e.R("a2")->GameArea, W("Деревня"));
    EXPECT_TRUE(e.R("a1")->GameId.empty());

    // Once there is a file it stays, holding its first line alone when nothing is left.
    e.Identify("a2", "", "");
    ASSERT_TRUE(e.store.SaveZone());
    EXPECT_EQ(TempDir::Read(e.IdsFile()), kHead);
    EXPECT_TRUE(e.ui.errors.empty());
}

TEST(RoomIdentity, DamagedFileIsKeptAsideAndTheWorldLoadsWithoutIt) {
    const std::vector<std::pair<std::string, std::string>> damages = {
        {"Quarvelin room identity 9\r\nR|A|1|5|x\r\n", "line 1"},
        {kHead + "A|A|x\r\nR|A|1|5|x\r\nR|A|one|6|x\r\n", "line 4"},
    };
    for (const auto& [bytes, where] : damages) {
        SCOPED_TRACE(where);
        Env e;
        e.Zone("A", {Room("a1", 1)});
        TempDir::Write(e.IdsFile(), bytes);
        TempDir::Write(e.Dir() / "game-ids.txt.damaged", "older");
        e.Load("A");
        // Nothing of a file that makes no sense is taken, not even its good lines.
        EXPECT_TRUE(e.Identities().empty());
        EXPECT_TRUE(e.Map().ZoneAreas().empty());
        ASSERT_FALSE(e.ui.log.empty());
        EXPECT_EQ(e.ui.log.back().rfind("File: \"game-ids.txt\" " + where + ":", 0), 0u)
            << e.ui.log.back();
        EXPECT_EQ(TempDir::Read(e.IdsFile()), bytes); // untouched until it would be replaced
        EXPECT_TRUE(e.ui.errors.empty());

        e.Identify("a1", "9", "");
        ASSERT_TRUE(e.store.SaveZone());
        EXPECT_EQ(TempDir::Read(e.Dir() / "game-ids.txt.damaged"), "older");
        EXPECT_EQ(TempDir::Read(e.Dir() / "game-ids.txt.damaged.1"), bytes);
        ASSERT_EQ(e.ui.errors.size(), 1u);
        EXPECT_NE(e.ui.errors[0].find("<game-ids.txt.damaged.1>"), std::string::npos);
        EXPECT_EQ(TempDir::Read(e.IdsFile()), kHead + "R|A|1|9|\r\n");
        // Moved aside once: later saves write the file as usual.
        e.Identify("a1", "10", "");
        ASSERT_TRUE(e.store.SaveZone());
        EXPECT_FALSE(fs::exists(e.Dir() / "game-ids.txt.damaged.2"));
        EXPECT_EQ(e.ui.errors.size(), 1u);
    }
}

TEST(RoomIdentity, UndoBringsBackTheNumbersOfTheFilesOnDisk) {
    Env e;
    e.Zone("A", {Room("a1", 1), Room("a2", 2)});
    e.Zone("B", {Room("b1", 1)});
    TempDir::Write(e.IdsFile(), kHead + "R|B|1|100|cave\r\n");
    e.Load("A");
    e.Identify("a1", "1", "village");
    ASSERT_TRUE(e.store.SaveZone());

    // Unsaved changes: another number, a new room with one, a number on a room of B.
    e.Identify("a1", "111", "elsewhere");
    e.Identify("a2", "2", "village");
    e.Map().AddRoom(std::make_unique<TMudRoom2>(Room("a3", 3)), "A");
    e.Identify("a3", "3", "village");
    e.Identify("b1", "200", "cave");

    e.store.btnUndoClick();
    EXPECT_EQ(e.Identities(),
              (std::map<std::string, Names>{{"A", {"a1=1@village"}}, {"B", {"b1=100@cave"}}}));
    EXPECT_EQ(e.Map().FindRoomById("1"), e.R("a1"));
    EXPECT_EQ(e.Map().FindRoomById("111"), nullptr);
    EXPECT_EQ(e.Map().FindRoomById("3"), nullptr);
    EXPECT_EQ(e.Map().FindRoomById("100"), e.R("b1"));
}

TEST(RoomIdentity, RenamingAndDeletingZonesCarryOrDropTheirLinesAndAreas) {
    Env e;
    e.Zone("A", {Room("a1", 1), Room("a2", 2)});
    e.Zone("B", {Room("b1", 4)});
    e.Zone("C", {Room("c1", 1)});
    TempDir::Write(e.IdsFile(), kHead + "A|A|village\r\nA|B|cave\r\n"
                                        "R|A|2|20|village\r\nR|B|4|40|cave\r\nR|C|1|50|x\r\n");
    e.Load("C");

    ASSERT_TRUE(e.zones.RenameZone("A", "Village"));
    storage::RoomIdentities disk = e.OnDisk();
    EXPECT_EQ(disk.zoneAreas,
              (std::map<std::string, std::string>{{"B", "cave"}, {"Village", "village"}}));
    EXPECT_EQ(disk.zones.count("A"), 0u);
    EXPECT_EQ(disk.zones["Village"], (Lines{{2, 1, "20", "village"}}));

    e.store.Tree().Select(e.store.Tree().FindZone("B"));
    e.zones.nnDeleteZoneClick(false);
    disk = e.OnDisk();
    EXPECT_EQ(disk.zoneAreas, (std::map<std::string, std::string>{{"Village", "village"}}));
    EXPECT_EQ(disk.zones.count("B"), 0u);

    e.Load("C");
    EXPECT_EQ(e.TreeZones(), (Names{"C", "Village"}));
    EXPECT_EQ(e.Map().ZoneOfArea("village"), "Village");
    EXPECT_EQ(e.Map().ZoneOfArea("cave"), "");
    EXPECT_EQ(e.Identities(),
              (std::map<std::string, Names>{{"C", {"c1=50@x"}}, {"Village", {"a2=20@village"}}}));

    // A zone made later under a deleted zone's name starts with no numbers and no area.
    e.zones.RenameZone("C", "B");
    EXPECT_EQ(e.OnDisk().zones.count("C"), 0u);
    EXPECT_EQ(e.OnDisk().zones["B"], (Lines{{1, 1, "50", "x"}}));
    EXPECT_EQ(e.Map().AreaOfZone("B"), "");
}

TEST(RoomIdentity, SplittingAZoneKeepsEveryRoomsNumberUnderItsNewZoneAndTag) {
    Env e;
    e.Zone("Old", {Room("C", 5, 0, 0, "NS"), Room("N", 9, -1, 0, "SE"), Room("M", 3, -1, 1, "W"),
                   Room("S", 2, 1, 0, "N")});
    TempDir::Write(e.IdsFile(), kHead + "A|Old|village\r\nR|Old|5|c|village\r\n"
                                        "R|Old|9|n|village\r\nR|Old|3|m|village\r\n");
    e.Load("Old");
    e.Map().ContextRoom = e.R("C");
    ASSERT_TRUE(e.links.StartNewZone(map::North));
    const std::string fresh = W("Новая зона");

    storage::RoomIdentities disk = e.OnDisk();
    EXPECT_EQ(disk.zones["Old"], (Lines{{5, 1, "c", "village"}}));
    EXPECT_EQ(disk.zones[fresh], (Lines{{1, 1, "n", "village"}, {2, 1, "m", "village"}}));
    EXPECT_EQ(disk.zoneAreas, (std::map<std::string, std::string>{{"Old", "village"}}));

    e.Load("Old");
    EXPECT_EQ(e.Map().ZoneOf(e.Map().FindRoomById("n")), fresh);
    EXPECT_EQ(e.Map().FindRoomById("m")->Tag, 2);
    EXPECT_EQ(e.Map().FindRoomById("c"), e.R("C"));
}

TEST(RoomIdentity, JoiningZonesKeepsTheNumbersAndTheJoinedZonesArea) {
    for (const bool survivorBound : {false, true}) {
        SCOPED_TRACE(survivorBound);
        Env e;
        const std::string north = Phrase(map::North), south = Phrase(map::South);
        e.Zone("Old", {Room("C", 1, 0, 0, "N", {"Side|" + north + "|1||-1"}), Room("R", 4, 3, 3)});
        e.Zone("Side",
               {Room("T", 1, 5, 5, "S", {"Old|" + south + "|1||-1"}), Room("T2", 2, 5, 6, "")});
        TempDir::Write(e.IdsFile(), kHead + (survivorBound ? "A|Old|town\r\n" : "") +
                                        "A|Side|side\r\nR|Old|4|r|town\r\n"
                                        "R|Side|1|t|side\r\nR|Side|2|t2|side\r\n");
        e.Load("Old");
        e.Map().ContextRoom = e.R("C");
        ASSERT_TRUE(e.links.nMergeZone(map::North));

        storage::RoomIdentities disk = e.OnDisk();
        EXPECT_EQ(disk.zones.count("Side"), 0u);
        EXPECT_EQ(disk.zones["Old"],
                  (Lines{{4, 1, "r", "town"}, {5, 1, "t", "side"}, {6, 1, "t2", "side"}}));
        // An area has one zone: the joined zone's goes to this one unless it has its own.
        EXPECT_EQ(disk.zoneAreas,
                  (std::map<std::string, std::string>{{"Old", survivorBound ? "town" : "side"}}));
        e.Load("Old");
        EXPECT_EQ(e.Map().FindRoomById("t2")->Tag, 6);
        EXPECT_EQ(e.Map().ZoneOf(e.Map().FindRoomById("t")), "Old");
    }
}

TEST(RoomIdentity, SaveAsCopiesEveryNumberAndAreaIntoTheNewWorld) {
    Env e;
    e.Zone("A", {Room("a1", 1)});
    // "Gone" has no zone file: its lines are kept all the same.
    const std::string bytes = kHead + "A|A|village\r\nR|A|1|7|village\r\nR|Gone|3|8|\r\n";
    TempDir::Write(e.IdsFile(), bytes);
    e.Load("A");
    ASSERT_TRUE(e.store.nSaveWorldClick());
    EXPECT_EQ(TempDir::Read(e.IdsFile()), bytes);

    e.ui.choices.push_back(std::string("Copy"));
    e.store.nSaveWorldAsClick();
    EXPECT_EQ(e.store.WorldName(), "Copy");
    EXPECT_EQ(TempDir::Read(e.IdsFile("Copy")), bytes);
    EXPECT_EQ(TempDir::Read(e.IdsFile("W")), bytes);

    // The copy goes its own way; the old world keeps what it had.
    e.Identify("a1", "70", "village");
    ASSERT_TRUE(e.store.SaveZone());
    EXPECT_EQ(e.OnDisk("Copy").zones["A"], (Lines{{1, 1, "70", "village"}}));
    EXPECT_EQ(TempDir::Read(e.IdsFile("W")), bytes);
    e.Load("A", "W");
    EXPECT_EQ(e.Map().FindRoomById("7"), e.R("a1"));
}

TEST(RoomIdentity, LinesOfADamagedZoneFileStayWithTheFileKeptAside) {
    Env e;
    std::string zone = e.ZoneBytes({Room("z1", 1), Room("z2", 2), Room("z3", 3)});
    const std::string lost = e.ZoneBytes({Room("z3", 3)});
    zone.resize(zone.size() - lost.size() + 20); // the third record cut short
    TempDir::Write(e.Dir() / "Z.tk2", zone);
    const std::string lines = "R|Z|1|1|a\r\nR|Z|2|2|a\r\nR|Z|3|3|a\r\n";
    TempDir::Write(e.IdsFile(), kHead + lines);
    e.Load("Z");
    EXPECT_EQ(e.Identities(), (std::map<std::string, Names>{{"Z", {"z1=1@a", "z2=2@a"}}}));

    ASSERT_TRUE(e.store.SaveZone());
    EXPECT_EQ(TempDir::Read(e.Dir() / "Z.tk2.damaged"), zone);
    storage::RoomIdentities disk = e.OnDisk();
    EXPECT_EQ(disk.zones["Z"], (Lines{{1, 1, "1", "a"}, {2, 1, "2", "a"}}));
    EXPECT_EQ(disk.zones["Z.tk2.damaged"],
              (Lines{{1, 1, "1", "a"}, {2, 1, "2", "a"}, {3, 1, "3", "a"}}));
}

TEST(ZoneForArea, TheBoundZoneElseTheEmptyCurrentZoneElseANewOne) {
    Env e;
    EXPECT_EQ(e.store.ZoneForArea("village"), ""); // no world
    e.ui.choices.push_back(std::string("W"));
    e.store.nNewWorldClick();
    const std::string first = W("Новая зона");
    ASSERT_EQ(e.store.CurrentZone(), first);

    // The first zone of a new world takes the first area and its name.
    EXPECT_EQ(e.store.ZoneForArea("Village"), "Village");
    EXPECT_EQ(e.store.CurrentZone(), "Village");
    EXPECT_EQ(e.TreeZones(), (Names{"Village"}));
    EXPECT_TRUE(fs::exists(e.Dir() / "Village.tk2"));
    EXPECT_FALSE(fs::exists(*storage::ZoneFilePath(e.Dir(), first)));
    EXPECT_EQ(TempDir::Read(e.IdsFile()), kHead + "A|Village|Village\r\n");
    EXPECT_EQ(e.store.ZoneForArea("Village"), "Village");
    EXPECT_EQ(e.store.ZoneForArea(""), "");

    // A zone with rooms keeps its name: another area gets a zone of its own, made beside it,
    // its name written so that it can be a file name, and the tree shows the area's name.
    e.Map().AddRoom(std::make_unique<TMudRoom2>(Room("v", 1)), "Village");
    EXPECT_EQ(e.store.ZoneForArea("Caves: North"), "Caves%3A North");
    EXPECT_EQ(e.store.CurrentZone(), "Village");
    EXPECT_TRUE(fs::exists(e.Dir() / "Caves%3A North.tk2"));
    EXPECT_EQ(e.store.Tree().Shown(e.store.Tree().FindZone("Caves%3A North")), "Caves: North");
    EXPECT_EQ(e.store.Tree().Shown(e.store.Tree().FindZone("Village")), "Village");
    EXPECT_EQ(e.store.ZoneForArea("Caves: North"), "Caves%3A North");

    // Names already taken (in any letter case, as on Windows) get a number.
    TempDir::Write(e.Dir() / "Market.tk2", "");
    e.Load("Village");
    EXPECT_EQ(e.store.ZoneForArea("market"), "market 2");
    e.zones.RenameZone("Caves%3A North", "Caves%3A North 2");
    EXPECT_EQ(e.store.Tree().Shown(e.store.Tree().FindZone("Caves%3A North 2")), "Caves: North 2");
    EXPECT_EQ(e.store.ZoneForArea("Caves: North"), "Caves%3A North 2");
    e.zones.RenameZone("Caves%3A North 2", "Grotto");
    EXPECT_EQ(e.store.Tree().Shown(e.store.Tree().FindZone("Grotto")), "Grotto");

    // An empty current zone already bound to an area is left to it.
    e.store.SwitchZone("market 2", true);
    EXPECT_EQ(e.store.ZoneForArea("Docks"), "Docks");
    EXPECT_EQ(e.store.CurrentZone(), "market 2");

    // Everything survives a reload.
    e.Load("Village");
    EXPECT_EQ(e.Map().ZoneAreas(), (std::map<std::string, std::string>{{"Docks", "Docks"},
                                                                       {"Grotto", "Caves: North"},
                                                                       {"Village", "Village"},
                                                                       {"market 2", "market"}}));
    EXPECT_EQ(e.TreeZones(), (Names{"Docks", "Grotto", "Market", "market 2", "Village"}));
    EXPECT_TRUE(e.ui.errors.empty());
}

TEST(ZoneForArea, BindingByHandAndTheAreasToChooseFrom) {
    Env e;
    e.Zone("A", {Room("a1", 1), Room("a2", 2)});
    e.Zone("B", {Room("b1", 1)});
    e.Load("A");
    e.Identify("a1", "1", "village");
    e.Identify("a2", "2", "village");
    e.Identify("b1", "3", "cave");
    EXPECT_EQ(e.store.KnownAreas(), (Names{"cave", "village"}));

    ASSERT_TRUE(e.store.BindZoneToArea("A", "village"));
    EXPECT_EQ(TempDir::Read(e.IdsFile()), kHead + "A|A|village\r\n");
    // An area bound to another zone moves; an area no room has yet is offered from then on.
    ASSERT_TRUE(e.store.BindZoneToArea("B", "village"));
    ASSERT_TRUE(e.store.BindZoneToArea("A", "docks"));
    EXPECT_EQ(e.store.KnownAreas(), (Names{"cave", "docks", "village"}));
    EXPECT_EQ(TempDir::Read(e.IdsFile()), kHead + "A|A|docks\r\nA|B|village\r\n");
    EXPECT_EQ(e.store.ZoneForArea("village"), "B");
    ASSERT_TRUE(e.store.BindZoneToArea("A", ""));
    EXPECT_EQ(TempDir::Read(e.IdsFile()), kHead + "A|B|village\r\n");
    // Binding writes the file at once; the rooms' numbers come with the next save.
    ASSERT_TRUE(e.store.nSaveWorldClick());
    EXPECT_EQ(e.OnDisk().zones["A"], (Lines{{1, 1, "1", "village"}, {2, 1, "2", "village"}}));
}

// Rooms that have no cell on a zone's grid begin a zone beside it, numbered after its name; the
// zone exists on disk at once and is bound to no area.
TEST(ZoneBeside, NumberedAfterTheZonesOwnNameAndSavedEmpty) {
    Env e;
    EXPECT_EQ(e.store.ZoneBeside("Forest"), ""); // no world
    e.ui.choices.push_back(std::string("W"));
    e.store.nNewWorldClick();
    TempDir::Write(e.Dir() / "forest 2.tk2", ""); // taken in another letter case
    e.Load(W("Новая зона"));
    EXPECT_EQ(e.store.ZoneBeside("Forest"), "Forest 3");
    EXPECT_EQ(e.store.ZoneBeside("Forest 3"), "Forest 4");
    EXPECT_EQ(e.store.ZoneBeside("2"), "2 2"); // a name that is only a number keeps it
    const std::string forest = W("Лес");
    EXPECT_EQ(e.store.ZoneBeside(forest), forest + " 2");
    EXPECT_TRUE(fs::exists(e.Dir() / "Forest 3.tk2"));
    EXPECT_TRUE(fs::exists(*storage::ZoneFilePath(e.Dir(), forest + " 2")));
    EXPECT_TRUE(e.store.Tree().FindZone("Forest 4"));
    EXPECT_TRUE(e.Map().AreaOfZone("Forest 3").empty());
}
