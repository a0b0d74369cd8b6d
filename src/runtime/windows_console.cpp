#include "runtime/windows_console.h"

#include "platform/windows_api.h"

#include <cstdio>

namespace gasecu {
namespace {

// A window program's standard handle is null unless the caller redirected it
// ("gasecu.exe scan > ports.txt"): a redirected handle stays where it points.
bool Unset(DWORD which) {
    const HANDLE handle = ::GetStdHandle(which);
    return handle == nullptr || handle == INVALID_HANDLE_VALUE;
}

}  // namespace

void UseTheParentConsole() {
    if (::GetConsoleWindow() != nullptr) return;  // gasecu.com, or a console already
    const bool out = Unset(STD_OUTPUT_HANDLE);
    const bool err = Unset(STD_ERROR_HANDLE);
    if (!out && !err) return;
    if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return;  // started from Explorer: nowhere to print
    if (out && std::freopen("CONOUT$", "w", stdout)) std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (err && std::freopen("CONOUT$", "w", stderr)) std::setvbuf(stderr, nullptr, _IONBF, 0);
}

}  // namespace gasecu
