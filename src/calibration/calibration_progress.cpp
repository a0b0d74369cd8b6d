#include "calibration/calibration_progress.h"

#include "app/form1korvane.h"
#include "calibration/calibration_run_steps.h"
#include "calibration/calibration_steps.h"

namespace gasecu::calibration {

Phase PhaseOfStep(int step) {
    // The step ranges of calibration_run.cpp's table, phase by phase.
    if (step >= kStartStep && step <= 312) return Phase::WaitingForSpeed;
    if (step >= 313 && step <= 320) return Phase::Checking;
    if (step >= 321 && step <= 341) return Phase::MeasuringPetrol;
    if (step >= 342 && step <= 351) return Phase::MeasuringGas;
    if (step >= 352 && step <= 488) return Phase::Correcting;
    if (step >= 489 && step <= 495) return Phase::Rescaling;
    if (step >= 496 && step <= kEndStep) return Phase::WritingReferences;
    if (step == kStopStep) return Phase::Stopping;
    return Phase::Idle;
}

Phase CurrentPhase(const Form1Korvane& f) {
    const int state = static_cast<int>(f.SequencerState);
    if (state == kStopStep) return Phase::Stopping;
    if (!f.CalibrationRunning) return Phase::Idle;
    // Between its steps the run parks in the live poll with the step to come.
    return PhaseOfStep(state == kIdleStep ? f.CalibrationNextStep : state);
}

std::string PhaseText(Phase phase, int iteration, bool english) {
    const std::string of = std::to_string(iteration) + " / " + std::to_string(kIterationLimit);
    switch (phase) {
    case Phase::Idle: return english ? "Not running" : "Çalışmıyor";
    case Phase::WaitingForSpeed:
        return english ? "Waiting for the engine speed (2000-2200 rpm)" : "Devir bekleniyor (2000-2200 d/d)";
    case Phase::Checking:
        return english ? "Checking speed, pressure and reducer temperature"
                       : "Devir, basınç ve regülatör sıcaklığı denetleniyor";
    case Phase::MeasuringPetrol: return english ? "Measuring on petrol" : "Benzinde ölçülüyor";
    case Phase::MeasuringGas:
        return english ? "Measuring on gas, iteration " + of : "Gazda ölçülüyor, deneme " + of;
    case Phase::Correcting: return english ? "Correcting, iteration " + of : "Düzeltiliyor, deneme " + of;
    case Phase::Rescaling: return english ? "Slope factor and curve" : "Eğim faktörü ve eğri";
    case Phase::WritingReferences:
        return english ? "Writing the reference values to the ECU" : "Referans değerleri EKÜ'ye yazılıyor";
    case Phase::Stopping: return english ? "Stopping" : "Durduruluyor";
    }
    return {};
}

}  // namespace gasecu::calibration
