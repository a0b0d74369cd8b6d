#include "runtime/port_map.h"
#include "curve/curve_file_io.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace gasecu {
namespace {

// A bare name ("ttyUSB0") means the device of that name under /dev.
std::string DevicePath(const std::string& device) {
    if (device.empty() || device.front() == '/') return device;
    return "/dev/" + device;
}

// Two spellings of one device (a /dev/serial/by-id link and its target) count once.
std::string SameDeviceKey(const std::string& device) {
    std::error_code error;
    const auto canonical = std::filesystem::weakly_canonical(DevicePath(device), error);
    return error ? DevicePath(device) : curve::Utf8FromPath(canonical);
}

// COM1..COM15 less the ports already named, after the named ones.
std::vector<std::string> WindowsPortList(const std::vector<std::string>& explicitDevices) {
    std::vector<std::string> devices;
    auto add = [&](std::string device) {
        if (device.empty() || devices.size() >= static_cast<std::size_t>(kLastPortNumber)) return;
        if (std::find(devices.begin(), devices.end(), device) != devices.end()) return;
        devices.push_back(std::move(device));
    };
    for (const auto& device : explicitDevices) add(WindowsPortName(device));
    for (int number = kFirstPortNumber; number <= kLastPortNumber; ++number) add("COM" + std::to_string(number));
    return devices;
}

}  // namespace

std::string WindowsPortName(const std::string& device) {
    std::string name = device;
    if (name.rfind("\\\\.\\", 0) == 0) name.erase(0, 4);
    if (name.size() > 3 && (name[0] == 'C' || name[0] == 'c') && (name[1] == 'O' || name[1] == 'o') &&
        (name[2] == 'M' || name[2] == 'm') &&
        std::all_of(name.begin() + 3, name.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return "COM" + name.substr(3);
    return device;
}

std::vector<std::string> PortDeviceList(const std::vector<std::string>& explicitDevices,
                                        const std::vector<std::string>& detectedDevices) {
    std::vector<std::string> detected = detectedDevices;
    std::sort(detected.begin(), detected.end());

    std::vector<std::string> devices;
    std::vector<std::string> keys;
    auto add = [&](const std::string& device) {
        if (device.empty() || devices.size() >= static_cast<std::size_t>(kLastPortNumber)) return;
        std::string key = SameDeviceKey(device);
        if (std::find(keys.begin(), keys.end(), key) != keys.end()) return;
        keys.push_back(std::move(key));
        devices.push_back(DevicePath(device));
    };
    for (const auto& device : explicitDevices) add(device);
    for (const auto& device : detected) add(device);
    return devices;
}

std::string PortDevice(int number, const std::vector<std::string>& explicitDevices,
                       const std::vector<std::string>& detectedDevices, bool onWindows) {
    if (number < kFirstPortNumber || number > kLastPortNumber) return {};
    if (onWindows && explicitDevices.empty()) return "COM" + std::to_string(number);
    const auto devices =
        onWindows ? WindowsPortList(explicitDevices) : PortDeviceList(explicitDevices, detectedDevices);
    const auto index = static_cast<std::size_t>(number - kFirstPortNumber);
    return index < devices.size() ? devices[index] : std::string{};
}

std::vector<std::string> ExplicitPortDevices(const std::vector<std::string>& arguments) {
    const std::string option = "--port";
    const std::string withValue = option + "=";
    std::vector<std::string> devices;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == option && i + 1 < arguments.size()) {
            devices.push_back(arguments[++i]);
        } else if (argument.rfind(withValue, 0) == 0 && argument.size() > withValue.size()) {
            devices.push_back(argument.substr(withValue.size()));
        }
    }
    return devices;
}

}  // namespace gasecu
