// The room record's exit states, the two room lists and their order, and the indexed lookups
// checked against plain scans of the lists.

#include "MapFixture.h"

#include "map/RoomKeys.h"

#include <random>
#include <set>

namespace maptest {
namespace {

using namespace map;

TEST(RoomRecord, ExitStatesFollowTheExitWords) {
    profile::WorldProfile p;
    TMudRoom2 r;
    r.SetExits("N (S)", p);
    EXPECT_EQ(r.ExitStateOf(North), kExit);
    EXPECT_EQ(r.ExitStateOf(South), kDoor);
    EXPECT_EQ(r.ExitStateOf(East), kNoExit);
    r.SetExits("(N) (E)", p);
    EXPECT_EQ(r.ExitStateOf(North), kDoor);
    EXPECT_EQ(r.ExitStateOf(East), kDoor);
    r.SetExits("n s", p);
    EXPECT_EQ(r.ExitStateOf(North), kNoExit);
    p.AutoexitsIgnoreCase = true;
    r.SetExits("n s", p);
    EXPECT_EQ(r.ExitStateOf(North), kExit);
    // Later changes of the words leave the states as they were computed.
    p.ExitWords[North] = "X";
    EXPECT_EQ(r.ExitStateOf(North), kExit);
}

TEST(RoomRecord, PositionKeys) {
    EXPECT_EQ(PositionKey(3, -2, 0), "1000|3|-2");
    EXPECT_EQ(PositionKey(0, 0, -1).substr(0, 5), "0999|");
    EXPECT_EQ(PositionKey(0, 0, 9000).substr(0, 6), "10000|");
    EXPECT_EQ(PositionKey(1, 2, -990), "0010|1|2");
}

TEST_F(MapTest, ZoneListKeepsTextOrderOfKeysAndMovedRoomsKeepTheirPlace) {
    for (int x : {2, 10, -1, 1})
        linker.NewRoomAt(x, 0, 0, std::to_string(x), "", "");
    std::vector<int> xs;
    for (TMudRoom2* r : world.Lists().ZoneRooms())
        xs.push_back(r->X);
    // "1000|-1|0" < "1000|10|0" < "1000|1|0" < "1000|2|0" as text
    EXPECT_EQ(xs, (std::vector<int>{-1, 10, 1, 2}));

    TMudRoom2* ten = world.FindRoom(10, 0, 0);
    world.ContextRoom = ten;
    linker.MoveRoomTo(South); // now at X 11, keeping its place
    EXPECT_EQ(world.Lists().ZoneKey(ten), "1000|11|0");
    EXPECT_EQ(world.Lists().ZoneRooms()[1], ten);
    EXPECT_EQ(world.FindRoom(11, 0, 0), ten);
    linker.NewRoomAt(3, 0, 0, "3", "", ""); // creation sorts again
    xs.clear();
    for (TMudRoom2* r : world.Lists().ZoneRooms())
        xs.push_back(r->X);
    EXPECT_EQ(xs, (std::vector<int>{-1, 11, 1, 2, 3}));

    // World list: creation order.
    std::vector<std::string> names;
    world.Lists().ForEachWorldRoom(
        [&](TMudRoom2* r, const std::string&) { names.push_back(r->Hint); });
    EXPECT_EQ(names, (std::vector<std::string>{"2", "10", "-1", "1", "3"}));
}

TEST_F(MapTest, TwoRoomsOnOnePositionGiveTheEarlierInListOrder) {
    TMudRoom2* first = linker.NewRoomAt(1, 1, 0, "First", "", "");
    TMudRoom2* second = linker.NewRoomAt(1, 1, 0, "Second", "", "");
    EXPECT_EQ(world.FindRoom(1, 1, 0), first);
    world.DestroyRoom(first);
    EXPECT_EQ(world.FindRoom(1, 1, 0), second);
}

TEST_F(MapTest, ZoneSwitchRebuildsTheZoneList) {
    linker.NewRoomAt(0, 0, 0, "A", "", "");
    TMudRoom2* b = linker.NewRoomAt(-4, 0, 2, "B", "", "");
    b->Selected = b->Checked = true;
    world.ClearZone();
    EXPECT_FALSE(b->Selected);
    EXPECT_FALSE(b->Checked);
    EXPECT_EQ(world.FindRoom(0, 0, 0), nullptr);
    world.CurrentZone = "Other";
    world.LoadZoneRooms();
    EXPECT_EQ(world.Lists().ZoneCount(), 0u);
    EXPECT_EQ(linker.NewRoomAt(0, 0, 0, "C", "", "")->Tag, 1);
    EXPECT_EQ(world.Extents, (MapExtents{0, 0, 0, 0, 0, 0}));

    world.CurrentZone = "Zone";
    world.LoadZoneRooms();
    EXPECT_EQ(world.HighestRoomNumber, 2);
    EXPECT_EQ(world.Extents, (MapExtents{-4, 0, 0, 0, 0, 2}));
    EXPECT_EQ(world.FindRoom(-4, 0, 2), b);

    world.Lists().RenameZone("Zone", "Renamed");
    EXPECT_EQ(world.ZoneOf(b), "Renamed");
    EXPECT_EQ(world.GlobalFindRoom(-4, 0, 2, "Renamed"), b);
    EXPECT_EQ(world.GlobalFindRoomByTag(2, "Zone"), nullptr);
}

TEST_F(MapTest, CopiesOfARoomAreNotListed) {
    TMudRoom2* a = linker.NewRoomAt(0, 0, 0, "A", "", "");
    TMudRoom2 copy = *a;
    EXPECT_FALSE(world.Lists().InWorld(&copy));
    copy.Hint = "Edited";
    *a = copy; // the property dialog writes its copy back
    world.RoomChanged(a);
    EXPECT_TRUE(world.Lists().InWorld(a));
    EXPECT_EQ(world.FindRoomByName("Edited", "", ""), a);
    EXPECT_EQ(world.FindRoom(0, 0, 0), a);
}

// ---- Indexed lookups against plain scans ----

std::string Strip(std::string_view s, std::string_view drop) {
    std::string out;
    for (char c : s)
        if (drop.find(c) == std::string_view::npos) out += c;
    return out;
}

class LookupAgainstScan : public MapTest {
protected:
    std::mt19937 rng{12345};
    const std::vector<std::string> names{"Road", "Hall", "Yard", "Road "};
    const std::vector<std::string> descs{"A road.", "A  road.", "A\r\nroad.", "", "Hall."};
    const std::vector<std::string> exits{"N S", "N (S)", "n s", "E W", "", "NS"};
    const std::vector<std::string> zones{"Z0", "Z1", "Z2"};

    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
    template <class T> const T& Pick(const std::vector<T>& v) { return v[Pick(int(v.size()))]; }

