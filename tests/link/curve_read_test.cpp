// Reading the curve from the virtual controller: header and band blocks, the
// rebuilt curve, replies cut or lost on the way.
#include <gtest/gtest.h>

#include "link/command_frames.h"
#include "support/ecu_curve.h"
#include "support/link_harness.h"

namespace gasecu {
namespace {

// A curve with character: idle level 25, band 1 rising 5, 1, 0, ... (so its
// first points are 30, 31, 31), the other bands uneven, one rise at the byte's top.
void GiveTheEcuACurve(sim::VirtualEcu& ecu) {
    ecu.memory().setCurveBlock(10, {4, 25, 116, 110, 134, 122});
    ecu.memory().setCurveBlock(11, {5, 1, 0, 7, 2, 3, 0, 0, 9, 1, 1, 1, 4, 0, 2, 8, 3, 255});
    for (int band = 2; band <= 6; ++band) {
        sim::CurveBlockData rises{};
        for (std::size_t p = 0; p < rises.size(); ++p)
            rises[p] = static_cast<std::uint8_t>(p == 0 ? 3 + 4 * band : (p * 5 + static_cast<std::size_t>(band) * 3) % 13);
        ecu.memory().setCurveBlock(10 + band, rises);
    }
}

// The curve the controller holds, as the tool must rebuild it.
CurveRows ExpectedCurve(const sim::VirtualEcu& ecu) { return test::CurveHeldBy(ecu.memory()); }

std::vector<int> RequestedBlocks(const std::vector<sim::SentFrame>& frames) {
    std::vector<int> out;
    for (const auto& f : frames)
        if (f.bytes.size() == 5 && f.bytes[0] == 106) out.push_back(f.bytes[2]);
    return out;
}

std::vector<const ButtonControl*> ReadLockedButtons(const Form1Korvane& f) {
    return {&f.ButonEcuOku, &f.ButonEcuYaz, &f.ButonSetup, &f.ButonAyar, &f.ButonEğri, &f.ButonDiskeYaz,
            &f.ButonDisktenOku};
}

struct CurveRead : ::testing::Test {
    test::LinkHarness h;
    void SetUp() override {
        GiveTheEcuACurve(h.ecu);
        ASSERT_TRUE(h.connect());
    }
};

TEST_F(CurveRead, CompleteReadTakes25TicksAndRebuildsTheCurve) {
    double start = h.runner.nowMs();
    h.form.ButonEcuOku_Click();
    ASSERT_EQ(h.runner.sentFrames().back().bytes, frames::kPetrolCommand);
    EXPECT_EQ(h.form.SequencerState, 13);
    EXPECT_EQ(h.ecu.fuelState(), sim::FuelState::Petrol);

    h.runner.runFor(500);  // tick 1: step 13
    EXPECT_TRUE(h.form.ProgressBar8.visible);
    EXPECT_FALSE(h.form.EğriKağıdıPic.visible);
    EXPECT_TRUE(h.form.ButtonsLocked);
    for (const ButtonControl* b : ReadLockedButtons(h.form)) EXPECT_FALSE(b->enabled);
    h.runner.runFor(24 * 500 - 1);
    EXPECT_NE(h.form.SequencerState, 8);
    EXPECT_EQ(h.form.ProgressBar8.value, 6);
    h.runner.runFor(1);  // tick 25: step 17
    EXPECT_EQ(h.form.SequencerState, 8);

    EXPECT_EQ(h.form.CurveTable, ExpectedCurve(h.ecu));
    EXPECT_EQ(h.form.CurveTable[1][2], 25);  // the idle level
    EXPECT_EQ(h.form.CurveTable[2][1], 30);
    EXPECT_EQ(h.form.CurveTable[2][18], 540);
    EXPECT_EQ(h.form.CurveTable[3][1], 30);  // idle level 25 + 5
    EXPECT_EQ(h.form.CurveTable[3][2], 31);
    EXPECT_EQ(h.form.CurveTable[3][3], 31);
    EXPECT_EQ(RequestedBlocks(h.framesSince(start)),
              (std::vector<int>{10, 12, 10, 13, 10, 14, 10, 15, 10, 16, 10, 16}));
    EXPECT_EQ(h.form.KomutSatırı.text, "CURVE READ");
    EXPECT_EQ(h.form.CurveBlockIndex, 2);
    EXPECT_FALSE(h.form.ProgressBar8.visible);
    EXPECT_EQ(h.form.ProgressBar8.value, 0);
    EXPECT_TRUE(h.form.EğriKağıdıPic.visible);
    EXPECT_FALSE(h.form.ButtonsLocked);
    EXPECT_FALSE(h.form.CurveReadDone);
    for (const ButtonControl* b : ReadLockedButtons(h.form)) EXPECT_TRUE(b->enabled);
    // Back to the live poll.
    h.runner.runFor(500);
    EXPECT_EQ(h.runner.sentFrames().back().bytes, frames::kLiveDataRequest);

    // A second read of the same memory gives the same curve.
    h.form.CurveTable = {};
    h.form.ButonEcuOku_Click();
    h.runner.runFor(25 * 500);
    EXPECT_EQ(h.form.CurveTable, ExpectedCurve(h.ecu));
}

TEST_F(CurveRead, ACutBandAsksForTheHeaderAndTheSameBandAgain) {
    double start = h.runner.nowMs();
    h.form.ButonEcuOku_Click();
    // The reply to the second band request loses its last byte on the way.
    ASSERT_TRUE(h.runner.runUntil([&] { return h.form.SequencerState == 15 && h.form.CurveBlockIndex == 3; }, 5000));
    h.ecu.queueFault({sim::ReplyFault::Cut, 19});
    ASSERT_TRUE(h.runUntilStep(16));
    h.runner.runFor(499);
    EXPECT_EQ(h.form.ReplyLength, 19);
    h.runner.runFor(1);  // step 16 rejects it
    EXPECT_EQ(h.form.SequencerState, 13);
    EXPECT_EQ(h.form.CurveBlockIndex, 3);  // does not advance
    EXPECT_EQ(h.form.ProgressBar8.value, 1);
    EXPECT_EQ(h.form.ReadErrorCount, 1);  // one block asked for again

    // Four ticks more than a clean read.
    h.runner.runFor(start + 29 * 500 - 1 - h.runner.nowMs());
    EXPECT_NE(h.form.SequencerState, 8);
    h.runner.runFor(1);
    EXPECT_EQ(h.form.SequencerState, 8);
    EXPECT_EQ(RequestedBlocks(h.framesSince(start)),
              (std::vector<int>{10, 12, 10, 13, 10, 13, 10, 14, 10, 15, 10, 16, 10, 16}));
    EXPECT_EQ(h.form.CurveTable, ExpectedCurve(h.ecu));
    EXPECT_EQ(h.ecu.faults().applied(sim::ReplyFault::Cut), 1u);
}

TEST_F(CurveRead, ALostFifthBandStartsTheBandsOverRatherThanMixingUpBlock16) {
    double start = h.runner.nowMs();
    h.form.ButonEcuOku_Click();
    ASSERT_TRUE(h.runner.runUntil([&] { return h.form.SequencerState == 15 && h.form.CurveBlockIndex == 6; }, 20000));
    h.ecu.queueFault({sim::ReplyFault::Cut, 19});
    ASSERT_TRUE(h.runner.runUntil([&] { return h.form.SequencerState == 8; }, 60000));
    EXPECT_EQ(RequestedBlocks(h.framesSince(start)),
              (std::vector<int>{10, 12, 10, 13, 10, 14, 10, 15, 10, 16,             // fifth band cut
                                10, 12, 10, 13, 10, 14, 10, 15, 10, 16, 10, 16}));  // all bands again
    EXPECT_EQ(h.form.CurveTable, ExpectedCurve(h.ecu));
    EXPECT_FALSE(h.form.ProgressBar8.visible);
    EXPECT_EQ(h.form.CurveBlockIndex, 2);
}

TEST_F(CurveRead, AnUnansweredHeaderIsAskedForAgain) {
    // The third header never comes: the slot still holds the 20-byte band before it,
    // so step 14 asks again before going on with the band.
    double start = h.runner.nowMs();
    h.form.ButonEcuOku_Click();
    ASSERT_TRUE(h.runner.runUntil([&] { return h.form.SequencerState == 13 && h.form.CurveBlockIndex == 4; }, 5000));
    h.ecu.queueFault({sim::ReplyFault::Drop});
    h.runner.runFor(27 * 500);
    EXPECT_EQ(RequestedBlocks(h.framesSince(start)),
              (std::vector<int>{10, 12, 10, 13, 10, 10, 14, 10, 15, 10, 16, 10, 16}));
    EXPECT_EQ(h.form.SequencerState, 8);
    EXPECT_EQ(h.form.CurveTable, ExpectedCurve(h.ecu));
}

TEST_F(CurveRead, ALostFirstHeaderIsAskedForAgainNotTakenFromTheLastLiveReply) {
    // The first header is lost. The last live reply, 13 bytes too, answered an
    // earlier request and is no header: the header is asked for again at once.
    double start = h.runner.nowMs();
    h.form.ButonEcuOku_Click();
    h.ecu.queueFault({sim::ReplyFault::Drop});
    h.runner.runFor(27 * 500);
    EXPECT_EQ(RequestedBlocks(h.framesSince(start)),
              (std::vector<int>{10, 10, 12, 10, 13, 10, 14, 10, 15, 10, 16, 10, 16}));
    EXPECT_EQ(h.form.SequencerState, 8);
    EXPECT_EQ(h.form.CurveTable, ExpectedCurve(h.ecu));
}

TEST(CurveReadWithoutLink, TheButtonStartsNothing) {
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
