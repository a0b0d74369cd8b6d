#pragma once
// The virtual-time runner's clock in the shape the window asks for: its steady
// milliseconds are the runner's, and the wall shows a fixed moment plus them, so a
// data log written in a test has the same names and time stamps on every run.
#include <chrono>
#include <cmath>

#include "platform/clock.h"
#include "platform/scheduler.h"

namespace gasecu::sim {

class VirtualClock final : public Clock {
public:
    VirtualClock(const Scheduler& runner, LocalTimeMs start) : runner_(runner), start_(start) {}
    double steadyMs() const override { return runner_.nowMs(); }
    LocalTimeMs localNow() const override {
        return start_ + std::chrono::milliseconds(std::llround(runner_.nowMs()));
    }

private:
    const Scheduler& runner_;
    LocalTimeMs start_;
};

}  // namespace gasecu::sim
