#pragma once
// The window's data log: the live values of every live reply, one CSV row each,
// with the columns of the headless "live --csv" command and the date and time of
// the reply in front. A recording is written under a temporary name beside its
// final one and takes the final name when it ends, so a file with the final name
// is always a finished recording and a crash leaves the temporary file behind,
// never nothing.
#include <filesystem>
#include <memory>
#include <string>

#include "ecu/live_sample.h"
#include "platform/clock.h"
#include "platform/line_file.h"

namespace gasecu::ecu {

// "gasecu_log_2026-12-09_01-23-45.csv" for a recording started at that moment.
std::string LiveLogFileName(LocalTimeMs started);
// "2026-12-09 01:23:45.500": read as a date and time by spreadsheets.
std::string LiveLogTimeStamp(LocalTimeMs at);
// "time," and the live command's CSV heading.
std::string LiveLogHeader();
std::string LiveLogRow(LocalTimeMs at, const LiveSample& sample);
// What a recording's file is called while it is written.
std::filesystem::path LiveLogTemporaryPath(const std::filesystem::path& finalPath);

class LiveLogFile {
public:
    // Creates the recording's file in `directory` under its temporary name and
    // writes the heading. The name carries the start's date and time, with "_2",
    // "_3" ... when a recording of the same second is there already (the rename at
    // the end must never overwrite one). Null when no file can be created.
    static std::unique_ptr<LiveLogFile> Create(const std::filesystem::path& directory, LocalTimeMs started,
                                               const LineFileOpener& open);

    // One row; false when it could not be written (the file is then closed and
    // keeps the rows before it).
    bool append(LocalTimeMs at, const LiveSample& sample);
    // Closes the file and gives it its final name; false when the rows could not
    // be kept under that name (the temporary file stays, if it still exists).
    bool finish();

    const std::filesystem::path& finalPath() const { return final_; }
    const std::filesystem::path& temporaryPath() const { return temporary_; }
    long rows() const { return rows_; }
    bool failed() const { return failed_; }

private:
    LiveLogFile(std::unique_ptr<LineFile> file, std::filesystem::path finalPath, std::filesystem::path temporary);

    std::unique_ptr<LineFile> file_;
    std::filesystem::path final_, temporary_;
    long rows_ = 0;
    bool failed_ = false;
};

}  // namespace gasecu::ecu
