// A fetch-all run of 64 boards x 3 pages from the board server on 127.0.0.1 with THREADCOUNT 10,
// measured against the floor the scheduler's own schedule sets.
//
// The floor: the driver starts at most one board per pass of its outer loop, and each pass ends
// with a 100 ms tick, so board k (0-based) starts no earlier than k x 100 ms. A page that has
// arrived is seen at the next pass, which also starts the following page; the last board's three
// pages therefore take three more passes after its start. Floor = (64 - 1 + 3) x 100 ms = 6.6 s;
// the network, conversion and file time comes on top and must stay within 15 %.
//
// Counters: wall_s, floor_s, ratio (wall / floor, limit 1.15), driver_cpu_pct (CPU time of the
// driver thread over the wall time, limit 5), peak_rss_mb and its limit 3 x fetched + 30 MB.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <time.h>

#include <chrono>

#include "core/memory_settings_store.h"
#include "core/quor_app.h"
#include "core/settings_keys.h"
#include "fetch/fetch_scheduler.h"
#include "support/board_server_process.h"
#include "support/recording_frontend.h"
#include "support/temp_dir.h"

namespace {

constexpr int kBoards = 64;
constexpr int kPages = 3;
constexpr int kThreads = 10;
constexpr double kFloorSeconds = (kBoards - 1 + kPages) * 0.1;

std::string Config() {
    std::string config = R"({"boards": [)";
    const char* types[] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "0"};
    const char* codes[] = {"sjis", "euc", "jis"};
    for (int i = 0; i < kBoards; ++i) {
        config += std::string(i ? "," : "") + R"({"name": "board)" + std::to_string(i + 1) +
                  R"(", "type": )" + types[i % 10] + R"(, "encoding": ")" + codes[i % 3] +
                  R"(", "pages": 3, "posts": 40, "turn": ")" + (i % 2 ? "get" : "post") + R"("})";
    }
    return config + "]}";
}

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double PeakRssMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_FetchAll64x3(benchmark::State& state) {
    quor::test::BoardServerProcess server(Config());
    if (!server.Running()) {
        state.SkipWithError("the board server did not start");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        quor::core::MemorySettingsStore store;
        quor::test::RecordingFrontend ui;
        quor::test::TempDir out;
        server.LoadSettings(store);
        store.WriteString(quor::core::kSectionGlobal, "ODIR", out.Prefix());
        store.WriteInt(quor::core::kSectionGlobal, "THREADCOUNT", kThreads);
        quor::core::CQuorApp app(store, ui);
        const std::size_t loggedBefore = server.Log().size();
        state.ResumeTiming();

        // The driver runs on this thread, so its CPU time is this thread's.
        const double cpuStart = ThreadCpuSeconds();
        const auto wallStart = std::chrono::steady_clock::now();
        quor::fetch::FetchAll(app);
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
        const double cpu = ThreadCpuSeconds() - cpuStart;

        state.PauseTiming();
        const auto log = server.Log();
        double fetched = 0;
        for (std::size_t i = loggedBefore; i < log.size(); ++i)
            fetched += static_cast<double>(log[i].bytes);
        state.counters["requests"] = static_cast<double>(log.size() - loggedBefore);
        state.counters["wall_s"] = wall;
        state.counters["floor_s"] = kFloorSeconds;
        state.counters["ratio"] = wall / kFloorSeconds;
        state.counters["driver_cpu_pct"] = 100.0 * cpu / wall;
        state.counters["fetched_mb"] = fetched / (1024.0 * 1024.0);
        state.counters["peak_rss_mb"] = PeakRssMegabytes();
        state.counters["rss_limit_mb"] = 3.0 * fetched / (1024.0 * 1024.0) + 30.0;
        state.counters["warnings"] = static_cast<double>(ui.Warnings().size());
        state.ResumeTiming();
    }
}

BENCHMARK(BM_FetchAll64x3)->Unit(benchmark::kSecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
