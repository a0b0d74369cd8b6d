#pragma once
// A record as a row of the history file's records table: the column list a
// SELECT names and the reading of a row in that order, kept together so that the
// statement and the reading cannot drift apart. Used by the store's listings and
// by the sync's side of the file.
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

}  // namespace gasecu::history::sql
