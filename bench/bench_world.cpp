// Loading and saving a whole world through the world store: 100,000 rooms in 100 zone files,
// with names, descriptions of about 300 bytes, exits, link flags, quick-list names and now and
// then cross-zone link lines. Memory is counted by replacing the global allocator, so that the
// peak while loading can be set against what the loaded world keeps (rooms, lists, indexes and
// the zone tree).

#include "files/Language.h"
#include "files/Paths.h"
#include "files/ZoneFile.h"
#include "map/MapModel.h"
#include "profile/WorldProfile.h"
#include "world/WorldStore.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <malloc.h>
#include <new>
#include <random>

#include "AllocationCounter.h"
#include "BenchText.h"

// ---- The world ----------------------------------------------------------------------------------

namespace {

constexpr int kZones = 100;
constexpr int kRoomsPerZone = 1000;

using bench::Words;
using bench::ZoneName;

void WriteWorldFiles(const std::filesystem::path& worldDir) {
    std::filesystem::create_directories(worldDir);
    const profile::WorldProfile profile;
    std::mt19937 rng(42);
    for (int z = 0; z < kZones; ++z) {
        std::vector<map::TMudRoom2> rooms(kRoomsPerZone);
        std::vector<const map::TMudRoom2*> order;
        for (int i = 0; i < kRoomsPerZone; ++i) {
            map::TMudRoom2& r = rooms[i];
            r.Tag = i + 1;
            r.X = i / 32;
            r.Y = i % 32 - 16;
            r.L = static_cast<int>(rng() % 3) - 1;
            r.Hint = Words(rng, 20);
            r.Description =
                Words(rng, 90) + ".\r\n" + Words(rng, 90) + ".\r\n" + Words(rng, 90) + ".";
            r.ChN = i >= 32;
            r.ChS = i + 32 < kRoomsPerZone;
            r.ChW = i % 32 != 0;
            r.ChE = i % 32 != 31;
            r.SetExits(i % 7 == 0 ? "N S (E) W U" : "N S E W", profile);
            r.BColor = i % 50 == 0 ? 0x000000FF : map::kSilver;
            if (i % 40 == 0) r.Note = "\xEE\xF1\xF2\xEE\xF0\xEE\xE6\xED\xEE"; // осторожно
            if (i % 100 == 0) r.QuickList = "place" + std::to_string(i);
            if (i % 30 == 0) {
                r.AutoMaps.push_back(ZoneName((z + 1) % kZones) + "|n|" + std::to_string(i + 1) +
                                     "||-1");
                r.AutoMaps.push_back(ZoneName((z + 7) % kZones) + "|d|3|open trapdoor|0");
            }
            if (i % 25 == 0) r.ImageIndex = 5;
            order.push_back(&r);
        }
        auto path = storage::ZoneFilePath(worldDir, ZoneName(z));
        if (!storage::SaveZoneFile(*path, storage::WriteZone(order)).ok()) std::abort();
    }
}

// A front end that is never asked anything.
struct SilentUi : storage::WorldUi {
    void ShowError(const std::string&) override { std::abort(); }
    storage::Answer Ask(const std::string&, bool) override { return storage::Answer::Cancel; }
    std::optional<storage::WorldChoice> ChooseWorld(storage::ChooserMode,
                                                    const std::string&) override {
        return std::nullopt;
    }
    void LogError(const std::string&) override { std::abort(); }
    void SetCaption(const std::string&) override {}
    void TracingOff() override {}
    void CenterMap() override {}
    void ShowRoom(const map::TMudRoom2&) override {}
    void ReadProfile() override {}
    void WriteSettings() override {}
};

struct Fixture {
    QTemporaryDir dir;
    std::filesystem::path path;
    profile::WorldProfile profile;
    map::NullMapUi mapUi;
    std::unique_ptr<map::MapModel> model;
    std::unique_ptr<storage::Language> language;
    SilentUi ui;
    std::unique_ptr<storage::WorldStore> store;
    Fixture() {
        if (!dir.isValid()) std::abort();
        path = dir.path().toStdString();
        WriteWorldFiles(path / "Maps" / "W");
        model = std::make_unique<map::MapModel>(profile, mapUi);
        language = std::make_unique<storage::Language>(path / "language.ini");
        store = std::make_unique<storage::WorldStore>(*model, profile, *language, ui, path, "b");
        store->SetWorldName("W");
    }
    // Drops the loaded world so that a load starts from nothing.
    void Unload() {
        model->World().ClearZone();
        model->World().DestroyAllRooms();
        store->Tree().Clear();
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
        state.PauseTiming();
        f.Unload();
        const size_t before = g_live;
        g_peak = before;
        state.ResumeTiming();
        f.store->LoadWorld();
        state.PauseTiming();
        worldBytes = static_cast<double>(g_live - before);
        peakBytes = static_cast<double>(g_peak - before);
        rooms = f.model->World().Lists().WorldCount();
        state.ResumeTiming();
    }
    ReportLoad(state, rooms, static_cast<size_t>(kZones * kRoomsPerZone), worldBytes, peakBytes);
}

void BM_SaveWorld(benchmark::State& state) {
    Fixture& f = TheFixture();
    if (f.model->World().Lists().WorldCount() == 0) f.store->LoadWorld();
    for (auto _ : state)
        if (!f.store->nSaveWorldClick()) state.SkipWithError("save failed");
    std::uintmax_t bytes = 0;
    for (const std::filesystem::path& file : storage::ListZoneFiles(f.path / "Maps" / "W"))
        bytes += std::filesystem::file_size(file);
    state.counters["files_MB"] = static_cast<double>(bytes) / 1e6;
}

} // namespace

BENCHMARK(BM_LoadWorld)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(7)
    ->ReportAggregatesOnly(false);
BENCHMARK(BM_SaveWorld)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(7);

BENCHMARK_MAIN();
