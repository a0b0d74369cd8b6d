#pragma once
// How the controller puts its sensor readings into bytes, the inverse of what the
// tool decodes: gas pressure through the pressure sensor's raw-byte table,
// temperatures as 256 - T x 10 / 4.07.
#include <cstdint>

namespace gasecu::sim {

// The raw byte whose table value is nearest to the pressure (the lowest such byte).
std::uint8_t PressureCode(double bar);
// 256 - round(T x 10 / 4.07), kept within 0..255.
std::uint8_t TemperatureCode(double celsius);

}  // namespace gasecu::sim
