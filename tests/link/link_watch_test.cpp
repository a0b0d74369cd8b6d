// The link watch: an ECU that stops answering while the link is up lights the lamp,
// greys the live boxes and ends the running exchange with its own message; the
// first whole reply clears it again.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/link_harness.h"

namespace gasecu {
namespace {

bool LiveBoxesEnabled(const Form1Korvane& f) {
    for (const TextBoxControl* box : {&f.TextMotorDevirHızı, &f.TextBasinc, &f.TextReduTemperature,
                                      &f.TextGasTemperature, &f.TextGasMS, &f.TextBenzinMS})
        if (!box->enabled) return false;
    return true;
}

TEST(LinkWatch, SilenceAtIdleLightsTheLampAfterThreeSecondsAndRepliesClearIt) {
    test::LinkHarness h('.', 1);
    h.form.ApplyLanguageIndex();
    ASSERT_TRUE(h.connect());
    h.runner.runFor(1200);
    EXPECT_EQ(h.form.LinkStateShown, Form1Korvane::LinkState::Connected);

    h.ecu.setSilent(true);
    h.runner.runFor(2500);  // five ticks without a reply: still patient
    EXPECT_EQ(h.form.LinkStateShown, Form1Korvane::LinkState::Connected);
    EXPECT_TRUE(LiveBoxesEnabled(h.form));
    h.runner.runFor(1000);
    EXPECT_EQ(h.form.LinkStateShown, Form1Korvane::LinkState::NotResponding);
    EXPECT_TRUE(h.form.EcuSilent);
    EXPECT_EQ(h.form.KomutSatırı.text, "ECU NOT RESPONDING ! ");
    EXPECT_FALSE(LiveBoxesEnabled(h.form));  // the last values stay, greyed
    EXPECT_FALSE(h.form.TextMotorDevirHızı.text.empty());
    EXPECT_EQ(h.form.SequencerState, 8);  // the poll goes on

    h.ecu.setSilent(false);
    h.runner.runFor(1000);
    // The indicator turns green and the status line says so too; the silence
    // stays in the message history.
    EXPECT_TRUE(h.form.LinkLamp.visible);
    EXPECT_EQ(h.form.LinkLampShown, Form1Korvane::LinkLampState::Answering);
    EXPECT_EQ(h.form.LinkLamp.caption.rfind("COM4 : CONNECTED : ", 0), 0u) << h.form.LinkLamp.caption;
    EXPECT_EQ(h.form.KomutSatırı.text, "ECU RESPONDING AGAIN : COM4");
    const auto& said = h.form.Messages.entries();
    ASSERT_GE(said.size(), 2u);
    EXPECT_EQ(said[said.size() - 2].text, "ECU NOT RESPONDING ! ");
    EXPECT_FALSE(h.form.EcuSilent);
    EXPECT_TRUE(LiveBoxesEnabled(h.form));
    // A second silence is noticed again.
    h.ecu.setSilent(true);
    h.runner.runFor(3600);
    EXPECT_TRUE(h.form.LinkLamp.visible);
    EXPECT_EQ(h.form.LinkLampShown, Form1Korvane::LinkLampState::Silent);
    EXPECT_EQ(h.form.LinkLamp.caption.rfind("COM4 : ECU NOT RESPONDING : ", 0), 0u) << h.form.LinkLamp.caption;
}

// A line that brings bytes but never a whole reply (noise in front of every one) is
// no silence: after ten seconds of it the status line says so, the lamp stays. A
// whole reply ends the episode, and a second one is reported again.
TEST(LinkWatch, TenSecondsOfUnusableRepliesAreReportedEachTime) {
    test::LinkHarness h('.', 1);
    ASSERT_TRUE(h.connect());
    h.runner.runFor(1200);
    for (int episode = 1; episode <= 2; ++episode) {
        SCOPED_TRACE(episode);
        h.form.KomutSatırı.text.clear();
        h.ecu.setFaultRate(sim::ReplyFault::Garbage, 1);
        h.runner.runFor(9400);
        EXPECT_EQ(h.form.KomutSatırı.text, "");
        h.runner.runFor(1000);
        EXPECT_EQ(h.form.KomutSatırı.text, "NO VALID REPLY FROM THE ECU ! ");
        EXPECT_FALSE(h.form.EcuSilent);
        EXPECT_EQ(h.form.SequencerState, 8);  // the poll goes on
        h.ecu.setFaultRate(sim::ReplyFault::Garbage, 0);
        h.runner.runFor(1000);
        EXPECT_FALSE(h.form.EcuRepliesUnusable);
    }
}

TEST(LinkWatch, TurkishLampAndMessage) {
    test::LinkHarness h('.', 0);
    ASSERT_TRUE(h.connect());
    h.ecu.setSilent(true);
    h.runner.runFor(3600);
    EXPECT_EQ(h.form.LinkLamp.caption.rfind("COM4 : ECU YANIT VERMİYOR : ", 0), 0u) << h.form.LinkLamp.caption;
    EXPECT_EQ(h.form.KomutSatırı.text, "ECU YANIT VERMİYOR ! ");
}

// Each exchange the ECU falls silent in ends with its own message, its buttons
// given back and the step machine polling at idle.
TEST(LinkWatch, AnExchangeInProgressEndsWithItsOwnFailure) {
    struct Case {
        const char* name;
        std::function<void(Form1Korvane&)> start;
        const char* message;
    } const cases[] = {
        {"curve read", [](Form1Korvane& f) { f.ButonEcuOku_Click(); },
         "CURVE READ DID NOT COMPLETE : ECU NOT RESPONDING ! "},
        {"settings read-back", [](Form1Korvane& f) { f.SequencerState = 1; },
         "SETTINGS READ DID NOT COMPLETE : ECU NOT RESPONDING ! "},
        {"curve write", [](Form1Korvane& f) { f.StartCurveWrite(true); },
         "CURVE WRITE DID NOT COMPLETE : ECU NOT RESPONDING ! "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::LinkHarness h('.', 1);
        ASSERT_TRUE(h.connect());
        h.runner.runFor(1100);
        c.start(h.form);
        ASSERT_NE(h.form.SequencerState, 8);
        h.runner.runFor(600);
        h.ecu.setSilent(true);
        ASSERT_TRUE(h.runner.runUntil([&] { return h.form.EcuSilent; }, 4000));
        EXPECT_EQ(h.form.KomutSatırı.text, c.message);
        EXPECT_EQ(h.form.SequencerState, 8);
        EXPECT_FALSE(h.form.ButtonsLocked);
        for (const ButtonControl* b : {&h.form.ButonEcuOku, &h.form.ButonDisktenOku, &h.form.ButonDiskeYaz,
                                       &h.form.ButonSetup})
            EXPECT_TRUE(b->enabled);
        for (const ProgressBarControl* bar : {&h.form.ProgressBar7, &h.form.ProgressBar8, &h.form.ProgressBar11})
            EXPECT_FALSE(bar->visible);
        EXPECT_FALSE(h.form.ComOpenButon.enabled);  // the port stays ours

        // When the ECU answers again the window is usable as before.
        h.ecu.setSilent(false);
        h.runner.runFor(1000);
        EXPECT_EQ(h.form.LinkLampShown, Form1Korvane::LinkLampState::Answering);
        // The recovery is said with what the silence cut short.
        const std::string failure = std::string(c.message).substr(0, std::string(c.message).find(" : ECU NOT"));
        EXPECT_EQ(h.form.KomutSatırı.text, "ECU RESPONDING AGAIN : COM4 — " + failure);
        // The settings are read again first: then the window is usable as before.
        ASSERT_TRUE(h.runner.runUntil([&] { return !h.form.SettingsStale && h.form.SequencerState == 8; }, 6000));
        h.runner.runFor(600);
        const std::size_t before = h.runner.sentFrames().size();
        h.form.ButonEcuOku_Click();
        h.runner.runFor(1000);
        EXPECT_GT(h.runner.sentFrames().size(), before);
        EXPECT_NE(h.form.SequencerState, 8);
    }
}

}  // namespace
}  // namespace gasecu
