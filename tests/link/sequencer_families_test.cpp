// The smaller step families: setting write with coil type, fuel commands, fault
// pages, the settings screen, and steps that belong to nobody here.
#include <gtest/gtest.h>

#include "link/command_frames.h"
#include "support/link_harness.h"

namespace gasecu {
namespace {

std::vector<Bytes> FrameBytes(const std::vector<sim::SentFrame>& frames) {
    std::vector<Bytes> out;
    for (const auto& f : frames) out.push_back(f.bytes);
    return out;
}

const Bytes kPage1{109, 5, 1, 66, 10};

struct Families : ::testing::Test {
    test::LinkHarness h;
    void SetUp() override { ASSERT_TRUE(h.connect()); }
    // Runs n ticks and returns what went out meanwhile.
    std::vector<Bytes> ticks(int n) {
        double start = h.runner.nowMs() + 1;
        h.runner.runFor(500.0 * n);
        return FrameBytes(h.framesSince(start));
    }
    void enterCoil(const std::string& text, double value) {
        h.form.Coil.text = text;
        h.form.PendingSettingFrame = *frames::SettingWrite(31, value);
        h.form.CoilChanged = 255;
        h.form.GeneralSettingsLabelCoil.backColour = colours::kYellow;
        h.form.SequencerState = 46;
    }
};

TEST_F(Families, CoilEntryWritesTheCoilTypeThenReadsThePagesBack) {
    enterCoil("2", 2);
    auto sent = ticks(3);
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0], (Bytes{75, 7, 31, 0, 2, 33, 10}));
    EXPECT_EQ(sent[1], (Bytes{75, 7, 22, 0, 16, 38, 10}));
    EXPECT_EQ(sent[2], kPage1);
    EXPECT_EQ(h.form.CoilChanged, 0);
    EXPECT_EQ(h.form.GeneralSettingsLabelCoil.backColour, colours::kDarkCyan);

    EXPECT_EQ(h.ecu.setting(31), 2);  // the controller took both
    EXPECT_EQ(h.ecu.setting(22), 16);

    // "3" sets the factor the page 1 read-back gives (1) at once: with that reply
    // lost, the engine speed would otherwise show doubled.
    h.form.RpmFactor = 2;
    enterCoil("3", 3);
    ticks(2);
    EXPECT_EQ(h.ecu.setting(31), 3);
    EXPECT_EQ(h.form.RpmFactor, 1);
    ticks(2);
    EXPECT_EQ(h.form.RpmFactor, 1);
}

TEST_F(Families, ACoilTextWithoutACoilTypeGoesOnToTheRefresh) {
    // "2.5" passed the entry's range test and went out as 2; it names no coil type,
    // so nothing more is written and the pages are read back, instead of the
    // setting going out again every tick.
    h.form.RpmFactor = 2;
    enterCoil("2.5", 2);
    auto sent = ticks(8);
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(sent[0], (Bytes{75, 7, 31, 0, 2, 33, 10}));
    EXPECT_EQ(sent[1], kPage1);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), sent[0]), 1);
    EXPECT_EQ(h.form.CoilChanged, 0);
    EXPECT_EQ(h.form.RpmFactor, 1);  // page 1 reads back the 2 coils just written
    EXPECT_EQ(h.form.SequencerState, 8);
}

TEST_F(Families, AnotherSettingGoesStraightToTheRefresh) {
    h.form.PendingSettingFrame = *frames::SettingWrite(51, 120);
    h.form.SetLabelPXXPressureTextBox.backColour = colours::kYellow;
    h.form.SequencerState = 46;
    auto sent = ticks(2);
    EXPECT_EQ(sent, (std::vector<Bytes>{{75, 7, 51, 0, 120, 171, 10}, kPage1}));
    EXPECT_EQ(h.ecu.setting(51), 120);
    ticks(6);
    EXPECT_EQ(h.form.SetPXXPressureTextBox.text, "1.20");  // read back by the refresh
    EXPECT_EQ(h.form.SetLabelPXXPressureTextBox.backColour, colours::kDarkCyan);
}

TEST_F(Families, FuelPicturesSendTheirCommandOnTheNextTick) {
    h.form.LPGPic_Click();
    EXPECT_FALSE(h.form.LPGPic.visible);
    EXPECT_TRUE(h.form.BenzinPic.visible);
    EXPECT_TRUE(h.form.ImgGaz.visible);
    EXPECT_FALSE(h.form.PetrolShown);
    EXPECT_EQ(ticks(2), (std::vector<Bytes>{frames::kGasCommand, frames::kLiveDataRequest}));
    EXPECT_NE(h.ecu.fuelState(), sim::FuelState::Petrol);

    h.form.BenzinPic_Click();
    EXPECT_TRUE(h.form.PetrolShown);
    EXPECT_TRUE(h.form.ImgBenzin.visible);
    EXPECT_EQ(ticks(1), (std::vector<Bytes>{frames::kPetrolCommand}));
    EXPECT_EQ(h.ecu.fuelState(), sim::FuelState::Petrol);

    // Not while a read holds the buttons, nor during a calibration run.
    h.form.ButtonsLocked = true;
    h.form.LPGPic_Click();
    EXPECT_EQ(h.form.SequencerState, 8);
    h.form.ButtonsLocked = false;
    h.form.CalibrationRunning = true;
    h.form.LPGPic_Click();
    EXPECT_EQ(h.form.SequencerState, 8);
    EXPECT_TRUE(h.form.PetrolShown);
}

