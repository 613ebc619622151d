// Loading and saving a large world: 100,000 rooms in 100 zone files, rooms with names,
// descriptions of about 300 bytes, exits, link flags and now and then cross-zone link lines.
// Memory is counted by replacing the global allocator, so that the peak while loading can be
// set against what the loaded world keeps.

#include "files/Paths.h"
#include "files/ZoneFile.h"
#include "map/MudRoom.h"
#include "profile/WorldProfile.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <malloc.h>
#include <memory>
#include <new>
#include <random>

#include "AllocationCounter.h"
#include "BenchText.h"

// ---- The world ----------------------------------------------------------------------------------

namespace {

constexpr int kZones = 100;
constexpr int kRoomsPerZone = 1000;

// How the world keeps its rooms: each room on its own, with the name of its zone.
struct WorldEntry {
    std::unique_ptr<map::TMudRoom2> room;
    std::string zone;
};
using World = std::vector<WorldEntry>;

const profile::WorldProfile& Profile() {
    static const profile::WorldProfile profile;
    return profile;
}

// Windows-1251 words for names and descriptions.
using bench::Words;
using bench::ZoneName;

World MakeWorld() {
    std::mt19937 rng(42);
    World world;
    world.reserve(kZones * kRoomsPerZone);
    for (int z = 0; z < kZones; ++z) {
        for (int i = 0; i < kRoomsPerZone; ++i) {
            auto r = std::make_unique<map::TMudRoom2>();
            r->Tag = i + 1;
            r->X = i / 32;
            r->Y = i % 32 - 16;
            r->L = static_cast<int>(rng() % 3) - 1;
            r->DX = -10;
            r->DY = -40;
            r->Hint = Words(rng, 20);
            r->Description =
                Words(rng, 90) + ".\r\n" + Words(rng, 90) + ".\r\n" + Words(rng, 90) + ".";
            r->ChN = i >= 32;
            r->ChS = i + 32 < kRoomsPerZone;
            r->ChW = i % 32 != 0;
            r->ChE = i % 32 != 31;
            r->SetExits(i % 7 == 0 ? "N S (E) W U" : "N S E W", Profile());
            r->BColor = i % 50 == 0 ? 0x000000FF : map::kSilver;
            if (i % 40 == 0) r->Note = "\xEE\xF1\xF2\xEE\xF0\xEE\xE6\xED\xEE"; // осторожно
            if (i % 100 == 0) r->QuickList = "place" + std::to_string(i);
            if (i % 30 == 0) {
                r->AutoMaps.push_back(ZoneName((z + 1) % kZones) + "|n|" + std::to_string(i + 1) +
                                      "||-1");
                r->AutoMaps.push_back(ZoneName((z + 7) % kZones) + "|d|3|open trapdoor|0");
            }
            if (i % 25 == 0) r->ImageIndex = 5;
            world.push_back({std::move(r), ZoneName(z)});
        }
    }
    return world;
}

void SaveWorld(const World& world, const std::filesystem::path& dir) {
    // Rooms of a zone in world-list order; the zones here lie in runs, as loading leaves them.
    std::vector<const map::TMudRoom2*> rooms;
    for (size_t i = 0; i < world.size();) {
        const std::string& zone = world[i].zone;
        rooms.clear();
        for (; i < world.size() && world[i].zone == zone; ++i)
            rooms.push_back(world[i].room.get());
        std::string bytes = storage::WriteZone(rooms);
        storage::ZoneSaveResult r = storage::SaveZoneFile(*storage::ZoneFilePath(dir, zone), bytes);
        if (!r.ok()) std::abort();
    }
}

World LoadWorld(const std::filesystem::path& dir) {
    World world;
    for (const std::filesystem::path& file : storage::ListZoneFiles(dir)) {
        std::string zone = *storage::ZoneNameOfFile(file, false);
        storage::ZoneReadResult r = storage::ReadZoneFile(file, Profile());
        if (!r.ok()) std::abort();
        for (map::TMudRoom2& room : r.rooms)
            world.push_back({std::make_unique<map::TMudRoom2>(std::move(room)), zone});
    }
    return world;
}

struct Fixture {
    QTemporaryDir dir;
    std::filesystem::path path;
    Fixture() {
        if (!dir.isValid()) std::abort();
        path = dir.path().toStdString();
        World world = MakeWorld();
        SaveWorld(world, path);
    }
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

void BM_LoadWorld(benchmark::State& state) {
    Fixture& f = TheFixture();
    double worldBytes = 0, peakBytes = 0;
    size_t rooms = 0;
    for (auto _ : state) {
        const size_t before = g_live;
        g_peak = before;
        World world = LoadWorld(f.path);
        state.PauseTiming();
        worldBytes = static_cast<double>(g_live - before);
        peakBytes = static_cast<double>(g_peak - before);
        rooms = world.size();
        world.clear();
        state.ResumeTiming();
    }
    ReportLoad(state, rooms, static_cast<size_t>(kZones * kRoomsPerZone), worldBytes, peakBytes);
}

void BM_SaveWorld(benchmark::State& state) {
    Fixture& f = TheFixture();
    World world = LoadWorld(f.path);
    std::uintmax_t bytes = 0;
    for (const std::filesystem::path& file : storage::ListZoneFiles(f.path))
        bytes += std::filesystem::file_size(file);
    for (auto _ : state)
        SaveWorld(world, f.path);
    state.counters["files_MB"] = static_cast<double>(bytes) / 1e6;
}

} // namespace

BENCHMARK(BM_LoadWorld)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(7);
BENCHMARK(BM_SaveWorld)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(7);

BENCHMARK_MAIN();
