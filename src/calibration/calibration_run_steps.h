#pragma once
// The pieces of the calibration run that its two files share (calibration_run.cpp:
// the steps up to the rescaled curve and the step table; calibration_end.cpp: the
// reference writes, the end and the stop).
namespace gasecu {
class Form1Korvane;
}

namespace gasecu::calibration {

// The sequencer's live poll, where the run parks between its steps.
inline constexpr int kIdleStep = 8;
// Corrections after which a run that has not converged ends.
inline constexpr double kMostIterations = 10;
// Returned by a step that has set SequencerState itself (a fault, or no link).
inline constexpr int kStateSet = 0;

// The fuel display shows petrol, and the run knows it does.
void ShowPetrolDisplay(Form1Korvane& f);

// Steps of the run: each takes the step number and the step to come and returns
// the step to come, or kStateSet.
int WritePressure(Form1Korvane& f, int step, int next);
int WriteReducerTemperature(Form1Korvane& f, int step, int next);
int WriteGasTemperature(Form1Korvane& f, int step, int next);
int End(Form1Korvane& f, int step, int next);
int Stop(Form1Korvane& f, int step, int next);

}  // namespace gasecu::calibration
