// The history file's side of a sync.
#include "sync/local_side.h"

#include <sqlite3.h>

#include "curve/curve_file_io.h"
#include "history/history_store.h"
#include "history/record_row.h"
#include "history/sqlite_statement.h"

namespace gasecu::sync {

namespace {

// Longer than a record's own wait: a sync may wait for the window's record, never
// the other way round.
constexpr int kBusyWaitMs = 2000;

using history::sql::Exec;
using history::sql::Statement;

void Fail(std::string* error, sqlite3* db, const char* what) { history::sql::SetError(error, db, what); }

// This laptop's records the server lacks, of the kinds this tool writes. A record
// of a kind added by a newer tool (its file keeps the same schema) stays waiting
// for that tool's sync, which sends it as what it is: sent from here it could only
// go up as a kind it is not. The count the window shows and the records sent are
// the same ones, so the background sync never chases records it cannot send.
std::string WaitingCondition() {
    std::string kinds;
    for (const history::Kind kind : history::AllKinds())
        kinds += (kinds.empty() ? "'" : ", '") + std::string(history::KindName(kind)) + "'";
    return "pushed = 0 AND pulled = 0 AND kind IN (" + kinds + ")";
}

sqlite3* OpenFile(const std::filesystem::path& file, int flags, std::string* error) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(curve::Utf8FromPath(file).c_str(), &db, flags, nullptr) != SQLITE_OK) {
        if (error) *error = std::string("opening the history: ") + (db ? sqlite3_errmsg(db) : "out of memory");
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, kBusyWaitMs);
    return db;
}

// One step's use of the file: the gate passed, then a connection for as long as
// the step lasts.
class Connection {
public:
    Connection(const std::filesystem::path& file, history::AccessGate* gate, std::string* error) : use_(gate) {
        // Opened afresh for each step: the name is checked again each time (a
        // name linked onto a device meanwhile could block the sync for good).
        std::error_code ec;
        if (!std::filesystem::is_regular_file(file, ec)) {
            if (error) *error = "the history is not a plain file";
            return;
        }
        db_ = OpenFile(file, SQLITE_OPEN_READWRITE, error);
        if (db_) sqlite3_exec(db_, "PRAGMA synchronous = FULL", nullptr, nullptr, nullptr);
    }
    ~Connection() { sqlite3_close(db_); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    sqlite3* db() const { return db_; }

private:
    history::AccessGate::Use use_;
    sqlite3* db_ = nullptr;
};

std::optional<LocalSyncState> ReadState(sqlite3* db, std::string* error) {
    LocalSyncState state;
    {
        Statement q(db, "SELECT server_position, last_sync, server FROM sync_state WHERE only = 1");
        const int rc = q.step();
        if (rc == SQLITE_ROW) {
            state.serverPosition = q.integer(0);
            state.lastSync = q.text(1);
            state.server = q.text(2);
        } else if (rc != SQLITE_DONE) {
            Fail(error, db, "reading the sync state");
            return std::nullopt;
        }
    }
    const std::string count = "SELECT count(*) FROM records WHERE " + WaitingCondition();
    Statement q(db, count.c_str());
    if (q.step() != SQLITE_ROW) {
        Fail(error, db, "counting the records to send");
        return std::nullopt;
    }
    state.waiting = q.integer(0);
    return state;
}

}  // namespace

std::unique_ptr<LocalSide> LocalSide::Open(const std::filesystem::path& file, history::AccessGate* gate,
                                           std::string* error) {
    std::string laptop;
    {
        // The store brings the file to this tool's schema (or finds a newer one).
        const history::AccessGate::Use use(gate);
        auto store = history::HistoryStore::Open(file, error);
        if (!store) return nullptr;
        if (!store->writable()) {
            if (error) *error = "the history was written by a newer version of the tool";
            return nullptr;
        }
        laptop = store->laptop();
    }
    return std::unique_ptr<LocalSide>(new LocalSide(file, gate, std::move(laptop)));
}

std::vector<history::Record> LocalSide::waiting(int limit, std::string* error) {
    const Connection connection(file_, gate_, error);
    sqlite3* const db = connection.db();
    if (!db) return {};
    using history::sql::RecordColumns;
    const std::string select = "SELECT " + history::sql::RecordColumnList(RecordColumns::Whole) +
                               " FROM records WHERE " + WaitingCondition() + " ORDER BY id LIMIT ?";
    Statement q(db, select.c_str());
    q.bind(1, static_cast<std::int64_t>(limit));
    std::vector<history::Record> records;
    int rc;
    while ((rc = q.step()) == SQLITE_ROW) records.push_back(history::sql::ReadRecord(q, RecordColumns::Whole));
    if (rc != SQLITE_DONE) {
        Fail(error, db, "reading the records to send");
        records.clear();
    }
    return records;
}

