// Painting the map panel (1920 x 1080) over a zone of 10,000 rooms on three levels, with the
// level above and the levels below shown, and over a zone of 100,000 rooms of which the panel
// shows the same few thousand; and one step of the player, from the tracking pass's centring
// to the painted frame.

#include "map/MapModel.h"
#include "profile/WorldProfile.h"
#include "view/map/MapPainter.h"
#include "view/map/MapView.h"
#include "view/map/Skin.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct Zone {
    profile::WorldProfile profile;
    map::NullMapUi ui;
    map::MapModel model{profile, ui};
    view::TSkin skin;
    view::TMapView view{model.World()};
    view::TMapPainter painter{skin, profile};
    QImage canvas{1920, 1080, QImage::Format_ARGB32_Premultiplied};
    view::PaintSettings settings;

    // `side` x `side` rooms per level on `levels` levels, linked on the grid, every tenth row
    // a corridor, every seventh room a picture, colours varied.
    Zone(int side, int levels) {
        map::MapWorld& world = model.World();
        world.CurrentZone = "Z";
        int tag = 0;
        for (int l = 0; l < levels; ++l)
            for (int x = 0; x < side; ++x)
                for (int y = 0; y < side; ++y) {
                    auto r = std::make_unique<map::TMudRoom2>();
                    r->X = x, r->Y = y, r->L = l;
                    r->Pipe = x % 10 == 5 && y % 4 != 0;
                    r->Tag = r->Pipe ? 0 : ++tag;
                    r->Hint = r->Pipe ? "" : "room";
                    r->SetExits(r->Pipe ? "E W" : (y % 5 == 0 ? "N S (E) W U" : "N S E W"),
                                profile);
                    r->ChN = r->ChS = !r->Pipe;
                    r->ChE = r->ChW = true;
                    r->BColor = 0x00C0C0C0 + (x * 7 + y * 13) % 64;
                    r->ImageIndex = (x + y) % 7 == 0 ? 5 : 0;
                    r->AutoMaps = (x + y) % 11 == 0 ? std::vector<std::string>{"|на север||x|0"}
                                                    : std::vector<std::string>{};
                    world.AddRoom(std::move(r), "Z");
                }
        world.LoadZoneRooms();
        world.CurrentRoom = world.FindRoom(side / 2, side / 2, levels / 2);
        view.windowMode = view::kNormal;
        view.CenterBox();
    }
};

void Paint(benchmark::State& state, int side, int levels) {
    Zone z(side, levels);
    for (auto _ : state)
        z.painter.Paint(z.canvas, z.model.World().Lists(), z.model.World().ViewLevel, z.settings);
    state.counters["rooms"] = static_cast<double>(z.model.World().Lists().ZoneCount());
}

void BM_Paint10k(benchmark::State& state) {
    Paint(state, 58, 3); // 58 x 58 x 3 = 10,092 rooms
}
BENCHMARK(BM_Paint10k)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Paint100k(benchmark::State& state) {
    Paint(state, 183, 3); // 183 x 183 x 3 = 100,467 rooms
}
BENCHMARK(BM_Paint100k)->Unit(benchmark::kMillisecond)->UseRealTime();

// One step: the player moves east, the view centres on the new room and the frame is painted.
void BM_PlayerStep(benchmark::State& state) {
    Zone z(58, 3);
    map::MapWorld& world = z.model.World();
    int y = 0;
    for (auto _ : state) {
        world.CurrentRoom->Selected = false;
        world.CurrentRoom = world.FindRoom(29, 10 + (y++ % 30), 1);
        z.view.CenterBox();
        z.painter.Paint(z.canvas, world.Lists(), world.ViewLevel, z.settings);
    }
}
BENCHMARK(BM_PlayerStep)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
