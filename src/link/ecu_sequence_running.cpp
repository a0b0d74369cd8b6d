// Whether an exchange with the ECU is under way: a click that sets the step
// machine's step now would cut it short (a curve half written, a setting written
// but not read back, a fault clear between its writes). The buttons and entries
// that start an exchange ask this first and refuse while it holds.
#include "app/form1korvane.h"
#include "calibration/calibration_steps.h"
#include "link/sequencer_families.h"

namespace gasecu {

namespace {
constexpr double kIdleStep = 8;
constexpr double kSettingsScreenStep = 290;
}  // namespace

bool Form1Korvane::EcuSequenceRunning() const {
    // A calibration run passes through the idle step between its own steps.
    if (CalibrationRunning) return true;
    const double state = SequencerState;
    if (state >= calibration::kStartStep && state <= calibration::kStopStep) return true;
    if (state == kIdleStep) return false;
    // Without the link the settings screen's step only waits; nothing is on the line.
    if (state == kSettingsScreenStep) return LinkGuard();
    // Steps no family owns (0 before the connect, 1000 parked) run nothing.
    for (const link::StepFamily& family : link::kStepFamilies)
        if (state >= family.first && state <= family.last) return true;
    return false;
}

bool Form1Korvane::RefusedWhileEcuBusy() {
    if (!EcuSequenceRunning()) return false;
    ShowMessage("ECU İLE İLETİŞİM SÜRÜYOR, BEKLEYİNİZ ! ", "ECU EXCHANGE RUNNING, PLEASE WAIT ! ");
    return true;
}

}  // namespace gasecu
