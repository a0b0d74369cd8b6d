// Placeholders until the curve subsystem lands; each does nothing.
#include "app/form1korvane.h"

namespace gasecu {
void Form1Korvane::DrawCurves() {}
void Form1Korvane::DrawLivePoint() {}
void Form1Korvane::CurveRedraw() {}
void Form1Korvane::CurveEditTick() {}
void Form1Korvane::CurveRepeatPoller() {}
void Form1Korvane::CheckÜ_Click(int) {}
void Form1Korvane::CheckA_Click(int) {}
}  // namespace gasecu