    void Switch(const std::string& zone) {
        world.CurrentZone = zone;
        world.LoadZoneRooms();
    }

    bool Rule(const TMudRoom2& r, const std::string& n, const std::string& d,
              const std::string& e) {
        return r.Hint == n &&
               (profile.NoDescription || Strip(r.Description, " ") == Strip(d, " ")) &&
               Strip(r.Exits(), " ()") == Strip(e, " ()");
    }

    template <class Test> TMudRoom2* ScanZone(Test t) {
        for (TMudRoom2* r : world.Lists().ZoneRooms())
            if (t(*r)) return r;
        return nullptr;
    }
    template <class Test> TMudRoom2* ScanWorld(const std::string* zone, Test t) {
        TMudRoom2* found = nullptr;
        world.Lists().ForEachWorldRoom([&](TMudRoom2* r, const std::string& z) {
            if (!found && (!zone || z == *zone) && t(*r)) found = r;
        });
        return found;
    }

    void Mutate() {
        std::vector<TMudRoom2*> rooms = world.Lists().ZoneRooms();
        if (rooms.empty()) return;
        TMudRoom2* r = rooms[Pick(int(rooms.size()))];
        switch (Pick(6)) {
        case 0: // destroy
            world.DestroyRoom(r);
            break;
        case 1: // push a group around
            world.ContextRoom = r;
            linker.MoveRoomTo(static_cast<Dir>(Pick(4)));
            break;
        case 2: // edit by hand
            r->Hint = Pick(names);
            r->Description = Pick(descs);
            r->SetExits(Pick(exits), profile);
            r->Tag = Pick(8);
            world.RoomChanged(r);
            break;
        case 3:
            r->X += Pick(3) - 1;
            r->L += Pick(3) - 1;
            world.RoomChanged(r);
            break;
        case 4:
            world.RefreshProp(r, Pick(names), Pick(descs), Pick(exits));
            break;
        default:
            linker.NewRoomAt(Pick(6), Pick(6), Pick(2), Pick(names), Pick(descs), Pick(exits),
                             Pick(10) == 0);
        }
    }

