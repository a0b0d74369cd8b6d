// One full redraw of the curve plot as Timer3 does it 40 times a second: clear back
// to the grid, the six band curves (about 440 drawing calls) and the live marker,
// painted with QPainter at the plot's pixel size. It must stay well under 1 ms so
// the 25 ms redraw leaves the old laptops time for everything else.
#include <benchmark/benchmark.h>

#include <memory>

#include "app/default_curve.h"
#include "app/form1korvane.h"
#include "curve/curve_text.h"
#include "window/qt_canvas.h"
#include "platform/recording_canvas.h"

namespace {

std::unique_ptr<gasecu::Form1Korvane> MakeForm(std::shared_ptr<gasecu::Canvas> canvas) {
    auto form = std::make_unique<gasecu::Form1Korvane>(gasecu::FormEnvironment{});
    form->EğriPic.canvas = std::move(canvas);
    if (auto parsed = gasecu::curve::ParseCurveText(gasecu::DefaultCurveFileText())) parsed->applyTo(form->CurveTable);
    // Spread the bands apart so they do not paint over the same pixels.
    for (int r = 3; r <= 8; ++r)
        for (int p = 1; p <= 18; ++p) form->CurveTable[r][p] = 30 * p + 12 * (r - 3);
    form->PetrolTime = 9;
    form->GasTime = 12.5;
    return form;
}

void BM_CurveRedrawQPainter(benchmark::State& state) {
    auto canvas = std::make_shared<gasecu::QtCanvas>();
    auto form = MakeForm(canvas);
    for (auto _ : state) {
        form->CurveRedraw();
        benchmark::DoNotOptimize(canvas->image().constBits());  // the window reads it after each redraw
    }
    state.counters["calls_per_redraw"] = static_cast<double>(canvas->changeCount()) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_CurveRedrawQPainter)->Unit(benchmark::kMicrosecond);

void BM_CurveRedrawRecording(benchmark::State& state) {
    auto canvas = std::make_shared<gasecu::RecordingCanvas>();
    auto form = MakeForm(canvas);
    for (auto _ : state) {
        form->CurveRedraw();
        benchmark::DoNotOptimize(canvas->calls().data());
    }
}
BENCHMARK(BM_CurveRedrawRecording)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
