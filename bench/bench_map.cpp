// The map model on large worlds: lookups and room creation on a world of 100,000 rooms (100
// zones of 1,000, 300-byte descriptions), building such a world room by room, and pushing a
// linked zone of 10,000 rooms.

#include "map/MapModel.h"
#include "profile/WorldProfile.h"

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using map::Dir;
using map::TMudRoom2;

constexpr int kZones = 100;
constexpr int kRoomsPerZone = 1000;
constexpr int kSide = 32; // rooms of a zone on a 32 x 32 grid (the last row partly filled)

std::string ZoneName(int z) {
    return "\xC7\xEE\xED\xE0 " + std::to_string(z); // "Зона n"
}

// Room names repeat across the world (towns share street names), descriptions rarely do.
std::string RoomName(int i) {
    return "\xD3\xEB\xE8\xF6\xE0 " + std::to_string(i % 5000); // "Улица n"
}

std::string Description(int i) {
    std::string d = "\xC2\xFB \xE8\xE4\xE5\xF2\xE5 \xEF\xEE \xF3\xEB\xE8\xF6\xE5 " +
                    std::to_string(i) + ".\r\n";
    while (d.size() < 300)
        d += "\xD1\xF2\xE0\xF0\xFB\xE5 \xE4\xEE\xEC\xE0 \xF1\xF2\xEE\xFF\xF2 \xE2\xE4\xEE\xEB\xFC "
             "\xE4\xEE\xF0\xEE\xE3\xE8. ";
    d.resize(300);
    return d;
}

const char* Exits(int i) {
    static const char* const kExits[] = {"N S", "E W", "N E S W", "N (S) E", "S W U", "N D"};
    return kExits[i % 6];
}

struct World {
    profile::WorldProfile profile;
    map::NullMapUi ui;
    map::MapModel model{profile, ui};
    TMudRoom2 *westEdge = nullptr, *eastEdge = nullptr; // of the linked zone
};

// Builds the 100 zones room by room, as the player would walk them, each zone in its turn.
void BuildWorld(World& w) {
    map::MapWorld& world = w.model.World();
    int i = 0;
    for (int z = 0; z < kZones; ++z) {
        world.CurrentZone = ZoneName(z);
        world.LoadZoneRooms();
        for (int k = 0; k < kRoomsPerZone; ++k, ++i)
            w.model.Linker().NewRoomAt(k / kSide, k % kSide, 0, RoomName(i), Description(i),
                                       Exits(i));
    }
    world.CurrentZone = ZoneName(kZones / 2);
    world.LoadZoneRooms();
}

World& BigWorld() {
    static std::unique_ptr<World> w = [] {
        auto p = std::make_unique<World>();
        BuildWorld(*p);
        return p;
    }();
    return *w;
}

void BM_BuildWorld100k(benchmark::State& state) {
    double bytesPerRoom = 0;
    for (auto _ : state) {
        const size_t before = mallinfo2().uordblks;
        auto w = std::make_unique<World>();
        BuildWorld(*w);
        bytesPerRoom = double(mallinfo2().uordblks - before) / (kZones * kRoomsPerZone);
        benchmark::DoNotOptimize(w.get());
        state.PauseTiming();
        w.reset();
        state.ResumeTiming();
    }
    state.counters["bytes_per_room"] = bytesPerRoom;
}
BENCHMARK(BM_BuildWorld100k)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_FindRoom(benchmark::State& state) {
    map::MapWorld& world = BigWorld().model.World();
    std::mt19937 rng(1);
    for (auto _ : state) {
        const int k = int(rng() % kRoomsPerZone);
        benchmark::DoNotOptimize(world.FindRoom(k / kSide, k % kSide, 0));
    }
}
BENCHMARK(BM_FindRoom);

void BM_FindRoomByTag(benchmark::State& state) {
    map::MapWorld& world = BigWorld().model.World();
    std::mt19937 rng(2);
    for (auto _ : state)
        benchmark::DoNotOptimize(world.FindRoomByTag(1 + int(rng() % kRoomsPerZone)));
}
BENCHMARK(BM_FindRoomByTag);

void BM_GlobalFindRoom(benchmark::State& state) {
    map::MapWorld& world = BigWorld().model.World();
    std::vector<std::string> zones;
    for (int z = 0; z < kZones; ++z)
        zones.push_back(ZoneName(z));
    std::mt19937 rng(3);
    for (auto _ : state) {
        const int k = int(rng() % kRoomsPerZone);
        benchmark::DoNotOptimize(
            world.GlobalFindRoom(k / kSide, k % kSide, 0, zones[rng() % kZones]));
    }
}
BENCHMARK(BM_GlobalFindRoom);

