#pragma once
// The session loop on the virtual-time runner: the window and the headless
// commands run on it in the tests. Their timers tick, the virtual ECU's replies
// arrive and the link watch fires in virtual milliseconds, so a two-minute
// calibration takes as long as its handlers take. A wait turns the runner until
// stop() is called, or gives up after an hour of virtual time.
#include <optional>

#include "app/session_loop.h"
#include "virtual_time_runner.h"

namespace gasecu::sim {

class VirtualSessionLoop final : public SessionLoop {
public:
    explicit VirtualSessionLoop(VirtualTimeRunner& runner) : runner_(runner) {}
    Scheduler& scheduler() override { return runner_; }
    void attachTimers(Form1Korvane& form, std::function<void()> afterTick) override;
    void detachTimers() override { runner_.detach(); }
    // -1 when nothing stopped the loop within the hour.
    int run() override;
    void stop(int status) override { stopped_ = status; }
    VirtualTimeRunner& runner() { return runner_; }

private:
    VirtualTimeRunner& runner_;
    std::optional<int> stopped_;
};

}  // namespace gasecu::sim
