#pragma once
// The headless service commands ("gasecu scan", "gasecu live", ...): the same form
// and handlers without a window, for scripts and for checking an adapter.
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gasecu::cli {

class HeadlessSession;
struct Options;
struct SessionSurroundings;

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
// The window was asked for where there is no display: says on standard error
// that the window needs one and names the commands that run without it, in the
// language given (0 Turkish, 1 English; none: the one the window keeps), and
// returns the usage error status. Needs an application object.
int RefuseWindowWithoutDisplay(std::optional<int> language);
// Runs the command in argv[1]; returns the process exit code.
int RunCommand(int argc, char** argv);
// The session a command runs in: the program makes its own on Qt's loop; the
// tests make one on the virtual-time runner and a virtual port.
using SessionMaker =
    std::function<std::unique_ptr<HeadlessSession>(const Options& options, const SessionSurroundings& surroundings)>;
// A command line after the program name, run as RunCommand runs it, on the given
// surroundings and in a session from makeSession (an application object must
// exist when the session needs one). Returns the exit status.
int RunCommandLine(const std::vector<std::string>& arguments, const SessionSurroundings& surroundings,
                   const SessionMaker& makeSession);
// Writes the commands' usage and options.
void PrintHelp(std::FILE* out);

}  // namespace gasecu::cli
