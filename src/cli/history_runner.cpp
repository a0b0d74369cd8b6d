// The history command's door: this tool's folders, and what RunHistoryFor gives
// printed.
#include <QCoreApplication>
#include <cerrno>
#include <cstdio>

#include "cli/commands.h"
#include "cli/history_command.h"
#include "curve/curve_file_io.h"
#include "runtime/user_data_folder.h"

namespace gasecu::cli {

int PrintCommandOutput(const HistoryOutput& output, std::FILE* out, std::FILE* err, int* outputError) {
    // The cause is taken when the write fails: by the final check the buffer may
    // be empty and the stream's error mark is all that is left of it.
    errno = 0;
    if (std::fputs(output.out.c_str(), out) == EOF && outputError && *outputError == 0) *outputError = errno;
    std::fputs(output.err.c_str(), err);
    return output.status;
}

int RunHistory(const Options& options, int* outputError) {
    const auto programDirectory = curve::PathFromUtf8(QCoreApplication::applicationDirPath().toStdString());
    const HistoryOutput output = RunHistoryFor(
        programDirectory, InstalledDataDirectoryFor(programDirectory), UserDataFolder(), options);
    return PrintCommandOutput(output, stdout, stderr, outputError);
}

}  // namespace gasecu::cli
