// The checker that measures a saved map against the demo region, tried on maps made from the
// region's own dump and saved as zone files: a map built right scores right, and a map with
// known faults scores exactly those faults.

#include "E2eSupport.h"
#include "WalkChecker.h"
#include "files/Paths.h"
#include "files/ZoneFile.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

const profile::WorldProfile& Profile() {
    static const profile::WorldProfile profile;
    return profile;
}

map::Dir Dir(char letter) {
    for (const auto& i : map::kDirs)
        if (i.letter == letter) return i.dir;
    return map::North;
}

// Where a link of `dir` leads: to a room in a zone, by link line.
void LinkLineTo(MapRoom& from, char dir, const std::string& zone, int tag) {
    const std::string& phrase = map::Phrase(Profile(), Dir(dir));
    std::erase_if(from.room.AutoMaps, [&](const std::string& line) {
        return map::LinkLine::Parse(line).exit == phrase;
    });
    from.room.AutoMaps.push_back(zone + "|" + phrase + "|" + std::to_string(tag));
    from.room.Ch(Dir(dir)) = true;
}

// The map a perfect mapper would make: a zone per area, a room per game room (its Tag the
// game's id), linked along the grid where the exit lies on it and by link lines elsewhere.
std::map<int, MapRoom> PerfectMap(const DemoWorld& world) {
    std::map<int, MapRoom> rooms;
    for (const auto& [id, r] : world.rooms) {
        MapRoom m{r.area, {}};
        m.room.Tag = id;
        m.room.Hint = r.name;
        m.room.Description = r.descriptionPlain;
        m.room.X = r.x, m.room.Y = r.y, m.room.L = r.level;
        rooms.emplace(id, std::move(m));
    }
    for (const auto& [id, r] : world.rooms)
        for (const auto& [d, to] : r.exits) {
            const DemoRoom& t = world.rooms.at(to);
            const auto& step = map::Info(Dir(d));
            const bool next =
                t.x == r.x + step.dx && t.y == r.y + step.dy && t.level == r.level + step.dl;
            if (next && t.area == r.area && !r.offGrid.count(d))
                rooms.at(id).room.Ch(Dir(d)) = true;
            else
                LinkLineTo(rooms.at(id), d, t.area, to);
        }
    return rooms;
}

// Saves the rooms as the zone files of a world and reads them back.
SavedMap SaveAndLoad(const std::map<int, MapRoom>& rooms, const fs::path& dir) {
    std::map<std::string, std::vector<const map::TMudRoom2*>> zones;
    for (const auto& [id, m] : rooms)
        zones[m.zone].push_back(&m.room);
    for (const auto& [zone, list] : zones) {
        const auto name = storage::ZoneFileName(zone);
        EXPECT_TRUE(name.has_value());
        EXPECT_TRUE(storage::SaveZoneFile(dir / *name, storage::WriteZone(list)).ok());
    }
    return SavedMap::Load(dir);
}

const MapRoom* StartOf(const SavedMap& saved, const DemoWorld& world) {
    return saved.ByTag(world.rooms.at(world.start).area, world.start);
}

int TotalExits(const DemoWorld& world) {
    int n = 0;
    for (const auto& [id, r] : world.rooms)
        n += static_cast<int>(r.exits.size());
    return n;
}

} // namespace

TEST(WalkChecker, AMapBuiltRightScoresEveryRoomAndEveryLink) {
    const DemoWorld world = DemoWorld::Load("region");
    const WalkPlan walk = PlanWalk(world, 7);
    TempDir dir;
    const SavedMap saved = SaveAndLoad(PerfectMap(world), dir.path());
    ASSERT_NE(StartOf(saved, world), nullptr);
    const WalkFigures f = CheckWalk(walk, saved, StartOf(saved, world));
    const int rooms = static_cast<int>(world.rooms.size());
    EXPECT_EQ(f.gameRooms, rooms);
    EXPECT_EQ(f.walkedExits, TotalExits(world));
    EXPECT_EQ(f.mapRooms, rooms);
    EXPECT_EQ(f.roomsRight, rooms) << f.Summary();
    EXPECT_EQ(f.linksRight, f.walkedExits) << f.Summary();
    EXPECT_EQ(f.duplicates, 0);
    EXPECT_EQ(f.merges, 0);
    EXPECT_EQ(f.unmapped, 0);

    // Without a start the map is never found, whatever it holds.
    const WalkFigures lost = CheckWalk(walk, saved, nullptr);
    EXPECT_EQ(lost.roomsRight, 0);
    EXPECT_EQ(lost.linksRight, 0);
    EXPECT_EQ(lost.unmapped, rooms);
}

