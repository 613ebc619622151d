// The demo game naming its rooms over MSDP or GMCP, walked through the headless program in
// many orders: every room once with the game's number, a zone per area named after it, every
// walked exit joined both ways (on the grid or by link lines across areas), and a speedwalk
// from one area into another.

#include "DemoWalker.h"
#include "E2eSupport.h"
#include "files/Paths.h"
#include "files/RoomIdentityFile.h"
#include "files/ZoneFile.h"
#include "map/Direction.h"
#include "map/LinkLine.h"
#include "profile/WorldProfile.h"
#include "text/Text.h"

#include <gtest/gtest.h>
#include <iostream>
#include <tuple>

namespace {

namespace fs = std::filesystem;

std::string W(const char* utf8) {
    return text::FromUnicode(QString::fromUtf8(utf8));
}

struct SavedRoom {
    std::string zone;
    map::TMudRoom2 room;
    std::string id;
};

// The saved world: every room of every zone with the number the companion file gives it.
struct SavedWorld {
    std::vector<SavedRoom> rooms;
    std::map<std::string, std::string> zoneAreas;

    static SavedWorld Load(const fs::path& worldDir) {
        SavedWorld w;
        profile::WorldProfile profile;
        const storage::RoomIdentityReadResult ids = storage::ReadRoomIdentities(
            TempDir::Read(worldDir / std::string(storage::kRoomIdentityFileName)));
        EXPECT_TRUE(ids.ok()) << ids.error;
        w.zoneAreas = ids.data.zoneAreas;
        for (const auto& file : storage::ListZoneFiles(worldDir)) {
            storage::ZoneReadResult r = storage::ReadZoneFile(file, profile);
            EXPECT_TRUE(r.ok()) << r.LogLine();
            const std::string zone = *storage::ZoneNameOfFile(file.filename(), false);
            std::map<int, int> seen; // occurrences of each Tag so far
            const auto lines = ids.data.zones.find(zone);
            for (auto& room : r.rooms) {
                SavedRoom s{zone, std::move(room), {}};
                const int occurrence = ++seen[s.room.Tag];
                if (lines != ids.data.zones.end())
                    for (const auto& line : lines->second)
                        if (line.tag == s.room.Tag && line.occurrence == occurrence) s.id = line.id;
                w.rooms.push_back(std::move(s));
            }
        }
        return w;
    }
    const SavedRoom* ById(const std::string& id) const {
        for (const auto& r : rooms)
            if (r.id == id) return &r;
        return nullptr;
    }
    const SavedRoom* ByTag(const std::string& zone, int tag) const {
        for (const auto& r : rooms)
            if (r.zone == zone && r.room.Tag == tag) return &r;
        return nullptr;
    }
    const SavedRoom* At(const std::string& zone, int x, int y, int l) const {
        for (const auto& r : rooms)
            if (r.zone == zone && r.room.X == x && r.room.Y == y && r.room.L == l) return &r;
        return nullptr;
    }
    // Where the map leads from a room in direction d: its link line of that direction, else
    // the walked exit along the grid through corridor rooms.
    const SavedRoom* Follow(const SavedRoom& from, char d, const profile::WorldProfile& p) const {
        const map::Dir dir = DirOf(d);
        for (const auto& line : from.room.AutoMaps) {
            map::LinkLine link = map::LinkLine::Parse(line);
            if (link.IsLink() && text::DecodeEscapes(link.exit) == map::Phrase(p, dir))
                return ByTag(link.zone, link.RoomNumber());
        }
        if (!from.room.Ch(dir)) return nullptr;
        const auto& step = map::Info(dir);
        int x = from.room.X, y = from.room.Y, l = from.room.L;
        for (int guard = 0; guard < 100; ++guard) {
            x += step.dx, y += step.dy, l += step.dl;
            const SavedRoom* next = At(from.zone, x, y, l);
            if (!next || !next->room.Pipe) return next;
        }
        return nullptr;
    }
};

using Param = std::tuple<const char*, unsigned>;
class IdentityWalkE2e : public ::testing::TestWithParam<Param> {};

TEST_P(IdentityWalkE2e, EveryOrderMapsEveryRoomOnceInTheZoneOfItsArea) {
    const auto [protocol, seed] = GetParam();
    const DemoWorld world = DemoWorld::Load();
    DemoRig rig(2, {}, DemoRig::Start::Test, {protocol});
    ScriptedClient client(rig.clientPort);
    ASSERT_TRUE(client.Connected());
    ASSERT_TRUE(client.WaitPrompts(1)) << rig.output;
    Walker walk{world, client, world.start, {world.start}, {}, {}};
    ASSERT_TRUE(client.Send({"look"}));
    ASSERT_TRUE(walk.RandomWalk(seed)) << "stuck at room " << walk.at;

    // A speedwalk from one area into another: an alias on a room of another area than the
    // square's, then back to the square and off to the alias.
    const DemoRoom& square = world.rooms.at(world.start);
    int target = 0;
    for (const auto& [id, r] : world.rooms)
        if (!r.dark && r.area != square.area && walk.visited.count(id) &&
            (target == 0 || id > target))
            target = id;
    ASSERT_NE(target, 0);
    for (char d : walk.PathTo(target))
        ASSERT_TRUE(walk.Step(d));
    client.SendQuiet(W("наа цель"));
    for (char d : walk.PathTo(world.start))
        ASSERT_TRUE(walk.Step(d));
    const std::vector<char> way = walk.PathTo(target);
    const int prompts = client.prompts;
    client.SendQuiet(W("гоу цель"));
    const bool arrived = client.WaitPrompts(prompts + static_cast<int>(way.size()), 20000);
    EXPECT_TRUE(arrived) << "the speedwalk sent " << client.prompts - prompts << " of "
                         << way.size() << " moves";
    if (arrived) walk.at = target;
    ASSERT_TRUE(client.Send({"look"}));
    EXPECT_EQ(client.Count("Tracing now \x1b[1;31mOFF"), 0u) << rig.LogTail(80);
    // The client never answered the game's offer: it never sees a subnegotiation of it.
    EXPECT_EQ(client.Count("\xFF\xFA\x45"), 0u);
    EXPECT_EQ(client.Count("\xFF\xFA\xC9"), 0u);
    EXPECT_EQ(client.Count(std::string("\xFF\xFB") +
                           (std::string(protocol) == "--msdp" ? "\x45" : "\xC9")),
              1u)
        << "the offer itself reaches the client";
    ASSERT_TRUE(rig.Stop()) << rig.output;

    const SavedWorld saved = SavedWorld::Load(rig.dir.path() / "Maps" / "Demo");
    profile::WorldProfile profile;
    // Every room once with its number, in the zone of its area, named after it.
    std::size_t real = 0;
    for (const auto& r : saved.rooms)
        real += r.room.Pipe ? 0 : 1;
    EXPECT_EQ(real, walk.visited.size()) << "every room walked to, once";
    std::set<std::string> areas;
    for (int id : walk.visited) {
        const DemoRoom& truth = world.rooms.at(id);
        if (truth.dark) continue;
        areas.insert(truth.area);
        const SavedRoom* m = saved.ById(std::to_string(truth.vnum));
        if (!m) {
            ADD_FAILURE() << "room " << truth.vnum << " is not on the map";
            continue;
        }
        EXPECT_EQ(m->room.Hint, truth.name) << truth.vnum;
        EXPECT_EQ(m->zone, truth.area) << truth.vnum;
        EXPECT_EQ(saved.zoneAreas.count(m->zone) ? saved.zoneAreas.at(m->zone) : "", truth.area);
    }
    std::set<std::string> zones;
    for (const auto& r : saved.rooms)
        zones.insert(r.zone);
    EXPECT_EQ(zones, areas);

    // Every walked exit leads to the right room, and back.
    auto mapped = [&](int id) -> const SavedRoom* {
        const DemoRoom& r = world.rooms.at(id);
        if (!r.dark) return saved.ById(std::to_string(r.vnum));
        for (const auto& s : saved.rooms)
            if (s.room.Hint == world.darkText) return &s;
        return nullptr;
    };
    for (const auto& [from, d] : walk.walked) {
        const SavedRoom* m = mapped(from);
        const int to = world.rooms.at(from).exits.at(d);
        if (!m) continue;
        const SavedRoom* next = saved.Follow(*m, d, profile);
        EXPECT_EQ(next, mapped(to)) << "exit " << d << " of " << world.rooms.at(from).vnum;
        if (next) {
            const char back = map::Info(map::OppositeDir(DirOf(d))).letter;
            EXPECT_EQ(saved.Follow(*next, back, profile), m)
                << "no way back " << back << " from " << world.rooms.at(to).vnum;
        }
    }
    // The player stands in the speedwalk's target.
    const SavedRoom* here = nullptr;
    for (const auto& r : saved.rooms)
        if (r.room.Selected) here = &r;
    ASSERT_TRUE(here);
    if (arrived) {
        EXPECT_EQ(here->id, std::to_string(world.rooms.at(target).vnum));
    }
    if (HasFailure()) std::cerr << rig.LogTail(200);
}

std::string Name(const ::testing::TestParamInfo<Param>& info) {
    return std::string(std::get<0>(info.param) + 2) + "_" + std::to_string(std::get<1>(info.param));
}

INSTANTIATE_TEST_SUITE_P(Seeds, IdentityWalkE2e,
                         ::testing::Combine(::testing::Values("--msdp", "--gmcp"),
                                            ::testing::Range(1u, 51u)),
                         Name);

} // namespace
