// Tracking on large worlds: one tracking pass (one room block, one queued move) on a world of
// 100,000 rooms for a known room, a new room and a room with three twins open (target: each
// under 50 us), 10,000 moves replayed from a recorded MCCP2 stream through the whole pipeline
// (client intake, decoding, tracking, positioning), and the same walk as a session file run by
// the program's own replay, world saved (target: under 1 s).

#include "app/core/Session.h"
#include "files/AppSettings.h"
#include "files/SessionFile.h"
#include "map/MapModel.h"
#include "profile/WorldProfile.h"
#include "relay/ClientIntake.h"
#include "relay/ServerStreamDecoder.h"
#include "tracking/Tracker.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::string RoomText(const std::string& name, const std::string& desc, const std::string& exits) {
    return "\x1b[1;36m" + name + "\x1b[0;37m\r\n" + desc + "\r\n\x1b[36m[ Exits: " + exits +
           " ]\r\n";
}

std::string Description(int i) {
    std::string d = "\xC2\xFB \xE8\xE4\xE5\xF2\xE5 \xEF\xEE \xF3\xEB\xE8\xF6\xE5 " +
                    std::to_string(i) + ".\r\n";
    while (d.size() < 300)
        d += "\xD1\xF2\xE0\xF0\xFB\xE5 \xE4\xEE\xEC\xE0 \xE2\xE4\xEE\xEB\xFC. ";
    d.resize(300);
    return d;
}

// A host that keeps tracing on and asks nothing of a view.
struct QuietHost : tracking::NullTrackerHost, relay::IntakeHost {
    QuietHost() : NullTrackerHost(/*tracing=*/true) {}
    tracking::Tracker* tracker = nullptr;
    void ModeClick(bool on) override {
        NullTrackerHost::ModeClick(on);
        if (!on && tracker) tracker->Reset();
    }
    void SendToServer(const std::string&) override {}
    void SendToClient(const std::string&) override {}
    void StartSpeedwalk() override {}
    void SearchObjects(const std::string&) override {}
    void NewZone(const std::string&, bool) override {}
    void AliasAdded(map::TMudRoom2*) override {}
};

struct Pipeline {
    profile::WorldProfile profile;
    storage::AppSettings settings;
    map::NullMapUi ui;
    map::MapModel model{profile, ui};
    QuietHost host;
    tracking::Tracker tracker{model, profile, host};
    relay::ClientIntake intake{model, profile, settings, tracker.State(), host};
    relay::ServerStreamDecoder decoder;
    Pipeline() { host.tracker = &tracker; }
};

// 100 zones of 1,000 rooms, then a zone "Bench" made current.
void Fill100k(Pipeline& p) {
    map::MapWorld& world = p.model.World();
    int i = 0;
    for (int z = 0; z < 100; ++z) {
        world.CurrentZone = "Zone " + std::to_string(z);
        world.LoadZoneRooms();
        for (int k = 0; k < 1000; ++k, ++i)
            p.model.Linker().NewRoomAt(k / 32, k % 32, 0, "Street " + std::to_string(i % 5000),
                                       Description(i), "N S E W");
    }
    world.CurrentZone = "Bench";
    world.LoadZoneRooms();
}

void BM_PassKnownRoom(benchmark::State& state) {
    Pipeline p;
    Fill100k(p);
    map::MapWorld& world = p.model.World();
    map::TMudRoom2* a = p.model.Linker().NewRoomAt(0, 0, 0, "West end", Description(-1), "E");
    map::TMudRoom2* b = p.model.Linker().NewRoomAt(0, 1, 0, "East end", Description(-2), "W");
    p.model.Linker().SetLink(a, b, map::East);
    world.CurrentRoom = a;
    const std::string toB = RoomText("East end", Description(-2), "W");
    const std::string toA = RoomText("West end", Description(-1), "E");
    bool east = true;
    for (auto _ : state) {
        p.tracker.State().CommandQueue.push_back(east ? "e" : "w");
        p.tracker.TranslateCmd(east ? toB : toA);
        east = !east;
    }
    if (world.CurrentRoom != a && world.CurrentRoom != b) state.SkipWithError("lost the player");
}
BENCHMARK(BM_PassKnownRoom)->Unit(benchmark::kMicrosecond);

