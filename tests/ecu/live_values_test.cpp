// The dashboard: formats, limit texts, bars, and the controls a live reply gives back.
#include <gtest/gtest.h>

#include "support/link_harness.h"

namespace gasecu {
namespace {

using test::Reply13;

Bytes LiveReply(int petrolRaw, int gasRaw, int period = 1500, int pressure = 128, int reducer = 100, int gas = 120) {
    return Reply13({{2, 2},
                    {3, petrolRaw & 0xFF},
                    {4, petrolRaw >> 8},
                    {5, gasRaw & 0xFF},
                    {6, gasRaw >> 8},
                    {7, period & 0xFF},
                    {8, period >> 8},
                    {9, pressure},
                    {11, reducer},
                    {12, gas}});
}

struct LiveValues : ::testing::Test {
    explicit LiveValues(char separator = ',') : h(separator) {}
    test::ScriptedLink h;
    void SetUp() override {
        h.port.open();
        h.form.RpmFactor = 1;
    }
    void receive(const Bytes& bytes) {
        h.form.SequencerState = 8;
        h.form.AwaitedReplyLength = 13;  // the idle poll's request went out
        h.form.RequestAnswered = false;
        h.port.receiveNow(bytes);
    }
};

TEST_F(LiveValues, ValuesInTheRegionalFormatOnBoxLabelsAndBars) {
    receive(LiveReply(1000, 2000, 1250, 0, 0, 255));
    EXPECT_EQ(h.form.TextMotorDevirHızı.text, "12000");  // no grouping
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(h.form.Label7[i].caption, "12000");
        EXPECT_EQ(h.form.ProgressBar1[i].value, 10000);  // the bar stops at its end
        EXPECT_EQ(h.form.Label8[i].caption, "0,16");
        EXPECT_EQ(h.form.Label9[i].caption, "104,2");
        EXPECT_EQ(h.form.ProgressBar3[i].value, static_cast<float>(104.192));
        EXPECT_EQ(h.form.Label10[i].caption, "0,4");
        EXPECT_EQ(h.form.Label12[i].caption, "4,00");
        EXPECT_EQ(h.form.Label11[i].caption, "8,19");
    }
    EXPECT_EQ(h.form.TextBasinc.text, "0,16");
    EXPECT_EQ(h.form.TextReduTemperature.text, "104,2");
    EXPECT_EQ(h.form.TextGasTemperature.text, "0,4");
    EXPECT_EQ(h.form.TextBenzinMS.text, "4,00");
    EXPECT_DOUBLE_EQ(h.form.DisplayedPetrolTime, 4.0);
    EXPECT_EQ(h.form.TextGasMS.text, "8,19");
    EXPECT_DOUBLE_EQ(h.form.EngineSpeed, 12000);
    EXPECT_DOUBLE_EQ(h.form.GasPressure, 0.16);
}

TEST_F(LiveValues, PetrolTimeLimitsTestTheRawValue) {
    receive(LiveReply(10000, 1000));
    EXPECT_EQ(h.form.TextBenzinMS.text, "40,00");  // in range, regional format
    EXPECT_EQ(h.form.Label12[0].caption, "40,00");
    EXPECT_DOUBLE_EQ(h.form.DisplayedPetrolTime, 40);
    EXPECT_EQ(h.form.ProgressBar6[1].value, 40);

    receive(LiveReply(1234, 1000));
    receive(LiveReply(10001, 1000));
    EXPECT_EQ(h.form.TextBenzinMS.text, "40,00");  // the limit text
    EXPECT_EQ(h.form.Label12[0].caption, "4,94");   // captions keep the last in-range time
    EXPECT_DOUBLE_EQ(h.form.DisplayedPetrolTime, 4.94);
    EXPECT_EQ(h.form.ProgressBar6[0].value, 40);
    EXPECT_DOUBLE_EQ(h.form.PetrolTime, 40.004);  // stored unclamped

    receive(LiveReply(99, 1000));
    EXPECT_EQ(h.form.TextBenzinMS.text, "0,40");
    EXPECT_EQ(h.form.ProgressBar6[0].value, 0.4f);
    EXPECT_DOUBLE_EQ(h.form.DisplayedPetrolTime, 4.94);
    receive(LiveReply(100, 1000));
    EXPECT_EQ(h.form.TextBenzinMS.text, "0,40");
    EXPECT_EQ(h.form.Label12[1].caption, "0,40");
    EXPECT_DOUBLE_EQ(h.form.DisplayedPetrolTime, 0.4);
}

TEST_F(LiveValues, GasTimeLimitsAndBar) {
    receive(LiveReply(1000, 9800));
    EXPECT_EQ(h.form.TextGasMS.text, "40,14");
    EXPECT_EQ(h.form.Label11[0].caption, "40,14");
    EXPECT_EQ(h.form.ProgressBar5[0].value, 42);  // 40 and above fills the bar
    receive(LiveReply(1000, 10001));
    EXPECT_EQ(h.form.TextGasMS.text, "40,96");
    EXPECT_EQ(h.form.ProgressBar5[1].value, 40.96f);
    EXPECT_EQ(h.form.Label11[0].caption, "40,14");
    receive(LiveReply(1000, 99));
    EXPECT_EQ(h.form.TextGasMS.text, "0,41");
    EXPECT_EQ(h.form.ProgressBar5[0].value, 0.4f);
}

// Without a link the settings screen's buttons read nothing, so they lock nothing:
// no live reply would come to give the screen buttons back.
TEST_F(LiveValues, WithoutALinkTheSettingsButtonsLeaveTheScreenButtonsUsable) {
    h.form.ButonSetup_Click();
    for (auto click : {&Form1Korvane::ButonGenel_Click, &Form1Korvane::ButonTroubles_Click}) {
        (h.form.*click)();
        for (const ButtonControl* b : {&h.form.ButonEğri, &h.form.ButonAyar, &h.form.ButonGenel, &h.form.ButonTroubles})
            EXPECT_TRUE(b->enabled) << b->caption;
        EXPECT_TRUE(h.form.Coil.enabled);
        EXPECT_FALSE(h.form.ProgressBar12.visible);
    }
    h.form.ButonEğri_Click();
    EXPECT_TRUE(h.form.EğriKağıdıPic.visible);
}

TEST_F(LiveValues, ALiveReplyGivesBackTheControlsExceptButonGenel) {
    // As a settings read locks them.
    h.form.SetSettingsControlsEnabled(false);
    h.form.ProgressBar12.visible = true;
    h.form.ButonEcuYaz.enabled = false;
    h.form.EğriKağıdıPic.enabled = false;
    h.form.ButonSetup.visible = false;

    Bytes cut = LiveReply(1000, 1000);
    cut.pop_back();
    receive(cut);  // the wrong length gives back nothing
    EXPECT_FALSE(h.form.Coil.enabled);

    h.form.ProgressBar12.value = 3;
    receive(LiveReply(1000, 1000));
    for (const Control* c : std::initializer_list<const Control*>{
             &h.form.Coil, &h.form.avas, &h.form.msavvv, &h.form.SetPXXPressureTextBox, &h.form.ButonTroubles,
             &h.form.ButonErrorClear, &h.form.ButonLoadFabricSettings, &h.form.ButonEcuYaz, &h.form.EğriKağıdıPic})
        EXPECT_TRUE(c->enabled);
    EXPECT_TRUE(h.form.ButonSetup.visible);
    EXPECT_FALSE(h.form.ButonGenel.enabled);  // the idle step gives it back
    EXPECT_FALSE(h.form.ProgressBar12.visible);
    EXPECT_EQ(h.form.ProgressBar12.value, 0);
}

struct LiveValuesPoint : LiveValues {
    LiveValuesPoint() : LiveValues('.') {}
};

TEST_F(LiveValuesPoint, PointSeparatorAndHalfwayRounding) {
    receive(LiveReply(10000, 1000));
    EXPECT_EQ(h.form.TextBenzinMS.text, "40.00");
    // 125 / 250 = 0.5 ms; raw 2 x 256 + 0 at 244.16 = 2.097 ms
    receive(LiveReply(125, 512));
    EXPECT_EQ(h.form.TextBenzinMS.text, "0.50");
    EXPECT_EQ(h.form.TextGasMS.text, "2.10");
    EXPECT_DOUBLE_EQ(h.form.DisplayedPetrolTime, 0.5);
}

}  // namespace
}  // namespace gasecu
