// The trend view: the ring keeps exactly the last minute of live replies, each
// trace gets its own round scale, and the picture follows the virtual ECU's
// engine reply by reply without drawing while its window is closed.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "ecu/live_trend.h"
#include "platform/recording_canvas.h"
#include "support/link_harness.h"
#include "virtual_clock.h"

namespace gasecu {
namespace {

using ecu::LiveTrend;
using ecu::TrendTrace;

TEST(LiveTrendRing, KeepsExactlyTheLastMinute) {
    struct Case {
        double intervalMs;
        int added;
        std::size_t kept;
        double oldestBehindMs;  // the oldest sample kept, behind the newest
    };
    const Case cases[] = {
        {500, 200, 120, 59500},  // the idle poll: a full ring is exactly a minute
        {500, 30, 30, 14500},    // not yet full
        {1000, 200, 60, 59000},  // every other reply lost: the minute, not 120 samples
        {250, 400, 120, 29750},  // faster than the poll: the ring's size bounds it
        {60000, 5, 1, 0},        // a minute apart: only the newest is on the chart
    };
    for (const Case& c : cases) {
        LiveTrend t;
        for (int i = 0; i < c.added; ++i) t.add({1000 + i * c.intervalMs, static_cast<double>(i), 0, 0, 0});
        ASSERT_EQ(t.size(), c.kept) << c.intervalMs;
        EXPECT_DOUBLE_EQ(t.newest().timeMs - t.at(0).timeMs, c.oldestBehindMs) << c.intervalMs;
        EXPECT_EQ(t.newest().engineSpeed, c.added - 1) << c.intervalMs;
        for (std::size_t i = 1; i < t.size(); ++i) EXPECT_LT(t.at(i - 1).timeMs, t.at(i).timeMs);
    }
    // A clock that went back starts afresh rather than draw backwards.
    LiveTrend t;
    for (int i = 0; i < 10; ++i) t.add({5000.0 + 500 * i, 0, 0, 0, 0});
    t.add({100, 1, 0, 0, 0});
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t.newest().engineSpeed, 1);
}

TEST(LiveTrendRing, EachTraceGetsItsOwnRoundScale) {
    struct Case {
        TrendTrace trace;
        std::vector<double> values;
        double top;
    };
    const Case cases[] = {
        {TrendTrace::EngineSpeed, {850, 900}, 1000},    // idle: the floor
        {TrendTrace::EngineSpeed, {2100, 800}, 2500},   // the highest value counts
        {TrendTrace::EngineSpeed, {6500}, 8000},
        {TrendTrace::EngineSpeed, {3000}, 3000},        // a round value is its own top
        {TrendTrace::GasPressure, {1.1, 1.25}, 1.5},
        {TrendTrace::GasPressure, {0.2}, 1},
        {TrendTrace::PetrolTime, {4.2}, 5},
        {TrendTrace::PetrolTime, {12.5}, 15},
        {TrendTrace::GasTime, {40.96}, 50},
        {TrendTrace::GasTime, {}, 5},                   // nothing yet: the floor
    };
    for (const Case& c : cases) {
        LiveTrend t;
        double time = 0;
        for (double v : c.values) {
            ecu::TrendSample s{time += 500, 0, 0, 0, 0};
            if (c.trace == TrendTrace::EngineSpeed) s.engineSpeed = v;
            if (c.trace == TrendTrace::GasPressure) s.gasPressure = v;
            if (c.trace == TrendTrace::PetrolTime) s.petrolTime = v;
            if (c.trace == TrendTrace::GasTime) s.gasTime = v;
            t.add(s);
        }
        EXPECT_DOUBLE_EQ(ecu::TrendScaleTop(t, c.trace), c.top) << static_cast<int>(c.trace) << " " << c.top;
    }
}

class TrendView : public ::testing::Test {
protected:
    void SetUp() override {
        h.form.env.clock = &clock;
        h.ecu.setEngineSpeed(2100);
        ASSERT_TRUE(h.connect());
    }
    RecordingCanvas& canvas() { return static_cast<RecordingCanvas&>(*h.form.TrendPic.canvas); }
    std::vector<DrawCall> lines(Colour colour) {
        std::vector<DrawCall> out;
        for (const DrawCall& c : canvas().calls())
            if (c.kind == DrawCall::Kind::Line && c.colour == colour) out.push_back(c);
        return out;
    }
    std::vector<std::string> texts() {
        std::vector<std::string> out;
        for (const DrawCall& c : canvas().calls())
            if (c.kind == DrawCall::Kind::Text) out.push_back(c.text);
        return out;
    }

