#pragma once
// On Windows the tool is two programs from one source: gasecu.exe, the window,
// which Explorer and the Start menu start without a console, and gasecu.com, a
// console program, which cmd and PowerShell run for a bare "gasecu" (they try
// .com before .exe), so the commands print and return their exit status there.
// Typed in full ("gasecu.exe scan"), the window program still runs the command:
// it borrows the console of the cmd that started it, so its output shows; cmd
// does not wait for a window program, so its exit status is only seen with
// gasecu.com.
namespace gasecu {

#ifdef _WIN32
// Standard output and error to the parent's console when this program has none
// and they were not redirected. Nothing for a console program.
void UseTheParentConsole();
#else
inline void UseTheParentConsole() {}
#endif

}  // namespace gasecu
