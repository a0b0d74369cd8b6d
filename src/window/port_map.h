#pragma once
// Which serial device stands behind each of the window's port numbers 1..15.
// On Windows the numbers are the COM ports themselves. Elsewhere there are no COM
// numbers, so the devices the fitter names with --port come first (in the order
// given), then the serial devices the system reports, sorted by their path so the
// numbering does not change from one scan to the next. A device is listed once.
// Plain C++, so the numbering rules are testable without Qt or a device.
#include <string>
#include <vector>

namespace gasecu {

inline constexpr int kFirstPortNumber = 1;
inline constexpr int kLastPortNumber = 15;

// The devices behind the port numbers, number 1 first; at most 15 entries.
std::vector<std::string> PortDeviceList(const std::vector<std::string>& explicitDevices,
                                        const std::vector<std::string>& detectedDevices);

// The device for one port number, or "" when the number has none (it then fails to open).
// onWindows: "COM<number>" for 1..15, the lists are not used.
std::string PortDevice(int number, const std::vector<std::string>& explicitDevices,
                       const std::vector<std::string>& detectedDevices, bool onWindows);

// The devices named on the command line: "--port DEVICE" or "--port=DEVICE", repeatable.
std::vector<std::string> ExplicitPortDevices(const std::vector<std::string>& arguments);

}  // namespace gasecu
