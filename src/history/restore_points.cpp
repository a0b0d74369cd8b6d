// Restore points kept in the history database, opened for each record.
#include "history/restore_points.h"

#include "history/history_store.h"

namespace gasecu::history {

DatabaseRestorePoints::DatabaseRestorePoints(std::filesystem::path file) : file_(std::move(file)) {}
DatabaseRestorePoints::~DatabaseRestorePoints() = default;

bool DatabaseRestorePoints::keep(const Record& record) {
    const auto store = HistoryStore::Open(file_, &lastError_);
    if (!store) return false;
    if (!store->add(record, &lastError_)) return false;
    lastError_.clear();
    return true;
}

std::string DatabaseRestorePoints::lastLabel() {
    const auto store = HistoryStore::Open(file_, &lastError_);
    return store ? store->lastLabel() : std::string();
}

}  // namespace gasecu::history
