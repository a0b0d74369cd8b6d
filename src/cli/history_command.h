#pragma once
// gasecu history: the restore points listed, one shown, one exported as a curve
// file. The work takes the database file and gives its output as text, so that it
// is testable without a Qt application or a process.
#include <cstdio>
#include <filesystem>
#include <string>

#include "cli/command_line.h"

namespace gasecu::cli {

// What a history command printed and its exit status.
struct HistoryOutput {
    int status = kExitDone;
    std::string out;  // standard output
    std::string err;  // standard error
};

// Prints the output; *outputError gets the cause of a failed write to `out`
// (unless it already holds one).
int PrintCommandOutput(const HistoryOutput& output, std::FILE* out, std::FILE* err, int* outputError);

// Runs the history command on the database `file` (which may not exist: an empty
// history).
HistoryOutput RunHistoryOn(const std::filesystem::path& file, const Options& options);

// The history file of this tool: the one in the data directory that the window
// and the jobs choose (see WriteDefaultCurveAndChooseDataDirectory), so that the
// listing reads the file the records go into.
std::filesystem::path FindHistoryFile(const std::filesystem::path& programDirectory,
                                      const std::filesystem::path& installedDataDirectory,
                                      const std::filesystem::path& userDataDirectory);

// The history command as the program runs it: on FindHistoryFile's file, named
// first on standard error.
HistoryOutput RunHistoryFor(const std::filesystem::path& programDirectory,
                            const std::filesystem::path& installedDataDirectory,
                            const std::filesystem::path& userDataDirectory, const Options& options);

}  // namespace gasecu::cli
