// A history written before records had an identity and a laptop (schema 1) is
// brought up to date when opened: every record gets its own identity and this
// laptop's name, and nothing else changes; new records get both when written.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <set>

#include "curve/curve_file_io.h"
#include "history/history_store.h"
#include "history/server_config.h"
#include "platform/host_name.h"
#include "support/temp_dir.h"

namespace gasecu::history {
namespace {

constexpr const char* kVersionOneFile =
    "CREATE TABLE records (id INTEGER PRIMARY KEY, time TEXT NOT NULL, port TEXT NOT NULL, kind TEXT NOT NULL,"
    " result TEXT NOT NULL, label TEXT NOT NULL, curve TEXT, settings TEXT, slope_factor REAL, iterations INTEGER,"
    " detail TEXT NOT NULL);"
    "CREATE INDEX records_by_kind ON records(kind, id);"
    "CREATE TABLE last_label (only INTEGER PRIMARY KEY CHECK (only = 1), label TEXT NOT NULL);"
    "INSERT INTO records (time, port, kind, result, label, detail) VALUES"
    " ('2026-11-01 10:00:00', 'COM3', 'curve-read', 'done', '34 ABC 12', ''),"
    " ('2026-11-02 10:00:00', 'COM3', 'fault-clear', 'done', '06 XY 99', '');"
    "INSERT INTO last_label VALUES (1, '06 XY 99');"
    "PRAGMA user_version = 1;";

TEST(HistoryUpgrade, ASchemaOneFileGetsIdentitiesAndThisLaptopsNameAndKeepsItsRecords) {
    test::TempDir dir;
    const auto file = HistoryFileIn(dir.path());
    sqlite3* db = nullptr;
    sqlite3_open(curve::Utf8FromPath(file).c_str(), &db);
    ASSERT_EQ(sqlite3_exec(db, kVersionOneFile, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    std::ofstream(dir.path() / kServerFileName) << "# the workshop\nuri=\nlaptop=atolye-3\n";

    auto store = HistoryStore::Open(file);
    ASSERT_TRUE(store);
    EXPECT_EQ(store->schemaVersion(), 2);
    Record next;
    next.time = "2026-12-01 10:00:00";
    next.kind = Kind::FileSave;
    next.result = "done";
    ASSERT_TRUE(store->add(next));

    const std::vector<Record> records = store->list({});
    ASSERT_EQ(records.size(), 3u);
    std::set<std::string> uids;
    for (const Record& r : records) {
        EXPECT_EQ(r.laptop, "atolye-3");
        EXPECT_FALSE(r.pulled);
        EXPECT_EQ(r.uid.size(), 32u);
        EXPECT_EQ(r.uid.find_first_not_of("0123456789abcdef"), std::string::npos);
        uids.insert(r.uid);
    }
    EXPECT_EQ(uids.size(), 3u);
    EXPECT_EQ(records[2].label, "34 ABC 12");
    EXPECT_EQ(store->lastLabel(), "06 XY 99");
    EXPECT_EQ(store->laptops(), std::vector<std::string>{"atolye-3"});
}

TEST(HistoryUpgrade, TheLaptopIsTheComputersNameUnlessTheServerFileNamesOne) {
    const struct {
        const char* file;
        std::string laptop;
        bool readable;
    } cases[] = {
        {nullptr, HostName(), true},
        {"uri=postgresql://atolye@server/gasecu\n", HostName(), true},
        {"laptop = atolye-2 \r\nuri=postgresql://atolye@server/gasecu\r\n", "atolye-2", true},
        {"password=secret\n", HostName(), false},
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        if (c.file) std::ofstream(dir.path() / kServerFileName) << c.file;
        std::string error;
        EXPECT_EQ(ReadServerConfig(dir.path(), &error).has_value(), c.readable) << error;
        EXPECT_EQ(LaptopName(dir.path()), c.laptop);
    }
}

}  // namespace
}  // namespace gasecu::history
