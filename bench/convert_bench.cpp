// The conversion's hot paths against the tools a user would otherwise reach for, in the same
// run and on the same bytes:
// - ConvertKanjiCode of 50 MB of Japanese text, EUC and JIS to Shift-JIS, against
//   `iconv -f EUC-JP -t CP932` and `iconv -f ISO-2022-JP -t CP932` on the same text (and memcpy,
//   the limit of any in-place pass);
// - ConvertKanjiCode with AUTO on the same text in each code and on plain ASCII, against the
//   detection and conversion that AUTO did before it first asked whether a page is UTF-8;
// - ConvertKanjiCode of the text in UTF-8 against `iconv -f UTF-8 -t CP932`;
// - CleanField over 50 MB of post fields against sed stripping the tags and the four entities,
//   and RenderField (the browser-like rules of Render) over the same fields;
// - ConvertBoard of TCUPBBS pages of 1, 5 and 25 MB with 2,000 posts a megabyte, and of the
//   5 MB page with markers that ignore case;
// - ConvertBoard of the 5 MB page with a Custom board's own markers, written out and with "{*}"
//   wildcards for the attribute values.
// The other programs read a file in the temporary directory and write to /dev/null.

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "convert/field_renderer.h"
#include "convert/kanji_code.h"
#include "convert/post_extraction.h"
#include "convert/text_cleaner.h"
#include "convert/utf8_page.h"
#include "convert_bench_text.h"
#include "core/cp932.h"
#include "core/memory_settings_store.h"
#include "core/quor_app.h"
#include "core/settings_keys.h"

namespace {

using namespace quor;

constexpr std::size_t kTextBytes = 50u << 20;

const std::string& Euc() {
    static const std::string text = bench::JapaneseEuc(kTextBytes);
    return text;
}

const std::string& Jis() {
    static const std::string text = bench::IconvFromEuc(Euc(), "ISO-2022-JP");
    return text;
}

const std::string& Sjis() {
    static const std::string text = bench::IconvFromEuc(Euc(), "CP932");
    return text;
}

const std::string& Utf8() {
    static const std::string text = bench::IconvFromEuc(Euc(), "UTF-8");
    return text;
}

// Markup only: AUTO meets no decisive byte and reads the whole page.
const std::string& Ascii() {
    static const std::string text = [] {
        std::string ascii;
        while (ascii.size() < kTextBytes)
            ascii += "<tr><td><b>name</b></td><td>2026/12/08 11:24</td><td>post 12345</td></tr>\n";
        return ascii;
    }();
    return text;
}

const std::string& Text(int code) {
    switch (code) {
        case convert::kKanjiEuc:
            return Euc();
        case convert::kKanjiJis:
            return Jis();
        case convert::kKanjiSjis:
            return Sjis();
        case convert::kKanjiUtf8:
            return Utf8();
        default:
            return Ascii();
    }
}

const std::string& Fields() {
    static const std::string text = bench::PostFields(kTextBytes);
    return text;
}

// Each iteration converts a fresh copy; the copy is not timed.
void ConvertInPlace(benchmark::State& state, const std::string& source, int setting) {
    std::string buffer;
    for (auto _ : state) {
        state.PauseTiming();
        buffer = source;
        state.ResumeTiming();
        convert::ConvertKanjiCode(buffer, setting);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * source.size()));
}

void BM_ConvertKanjiEuc(benchmark::State& state) {
    ConvertInPlace(state, Euc(), convert::kKanjiEuc);
}
void BM_ConvertKanjiJis(benchmark::State& state) {
    ConvertInPlace(state, Jis(), convert::kKanjiJis);
}

void BM_ConvertKanjiUtf8(benchmark::State& state) {
    ConvertInPlace(state, Utf8(), convert::kKanjiUtf8);
}

// The question AUTO asks of every page, on a page that is UTF-8 to its end (the longest answer).
void BM_LooksLikeUtf8(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(convert::LooksLikeUtf8(Utf8()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Utf8().size()));
}

// AUTO on a text in the code of the argument (0 for plain ASCII).
void BM_ConvertKanjiAuto(benchmark::State& state) {
    ConvertInPlace(state, Text(static_cast<int>(state.range(0))), convert::kKanjiAuto);
}

