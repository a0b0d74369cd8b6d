#pragma once
// What the window and the commands call where an operation ends: keep one restore
// point. A history that cannot be written (locked by another program, read-only,
// full, damaged) never stops the fitter's job: keep() says false, the caller shows
// that the record was not kept, and the next record tries again.
#include <cstdint>
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
    // The number the last kept record got, for another record to name it; 0 when
    // not known.
    virtual std::int64_t lastKeptNumber() const { return 0; }
};

// Restore points in the history database file. The file is opened at the first
// record, and again at the next one after any failure: a database that was locked
// or full a minute ago may take the next record.
class DatabaseRestorePoints final : public RestorePoints {
public:
    explicit DatabaseRestorePoints(std::filesystem::path file);
    ~DatabaseRestorePoints() override;
    bool keep(const Record& record) override;
    std::string lastLabel() override;
    std::int64_t lastKeptNumber() const override { return lastKept_; }
    // Why the last record was not kept ("" after a kept one).
    const std::string& lastError() const { return lastError_; }
    const std::filesystem::path& file() const { return file_; }

private:
    bool ensureOpen();
    std::filesystem::path file_;
    std::unique_ptr<HistoryStore> store_;
    std::string lastError_;
    std::int64_t lastKept_ = 0;
};

}  // namespace gasecu::history
