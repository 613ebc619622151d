// Learning a profile from a session of 1 MB of game text (target: under 200 ms): a walk through
// a Russian game with coloured names, exit lines, prompts ended with IAC GA, refused moves and
// chatter, as the relay records it.

#include "BenchText.h"
#include "tracking/ProfileLearner.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace {

struct Session {
    std::vector<std::string> blocks;
    std::vector<tracking::SessionPiece> pieces;
    std::size_t gameBytes = 0;
};

const Session& OneMegabyte() {
    static const Session session = [] {
        Session s;
        std::mt19937 rng(20);
        constexpr int kSide = 40;
        const char* const kMoves[4] = {"\xF1", "\xFE", "\xE2", "\xE7"}; // с ю в з
        const char* const kExits[4] = {"n", "s", "e", "w"};
        const char* const kLetters[4] = {"\xD1", "\xDE", "\xC2", "\xC7"}; // С Ю В З
        const int dx[4] = {-1, 1, 0, 0}, dy[4] = {0, 0, 1, -1};
        std::vector<std::string> names, descs;
        for (int i = 0; i < kSide * kSide; ++i) {
            names.push_back(bench::Words(rng, 12));
            descs.push_back("   " + bench::Words(rng, 70) + "\r\n" + bench::Words(rng, 70) + ".");
        }
        // Every inner wall is open; the border is not.
        auto open = [&](int at, int d) {
            const int x = at / kSide + dx[d], y = at % kSide + dy[d];
            return x >= 0 && y >= 0 && x < kSide && y < kSide;
        };
        auto put = [&](bool player, std::string bytes) {
            if (!player) {
                std::string doubled;
                for (char c : bytes) {
                    doubled.push_back(c);
                    if (c == '\xFF') doubled.push_back(c); // telnet doubles the letter "я"
                }
                bytes = doubled;
                s.gameBytes += bytes.size();
            }
            s.blocks.push_back(std::move(bytes));
            s.pieces.push_back({player, {}});
        };
        auto answer = [&](int at, const std::string& text) {
            std::string prompt =
                "\r\n\x1b[0;32m27H 84M " + std::to_string(rng() % 100) + "o \xC2\xFB\xF5:"; // Вых:
            for (int d = 0; d < 4; ++d)
                if (open(at, d)) prompt += kLetters[d];
            put(false, text + prompt + ">\x1b[0m \xFF\xF9");
        };
        auto room = [&](int at) {
            std::string exits;
            for (int d = 0; d < 4; ++d)
                if (open(at, d)) exits += std::string(exits.empty() ? "" : " ") + kExits[d];
            return "\x1b[1;36m" + names[at] + "\x1b[0m\r\n" + descs[at] +
                   "\r\n\x1b[0;36m[ Exits: " + exits + " ]\x1b[0m\r\n";
        };
        int at = kSide * kSide / 2;
        put(true, "\xF1\xEC\r\n"); // см
        answer(at, room(at));
        while (s.gameBytes < 1024 * 1024) {
            const int d = static_cast<int>(rng() % 4);
            const unsigned what = rng() % 10;
            if (what == 0) {
                put(true, "\xE3\xEE\xE2 \xEF\xF0\xE8\xE2\xE5\xF2\r\n"); // гов привет
                answer(at, "\xC2\xFB \xF1\xEA\xE0\xE7\xE0\xEB\xE8: '\xEF\xF0\xE8\xE2\xE5\xF2'\r\n");
                continue;
            }
            put(true, std::string(kMoves[d]) + "\r\n");
            if (!open(at, d)) {
                answer(at, "\xC8\xE7\xE2\xE8\xED\xE8\xF2\xE5, \xF2\xF3\xE4\xE0 "
                           "\xED\xE5\xEB\xFC\xE7\xFF.\r\n"); // Извините, туда нельзя.
                continue;
            }
            at += dx[d] * kSide + dy[d];
            answer(at, room(at));
        }
        for (std::size_t i = 0; i < s.blocks.size(); ++i)
            s.pieces[i].bytes = s.blocks[i];
        return s;
    }();
    return session;
}

void BM_LearnFromSession1MB(benchmark::State& state) {
    const Session& s = OneMegabyte();
    std::size_t rooms = 0;
    bool learnt = false;
    for (auto _ : state) {
        const tracking::LearntProfile l = tracking::LearnProfile(s.pieces);
        rooms = l.rooms.size();
        learnt = l.Learnt();
        benchmark::DoNotOptimize(rooms);
    }
    if (!learnt) state.SkipWithError("nothing was learnt from the session");
    state.counters["rooms"] = static_cast<double>(rooms);
    state.counters["game_bytes"] = static_cast<double>(s.gameBytes);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.gameBytes));
}
BENCHMARK(BM_LearnFromSession1MB)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
