// The computer's name from the system.
#include "platform/host_name.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace gasecu {

std::string HostName() {
#ifdef _WIN32
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (GetComputerNameW(name, &size) && size > 0) {
        const int bytes = WideCharToMultiByte(CP_UTF8, 0, name, static_cast<int>(size), nullptr, 0, nullptr, nullptr);
        std::string utf8(static_cast<std::size_t>(bytes), '\0');
        WideCharToMultiByte(CP_UTF8, 0, name, static_cast<int>(size), utf8.data(), bytes, nullptr, nullptr);
        if (!utf8.empty()) return utf8;
    }
#else
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) == 0 && name[0] != '\0') return name;
#endif
    return "laptop";
}

}  // namespace gasecu
