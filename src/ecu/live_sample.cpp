#include "ecu/live_sample.h"

#include <array>
#include <utility>

#include "app/number_format.h"

namespace gasecu::ecu {

namespace {

struct Column {
    const char* name;
    int decimals;
    double LiveSample::*value;
};

// The window's decimals: speed 0, pressure 2, temperatures 1, times 2.
constexpr std::array<Column, 7> kColumns{{
    {"time_ms", 1, &LiveSample::timeMs},
    {"engine_speed_rpm", 0, &LiveSample::engineSpeed},
    {"gas_pressure_bar", 2, &LiveSample::gasPressure},
    {"reducer_temperature_c", 1, &LiveSample::reducerTemperature},
    {"gas_temperature_c", 1, &LiveSample::gasTemperature},
    {"petrol_time_ms", 2, &LiveSample::petrolTime},
    {"gas_time_ms", 2, &LiveSample::gasTime},
}};
constexpr const char* kFuelColumn = "fuel";

}  // namespace

std::string FuelStateName(int fuelStatus) {
    switch (fuelStatus) {
        case 2:
        case 20: return "petrol";
        case 1: return "gas";
        case 3: return "changeover";
        default: return "unknown";
    }
}

std::string CsvHeader() {
    std::string line;
    for (const Column& c : kColumns) line += std::string(c.name) + ",";
    return line + kFuelColumn;
}

std::string CsvRow(const LiveSample& sample) {
    std::string line;
    for (const Column& c : kColumns) line += FormatFixed(sample.*c.value, c.decimals, '.') + ",";
    return line + FuelStateName(sample.fuelStatus);
}

std::string SampleLine(const LiveSample& sample) {
    std::string line;
    for (const Column& c : kColumns) line += std::string(c.name) + "=" + FormatFixed(sample.*c.value, c.decimals, '.') + " ";
    return line + kFuelColumn + "=" + FuelStateName(sample.fuelStatus);
}

}  // namespace gasecu::ecu
