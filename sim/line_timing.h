#pragma once
// Time on the serial line at 38400 baud, 8N1: ten bit times per byte.
namespace gasecu::sim {

inline constexpr double kLineByteMs = 10.0 * 1000.0 / 38400.0;  // about 0.26 ms
// Gap after which the adapter's driver reports the line quiet (3.5 characters).
inline constexpr double kQuietLineMs = 3.5 * kLineByteMs;

}  // namespace gasecu::sim
