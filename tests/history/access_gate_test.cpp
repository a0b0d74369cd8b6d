// The gate that keeps the history's users off the file while a file dialog is up.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "history/access_gate.h"

namespace gasecu::history {
namespace {

TEST(AccessGate, APauseWaitsForTheUseUnderWayAndOpeningLetsEveryoneThrough) {
    AccessGate gate;
    std::atomic<bool> useEnded = false;
    std::thread user;
    {
        auto use = std::make_unique<AccessGate::Use>(&gate);
        user = std::thread([&, held = std::move(use)]() mutable {
            useEnded = true;
            held.reset();
        });
        gate.pause();
        EXPECT_TRUE(useEnded) << "the pause returned while the file was in use";
    }
    user.join();
    // Closing: a use (the sync's thread finishing its step) goes through a closed
    // gate once it is opened for good (else this case never ends).
    gate.open();
    const AccessGate::Use after(&gate);
    gate.resume();
}

}  // namespace
}  // namespace gasecu::history
