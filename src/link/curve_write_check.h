#pragma once
// What the curve read (steps 13..17) does when it runs as the read back that
// checks a curve write.
namespace gasecu {
class Form1Korvane;
}

namespace gasecu::link {

// The write's bars count its 11 steps; a read back adds one per band.
inline constexpr double kWriteProgressMaximum = 11;

// The check's band reads continue the write's progress bars.
void ShowCurveCheckProgress(Form1Korvane& f, int bandsStored);
// Step 17 of the check: compares the read back with what was sent and ends the write.
void FinishCurveWriteCheck(Form1Korvane& f);
// The write or its check cannot go on: the controls come back, the status line
// says the write did not complete, and the step machine goes to idle.
void EndCurveWriteIncomplete(Form1Korvane& f);

}  // namespace gasecu::link
