// The records table's columns, read into a Record.
#include "history/record_row.h"

namespace gasecu::history::sql {

namespace {

constexpr const char* kSummaryColumns =
    "id, time, port, kind, result, label, slope_factor, iterations, detail, uid, laptop, pulled";
constexpr const char* kLargeColumns = ", curve, settings";

}  // namespace

std::string RecordColumnList(RecordColumns columns) {
    return std::string(kSummaryColumns) + (columns == RecordColumns::Whole ? kLargeColumns : "");
}

Record ReadRecord(const Statement& row, RecordColumns columns) {
    Record r;
    r.id = row.integer(0);
    r.time = row.text(1);
    r.port = row.text(2);
    r.kind = KindNamed(row.text(3)).value_or(Kind::Unknown);
    r.result = row.text(4);
    r.label = row.text(5);
    if (!row.isNull(6)) r.slopeFactor = row.real(6);
    if (!row.isNull(7)) r.iterations = static_cast<int>(row.integer(7));
    r.detail = row.text(8);
    r.uid = row.text(9);
    r.laptop = row.text(10);
    r.pulled = row.integer(11) != 0;
    if (columns == RecordColumns::Whole) {
        r.curveText = row.text(12);
        r.settings = row.text(13);
    }
    return r;
}

void BindRecord(Statement& insert, const Record& record) {
    insert.bind(1, record.time);
    insert.bind(2, record.port);
    insert.bind(3, std::string(KindName(record.kind)));
    insert.bind(4, record.result);
    insert.bind(5, record.label);
    insert.bindOrNull(6, record.curveText);
    insert.bindOrNull(7, record.settings);
    insert.bind(8, record.slopeFactor);
    insert.bind(9, record.iterations);
    insert.bind(10, record.detail);
}

}  // namespace gasecu::history::sql