// The same walk with the game naming every room (MSDP or GMCP) and ending each answer with
// IAC GA: every room of the world has a number, and each answer carries the room's.
void BM_PassKnownRoomById(benchmark::State& state) {
    Pipeline p;
    Fill100k(p);
    map::MapWorld& world = p.model.World();
    int n = 0;
    world.Lists().ForEachWorldRoom(
        [&](map::TMudRoom2* r, const std::string&) { world.SetGameId(r, std::to_string(++n)); });
    map::TMudRoom2* a = p.model.Linker().NewRoomAt(0, 0, 0, "West end", Description(-1), "E");
    map::TMudRoom2* b = p.model.Linker().NewRoomAt(0, 1, 0, "East end", Description(-2), "W");
    world.SetGameId(a, "west");
    world.SetGameId(b, "east");
    p.model.Linker().SetLink(a, b, map::East);
    world.CurrentRoom = a;
    const std::string prompt = "\r\n100H> \xFF\xF9";
    const std::string toB = RoomText("East end", Description(-2), "W") + prompt;
    const std::string toA = RoomText("West end", Description(-1), "E") + prompt;
    const std::vector<std::size_t> endB{toB.size()}, endA{toA.size()};
    const std::vector<tracking::IdentityAt> idB{
        {toB.size() - prompt.size(), {"east", "East end", "", {{"w", "west"}}}}};
    const std::vector<tracking::IdentityAt> idA{
        {toA.size() - prompt.size(), {"west", "West end", "", {{"e", "east"}}}}};
    bool east = true;
    for (auto _ : state) {
        p.tracker.State().CommandQueue.push_back(east ? "e" : "w");
        if (east)
            p.tracker.TranslateCmd(toB, endB, true, idB);
        else
            p.tracker.TranslateCmd(toA, endA, true, idA);
        east = !east;
    }
    if (world.CurrentRoom != a && world.CurrentRoom != b) state.SkipWithError("lost the player");
    if (world.Lists().WorldCount() != 100002) state.SkipWithError("rooms were made");
}
BENCHMARK(BM_PassKnownRoomById)->Unit(benchmark::kMicrosecond);

// The walked exit east of the gate leads to the guardhouse on the map, but the game prints a
// fork that twenty rooms of the world read like: the pass that finds the map wrong and opens
// the choice over all of them (and a new room), then a pass with the choice open, each of the
// twenty and the new room followed a step. Counted per pass.
void BM_PassRelocalising(benchmark::State& state) {
    Pipeline p;
    Fill100k(p);
    map::MapWorld& world = p.model.World();
    const std::string forkName = "Fork", forkDesc = Description(-3);
    for (int k = 0; k < 20; ++k)
        p.model.Linker().NewRoomAt(10 + 3 * k, 5 * (k % 4), 0, forkName, forkDesc, "N S E W");
    map::TMudRoom2* gate = p.model.Linker().NewRoomAt(0, 0, 0, "Gate", Description(-1), "E");
    map::TMudRoom2* guard = p.model.Linker().NewRoomAt(0, 1, 0, "Guardhouse", Description(-2), "W");
    p.model.Linker().SetLink(gate, guard, map::East);
    const std::string fork = RoomText(forkName, forkDesc, "N S E W");
    const std::string north = RoomText("Meadow", Description(-4), "S");
    std::size_t open = 0;
    for (auto _ : state) {
        state.PauseTiming();
        p.tracker.Reset();
        p.host.ModeClick(true);
        world.CurrentRoom = gate;
        state.ResumeTiming();
        p.tracker.State().CommandQueue.push_back("e");
        p.tracker.TranslateCmd(fork);
        p.tracker.State().CommandQueue.push_back("n");
        p.tracker.TranslateCmd(north);
        open = p.tracker.Hypotheses().All().size();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 2);
    if (open != 21) state.SkipWithError("the choice was not open over the twenty and a new room");
    if (world.Lists().WorldCount() != 100022) state.SkipWithError("rooms were made");
}
BENCHMARK(BM_PassRelocalising)->Unit(benchmark::kMicrosecond);

