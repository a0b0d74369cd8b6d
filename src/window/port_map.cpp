#include "window/port_map.h"

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
    return error ? DevicePath(device) : canonical.string();
}

}  // namespace

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
    if (onWindows) return "COM" + std::to_string(number);
    const auto devices = PortDeviceList(explicitDevices, detectedDevices);
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
