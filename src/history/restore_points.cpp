// Restore points kept in the history database, reopened after every failure.
#include "history/restore_points.h"

#include "history/history_store.h"

namespace gasecu::history {

DatabaseRestorePoints::DatabaseRestorePoints(std::filesystem::path file) : file_(std::move(file)) {}
DatabaseRestorePoints::~DatabaseRestorePoints() = default;

bool DatabaseRestorePoints::ensureOpen() {
    if (!store_) store_ = HistoryStore::Open(file_, &lastError_);
    return store_ != nullptr;
}

bool DatabaseRestorePoints::keep(const Record& record) {
    lastKept_ = 0;
    if (!ensureOpen()) return false;
    if (const auto number = store_->add(record, &lastError_)) {
        lastError_.clear();
        lastKept_ = *number;
        return true;
    }
    // Whatever went wrong (a lock, a full disk, a file damaged meanwhile), the next
    // record starts from a fresh open.
    store_.reset();
    return false;
}

std::string DatabaseRestorePoints::lastLabel() {
    if (!ensureOpen()) return {};
    return store_->lastLabel();
}

}  // namespace gasecu::history