// What AUTO cost before it asked about UTF-8: detection, then the detected code's conversion.
void BM_DetectThenConvert(benchmark::State& state) {
    const std::string& source = Text(static_cast<int>(state.range(0)));
    std::string buffer;
    for (auto _ : state) {
        state.PauseTiming();
        buffer = source;
        state.ResumeTiming();
        const convert::DetectedCode detected = convert::DetectKanjiCode(buffer);
        convert::ConvertKanjiCode(buffer, detected == convert::kDetectedEuc ? convert::kKanjiEuc
                                          : detected == convert::kDetectedJis
                                              ? convert::kKanjiJis
                                              : convert::kKanjiSjis);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * source.size()));
}

void BM_Memcpy(benchmark::State& state) {
    std::string target(Euc().size(), '\0');
    for (auto _ : state) {
        std::memcpy(target.data(), Euc().data(), Euc().size());
        benchmark::DoNotOptimize(target.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Euc().size()));
}

// Another program over the text in a file. Its CPU time is the iteration time, as CPU time is
// what the benchmarks of our own code report: the machine is shared, and wall time there
// measures the neighbours. The wall time is kept as a counter.
void RunCommand(benchmark::State& state, const std::string& text, const std::string& command) {
    const bench::TempFile file(text);
    double wall = 0;
    for (auto _ : state) {
        const bench::CommandTime time = bench::TimeCommand(command + " '" + file.Path() + "'");
        if (time.cpuSeconds < 0) {
            state.SkipWithError(("failed: " + command).c_str());
            return;
        }
        state.SetIterationTime(time.cpuSeconds);
        wall += time.wallSeconds;
    }
    state.counters["wall_ms"] = wall * 1000 / static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_IconvEuc(benchmark::State& state) {
    RunCommand(state, Euc(), "iconv -f EUC-JP -t CP932");
}
void BM_IconvJis(benchmark::State& state) {
    RunCommand(state, Jis(), "iconv -f ISO-2022-JP -t CP932");
}

void BM_IconvUtf8(benchmark::State& state) {
    RunCommand(state, Utf8(), "iconv -c -f UTF-8 -t CP932");
}

// The fields as the extraction hands them over: one call a field.
const std::vector<std::string_view>& FieldList() {
    static const std::vector<std::string_view> fields = [] {
        std::vector<std::string_view> list;
        const std::string_view text = Fields();
        for (std::size_t start = 0; start < text.size();) {
            const std::size_t end = text.find('\n', start + 200);
            const std::size_t stop = end == std::string_view::npos ? text.size() : end + 1;
            list.push_back(text.substr(start, stop - start));
            start = stop;
        }
        return list;
    }();
    return fields;
}

void BM_CleanField(benchmark::State& state) {
    convert::TextCleaner cleaner(1, 1, 1);
    std::size_t out = 0;
    for (auto _ : state) {
        for (const std::string_view field : FieldList())
            out += cleaner.CleanField(field).size();
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Fields().size()));
    state.counters["fields"] = static_cast<double>(FieldList().size());
}

// The same fields as a browser shows them (a board with Render 1).
void BM_RenderField(benchmark::State& state) {
    convert::FieldRenderer renderer;
    std::size_t out = 0;
    for (auto _ : state) {
        for (const std::string_view field : FieldList())
            out += renderer.RenderField(field).size();
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Fields().size()));
    state.counters["fields"] = static_cast<double>(FieldList().size());
}

void BM_SedClean(benchmark::State& state) {
    RunCommand(state, Fields(),
               "LC_ALL=C sed -e 's/<[^>]*>//g' -e 's/&gt;/>/g' -e 's/&lt;/</g' "
               "-e 's/&quot;/\"/g' -e 's/&amp;/\\&/g'");
}