    test::LinkHarness h;
    sim::VirtualClock clock{h.runner, std::chrono::local_days{std::chrono::year{2026} / 12 / 9}};
};

TEST_F(TrendView, FollowsTheEngineReplyByReplyOnlyWhileItsWindowIsOpen) {
    // Closed: the ring fills, nothing is drawn.
    const auto clearsBefore = canvas().clearCount();
    h.runner.runFor(5000);
    EXPECT_EQ(canvas().clearCount(), clearsBefore);
    EXPECT_GE(h.form.LiveTrend.size(), 9u);

    h.form.ButonTrend_Click();
    EXPECT_TRUE(h.form.TrendPic.visible);
    // One picture per live reply.
    const auto opened = canvas().clearCount();
    h.runner.runFor(70000);
    EXPECT_EQ(canvas().clearCount() - opened, 140u);
    ASSERT_EQ(h.form.LiveTrend.size(), 120u);
    EXPECT_DOUBLE_EQ(h.form.LiveTrend.newest().timeMs - h.form.LiveTrend.at(0).timeMs, 59500);

    // 119 joins per trace, all inside the minute and inside the engine speed's
    // strip (3..4); the time axis is labelled in seconds.
    const std::vector<DrawCall> speed = lines(colours::kYellow);
    ASSERT_EQ(speed.size(), 119u);
    for (const DrawCall& l : speed) {
        EXPECT_GE(std::min(l.x1, l.x2), -60);
        EXPECT_LE(std::max(l.x1, l.x2), 0);
        EXPECT_GE(std::min(l.y1, l.y2), 3);
        EXPECT_LE(std::max(l.y1, l.y2), 4);
    }
    const std::vector<std::string> t = texts();
    EXPECT_NE(std::find(t.begin(), t.end(), "-60 s"), t.end());
    EXPECT_NE(std::find(t.begin(), t.end(), "0 s"), t.end());
    EXPECT_NE(std::find(t.begin(), t.end(), "Engine speed (rpm)   " + h.form.TextMotorDevirHızı.text), t.end());
    EXPECT_NE(std::find(t.begin(), t.end(), "2500"), t.end());  // 2100 rpm on a 2500 scale

    // Turkish captions come with the language.
    h.form.Dilsec.selectedIndex = 0;
    h.form.Dilsec_Click();
    const std::vector<std::string> tr = texts();
    EXPECT_NE(std::find(tr.begin(), tr.end(), "Devir (rpm)   " + h.form.TextMotorDevirHızı.text), tr.end());

    // Closed again: the replies go on into the ring, the picture rests.
    h.form.TrendPic_Close();
    const auto closed = canvas().clearCount();
    h.runner.runFor(2000);
    EXPECT_EQ(canvas().clearCount(), closed);
}

TEST_F(TrendView, ASilentEcuLeavesAGapInsteadOfALine) {
    h.form.ButonTrend_Click();
    h.runner.runFor(10000);
    // Three seconds without a reply, then the engine answers again.
    h.ecu.setSilent(true);
    h.runner.runFor(3000);
    h.ecu.setSilent(false);
    h.runner.runFor(10000);
    // No join is longer than a second (one lost reply is bridged, a silence not).
    const std::vector<DrawCall> speed = lines(colours::kYellow);
    ASSERT_GT(speed.size(), 30u);
    for (const DrawCall& l : speed) EXPECT_LE(std::abs(l.x2 - l.x1), 1.0 + 1e-9) << l.x1 << " to " << l.x2;
    std::size_t gaps = 0;
    for (std::size_t i = 1; i < h.form.LiveTrend.size(); ++i)
        gaps += h.form.LiveTrend.at(i).timeMs - h.form.LiveTrend.at(i - 1).timeMs > 1000;
    // The silence, then the settings pages read again before the poll resumes.
    EXPECT_EQ(gaps, 2u);
}

}  // namespace
}  // namespace gasecu
