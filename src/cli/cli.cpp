#include "cli/cli.h"

#include <QCoreApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/headless_session.h"
#include "platform/program_arguments.h"

namespace gasecu::cli {

namespace {

constexpr const char* kProgram = "gasecu";

void PrintUsageError(const std::string& error) {
    std::fprintf(stderr, "%s: %s\nUsage: %s COMMAND [options]; \"%s help\" lists the commands and options.\n",
                 kProgram, error.c_str(), kProgram, kProgram);
}

}  // namespace

bool IsCommand(const char* word) {
    if (!word) return false;
    const std::string_view w(word);
    return w == "help" || FindCommand(Commands(), w) != nullptr;
}

void PrintHelp(std::FILE* out) { std::fputs(HelpText(Commands(), kProgram).c_str(), out); }

int RunCommand(int argc, char** argv) {
    const std::vector<std::string> arguments = ProgramArguments(argc, argv);
    ParseResult parsed = ParseCommandLine(Commands(), arguments);
    if (!parsed.options) {
        PrintUsageError(parsed.error);
        return kExitBadUsage;
    }
    const Options& options = *parsed.options;
    if (options.help) {
        PrintHelp(stdout);
        return kExitDone;
    }
    const Command* command = FindCommand(Commands(), options.command);
    if (command->validate) {
        std::string message;
        if (int status = command->validate(options, message); status != kExitDone) {
            if (status == kExitBadUsage) PrintUsageError(message);
            else std::fprintf(stderr, "%s: %s\n", kProgram, message.c_str());
            return status;
        }
    }

    // No widgets and no display: timers, the serial port and the event loop only.
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("gasecu"));
    QCoreApplication::setApplicationVersion(QStringLiteral(GASECU_VERSION));
    HeadlessSession session(options);
    return command->run(session, options);
}

}  // namespace gasecu::cli
