#pragma once
// The step numbers of the calibration run that others need to know: the start the
// start button sets, the end every fault jumps to, the stop the stop button sets.
namespace gasecu {
class Form1Korvane;
}

namespace gasecu::calibration {

inline constexpr int kStartStep = 297;
inline constexpr int kEndStep = 551;
inline constexpr int kStopStep = 553;

// Whether Timer4 has a step to run at this sequencer state.
bool IsCalibrationStep(double state);
void RunCalibrationStep(Form1Korvane& form, int step);

}  // namespace gasecu::calibration
