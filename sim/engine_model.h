#pragma once
// The engine behind the controller, as far as the tool can see it: engine speed,
// the petrol injection time the car's own ECU applies, gas pressure, reducer and
// gas temperatures, and which fuel the engine runs on. Seeded and deterministic:
// the same seed and the same calls at the same times give the same values.
//
// Calibration physics, kept deliberately simple: on gas the mixture is off by a
// "mismatch", so the petrol ECU's closed loop shows a longer (or shorter) petrol
// time than on petrol. Each correction step the tool sends trims the gas injection
// by about 0.00407 ms and takes that much off the mismatch (a little less: the
// loop never tracks perfectly, so a run needs a few iterations). With a nozzle too
// small for the engine the trim has no effect and a run never converges.
#include <cstdint>
#include <optional>
#include <random>

namespace gasecu::sim {

enum class FuelState : std::uint8_t { Gas = 1, Petrol = 2, ChangingOver = 3 };

class EngineModel {
public:
    explicit EngineModel(std::uint32_t seed);

    // Moves the engine on to nowMs (drift, warm-up, end of a change-over).
    void advanceTo(double nowMs);

    // The fitter's side.
    void setEngineSpeed(double rpm);  // the speed the fitter holds; the engine drifts around it
    double engineSpeedSetpoint() const { return rpmSetpoint_; }
    double engineSpeed() const { return rpm_; }
    void setPetrolTimeOnPetrol(double ms) { petrolBaseMs_ = ms; }  // the load
    double petrolTimeOnPetrol() const { return petrolBaseMs_; }
    void setGasPressure(double bar) { pressureSetpoint_ = bar; pressure_ = bar; }
    double gasPressure() const { return pressure_; }
    double gasPressureSetpoint() const { return pressureSetpoint_; }
    // Pins a temperature (no more warm-up for it); nullopt lets it warm up again.
    void setReducerTemperature(std::optional<double> celsius);
    void setGasTemperature(std::optional<double> celsius);
    double reducerTemperature() const { return reducerC_; }
    double gasTemperature() const { return gasC_; }
    void setSmallNozzle(bool small) { smallNozzle_ = small; }
    bool smallNozzle() const { return smallNozzle_; }
    // The gas mixture error at the start, in ms of petrol time (seeded by default).
    void setMismatch(double ms) { mismatchMs_ = ms; }
    double mismatch() const { return mismatchMs_; }

    // Commands from the tool.
    void switchToPetrol();
    void switchToGas();  // changes over for a moment, then runs on gas
    void setCalibrating(bool on) { calibrating_ = on; }
    bool calibrating() const { return calibrating_; }
    // steps 1..255; direction 0 takes petrol time off on gas, 255 adds it.
    void correct(int steps, int direction);

    FuelState fuelState() const { return fuel_; }
    // The petrol time the petrol ECU applies now, with a little measurement noise.
    double petrolTime();
    // Multiplies the curve's gas time: moved by the calibration corrections.
    double gasTrim() const { return gasTrim_; }

    static constexpr double kChangeOverMs = 1500;
    static constexpr double kCorrectionStepMs = 0.00407;
    static constexpr double kCorrectionEfficiency = 0.8;

private:
    void step(double dtMs);

    std::mt19937 rng_;
    double nowMs_ = 0;
    bool started_ = false;
    double rpmSetpoint_ = 850;
    double rpm_ = 850;
    double petrolBaseMs_ = 3.0;
    double pressureSetpoint_ = 1.0;
    double pressure_ = 1.0;
    std::optional<double> reducerPinned_, gasPinned_;
    double reducerC_ = kAmbientC;
    double gasC_ = kAmbientC;
    bool smallNozzle_ = false;
    double mismatchMs_ = 0.5;
    double gasTrim_ = 1.0;
    bool calibrating_ = false;
    FuelState fuel_ = FuelState::Petrol;
    double changeOverEndMs_ = 0;

    static constexpr double kAmbientC = 15;
    static constexpr double kReducerWarmC = 75;  // coolant-heated reducer
    static constexpr double kGasWarmC = 40;
    static constexpr double kReducerTauMs = 150000;
    static constexpr double kGasTauMs = 300000;
};

}  // namespace gasecu::sim
