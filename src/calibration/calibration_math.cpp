#include "calibration/calibration_math.h"

#include <algorithm>
#include <cmath>

#include "app/number_format.h"

namespace gasecu::calibration {

double PetrolTimeDifference(double onPetrol, double onGas) {
    return RoundHalfEven(std::fabs(onGas - onPetrol) * 10000.0) / 10000.0;
}

double CorrectionStepsFor(double difference, double onPetrol, double onGas) {
    // A difference of exactly 1.04 ms is a full command too (the ECU would otherwise
    // get whatever count the previous iteration left).
    if (difference >= kLargestCorrectionMs) return onPetrol < onGas ? 255 : 1;
    const double steps = std::floor(difference / kCorrectionStepMs);
    return std::min(steps, 255.0);
}

double PressureValue(double bar) { return bar * 100.0; }

double TemperatureCode(double celsius) { return 256.0 - RoundHalfEven(celsius * 10.0 / 4.07); }

double BandMultiplier(int row) {
    static constexpr double kMultipliers[] = {1.00, 1.04, 1.08, 1.12, 1.16, 1.20};
    return row >= 3 && row <= 8 ? kMultipliers[row - 3] : 1.0;
}

void ScaleBands(CurveRows& table, double startRatio, double nowRatio) {
    for (int row = 3; row <= 8; ++row) {
        const double factor = startRatio * BandMultiplier(row) / nowRatio;
        for (int p = 1; p <= 18; ++p)
            table[row][p] = std::clamp(RoundHalfEven(factor * table[row][p]), -32768.0, 32767.0) + 0.0;
    }
}

}  // namespace gasecu::calibration
