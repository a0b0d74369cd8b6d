#pragma once
// The workshop's history: restore points in one SQLite database file in the
// tool's data directory. This class is the only code that speaks SQL.
//
// The file is in WAL mode (a listing never blocks a record being written, and a
// process killed in the middle of a record leaves the last whole one in place),
// carries its schema version in PRAGMA user_version and is brought up to the
// current schema when opened. A file written by a newer tool (a higher version)
// is read but never written: the older tool cannot know what it would break.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "history/history_record.h"

struct sqlite3;

namespace gasecu::history {

// The database file's name in the data directory, beside "SonPort".
inline constexpr const char* kHistoryFileName = "Gecmis.db";

class HistoryStore {
public:
    // The schema this tool writes: 1 = the records table and the last label;
    // 2 = each record's identity and laptop, and what a sync with the workshop's
    // server has done.
    static constexpr int kSchemaVersion = 2;

    // Opens the file, creating it (and its schema) when missing. Null with the
    // reason in *error when it cannot be opened or is not a database.
    static std::unique_ptr<HistoryStore> Open(const std::filesystem::path& path, std::string* error = nullptr);
    ~HistoryStore();
    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    // Adds one record in one transaction (and remembers its label as the last one
    // when it has one); its number, or nothing with the reason in *error.
    std::optional<std::int64_t> add(const Record& record, std::string* error = nullptr);
    // Records newest first, without their curve and settings (the window lists
    // thousands of them); empty with the reason in *error on failure.
    std::vector<Record> list(const Filter& filter, std::string* error = nullptr) const;
    // One record whole; nothing when there is no such record or it cannot be read.
    std::optional<Record> find(std::int64_t id, std::string* error = nullptr) const;
    // The laptops whose records are here, by name.
    std::vector<std::string> laptops() const;
    // The label of the last record that had one ("" when none).
    std::string lastLabel() const;
    // The schema version the file carries.
    int schemaVersion() const;
    // False for a newer tool's file, which this tool reads but never writes.
    bool writable() const { return writable_; }
    // The name this laptop's records carry.
    const std::string& laptop() const { return laptop_; }

private:
    explicit HistoryStore(sqlite3* db) : db_(db) {}
    sqlite3* db_;
    bool writable_ = true;
    std::string laptop_;
};

// Where the history of the tool whose data directory is `dataDirectory` lives.
inline std::filesystem::path HistoryFileIn(const std::filesystem::path& dataDirectory) {
    return dataDirectory / kHistoryFileName;
}

}  // namespace gasecu::history
