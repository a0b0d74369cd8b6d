// The history with 10,000 records, a busy workshop's years: what the history
// window waits for when it opens (the file opened and every record listed,
// newest first) and what one operation's restore point costs.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include <QApplication>

#include "app/form1korvane.h"
#include "curve/curve_text.h"
#include "history/history_store.h"
#include "window/history_window.h"

namespace {

using namespace gasecu;

constexpr int kRecords = 10000;

history::Record SomeRecord(int i) {
    CurveRows c{};
    for (std::size_t p = 1; p <= 6; ++p) c[1][p] = static_cast<double>(p * 10);
    for (std::size_t r = 2; r <= 8; ++r)
        for (std::size_t p = 1; p <= 18; ++p) c[r][p] = static_cast<double>(r * 20 + p * 3 + static_cast<std::size_t>(i % 50));
    history::Record rec;
    rec.time = "2026-12-09 08:00:00";
    rec.port = "/dev/ttyUSB0";
    rec.kind = history::AllKinds()[static_cast<std::size_t>(i) % history::AllKinds().size()];
    rec.result = "done";
    rec.label = "34 ABC " + std::to_string(i % 700) + " Doblo";
    rec.curveText = curve::FormatCurveText(c);
    rec.settings = "coils=4\nswitch-rpm=1200\nswitch-temp=30.1\nmin-pressure=0.70\nleak-pressure=0.60\nadvance=0.20\n";
    return rec;
}

std::filesystem::path BenchFolder() {
    return std::filesystem::temp_directory_path() / ("gasecu-history-bench-" + std::to_string(getpid()));
}

// One file of 10,000 records for the whole run, in a fresh folder removed at the end.
const std::filesystem::path& FullHistory() {
    static const std::filesystem::path file = [] {
        const auto dir = BenchFolder();
        std::filesystem::remove_all(dir);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(BenchFolder(), ec);
        });
        std::filesystem::create_directories(dir);
        const auto f = history::HistoryFileIn(dir);
        auto store = history::HistoryStore::Open(f);
        for (int i = 0; i < kRecords; ++i) store->add(SomeRecord(i));
        return f;
    }();
    return file;
}

void BM_HistoryWindowOpensAndLists(benchmark::State& state) {
    const auto& file = FullHistory();
    for (auto _ : state) {
        auto store = history::HistoryStore::Open(file);
        auto records = store->list({});
        benchmark::DoNotOptimize(records.data());
        if (records.size() < kRecords) state.SkipWithError("records missing");
    }
}
BENCHMARK(BM_HistoryWindowOpensAndLists)->Unit(benchmark::kMillisecond);

void BM_HistoryListFilteredByLabel(benchmark::State& state) {
    auto store = history::HistoryStore::Open(FullHistory());
    history::Filter filter;
    filter.labelContains = "abc 12";
    for (auto _ : state) benchmark::DoNotOptimize(store->list(filter).size());
}
BENCHMARK(BM_HistoryListFilteredByLabel)->Unit(benchmark::kMillisecond);

void BM_OneRestorePointWritten(benchmark::State& state) {
    auto store = history::HistoryStore::Open(FullHistory());
    const history::Record rec = SomeRecord(7);
    for (auto _ : state)
        if (!store->add(rec)) state.SkipWithError("record not kept");
}
BENCHMARK(BM_OneRestorePointWritten)->Unit(benchmark::kMillisecond);

void BM_OneRecordFetchedWhole(benchmark::State& state) {
    auto store = history::HistoryStore::Open(FullHistory());
    std::int64_t id = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(store->find(id));
        id = id % kRecords + 1;
    }
}
BENCHMARK(BM_OneRecordFetchedWhole)->Unit(benchmark::kMicrosecond);

// The window itself: the store's listing put into the history window's table,
// offscreen, as the history button opens it.
void BM_HistoryWindowTableFilled(benchmark::State& state) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "bench_history";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    const auto dir = FullHistory().parent_path();
    Form1Korvane form({dir, dir / "user", nullptr, nullptr, '.'});
    form.DataDirectory = dir;
    qt::HistoryWindow window(form, [](const std::function<void()>& work) { work(); }, nullptr);
    for (auto _ : state) {
        window.refresh();
        if (window.rowCount() < kRecords) state.SkipWithError("rows missing");
    }
}
BENCHMARK(BM_HistoryWindowTableFilled)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
