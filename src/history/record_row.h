#pragma once
// A record as a row of the history file's records table: the column lists the
// statements name and the reading and binding of a row in that order, kept
// together so that a statement and its values cannot drift apart. Used by the
// store and by the sync's side of the file.
#include <string>

#include "history/history_record.h"
#include "history/sqlite_statement.h"

namespace gasecu::history::sql {

// A listing leaves out the curve and the settings (the large columns); a record
// fetched alone, or sent to the workshop's server, has them.
enum class RecordColumns { Summary, Whole };

// "id, time, ...": the columns the SELECT starts its result with.
std::string RecordColumnList(RecordColumns columns);

// The record in the statement's current row, its columns as RecordColumnList put
// them. A kind this tool does not know (a newer tool's record) reads as
// Kind::Unknown, never as another kind.
Record ReadRecord(const Statement& row, RecordColumns columns);

// The columns every INSERT of a record writes and their parameters, which
// BindRecord fills; the statement adds its own columns after them from ?11 on.
inline constexpr const char* kWrittenColumns =
    "time, port, kind, result, label, curve, settings, slope_factor, iterations, detail";
inline constexpr const char* kWrittenParameters = "?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10";
void BindRecord(Statement& insert, const Record& record);

}  // namespace gasecu::history::sql
