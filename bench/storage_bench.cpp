// The storage hot paths on a board of 100,000 posts: the unread check against 100,000 stored
// hashes (hashing included), and writing and reading a post index of about 100 MB.
//
// The output directory is $QUOR_BENCH_DIR (default: the system's temporary directory); writes
// include the flush to the disk that every index write makes.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "core/memory_settings_store.h"
#include "core/quor_app.h"
#include "core/settings_keys.h"
#include "storage/board_files.h"
#include "storage/read_state.h"

namespace {

using namespace quor;

constexpr int kPosts = 100'000;

// About 500 bytes a post, each post different, as a busy board's pages give them.
core::Post MakePost(int i) {
    const std::string n = std::to_string(i);
    std::string message;
    while (message.size() < 440)
        message += "message " + n + " line of text \x82\xa0\x82\xa2\r\n";
    return {"title of post " + n + " on the board", "name " + n,
            "2001/01/01 12:00:" + std::to_string(i % 60), message, 0};
}

class BoardFixture {
public:
    BoardFixture() : app_(store_) {
        const char* base = std::getenv("QUOR_BENCH_DIR");
        dir_ = std::filesystem::path(base ? base : std::filesystem::temp_directory_path().c_str()) /
               ("quor-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
        store_.WriteString(core::kSectionGlobal, core::key::kOutputDirectory, dir_.string() + "/");
        store_.WriteInt(core::kSectionTree, core::key::kCount, 1);
        store_.WriteString(core::kSectionTree, core::BoardKey(core::key::kName, 1), "bench");
        app_.WithWorkspace(0, [](core::BoardWorkspace& workspace) {
            workspace.posts.Reserve(kPosts);
            for (int i = 0; i < kPosts; ++i)
                workspace.posts.Append(MakePost(i));
        });
    }
    ~BoardFixture() { std::filesystem::remove_all(dir_); }

    core::CQuorApp& App() { return app_; }
    std::uintmax_t FileSize(const char* extension) const {
        return std::filesystem::file_size(dir_ / (std::string("bench") + extension));
    }

private:
    core::MemorySettingsStore store_;
    core::CQuorApp app_;
    std::filesystem::path dir_;
};

void BM_CheckUnread(benchmark::State& state) {
    BoardFixture board;
    // Every post read, so the file holds 100,000 hashes; then a tenth of the posts change.
    storage::WriteReadState(board.App(), 0);
    board.App().WithWorkspace(0, [](core::BoardWorkspace& workspace) {
        for (int i = 0; i < kPosts; i += 10)
            workspace.posts.At(static_cast<std::size_t>(i)).message += "edited";
    });
    for (auto _ : state) {
        storage::CheckUnread(board.App(), 0);
        benchmark::ClobberMemory();
    }
    const auto unread = board.App().WithWorkspace(0, [](const core::BoardWorkspace& workspace) {
        return std::count_if(workspace.posts.begin(), workspace.posts.end(),
                             [](const core::Post& post) { return post.unread == 1; });
    });
    state.counters["unread"] = static_cast<double>(unread);
}
BENCHMARK(BM_CheckUnread)->Unit(benchmark::kMillisecond);

void BM_HashPosts(benchmark::State& state) {
    BoardFixture board;
    const core::PostTable posts = board.App().WithWorkspace(
        0, [](const core::BoardWorkspace& workspace) { return workspace.posts; });
    std::size_t bytes = 0;
    for (const auto& post : posts)
        bytes += post.title.size() + post.name.size() + post.date.size() + post.message.size();
    for (auto _ : state) {
        std::uint32_t all = 0;
        for (const auto& post : posts)
            all ^= storage::HashPost(post);
        benchmark::DoNotOptimize(all);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_HashPosts)->Unit(benchmark::kMillisecond);

void BM_WritePostIndex(benchmark::State& state) {
    BoardFixture board;
    for (auto _ : state)
        storage::WritePostIndex(board.App(), 0);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * board.FileSize(".idx")));
}
BENCHMARK(BM_WritePostIndex)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadPostIndex(benchmark::State& state) {
    BoardFixture board;
    storage::WritePostIndex(board.App(), 0);
    for (auto _ : state)
        storage::ReadPostIndex(board.App(), 0);
    const std::size_t read = board.App().WithWorkspace(
        0, [](const core::BoardWorkspace& workspace) { return workspace.posts.Count(); });
    if (read != static_cast<std::size_t>(kPosts))
        state.SkipWithError("the index did not read back whole");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * board.FileSize(".idx")));
}
BENCHMARK(BM_ReadPostIndex)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
