#include "window/startup_figures.h"

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace gasecu::qt {

double MillisecondsSinceProcessStart() {
    // Field 22 of /proc/self/stat: the start time in clock ticks since boot.
    std::ifstream in("/proc/self/stat");
    std::string stat;
    if (!std::getline(in, stat)) return -1;
    auto close = stat.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    for (int i = 3; i <= 22 && fields >> field; ++i) {
        if (i != 22) continue;
        long ticksPerSecond = sysconf(_SC_CLK_TCK);
        timespec now{};
        if (ticksPerSecond <= 0 || clock_gettime(CLOCK_BOOTTIME, &now) != 0) return -1;
        double startMs = std::strtod(field.c_str(), nullptr) * 1000.0 / static_cast<double>(ticksPerSecond);
        return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6 - startMs;
    }
    return -1;
}

long ResidentKilobytes() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

}  // namespace gasecu::qt
