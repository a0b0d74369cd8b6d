// The calibration run on a scripted engine: what goes out on the line and when,
// what the run concludes, and what it leaves in the curve and on the screen.
#include <gtest/gtest.h>

#include "calibration/calibration_bench.h"
#include "link/command_frames.h"

namespace gasecu {
namespace {

using test::CalibrationBench;

using test::kTick;

TEST(CalibrationRun, TheStepsKeepTheirTicks) {
    CalibrationBench b;
    b.engine.correctionShare = 0.5;  // 0.50 -> 0.25 -> 0.13 -> 0.07 ms: three corrections
    b.start();
    ASSERT_TRUE(b.runToEnd());

    const double petrol = b.firstTime(frames::kPetrolCommand);
    const double calibrationPetrol = b.firstTime(frames::kCalibrationPetrolCommand);
    const double gas = b.firstTime(frames::kCalibrationGasCommand);
    ASSERT_GE(petrol, 0);
    // The checks before the petrol measurement take 13 ticks, the gas command follows
    // the petrol one after 14 (the measurement 13 ticks after it), the first
    // correction 10 ticks after the gas command, each further one 20 ticks on.
    EXPECT_EQ(calibrationPetrol - petrol, 13 * kTick);
    EXPECT_EQ(gas - calibrationPetrol, 14 * kTick);
    std::vector<double> corrections;
    for (const sim::SentFrame& f : b.runner.sentFrames())
        if (f.bytes[0] == 99) corrections.push_back(f.timeMs);
    ASSERT_EQ(corrections.size(), 3u);
    EXPECT_EQ(corrections[0] - gas, 10 * kTick);
    EXPECT_EQ(corrections[1] - corrections[0], 20 * kTick);
    EXPECT_EQ(corrections[2] - corrections[1], 20 * kTick);
    // The fourth measurement (20 ticks on) agrees: 11 ticks later the end phase
    // begins, and from its petrol command to the end command takes 18 ticks,
    // counting both.
    const double endPhase = b.firstTime(frames::kCalibrationPetrolCommand, calibrationPetrol + 1);
    EXPECT_EQ(endPhase - corrections[2], 31 * kTick);
    EXPECT_EQ(b.firstTime(frames::kCalibrationEndCommand) - endPhase, 17 * kTick);

    EXPECT_EQ(b.form.IterationCount, 4);
    EXPECT_EQ(b.form.Sayac.text, "4");
    EXPECT_EQ(b.form.ilk.text, "3.00");
    EXPECT_EQ(b.form.KomutSatırı.text, "CALIBRATION ENDED.");
    EXPECT_TRUE(b.form.CalibrationConverged);
    // One frame per step: nothing but live requests between the named frames.
    for (const sim::SentFrame& f : b.runner.sentFrames())
        EXPECT_TRUE(f.bytes[0] == 110 || f.bytes[0] == 132 || f.bytes[0] == 155 || f.bytes[0] == 111 ||
                    f.bytes[0] == 122 || f.bytes[0] == 99 || f.bytes[0] == 75 || f.bytes[0] == 156)
            << int(f.bytes[0]);
}

TEST(CalibrationRun, BelowTwoThousandRpmTheStartStepRepeats) {
    CalibrationBench b;
    b.engine.rpm = 1900;
    b.start();
    b.runner.runFor(10 * kTick);
    // Every tick reloads the reference and sends the engine to petrol again.
    EXPECT_EQ(b.framesWithCode(132).size(), 10u);
    EXPECT_TRUE(b.framesWithCode(155).empty());
    EXPECT_EQ(b.form.CalibrationNextStep, 297);
    b.form.CurveTable[3][1] = 7;
    b.runner.runFor(kTick);
    EXPECT_EQ(b.form.CurveTable[3][1], 100);  // the reference again

    b.engine.rpm = 2100;
    b.runner.runFor(kTick);
    ASSERT_TRUE(b.runUntilStep(313, 10 * kTick));
}

// The correction sent at the first measurement on gas, for a petrol time of 3.00 ms
// on petrol.
struct CorrectionCase {
    double onGasMs;
    int gasRaw;  // 1/244.16 ms: 488 is 2.00 ms, 366 is 1.50 ms
    std::vector<Bytes> expected;
    const char* why;
};

TEST(CalibrationRun, TheFirstCorrectionFollowsTheDifference) {
    const CorrectionCase cases[] = {
        {3.50, 488, {{99, 5, 122, 0, 10}}, "0.50 ms: 0.50 / 0.00407 = 122.85 steps"},
        {4.20, 488, {{99, 5, 255, 0, 10}}, "1.20 ms lean: the most there is"},
        {1.80, 488, {{99, 5, 1, 255, 10}}, "1.20 ms rich: one step back at 2.00 ms gas"},
        {1.80, 366, {}, "rich, but at 1.50 ms gas time nothing is taken away"},
        {2.50, 488, {{99, 5, 122, 255, 10}}, "0.50 ms rich at 2.00 ms gas"},
        {4.04, 488, {{99, 5, 255, 0, 10}}, "exactly 1.04 ms is a full command"},
        {1.96, 488, {{99, 5, 1, 255, 10}}, "exactly 1.04 ms rich is a full command back"},
        {3.10, 488, {}, "0.10 ms agrees"},
        {3.11, 488, {{99, 5, 27, 0, 10}}, "0.11 ms: 27 steps"},
    };
    for (const CorrectionCase& c : cases) {
        CalibrationBench b;
        b.engine.mismatchMs = c.onGasMs - 3.00;
        b.engine.correctionShare = 0;  // the difference stays: every iteration alike
        b.engine.gasRaw = c.gasRaw;
        b.start();
        ASSERT_TRUE(b.runUntilStep(352)) << c.why;
        b.runner.runFor(kTick);
        EXPECT_EQ(b.framesWithCode(99), c.expected) << c.why;
        EXPECT_EQ(b.form.IterationCount, 1) << c.why;
        // No correction due: the iterations end at step 362.
        ASSERT_TRUE(b.runUntilStep(362)) << c.why;
        b.runner.runFor(kTick);
        EXPECT_EQ(b.form.CalibrationNextStep, c.onGasMs == 3.10 ? 489 : 343) << c.why;
    }
}

TEST(CalibrationRun, ElevenIterationsStillScaleWriteAndBlameTheNozzle) {
    CalibrationBench b(',', 0);
    b.engine.correctionShare = 0;  // the trim has no effect: nozzles too small
    b.engine.gasRaw = 500;
    b.start();
    ASSERT_TRUE(b.runUntilStep(489));
    b.engine.gasRaw = 550;  // the gas time the ECU applies after the run
    ASSERT_TRUE(b.runToEnd());
    EXPECT_EQ(b.framesWithCode(99).size(), 11u);
    EXPECT_EQ(b.form.IterationCount, 11);
    EXPECT_FALSE(b.form.CalibrationConverged);
    EXPECT_EQ(b.framesWithCode(75).size(), 3u);
    EXPECT_EQ(b.form.CurveTable[3][1], 110);
    EXPECT_EQ(b.form.KomutSatırı.text, "ENJEKTÖR MEMESİ KÜCÜK !");
    EXPECT_TRUE(b.form.Kalibrasyonyükleme.visible);
}

// The fitter mends the nozzles and starts again in the same window: the second run
// counts its own iterations (eleven left from the first would end it at once,
// blaming the nozzle again).
TEST(CalibrationRun, ASecondRunInTheSameWindowStartsItsCountAfresh) {
    CalibrationBench b;
    b.engine.correctionShare = 0;
    b.start();
    ASSERT_TRUE(b.runToEnd());
    ASSERT_EQ(b.form.IterationCount, 11);
    ASSERT_FALSE(b.form.CalibrationConverged);

    b.engine.correctionShare = 1;
    b.engine.mismatchMs = 0.50;
    const std::size_t correctionsBefore = b.framesWithCode(99).size();
    b.start();
    ASSERT_TRUE(b.runToEnd());
    EXPECT_TRUE(b.form.CalibrationConverged);
    EXPECT_EQ(b.form.IterationCount, 2);
    EXPECT_EQ(b.framesWithCode(99).size(), correctionsBefore + 1);
    EXPECT_EQ(b.form.KomutSatırı.text, "CALIBRATION ENDED.");
}

TEST(CalibrationRun, AnEleventhIterationThatAgreesIsASuccess) {
    CalibrationBench b;
    b.engine.correctionShare = 0;
    b.start();
    // Ten iterations find 0.50 ms; the eleventh finds the two times together.
    ASSERT_TRUE(b.runner.runUntil([&] { return b.form.IterationCount == 10 && b.form.SequencerState == 343; },
                                  400000));
    b.engine.mismatchMs = 0.05;
    ASSERT_TRUE(b.runToEnd());
    EXPECT_EQ(b.form.IterationCount, 11);
    EXPECT_TRUE(b.form.CalibrationConverged);
    EXPECT_EQ(b.form.KomutSatırı.text, "CALIBRATION ENDED.");
}

TEST(CalibrationRun, SlopeFactorScalesEveryBandByItsMultiplier) {
    CalibrationBench b;
    b.form.CurveTable[2][5] = 999;  // the axis row is the reference's, not scaled
    b.form.TextEğim.text = "9.99";   // a factor of an earlier run
    b.start();
    ASSERT_TRUE(b.runUntilStep(489));
    EXPECT_EQ(b.form.TextEğim.text, "");
    // Petrol / gas before the corrections over the same ratio after them: 550 / 500.
    b.engine.gasRaw = 550;
    ASSERT_TRUE(b.runUntilStep(493));
    EXPECT_NEAR(b.form.SlopeFactor, 1.10, 1e-12);
    EXPECT_EQ(b.form.KomutSatırı.text, " CURVE FACTOR 1.10");
    // The factor stays beside its caption once the status line moves on.
    EXPECT_EQ(b.form.TextEğim.text, "1.10");
    const double expected[] = {110, 114, 119, 123, 128, 132};  // x 1.00, 1.04 ... 1.20, halves to even
    for (int row = 3; row <= 8; ++row)
        for (int p = 1; p <= 18; ++p) EXPECT_EQ(b.form.CurveTable[row][p], expected[row - 3]) << row << "," << p;
    EXPECT_EQ(b.form.CurveTable[2][5], 150);
    EXPECT_EQ(b.form.CurveTable[1][2], 25);
}

TEST(CalibrationRun, ReferenceValuesGoToTheirAddresses) {
    struct Case {
        int step;
        TextBoxControl Form1Korvane::*box;
        const char* text;
        Bytes frame;
    };
    const Case cases[] = {
        {496, &Form1Korvane::TextBasinc, "2.12", {75, 7, 44, 0, 212, 0, 10}},
        {496, &Form1Korvane::TextBasinc, "2,12", {75, 7, 44, 0, 212, 0, 10}},  // either separator
        {500, &Form1Korvane::TextReduTemperature, "50.0", {75, 7, 45, 0, 133, 178, 10}},
        {504, &Form1Korvane::TextGasTemperature, "35.0", {75, 7, 46, 0, 170, 216, 10}},
    };
    for (const Case& c : cases) {
        CalibrationBench b;
        b.start();
        ASSERT_TRUE(b.runUntilStep(c.step));
        (b.form.*c.box).text = c.text;
        const std::size_t before = b.framesWithCode(75).size();
        b.runner.runFor(kTick);
        ASSERT_EQ(b.framesWithCode(75).size(), before + 1) << c.text;
        EXPECT_EQ(b.framesWithCode(75).back(), c.frame) << c.text;
    }
}

TEST(CalibrationRun, AReferenceValueThatDoesNotFitIsNotSentAndIsNamed) {
    CalibrationBench b;
    b.start();
    ASSERT_TRUE(b.runUntilStep(496));
    b.form.TextBasinc.text = "2.60";
    ASSERT_TRUE(b.runToEnd());
    for (const Bytes& f : b.framesWithCode(75)) EXPECT_NE(f[2], 44);  // nothing wrapped to 4
    EXPECT_EQ(b.framesWithCode(75).size(), 2u);
    EXPECT_EQ(b.form.KomutSatırı.text, "CALIBRATION ENDED. REFERENCE NOT WRITTEN TO ECU: Pressure= 2.60 bar !");
}

struct FaultCase {
    const char* what;
    void (*spoil)(test::ScriptedEngine&);
    double language;
    const char* message;
    bool uploadOffered;
};

TEST(CalibrationRun, FaultsEndTheRunWithTheirMessage) {
    const FaultCase cases[] = {
        {"pressure", [](test::ScriptedEngine& e) { e.pressureBar = 0.3; }, 1,
         " PRESSURE ERROR CALIBRATON STOPPED ! Pressure= 0.30 bar !  ( < 0.8 bar )", true},
        {"pressure", [](test::ScriptedEngine& e) { e.pressureBar = 0.3; }, 0,
         " BASINC HATASI KALİBRASYON DURDURULDU ! BASINÇ= 0.30 bar !  ( < 0.8 bar )", true},
        {"reducer", [](test::ScriptedEngine& e) { e.reducerC = 20; }, 1,
         "REDUCER TEMPERATURE ERROR CALIBRATON STOPPED ! REDUCER TEMPERATURE= 19.9 Celcius ! ( < 30 Celcius )", true},
        {"reducer", [](test::ScriptedEngine& e) { e.reducerC = 20; }, 0,
         "REGULATÖR ISI HATASI KALİBRASYON DURDURULDU ! REDUCER SICAKLIĞI= 19.9 Santigrat derece ! ( < 30 Santigrat )",
         true},
        {"gas time 0", [](test::ScriptedEngine& e) { e.gasRaw = 0; }, 1,
         " INJECTION TIME 0 ms ! CALIBRATION STOPPED ! Petrol= 3.00 ms Gas= 0.00 ms", false},
        {"gas time 0", [](test::ScriptedEngine& e) { e.gasRaw = 0; }, 0,
         " ENJEKSİYON SÜRESİ 0 ms ! KALİBRASYON DURDURULDU ! BENZİN= 3.00 ms GAZ= 0.00 ms", false},
    };
    for (const FaultCase& c : cases) {
        CalibrationBench b('.', c.language);
        c.spoil(b.engine);
        b.start();
        ASSERT_TRUE(b.runToEnd()) << c.what;
        EXPECT_EQ(b.form.KomutSatırı.text, c.message);
        EXPECT_TRUE(b.framesWithCode(111).empty()) << c.what;  // ended before the petrol measurement
        EXPECT_EQ(b.framesWithCode(156).size(), 1u) << c.what;
        EXPECT_EQ(b.form.Kalibrasyonyükleme.visible, c.uploadOffered) << c.what;
        EXPECT_EQ(b.form.CurveTable[3][1], 100) << c.what;  // the reference, unscaled
    }
}

TEST(CalibrationRun, GasTimeZeroAtTheSlopeEndsWithoutScaling) {
    CalibrationBench b;
    b.start();
    ASSERT_TRUE(b.runUntilStep(489));
    b.engine.gasRaw = 0;
    ASSERT_TRUE(b.runToEnd());
    EXPECT_TRUE(b.form.InjectionTimeFault);
    EXPECT_TRUE(b.framesWithCode(75).empty());
    for (int row = 3; row <= 8; ++row) EXPECT_EQ(b.form.CurveTable[row][1], 100);
    EXPECT_EQ(b.form.KomutSatırı.text, " INJECTION TIME 0 ms ! CALIBRATION STOPPED ! Petrol= 3.00 ms Gas= 0.00 ms");
}

TEST(CalibrationRun, TheSpeedWaitAllowsTenSlowChecks) {
    CalibrationBench b;
    b.start();
    ASSERT_TRUE(b.runUntilStep(300));
    b.engine.rpm = 500;
    ASSERT_TRUE(b.runToEnd());
    EXPECT_EQ(b.form.SpeedWaitCount, 11);
    EXPECT_TRUE(b.framesWithCode(155).empty());
    EXPECT_FALSE(b.form.Kalibrasyonyükleme.visible);
    EXPECT_EQ(b.form.KomutSatırı.text.rfind(" DUE TO RPM ERROR CALIBRATION STOPPED ! rpm= 500 rpm !", 0), 0u);

    // A stall while measuring ends the run at once.
    CalibrationBench c;
    c.start();
    ASSERT_TRUE(c.runUntilStep(330));
    c.engine.rpm = 300;  // the check at 331 sees the first sample taken after it
    ASSERT_TRUE(c.runToEnd(3 * kTick));
    EXPECT_TRUE(c.form.SpeedFault);
}

TEST(CalibrationRun, MarkerBlinksStepByStep) {
    CalibrationBench b;
    b.start();
    // The marker after each step, from the table of the run.
    const std::pair<int, bool> expected[] = {{298, true},  {299, false}, {300, true},  {310, false}, {313, true},
                                             {316, false}, {321, true},  {322, false}, {329, true},  {334, false},
                                             {342, true},  {343, false}, {352, true},  {362, true},  {489, false},
                                             {492, true},  {493, false}, {496, true},  {507, false}};
    for (auto [step, shown] : expected) {
        ASSERT_TRUE(b.runUntilStep(step)) << step;
        b.runner.runFor(kTick - 1);
        EXPECT_EQ(b.form.AyarKırmızıImg.visible, shown) << step;
    }
}

}  // namespace
}  // namespace gasecu
