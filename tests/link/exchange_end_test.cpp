// How an exchange ends when the link fails under it, as the fitter sees it: a
// setting that was not taken shows the ECU's value again with a red caption, the
// failure stays in the status line while the lamp shows the ECU answering again,
// the settings are read afresh before they count as current, and the settings
// screen comes back whole whichever way a factory load or a fault clear ended.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "link/command_frames.h"
#include "support/link_harness.h"

namespace gasecu {
namespace {

using test::kEnter;
constexpr int kTransitionSpeedAddress = 47;  // the ECU holds 85: 850 rpm

bool PageRequest(const Bytes& frame) { return frame.size() == 5 && frame[0] == frames::kPageRequestCode; }

// Ways the ECU can go away under a running exchange, or be gone already.
enum class Loss { FallsSilent, AdapterPulled };

void Lose(test::LinkHarness& h, Loss loss) {
    if (loss == Loss::FallsSilent) {
        h.ecu.setSilent(true);
        ASSERT_TRUE(h.runner.runUntil([&] { return h.form.EcuSilent; }, 5000));
    } else {
        h.port.unplug();
    }
}

// 900 typed for the transition speed while the ECU holds 850: the write did not
// complete, so the box must not keep 900.
TEST(ExchangeEnd, ASettingWriteThatDidNotCompleteShowsTheEcuValueAgainInRed) {
    enum When { BeforeEnter, RightAfterEnter, DuringTheReadBack };
    struct Case {
        const char* what;
        Loss loss;
        When when;
        const char* message;
        int ecuHolds;  // what the ECU holds afterwards
    } const cases[] = {
        {"ECU falls silent before the write goes out", Loss::FallsSilent, RightAfterEnter,
         "SETTING WRITE DID NOT COMPLETE : TRANSITION SPEED : ECU NOT RESPONDING ! ", 85},
        {"adapter pulled before the write goes out", Loss::AdapterPulled, RightAfterEnter,
         "CONNECTION LOST, SETTING WRITE DID NOT COMPLETE : TRANSITION SPEED ! COM4", 85},
        // The write reached the ECU but nothing read it back: the box shows what
        // was last read until the pages are read again.
        {"ECU falls silent during the read-back", Loss::FallsSilent, DuringTheReadBack,
         "SETTING WRITE DID NOT COMPLETE : TRANSITION SPEED : ECU NOT RESPONDING ! ", 90},
        {"adapter pulled during the read-back", Loss::AdapterPulled, DuringTheReadBack,
         "CONNECTION LOST, SETTING WRITE DID NOT COMPLETE : TRANSITION SPEED ! COM4", 90},
        {"Enter while the ECU is silent", Loss::FallsSilent, BeforeEnter,
         "SETTING WRITE DID NOT COMPLETE : TRANSITION SPEED : ECU NOT RESPONDING ! ", 85},
        {"Enter with the adapter pulled", Loss::AdapterPulled, BeforeEnter,
         "SETTING WRITE DID NOT COMPLETE : TRANSITION SPEED : ECU NOT CONNECTED ! ", 85},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        test::LinkHarness h;
        ASSERT_TRUE(h.connect());
        h.form.ButonSetup_Click();
        ASSERT_TRUE(h.runner.runUntil([&] { return h.form.SequencerState == 8; }, 10000));
        h.runner.runFor(1000);
        ASSERT_EQ(h.form.SetPTransRPMTextBox.text, "850");
        if (k.when == BeforeEnter) Lose(h, k.loss);
        const double start = h.runner.nowMs();

        h.form.SetPTransRPMTextBox.text = "900";
        h.form.SetPTransRPMTextBox_KeyPress(kEnter);
        if (k.when == RightAfterEnter) {
            EXPECT_EQ(h.form.SetPLabelRPM.backColour, colours::kYellow);
        }
        if (k.when == DuringTheReadBack) {
            ASSERT_TRUE(h.runUntilStep(3));  // sent at 46, the pages coming back
        }
        if (k.when != BeforeEnter) Lose(h, k.loss);
        h.runner.runFor(2000);

        EXPECT_EQ(h.form.SetPTransRPMTextBox.text, "850");
        EXPECT_EQ(h.form.SetPLabelRPM.backColour, colours::kRed);
        EXPECT_EQ(h.form.KomutSatırı.text, k.message);
        EXPECT_TRUE(h.form.SettingWriteCutShort);
        EXPECT_FALSE(h.form.PendingSettingCheck);
        EXPECT_FALSE(h.form.ProgressBar12.visible);
        if (k.when == BeforeEnter) {
            for (const auto& f : h.framesSince(start))
                EXPECT_NE(f.bytes[0], 75) << "nothing may be written while nothing can answer";
        }
        EXPECT_EQ(h.ecu.setting(kTransitionSpeedAddress), k.ecuHolds);
        // Once the ECU can be heard again, the box shows what it holds.
        if (k.loss == Loss::FallsSilent) {
            h.ecu.setSilent(false);
        } else {
            h.port.plugBack();
            ASSERT_TRUE(h.connect());
        }
        ASSERT_TRUE(h.runner.runUntil([&] { return !h.form.SettingsStale && h.form.SequencerState == 8; }, 10000));
        h.runner.runFor(1000);
        EXPECT_EQ(h.form.SetPTransRPMTextBox.text, k.ecuHolds == 90 ? "900" : "850");
        EXPECT_TRUE(h.form.SetPTransRPMTextBox.enabled);
    }
}

// A silence ends a curve read; the ECU answers again. The lamp turns green, the
// status line says so with the failure named again, and the settings the ECU may
// have changed meanwhile are read again before the entries may be used.
TEST(ExchangeEnd, RecoveryShowsOnTheLampAndRereadsTheSettingsBeforeTheyCount) {
    for (double language : {1.0, 0.0}) {
        SCOPED_TRACE(language);
        test::LinkHarness h('.', language);
        ASSERT_TRUE(h.connect());
        h.runner.runFor(1000);
        h.form.ButonEcuOku_Click();
        h.runner.runFor(1200);
        h.ecu.setSilent(true);
        ASSERT_TRUE(h.runner.runUntil([&] { return h.form.EcuSilent; }, 5000));
        const std::string failure = language == 1 ? "CURVE READ DID NOT COMPLETE : ECU NOT RESPONDING ! "
                                                  : "EĞRİ OKUMA TAMAMLANMADI : ECU YANIT VERMİYOR ! ";
        EXPECT_EQ(h.form.KomutSatırı.text, failure);
        EXPECT_EQ(h.form.LinkLampShown, Form1Korvane::LinkLampState::Silent);
        EXPECT_TRUE(h.form.LinkLamp.visible);
        EXPECT_FALSE(h.form.SetPTransRPMTextBox.enabled);
        EXPECT_FALSE(h.form.avas.enabled);

        // Someone changed the transition speed with another tool meanwhile.
        h.ecu.setSetting(kTransitionSpeedAddress, 90);
        h.runner.runFor(1000);
        EXPECT_FALSE(h.form.SetPTransRPMTextBox.enabled);  // no live reply unlocks them
        const double back = h.runner.nowMs();
        h.ecu.setSilent(false);
        ASSERT_TRUE(h.runner.runUntil([&] { return !h.form.EcuSilent; }, 2000));
        EXPECT_EQ(h.form.LinkLampShown, Form1Korvane::LinkLampState::Answering);
        EXPECT_TRUE(h.form.LinkLamp.visible);
        EXPECT_EQ(h.form.LinkLamp.caption.rfind(language == 1 ? "COM4 : CONNECTED : " : "COM4 : BAĞLI : ", 0), 0u)
            << h.form.LinkLamp.caption;
        EXPECT_EQ(h.form.LinkLamp.backColour, colours::kGreen);
        EXPECT_TRUE(h.form.TextMotorDevirHızı.enabled);
        const std::string recovered = language == 1 ? "ECU RESPONDING AGAIN : COM4 — CURVE READ DID NOT COMPLETE"
                                                    : "ECU YENİDEN YANIT VERİYOR : COM4 — EĞRİ OKUMA TAMAMLANMADI";
        EXPECT_EQ(h.form.KomutSatırı.text, recovered);
        EXPECT_FALSE(h.form.SetPTransRPMTextBox.enabled);
        EXPECT_EQ(h.form.SetPTransRPMTextBox.text, "850");

        ASSERT_TRUE(h.runner.runUntil([&] { return h.form.SetPTransRPMTextBox.enabled; }, 10000));
        EXPECT_EQ(h.form.SetPTransRPMTextBox.text, "900");
        int pages = 0;
        for (const auto& f : h.framesSince(back)) pages += PageRequest(f.bytes) ? 1 : 0;
        EXPECT_EQ(pages, 6);
        EXPECT_EQ(h.form.SequencerState, 8);
        EXPECT_EQ(h.form.KomutSatırı.text, recovered);  // until the fitter starts something
        EXPECT_TRUE(h.form.LinkLamp.visible);

        // A pulled adapter leaves the link down; the next connect reads the pages itself.
        h.port.unplug();
        EXPECT_EQ(h.form.LinkStateShown, Form1Korvane::LinkState::Disconnected);
        EXPECT_FALSE(h.form.TextMotorDevirHızı.enabled);
    }
}

// Whichever way a factory load or a fault clear ends, the settings screen comes
// back with its bar gone, and no caption stays marked for a write.
TEST(ExchangeEnd, TheSettingsScreenComesBackHoweverALongWriteEnds) {
    struct Case {
        const char* what;
        std::function<void(Form1Korvane&)> start;
        Loss loss;
    } const cases[] = {
        {"factory load, ECU silent", [](Form1Korvane& f) { f.ButonLoadFabricSettings_Click(); }, Loss::FallsSilent},
        {"factory load, adapter pulled", [](Form1Korvane& f) { f.ButonLoadFabricSettings_Click(); },
         Loss::AdapterPulled},
        {"fault clear, ECU silent", [](Form1Korvane& f) { f.ButonErrorClear_Click(); }, Loss::FallsSilent},
        {"fault clear, adapter pulled", [](Form1Korvane& f) { f.ButonErrorClear_Click(); }, Loss::AdapterPulled},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        test::LinkHarness h;
        ScriptedQuestions yes(true);
        h.form.env.questions = &yes;
        ASSERT_TRUE(h.connect());
        h.form.ButonSetup_Click();
        ASSERT_TRUE(h.runner.runUntil([&] { return h.form.SequencerState == 8; }, 10000));
        h.runner.runFor(1000);
        // A caption marked for a write that the exchange then overtook.
        h.form.SetLabelPXXPressureTextBox.backColour = colours::kYellow;
        k.start(h.form);
        h.runner.runFor(5000);
        ASSERT_FALSE(h.form.SettingsSettingsPic.visible);
        Lose(h, k.loss);
        h.runner.runFor(1000);
        EXPECT_TRUE(h.form.SettingsSettingsPic.visible);
        EXPECT_FALSE(h.form.ProgressBar9.visible);
        EXPECT_FALSE(h.form.ProgressBar10.visible);
        EXPECT_EQ(h.form.SetLabelPXXPressureTextBox.backColour, colours::kDarkCyan);
        EXPECT_TRUE(h.form.ButonLoadFabricSettings.enabled);
        EXPECT_TRUE(h.form.ButonErrorClear.enabled);
        EXPECT_TRUE(h.form.ButonSetup.enabled);
        EXPECT_NE(h.form.KomutSatırı.text.find("DID NOT COMPLETE"), std::string::npos) << h.form.KomutSatırı.text;
    }
}

}  // namespace
}  // namespace gasecu
