// Undo and redo of the curve on screen. A step ends when nothing moves the curve
// any more: no arrow key or arrow button held, no idle picture or plot pressed
// (the edit tick stopped), and no curve read, curve write or calibration run under
// way. The redraw timer looks 40 times a second, so a held key of any length, or
// a press on the plot, undoes as one step; a file read, the idle button and an
// undo mark their steps at once.
#include "app/form1korvane.h"
#include "calibration/calibration_steps.h"

namespace gasecu {

namespace {
constexpr double kFirstCurveReadStep = 13;
constexpr double kLastCurveWriteStep = 44;
}  // namespace

bool Form1Korvane::CurveEditHeld() const {
    return ArrowKeys.anyDown() || AAHeld != 0 || YYHeld != 0 || SolHeld != 0 || SagHeld != 0 || Timer2.enabled();
}

bool Form1Korvane::CurveExchangeRunning() const {
    if (CalibrationRunning || CurveWriteChecking) return true;
    const double state = SequencerState;
    if (state >= calibration::kStartStep && state <= calibration::kStopStep) return true;
    return state >= kFirstCurveReadStep && state <= kLastCurveWriteStep;
}

void Form1Korvane::NoteCurveStep() { CurveUndo.note(CurveTable); }

void Form1Korvane::WatchCurveHistory() {
    if (!CurveEditHeld() && !CurveExchangeRunning()) NoteCurveStep();
    // The curve going out to the ECU, or about to be replaced by a read, must not
    // change under the exchange.
    const bool free = !EcuSequenceRunning();
    ButonGeriAl.enabled = free && CurveUndo.canUndo(CurveTable);
    ButonYinele.enabled = free && CurveUndo.canRedo(CurveTable);
}

namespace {

void ShowCurve(Form1Korvane& f, const CurveRows& curve) {
    f.CurveTable = curve;
    f.ClearCurvePicture();
    f.DrawCurves();
}

}  // namespace

void Form1Korvane::ButonGeriAl_Click() {
    if (EcuSequenceRunning()) return;
    if (auto curve = CurveUndo.undo(CurveTable)) ShowCurve(*this, *curve);
    WatchCurveHistory();
}

void Form1Korvane::ButonYinele_Click() {
    if (EcuSequenceRunning()) return;
    if (auto curve = CurveUndo.redo(CurveTable)) ShowCurve(*this, *curve);
    WatchCurveHistory();
}

}  // namespace gasecu
