// The history database behind HistoryStore: the schema, its migration, and the
// statements that add, list and fetch restore points.
#include "history/history_store.h"

#include <sqlite3.h>

#include <string_view>
#include <system_error>
#include <utility>
#include "curve/curve_file_io.h"
#include "history/record_row.h"
#include "history/server_config.h"
#include "history/sqlite_statement.h"

namespace gasecu::history {

namespace {

using sql::Exec;
using sql::ReadRecord;
using sql::RecordColumnList;
using sql::RecordColumns;
using sql::SetError;
using sql::Statement;

// A record must never wait long for the database: another program holding it
// (a backup being taken, a second window) makes this record fail, not the job.
constexpr int kBusyWaitMs = 100;

int UserVersion(sqlite3* db) {
    Statement s(db, "PRAGMA user_version");
    return s.step() == SQLITE_ROW ? static_cast<int>(s.integer(0)) : -1;
}

// Version 0 (a new, empty file) to 1. Each later version adds one step here, run
// in the same transaction as the version number it sets.
constexpr const char* kSchemaV1 =
    "CREATE TABLE records ("
    " id INTEGER PRIMARY KEY,"
    " time TEXT NOT NULL,"
    " port TEXT NOT NULL,"
    " kind TEXT NOT NULL,"
    " result TEXT NOT NULL,"
    " label TEXT NOT NULL,"
    " curve TEXT,"
    " settings TEXT,"
    " slope_factor REAL,"
    " iterations INTEGER,"
    " detail TEXT NOT NULL);"
    "CREATE INDEX records_by_kind ON records(kind, id);"
    "CREATE TABLE last_label (only INTEGER PRIMARY KEY CHECK (only = 1), label TEXT NOT NULL);"
    "PRAGMA user_version = 1;";

// Version 1 to 2: the workshop's shared history. Every record gets an identity
// unique across laptops and the name of the laptop that made it (the records of
// an upgraded file were all made here); `pulled` marks the other laptops' records
// a sync brought in, which nothing here may change; `pushed` marks this laptop's
// records the server has. sync_state keeps how far the server's records were read.
constexpr const char* kSchemaV2 =
    "ALTER TABLE records ADD COLUMN uid TEXT;"
    "ALTER TABLE records ADD COLUMN laptop TEXT NOT NULL DEFAULT '';"
    "ALTER TABLE records ADD COLUMN pulled INTEGER NOT NULL DEFAULT 0;"
    "ALTER TABLE records ADD COLUMN pushed INTEGER NOT NULL DEFAULT 0;"
    "UPDATE records SET uid = lower(hex(randomblob(16))), laptop = ?1;"
    "CREATE UNIQUE INDEX records_by_uid ON records(uid);"
    "CREATE INDEX records_by_laptop ON records(laptop, id);"
    "CREATE INDEX records_waiting ON records(id) WHERE pushed = 0 AND pulled = 0;"
    "CREATE TABLE sync_state (only INTEGER PRIMARY KEY CHECK (only = 1), server_position INTEGER NOT NULL,"
    " last_sync TEXT NOT NULL, server TEXT NOT NULL);"
    "CREATE TRIGGER pulled_records_stay BEFORE UPDATE ON records WHEN OLD.pulled = 1"
    " BEGIN SELECT RAISE(ABORT, 'a record from another laptop is read-only'); END;"
    "CREATE TRIGGER pulled_records_are_kept BEFORE DELETE ON records WHEN OLD.pulled = 1"
    " BEGIN SELECT RAISE(ABORT, 'a record from another laptop is read-only'); END;"
    "PRAGMA user_version = 2;";

// Runs the statements of `sql` in turn, binding the laptop's name wherever one
// takes a parameter.
bool ExecWithLaptop(sqlite3* db, const char* sql, const std::string& laptop, std::string* error) {
    while (sql && *sql) {
        sqlite3_stmt* raw = nullptr;
        const char* rest = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &raw, &rest) != SQLITE_OK) {
            SetError(error, db, "upgrading the history");
            return false;
        }
        if (raw && sqlite3_bind_parameter_count(raw) > 0)
            sqlite3_bind_text(raw, 1, laptop.data(), static_cast<int>(laptop.size()), SQLITE_TRANSIENT);
        const int rc = raw ? sqlite3_step(raw) : SQLITE_DONE;
        sqlite3_finalize(raw);
        if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
            SetError(error, db, "upgrading the history");
            return false;
        }
        sql = rest;
    }
    return true;
}

