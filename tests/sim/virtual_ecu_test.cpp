#include "ecu/pressure_table.h"
#include "virtual_ecu.h"

#include <gtest/gtest.h>

#include "line_timing.h"
#include "sensor_codes.h"
#include "tool_frames.h"

namespace gasecu::sim {
namespace {


Bytes Page(int page) { return {109, 5, static_cast<std::uint8_t>(page), 66, 10}; }
Bytes Block(int block) { return {106, 5, static_cast<std::uint8_t>(block), 63, 10}; }

// The one reply to one frame, with no faults.
Bytes Ask(VirtualEcu& ecu, const Bytes& frame, double nowMs = 0) {
    auto chunks = ecu.onBytes(frame, nowMs);
    if (chunks.size() != 1) return {};
    return chunks[0].bytes;
}

int Word(const Bytes& r, int byteNumber) { return r[byteNumber - 1] + 256 * r[byteNumber]; }

TEST(VirtualEcu, LiveReplyCarriesTheEngineInTheToolsUnits) {
    VirtualEcu ecu(7);
    ecu.setEngineSpeed(2100);
    ecu.setGasPressure(1.10);
    ecu.setReducerTemperature(50.0);
    ecu.setGasTemperature(30.0);
    Bytes r = Ask(ecu, test::kLive);
    ASSERT_EQ(r.size(), 13u);
    EXPECT_EQ(r[1], 2);  // byte 2: on petrol after power-up
    double petrolMs = Word(r, 3) / 250.0;
    EXPECT_NEAR(petrolMs, 3.0, 0.03);
    // Two coils by factory setting: factor 1, so the period is 60 x 250000 / rpm.
    int period = Word(r, 7);
    EXPECT_NEAR(60.0 * 250000.0 / period, 2100, 2);
    EXPECT_EQ(ecu::PressureTable[r[8]], 110);
    EXPECT_NEAR((256 - r[10]) * 4.07 / 10, 50.0, 0.25);
    EXPECT_NEAR((256 - r[11]) * 4.07 / 10, 30.0, 0.25);
    // Gas time from the default curve of band 2: 25 + 7 = 32 at 1 ms, +30 per ms.
    double gasMs = Word(r, 5) / 244.16;
    double level = 32 + 30 * (petrolMs - 1);
    EXPECT_NEAR(gasMs, level * 0.05, 0.02);
}

TEST(VirtualEcu, IgnitionPeriodFollowsTheCoilCountSoTheToolShowsTheHeldSpeed) {
    // The tool multiplies 60 x 250000 / period by 0.5 (1 coil), 1 (2-3), 2 (4+).
    for (auto [coils, factor] : {std::pair{1, 0.5}, {2, 1.0}, {3, 1.0}, {4, 2.0}, {8, 2.0}}) {
        int period = VirtualEcu::IgnitionPeriod(2100, coils);
        EXPECT_NEAR(60.0 * 250000.0 / period * factor, 2100, 2) << coils;
    }
    EXPECT_EQ(VirtualEcu::IgnitionPeriod(0, 2), 65535);  // stopped engine: no period of 0 (that means 10000 rpm)
}

TEST(VirtualEcu, PagesCarryTheStoredSettings) {
    VirtualEcu ecu;
    Bytes p1 = Ask(ecu, Page(1));
    ASSERT_EQ(p1.size(), 13u);
    EXPECT_EQ(p1[1], 2);
    EXPECT_EQ(p1[5], 2);  // coil count, factory 2
    Bytes p4 = Ask(ecu, Page(4));
    EXPECT_EQ(p4[5], 85);   // transition speed / 10
    EXPECT_EQ(p4[6], 182);  // reducer transition temperature code
    Bytes p5 = Ask(ecu, Page(5));
    EXPECT_EQ(p5[2], 50);  // advance 50, low then high
    EXPECT_EQ(p5[3], 0);
    EXPECT_EQ(p5[8], 70);   // minimum pressure
    EXPECT_EQ(p5[11], 60);  // leakage pressure
    for (int page : {2, 3, 8}) EXPECT_EQ(Ask(ecu, Page(page)).size(), 13u) << page;

    ecu.setSetting(66, 3);
    ecu.setSetting(67, 0);
    ecu.setSetting(68, 12);
    ecu.setSetting(69, 9);
    Bytes p6 = Ask(ecu, Page(6));
    EXPECT_EQ(p6[6], 3);
    EXPECT_EQ(p6[7], 0);
    EXPECT_EQ(p6[9], 12);
    EXPECT_EQ(Ask(ecu, Page(7))[9], 9);
}

TEST(VirtualEcu, CurveHeadIsThirteenBytesAndBandsAreTwenty) {
    VirtualEcu ecu;
    Bytes head = Ask(ecu, Block(10));  // the 10 in the body is the block, not the end
    ASSERT_EQ(head.size(), 13u);
    EXPECT_EQ(Bytes(head.begin() + 2, head.begin() + 8), (Bytes{4, 25, 116, 110, 134, 122}));
    Bytes band = Ask(ecu, Block(12));
    ASSERT_EQ(band.size(), 20u);
    EXPECT_EQ(band[1], 5);  // band 1 starts 5 above the idle level
    EXPECT_EQ(band[2], 30);
}

TEST(VirtualEcu, ReplyArrivesAfterItsLineTimePlusTheAdapterLatency) {
    VirtualEcu ecu;
    ecu.setAdapterLatency(2.0);
    auto live = ecu.onBytes(test::kLive, 100);
    ASSERT_EQ(live.size(), 1u);
    EXPECT_NEAR(live[0].delayMs, 13 * kLineByteMs + 2.0, 1e-9);
    auto band = ecu.onBytes(Block(12), 1000);
    ASSERT_EQ(band.size(), 1u);
    EXPECT_NEAR(band[0].delayMs, 20 * kLineByteMs + 2.0, 1e-9);
    // Two requests at once: the second reply follows the first on the line.
    Bytes both = test::kLive;
    both.insert(both.end(), test::kLive.begin(), test::kLive.end());
    auto two = ecu.onBytes(both, 2000);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_NEAR(two[1].delayMs - two[0].delayMs, 13 * kLineByteMs, 1e-9);
}

TEST(VirtualEcu, FindsFramesByLengthAcrossPiecesAndSkipsNoise) {
    VirtualEcu ecu;
    // A frame in three pieces.
    EXPECT_TRUE(ecu.onBytes({106}, 0).empty());
    EXPECT_TRUE(ecu.onBytes({5, 10}, 1).empty());
    auto head = ecu.onBytes({63, 10}, 2);
    ASSERT_EQ(head.size(), 1u);
    EXPECT_EQ(head[0].bytes.size(), 13u);

    // Noise in front: unknown code, a length below 4, a wrong length, a missing
    // line feed; each is skipped a byte at a time and never answered.
    Bytes noisy{0, 3, 110, 2, 110, 5, 110, 10, 110, 4, 110, 11};
    Bytes live = test::kLive;
    noisy.insert(noisy.end(), live.begin(), live.end());
    auto replies = ecu.onBytes(noisy, 10);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].bytes[0], 110);
    EXPECT_EQ(ecu.counters().skippedBytes, 12u);
}

TEST(VirtualEcu, StaleRemainderDoesNotSwallowTheNextFrame) {
    VirtualEcu ecu;
    // Noise that looks like the start of a setting write, then nothing for a while.
    EXPECT_TRUE(ecu.onBytes({75, 7, 22}, 0).empty());
    auto replies = ecu.onBytes(test::kLive, 500);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].bytes.size(), 13u);
    EXPECT_EQ(ecu.counters().skippedBytes, 3u);
    // The same noise right before a whole frame in the same moment.
    auto again = ecu.onBytes({76, 8, 110, 4, 110, 10}, 501);
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0].bytes[0], 110);
}

}  // namespace
}  // namespace gasecu::sim
