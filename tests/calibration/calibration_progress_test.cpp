// What the calibration screen draws of a run: the phase of each step, and the
// times and curves the run leaves for it.
#include <gtest/gtest.h>

#include "calibration/calibration_bench.h"
#include "calibration/calibration_progress.h"

namespace gasecu {
namespace {

using calibration::Phase;
using calibration::PhaseOfStep;

TEST(CalibrationProgress, EveryStepOfTheRunHasItsPhase) {
    struct Case {
        int step;
        Phase phase;
    };
    const Case cases[] = {
        {297, Phase::WaitingForSpeed}, {311, Phase::WaitingForSpeed}, {313, Phase::Checking},
        {320, Phase::Checking},        {321, Phase::MeasuringPetrol}, {334, Phase::MeasuringPetrol},
        {342, Phase::MeasuringGas},    {351, Phase::MeasuringGas},    {352, Phase::Correcting},
        {362, Phase::Correcting},      {489, Phase::Rescaling},       {492, Phase::Rescaling},
        {496, Phase::WritingReferences}, {551, Phase::WritingReferences}, {553, Phase::Stopping},
        {8, Phase::Idle},              {18, Phase::Idle},             {296, Phase::Idle},
    };
    for (const Case& c : cases) EXPECT_EQ(PhaseOfStep(c.step), c.phase) << c.step;
    EXPECT_EQ(calibration::PhaseText(Phase::Correcting, 3, false), "Düzeltiliyor, deneme 3 / 11");
    EXPECT_EQ(calibration::PhaseText(Phase::MeasuringGas, 1, true), "Measuring on gas, iteration 1 / 11");
}

// The run keeps each iteration's times and the reference before its rescaling;
// a new run starts both afresh.
TEST(CalibrationProgress, TheRunKeepsItsIterationsAndTheCurveBefore) {
    test::CalibrationBench b;
    b.engine.correctionShare = 0.5;  // four iterations
    b.form.CalibrationIterations = {{1, 2, 3}};  // an earlier run's
    b.start();
    ASSERT_TRUE(b.runUntilStep(343));
    EXPECT_EQ(calibration::CurrentPhase(b.form), Phase::MeasuringGas);
    EXPECT_TRUE(b.form.CalibrationIterations.empty());
    EXPECT_FALSE(b.form.CalibrationCurveBefore);
    const CurveRows reference = b.form.CurveTable;
    ASSERT_TRUE(b.runToEnd());
    ASSERT_EQ(b.form.CalibrationIterations.size(), 4u);
    for (const auto& s : b.form.CalibrationIterations) EXPECT_DOUBLE_EQ(s.petrolOnPetrol, 3.00);
    // The petrol time on gas closes in on the one on petrol.
    EXPECT_GT(b.form.CalibrationIterations.front().petrolOnGas - 3.00,
              b.form.CalibrationIterations.back().petrolOnGas - 3.00);
    ASSERT_TRUE(b.form.CalibrationCurveBefore);
    EXPECT_EQ(*b.form.CalibrationCurveBefore, reference);
    EXPECT_EQ(calibration::CurrentPhase(b.form), Phase::Idle);
}

}  // namespace
}  // namespace gasecu
