#pragma once
// The headless service commands ("gasecu scan", "gasecu live", ...): the same form
// and handlers without a window, for scripts and for checking an adapter.
#include <cstdio>
#include <string_view>

namespace gasecu::cli {

// True when the word names a command (the first argument of the program).
bool IsCommand(const char* word);
// True when the first word of the command line starts the window: an option of
// the window ("--port", "--simulate", "--help", ...) or of the window toolkit
// ("-platform", "-style", ...). Every other word must be a command.
bool StartsTheWindow(std::string_view firstWord);
// A first word that is neither a command nor an option of the window: says so on
// standard error with the list of commands and returns the usage error status.
// Answered before any window system is asked for a display, so a mistyped command
// over ssh gets its answer instead of an abort.
int RefuseUnknownCommand(std::string_view word);
// Runs the command in argv[1]; returns the process exit code.
int RunCommand(int argc, char** argv);
// Writes the commands' usage and options.
void PrintHelp(std::FILE* out);

}  // namespace gasecu::cli