// What the game showed: a room of the current zone (50) or of any zone.
struct Shown {
    std::string name, desc, exits;
};
std::vector<Shown> ShownRooms(bool currentZoneOnly) {
    std::vector<Shown> out;
    std::mt19937 rng(4);
    for (int n = 0; n < 1024; ++n) {
        const int i = currentZoneOnly ? (kZones / 2) * kRoomsPerZone + int(rng() % kRoomsPerZone)
                                      : int(rng() % (kZones * kRoomsPerZone));
        out.push_back({RoomName(i), Description(i), Exits(i)});
    }
    return out;
}

void BM_FindRoomByName(benchmark::State& state) {
    map::MapWorld& world = BigWorld().model.World();
    const auto shown = ShownRooms(true);
    size_t n = 0;
    for (auto _ : state) {
        const Shown& s = shown[n++ % shown.size()];
        benchmark::DoNotOptimize(world.FindRoomByName(s.name, s.desc, s.exits));
    }
}
BENCHMARK(BM_FindRoomByName);

void BM_GlobalFindRoomByName(benchmark::State& state) {
    map::MapWorld& world = BigWorld().model.World();
    const auto shown = ShownRooms(false);
    size_t n = 0;
    for (auto _ : state) {
        const Shown& s = shown[n++ % shown.size()];
        benchmark::DoNotOptimize(world.GlobalFindRoomByName(s.name, s.desc, s.exits));
    }
}
BENCHMARK(BM_GlobalFindRoomByName);

// Creation in a zone of the full world; the zone grows by the rooms created.
void BM_NewRoomAt(benchmark::State& state) {
    World w;
    BuildWorld(w);
    map::MapLinker& linker = w.model.Linker();
    const std::string desc = Description(7);
    int k = 0;
    for (auto _ : state) {
        linker.NewRoomAt(100 + k / 100, k % 100, 1, "New", desc, "N S");
        ++k;
    }
}
BENCHMARK(BM_NewRoomAt)->Iterations(20000)->Unit(benchmark::kMicrosecond);

// A zone of 100 x 100 rooms, each linked to its four neighbours.
World& LinkedZone() {
    static std::unique_ptr<World> w = [] {
        auto p = std::make_unique<World>();
        map::MapWorld& world = p->model.World();
        world.CurrentZone = "Linked";
        for (int x = 0; x < 100; ++x)
            for (int y = 0; y < 100; ++y) {
                TMudRoom2* r =
                    p->model.Linker().NewRoomAt(x, y, 0, "R", Description(x * 100 + y), "N S E W");
                r->ChN = x > 0;
                r->ChS = x < 99;
                r->ChW = y > 0;
                r->ChE = y < 99;
                if (x == 0 && y == 0) p->westEdge = r;
                if (x == 0 && y == 99) p->eastEdge = r;
            }
        return p;
    }();
    return *w;
}

void BM_ListAtLinkedZone10k(benchmark::State& state) {
    map::MapWorld& world = LinkedZone().model.World();
    TMudRoom2* corner = nullptr;
    world.Lists().ForEachZoneRoom([&](TMudRoom2* r) {
        if (!corner || (r->X + r->Y) < (corner->X + corner->Y)) corner = r;
    });
    std::vector<TMudRoom2*> group;
    for (auto _ : state) {
        group.clear();
        LinkedZone().model.Linker().ListAt(map::East, corner, group);
        benchmark::DoNotOptimize(group.data());
    }
    state.counters["group"] = double(group.size());
}
BENCHMARK(BM_ListAtLinkedZone10k)->Unit(benchmark::kMillisecond);

void BM_MoveRoomToLinkedZone10k(benchmark::State& state) {
    World& w = LinkedZone();
    map::MapWorld& world = w.model.World();
    // Pushed east from its west edge and back west from its east edge: the whole zone moves.
    bool east = true;
    for (auto _ : state) {
        world.ContextRoom = east ? w.westEdge : w.eastEdge;
        w.model.Linker().MoveRoomTo(east ? map::East : map::West);
        east = !east;
    }
    state.counters["rooms"] = double(world.Lists().ZoneCount());
}
BENCHMARK(BM_MoveRoomToLinkedZone10k)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
