#include "sensor_codes.h"

#include "ecu/pressure_table.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace gasecu::sim {

std::uint8_t PressureCode(double bar) {
    double hundredths = bar * 100;
    int best = 0;
    double bestError = 1e9;
    for (int raw = 0; raw < static_cast<int>(ecu::PressureTable.size()); ++raw) {
        double error = std::abs(ecu::PressureTable[raw] - hundredths);
        if (error < bestError) {
            bestError = error;
            best = raw;
        }
    }
    return static_cast<std::uint8_t>(best);
}

std::uint8_t TemperatureCode(double celsius) {
    double code = 256 - std::nearbyint(celsius * 10 / 4.07);
    return static_cast<std::uint8_t>(std::clamp(code, 0.0, 255.0));
}

}  // namespace gasecu::sim
