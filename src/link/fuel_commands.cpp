// Switching the engine between petrol and gas from the fuel pictures. The picture
// shows the choice at once; the next reply's fuel status shows what the ECU does.
#include "app/form1korvane.h"
#include "link/command_frames.h"
#include "link/sequencer_families.h"

namespace gasecu {

namespace {
// The display shows the fuel asked for at once, as if the ECU had reported it.
constexpr int kFuelStatusGas = 1;
constexpr int kFuelStatusPetrol = 2;

// Not while a long exchange or a calibration run owns the ECU: the command would
// take the place of the exchange's next step.
bool FuelSwitchAllowed(Form1Korvane& f) {
    if (f.CalibrationRunning) return false;  // the run switches the fuel itself
    if (f.RefusedWhileEcuBusy()) return false;
    return !f.ButtonsLocked && f.LinkGuard();
}
}  // namespace

void Form1Korvane::BenzinPic_Click() {
    if (!FuelSwitchAllowed(*this)) return;
    ShowFuelStatus(kFuelStatusPetrol);
    PetrolShown = true;
    SequencerState = 161;
}

void Form1Korvane::LPGPic_Click() {
    if (!FuelSwitchAllowed(*this)) return;
    ShowFuelStatus(kFuelStatusGas);
    PetrolShown = false;
    SequencerState = 160;
}

namespace link {

void RunFuelCommandStep(Form1Korvane& f, int step) {
    f.SendFrame(step == 160 ? frames::kGasCommand : frames::kPetrolCommand);
    f.SequencerState = 8;
}

}  // namespace link
}  // namespace gasecu