void BM_ConvertBoard(benchmark::State& state) {
    const std::size_t megabytes = static_cast<std::size_t>(state.range(0));
    const int posts = static_cast<int>(megabytes * 2000);
    core::MemorySettingsStore store;
    store.WriteInt(core::kSectionTree, core::BoardKey(core::key::kType, 1), 7);
    store.WriteInt(core::kSectionTree, core::BoardKey(core::key::kPageCount, 1), 5);
    store.WriteInt(core::kSectionTree, core::BoardKey(core::key::kNextPageMethod, 1), 1);
    store.WriteString(core::kSectionTree, core::BoardKey(core::key::kPageSearchText, 1),
                      "name=next");
    // The second argument is the board's NoCase switch: markers sought in a folded copy.
    store.WriteInt(core::kSectionTree, core::BoardKey(core::key::kNoCase, 1),
                   static_cast<int>(state.range(1)));
    core::CQuorApp app(store);
    const std::string page = bench::TcupPage(megabytes << 20, posts);
    app.SetPageText(0, page);
    for (auto _ : state) {
        state.PauseTiming();
        app.WithWorkspace(0, [](core::BoardWorkspace& workspace) { workspace.ClearBoard(); });
        state.ResumeTiming();
        convert::ConvertBoard(app, 0);
    }
    const auto [found, nextPage] = app.WithWorkspace(0, [](const core::BoardWorkspace& workspace) {
        return std::pair(workspace.posts.Count(), workspace.nextPage.number);
    });
    if (static_cast<int>(found) != posts || nextPage != 2)
        state.SkipWithError("the page did not convert as built");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
    state.counters["posts"] = static_cast<double>(found);
}

// The 5 MB page cut by a Custom board's markers: written out in full (0) or with a "{*}" for
// every attribute value (1). Both give the same posts.
void BM_ConvertBoardWildcard(benchmark::State& state) {
    const int posts = 5 * 2000;
    core::MemorySettingsStore store;
    const auto set = [&](std::string_view stem, const std::string& utf8) {
        store.WriteString(core::kSectionTree, core::BoardKey(stem, 1), core::FromUtf8(utf8));
    };
    const bool wildcard = state.range(0) == 1;
    store.WriteInt(core::kSectionTree, core::BoardKey(core::key::kType, 1), 0);
    set(core::key::kSkipMarker, "<hr>");
    set(core::key::kTitleStart,
        wildcard ? "<font size={*} color=\"{*}\"><b>" : "<font size=+1 color=\"#ff0000\"><b>");
    set(core::key::kTitleEnd, "</b>");
    set(core::key::kNameStart,
        wildcard ? "投稿者：<font color=\"{*}\"><b>" : "投稿者：<font color=\"#008000\"><b>");
    set(core::key::kNameEnd, "</b>");
    set(core::key::kDateStart, wildcard ? "<font size={*}>投稿日：" : "<font size=-1>投稿日：");
    set(core::key::kDateEnd, "</font>");
    set(core::key::kMessageStart, wildcard ? "<blockquote{*}>" : "<blockquote>");
    set(core::key::kMessageEnd, "</blockquote>");
    store.WriteInt(core::kSectionTree, core::BoardKey(core::key::kPageCount, 1), 5);
    store.WriteInt(core::kSectionTree, core::BoardKey(core::key::kNextPageMethod, 1), 1);
    set(core::key::kPageSearchText, "name=next");
    core::CQuorApp app(store);
    const std::string page = bench::TcupPage(5u << 20, posts);
    app.SetPageText(0, page);
    for (auto _ : state) {
        state.PauseTiming();
        app.WithWorkspace(0, [](core::BoardWorkspace& workspace) { workspace.ClearBoard(); });
        state.ResumeTiming();
        convert::ConvertBoard(app, 0);
    }
    const auto [found, nextPage] = app.WithWorkspace(0, [](const core::BoardWorkspace& workspace) {
        return std::pair(workspace.posts.Count(), workspace.nextPage.number);
    });
    if (static_cast<int>(found) != posts || nextPage != 2)
        state.SkipWithError("the page did not convert as built");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
    state.counters["posts"] = static_cast<double>(found);
}

BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertKanjiEuc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IconvEuc)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_ConvertKanjiJis)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IconvJis)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_ConvertKanjiUtf8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LooksLikeUtf8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IconvUtf8)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
// 0 plain ASCII, 1 EUC, 2 JIS, 3 Shift-JIS, 4 UTF-8. A fixed count: AUTO on a Shift-JIS page
// decides within its first bytes, and the untimed 50 MB copy before each run would otherwise be
// repeated millions of times.
BENCHMARK(BM_ConvertKanjiAuto)->DenseRange(0, 4)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_DetectThenConvert)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_CleanField)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderField)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SedClean)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_ConvertBoard)
    ->Args({1, 0})
    ->Args({5, 0})
    ->Args({25, 0})
    ->Args({5, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertBoardWildcard)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
