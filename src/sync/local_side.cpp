// The history file's side of a sync.
#include "sync/local_side.h"

#include <sqlite3.h>

#include "curve/curve_file_io.h"
#include "history/history_store.h"

namespace gasecu::sync {

namespace {

// Longer than a record's own wait: a sync may wait for the window's record, never
// the other way round.
constexpr int kBusyWaitMs = 2000;

// One prepared statement, finalised when it goes; binds by position.
class Query {
public:
    Query(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr); }
    ~Query() { sqlite3_finalize(stmt_); }
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;
    Query& text(int i, const std::string& value) {
        sqlite3_bind_text(stmt_, i, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Query& textOrNull(int i, const std::string& value) {
        if (value.empty()) sqlite3_bind_null(stmt_, i);
        else text(i, value);
        return *this;
    }
    Query& integer(int i, std::int64_t value) {
        sqlite3_bind_int64(stmt_, i, value);
        return *this;
    }
    Query& real(int i, std::optional<double> value) {
        if (value) sqlite3_bind_double(stmt_, i, *value);
        else sqlite3_bind_null(stmt_, i);
        return *this;
    }
    int step() { return stmt_ ? sqlite3_step(stmt_) : SQLITE_ERROR; }
    bool run() {
        const int rc = step();
        sqlite3_reset(stmt_);
        return rc == SQLITE_DONE;
    }
    std::string column(int i) const {
        const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
        return t ? std::string(t, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, i))) : std::string();
    }
    std::int64_t columnInteger(int i) const { return sqlite3_column_int64(stmt_, i); }
    bool null(int i) const { return sqlite3_column_type(stmt_, i) == SQLITE_NULL; }
    double columnReal(int i) const { return sqlite3_column_double(stmt_, i); }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

void Fail(std::string* error, sqlite3* db, const char* what) {
    if (error) *error = std::string(what) + ": " + sqlite3_errmsg(db);
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

std::optional<LocalSyncState> ReadState(sqlite3* db, std::string* error) {
    LocalSyncState state;
    {
        Query q(db, "SELECT server_position, last_sync, server FROM sync_state WHERE only = 1");
        const int rc = q.step();
        if (rc == SQLITE_ROW) {
            state.serverPosition = q.columnInteger(0);
            state.lastSync = q.column(1);
            state.server = q.column(2);
        } else if (rc != SQLITE_DONE) {
            Fail(error, db, "reading the sync state");
            return std::nullopt;
        }
    }
    Query q(db, "SELECT count(*) FROM records WHERE pushed = 0 AND pulled = 0");
    if (q.step() != SQLITE_ROW) {
        Fail(error, db, "counting the records to send");
        return std::nullopt;
    }
    state.waiting = q.columnInteger(0);
    return state;
}

}  // namespace

std::unique_ptr<LocalSide> LocalSide::Open(const std::filesystem::path& file, std::string* error) {
    std::string laptop;
    {
        // The store brings the file to this tool's schema (or finds a newer one).
        auto store = history::HistoryStore::Open(file, error);
        if (!store) return nullptr;
        if (!store->writable()) {
            if (error) *error = "the history was written by a newer version of the tool";
            return nullptr;
        }
        laptop = store->laptop();
    }
    sqlite3* db = OpenFile(file, SQLITE_OPEN_READWRITE, error);
    if (!db) return nullptr;
    sqlite3_exec(db, "PRAGMA synchronous = FULL", nullptr, nullptr, nullptr);
    return std::unique_ptr<LocalSide>(new LocalSide(db, std::move(laptop)));
}

LocalSide::~LocalSide() { sqlite3_close(db_); }

bool LocalSide::exec(const char* sql, std::string* error) {
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK) return true;
    Fail(error, db_, sql);
    return false;
}

std::vector<history::Record> LocalSide::waiting(int limit, std::string* error) {
    Query q(db_,
            "SELECT id, time, port, kind, result, label, curve, settings, slope_factor, iterations, detail, uid,"
            " laptop FROM records WHERE pushed = 0 AND pulled = 0 ORDER BY id LIMIT ?");
    q.integer(1, limit);
    std::vector<history::Record> records;
    int rc;
    while ((rc = q.step()) == SQLITE_ROW) {
        history::Record r;
        r.id = q.columnInteger(0);
        r.time = q.column(1);
        r.port = q.column(2);
        // The kind goes out as written; an unknown one cannot be here (this tool wrote it).
        r.kind = history::KindNamed(q.column(3)).value_or(history::Kind::CurveRead);
        r.result = q.column(4);
        r.label = q.column(5);
        r.curveText = q.column(6);
        r.settings = q.column(7);
        if (!q.null(8)) r.slopeFactor = q.columnReal(8);
        if (!q.null(9)) r.iterations = static_cast<int>(q.columnInteger(9));
        r.detail = q.column(10);
        r.uid = q.column(11);
        r.laptop = q.column(12);
        records.push_back(std::move(r));
    }
    if (rc != SQLITE_DONE) {
        Fail(error, db_, "reading the records to send");
        records.clear();
    }
    return records;
}

bool LocalSide::markPushed(const std::vector<history::Record>& records, std::string* error) {
    if (!exec("BEGIN IMMEDIATE", error)) return false;
    bool ok = true;
    {
        Query q(db_, "UPDATE records SET pushed = 1 WHERE uid = ? AND pulled = 0");
        for (const history::Record& r : records) ok = ok && q.text(1, r.uid).run();
    }
    if (!ok) Fail(error, db_, "marking the records sent");
    if (ok && exec("COMMIT", error)) return true;
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
}

bool LocalSide::addPulled(const std::vector<history::Record>& records, std::int64_t serverPosition,
                          std::int64_t* added, std::string* error) {
    if (!exec("BEGIN IMMEDIATE", error)) return false;
    bool ok = true;
    {
        // A record with an identity already here (this laptop's own, or one pulled
        // before a cut sync) is left as it is.
        Query q(db_,
                "INSERT OR IGNORE INTO records (time, port, kind, result, label, curve, settings, slope_factor,"
                " iterations, detail, uid, laptop, pulled, pushed) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 1, 1)");
        for (const history::Record& r : records) {
            if (!ok) break;
            q.text(1, r.time).text(2, r.port).text(3, std::string(history::KindName(r.kind))).text(4, r.result);
            q.text(5, r.label).textOrNull(6, r.curveText).textOrNull(7, r.settings).real(8, r.slopeFactor);
            if (r.iterations) q.integer(9, *r.iterations);
            else q.real(9, std::nullopt);
            q.text(10, r.detail).text(11, r.uid).text(12, r.laptop);
            ok = q.run();
            if (ok && added) *added += sqlite3_changes(db_);
        }
    }
    if (ok) {
        Query q(db_,
                "INSERT INTO sync_state (only, server_position, last_sync, server) VALUES (1, ?1, '', '')"
                " ON CONFLICT(only) DO UPDATE SET server_position = ?1");
        ok = q.integer(1, serverPosition).run();
    }
    if (!ok) Fail(error, db_, "keeping the records pulled");
    if (ok && exec("COMMIT", error)) return true;
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
}

bool LocalSide::noteSyncDone(const std::string& time, const std::string& server, std::string* error) {
    Query q(db_,
            "INSERT INTO sync_state (only, server_position, last_sync, server) VALUES (1, 0, ?1, ?2)"
            " ON CONFLICT(only) DO UPDATE SET last_sync = ?1, server = ?2");
    if (q.text(1, time).text(2, server).run()) return true;
    Fail(error, db_, "noting the sync");
    return false;
}

std::optional<LocalSyncState> LocalSide::state(std::string* error) { return ReadState(db_, error); }

std::optional<LocalSyncState> ReadLocalSyncState(const std::filesystem::path& file, std::string* error) {
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
        Query version(db, "PRAGMA user_version");
        const bool old = version.step() == SQLITE_ROW && version.columnInteger(0) < 2;
        if (old) {
            Query count(db, "SELECT count(*) FROM records");
            state = LocalSyncState{};
            if (count.step() == SQLITE_ROW) state->waiting = count.columnInteger(0);
        }
    }
    if (!state) state = ReadState(db, error);
    sqlite3_close(db);
    return state;
}

}  // namespace gasecu::sync
