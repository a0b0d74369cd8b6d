// The history command's door: this tool's folders, and what RunHistoryFor gives
// printed.
#include <QCoreApplication>
#include <QStandardPaths>
#include <cstdio>

#include "cli/commands.h"
#include "cli/history_command.h"
#include "curve/curve_file_io.h"

namespace gasecu::cli {

int RunHistory(const Options& options) {
    const auto programDirectory = curve::PathFromUtf8(QCoreApplication::applicationDirPath().toStdString());
    const HistoryOutput output = RunHistoryFor(
        programDirectory, InstalledDataDirectoryFor(programDirectory),
        curve::PathFromUtf8(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString()), options);
    std::fputs(output.out.c_str(), stdout);
    std::fputs(output.err.c_str(), stderr);
    return output.status;
}

}  // namespace gasecu::cli