// One room copied (one way into it leads to the copy), two rooms merged into one map room, one
// link that leads into a far room: one duplicate, one merge, one link wrong, three rooms not
// right, and the replay finds its way again after the wrong link. A link the map lacks costs
// that link alone.
TEST(WalkChecker, CountsACopiedRoomAMergeAndAWrongLinkExactly) {
    const DemoWorld world = DemoWorld::Load("region");
    const WalkPlan walk = PlanWalk(world, 3);
    const int rooms = static_cast<int>(world.rooms.size());

    // When each room is first entered, and when each exit is first taken.
    std::map<int, std::size_t> entered{{world.start, 0}};
    std::map<std::pair<int, char>, std::size_t> taken;
    for (std::size_t k = 0; k < walk.moves.size(); ++k) {
        entered.emplace(walk.moves[k].to, k + 1);
        taken.emplace(std::pair{walk.moves[k].from, walk.moves[k].dir}, k + 1);
    }
    // Faults stay apart: no room takes part in two, nor lies next to a room of another.
    std::set<int> used{world.start};
    auto freeRoom = [&](int id) {
        if (used.count(id)) return false;
        for (const auto& [d, to] : world.rooms.at(id).exits)
            if (used.count(to)) return false;
        for (const auto& [other, r] : world.rooms)
            for (const auto& [d, to] : r.exits)
                if (to == id && used.count(other)) return false;
        return true;
    };
    auto use = [&](int id) { used.insert(id); };

    std::map<int, MapRoom> map = PerfectMap(world);
    // The copy: a far cell, and one way into the room leads there instead.
    int copied = 0;
    char copiedWay = 0;
    int copiedFrom = 0;
    for (const auto& [id, r] : world.rooms)
        for (const auto& [d, to] : r.exits)
            if (!copied && freeRoom(id) && freeRoom(to) && !r.oneWay.count(d))
                copied = to, copiedWay = d, copiedFrom = id;
    ASSERT_NE(copied, 0);
    use(copied), use(copiedFrom);
    MapRoom copy = map.at(copied);
    copy.room.Tag = 100000;
    copy.room.X += 1000;
    copy.room.AutoMaps.clear();
    for (const auto& [d, to] : world.rooms.at(copied).exits)
        LinkLineTo(copy, d, world.rooms.at(to).area, to);
    LinkLineTo(map.at(copiedFrom), copiedWay, copy.zone, copy.room.Tag);
    map.emplace(copy.room.Tag, copy);

    // The merge: two rooms whose exits go different ways become one map room.
    int kept = 0, merged = 0;
    for (const auto& [a, ra] : world.rooms)
        for (const auto& [b, rb] : world.rooms) {
            if (kept || a == b || !freeRoom(a) || !freeRoom(b)) continue;
            bool apart = true;
            for (const auto& [d, to] : rb.exits)
                apart = apart && !ra.exits.count(d) && to != a;
            for (const auto& [d, to] : ra.exits)
                apart = apart && to != b;
            if (apart) kept = a, merged = b;
        }
    ASSERT_NE(kept, 0);
    use(kept), use(merged);
    for (const auto& [d, to] : world.rooms.at(merged).exits)
        LinkLineTo(map.at(kept), d, world.rooms.at(to).area, to);
    for (const auto& [id, r] : world.rooms)
        for (const auto& [d, to] : r.exits)
            if (to == merged) LinkLineTo(map.at(id), d, map.at(kept).zone, kept);
    map.erase(merged);

    // The wrong link: taken first once both its room and the room it wrongly leads to are
    // known, so that the replay can tell.
    int wrongFrom = 0, wrongTo = 0;
    char wrongWay = 0;
    for (const auto& [exit, k] : taken) {
        const auto& [from, d] = exit;
        const int to = world.rooms.at(from).exits.at(d);
        if (wrongFrom || !freeRoom(from) || !freeRoom(to) || entered.at(to) >= k) continue;
        for (const auto& [z, r] : world.rooms)
            if (!wrongTo && z != to && z != from && freeRoom(z) && entered.count(z) &&
                entered.at(z) < k && r.area == world.rooms.at(from).area)
                wrongTo = z;
        if (wrongTo) wrongFrom = from, wrongWay = d;
    }
    ASSERT_NE(wrongFrom, 0);
    use(wrongFrom), use(world.rooms.at(wrongFrom).exits.at(wrongWay)), use(wrongTo);
    LinkLineTo(map.at(wrongFrom), wrongWay, map.at(wrongTo).zone, wrongTo);

    TempDir dir;
    const SavedMap saved = SaveAndLoad(map, dir.path());
    const WalkFigures f = CheckWalk(walk, saved, StartOf(saved, world));
    EXPECT_EQ(f.gameRooms, rooms);
    EXPECT_EQ(f.mapRooms, rooms); // one copy more, one merged room less
    EXPECT_EQ(f.duplicates, 1) << f.Summary();
    EXPECT_EQ(f.merges, 1) << f.Summary();
    EXPECT_EQ(f.linksRight, TotalExits(world) - 1) << f.Summary();
    EXPECT_EQ(f.roomsRight, rooms - 3) << f.Summary();
    EXPECT_EQ(f.unmapped, 0) << f.Summary();

    // A map that lacks one link along the grid, taken once its far room is known.
    std::map<int, MapRoom> gap = PerfectMap(world);
    bool cut = false;
    for (const auto& [exit, k] : taken) {
        const auto& [from, d] = exit;
        MapRoom& m = gap.at(from);
        if (cut || !m.room.AutoMaps.empty() || !m.room.Ch(Dir(d)) ||
            entered.at(world.rooms.at(from).exits.at(d)) >= k)
            continue;
        m.room.Ch(Dir(d)) = false;
        cut = true;
    }
    ASSERT_TRUE(cut);
    TempDir gapDir;
    const SavedMap gapped = SaveAndLoad(gap, gapDir.path());
    const WalkFigures g = CheckWalk(walk, gapped, StartOf(gapped, world));
    EXPECT_EQ(g.linksRight, TotalExits(world) - 1) << g.Summary();
    EXPECT_EQ(g.roomsRight, rooms) << g.Summary();
    EXPECT_EQ(g.duplicates + g.merges + g.unmapped, 0) << g.Summary();
}

