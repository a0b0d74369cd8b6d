// The sync commands' door: the data directory the history command uses, the
// local time of the sync, and what RunSyncOn / RunServerInitOn give.
#include <QCoreApplication>
#include <QDateTime>
#include <cstdio>

#include "cli/commands.h"
#include "cli/history_command.h"
#include "cli/sync_command.h"
#include "curve/curve_file_io.h"
#include "runtime/user_data_folder.h"

namespace gasecu::cli {

namespace {

std::filesystem::path DataDirectory() {
    const auto programDirectory = curve::PathFromUtf8(QCoreApplication::applicationDirPath().toStdString());
    return FindHistoryFile(programDirectory, InstalledDataDirectoryFor(programDirectory),
                           UserDataFolder())
        .parent_path();
}

}  // namespace

int RunSync(const Options& options, int* outputError) {
    const std::string now = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")).toStdString();
    return PrintCommandOutput(RunSyncOn(DataDirectory(), options, now), stdout, stderr, outputError);
}

int RunServerInit(const Options& options, int* outputError) {
    return PrintCommandOutput(RunServerInitOn(DataDirectory(), options), stdout, stderr, outputError);
}

}  // namespace gasecu::cli
