#pragma once
// The headless service commands ("gasecu scan", "gasecu live", ...): the same form
// and handlers without a window, for scripts and for checking an adapter.
#include <cstdio>

namespace gasecu::cli {

// True when the word names a command (the first argument of the program).
bool IsCommand(const char* word);
// Runs the command in argv[1]; returns the process exit code.
int RunCommand(int argc, char** argv);
// Writes the commands' usage and options.
void PrintHelp(std::FILE* out);

}  // namespace gasecu::cli
