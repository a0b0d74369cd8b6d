// Which steps count as an ECU exchange under way: the refusals of every button
// that would set a new step hang on this one answer.
#include <gtest/gtest.h>

#include "support/link_harness.h"

namespace gasecu {
namespace {

struct RunningCase {
    double step;
    bool linked;
    bool calibrating;
    bool running;
};

TEST(EcuSequenceRunning, OnlyAnExchangeOnTheLineCounts) {
    const RunningCase cases[] = {
        {0, false, false, false},     // before the first connect
        {8, true, false, false},      // idle poll
        {1000, false, false, false},  // parked after a failed scan or a lost device
        {45, true, false, false},     // between families: the tick runs nothing
        {159, true, false, false},
        {8.5, true, false, false},    // not a whole step
        {10, false, false, true},     // port scan (the link is not up yet)
        {1, true, false, true},       // settings pages read back
        {7, true, false, true},
        {13, true, false, true},      // curve read, or the write's read-back check
        {17, true, false, true},
        {18, true, false, true},      // curve write
        {44, true, false, true},
        {46, true, false, true},      // setting write
        {47, true, false, true},
        {48, true, false, true},      // factory settings
        {158, true, false, true},
        {160, true, false, true},     // fuel command not sent yet
        {172, true, false, true},     // fault pages waiting for page 7
        {200, true, false, true},     // fault clearing
        {290, true, false, true},     // settings screen with the link: pages next
        {290, false, false, false},   // ... without it the step only waits
        {297, true, false, true},     // calibration's own steps
        {553, true, false, true},
        {8, true, true, true},        // a calibration run between its steps
    };
    test::LinkHarness h;
    h.port.open();
    for (const RunningCase& c : cases) {
        h.form.SequencerState = c.step;
        h.form.LinkUp = c.linked;
        h.form.CalibrationRunning = c.calibrating;
        EXPECT_EQ(h.form.EcuSequenceRunning(), c.running)
            << "step " << c.step << (c.linked ? " linked" : "") << (c.calibrating ? " calibrating" : "");
    }
}

TEST(EcuSequenceRunning, ARefusalSaysSoOnlyWhileBusy) {
    test::LinkHarness h(',', 0);
    h.form.SequencerState = 8;
    h.form.KomutSatırı.text = "EĞRİ";
    EXPECT_FALSE(h.form.RefusedWhileEcuBusy());
    EXPECT_EQ(h.form.KomutSatırı.text, "EĞRİ");
    h.form.SequencerState = 30;
    EXPECT_TRUE(h.form.RefusedWhileEcuBusy());
    EXPECT_EQ(h.form.KomutSatırı.text, "ECU İLE İLETİŞİM SÜRÜYOR, BEKLEYİNİZ ! ");
    h.form.LanguageIndex = 1;
    EXPECT_TRUE(h.form.RefusedWhileEcuBusy());
    EXPECT_EQ(h.form.KomutSatırı.text, "ECU EXCHANGE RUNNING, PLEASE WAIT ! ");
}

}  // namespace
}  // namespace gasecu
