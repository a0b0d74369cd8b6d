#pragma once
// What the window and the commands call where an operation ends: keep one restore
// point. A history that cannot be written (locked by another program, read-only,
// full, damaged) never stops the fitter's job: keep() says false, the caller shows
// that the record was not kept, and the next record tries again.
#include <filesystem>
#include <memory>
#include <string>

#include "history/history_record.h"

namespace gasecu::history {

class HistoryStore;

class RestorePoints {
public:
    virtual ~RestorePoints() = default;
    // False when the record could not be kept.
    virtual bool keep(const Record& record) = 0;
    // The label of the last record that had one, offered for the next job.
    virtual std::string lastLabel() = 0;
};

// Restore points in the history database file, opened for each record and closed
// again: no connection (and none of SQLite's locks) is held between two records.
// On POSIX a process's locks on a file go with any close of that file in the
// process (a file dialog reading the folder does it); a connection held open for
// the whole session would then let another program (a listing, a backup) take
// itself for the last user and delete the write-ahead log under it. Opened for
// each record, a database that was locked or full a minute ago may take the next.
class DatabaseRestorePoints final : public RestorePoints {
public:
    explicit DatabaseRestorePoints(std::filesystem::path file);
    ~DatabaseRestorePoints() override;
    bool keep(const Record& record) override;
    std::string lastLabel() override;
    // Why the last record was not kept ("" after a kept one).
    const std::string& lastError() const { return lastError_; }
    const std::filesystem::path& file() const { return file_; }

private:
    std::filesystem::path file_;
    std::string lastError_;
};

}  // namespace gasecu::history
