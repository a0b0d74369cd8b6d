// The workshop server's sync on this machine, against a PostgreSQL server the
// program starts itself (as the sync tests do): 10,000 records sent up from one
// laptop and taken down by another; and what one job's record costs with a
// server named but unreachable (the sync thread trying it all along) against
// no server at all: the record never waits for the network, so both must match.
#include <benchmark/benchmark.h>

#include <atomic>
#include <fstream>
#include <thread>
#include <unistd.h>

#include "curve/curve_text.h"
#include "history/history_store.h"
#include "history/restore_points.h"
#include "history/server_config.h"
#include "sync/background_sync.h"
#include "sync/pg_test_server.h"
#include "sync/server_connection.h"
#include "sync/server_schema.h"
#include "sync/sync_run.h"

namespace {

using namespace gasecu;
namespace fs = std::filesystem;

constexpr int kRecords = 10000;

history::Record SomeRecord(int i) {
    CurveRows c{};
    for (std::size_t r = 1; r <= 8; ++r)
        for (std::size_t p = 1; p <= 18; ++p) c[r][p] = static_cast<double>(r * 20 + p * 3 + static_cast<std::size_t>(i % 50));
    history::Record rec;
    rec.time = "2026-12-09 08:00:00";
    rec.port = "/dev/ttyUSB0";
    rec.kind = history::Kind::CurveWrite;
    rec.result = "equal";
    rec.label = "34 ABC " + std::to_string(i % 700) + " Doblo";
    rec.curveText = curve::FormatCurveText(c);
    rec.settings = "coils=4\nswitch-rpm=1200\nswitch-temp=30.1\nmin-pressure=0.70\nleak-pressure=0.60\nadvance=0.20\n";
    return rec;
}

fs::path Folder(const std::string& name) {
    const fs::path dir = fs::temp_directory_path() / ("gasecu-sync-bench-" + std::to_string(getpid())) / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

void NameServer(const fs::path& dir, const std::string& uri, const std::string& laptop) {
    std::ofstream(dir / history::kServerFileName) << "uri=" << uri << "\nlaptop=" << laptop << "\n";
}

test::PgTestServer& Server() {
    static test::PgTestServer& server = [] () -> test::PgTestServer& {
        std::string error;
        if (!test::TheServer().start(&error)) std::fprintf(stderr, "%s\n", error.c_str());
        std::atexit([] {
            test::TheServer().remove();
            std::error_code ec;
            fs::remove_all(fs::temp_directory_path() / ("gasecu-sync-bench-" + std::to_string(getpid())), ec);
        });
        return test::TheServer();
    }();
    return server;
}

// A fresh workshop database with its schema.
std::string FreshDatabase() {
    static int count = 0;
    const std::string db = "bench" + std::to_string(++count);
    std::string error;
    Server().createDatabase(db, false, &error);
    auto conn = sync::ServerConnection::Connect(Server().adminUri(db), std::chrono::seconds(10), &error);
    if (conn) sync::InitServer(*conn, &error);
    return db;
}

// One laptop's history of 10,000 records, made once and copied for each run.
const fs::path& FullHistory() {
    static const fs::path file = [] {
        const fs::path dir = Folder("template");
        NameServer(dir, "", "bench-a");
        auto store = history::HistoryStore::Open(history::HistoryFileIn(dir));
        for (int i = 0; i < kRecords; ++i) store->add(SomeRecord(i));
        return history::HistoryFileIn(dir);
    }();
    return file;
}

void BM_Push10000Records(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        const std::string db = FreshDatabase();
        const fs::path dir = Folder("push-" + db);
        fs::copy_file(FullHistory(), history::HistoryFileIn(dir));
        NameServer(dir, Server().adminUri(db), "bench-a");
        sync::SyncOptions options;
        options.uri = Server().adminUri(db);
        state.ResumeTiming();
        const sync::SyncOutcome out = sync::Sync(history::HistoryFileIn(dir), options, "2026-12-10 12:00:00");
        if (!out.done || out.pushed != kRecords) state.SkipWithError(("push: " + out.error).c_str());
    }
}
BENCHMARK(BM_Push10000Records)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_Pull10000Records(benchmark::State& state) {
    const std::string db = FreshDatabase();
    {
        const fs::path dir = Folder("pull-source");
        fs::copy_file(FullHistory(), history::HistoryFileIn(dir));
        sync::SyncOptions options;
        options.uri = Server().adminUri(db);
        sync::Sync(history::HistoryFileIn(dir), options, "2026-12-10 12:00:00");
    }
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const fs::path dir = Folder("pull-" + std::to_string(++round));
        NameServer(dir, Server().adminUri(db), "bench-b");
        sync::SyncOptions options;
        options.uri = Server().adminUri(db);
        state.ResumeTiming();
        const sync::SyncOutcome out = sync::Sync(history::HistoryFileIn(dir), options, "2026-12-10 12:00:00");
        if (!out.done || out.pulled != kRecords) state.SkipWithError(("pull: " + out.error).c_str());
    }
}
BENCHMARK(BM_Pull10000Records)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// One job's record as the form keeps it. Argument 0: no server named; 1: a
// server named at an address nothing answers (TEST-NET-1), with the window's
// sync thread running and a second thread retrying the sync all the time.
void BM_JobRecord(benchmark::State& state) {
    const bool server = state.range(0) == 1;
    const fs::path dir = Folder(server ? "job-unreachable" : "job-alone");
    NameServer(dir, server ? "postgresql://fitter@192.0.2.1/gasecu?connect_timeout=2" : "", "bench-a");
    std::unique_ptr<sync::BackgroundSync> background;
    std::atomic<bool> stop{false};
    std::thread retrying;
    if (server) {
        background = std::make_unique<sync::BackgroundSync>(dir, [] { return std::string("2026-12-10 12:00:00"); });
        background->start();
        retrying = std::thread([&] {
            sync::BackgroundSync again(dir, [] { return std::string("2026-12-10 12:00:00"); });
            auto at = sync::BackgroundSync::Clock::now();
            while (!stop) again.step(at += std::chrono::minutes(2));
        });
    }
    history::DatabaseRestorePoints points(history::HistoryFileIn(dir));
    const history::Record record = SomeRecord(1);
    for (auto _ : state)
        if (!points.keep(record)) state.SkipWithError("record not kept");
    stop = true;
    if (retrying.joinable()) retrying.join();
}
BENCHMARK(BM_JobRecord)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
