#include "engine_model.h"

#include <algorithm>
#include <cmath>

namespace gasecu::sim {

EngineModel::EngineModel(std::uint32_t seed) : rng_(seed) {
    std::uniform_real_distribution<double> mismatch(0.35, 0.75);
    mismatchMs_ = mismatch(rng_);
}

void EngineModel::setEngineSpeed(double rpm) {
    rpmSetpoint_ = std::max(0.0, rpm);
    rpm_ = rpmSetpoint_;
}

void EngineModel::setReducerTemperature(std::optional<double> celsius) {
    reducerPinned_ = celsius;
    if (celsius) reducerC_ = *celsius;
}

void EngineModel::setGasTemperature(std::optional<double> celsius) {
    gasPinned_ = celsius;
    if (celsius) gasC_ = *celsius;
}

void EngineModel::advanceTo(double nowMs) {
    if (!started_) {
        started_ = true;
        nowMs_ = nowMs;
        return;
    }
    // A long gap (the simulator left alone) is skipped in one go after at most
    // ten minutes of steps: the engine has long settled by then.
    constexpr double kStepMs = 100;
    if (nowMs - nowMs_ > 600000) nowMs_ = nowMs - 600000;
    while (nowMs - nowMs_ >= kStepMs) {
        nowMs_ += kStepMs;
        step(kStepMs);
    }
    if (fuel_ == FuelState::ChangingOver && nowMs >= changeOverEndMs_) fuel_ = FuelState::Gas;
}

void EngineModel::step(double dtMs) {
    if (fuel_ == FuelState::ChangingOver && nowMs_ >= changeOverEndMs_) fuel_ = FuelState::Gas;
    // The fitter's foot is not perfectly still: a small wander pulled back to the
    // speed held, within about one percent.
    std::normal_distribution<double> wander(0.0, 4.0);
    if (rpmSetpoint_ > 0) {
        rpm_ += wander(rng_) - 0.1 * (rpm_ - rpmSetpoint_);
        rpm_ = std::clamp(rpm_, rpmSetpoint_ * 0.99, rpmSetpoint_ * 1.01);
    } else {
        rpm_ = 0;
    }
    std::normal_distribution<double> ripple(0.0, 0.003);
    pressure_ = std::max(0.0, pressureSetpoint_ + ripple(rng_));
    // Warm-up only while the engine runs: the reducer is heated by the coolant.
    if (rpm_ > 0) {
        if (!reducerPinned_) reducerC_ += (kReducerWarmC - reducerC_) * (1 - std::exp(-dtMs / kReducerTauMs));
        if (!gasPinned_) gasC_ += (kGasWarmC - gasC_) * (1 - std::exp(-dtMs / kGasTauMs));
    }
}

void EngineModel::switchToPetrol() { fuel_ = FuelState::Petrol; }

void EngineModel::switchToGas() {
    if (fuel_ != FuelState::Petrol) return;
    fuel_ = FuelState::ChangingOver;
    changeOverEndMs_ = nowMs_ + kChangeOverMs;
}

void EngineModel::correct(int steps, int direction) {
    if (!calibrating_ || smallNozzle_ || steps <= 0) return;
    double ms = steps * kCorrectionStepMs * kCorrectionEfficiency;
    // Direction 0: the gas was lean, the petrol ECU added petrol time; more gas.
    double sign = (direction == 0) ? 1.0 : -1.0;
    mismatchMs_ -= sign * ms;
    if (petrolBaseMs_ > 0) gasTrim_ = std::max(0.1, gasTrim_ + sign * ms / petrolBaseMs_);
}

double EngineModel::petrolTime() {
    if (rpm_ <= 0) return 0;
    std::normal_distribution<double> noise(0.0, 0.004);
    double t = petrolBaseMs_ + noise(rng_);
    if (fuel_ == FuelState::Gas) t += mismatchMs_;
    return std::max(0.0, t);
}

}  // namespace gasecu::sim