// A wrong link walked on into a room the walk enters nowhere else: the replay must not follow
// the wrong room's neighbours and take them for the walk's rooms (which would make the far
// room seem to stand for two).
TEST(WalkChecker, AWrongLinkDoesNotLeadTheReplayAstray) {
    // The start 1 with 3 north and 5 south of it, 7 east of it; 3, 2 and 4 in a row east of 3,
    // 2 also north of 7; 6 east of 5. The map leads east from 3 into 5 instead of 2.
    const std::map<int, std::tuple<int, int, std::string>> rooms = {
        {1, {1, 0, "ns e"}}, {2, {0, 1, "w e s"}}, {3, {0, 0, "se"}}, {4, {0, 2, "w"}},
        {5, {2, 0, "n e"}},  {6, {2, 1, "w"}},     {7, {1, 1, "n w"}}};
    std::vector<MapRoom> map;
    for (const auto& [id, where] : rooms) {
        MapRoom m{"z", {}};
        m.room.Tag = id;
        m.room.X = std::get<0>(where), m.room.Y = std::get<1>(where);
        for (char d : std::get<2>(where))
            if (d != ' ') m.room.Ch(Dir(d)) = true;
        map.push_back(std::move(m));
    }
    LinkLineTo(map[2], 'e', "z", 5);
    const SavedMap saved(std::move(map));
    WalkPlan walk;
    walk.start = 1;
    walk.moves = {{1, 's', 5}, {5, 'e', 6}, {6, 'w', 5}, {5, 'n', 1}, {1, 'e', 7}, {7, 'n', 2},
                  {2, 's', 7}, {7, 'w', 1}, {1, 'n', 3}, {3, 'e', 2}, {2, 'e', 4}, {4, 'w', 2}};
    const WalkFigures f = CheckWalk(walk, saved, saved.ByTag("z", 1));
    EXPECT_EQ(f.roomsRight, 7) << f.Summary();
    EXPECT_EQ(f.linksRight, f.walkedExits - 1) << f.Summary();
    EXPECT_EQ(f.merges, 0) << f.Summary();
    EXPECT_EQ(f.duplicates, 0) << f.Summary();
}
