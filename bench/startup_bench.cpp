// Start-up of the tool on the fitter's laptop: time from process start to the
// window's first complete paint, and the memory held then. Each repetition starts
// the real program (offscreen, with --benchmark-startup, which prints both figures
// at its first paint and quits); the report gives the median over the runs.
//   first_paint_ms : measured inside the program, from the process's start time
//   wall_ms        : measured here, from fork to the figures arriving (the
//                    manual time of the benchmark)
//   rss_mb         : VmRSS of the program at its first paint
// Targets: under 300 ms and under 60 MB.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include "curve/curve_file_io.h"

namespace {

std::filesystem::path ToolPath() {
    if (const char* env = std::getenv("GASECU_BIN")) return env;
    // build/bench/bench_startup_bench -> build/gasecu
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "gasecu";
}

struct Figures {
    bool ok = false;
    double firstPaintMs = 0;
    double rssKb = 0;
    double wallMs = 0;
};

Figures RunOnce(const std::filesystem::path& tool) {
    Figures f;
    int out[2];
    if (pipe(out) != 0) return f;
    auto start = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        int quiet = open("/dev/null", O_WRONLY);
        if (quiet >= 0) dup2(quiet, STDERR_FILENO);  // the platform's chatter
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        // Against the virtual ECU: the same start whether or not an adapter is plugged in.
        execl(tool.c_str(), tool.c_str(), "--simulate", "--benchmark-startup", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    std::string text;
    char buffer[256];
    ssize_t n;
    while ((n = read(out[0], buffer, sizeof buffer)) > 0) {
        text.append(buffer, static_cast<std::size_t>(n));
        if (text.find('\n') != std::string::npos && f.wallMs == 0)
            f.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    long rss = 0;
    f.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
           std::sscanf(text.c_str(), "first_paint_ms=%lf rss_kb=%ld", &f.firstPaintMs, &rss) == 2;
    f.rssKb = static_cast<double>(rss);
    return f;
}

void BM_StartupToFirstPaint(benchmark::State& state) {
    const auto tool = ToolPath();
    double firstPaint = 0, rss = 0;
    for (auto _ : state) {
        Figures f = RunOnce(tool);
        if (!f.ok) {
            state.SkipWithError(("could not start " + gasecu::curve::Utf8FromPath(tool)).c_str());
            return;
        }
        state.SetIterationTime(f.wallMs / 1000.0);
        firstPaint = f.firstPaintMs;
        rss = f.rssKb;
    }
    state.counters["first_paint_ms"] = firstPaint;
    state.counters["rss_mb"] = rss / 1024.0;
}

BENCHMARK(BM_StartupToFirstPaint)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
