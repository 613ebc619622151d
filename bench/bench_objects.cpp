// The object base at 50,000 nodes (two roots, 100 groups, 49,898 items with 8-line reports):
// loading "objects.dat" and saving it (through the atomic, synced file save), a text search that
// finds nothing, and receiving one item through a group tell into it.

#include "files/Language.h"
#include "profile/WorldProfile.h"
#include "world/ObjectBase.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct NoOneUi : storage::WorldUi {
    void ShowError(const std::string&) override {}
    storage::Answer Ask(const std::string&, bool) override { return storage::Answer::No; }
    std::optional<storage::WorldChoice> ChooseWorld(storage::ChooserMode,
                                                    const std::string&) override {
        return std::nullopt;
    }
    void LogError(const std::string&) override {}
    void SetCaption(const std::string&) override {}
    void TracingOff() override {}
    void CenterMap() override {}
    void ShowRoom(const map::TMudRoom2&) override {}
    void ReadProfile() override {}
    void WriteSettings() override {}
};

struct NoWire : storage::ObjectBaseHost {
    std::size_t sent = 0;
    void SendToClient(const std::string& b) override { sent += b.size(); }
    void SendToServer(const std::string& b) override { sent += b.size(); }
    bool ServerConnected() const override { return true; }
};

constexpr int kGroups = 100;
constexpr int kItems = 50'000 - 2 - kGroups;

struct Env {
    fs::path dir =
        fs::temp_directory_path() / ("quarvelin-bench-objects-" + std::to_string(::getpid()));
    profile::WorldProfile profile;
    storage::Language language{dir / "language.ini"};
    NoOneUi ui;
    NoWire wire;
    storage::ObjectBase base{profile, language, ui, wire, "bench"};

    Env() {
        fs::create_directories(dir);
        base.SetFile(dir / "objects.dat");
        storage::ObjectTree& tree = base.Tree();
        storage::ObjectNode* roots[] = {tree.Add(nullptr, "\xCF\xF0\xE5\xE4\xEC\xE5\xF2\xFB"),
                                        tree.Add(nullptr, "\xCC\xEE\xE1\xFB")};
        std::vector<storage::ObjectNode*> groups;
        for (int g = 0; g < kGroups; ++g)
            groups.push_back(tree.Add(roots[g % 2], "group " + std::to_string(g)));
        for (int i = 0; i < kItems; ++i) {
            storage::ObjectNode* n = tree.Add(groups[i % kGroups], "item " + std::to_string(i));
            std::vector<std::string> lines;
            lines.push_back(
                "\xC2\xFB \xF3\xE7\xED\xE0\xEB\xE8 \xF1\xEB\xE5\xE4\xF3\xFE\xF9\xE5\xE5:");
            lines.push_back("Item \"item " + std::to_string(i) + "\", type : WEAPON");
            lines.push_back("Weight: " + std::to_string(i % 40) +
                            ", price: " + std::to_string(i % 997) + ", rent: 30(50)");
            lines.push_back("Material : IRON");
            lines.push_back("Damage '3D4' average 7.5.");
            lines.push_back("Affects: strength +1, dexterity +1");
            lines.push_back("Can be used : take wield");
            lines.push_back("Level 12, remort 0.");
            n->TextList() = std::move(lines);
        }
    }
    ~Env() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

Env& Shared() {
    static Env env;
    return env;
}

void BM_SaveObjects(benchmark::State& state) {
    Env& e = Shared();
    for (auto _ : state) {
        e.base.EditPane({}); // something to save
        if (!e.base.tbSaveObjectsClick()) state.SkipWithError("save failed");
    }
    state.counters["nodes"] = static_cast<double>(e.base.Tree().Count());
    state.counters["file_MB"] = static_cast<double>(fs::file_size(e.dir / "objects.dat")) / 1e6;
}
BENCHMARK(BM_SaveObjects)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadObjects(benchmark::State& state) {
    Env& e = Shared();
    e.base.tbSaveObjectsClick();
    for (auto _ : state)
        e.base.tbDiscardClick();
    state.counters["nodes"] = static_cast<double>(e.base.Tree().Count());
    if (e.base.Tree().Count() != 50'000u) state.SkipWithError("nodes lost");
}
BENCHMARK(BM_LoadObjects)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SearchWithoutHit(benchmark::State& state) {
    Env& e = Shared();
    for (auto _ : state)
        if (e.base.FindNext("no such text anywhere")) state.SkipWithError("found");
}
BENCHMARK(BM_SearchWithoutHit)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReceiveOneTell(benchmark::State& state) {
    Env& e = Shared();
    // As the tracking pass hands the lines over: from the marker on, the game's quote after.
    const std::string says = "->>";
    int i = 0;
    for (auto _ : state) {
        // Each tell files a new item under one of the largest groups.
        e.base.ReceiveLine(says + "Quarvelin objecs base <begin> (v.2)'");
        e.base.ReceiveLine(says + "\xCF\xF0\xE5\xE4\xEC\xE5\xF2\xFB.group 0.new " +
                           std::to_string(i++) + "'");
        for (int l = 0; l < 8; ++l)
            e.base.ReceiveLine(says + "line " + std::to_string(l) + "'");
        e.base.ReceiveLine(says + "Quarvelin objecs base <end> (v.2)'");
    }
    state.counters["nodes"] = static_cast<double>(e.base.Tree().Count());
}
BENCHMARK(BM_ReceiveOneTell)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
