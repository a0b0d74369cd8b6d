// The sync commands' door: the data directory the history command uses, the
// local time of the sync, and what RunSyncOn / RunServerInitOn give.
#include <QCoreApplication>
#include <QDateTime>
#include <QStandardPaths>
#include <cstdio>

#include "cli/commands.h"
#include "cli/history_command.h"
#include "cli/sync_command.h"
#include "curve/curve_file_io.h"

namespace gasecu::cli {

namespace {

std::filesystem::path DataDirectory() {
    const auto programDirectory = curve::PathFromUtf8(QCoreApplication::applicationDirPath().toStdString());
    return FindHistoryFile(programDirectory, InstalledDataDirectoryFor(programDirectory),
                           curve::PathFromUtf8(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString()))
        .parent_path();
}

int Print(const HistoryOutput& output) {
    std::fputs(output.out.c_str(), stdout);
    std::fputs(output.err.c_str(), stderr);
    return output.status;
}

}  // namespace

int RunSync(const Options& options) {
    const std::string now = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")).toStdString();
    return Print(RunSyncOn(DataDirectory(), options, now));
}

int RunServerInit(const Options& options) { return Print(RunServerInitOn(DataDirectory(), options)); }

}  // namespace gasecu::cli
