#include "virtual_port.h"

#include <gtest/gtest.h>

#include "virtual_time_runner.h"
#include "tool_frames.h"

namespace gasecu::sim {
namespace {


// A peer that answers every send with scripted pieces.
class ScriptedPeer : public LinePeer {
public:
    std::vector<ReplyChunk> pieces;
    std::vector<Bytes> received;
    std::vector<ReplyChunk> onBytes(const Bytes& in, double) override {
        received.push_back(in);
        return pieces;
    }
};

struct PortRig {
    VirtualTimeRunner runner;
    VirtualPort port{runner};
    std::vector<Bytes> events;
    PortRig() {
        port.setSentObserver([this](int n, const Bytes& b) { runner.recordSent(n, b); });
        port.setEventHandler([this](int kind) {
            if (kind == kPortEventReceive) events.push_back(port.readAll());
        });
    }
};

TEST(VirtualPort, RepliesArriveAtTheirTimeAndRaiseOneEventPerQuietLine) {
    PortRig rig;
    VirtualEcu ecu;
    rig.port.attachPeer(4, &ecu);
    ASSERT_TRUE(rig.port.setPortNumber(4));
    ASSERT_TRUE(rig.port.open());
    EXPECT_FALSE(rig.port.setPortNumber(5));  // not while open
    rig.runner.runFor(10);
    ASSERT_TRUE(rig.port.send(test::kLive));
    ASSERT_EQ(rig.runner.sentFrames().size(), 1u);
    EXPECT_EQ(rig.runner.sentFrames()[0].port, 4);
    EXPECT_EQ(rig.runner.sentFrames()[0].timeMs, 10);
    rig.runner.runFor(3);  // the reply takes about 4.4 ms
    EXPECT_TRUE(rig.events.empty());
    rig.runner.runFor(5);
    ASSERT_EQ(rig.events.size(), 1u);
    EXPECT_EQ(rig.events[0].size(), 13u);
}

TEST(VirtualPort, EventNeedsThirteenBytesAndSplitRepliesBehaveLikeARealAdapter) {
    PortRig rig;
    ScriptedPeer peer;
    rig.port.attachPeer(1, &peer);
    ASSERT_TRUE(rig.port.open());
    // 20 bytes in pieces of 8 and 12: no event after 8, one with all 20 after 12.
    peer.pieces = {{Bytes(8, 1), 2.0}, {Bytes(12, 2), 6.0}};
    rig.port.send(test::kLive);
    rig.runner.runFor(3);
    EXPECT_TRUE(rig.events.empty());
    EXPECT_EQ(rig.port.bytesWaiting(), 8u);
    rig.runner.runFor(5);
    ASSERT_EQ(rig.events.size(), 1u);
    EXPECT_EQ(rig.events[0].size(), 20u);
    // 20 bytes in pieces of 14 and 6: the first piece already raises the event,
    // the last 6 wait for the next reply.
    rig.events.clear();
    peer.pieces = {{Bytes(14, 1), 2.0}, {Bytes(6, 2), 6.0}};
    rig.port.send(test::kLive);
    rig.runner.runFor(10);
    ASSERT_EQ(rig.events.size(), 1u);
    EXPECT_EQ(rig.events[0].size(), 14u);
    EXPECT_EQ(rig.port.bytesWaiting(), 6u);
}

TEST(VirtualPort, ClosedPortsLoseBytesAndMissingPortsDoNotOpen) {
    PortRig rig;
    VirtualEcu ecu;
    rig.port.attachPeer(3, &ecu);
    rig.port.setMissingPorts({2});
    EXPECT_FALSE(rig.port.send(test::kLive));  // closed: dropped, not recorded
    EXPECT_TRUE(rig.runner.sentFrames().empty());

    ASSERT_TRUE(rig.port.setPortNumber(2));
    EXPECT_FALSE(rig.port.open());
    ASSERT_TRUE(rig.port.setPortNumber(1));
    ASSERT_TRUE(rig.port.open());  // exists, but nothing behind it
    EXPECT_TRUE(rig.port.send(test::kLive));
    rig.runner.runFor(100);
    EXPECT_TRUE(rig.events.empty());
    rig.port.close();

    // The reply is on its way when the port closes: it is lost, also after a re-open.
    ASSERT_TRUE(rig.port.setPortNumber(3));
    ASSERT_TRUE(rig.port.open());
    rig.port.send(test::kLive);
    rig.port.close();
    ASSERT_TRUE(rig.port.open());
    rig.runner.runFor(100);
    EXPECT_TRUE(rig.events.empty());
    EXPECT_EQ(rig.port.bytesWaiting(), 0u);
}

TEST(VirtualPort, UnpluggedAdapterClosesReportsAndStaysAwayUntilPluggedBack) {
    PortRig rig;
    VirtualEcu ecu;
    rig.port.attachPeer(1, &ecu);
    int lost = 0;
    rig.port.setDeviceLostHandler([&] { ++lost; });
    ASSERT_TRUE(rig.port.open());
    rig.port.send(test::kLive);
    rig.port.unplug();
    EXPECT_EQ(lost, 1);
    EXPECT_FALSE(rig.port.isOpen());
    EXPECT_FALSE(rig.port.open());
    rig.runner.runFor(100);
    EXPECT_TRUE(rig.events.empty());
    rig.port.plugBack();
    EXPECT_TRUE(rig.port.open());
}

TEST(VirtualPort, ArrivalsAfterThePortIsGoneAreHarmless) {
    VirtualTimeRunner runner;
    VirtualEcu ecu;
    {
        VirtualPort port(runner);
        port.attachPeer(1, &ecu);
        ASSERT_TRUE(port.open());
        port.send(test::kLive);
    }
    runner.runFor(100);  // the scheduled arrival finds no port and does nothing
    SUCCEED();
}

}  // namespace
}  // namespace gasecu::sim
