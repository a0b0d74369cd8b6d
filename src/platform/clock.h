#pragma once
// What the tool asks of a clock besides the sequencer's ticks: a steady count of
// milliseconds for the time between two live samples, and the local date and time
// for the names and time stamps of the files a person opens later. The window uses
// the PC's clocks; tests use the virtual-time runner's, so no test reads the
// wall clock.
#include <chrono>

namespace gasecu {

using LocalTimeMs = std::chrono::local_time<std::chrono::milliseconds>;

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds from an arbitrary start; never goes back.
    virtual double steadyMs() const = 0;
    // The date and time on the fitter's wall.
    virtual LocalTimeMs localNow() const = 0;
};

// The PC's clocks.
Clock& SystemClock();

}  // namespace gasecu
