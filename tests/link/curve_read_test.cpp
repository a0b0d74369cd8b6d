// Reading the curve from the ECU: header and band blocks, the rebuilt curve, retries.
#include <gtest/gtest.h>

#include "link/command_frames.h"
#include "support/link_harness.h"

namespace gasecu {
namespace {

// The curve the scripted ECU holds, rebuilt by running sums from its idle level.
CurveRows ExpectedCurve(const test::ScriptedEcu& ecu) {
    CurveRows c{};
    for (std::size_t p = 1; p <= 6; ++p) c[1][p] = ecu.header[p - 1];
    for (std::size_t p = 1; p <= 18; ++p) c[2][p] = 30.0 * static_cast<double>(p);
    // Blocks 12..16 are asked for by entries 2..7 (16 twice), filling rows 3..8.
    const int blocks[6] = {12, 13, 14, 15, 16, 16};
    for (std::size_t r = 3; r <= 8; ++r) {
        double sum = ecu.header[1];
        for (std::size_t p = 1; p <= 18; ++p) {
            sum += ecu.bandRises[static_cast<std::size_t>(blocks[r - 3] - 11)][p - 1];
            c[r][p] = sum;
        }
    }
    return c;
}

std::vector<int> RequestedBlocks(const std::vector<sim::SentFrame>& frames) {
    std::vector<int> out;
    for (const auto& f : frames)
        if (f.bytes.size() == 5 && f.bytes[0] == 106) out.push_back(f.bytes[2]);
    return out;
}

TEST(CurveRead, CompleteReadTakes25TicksAndRebuildsTheCurve) {
    test::LinkHarness h;
    ASSERT_TRUE(h.connect());
    h.ecu.header = {4, 25, 116, 110, 134, 122};
    h.ecu.bandRises[1] = {5, 1, 0, 7, 2, 3, 0, 0, 9, 1, 1, 1, 4, 0, 2, 8, 3, 255};
    double start = h.runner.nowMs();
    h.form.ButonEcuOku_Click();
    ASSERT_EQ(h.runner.sentFrames().back().bytes, frames::kPetrolCommand);
    EXPECT_EQ(h.form.SequencerState, 13);

    h.runner.runFor(500);
    EXPECT_TRUE(h.form.ProgressBar8.visible);
    EXPECT_FALSE(h.form.EğriKağıdıPic.visible);
    EXPECT_TRUE(h.form.ButtonsLocked);
    for (const ButtonControl* b : {&h.form.ButonEcuOku, &h.form.ButonEcuYaz, &h.form.ButonSetup, &h.form.ButonAyar,
                                   &h.form.ButonEğri, &h.form.ButonDiskeYaz, &h.form.ButonDisktenOku})
        EXPECT_FALSE(b->enabled);
    h.runner.runFor(24 * 500 - 1);
    EXPECT_NE(h.form.SequencerState, 8);
    h.runner.runFor(1);  // tick 25: step 17
    EXPECT_EQ(h.form.SequencerState, 8);

    EXPECT_EQ(h.form.CurveTable, ExpectedCurve(h.ecu));
    EXPECT_EQ(h.form.CurveTable[3][1], 30);  // idle level 25 + 5
    EXPECT_EQ(h.form.CurveTable[3][2], 31);
    EXPECT_EQ(h.form.CurveTable[3][3], 31);
    EXPECT_EQ(RequestedBlocks(h.framesSince(start)),
              (std::vector<int>{10, 12, 10, 13, 10, 14, 10, 15, 10, 16, 10, 16}));
    EXPECT_EQ(h.form.KomutSatırı.text, "READING ERROR 0");
    EXPECT_EQ(h.form.CurveBlockIndex, 2);
    EXPECT_FALSE(h.form.ProgressBar8.visible);
    EXPECT_EQ(h.form.ProgressBar8.value, 0);
    EXPECT_TRUE(h.form.EğriKağıdıPic.visible);
    EXPECT_FALSE(h.form.ButtonsLocked);
    EXPECT_FALSE(h.form.CurveReadDone);
    for (const ButtonControl* b : {&h.form.ButonEcuOku, &h.form.ButonEcuYaz, &h.form.ButonSetup, &h.form.ButonAyar,
                                   &h.form.ButonEğri, &h.form.ButonDiskeYaz, &h.form.ButonDisktenOku})
        EXPECT_TRUE(b->enabled);
    // Back to the live poll.
    h.runner.runFor(500);
    EXPECT_EQ(h.runner.sentFrames().back().bytes, frames::kLiveDataRequest);
}

TEST(CurveRead, ACutBandAsksForTheHeaderAndTheSameBandAgain) {
    test::LinkHarness h;
    ASSERT_TRUE(h.connect());
    int band13Answers = 0;
    h.ecu.tamper = [&](const Bytes& frame, Bytes reply) {
        if (frame[0] == 106 && frame[2] == 13 && band13Answers++ == 0) reply.resize(19);
        return reply;
    };
    double start = h.runner.nowMs();
    h.form.ButonEcuOku_Click();
    h.runner.runFor(8 * 500);  // header, 12, header, 13 (cut), then the header ...
    EXPECT_EQ(h.form.CurveBlockIndex, 3);
    EXPECT_EQ(h.form.ProgressBar8.value, 1);
    h.runner.runFor(21 * 500);  // 4 ticks more than a clean read
    EXPECT_EQ(RequestedBlocks(h.framesSince(start)),
              (std::vector<int>{10, 12, 10, 13, 10, 13, 10, 14, 10, 15, 10, 16, 10, 16}));
    EXPECT_EQ(h.form.SequencerState, 8);
    EXPECT_EQ(h.form.CurveTable, ExpectedCurve(h.ecu));
}

TEST(CurveRead, AnUnansweredHeaderIsAskedForAgain) {
    // Each band pass asks for the header again and the last one read is the one
    // kept, so even the live reply that is still in the slot when the first header
    // goes unanswered never reaches the rebuilt curve.
    test::LinkHarness h;
    ASSERT_TRUE(h.connect());
    int headers = 0;
    h.ecu.tamper = [&](const Bytes& frame, Bytes reply) {
        if (frame[0] == 106 && frame[2] == 10 && headers++ == 2) return Bytes{};
        return reply;
    };
    double start = h.runner.nowMs();
    h.form.ButonEcuOku_Click();
    h.runner.runFor(27 * 500);
    EXPECT_EQ(RequestedBlocks(h.framesSince(start)),
              (std::vector<int>{10, 12, 10, 13, 10, 10, 14, 10, 15, 10, 16, 10, 16}));
    EXPECT_EQ(h.form.SequencerState, 8);
    EXPECT_EQ(h.form.CurveTable, ExpectedCurve(h.ecu));
}

TEST(CurveRead, WithoutTheLinkTheButtonStartsNothing) {
    test::LinkHarness h;
    h.form.ReadErrorCount = 5;
    h.form.Rolanti.enabled = false;
    h.form.ButonEcuOku_Click();
    EXPECT_EQ(h.form.SequencerState, 0);
    EXPECT_EQ(h.form.ReadErrorCount, 0);
    EXPECT_TRUE(h.form.Rolanti.enabled);
    h.runner.runFor(2000);
    EXPECT_TRUE(h.runner.sentFrames().empty());
}

}  // namespace
}  // namespace gasecu
