// The curve plot's redraw as Timer3 does it 40 times a second: clear back to the
// grid, the six band curves (about 440 drawing calls) and the live marker, painted
// with QPainter at the plot's pixel size, then read by the window.
//   BM_CurveRedrawQPainter : the picture changed (the live point moved), so every
//                            pixel is painted again; target under 0.5 ms
//   BM_CurveRedrawUnchanged: the same picture again, as on an idle plot; the canvas
//                            sees nothing changed and paints nothing
//   BM_CurveRedrawRecording: the drawing calls alone, into the tests' record
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
    const std::uint64_t before = canvas->changeCount();
    bool moved = false;
    for (auto _ : state) {
        // A live sample moves the operating point: the whole picture is painted anew.
        moved = !moved;
        form->PetrolTime = moved ? 9.5 : 9;
        form->CurveRedraw();
        benchmark::DoNotOptimize(canvas->changeCount());  // the window asks, then reads the image
        benchmark::DoNotOptimize(canvas->image().constBits());
    }
    state.counters["repaints_per_redraw"] =
        static_cast<double>(canvas->changeCount() - before) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_CurveRedrawQPainter)->Unit(benchmark::kMicrosecond);

void BM_CurveRedrawUnchanged(benchmark::State& state) {
    auto canvas = std::make_shared<gasecu::QtCanvas>();
    auto form = MakeForm(canvas);
    form->CurveRedraw();
    const std::uint64_t before = canvas->changeCount();
    for (auto _ : state) {
        form->CurveRedraw();
        benchmark::DoNotOptimize(canvas->changeCount());
        benchmark::DoNotOptimize(canvas->image().constBits());
    }
    state.counters["repaints_per_redraw"] =
        static_cast<double>(canvas->changeCount() - before) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_CurveRedrawUnchanged)->Unit(benchmark::kMicrosecond);

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
