#include "link/remembered_port.h"

#include <fstream>

#include "app/form1korvane.h"
#include "platform/atomic_file_write.h"
#include "platform/long_path.h"

namespace gasecu {

namespace link {

namespace {
// A device name is a short path ("/dev/ttyUSB0", "COM4"); anything longer is not one.
constexpr std::size_t kLongestDeviceName = 255;
constexpr int kLastPort = 15;
}  // namespace

std::array<std::int16_t, 15> ScanOrderStartingAt(int first) {
    std::array<std::int16_t, 15> order{};
    std::size_t i = 0;
    if (first >= 1 && first <= kLastPort) order[i++] = static_cast<std::int16_t>(first);
    for (int n = 1; n <= kLastPort; ++n)
        if (n != first) order[i++] = static_cast<std::int16_t>(n);
    return order;
}

std::string ReadRememberedPortDevice(const std::filesystem::path& file) {
    std::ifstream in(LongPath(file), std::ios::binary);
    if (!in) return {};
    std::string line;
    // One character more than a name may have tells an oversized file.
    char c = 0;
    while (line.size() <= kLongestDeviceName && in.get(c) && c != '\n') line += c;
    if (line.size() > kLongestDeviceName) return {};
    if (!line.empty() && line.back() == '\r') line.pop_back();
    for (unsigned char ch : line)
        if (ch < 0x20 || ch == 0x7f) return {};
    return line;
}

std::string RememberedPortFileText(const std::string& device) { return device + "\r\n"; }

}  // namespace link

void Form1Korvane::PrepareScanOrder() {
    ScanPosition = 0;
    RememberedPortDevice.clear();
    int first = 0;
    if (env.portMemory != PortMemory::Off)
        RememberedPortDevice = link::ReadRememberedPortDevice(DataDirectory / link::kRememberedPortFileName);
    if (env.portMemory == PortMemory::ProbeFirstAndKeep && Iletisim && !RememberedPortDevice.empty()) {
        // The number the device has today: adapters plugged in since may have moved
        // it, and a device that is gone leaves the usual order.
        for (int n = 1; n <= link::kLastPort && !first; ++n)
            if (Iletisim->deviceName(n) == RememberedPortDevice) first = n;
    }
    ScanOrder = link::ScanOrderStartingAt(first);
}

bool Form1Korvane::RememberFoundPort() {
    if (env.portMemory == PortMemory::Off || LinkDeviceName.empty()) return true;
    if (LinkDeviceName == RememberedPortDevice) return true;  // kept already: no needless write
    if (!WriteFileAtomically(DataDirectory / link::kRememberedPortFileName,
                             link::RememberedPortFileText(LinkDeviceName)))
        return false;
    RememberedPortDevice = LinkDeviceName;
    return true;
}

}  // namespace gasecu
