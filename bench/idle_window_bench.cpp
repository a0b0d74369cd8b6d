// What the window costs while it sits connected and idle, as on a workshop laptop
// left on the curve screen: the real window (offscreen), its real timers and the
// in-process virtual ECU answering the 500 ms poll, for a stretch of real time.
// The figure is the process's CPU time over the wall time of the stretch:
//   cpu_percent : share of one core (target: under 1 %)
// GASECU_IDLE_SECONDS sets the stretch (default 30 s). Real time is the point here:
// the cost is the painting and the event loop, which only the real window has.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>

#include "app/form1korvane.h"
#include "window/main_window.h"
#include "window/session.h"

namespace {

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

double WallSeconds() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

void RunEventLoopFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool RunUntil(const std::function<bool()>& done, int maxMs) {
    const double end = WallSeconds() + maxMs / 1000.0;
    while (!done()) {
        if (WallSeconds() > end) return false;
        RunEventLoopFor(20);
    }
    return true;
}

void BM_IdleConnectedWindow(benchmark::State& state) {
    const char* env = std::getenv("GASECU_IDLE_SECONDS");
    const int seconds = env ? std::max(1, std::atoi(env)) : 30;
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("gasecu-idle-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir / "user");
    for (auto _ : state) {
        gasecu::qt::SessionOptions o;
        o.programDirectory = dir;
        o.userDataDirectory = dir / "user";
        o.simulate = true;
        o.simulatedPortNumber = 1;
        o.showEnginePanel = false;
        gasecu::qt::Session session(std::move(o));
        session.show();
        gasecu::Form1Korvane& form = session.form();
        session.window().runFormHandler(&gasecu::Form1Korvane::ComOpenButon_Click);
        if (!RunUntil([&] { return form.LinkUp && form.SequencerState == 8; }, 60000)) {
            state.SkipWithError("the virtual ECU did not connect");
            break;
        }
        session.window().runFormHandler(&gasecu::Form1Korvane::ButonEğri_Click);
        RunEventLoopFor(1000);  // the screen change settles

        const double cpu0 = CpuSeconds(), wall0 = WallSeconds();
        RunEventLoopFor(seconds * 1000);
        const double cpu = CpuSeconds() - cpu0, wall = WallSeconds() - wall0;
        state.SetIterationTime(wall);
        state.counters["cpu_percent"] = 100.0 * cpu / wall;
        state.counters["wall_s"] = wall;
        session.window().runFormHandler(&gasecu::Form1Korvane::EndProgram);
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_IdleConnectedWindow)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
