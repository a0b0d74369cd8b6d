// The calibration run, one step per 600 ms tick of Timer4. The fitter holds the
// engine at about 2100 rpm; the run measures the petrol injection time on petrol,
// switches to gas and trims the gas injection until the petrol ECU's time on gas
// matches it (at most eleven corrections), then rescales the six band curves by
// how much the petrol-to-gas time ratio moved and writes the pressure and
// temperatures of the calibration into the ECU.
//
// The run shares the step number with the sequencer. After each step it parks the
// sequencer in its live poll (8) with the step to come in CalibrationNextStep; the
// next live reply hands it back (the receive handler), so every step works on a
// fresh sample.
#include <cmath>
#include <optional>
#include <string>

#include "app/form1korvane.h"
#include "calibration/calibration_math.h"
#include "calibration/calibration_run_steps.h"
#include "calibration/calibration_steps.h"
#include "link/command_frames.h"

namespace gasecu {

namespace calibration {

namespace {

// The speed the fitter is asked to hold, and the least the run accepts while it
// measures (below that the engine is about to stall, not merely unsteady).
constexpr double kStartSpeed = 2000;
constexpr double kLeastSpeed = 600;
constexpr double kLeastPressure = 0.5;
constexpr double kLeastReducerTemperature = 30;
constexpr double kMostSpeedWaits = 10;

constexpr int kFuelStatusGas = 1;
constexpr int kFuelStatusPetrol = 2;

}  // namespace

void ShowPetrolDisplay(Form1Korvane& f) {
    f.ShowFuelStatus(kFuelStatusPetrol);
    f.PetrolShown = true;
}

namespace {

void ShowGasDisplay(Form1Korvane& f) {
    f.ShowFuelStatus(kFuelStatusGas);
    f.PetrolShown = false;
}

void PedalInstruction(Form1Korvane& f) {
    // A reference file that could not be read is named in front of the instruction,
    // which would otherwise replace its message before the fitter could read it.
    const std::string tr = f.ReferenceFileOk ? "" : "ORJ.DAT YÜKLENEMEDİ ! ";
    const std::string en = f.ReferenceFileOk ? "" : "ORJ.DAT ERROR WHILE INSTALLATION ! ";
    f.ShowMessage(tr + "DEVİR DEGİŞSE DAHİ PEDAL POZİZYONUNU DEGİŞTİRMEYİN !",
                  en + "KEEP THE GAS PEDAL IN THE SAME POSITION EVEN THERE IS DIFFERENCE IN RPM !");
}

// A fault found at a step: its flag is set and the end step runs on the next tick.
int EndAfterFault(Form1Korvane& f, bool& faultFlag) {
    faultFlag = true;
    f.SequencerState = kEndStep;
    return kStateSet;
}

// Petrol time over gas time from the live values; nothing when either is 0 (a
// ratio of 0 would zero the curve, an infinite one would blow it up).
std::optional<double> InjectionRatio(const Form1Korvane& f) {
    if (!(f.PetrolTime > 0) || !(f.GasTime > 0)) return std::nullopt;
    const double ratio = f.PetrolTime / f.GasTime;
    if (!std::isfinite(ratio)) return std::nullopt;
    return ratio;
}

// ---- the steps: each returns the step to come, or kStateSet ----------------

int Poll(Form1Korvane& f, int, int next) {
    f.SendFrame(f.LiveDataRequest);
    return next;
}

int Start(Form1Korvane& f, int, int) {
    if (!f.LinkGuard()) {
        f.ShowMessage("ECU İLE BAĞLANTI KURUNUZ !", "CONNECT WITH ECU!");
        f.SequencerState = kIdleStep;
        // Without a link there is no run: the screen goes back to its idle state, so
        // that no live reply after a later connect resumes a step of a run that
        // never began.
        f.CalibrationRunning = false;
        f.ButtonsLocked = false;
        f.KalibrasyonBaşlatButon.enabled = true;
        f.KalibrasyonBaşlatButon.visible = true;
        f.KalibrasyonDurdurButon.enabled = false;
        f.KalibrasyonDurdurButon.visible = false;
        f.ButonEğri.enabled = true;
        f.ButonSetup.enabled = true;
        return kStateSet;
    }
    f.AyarKırmızıImg.visible = false;
    f.LoadReferenceFile();
    f.SlopeFactor = 0;
    f.TextEğim.text.clear();
    f.SpeedWaitCount = 0;
    f.IterationCount = 0;
    f.Converged = false;
    f.SpeedFault = false;
    f.PressureFault = false;
    f.TemperatureFault = false;
    f.InjectionTimeFault = false;
    f.CalibrationConverged = false;
    f.UnsentReferenceTurkish.clear();
    f.UnsentReferenceEnglish.clear();
    f.CalibrationIterations.clear();
    f.CalibrationCurveBefore.reset();
    f.SendFrame(frames::kPetrolCommand);
    ShowPetrolDisplay(f);
    PedalInstruction(f);
    // Until the fitter brings the engine up to speed the step repeats, reloading the
    // reference and keeping the engine on petrol.
    return f.EngineSpeed >= kStartSpeed ? 298 : kStartStep;
}

int PollAndInstruct(Form1Korvane& f, int step, int next) {
    Poll(f, step, next);
    PedalInstruction(f);
    return next;
}

// Ten slow checks are allowed; the eleventh ends the run.
int WaitForSpeed(Form1Korvane& f, int step, int) {
    Poll(f, step, 0);
    if (f.EngineSpeed >= kLeastSpeed) return 313;
    f.SpeedWaitCount += 1;
    if (f.SpeedWaitCount > kMostSpeedWaits) return EndAfterFault(f, f.SpeedFault);
    return 311;
}

int Begin(Form1Korvane& f, int, int next) {
    f.SendFrame(frames::kCalibrationBeginCommand);
    return next;
}

int TakeStartRatio(Form1Korvane& f, int step, int next) {
    Poll(f, step, next);
    const std::optional<double> ratio = InjectionRatio(f);
    if (!ratio) return EndAfterFault(f, f.InjectionTimeFault);
    f.StartRatio = *ratio;
    return next;
}

int CheckSpeed(Form1Korvane& f, int step, int next) {
    Poll(f, step, next);
    if (f.EngineSpeed < kLeastSpeed) return EndAfterFault(f, f.SpeedFault);
    return next;
}

int CheckPressure(Form1Korvane& f, int step, int next) {
    Poll(f, step, next);
    if (f.GasPressure < kLeastPressure) return EndAfterFault(f, f.PressureFault);
    return next;
}

int CheckTemperature(Form1Korvane& f, int step, int next) {
    Poll(f, step, next);
    if (f.ReducerTemperature < kLeastReducerTemperature) return EndAfterFault(f, f.TemperatureFault);
    return next;
}

int PetrolForMeasurement(Form1Korvane& f, int, int next) {
    f.SendFrame(frames::kCalibrationPetrolCommand);
    ShowPetrolDisplay(f);
    return next;
}

int MeasureOnPetrol(Form1Korvane& f, int step, int next) {
    Poll(f, step, next);
    f.PetrolTimeOnPetrol = f.ParseDisplayedNumber(f.TextBenzinMS.text);
    f.ilk.text = f.FormatNumber(f.PetrolTimeOnPetrol, 2);
    return next;
}

int GasForIterations(Form1Korvane& f, int, int next) {
    f.SendFrame(frames::kCalibrationGasCommand);
    ShowGasDisplay(f);
    return next;
}

int MeasureAndCorrect(Form1Korvane& f, int, int next) {
    f.PetrolTimeOnGas = f.ParseDisplayedNumber(f.TextBenzinMS.text);
    f.Ani.text = f.FormatNumber(f.PetrolTimeOnGas, 2);
    const double d = PetrolTimeDifference(f.PetrolTimeOnPetrol, f.PetrolTimeOnGas);
    f.PetrolTimeDifference = d;
    f.CorrectionSteps = CorrectionStepsFor(d, f.PetrolTimeOnPetrol, f.PetrolTimeOnGas);
    f.Text1.text = f.FormatNumber(d, 2);
    f.AyarKırmızıImg.visible = true;

    const bool due = d > kAgreementMs;
    // Petrol time longer on gas: the gas mixture is lean, more gas.
    if (due && f.PetrolTimeOnPetrol < f.PetrolTimeOnGas) {
        if (auto frame = frames::CorrectionCommand(f.CorrectionSteps, 0)) f.SendFrame(*frame);
    }
    // Shorter: rich, less gas; but never at a gas time so short the engine would
    // run lean at idle-like loads.
    const double gasTime = f.ParseDisplayedNumber(f.TextGasMS.text);
    if (due && gasTime > kLeanestGasTimeMs && f.PetrolTimeOnPetrol > f.PetrolTimeOnGas) {
        if (auto frame = frames::CorrectionCommand(f.CorrectionSteps, 255)) f.SendFrame(*frame);
    }
    if (!due) f.Converged = true;
    f.IterationCount += 1;
    f.Sayac.text = f.FormatNumber(f.IterationCount, 0);
    f.CalibrationIterations.push_back({f.PetrolTimeOnPetrol, f.PetrolTimeOnGas, gasTime});
    return next;
}

int EndOfIteration(Form1Korvane& f, int step, int) {
    Poll(f, step, 0);
    if (f.Converged || f.IterationCount > kMostIterations) {
        f.CalibrationConverged = f.Converged;
        return 489;
    }
    return 343;
}

int PetrolForSlope(Form1Korvane& f, int, int next) {
    f.Converged = false;
    f.SendFrame(frames::kCalibrationPetrolCommand);
    ShowPetrolDisplay(f);
    return next;
}

int SlopeAndScale(Form1Korvane& f, int step, int next) {
    Poll(f, step, next);
    const std::optional<double> ratio = InjectionRatio(f);
    if (!ratio) return EndAfterFault(f, f.InjectionTimeFault);
    f.SlopeFactor = f.StartRatio / *ratio;
    f.ShowMessage(" EĞİM FAKTÖRÜ " + f.FormatNumber(f.SlopeFactor, 2), " CURVE FACTOR " + f.FormatNumber(f.SlopeFactor, 2));
    // The factor stays beside its caption after the status line has moved on.
    f.TextEğim.text = f.FormatNumber(f.SlopeFactor, 2);
    f.CalibrationCurveBefore = f.CurveTable;
    ScaleBands(f.CurveTable, f.StartRatio, *ratio);
    return next;
}

using StepAction = int (*)(Form1Korvane& f, int step, int next);

enum class Marker : std::uint8_t { Shown, Hidden, Own };

// Steps first..last share an action; the marker alternates from the first step on,
// so that it blinks while the run proceeds. next 0: the following step number.
struct StepRow {
    int first;
    int last;
    Marker marker;
    StepAction action;
    int next = 0;
};

constexpr StepRow kSteps[] = {
    // Preparation and checks.
    {kStartStep, kStartStep, Marker::Own, Start},
    {298, 299, Marker::Shown, Poll},
    {300, 300, Marker::Shown, PollAndInstruct, 310},
    {310, 310, Marker::Hidden, WaitForSpeed},
    {311, 311, Marker::Shown, Poll, 310},
    {313, 313, Marker::Shown, Begin},
    {314, 315, Marker::Hidden, Poll},
    {316, 316, Marker::Hidden, TakeStartRatio},
    {317, 317, Marker::Shown, CheckSpeed},
    {318, 318, Marker::Hidden, CheckPressure},
    {319, 319, Marker::Shown, CheckTemperature},
    {320, 320, Marker::Hidden, Poll},
    // The petrol measurement.
    {321, 321, Marker::Shown, PetrolForMeasurement},
    {322, 329, Marker::Hidden, Poll},
    {330, 331, Marker::Hidden, CheckSpeed},
    {332, 333, Marker::Hidden, Poll},
    {334, 334, Marker::Hidden, MeasureOnPetrol, 342},
    {342, 342, Marker::Shown, GasForIterations},
    // The correction iterations.
    {343, 351, Marker::Hidden, Poll},
    {352, 352, Marker::Shown, MeasureAndCorrect},
    {353, 361, Marker::Hidden, Poll},
    {362, 362, Marker::Shown, EndOfIteration},
    // The slope factor, the rescaled curve and the reference values.
    {489, 489, Marker::Hidden, PetrolForSlope},
    {490, 491, Marker::Shown, Poll},
    {492, 492, Marker::Shown, SlopeAndScale},
    {493, 493, Marker::Hidden, Poll, 496},
    {496, 496, Marker::Shown, WritePressure},
    {497, 499, Marker::Hidden, Poll},
    {500, 500, Marker::Shown, WriteReducerTemperature},
    {501, 503, Marker::Hidden, Poll},
    {504, 504, Marker::Shown, WriteGasTemperature},
    {505, 506, Marker::Hidden, Poll},
    {507, 507, Marker::Hidden, Poll, kEndStep},
    // End and stop.
    {kEndStep, kEndStep, Marker::Own, End},
    {kStopStep, kStopStep, Marker::Own, Stop},
};

const StepRow* FindStep(int step) {
    for (const StepRow& row : kSteps)
        if (step >= row.first && step <= row.last) return &row;
    return nullptr;
}

}  // namespace

bool IsCalibrationStep(double state) {
    return state == std::floor(state) && FindStep(static_cast<int>(state)) != nullptr;
}

void RunCalibrationStep(Form1Korvane& f, int step) {
    const StepRow* row = FindStep(step);
    if (!row) return;
    if (row->marker != Marker::Own) {
        const bool shownOnFirst = row->marker == Marker::Shown;
        f.AyarKırmızıImg.visible = ((step - row->first) % 2 == 0) == shownOnFirst;
    }
    const int next = row->action(f, step, row->next ? row->next : step + 1);
    if (next == kStateSet) return;
    f.CalibrationNextStep = static_cast<std::int16_t>(next);
    f.SequencerState = kIdleStep;
}

}  // namespace calibration

void Form1Korvane::CalibrationTick() {
    const double state = SequencerState;  // read once: the step sets the next
    if (calibration::IsCalibrationStep(state)) calibration::RunCalibrationStep(*this, static_cast<int>(state));
}

}  // namespace gasecu