// Brings the file to kSchemaVersion; false for a file it cannot bring there.
bool Migrate(sqlite3* db, bool& writable, const std::string& laptop, std::string* error) {
    const int found = UserVersion(db);
    if (found < 0) {
        SetError(error, db, "reading the schema version");
        return false;
    }
    if (found > HistoryStore::kSchemaVersion) {
        writable = false;  // a newer tool's file: read what we know, write nothing
        return true;
    }
    if (found == HistoryStore::kSchemaVersion) return true;
    // Two tools starting at once: the second waits for the first, then sees its work.
    if (!Exec(db, "BEGIN IMMEDIATE", error)) return false;
    bool ok = true;
    const int now = UserVersion(db);
    if (now == 0) ok = Exec(db, kSchemaV1, error);
    if (ok && now <= 1) ok = ExecWithLaptop(db, kSchemaV2, laptop, error);
    if (ok && Exec(db, "COMMIT", error)) return true;
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
}

// A label as the search compares it: ASCII letters and the Turkish ones folded to
// one case, the four i's (i, ı, I, İ) to one letter, so that "izmir" finds
// "İZMİR", "AĞA" finds "Ağa" and "iveco" still finds "IVECO" typed on an English
// keyboard. SQLite's own lower() knows ASCII only.
std::string FoldedForSearch(std::string_view text) {
    struct Fold {
        std::string_view from, to;
    };
    static constexpr Fold kTurkish[] = {
        {"İ", "i"}, {"ı", "i"}, {"Ş", "ş"}, {"Ğ", "ğ"}, {"Ç", "ç"}, {"Ö", "ö"}, {"Ü", "ü"},
    };
    std::string folded;
    folded.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c >= 'A' && c <= 'Z') {
            folded += static_cast<char>(c - 'A' + 'a');
            ++i;
            continue;
        }
        const Fold* match = nullptr;
        for (const Fold& f : kTurkish)
            if (text.substr(i, f.from.size()) == f.from) match = &f;
        if (match) {
            folded += match->to;
            i += match->from.size();
        } else {
            folded += c;
            ++i;
        }
    }
    return folded;
}

void FoldFunction(sqlite3_context* context, int, sqlite3_value** values) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(values[0]));
    if (!text) {
        sqlite3_result_null(context);
        return;
    }
    const std::string folded =
        FoldedForSearch(std::string_view(text, static_cast<std::size_t>(sqlite3_value_bytes(values[0]))));
    sqlite3_result_text(context, folded.data(), static_cast<int>(folded.size()), SQLITE_TRANSIENT);
}

}  // namespace

std::unique_ptr<HistoryStore> HistoryStore::Open(const std::filesystem::path& path, std::string* error) {
    // The curve files' rule: a plain file or a new one, through links. SQLite would
    // write its header over whatever stands at the name (a link onto a disk's
    // device node, a serial port) and put its journal beside the device.
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        if (error)
            *error = "opening the history: " + curve::Utf8FromPath(path) +
                     (std::filesystem::is_directory(status) ? " is a folder" : " is not a plain file (a device or a pipe)") +
                     ", nothing was written";
        return nullptr;
    }
    sqlite3* db = nullptr;
    const int opened = sqlite3_open_v2(curve::Utf8FromPath(path).c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (opened != SQLITE_OK) {
        SetError(error, db, "opening the history");
        sqlite3_close(db);
        return nullptr;
    }
    std::unique_ptr<HistoryStore> store(new HistoryStore(db));
    sqlite3_busy_timeout(db, kBusyWaitMs);
    sqlite3_create_function_v2(db, "fold", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, FoldFunction, nullptr,
                               nullptr, nullptr);
    // WAL: readers and the writer do not block each other, and a killed writer's
    // half record is simply not there at the next open. FULL: a record the tool
    // reported as kept survives a power cut too.
    {
        Statement wal(db, "PRAGMA journal_mode = WAL");
        if (wal.step() != SQLITE_ROW) {
            SetError(error, db, "opening the history");
            return nullptr;
        }
    }
    if (!Exec(db, "PRAGMA synchronous = FULL", error)) return nullptr;
    store->laptop_ = LaptopName(path.parent_path());
    if (!Migrate(db, store->writable_, store->laptop_, error)) return nullptr;
    return store;
}

