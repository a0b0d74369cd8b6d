#pragma once
// One live sample as the headless "live" command prints it and as both that command
// and the window's data log write it to CSV: the values the window shows in its
// text boxes, taken from the form's numeric fields and written with a point as
// decimal separator whatever the user's locale says, so that a CSV file reads the
// same on every PC.
#include <string>

namespace gasecu::ecu {

struct LiveSample {
    double timeMs = 0;  // since the command (or the recording) started
    double engineSpeed = 0, gasPressure = 0, reducerTemperature = 0, gasTemperature = 0;
    double petrolTime = 0, gasTime = 0;
    int fuelStatus = -1;  // byte 2 of the reply; -1: none
};

// "petrol" (2 or 20), "gas" (1), "changeover" (3), otherwise "unknown".
std::string FuelStateName(int fuelStatus);

std::string CsvHeader();
// One row, the values with the decimals the window shows.
std::string CsvRow(const LiveSample& sample);
// One line for a reader: "time_ms=... engine_speed_rpm=... ...".
std::string SampleLine(const LiveSample& sample);

}  // namespace gasecu::ecu