void BM_PassNewRoom(benchmark::State& state) {
    Pipeline p;
    Fill100k(p);
    map::MapWorld& world = p.model.World();
    world.CurrentRoom = p.model.Linker().NewRoomAt(0, 0, 0, "Start", Description(-1), "E W");
    int n = 0;
    std::vector<std::string> texts;
    for (int i = 0; i < 30000; ++i)
        texts.push_back(RoomText("New " + std::to_string(i), Description(-10 - i), "E W"));
    for (auto _ : state) {
        p.tracker.State().CommandQueue.push_back("e");
        p.tracker.TranslateCmd(texts[n++ % texts.size()]);
    }
    if (!world.CurrentRoom) state.SkipWithError("lost the player");
}
BENCHMARK(BM_PassNewRoom)->Unit(benchmark::kMicrosecond)->Iterations(20000);

// A room that looks like three rooms elsewhere in the world (twins whose west side is not
// walked): the pass that opens the choice between them and a new room, and a pass that follows
// the next move under all four. The map is not touched by either, so every iteration starts
// from the same world.
struct Twins {
    Pipeline p;
    map::TMudRoom2* start = nullptr;
    std::string twin = RoomText("Twin street", Description(-3), "E W");
    std::string next = RoomText("Twin street end", Description(-4), "E W");
    Twins() {
        Fill100k(p);
        map::MapWorld& world = p.model.World();
        for (int z : {10, 50, 90}) {
            world.CurrentZone = "Zone " + std::to_string(z);
            world.LoadZoneRooms();
            p.model.Linker().NewRoomAt(40, z, 0, "Twin street", Description(-3), "E W");
        }
        world.CurrentZone = "Bench";
        world.LoadZoneRooms();
        start = p.model.Linker().NewRoomAt(0, 0, 0, "Start", Description(-1), "E");
    }
    void Open() {
        p.model.World().CurrentRoom = start;
        p.tracker.State().CommandQueue.push_back("e");
        p.tracker.TranslateCmd(twin);
    }
};

void BM_PassOpensThreeTwins(benchmark::State& state) {
    Twins t;
    for (auto _ : state) {
        t.Open();
        state.PauseTiming();
        if (t.p.tracker.Hypotheses().All().size() != 4) state.SkipWithError("not four choices");
        t.p.tracker.Reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PassOpensThreeTwins)->Unit(benchmark::kMicrosecond);

void BM_PassFollowsThreeTwins(benchmark::State& state) {
    Twins t;
    for (auto _ : state) {
        state.PauseTiming();
        t.Open();
        state.ResumeTiming();
        t.p.tracker.State().CommandQueue.push_back("e");
        t.p.tracker.TranslateCmd(t.next);
        state.PauseTiming();
        if (!t.p.tracker.Hypotheses().Open()) state.SkipWithError("the choice closed");
        t.p.tracker.Reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PassFollowsThreeTwins)->Unit(benchmark::kMicrosecond);

// A snake walk over a 100 x 100 grid recorded as the server would send it: an MCCP2 offer,
// the start sequence and then one compressed chunk per move.
struct Recording {
    std::vector<std::string> commands;
    std::vector<std::string> chunks; // chunks[i] answers commands[i]; chunk 0 is the offer
};

Recording Record() {
    Recording r;
    z_stream z{};
    deflateInit(&z, Z_DEFAULT_COMPRESSION);
    auto deflateChunk = [&](const std::string& in) {
        std::string out(in.size() + 1024, '\0');
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
        z.avail_in = static_cast<uInt>(in.size());
        z.next_out = reinterpret_cast<Bytef*>(out.data());
        z.avail_out = static_cast<uInt>(out.size());
        deflate(&z, Z_SYNC_FLUSH);
        out.resize(out.size() - z.avail_out);
        return out;
    };
    auto room = [](int x, int y) {
        std::string exits;
        if (x > 0) exits += "N ";
        if (x < 99) exits += "S ";
        if (y < 99) exits += "E ";
        if (y > 0) exits += "W ";
        int i = x * 100 + y;
        return RoomText("Room " + std::to_string(i), Description(i), exits);
    };
    const std::string prompt = "\r\n500H 100M \xC2\xFB\xF5:> \xFF\xF9";
    r.commands.push_back("");
    r.chunks.push_back("\xFF\xFB\x56");
    r.commands.push_back("look\r\n");
    r.chunks.push_back(std::string("\xFF\xFA\x56\xFF\xF0", 5) + deflateChunk(room(0, 0) + prompt));
    int x = 0, y = 0;
    while (r.commands.size() < 10002) {
        bool eastward = x % 2 == 0;
        std::string cmd;
        if ((eastward && y == 99) || (!eastward && y == 0)) {
            cmd = "s";
            ++x;
        } else {
            cmd = eastward ? "e" : "w";
            y += eastward ? 1 : -1;
        }
        if (x > 99) break;
        r.commands.push_back(cmd + "\r\n");
        r.chunks.push_back(deflateChunk("You walk.\r\n" + room(x, y) + prompt));
    }
    deflateEnd(&z);
    return r;
}

void BM_Replay10000Moves(benchmark::State& state) {
    static const Recording rec = Record();
    size_t rooms = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto p = std::make_unique<Pipeline>();
        p->model.World().CurrentZone = "Replay";
        p->model.World().LoadZoneRooms();
        state.ResumeTiming();
        for (size_t i = 0; i < rec.chunks.size(); ++i) {
            if (!rec.commands[i].empty()) p->intake.SSClientRead(rec.commands[i]);
            relay::DecodeResult d = p->decoder.Feed(rec.chunks[i], true, true);
            p->tracker.TranslateCmd(d.recognitionText);
        }
        rooms = p->model.World().Lists().ZoneCount();
        state.PauseTiming();
        p.reset();
        state.ResumeTiming();
    }
    state.counters["moves"] = double(rec.commands.size() - 2);
    state.counters["rooms"] = double(rooms);
    if (rooms != 10000) state.SkipWithError("the replay did not map every room");
}
BENCHMARK(BM_Replay10000Moves)->Unit(benchmark::kMillisecond);

} // namespace

