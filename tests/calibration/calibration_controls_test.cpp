// The calibration screen's buttons through a run's life, and the factory
// reference curve the run starts from.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "app/default_curve.h"
#include "calibration/calibration_bench.h"
#include "calibration/reference_file.h"
#include "link/command_frames.h"
#include "link/curve_blocks.h"

namespace gasecu {
namespace {

using test::CalibrationBench;

using test::kTick;

struct ButtonStates {
    bool startEnabled, startShown, stopEnabled, stopShown, uploadShown;
};

ButtonStates States(const Form1Korvane& f) {
    return {f.KalibrasyonBaşlatButon.enabled, f.KalibrasyonBaşlatButon.visible, f.KalibrasyonDurdurButon.enabled,
            f.KalibrasyonDurdurButon.visible, f.Kalibrasyonyükleme.visible};
}

void ExpectStates(const Form1Korvane& f, ButtonStates want, const char* when) {
    const ButtonStates got = States(f);
    EXPECT_EQ(got.startEnabled, want.startEnabled) << when;
    EXPECT_EQ(got.startShown, want.startShown) << when;
    EXPECT_EQ(got.stopEnabled, want.stopEnabled) << when;
    EXPECT_EQ(got.stopShown, want.stopShown) << when;
    EXPECT_EQ(got.uploadShown, want.uploadShown) << when;
}

constexpr ButtonStates kIdle{true, true, false, false, false};
constexpr ButtonStates kRunning{false, false, true, true, false};
constexpr ButtonStates kEndedWithUpload{true, true, false, false, true};

TEST(CalibrationControls, ButtonsThroughARunsLife) {
    CalibrationBench b;
    b.form.ButonAyar_Click();
    ExpectStates(b.form, kIdle, "just opened");
    EXPECT_TRUE(b.form.AyarKırmızıImg.visible);  // the marker shows before any run
    EXPECT_EQ(b.form.KomutSatırı.text, "CALIBRATION");

    b.form.KalibrasyonBaşlatButon_Click();
    ExpectStates(b.form, kRunning, "running");
    EXPECT_FALSE(b.form.Kalibrasyonyükleme.enabled);
    EXPECT_TRUE(b.form.CalibrationRunning);
    EXPECT_TRUE(b.form.ButtonsLocked);
    EXPECT_EQ(b.form.SequencerState, 297);
    EXPECT_FALSE(b.form.ButonAyar.enabled || b.form.ButonEğri.enabled || b.form.ButonSetup.enabled);
    EXPECT_EQ(b.form.KomutSatırı.text, "ORJ.DAT INSTALL !");  // until the first tick
    EXPECT_EQ(b.form.Sayac.text, "1");

    ASSERT_TRUE(b.runToEnd());
    ExpectStates(b.form, kEndedWithUpload, "ended");
    EXPECT_TRUE(b.form.Kalibrasyonyükleme.enabled);
    EXPECT_FALSE(b.form.ButtonsLocked);
    EXPECT_FALSE(b.form.AyarKırmızıImg.visible);
    // The end no longer hands anything back: the sequencer polls on.
    b.runner.runFor(5 * kTick);
    EXPECT_EQ(b.form.SequencerState, 8);
    EXPECT_FALSE(b.form.CalibrationRunning);

    b.form.Kalibrasyonyükleme_Click();
    EXPECT_FALSE(b.form.Kalibrasyonyükleme.visible);
    EXPECT_FALSE(b.form.KalibrasyonPic.visible);
    EXPECT_TRUE(b.form.ProgressBar11.visible);
    EXPECT_EQ(b.form.SequencerState, 18);
}

TEST(CalibrationControls, StopEndsTheRunOnceAndSendsTheWriteStart) {
    CalibrationBench b;
    b.start();
    ASSERT_TRUE(b.runUntilStep(352));
    b.form.KalibrasyonDurdurButon_Click();
    ExpectStates(b.form, kIdle, "stopped");
    EXPECT_FALSE(b.form.CalibrationRunning);
    EXPECT_EQ(b.form.SequencerState, 553);
    EXPECT_TRUE(b.form.ilk.text.empty());
    b.runner.runFor(kTick);
    EXPECT_EQ(b.runner.sentFrames().back().bytes, frames::kWriteStartCommand);
    EXPECT_EQ(b.form.KomutSatırı.text, "CALIBRATON STOPPED ! ");
    EXPECT_EQ(b.form.SequencerState, 8);
    EXPECT_TRUE(b.form.ImgBenzin.visible);

    // A second stop only clears the lock; nothing resumes.
    b.form.ButtonsLocked = true;
    b.form.KalibrasyonDurdurButon_Click();
    EXPECT_FALSE(b.form.ButtonsLocked);
    EXPECT_EQ(b.form.SequencerState, 8);
    b.runner.runFor(5 * kTick);
    EXPECT_EQ(b.form.SequencerState, 8);
    EXPECT_TRUE(b.framesWithCode(99).empty());
}

TEST(CalibrationControls, StartWithoutALinkReturnsToIdle) {
    for (double language : {0.0, 1.0}) {
        CalibrationBench b('.', language);
        b.form.LinkUp = false;
        b.form.CalibrationNextStep = 352;  // left over from an earlier run
        b.start();
        b.runner.runFor(kTick);
        EXPECT_EQ(b.form.KomutSatırı.text, language == 0 ? "ECU İLE BAĞLANTI KURUNUZ !" : "CONNECT WITH ECU!");
        ExpectStates(b.form, kIdle, "no link");
        EXPECT_FALSE(b.form.CalibrationRunning);
        EXPECT_FALSE(b.form.ButtonsLocked);
        EXPECT_TRUE(b.form.ButonEğri.enabled && b.form.ButonSetup.enabled);
        // A link that comes up later does not resume a stale step.
        b.form.LinkUp = true;
        b.runner.runFor(5 * kTick);
        EXPECT_EQ(b.form.SequencerState, 8);
        EXPECT_TRUE(b.framesWithCode(99).empty());
    }
}

TEST(CalibrationControls, StartAndUploadWaitForARunningExchange) {
    CalibrationBench b;
    b.form.ButonAyar_Click();
    b.form.SequencerState = 30;  // a curve write between its blocks
    b.form.KalibrasyonBaşlatButon_Click();
    EXPECT_EQ(b.form.SequencerState, 30);
    EXPECT_FALSE(b.form.CalibrationRunning);
    ExpectStates(b.form, kIdle, "refused");
    EXPECT_EQ(b.form.KomutSatırı.text, "ECU EXCHANGE RUNNING, PLEASE WAIT ! ");
    b.form.Kalibrasyonyükleme_Click();
    EXPECT_EQ(b.form.SequencerState, 30);
}

TEST(CalibrationControls, SwitchingScreensDuringARunKeepsItGoing) {
    CalibrationBench b;
    b.start();
    ASSERT_TRUE(b.runUntilStep(330));
    b.form.ButonEğri_Click();
    EXPECT_EQ(b.form.Sayac.text, "1");
    ASSERT_TRUE(b.runToEnd());
    EXPECT_EQ(b.form.KomutSatırı.text, "CALIBRATION ENDED.");
}

// The screen buttons come back with every live reply during a run; reopening the
// calibration screen then must still offer the stop button, or a run waiting for
// an engine that never reaches 2000 rpm could not be ended.
TEST(CalibrationControls, ReopeningTheScreenDuringARunKeepsItsStopButton) {
    CalibrationBench b;
    b.engine.rpm = 900;  // the run waits at its start for the engine
    b.start();
    b.runner.runFor(10 * kTick);
    ASSERT_TRUE(b.form.CalibrationRunning);
    b.form.ButonEğri_Click();
    b.runner.runFor(3 * kTick);
    ASSERT_TRUE(b.form.ButonAyar.enabled);
    b.form.ButonAyar_Click();
    ExpectStates(b.form, kRunning, "reopened during the run");
    b.form.KalibrasyonDurdurButon_Click();
    ASSERT_TRUE(b.runToEnd());
    EXPECT_FALSE(b.form.CalibrationRunning);
    ExpectStates(b.form, kIdle, "stopped");
}

TEST(CalibrationControls, UploadWritesTheRescaledCurveToTheVirtualEcu) {
    test::LinkHarness h;
    std::ofstream(h.dir.path() / "ORJ.DAT", std::ios::binary) << DefaultCurveFileText();
    h.ecu.setEngineSpeed(2100);
    h.ecu.setGasPressure(1.2);
    h.ecu.setReducerTemperature(60);
    h.ecu.setGasTemperature(35);
    h.ecu.engine().setMismatch(0.3);
    ASSERT_TRUE(h.connect());
    h.runner.runFor(1000);
    h.form.ButonAyar_Click();
    h.form.KalibrasyonBaşlatButon_Click();
    ASSERT_TRUE(h.runner.runUntil([&] { return !h.form.CalibrationRunning && h.form.SequencerState == 8; }, 300000));
    EXPECT_TRUE(h.form.CalibrationConverged);
    EXPECT_EQ(h.form.KomutSatırı.text, "CALIBRATION ENDED.");
    // The reference values reached the ECU.
    EXPECT_EQ(h.ecu.setting(44), 120);
    EXPECT_EQ(h.ecu.setting(45), 256 - 147);
    ASSERT_TRUE(h.form.Kalibrasyonyükleme.visible);
    const CurveRows rescaled = h.form.CurveTable;
    EXPECT_NE(rescaled[8][18], 540);  // the run changed the factory curve

    h.form.Kalibrasyonyükleme_Click();
    EXPECT_FALSE(h.form.KalibrasyonPic.visible);
    EXPECT_TRUE(h.form.ProgressBar11.visible);
    ASSERT_TRUE(h.runner.runUntil(
        [&] { return h.form.CurveWriteResult != Form1Korvane::CurveWriteOutcome::Running && h.form.SequencerState == 8; },
        60000));
    EXPECT_EQ(h.form.CurveWriteResult, Form1Korvane::CurveWriteOutcome::Equal);
    const link::EncodedCurve sent = link::EncodeCurveForWrite(rescaled);
    ASSERT_TRUE(sent.blocks);
    for (int block = 10; block <= 16; ++block)
        EXPECT_EQ(h.ecu.memory().curveBlock(block), (*sent.blocks)[block - 10]) << block;
}

TEST(CalibrationControls, UploadRefusesACurveScaledUnderTheIdleLevel) {
    CalibrationBench b;
    b.writeReference(CalibrationBench::ReferenceText(26));  // one above the idle level 25
    b.start();
    ASSERT_TRUE(b.runUntilStep(489));
    b.engine.gasRaw = 450;  // slope factor 0.90: the 1000 rpm band drops to 23
    ASSERT_TRUE(b.runToEnd());
    ASSERT_EQ(b.form.CurveTable[3][1], 23);
    b.runner.clearSentFrames();
    b.form.Kalibrasyonyükleme_Click();
    EXPECT_EQ(b.form.SequencerState, 8);
    EXPECT_EQ(b.form.CurveWriteResult, Form1Korvane::CurveWriteOutcome::Refused);
    const link::BilingualText refusal = link::UnwritableMessage(*link::EncodeCurveForWrite(b.form.CurveTable).fault);
    EXPECT_EQ(b.form.KomutSatırı.text, refusal.english);
    EXPECT_TRUE(b.form.KalibrasyonPic.visible);
    EXPECT_TRUE(b.form.Kalibrasyonyükleme.visible);
    b.runner.runFor(5 * kTick);
    for (const sim::SentFrame& f : b.runner.sentFrames()) EXPECT_EQ(f.bytes, frames::kLiveDataRequest);
}

// ---- the factory reference curve -------------------------------------------

TEST(ReferenceFile, AFileThatStopsHalfWayLeavesTheCurveWhole) {
    std::string bad = CalibrationBench::ReferenceText(100);
    bad.replace(bad.find("100 100 100", bad.find("100") + 200), 3, "1x0");  // a bad number in a later band
    struct Case {
        const char* what;
        std::optional<std::string> text;
    };
    const Case cases[] = {{"missing", std::nullopt}, {"bad number", bad}, {"five lines", "1 2 \r\n1 \r\n1 \r\n1 \r\n1 \r\n"}};
    for (const Case& c : cases) {
        CalibrationBench b;
        std::filesystem::remove(b.link.dir.path() / "ORJ.DAT");
        if (c.text) b.writeReference(*c.text);
        const CurveRows before = b.form.CurveTable;
        b.form.LoadReferenceFile();
        EXPECT_EQ(b.form.CurveTable, before) << c.what;
        EXPECT_FALSE(b.form.CurveFileOk) << c.what;
        EXPECT_EQ(b.form.KomutSatırı.text, "ORJ.DAT ERROR WHILE INSTALLATION ! ") << c.what;

        // The run goes on with the curve on screen and keeps saying so.
        b.form.CurveTable[3][1] = 77;
        b.start();
        b.runner.runFor(kTick);
        EXPECT_EQ(b.form.KomutSatırı.text,
                  "ORJ.DAT ERROR WHILE INSTALLATION ! KEEP THE GAS PEDAL IN THE SAME POSITION EVEN THERE IS "
                  "DIFFERENCE IN RPM !")
            << c.what;
        EXPECT_EQ(b.form.CurveTable[3][1], 77) << c.what;
        ASSERT_TRUE(b.runUntilStep(313)) << c.what;
    }
}

TEST(ReferenceFile, SoundLinesAreTakenOverEvenWithABadEndMark) {
    CalibrationBench b(',', 0);
    std::string text = CalibrationBench::ReferenceText(120);
    text.replace(text.find("<::::> "), 7, "<::::>");
    b.writeReference(text);
    b.form.CurveTable[1][7] = 9;  // beyond the head's six numbers
    b.form.LoadReferenceFile();
    EXPECT_EQ(b.form.CurveTable[8][18], 120);
    EXPECT_EQ(b.form.CurveTable[1][6], 122);
    EXPECT_EQ(b.form.CurveTable[1][7], 9);
    EXPECT_FALSE(b.form.CurveFileOk);
    EXPECT_EQ(b.form.KomutSatırı.text, "ORJ.DAT YÜKLENEMEDİ ! ");

    b.writeReference(CalibrationBench::ReferenceText(120));
    b.form.LoadReferenceFile();
    EXPECT_TRUE(b.form.CurveFileOk);
    EXPECT_EQ(b.form.KomutSatırı.text, "ORJ.DAT YÜKLENDİ !");
}

TEST(ReferenceFile, ProgramDirectoryFirstThenTheInstalledOneThenTheDataDirectory) {
    test::TempDir program, installed, data;
    const auto write = [](const std::filesystem::path& p) { std::ofstream(p) << "x"; };
    const auto locate = [&](const std::filesystem::path& shipped) {
        return calibration::LocateReferenceFile({}, program.path(), shipped, data.path());
    };
    EXPECT_EQ(locate(installed.path()), program.path() / "ORJ.DAT");  // none anywhere: named where it belongs
    write(data.path() / "ORJ.DAT");
    EXPECT_EQ(locate(installed.path()), data.path() / "ORJ.DAT");
    write(installed.path() / "ORJ.DAT");
    EXPECT_EQ(locate(installed.path()), installed.path() / "ORJ.DAT");
    EXPECT_EQ(locate({}), data.path() / "ORJ.DAT");  // not installed
    write(program.path() / "ORJ.DAT");
    EXPECT_EQ(locate(installed.path()), program.path() / "ORJ.DAT");
    EXPECT_EQ(calibration::LocateReferenceFile("/x/mine.dat", program.path(), installed.path(), data.path()),
              "/x/mine.dat");
}

TEST(ReferenceFile, TheShippedFileIsTheDefaultCurve) {
    std::ifstream in(GASECU_SHIPPED_REFERENCE, std::ios::binary);
    const std::string shipped((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(shipped, DefaultCurveFileText());
    EXPECT_TRUE(calibration::ReadReferenceCurve(GASECU_SHIPPED_REFERENCE).complete());
}

}  // namespace
}  // namespace gasecu
