#pragma once
// The last minute of the engine as the trend view draws it: engine speed, gas
// pressure, petrol time and gas time of each live reply, kept in a ring of 120
// samples (one minute of 500 ms polls). A lost reply leaves a gap in time rather
// than a sample, so the ring also drops whatever lies more than a minute behind
// the newest sample.
#include <array>
#include <cstddef>

namespace gasecu::ecu {

struct TrendSample {
    double timeMs = 0;  // on the steady clock
    double engineSpeed = 0, gasPressure = 0, petrolTime = 0, gasTime = 0;
};

enum class TrendTrace { EngineSpeed, GasPressure, PetrolTime, GasTime };
inline constexpr std::array<TrendTrace, 4> kTrendTraces{TrendTrace::EngineSpeed, TrendTrace::GasPressure,
                                                        TrendTrace::PetrolTime, TrendTrace::GasTime};

double TraceValue(const TrendSample& sample, TrendTrace trace);

class LiveTrend {
public:
    static constexpr std::size_t kCapacity = 120;
    static constexpr double kSpanMs = 60000;

    // Adds the newest sample. A sample older than the newest one (a clock that
    // went back) starts the trend afresh.
    void add(const TrendSample& sample);
    void clear() { count_ = 0; }

    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    // Oldest first.
    const TrendSample& at(std::size_t index) const { return ring_[(head_ + index) % kCapacity]; }
    const TrendSample& newest() const { return at(count_ - 1); }

private:
    std::array<TrendSample, kCapacity> ring_{};
    std::size_t head_ = 0;  // the oldest sample
    std::size_t count_ = 0;
};

// The trend picture's user coordinates: x in seconds before the newest sample
// (-60 at the chart's left edge, 0 at its right), y one unit per strip with the
// engine speed's strip on top (3..4) and the gas time's at the bottom (0..1); the
// room left of -60 and under 0 holds the scale and time labels.
inline constexpr double kTrendLeft = -66, kTrendTop = 4.05, kTrendRight = 1.5, kTrendBottom = -0.4;

// The top of a trace's scale: the highest value of the trend rounded up to the
// next round number (1, 1.5, 2, 2.5, 3, 4, 5, 6, 8 times a power of ten), and never
// below a floor that keeps an idle
// engine's trace from filling its strip with noise (1000 rpm, 1 bar, 5 ms).
double TrendScaleTop(const LiveTrend& trend, TrendTrace trace);

}  // namespace gasecu::ecu
