// The history command's door: finds this tool's history file as the window does
// (program directory, else the per-user data directory) and prints what
// RunHistoryOn gives.
#include <QCoreApplication>
#include <cstdio>

#include "cli/commands.h"
#include "cli/history_command.h"
#include "curve/curve_file_io.h"
#include "runtime/user_data_folder.h"

namespace gasecu::cli {

int RunHistory(const Options& options) {
    const auto programDirectory = curve::PathFromUtf8(QCoreApplication::applicationDirPath().toStdString());
    const auto file = FindHistoryFile(
        programDirectory, InstalledDataDirectoryFor(programDirectory), UserDataFolder());
    const HistoryOutput output = RunHistoryOn(file, options);
    std::fputs(output.out.c_str(), stdout);
    std::fputs(output.err.c_str(), stderr);
    return output.status;
}

}  // namespace gasecu::cli
