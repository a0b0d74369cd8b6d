#include "ecu/live_trend.h"

#include <algorithm>
#include <cmath>

namespace gasecu::ecu {

namespace {

double ScaleFloor(TrendTrace trace) {
    switch (trace) {
        case TrendTrace::EngineSpeed: return 1000;
        case TrendTrace::GasPressure: return 1;
        case TrendTrace::PetrolTime:
        case TrendTrace::GasTime: return 5;
    }
    return 1;
}

// The smallest round number at or above a positive value: 1, 1.5, 2, 2.5, 3, 4,
// 5, 6 or 8 times a power of ten, so a trace fills at least half its strip.
double NiceAtOrAbove(double value) {
    const double power = std::pow(10.0, std::floor(std::log10(value)));
    for (double step : {1.0, 1.5, 2.0, 2.5, 3.0, 4.0, 5.0, 6.0, 8.0, 10.0})
        if (step * power >= value * (1 - 1e-12)) return step * power;
    return 10 * power;
}

}  // namespace

double TraceValue(const TrendSample& s, TrendTrace trace) {
    switch (trace) {
        case TrendTrace::EngineSpeed: return s.engineSpeed;
        case TrendTrace::GasPressure: return s.gasPressure;
        case TrendTrace::PetrolTime: return s.petrolTime;
        case TrendTrace::GasTime: return s.gasTime;
    }
    return 0;
}

void LiveTrend::add(const TrendSample& sample) {
    if (!std::isfinite(sample.timeMs)) return;
    if (count_ > 0 && sample.timeMs < newest().timeMs) clear();
    if (count_ == kCapacity) {
        head_ = (head_ + 1) % kCapacity;
        --count_;
    }
    ring_[(head_ + count_) % kCapacity] = sample;
    ++count_;
    // A minute behind the newest sample is off the chart: the sample exactly 60 s
    // old goes too, so the chart's left edge never holds a stale point.
    while (count_ > 0 && at(0).timeMs <= sample.timeMs - kSpanMs) {
        head_ = (head_ + 1) % kCapacity;
        --count_;
    }
}

double TrendScaleTop(const LiveTrend& trend, TrendTrace trace) {
    double highest = ScaleFloor(trace);
    for (std::size_t i = 0; i < trend.size(); ++i) {
        const double v = TraceValue(trend.at(i), trace);
        if (std::isfinite(v)) highest = std::max(highest, v);
    }
    return NiceAtOrAbove(highest);
}

}  // namespace gasecu::ecu