namespace {

// The same walk as a session file that Quarvelin recorded: each answer as the client got it
// (inflated), each move as the client sent it.
std::string SessionOfTheWalk(const Recording& rec) {
    std::string file(storage::kSessionHeader);
    relay::ServerStreamDecoder decoder;
    std::uint64_t ms = 0;
    storage::AppendSessionRecord(file, 'E', ms, "client connected");
    storage::AppendSessionRecord(file, 'E', ms, "server connected");
    for (size_t i = 0; i < rec.chunks.size(); ++i) {
        if (!rec.commands[i].empty()) storage::AppendSessionRecord(file, 'C', ms, rec.commands[i]);
        const relay::DecodeResult d = decoder.Feed(rec.chunks[i], true, true);
        storage::AppendSessionRecord(file, 'S', ms += 200, d.clientBytes);
    }
    return file;
}

struct QuietUi : app::AppUi {
    void SetCaption(const std::string&) override {}
    void SetTracing(bool) override {}
    void SetMccpStatus(const std::string&) override {}
    void ShowError(const std::string& m) override { std::fprintf(stderr, "%s\n", m.c_str()); }
    void Repaint() override {}
    bool CollectWindowPlace(int&, int&, int&, int&) override { return false; }
};

} // namespace

// `quarvelin --replay` on a session of 10,000 moves, from the file's bytes to the world saved:
// the session's reading, the relay's replay of every record (intake, decoding, tracking,
// positioning) and the save of the 10,000 rooms.
void BM_ReplaySession10000Moves(benchmark::State& state) {
    static const std::string session = SessionOfTheWalk(Record());
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / "quarvelin-bench-replay";
    std::size_t rooms = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
        QuietUi ui;
        auto s = std::make_unique<app::Session>(
            app::Session::Options{dir, "Replay", true, {}, {}, /*replay=*/true}, ui);
        s->Start();
        s->FirstActivation();
        state.ResumeTiming();
        const storage::SessionReadResult r = storage::ReadSession(session);
        for (const storage::SessionRecord& record : r.records)
            s->Relay().Replay(record);
        rooms = s->Map().World().Lists().WorldCount();
        s->Shutdown();
        state.PauseTiming();
        s.reset();
        state.ResumeTiming();
    }
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    state.counters["rooms"] = double(rooms);
    if (rooms != 10000) state.SkipWithError("the replay did not map every room");
}
BENCHMARK(BM_ReplaySession10000Moves)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
