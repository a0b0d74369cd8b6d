// The session loop on the virtual-time runner (see virtual_session_loop.h).
#include "virtual_session_loop.h"

namespace gasecu::sim {

namespace {

// A wait longer than any command's: a run still going after it never ends.
constexpr double kLongestWaitMs = 3600 * 1000.0;

}  // namespace

void VirtualSessionLoop::attachTimers(Form1Korvane& form, std::function<void()> afterTick) {
    runner_.attach(form);
    runner_.setAfterTick(std::move(afterTick));
}

int VirtualSessionLoop::run() {
    stopped_.reset();
    runner_.runUntil([this] { return stopped_.has_value(); }, kLongestWaitMs);
    return stopped_.value_or(-1);
}

}  // namespace gasecu::sim