TEST_F(Families, FaultReadFillsTheBoxesAndReturnsToIdle) {
    h.ecu.setSetting(66, 3);   // gas valve relay
    h.ecu.setSetting(68, 12);  // low pressure
    h.form.ButonTroubles_Click();
    EXPECT_EQ(h.form.KomutSatırı.text, "ERRORS");
    EXPECT_FALSE(h.form.Coil.enabled);
    auto sent = ticks(1);
    EXPECT_EQ(sent, (std::vector<Bytes>{{109, 5, 6, 66, 10}}));
    EXPECT_TRUE(h.form.Coil.enabled);
    EXPECT_EQ(ticks(1), (std::vector<Bytes>{{109, 5, 7, 66, 10}}));
    h.runner.runFor(100);  // the page 7 reply ends the read
    EXPECT_EQ(h.form.SequencerState, 8);
    EXPECT_EQ(h.form.TroublesGasValveRelayTextBox.text, "3");
    EXPECT_EQ(h.form.TroublesInjMainRelayTextBox.text, "0");
    EXPECT_EQ(h.form.TroublesPresslowTextBox.text, "12");
    EXPECT_EQ(h.form.TroublesCRCErrTextBox.text, "0");

    // A lost page 7 costs one tick: the box keeps its text and polling resumes
    // instead of the tool standing at 172 until some button is pressed.
    h.ecu.setSetting(69, 7);
    h.form.ButonTroubles_Click();
    ticks(1);
    h.ecu.queueFault({sim::ReplyFault::Drop});
    ticks(1);
    EXPECT_EQ(h.form.SequencerState, 172);
    EXPECT_TRUE(ticks(1).empty());  // the tick that finds no reply sends nothing
    EXPECT_EQ(h.form.SequencerState, 8);
    EXPECT_EQ(ticks(2), (std::vector<Bytes>(2, frames::kLiveDataRequest)));
    EXPECT_EQ(h.form.TroublesCRCErrTextBox.text, "0");
}

TEST_F(Families, SettingsScreenAndGeneralSettingsReadThePages) {
    h.form.ButonSetup_Click();
    EXPECT_EQ(ticks(2), (std::vector<Bytes>{frames::kPetrolCommand, kPage1}));
    ticks(7);
    EXPECT_EQ(h.form.SequencerState, 8);

    // The screen's own read shows its pages as they go and its result; the read
    // after the settings screen opened said nothing of the kind.
    EXPECT_EQ(h.form.KomutSatırı.text.find("READING"), std::string::npos);
    h.form.ButonGenel_Click();
    EXPECT_EQ(h.form.KomutSatırı.text, "GENERAL SETTINGS");
    EXPECT_FALSE(h.form.ButonGenel.enabled);
    EXPECT_EQ(ticks(1), (std::vector<Bytes>{kPage1}));
    EXPECT_EQ(h.form.KomutSatırı.text, "READING THE SETTINGS 1/6");
    ticks(5);
    EXPECT_EQ(h.form.KomutSatırı.text, "READING THE SETTINGS 6/6");
    ticks(2);
    EXPECT_EQ(h.form.KomutSatırı.text, "SETTINGS READ");
    EXPECT_FALSE(h.form.SettingsReadAnnounced);
    ticks(5);
    EXPECT_TRUE(h.form.ButonGenel.enabled);  // back at the idle step
}

TEST(SequencerSteps, UnknownAndForeignStepsDoNothing) {
    test::LinkHarness h;
    h.port.open();
    h.form.LinkUp = true;
    // 0 before the connect, 45 and 159 between families, calibration's 297..553
    // (its own timer's), parked 1000, and a value that is not a whole number.
    for (double step : {0.0, 45.0, 159.0, 297.0, 400.0, 553.0, 1000.0, 8.5}) {
        h.form.SequencerState = step;
        h.form.SequencerTick();
        EXPECT_EQ(h.form.SequencerState, step);
    }
    EXPECT_TRUE(h.runner.sentFrames().empty());
    // Without the link the settings screen step waits.
    h.form.LinkUp = false;
    h.form.SequencerState = 290;
    h.form.SequencerTick();
    EXPECT_EQ(h.form.SequencerState, 290);
    EXPECT_TRUE(h.runner.sentFrames().empty());
}

TEST(SequencerSteps, IdleStepGivesBackTheSettingsButtons) {
    test::LinkHarness h;
    h.form.SetupRestored = false;
    h.form.LockSettingsButtons();
    EXPECT_TRUE(h.form.ButtonsLocked);
    h.form.SequencerState = 8;
    h.form.SequencerTick();  // no link: nothing sent, buttons back all the same
    EXPECT_TRUE(h.form.ButonSetup.enabled);
    EXPECT_TRUE(h.form.ButonGenel.enabled);
    EXPECT_TRUE(h.form.ButonTroubles.enabled);
    EXPECT_TRUE(h.form.SetupRestored);
    EXPECT_FALSE(h.form.ButtonsLocked);
    EXPECT_TRUE(h.runner.sentFrames().empty());
}

}  // namespace
}  // namespace gasecu
