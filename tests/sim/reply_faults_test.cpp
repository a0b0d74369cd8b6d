#include <gtest/gtest.h>

#include "virtual_port.h"
#include "virtual_time_runner.h"
#include "tool_frames.h"

namespace gasecu::sim {
namespace {

const Bytes kBand{106, 5, 12, 63, 10};

// A controller on COM1 behind a virtual port; every receive event's bytes are kept
// with their time, the way the tool's receive handler reads them.
struct Rig {
    VirtualTimeRunner runner;
    VirtualPort port{runner};
    VirtualEcu ecu{9};
    std::vector<std::pair<double, Bytes>> events;
    Rig() {
        port.attachPeer(1, &ecu);
        port.setEventHandler([this](int) { events.push_back({runner.nowMs(), port.readAll()}); });
        port.open();
        ecu.setEngineSpeed(2000);
    }
    // One request per 500 ms tick, like the sequencer.
    void tick(const Bytes& frame) {
        port.send(frame);
        runner.runFor(500);
    }
};

TEST(ReplyFaults, DropCutAndSplitChangeWhatTheToolReceives) {
    Rig rig;
    rig.ecu.queueFault({ReplyFault::Drop});
    rig.tick(test::kLive);
    EXPECT_TRUE(rig.events.empty());
    EXPECT_EQ(rig.port.bytesWaiting(), 0u);

    // A reply cut to 9 bytes raises no event; its bytes are read with the next reply.
    rig.ecu.queueFault({ReplyFault::Cut, 9});
    rig.tick(test::kLive);
    EXPECT_TRUE(rig.events.empty());
    EXPECT_EQ(rig.port.bytesWaiting(), 9u);
    rig.tick(test::kLive);
    ASSERT_EQ(rig.events.size(), 1u);
    EXPECT_EQ(rig.events[0].second.size(), 22u);

    // A band block split 14 + 6: an early event with 14 bytes, 6 left behind.
    rig.events.clear();
    rig.ecu.queueFault({ReplyFault::Split, 14});
    rig.tick(kBand);
    ASSERT_EQ(rig.events.size(), 1u);
    EXPECT_EQ(rig.events[0].second.size(), 14u);
    EXPECT_EQ(rig.port.bytesWaiting(), 6u);
    rig.port.readAll();

    // Split 8 + 12: one event once all 20 are in, a few ms later than usual.
    rig.events.clear();
    rig.ecu.queueFault({ReplyFault::Split, 8});
    rig.tick(kBand);
    ASSERT_EQ(rig.events.size(), 1u);
    EXPECT_EQ(rig.events[0].second.size(), 20u);
}

// A line that brings a reply twice: the copy a few ms after it (duplicate), or
// after the next tick's request and its own reply (stray).
TEST(ReplyFaults, DuplicateAndStrayCopiesComeAsEventsOfTheirOwn) {
    struct Case {
        ReplyFault kind;
        int afterMs;
        double copyEarliest;  // ms after the request
    } const cases[] = {{ReplyFault::Duplicate, 20, 10}, {ReplyFault::Stray, 700, 600}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        Rig rig;
        rig.ecu.queueFault({c.kind, c.afterMs});
        const double sentAt = rig.runner.nowMs();
        rig.tick(test::kLive);
        rig.tick(test::kLive);
        // The reply, its copy and the second tick's reply, each whole.
        ASSERT_EQ(rig.events.size(), 3u);
        for (const auto& e : rig.events) EXPECT_EQ(e.second.size(), 13u);
        const auto copy = c.kind == ReplyFault::Duplicate ? rig.events[1] : rig.events[2];
        EXPECT_GT(copy.first - sentAt, c.copyEarliest);
        EXPECT_EQ(rig.ecu.faults().applied(c.kind), 1u);
    }
}

TEST(ReplyFaults, MergeGarbageLateAndSilence) {
    Rig rig;
    // Held back, then delivered with the next reply: one 26-byte event.
    rig.ecu.queueFault({ReplyFault::Merge});
    rig.tick(test::kLive);
    EXPECT_TRUE(rig.events.empty());
    rig.tick(test::kLive);
    ASSERT_EQ(rig.events.size(), 1u);
    EXPECT_EQ(rig.events[0].second.size(), 26u);

    rig.events.clear();
    rig.ecu.queueFault({ReplyFault::Garbage, 3});
    rig.tick(test::kLive);
    ASSERT_EQ(rig.events.size(), 1u);
    EXPECT_EQ(rig.events[0].second.size(), 16u);
    EXPECT_EQ(rig.events[0].second[3], 110);  // the reply behind the noise

    // Late: the reply comes after the next tick's request went out.
    rig.events.clear();
    rig.ecu.queueFault({ReplyFault::Late, 700});
    double sentAt = rig.runner.nowMs();
    rig.tick(test::kLive);
    EXPECT_TRUE(rig.events.empty());
    rig.runner.runFor(300);
    ASSERT_EQ(rig.events.size(), 1u);
    EXPECT_GT(rig.events[0].first - sentAt, 500);

    rig.events.clear();
    rig.ecu.setSilent(true);
    for (int i = 0; i < 4; ++i) rig.tick(test::kLive);
    EXPECT_TRUE(rig.events.empty());
    rig.ecu.setSilent(false);
    rig.tick(test::kLive);
    EXPECT_EQ(rig.events.size(), 1u);
}

TEST(ReplyFaults, RandomFaultsAreSeededAndFollowTheirRate) {
    auto run = [](std::uint32_t seed) {
        Rig rig;
        rig.ecu.faults() = ReplyFaults(seed);
        rig.ecu.setFaultRate(ReplyFault::Drop, 0.3);
        rig.ecu.setFaultRate(ReplyFault::Garbage, 0.2);
        std::vector<std::size_t> lengths;
        for (int i = 0; i < 200; ++i) {
            rig.events.clear();
            rig.tick(test::kLive);
            lengths.push_back(rig.events.empty() ? 0 : rig.events[0].second.size());
        }
        return lengths;
    };
    auto a = run(5), b = run(5), c = run(6);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    int dropped = 0, noisy = 0;
    for (std::size_t n : a) {
        dropped += n == 0;
        noisy += n > 13;
    }
    EXPECT_GT(dropped, 35);  // about 60 of 200
    EXPECT_LT(dropped, 90);
    EXPECT_GT(noisy, 15);  // about 28 of 200
    EXPECT_LT(noisy, 50);
}

TEST(ReplyFaults, ControllerPresentOnlyOnPortFour) {
    VirtualTimeRunner runner;
    VirtualPort port(runner);
    VirtualEcu ecu;
    port.attachPeer(4, &ecu);
    port.setMissingPorts({2});
    std::vector<int> answered;
    port.setEventHandler([&](int) {
        port.readAll();
        answered.push_back(port.portNumber());
    });
    for (int n = 1; n <= 15; ++n) {
        port.setPortNumber(n);
        if (!port.open()) continue;
        port.send(test::kLive);
        runner.runFor(500);
        port.close();
    }
    EXPECT_EQ(answered, std::vector<int>{4});
}

}  // namespace
}  // namespace gasecu::sim
