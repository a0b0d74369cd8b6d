#pragma once
// The headless commands' command line: "gasecu COMMAND [options]". Plain C++ so
// that the parsing rules and the help text are testable without a Qt application.
//
// Adding a command: write its runner, then add one entry to the table in
// command_table.cpp with its name, usage line, summary and own options.
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace gasecu::cli {

// The process exit status of a command.
enum ExitStatus : int {
    kExitDone = 0,
    kExitBadUsage = 2,
    kExitNoEcu = 3,       // the scan found no ECU on any port
    kExitFileError = 4,   // a file name the window would refuse, a file that cannot be read or
                          // written, or a curve that cannot be written to the ECU
    kExitBadInput = 4,    // a setting value the window would refuse, refused before any port is opened
    kExitEcuSilent = 5,   // the ECU answered, then gave no reply for 5 s while one was awaited,
                          // or the link went before an exchange ended
    kExitCurveDiffers = 6,  // the curve read back from the ECU differs from the one written
    kExitReadBackDiffers = 6,  // a setting or fault record reads back other than written
    kExitCalibrationFault = 7,  // a calibration ended by a fault or without the petrol times agreeing
};

// Everything the command line can say, for every command.
struct Options {
    std::string command;
    // Devices the scan tries first (port numbers 1, 2, ... in the order given).
    std::vector<std::string> portDevices;
    bool simulate = false;          // the virtual ECU in process instead of a serial device
    std::optional<int> language;    // 0 Turkish, 1 English; unset: the stored choice
    bool trace = false;             // every frame on the line, with its time
    bool help = false;
    long count = 0;                 // live: samples to take; 0 until interrupted
    std::string csvPath;            // live: where the samples go as CSV ("-": standard output)
    std::string outputPath;         // read-curve, calibrate: the curve file
    std::string inputPath;          // write-curve: the curve file
    bool noVerify = false;          // write-curve: no read back after the write
    bool noBackupRead = false;      // write-curve, calibrate --upload: no read of the ECU's curve before the write
    std::vector<std::string> assignments;  // set: NAME=VALUE, in the order given
    bool clear = false;             // faults: clear the records first
    bool yes = false;               // factory-reset: the fitter's answer to the window's question
    std::string referencePath;      // calibrate: the factory reference curve instead of ORJ.DAT
    bool upload = false;            // calibrate: write the rescaled curve to the ECU
    // The job label the records of this run carry; history: the label to look for.
    std::optional<std::string> label;
    std::vector<std::string> historyWords;  // history: "show ID" or "export ID"
    std::string historyKind;                // history: --kind
    int historyLimit = 0;                   // history: --limit (0: all)
    bool historyCsv = false;                // history: --csv
    std::string historyLaptop;              // history: --laptop (only that laptop's records)
    std::string serverUri;                  // server-init, sync: --uri (else the "Sunucu" file's)
    long speedWaitSeconds = 120;    // calibrate: longest wait for the engine to reach 2000 rpm
};

class HeadlessSession;
using Runner = int (*)(HeadlessSession& session, const Options& options);

// One option: "--name VALUE", "--name=VALUE" or a flag without value.
struct OptionInfo {
    std::string_view name;       // "--count"
    std::string_view alias;      // "-o", or empty
    std::string_view valueName;  // "N"; empty for a flag
    std::string_view help;
    // Stores the value; returns an error text, empty when the value is fine.
    std::string (*apply)(Options& options, std::string_view value);
    // May be given more than once (--port). Any other option with a value given
    // twice is a usage error: which of the two the fitter meant is not ours to guess.
    bool repeatable = false;
};

struct Command {
    std::string_view name;
    std::string_view arguments;  // the command's own part of the usage line
    std::string_view summary;
    std::vector<OptionInfo> options;
    // Checks made before anything is opened; returns an exit status other than
    // kExitDone with a message to refuse the command.
    int (*validate)(const Options& options, std::string& message) = nullptr;
    Runner run = nullptr;
    // Takes the one word that is not an option (a file); null when the command has none.
    std::string (*positional)(Options& options, std::string_view value) = nullptr;
    // Several such words, each to the function above ("set coils=4 advance=1.25").
    bool repeatsPositional = false;
    // A command that needs no ECU and no form (history): run instead of `run`.
    int (*runWithoutEcu)(const Options& options, int* outputError) = nullptr;
};

// The options every command takes.
std::span<const OptionInfo> CommonOptions();
// The commands of the program.
std::span<const Command> Commands();
const Command* FindCommand(std::span<const Command> commands, std::string_view name);

struct ParseResult {
    std::optional<Options> options;  // empty on a usage error
    std::string error;
};

// arguments: everything after the program name, the command first.
ParseResult ParseCommandLine(std::span<const Command> commands, const std::vector<std::string>& arguments);

// The usage and option list of every command (or of one), for --help and usage errors.
std::string HelpText(std::span<const Command> commands, std::string_view programName);

}  // namespace gasecu::cli
