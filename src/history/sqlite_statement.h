#pragma once
// The history file's SQL: one prepared statement at a time, and the error text
// a failed call leaves. Used by the store and by the sync's side of the file.
#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <string>

namespace gasecu::history::sql {

// One prepared statement, finalised when it goes.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) {
        if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) stmt_ = nullptr;
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return stmt_ != nullptr; }
    void bind(int i, const std::string& text) {
        sqlite3_bind_text(stmt_, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    }
    // An empty text goes in as NULL: "no curve", "settings not known".
    void bindOrNull(int i, const std::string& text) {
        if (text.empty()) sqlite3_bind_null(stmt_, i);
        else bind(i, text);
    }
    void bind(int i, std::int64_t value) { sqlite3_bind_int64(stmt_, i, value); }
    void bind(int i, std::optional<double> value) {
        if (value) sqlite3_bind_double(stmt_, i, *value);
        else sqlite3_bind_null(stmt_, i);
    }
    void bind(int i, std::optional<int> value) {
        if (value) sqlite3_bind_int(stmt_, i, *value);
        else sqlite3_bind_null(stmt_, i);
    }
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step() { return stmt_ ? sqlite3_step(stmt_) : SQLITE_ERROR; }
    // A statement that returns no rows, made ready to run again with new values.
    bool run() {
        const int rc = step();
        sqlite3_reset(stmt_);
        return rc == SQLITE_DONE;
    }

    std::string text(int column) const {
        const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
        return t ? std::string(t, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column))) : std::string();
    }
    std::int64_t integer(int column) const { return sqlite3_column_int64(stmt_, column); }
    bool isNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }
    double real(int column) const { return sqlite3_column_double(stmt_, column); }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

inline void SetError(std::string* error, sqlite3* db, const char* what) {
    if (error) *error = std::string(what) + ": " + (db ? sqlite3_errmsg(db) : "out of memory");
}

inline bool Exec(sqlite3* db, const char* sql, std::string* error) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK) return true;
    SetError(error, db, sql);
    return false;
}

}  // namespace gasecu::history::sql
