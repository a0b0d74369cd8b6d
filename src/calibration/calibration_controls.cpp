// The calibration screen's buttons: start a run, stop it, and upload the rescaled
// curve to the ECU. The run itself is calibration_run.cpp.
#include "app/form1korvane.h"
#include "calibration/calibration_steps.h"

namespace gasecu {

namespace {

void ClearReadings(Form1Korvane& f) {
    f.ilk.text.clear();
    f.Ani.text.clear();
    f.Text1.text.clear();
    f.Sayac.text = "1";
}

}  // namespace

void Form1Korvane::KalibrasyonBaşlatButon_Click() {
    // Setting the start step now would cut a running exchange (a curve write, the
    // port scan) short.
    if (RefusedWhileEcuBusy()) return;
    // With the link the run starts from the factory curve, which replaces the one
    // on screen: an unsaved one is asked about first.
    if (LinkGuard() && !MayDropCurve()) return;
    NoteCurveStep();
    ButtonsLocked = true;
    CalibrationRunning = true;
    CalibrationCutShort = false;
    Kalibrasyonyükleme.enabled = false;
    Kalibrasyonyükleme.visible = false;
    if (LinkGuard()) {
        LoadReferenceFile();
        ClearReadings(*this);
    }
    // Also without a link: the start step says what is missing.
    SequencerState = calibration::kStartStep;
    KalibrasyonBaşlatButon.enabled = false;
    KalibrasyonBaşlatButon.visible = false;
    KalibrasyonDurdurButon.enabled = true;
    KalibrasyonDurdurButon.visible = true;
    ButonAyar.enabled = false;
    ButonEğri.enabled = false;
    ButonSetup.enabled = false;
    ClearReadings(*this);
}

void Form1Korvane::KalibrasyonDurdurButon_Click() {
    ButtonsLocked = false;
    if (!CalibrationRunning) return;
    CalibrationRunning = false;
    SequencerState = calibration::kStopStep;
    KalibrasyonBaşlatButon.enabled = true;
    KalibrasyonDurdurButon.enabled = false;
    KalibrasyonBaşlatButon.visible = true;
    KalibrasyonDurdurButon.visible = false;
    ButonEğri.enabled = true;
    ButonSetup.enabled = true;
    ButonAyar.enabled = false;
    ClearReadings(*this);
}

void Form1Korvane::Kalibrasyonyükleme_Click() {
    if (!LinkGuard()) return;
    // The rescaled curve goes out with the checked curve write: a curve it cannot
    // encode (a band scaled below the idle level, say) is refused with its reason
    // and the calibration screen stays, with the upload button, as it was.
    if (!StartCurveWrite()) return;
    Kalibrasyonyükleme.enabled = true;
    Kalibrasyonyükleme.visible = false;
    KalibrasyonPic.visible = false;
    ProgressBar11.visible = true;
    ClearReadings(*this);
}

}  // namespace gasecu
