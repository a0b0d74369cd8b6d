#pragma once
// What a calibration run is doing, for the screen that shows it: the phase of the
// step it is at, the iteration it has come to, and the times each iteration
// measured. Read from the form; the run itself does not depend on it.
#include <string>

namespace gasecu {
class Form1Korvane;
}

namespace gasecu::calibration {

// The engine speed the fitter holds the run in (the instruction asks for 2100).
inline constexpr double kSpeedWindowLow = 2000;
inline constexpr double kSpeedWindowHigh = 2200;
// Iterations a run makes at most (the first measurement and ten corrections).
inline constexpr int kIterationLimit = 11;

enum class Phase {
    Idle,               // no run
    WaitingForSpeed,    // the engine is brought up to speed on petrol
    Checking,           // speed, pressure and reducer temperature are checked
    MeasuringPetrol,    // the petrol injection time on petrol
    MeasuringGas,       // on gas, before a correction
    Correcting,         // a correction sent, waiting for it to settle
    Rescaling,          // the slope factor and the rescaled curve
    WritingReferences,  // the pressure and temperatures go to the ECU
    Stopping,
};

// The phase of a step of the run (the sequencer's state, or the step the run is
// parked for while it polls).
Phase PhaseOfStep(int step);
// The phase the form's run is in now.
Phase CurrentPhase(const Form1Korvane& f);

// The phase as the fitter reads it ("Ölçülüyor: gazda, deneme 3 / 11"), with the
// iteration where the phase has one.
std::string PhaseText(Phase phase, int iteration, bool english);

// One iteration's measurement: the petrol ECU's injection time on petrol (the
// target), on gas, and the gas injection time, in ms.
struct IterationSample {
    double petrolOnPetrol = 0;
    double petrolOnGas = 0;
    double gasTime = 0;
    bool operator==(const IterationSample&) const = default;
};

}  // namespace gasecu::calibration
