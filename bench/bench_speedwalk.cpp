// The speedwalk search on large worlds: the longest way across a square grid of rooms (316 x 316
// = 99,856 rooms, and 1000 x 1000) split into four zones joined by cross-zone link lines, with
// corridors on every eighth row. The way runs corner to corner, so the search reaches every
// room. Counters: the commands of the way, the rooms the search reached, and the memory it
// allocated beyond the map (peak during the search).

#include "AllocationCounter.h"
#include "map/MapModel.h"
#include "map/Speedwalk.h"
#include "profile/WorldProfile.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

using map::TMudRoom2;

constexpr int kZones = 4;

std::string ZoneName(int z) {
    return "\xC7\xEE\xED\xE0 " + std::to_string(z); // "Зона n"
}

struct GridWorld {
    profile::WorldProfile profile;
    map::NullMapUi ui;
    map::MapModel model{profile, ui};
    TMudRoom2* corner = nullptr;
    TMudRoom2* farCorner = nullptr;
};

bool IsCorridor(int x, int y, int width) {
    const int col = y % width;
    return x % 8 == 4 && col % 6 >= 2 && col % 6 <= 3 && col > 0 && col < width - 1;
}

std::unique_ptr<GridWorld> BuildGrid(int side) {
    auto w = std::make_unique<GridWorld>();
    map::MapWorld& world = w->model.World();
    const int width = (side + kZones - 1) / kZones; // columns per zone
    std::vector<TMudRoom2*> cells(static_cast<std::size_t>(side) * side, nullptr);
    std::vector<int> tags(kZones, 0);
    for (int x = 0; x < side; ++x)
        for (int y = 0; y < side; ++y) {
            const int z = y / width;
            auto room = std::make_unique<TMudRoom2>();
            room->X = x;
            room->Y = y;
            room->Pipe = IsCorridor(x, y, width);
            room->Tag = room->Pipe ? 0 : ++tags[z];
            room->Hint = room->Pipe ? "" : "\xCF\xEE\xEB\xE5 " + std::to_string(x * side + y);
            room->SetExits(room->Pipe ? "E W" : "N S E W", w->profile);
            cells[static_cast<std::size_t>(x) * side + y] =
                world.AddRoom(std::move(room), ZoneName(z));
        }
    auto at = [&](int x, int y) { return cells[static_cast<std::size_t>(x) * side + y]; };
    const std::string east = map::Phrase(w->profile, map::East);
    const std::string west = map::Phrase(w->profile, map::West);
    for (int x = 0; x < side; ++x)
        for (int y = 0; y < side; ++y) {
            TMudRoom2* r = at(x, y);
            if (y + 1 < side) {
                TMudRoom2* e = at(x, y + 1);
                r->ChE = e->ChW = true;
                if ((y + 1) % width == 0) { // the border between two zones
                    r->AutoMaps.push_back(ZoneName((y + 1) / width) + "|" + east + "|" +
                                          std::to_string(e->Tag) + "||-1");
                    e->AutoMaps.push_back(ZoneName(y / width) + "|" + west + "|" +
                                          std::to_string(r->Tag) + "||-1");
                }
            }
            if (x + 1 < side && !r->Pipe && !at(x + 1, y)->Pipe) r->ChS = at(x + 1, y)->ChN = true;
        }
    w->corner = at(0, 0);
    w->farCorner = at(side - 1, side - 1);
    return w;
}

void BM_LongestWay(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    auto w = BuildGrid(side);
    std::size_t commands = 0, reached = 0;
    double peakBytes = 0;
    for (auto _ : state) {
        const std::size_t before = g_live;
        g_peak = g_live;
        // A search owns its lists for one search only, as when the player orders one.
        map::SpeedwalkSearch search(w->model.World(), w->model.Words());
        auto way = search.FindWay(w->corner, w->farCorner, 10 * side);
        peakBytes = static_cast<double>(g_peak - before);
        if (!way) {
            state.SkipWithError("no way found");
            break;
        }
        commands = 1 + static_cast<std::size_t>(std::count(way->begin(), way->end(), ';'));
        reached = search.LastStats().entries;
        benchmark::DoNotOptimize(way);
    }
    state.counters["rooms"] = static_cast<double>(w->model.World().Lists().WorldCount());
    state.counters["commands"] = static_cast<double>(commands);
    state.counters["reached"] = static_cast<double>(reached);
    state.counters["search_MB"] = peakBytes / 1e6;
}
BENCHMARK(BM_LongestWay)->Arg(316)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
