// The calibration run's 600 ms step. The run itself (steps 297 to 553) is built
// with the calibration screen; until then the timer finds no step to act on.
#include "app/form1korvane.h"

namespace gasecu {
void Form1Korvane::CalibrationTick() {}
}  // namespace gasecu