HistoryStore::~HistoryStore() { sqlite3_close(db_); }

int HistoryStore::schemaVersion() const { return UserVersion(db_); }

std::optional<std::int64_t> HistoryStore::add(const Record& record, std::string* error) {
    if (!writable_) {
        if (error) *error = "the history was written by a newer version of the tool";
        return std::nullopt;
    }
    if (!Exec(db_, "BEGIN IMMEDIATE", error)) return std::nullopt;
    std::optional<std::int64_t> id;
    {
        const std::string text = std::string("INSERT INTO records (") + sql::kWrittenColumns +
                                 ", uid, laptop) VALUES (" + sql::kWrittenParameters + ", lower(hex(randomblob(16))), ?11)";
        Statement insert(db_, text.c_str());
        sql::BindRecord(insert, record);
        insert.bind(11, record.laptop.empty() ? laptop_ : record.laptop);
        if (insert.step() == SQLITE_DONE) id = sqlite3_last_insert_rowid(db_);
    }
    bool ok = id.has_value();
    if (ok && !record.label.empty()) {
        Statement label(db_, "INSERT OR REPLACE INTO last_label (only, label) VALUES (1, ?)");
        label.bind(1, record.label);
        ok = label.step() == SQLITE_DONE;
    }
    if (!ok) SetError(error, db_, "keeping the record");
    if (ok && Exec(db_, "COMMIT", error)) return id;
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    return std::nullopt;
}

std::vector<Record> HistoryStore::list(const Filter& filter, std::string* error) const {
    // Every condition is always in the statement; an empty value switches it off.
    const std::string sql = "SELECT " + RecordColumnList(RecordColumns::Summary) +
                            " FROM records WHERE (?1 = '' OR instr(fold(label), fold(?1)) > 0)"
                            " AND (?2 = '' OR kind = ?2)"
                            " AND (?3 = '' OR time >= ?3)"
                            " AND (?4 = '' OR time < ?4 || 'T')"  // 'T' sorts after " hh:mm:ss"
                            " AND (?6 = '' OR laptop = ?6)"
                            // Another laptop's records arrive after this laptop's later ones.
                            " ORDER BY time DESC, id DESC LIMIT ?5";
    Statement s(db_, sql.c_str());
    std::vector<Record> records;
    if (!s.ok()) {
        SetError(error, db_, "listing the history");
        return records;
    }
    s.bind(1, filter.labelContains);
    s.bind(2, filter.kind ? std::string(KindName(*filter.kind)) : std::string());
    s.bind(3, filter.fromDate);
    s.bind(4, filter.toDate);
    s.bind(5, static_cast<std::int64_t>(filter.limit > 0 ? filter.limit : -1));
    s.bind(6, filter.laptop);
    int rc;
    while ((rc = s.step()) == SQLITE_ROW) records.push_back(ReadRecord(s, RecordColumns::Summary));
    if (rc != SQLITE_DONE) {
        SetError(error, db_, "listing the history");
        records.clear();
    }
    return records;
}

std::optional<Record> HistoryStore::find(std::int64_t id, std::string* error) const {
    const std::string sql = "SELECT " + RecordColumnList(RecordColumns::Whole) + " FROM records WHERE id = ?";
    Statement s(db_, sql.c_str());
    s.bind(1, id);
    const int rc = s.step();
    if (rc != SQLITE_ROW) {
        if (rc != SQLITE_DONE) SetError(error, db_, "reading the record");
        else if (error) *error = "no record " + std::to_string(id);
        return std::nullopt;
    }
    return ReadRecord(s, RecordColumns::Whole);
}

std::vector<std::string> HistoryStore::laptops() const {
    Statement s(db_, "SELECT DISTINCT laptop FROM records ORDER BY laptop");
    std::vector<std::string> names;
    while (s.step() == SQLITE_ROW) names.push_back(s.text(0));
    return names;
}

std::string HistoryStore::lastLabel() const {
    Statement s(db_, "SELECT label FROM last_label WHERE only = 1");
    return s.step() == SQLITE_ROW ? s.text(0) : std::string();
}

}  // namespace gasecu::history