    void CheckAll() {
        for (int q = 0; q < 60; ++q) {
            const int x = Pick(7) - 1, y = Pick(7) - 1, l = Pick(3) - 1, tag = Pick(8);
            const std::string& zone = Pick(zones);
            auto at = [&](const TMudRoom2& r) { return r.X == x && r.Y == y && r.L == l; };
            auto numbered = [&](const TMudRoom2& r) { return r.Tag == tag; };
            ASSERT_EQ(world.FindRoom(x, y, l), ScanZone(at));
            ASSERT_EQ(world.FindRoomByTag(tag), ScanZone(numbered));
            ASSERT_EQ(world.GlobalFindRoom(x, y, l, zone), ScanWorld(&zone, at));
            ASSERT_EQ(world.GlobalFindRoomByTag(tag, zone), ScanWorld(&zone, numbered));
            const std::string n = Pick(10) == 0 ? std::string() : Pick(names);
            const std::string& d = Pick(descs);
            const std::string& e = Pick(exits);
            auto named = [&](const TMudRoom2& r) { return Rule(r, n, d, e); };
            ASSERT_EQ(world.FindRoomByName(n, d, e), ScanZone(named));
            ASSERT_EQ(world.GlobalFindRoomByName(n, d, e), ScanWorld(nullptr, named));
        }
    }
};

TEST_F(LookupAgainstScan, RandomisedMapsGiveTheFirstMatchInListOrder) {
    for (int round = 0; round < 30; ++round) {
        Switch(Pick(zones));
        for (int i = 0; i < 40; ++i)
            linker.NewRoomAt(Pick(6), Pick(6), Pick(2), Pick(names), Pick(descs), Pick(exits),
                             Pick(10) == 0);
        for (int i = 0; i < 40; ++i)
            Mutate();
        profile.NoDescription = Pick(4) == 0;
        CheckAll();
        if (HasFatalFailure()) return;
        // The zone list was put in key order by the last creation or stays so after moves.
        const std::vector<TMudRoom2*> rooms = world.Lists().ZoneRooms();
        world.Lists().SortZone();
        ASSERT_EQ(world.Lists().ZoneCount(), rooms.size());
        CheckAll();
        if (HasFatalFailure()) return;
    }
    // Every room is in the world list exactly once and the zone list holds the zone's rooms.
    size_t inZone = 0;
    world.Lists().ForEachWorldRoom([&](TMudRoom2* r, const std::string& z) {
        inZone += z == world.CurrentZone;
        EXPECT_EQ(world.Lists().InZone(r), z == world.CurrentZone);
    });
    EXPECT_EQ(inZone, world.Lists().ZoneCount());
}

} // namespace
} // namespace maptest

namespace maptest {
namespace {

// The flat index against a multiset of (key, room) pairs, with keys crowded onto few slots so
// that probe runs wrap around the table and deletions have to pull entries back.
TEST(RoomIndexTest, AgreesWithAPlainMultiset) {
    std::mt19937 rng(7);
    std::vector<TMudRoom2> rooms(64);
    map::RoomIndex index;
    std::multiset<std::pair<std::uint64_t, TMudRoom2*>> expected;
    for (int step = 0; step < 20000; ++step) {
        const std::uint64_t key = (rng() % 8) * 1024 + (rng() % 3) * 7 + 13;
        TMudRoom2* room = &rooms[rng() % rooms.size()];
        switch (rng() % 3) {
        case 0:
            index.Insert(key, room);
            expected.insert({key, room});
            break;
        case 1:
            if (auto it = expected.find({key, room}); it != expected.end()) {
                index.Erase(key, room);
                expected.erase(it);
            }
            break;
        default: {
            std::multiset<TMudRoom2*> found, want;
            index.ForEach(key, [&](TMudRoom2* r) { found.insert(r); });
            for (auto it = expected.lower_bound({key, nullptr});
                 it != expected.end() && it->first == key; ++it)
                want.insert(it->second);
            ASSERT_EQ(found, want);
        }
        }
        ASSERT_EQ(index.Size(), expected.size());
    }
}

} // namespace
} // namespace maptest
