#include "cli/cli.h"

#include <QCoreApplication>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/stored_language.h"
#include "cli/command_line.h"
#include "cli/headless_session.h"
#include "platform/program_arguments.h"

namespace gasecu::cli {

namespace {

constexpr const char* kProgram = "gasecu";

void PrintUsageError(std::FILE* err, const std::string& error) {
    std::fprintf(err, "%s: %s\nUsage: %s COMMAND [options]; \"%s help\" lists the commands and options.\n",
                 kProgram, error.c_str(), kProgram, kProgram);
}

// The language stored by the window, read where the session's form would read it.
int StoredLanguage(const SessionSurroundings& surroundings) {
    FormEnvironment env;
    env.programDirectory = surroundings.programDirectory;
    env.installedDataDirectory = surroundings.installedDataDirectory;
    env.userDataDirectory = surroundings.userDataDirectory;
    return StoredLanguageIndex(env);
}

// A usage error or the help, answered before anything else is made; nothing when
// the command is to run.
// *outputError: why the help could not be written, when it could not.
std::optional<int> AnswerWithoutRunning(const ParseResult& parsed, std::FILE* out, std::FILE* err, int* outputError) {
    if (!parsed.options) {
        PrintUsageError(err, parsed.error);
        return kExitBadUsage;
    }
    if (parsed.options->help) {
        errno = 0;
        PrintHelp(out);
        if (std::ferror(out)) *outputError = errno;
        return kExitDone;
    }
    return std::nullopt;
}

// Results that never reached standard output (a full disk under "> jobs.csv",
// /dev/full, a closed descriptor) are no success: a script would take the cut
// or empty output for the whole. Whatever is still buffered is written now, and
// a stream that failed at any time ends the run with exit 4 and the cause.
// earlierError: the errno of a result line that failed on its way (0: none).
int CheckedOutput(int status, std::FILE* out, std::FILE* err, bool turkish, int earlierError = 0) {
    errno = 0;
    const bool flushed = std::fflush(out) == 0;
    const int cause = earlierError ? earlierError : flushed ? 0 : errno;
    if (flushed && !std::ferror(out)) return status;
#ifdef EDQUOT
    const bool full = cause == ENOSPC || cause == EDQUOT;
#else
    const bool full = cause == ENOSPC;  // Windows has no quota error of its own
#endif
    std::fprintf(err, "%s: %s%s\n", kProgram,
                 turkish ? "SONUÇLAR STANDART ÇIKTIYA YAZILAMADI : " : "RESULTS NOT WRITTEN TO STANDARD OUTPUT : ",
                 full ? (turkish ? "DİSK DOLU !" : "DISK FULL !") : (turkish ? "YAZMA HATASI !" : "WRITE ERROR !"));
    std::fflush(err);
    return status == kExitDone ? kExitFileError : status;
}

bool InTurkish(const Options& options, const SessionSurroundings& surroundings) {
    return options.language.value_or(StoredLanguage(surroundings)) == 0;
}

// A word as typed, safe to print: control characters and bytes that are not
// UTF-8 shown as \xNN.
std::string Printable(std::string_view word) {
    std::string out;
    std::size_t i = 0;
    while (i < word.size()) {
        const auto byte = static_cast<unsigned char>(word[i]);
        // The length a UTF-8 sequence starting with this byte has (0: none does).
        const std::size_t length = byte < 0x80           ? 1
                                   : (byte >> 5) == 0x6  ? 2
                                   : (byte >> 4) == 0xE  ? 3
                                   : (byte >> 3) == 0x1E ? 4
                                                         : 0;
        bool valid = length > 0 && i + length <= word.size() && !(length == 1 && (byte < 0x20 || byte == 0x7F));
        for (std::size_t k = 1; valid && k < length; ++k)
            valid = (static_cast<unsigned char>(word[i + k]) & 0xC0) == 0x80;
        if (valid) {
            out.append(word.substr(i, length));
            i += length;
            continue;
        }
        static const char kHex[] = "0123456789ABCDEF";
        out += "\\x";
        out += kHex[byte >> 4];
        out += kHex[byte & 0xF];
        ++i;
    }
    return out;
}

}  // namespace

bool StartsTheWindow(std::string_view word) {
    // The window's own options, then those the toolkit takes for any program
    // (one dash or two, a value after '=' or in the next word).
    static constexpr std::string_view kWindow[] = {"port", "simulate", "lang", "benchmark-startup",
                                                   "grab-once-linked", "h", "help", "v", "version"};
    static constexpr std::string_view kToolkit[] = {
        "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowicon",
        "qwindowtitle", "reverse", "session", "style", "stylesheet", "widgetcount", "display", "geometry", "name",
        "title", "visual", "ncols", "cmap", "nograb", "dograb", "sync", "qmljsdebugger", "fontengine",
        "qwindowscreen"};
    if (!word.starts_with("-")) return false;
    std::string_view name = word.substr(word.starts_with("--") ? 2 : 1);
    if (const auto equals = name.find('='); equals != std::string_view::npos) name = name.substr(0, equals);
    for (std::string_view option : kWindow)
        if (name == option) return true;
    for (std::string_view option : kToolkit)
        if (name == option) return true;
    return false;
}

namespace {
// "scan, live, ..., help": every command word.
std::string CommandList() {
    std::string commands;
    for (const Command& command : Commands()) commands += std::string(command.name) + ", ";
    return commands + "help";
}
}  // namespace

int RefuseUnknownCommand(std::string_view word) {
    PrintUsageError(stderr, "unknown command '" + Printable(word) + "'; the commands are " + CommandList() +
                    "; without a command (or with --port, --simulate) the window starts");
    return kExitBadUsage;
}

int RefuseWindowWithoutDisplay(std::optional<int> language) {
    const int chosen = language ? *language : StoredLanguage(ProgramSurroundings());
    const std::string commands = CommandList();
    if (chosen == 0)
        std::fprintf(stderr,
                     "%s: pencere için bir ekran gerekir, burada ekran yok (DISPLAY ve WAYLAND_DISPLAY boş).\n"
                     "Ekransız çalışan komutlar: %s\n\"%s help\" komutları ve seçeneklerini listeler.\n",
                     kProgram, commands.c_str(), kProgram);
    else
        std::fprintf(stderr,
                     "%s: the window needs a display and there is none here (DISPLAY and WAYLAND_DISPLAY are empty).\n"
                     "These commands run without one: %s\n\"%s help\" lists the commands and their options.\n",
                     kProgram, commands.c_str(), kProgram);
    return kExitBadUsage;
}

bool IsCommand(const char* word) {
    if (!word) return false;
    const std::string_view w(word);
    return w == "help" || FindCommand(Commands(), w) != nullptr;
}

void PrintHelp(std::FILE* out) { std::fputs(HelpText(Commands(), kProgram).c_str(), out); }

namespace {

// *outputError: why a result line could not be written, when one could not.
int RunParsedCommand(const Options& options, const SessionSurroundings& surroundings, const SessionMaker& makeSession,
                     int* outputError) {
    const Command* command = FindCommand(Commands(), options.command);
    if (command->validate) {
        // The checks speak the fitter's language before the session reads it:
        // --lang, else the choice the window keeps.
        Options checked = options;
        if (!checked.language) checked.language = StoredLanguage(surroundings);
        std::string message;
        if (int status = command->validate(checked, message); status != kExitDone) {
            if (status == kExitBadUsage) PrintUsageError(surroundings.err, message);
            else std::fprintf(surroundings.err, "%s: %s\n", kProgram, message.c_str());
            return status;
        }
    }
    if (command->runWithoutEcu) {
        // Its messages in the fitter's language, as the checks above give theirs.
        Options own = options;
        if (!own.language) own.language = StoredLanguage(surroundings);
        return command->runWithoutEcu(own, outputError);
    }
    const std::unique_ptr<HeadlessSession> session = makeSession(options, surroundings);
    const int status = command->run(*session, options);
    *outputError = session->outputError();
    return status;
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& arguments, const SessionSurroundings& surroundings,
                   const SessionMaker& makeSession) {
    const ParseResult parsed = ParseCommandLine(Commands(), arguments);
    int outputError = 0;
    if (auto status = AnswerWithoutRunning(parsed, surroundings.out, surroundings.err, &outputError))
        return CheckedOutput(*status, surroundings.out, surroundings.err,
                             parsed.options && InTurkish(*parsed.options, surroundings), outputError);
    const int status = RunParsedCommand(*parsed.options, surroundings, makeSession, &outputError);
    return CheckedOutput(status, surroundings.out, surroundings.err, InTurkish(*parsed.options, surroundings),
                         outputError);
}

int RunCommand(int argc, char** argv) {
    const std::vector<std::string> arguments = ProgramArguments(argc, argv);
    const ParseResult parsed = ParseCommandLine(Commands(), arguments);
    // No widgets and no display: timers, the serial port and the event loop only.
    // Made before the help is answered too: the stored language the help's
    // failure is told in is found through the program's folder.
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("gasecu"));
    QCoreApplication::setApplicationVersion(QStringLiteral(GASECU_VERSION));
    const SessionSurroundings surroundings = ProgramSurroundings();
    int outputError = 0;
    if (auto status = AnswerWithoutRunning(parsed, stdout, stderr, &outputError))
        return CheckedOutput(*status, stdout, stderr, parsed.options && InTurkish(*parsed.options, surroundings),
                             outputError);

    const int status = RunParsedCommand(
        *parsed.options, surroundings,
        [](const Options& options, const SessionSurroundings& surroundings) {
            return std::make_unique<HeadlessSession>(options, surroundings);
        },
        &outputError);
    return CheckedOutput(status, stdout, stderr, InTurkish(*parsed.options, surroundings), outputError);
}

}  // namespace gasecu::cli