bool LocalSide::markPushed(const std::vector<history::Record>& records, std::string* error) {
    const Connection connection(file_, gate_, error);
    sqlite3* const db = connection.db();
    if (!db || !Exec(db, "BEGIN IMMEDIATE", error)) return false;
    bool ok = true;
    {
        Statement q(db, "UPDATE records SET pushed = 1 WHERE uid = ? AND pulled = 0");
        for (const history::Record& r : records) {
            q.bind(1, r.uid);
            ok = ok && q.run();
        }
    }
    if (!ok) Fail(error, db, "marking the records sent");
    if (ok && Exec(db, "COMMIT", error)) return true;
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
}

bool LocalSide::addPulled(const std::vector<history::Record>& records, std::int64_t serverPosition,
                          std::int64_t* added, std::string* error) {
    const Connection connection(file_, gate_, error);
    sqlite3* const db = connection.db();
    if (!db || !Exec(db, "BEGIN IMMEDIATE", error)) return false;
    bool ok = true;
    {
        // A record with an identity already here (this laptop's own, or one pulled
        // before a cut sync) is left as it is.
        const std::string insert = std::string("INSERT OR IGNORE INTO records (") + history::sql::kWrittenColumns +
                                   ", uid, laptop, pulled, pushed) VALUES (" + history::sql::kWrittenParameters +
                                   ", ?11, ?12, 1, 1)";
        Statement q(db, insert.c_str());
        for (const history::Record& r : records) {
            if (!ok) break;
            history::sql::BindRecord(q, r);
            q.bind(11, r.uid);
            q.bind(12, r.laptop);
            ok = q.run();
            if (ok && added) *added += sqlite3_changes(db);
        }
    }
    if (ok) {
        Statement q(db,
                "INSERT INTO sync_state (only, server_position, last_sync, server) VALUES (1, ?1, '', '')"
                " ON CONFLICT(only) DO UPDATE SET server_position = ?1");
        q.bind(1, serverPosition);
        ok = q.run();
    }
    if (!ok) Fail(error, db, "keeping the records pulled");
    if (ok && Exec(db, "COMMIT", error)) return true;
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
}

bool LocalSide::noteSyncDone(const std::string& time, const std::string& server, std::string* error) {
    const Connection connection(file_, gate_, error);
    sqlite3* const db = connection.db();
    if (!db) return false;
    Statement q(db,
            "INSERT INTO sync_state (only, server_position, last_sync, server) VALUES (1, 0, ?1, ?2)"
            " ON CONFLICT(only) DO UPDATE SET last_sync = ?1, server = ?2");
    q.bind(1, time);
    q.bind(2, server);
    if (q.run()) return true;
    Fail(error, db, "noting the sync");
    return false;
}

std::optional<LocalSyncState> LocalSide::state(std::string* error) {
    const Connection connection(file_, gate_, error);
    sqlite3* const db = connection.db();
    if (!db) return std::nullopt;
    return ReadState(db, error);
}

std::optional<LocalSyncState> ReadLocalSyncState(const std::filesystem::path& file, std::string* error,
                                                 history::AccessGate* gate) {
    const history::AccessGate::Use use(gate);
    std::error_code ec;
    const auto status = std::filesystem::status(file, ec);
    if (!std::filesystem::exists(status)) return LocalSyncState{};
    // Only a plain file is read: a name linked onto a device (a serial port) could block.
    if (!std::filesystem::is_regular_file(status)) {
        if (error) *error = "the history is not a plain file";
        return std::nullopt;
    }
    sqlite3* db = OpenFile(file, SQLITE_OPEN_READONLY, error);
    if (!db) return std::nullopt;
    // A file not yet upgraded has every record waiting and no sync behind it.
    std::optional<LocalSyncState> state;
    {
        Statement version(db, "PRAGMA user_version");
        const bool old = version.step() == SQLITE_ROW && version.integer(0) < 2;
        if (old) {
            Statement count(db, "SELECT count(*) FROM records");
            state = LocalSyncState{};
            if (count.step() == SQLITE_ROW) state->waiting = count.integer(0);
        }
    }
    if (!state) state = ReadState(db, error);
    sqlite3_close(db);
    return state;
}

}  // namespace gasecu::sync
