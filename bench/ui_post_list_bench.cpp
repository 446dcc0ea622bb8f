// The post list with a large board: a refill including the first paint, and one column sort.
// Run headless: QT_QPA_PLATFORM=offscreen build/bench/quor_ui_bench
//
// The paint draws only the rows that are visible, so its cost does not grow with the board;
// compare the 100 and 100,000 post refills.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <chrono>
#include <cstdlib>
#include <string>

#include "core/cp932.h"
#include "core/memory_settings_store.h"
#include "core/quor_app.h"
#include "ui/views/post_list_model.h"
#include "ui/views/post_list_view.h"

namespace {

using quor::core::FromUtf8;

void FillBoard(quor::core::CQuorApp& app, int count) {
    const std::string title = FromUtf8("掲示板の投稿タイトル その");
    const std::string name = FromUtf8("名無しさん");
    const std::string message =
        FromUtf8("こんにちは。これは大きな掲示板の本文です。二行目もあります。");
    app.WithWorkspace(0, [&](quor::core::BoardWorkspace& workspace) {
        workspace.posts.Clear();
        workspace.posts.Reserve(static_cast<std::size_t>(count));
        for (int k = 0; k < count; ++k) {
            // Scrambled numbers so the sort has real work to do.
            const std::string number = std::to_string((k * 7919) % count);
            workspace.posts.Append({title + number, name + number,
                                    "2024/" + std::to_string(k % 12 + 1) + "/" + number,
                                    message + number, k % 3 == 0 ? 1 : 0});
        }
    });
}

struct ListFixture {
    quor::core::MemorySettingsStore store;
    quor::core::CQuorApp app{store};
    quor::ui::CQuorUpView list{app};
    explicit ListFixture(int posts) {
        FillBoard(app, posts);
        list.resize(640, 400);
        list.show();
        QCoreApplication::processEvents();
    }
};

void BM_RefillWithFirstPaint(benchmark::State& state) {
    ListFixture fixture(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        fixture.list.RefreshPostList();
        fixture.list.viewport()->repaint();
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    state.counters["rows"] = fixture.list.Model().rowCount();
}
BENCHMARK(BM_RefillWithFirstPaint)
    ->Arg(100)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_SortOneColumn(benchmark::State& state) {
    ListFixture fixture(100000);
    fixture.list.RefreshPostList();
    const int column = static_cast<int>(state.range(0));
    for (auto _ : state) {
        // Each click sorts the whole list, ascending and descending in turn.
        fixture.list.OnColumnClick(column);
    }
}
BENCHMARK(BM_SortOneColumn)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
