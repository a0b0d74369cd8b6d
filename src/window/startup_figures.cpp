#include "window/startup_figures.h"

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

#ifdef _WIN32
#include "platform/windows_api.h"
#define PSAPI_VERSION 2  // GetProcessMemoryInfo from kernel32, no extra library
#include <psapi.h>
#else
#include <unistd.h>
#endif

namespace gasecu::qt {

#ifdef _WIN32

double MillisecondsSinceProcessStart() {
    FILETIME created{}, exited{}, kernel{}, user{}, now{};
    if (!::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user)) return -1;
    ::GetSystemTimeAsFileTime(&now);
    // Both in 100 ns steps.
    auto steps = [](const FILETIME& t) { return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return static_cast<double>(steps(now) - steps(created)) / 10000.0;
}

long ResidentKilobytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    if (!::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters)) return -1;
    return static_cast<long>(counters.WorkingSetSize / 1024);
}

#else

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

#endif

}  // namespace gasecu::qt
