// A calibration run against the virtual ECU, from the fitter's side: nothing
// changes the curve the run is working on, and a run the link ends (ECU silent,
// adapter pulled) leaves the screen as the stop button does.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>

#include "app/default_curve.h"
#include "curve/curve_fixture.h"
#include "curve/curve_text.h"
#include "support/link_harness.h"
#include "curve/curve_file_io.h"

namespace gasecu {
namespace {

// A curve unlike the factory one the run loads: every band 10 higher.
CurveRows DistinctCurveForFile() {
    CurveRows c{};
    auto parsed = curve::ParseCurveText(DefaultCurveFileText());
    if (parsed) parsed->applyTo(c);
    for (std::size_t r = 3; r <= 8; ++r)
        for (std::size_t p = 1; p <= 18; ++p) c[r][p] += 10;
    return c;
}

struct RunningCalibration {
    test::LinkHarness h;
    test::ScriptedDialogs dialogs;
    RunningCalibration() {
        std::ofstream(h.dir.path() / "ORJ.DAT", std::ios::binary) << DefaultCurveFileText();
        h.form.env.fileDialogs = &dialogs;
        h.ecu.setEngineSpeed(2100);
        h.ecu.setGasPressure(1.2);
        h.ecu.setReducerTemperature(60);
        h.ecu.setGasTemperature(35);
        h.ecu.engine().setMismatch(0.3);
    }
    // Connected, the run started and on petrol measuring (before any scaling).
    bool startAndWaitForMeasuring() {
        if (!h.connect()) return false;
        h.runner.runFor(1000);
        h.form.ButonAyar_Click();
        h.form.KalibrasyonBaşlatButon_Click();
        return h.runner.runUntil([&] { return h.form.CalibrationNextStep >= 322; }, 60000);
    }
};

TEST(CalibrationLink, NothingChangesTheCurveWhileARunWorksOnIt) {
    RunningCalibration c;
    // A curve file a fitter might load by mistake.
    const std::filesystem::path file = c.h.dir.path() / "Cur_07.txt";
    CurveRows other = DistinctCurveForFile();
    std::ofstream(file, std::ios::binary) << curve::FormatCurveText(other);
    c.dialogs.answer = curve::Utf8FromPath(file);
    c.h.form.CurveTable[3][5] += 40;  // an edit before the run, for undo to find
    c.h.form.NoteCurveStep();
    ASSERT_TRUE(c.startAndWaitForMeasuring());
    Form1Korvane& f = c.h.form;
    f.ButonEğri_Click();  // the fitter looks at the curve meanwhile
    f.devir123456_Click();

    struct Case {
        const char* what;
        std::function<void()> act;
    } const cases[] = {
        {"arrow button held",
         [&] {
             f.CheckÜ[4].setValue(1);
             f.AA_MouseDown();
             c.h.runner.runFor(1000);
             f.AA_MouseUp();
         }},
        {"left arrow key held (tilt)",
         [&] {
             f.CheckÜ[6].setValue(1);
             f.ArrowKeys.keyDown(ArrowKey::Left);
             c.h.runner.runFor(500);
             f.ArrowKeys.keyUp(ArrowKey::Left);
             c.h.runner.runFor(100);
         }},
        {"plot held",
         [&] {
             f.CheckA[2].setValue(1);
             f.EğriPic_MouseDown();
             c.h.runner.runFor(500);
             f.EğriPic_MouseUp();
         }},
        {"idle picture held",
         [&] {
             f.Rolantiyukarıdisabel_MouseDown();
             c.h.runner.runFor(500);
             f.Rolantiyukarıdisabel_MouseUp();
         }},
        {"idle button",
         [&] {
             f.Rolanti.enabled = true;
             f.Rolanti_Click();
         }},
        {"file load", [&] { f.ButonDisktenOku_Click(); }},
        {"undo", [&] { f.ButonGeriAl_Click(); }},
        {"redo", [&] { f.ButonYinele_Click(); }},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        const CurveRows before = f.CurveTable;
        k.act();
        EXPECT_EQ(f.CurveTable, before);
        EXPECT_FALSE(f.ButonGeriAl.enabled);
        EXPECT_FALSE(f.ButonYinele.enabled);
        ASSERT_TRUE(f.CalibrationRunning);
    }
    // The live replies between the run's steps give the screens back, not the
    // buttons that would replace or send the curve.
    c.h.runner.runFor(1000);
    EXPECT_TRUE(f.ButonEğri.enabled);
    EXPECT_FALSE(f.ButonDisktenOku.enabled);
    EXPECT_FALSE(f.ButonEcuOku.enabled);
    EXPECT_FALSE(f.ButonEcuYaz.enabled);

    // Once the run is over the same key edits again.
    ASSERT_TRUE(c.h.runner.runUntil([&] { return !f.CalibrationRunning && f.SequencerState == 8; }, 300000));
    const CurveRows after = f.CurveTable;
    f.CheckÜ[4].setValue(1);
    f.AA_MouseDown();
    c.h.runner.runFor(300);
    f.AA_MouseUp();
    EXPECT_NE(f.CurveTable, after);
}

// The silent ECU and the pulled adapter end a run the same way: through the stop
// button's path, Start offered again and Stop gone, the failure in the status line.
TEST(CalibrationLink, ALostLinkEndsTheRunAsTheStopButtonDoes) {
    struct Case {
        const char* what;
        bool pulled;
        const char* message;
    } const cases[] = {
        {"ECU silent", false, "CALIBRATION DID NOT COMPLETE : ECU NOT RESPONDING ! "},
        {"adapter pulled", true, "CONNECTION LOST, CALIBRATION DID NOT COMPLETE ! COM4"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        RunningCalibration c;
        ASSERT_TRUE(c.startAndWaitForMeasuring());
        Form1Korvane& f = c.h.form;
        if (k.pulled) {
            c.h.port.unplug();
        } else {
            c.h.ecu.setSilent(true);
            ASSERT_TRUE(c.h.runner.runUntil([&] { return f.EcuSilent; }, 5000));
        }
        c.h.runner.runFor(2000);  // the stop step has run
        EXPECT_FALSE(f.CalibrationRunning);
        EXPECT_TRUE(f.KalibrasyonBaşlatButon.visible);
        EXPECT_TRUE(f.KalibrasyonBaşlatButon.enabled);
        EXPECT_FALSE(f.KalibrasyonDurdurButon.visible);
        EXPECT_FALSE(f.KalibrasyonDurdurButon.enabled);
        EXPECT_FALSE(f.ButtonsLocked);
        EXPECT_EQ(f.KomutSatırı.text, k.message);
        if (!k.pulled) {
            // The ECU answers again: the lamp and the status line say so, the
            // status line naming again why the run ended.
            c.h.ecu.setSilent(false);
            c.h.runner.runFor(6000);
            EXPECT_EQ(f.LinkLampShown, Form1Korvane::LinkLampState::Answering);
            EXPECT_EQ(f.KomutSatırı.text, "ECU RESPONDING AGAIN : COM4 — CALIBRATION DID NOT COMPLETE");
            EXPECT_EQ(f.SequencerState, 8);
        }
        // A new run can start.
        if (k.pulled) {
            c.h.port.plugBack();
            ASSERT_TRUE(c.h.connect());
        }
        c.h.runner.runFor(1000);
        f.ButonAyar_Click();
        f.KalibrasyonBaşlatButon_Click();
        EXPECT_TRUE(f.CalibrationRunning);
    }
}

}  // namespace
}  // namespace gasecu

namespace gasecu {
namespace {

// The disconnect button under a run asks first; Yes stops the run as its stop
// button does, and the ECU is told to leave its calibration mode before the port
// closes: an ECU left calibrating would hold the engine on its test settings.
TEST(CalibrationLink, DisconnectUnderARunStopsItAndTellsTheEcuBeforeThePortCloses) {
    RunningCalibration c;
    ScriptedQuestions questions;
    c.h.form.env.questions = &questions;
    ASSERT_TRUE(c.startAndWaitForMeasuring());
    ASSERT_TRUE(c.h.ecu.engine().calibrating());
    questions.answerNext(true);
    c.h.form.ButonBağlantıKes_Click();
    ASSERT_EQ(questions.asked().size(), 1u);
    c.h.runner.runFor(100);  // the line delivers what was written before the close
    EXPECT_FALSE(c.h.ecu.engine().calibrating());
    EXPECT_FALSE(c.h.form.CalibrationRunning);
    EXPECT_FALSE(c.h.port.isOpen());
    EXPECT_EQ(c.h.form.SequencerState, 1000);
    EXPECT_EQ(c.h.form.KomutSatırı.text, "DISCONNECTED, CALIBRATION DID NOT COMPLETE ! COM4");
    EXPECT_TRUE(c.h.form.KalibrasyonBaşlatButon.enabled);
    EXPECT_TRUE(c.h.form.ComOpenButon.enabled);
}

}  // namespace
}  // namespace gasecu
