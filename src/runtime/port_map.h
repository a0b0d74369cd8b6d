#pragma once
// Which serial device stands behind each of the window's port numbers 1..15.
// The devices the fitter names with --port come first (in the order given). On
// Windows the other numbers are the COM ports themselves: COM1..COM15 when none is
// named, else the COM ports not named, in rising order ("--port COM17" makes
// COM17 the first port and COM1..COM14 the others). Elsewhere there are no COM
// numbers: the named devices are followed by the serial devices the system
// reports, sorted by their path so the numbering does not change from one scan to
// the next. A device is listed once.
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
// onWindows: the COM ports as above; the detected list is not used.
std::string PortDevice(int number, const std::vector<std::string>& explicitDevices,
                       const std::vector<std::string>& detectedDevices, bool onWindows);

// A COM port as Windows opens it: "com7", "COM7" and "\\.\COM7" are all "COM7";
// any other name is kept as given (it then fails to open, as a wrong name should).
std::string WindowsPortName(const std::string& device);

// The devices named on the command line: "--port DEVICE" or "--port=DEVICE", repeatable.
std::vector<std::string> ExplicitPortDevices(const std::vector<std::string>& arguments);

}  // namespace gasecu
