// The history database: what a record keeps, the listing the window and the
// commands show, the schema and its version, and every way the file can fail
// without the fitter's job failing with it.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <csignal>
#include <functional>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "curve/curve_text.h"
#include "history/history_store.h"
#include "history/restore_points.h"
#include "support/disk_full.h"
#include "support/temp_dir.h"
#include "curve/curve_file_io.h"

namespace gasecu::history {
namespace {

CurveRows SomeCurve(int shift) {
    CurveRows c{};
    for (std::size_t p = 1; p <= 6; ++p) c[1][p] = static_cast<double>(p * 10);
    for (std::size_t r = 2; r <= 8; ++r)
        for (std::size_t p = 1; p <= 18; ++p) c[r][p] = static_cast<double>(r * 20 + p * 3 + static_cast<std::size_t>(shift));
    return c;
}

Record MakeRecord(Kind kind, std::string label, std::string time = "2026-12-09 08:00:00") {
    Record r;
    r.time = std::move(time);
    r.port = "/dev/ttyUSB0";
    r.kind = kind;
    r.result = "done";
    r.label = std::move(label);
    r.curveText = curve::FormatCurveText(SomeCurve(1));
    r.settings = "coils=4\nswitch-rpm=1200\n";
    return r;
}

// What sqlite3 itself says of the file, as a second program (a backup) would see it.
std::string Pragma(const std::filesystem::path& file, const char* pragma) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(curve::Utf8FromPath(file).c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    std::string value;
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db, pragma, -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
        value = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
    sqlite3_finalize(s);
    sqlite3_close(db);
    return value;
}

struct HistoryStoreTest : ::testing::Test {
    test::TempDir dir;
    std::filesystem::path file = HistoryFileIn(dir.path());
};

TEST_F(HistoryStoreTest, AMissingFileIsCreatedInWalModeWithItsSchemaVersion) {
    auto store = HistoryStore::Open(file);
    ASSERT_TRUE(store);
    EXPECT_EQ(store->schemaVersion(), HistoryStore::kSchemaVersion);
    EXPECT_EQ(Pragma(file, "PRAGMA journal_mode"), "wal");
    EXPECT_EQ(Pragma(file, "PRAGMA user_version"), "1");
}

TEST_F(HistoryStoreTest, ARecordComesBackWholeWithItsCurveByteForByte) {
    auto store = HistoryStore::Open(file);
    Record written = MakeRecord(Kind::Calibration, "34 ABC 12 Doblo");
    written.slopeFactor = 1.0625;
    written.iterations = 4;
    written.detail = "Müşteri/Cur_07.txt";
    const auto id = store->add(written);
    ASSERT_TRUE(id);
    store.reset();  // a later start of the tool

    auto again = HistoryStore::Open(file);
    const auto read = again->find(*id);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->curveText, written.curveText);
    EXPECT_EQ(read->settings, written.settings);
    EXPECT_EQ(read->label, "34 ABC 12 Doblo");
    EXPECT_EQ(read->kind, Kind::Calibration);
    EXPECT_EQ(read->slopeFactor, 1.0625);
    EXPECT_EQ(read->iterations, 4);
    EXPECT_EQ(read->detail, "Müşteri/Cur_07.txt");
    EXPECT_EQ(again->lastLabel(), "34 ABC 12 Doblo");
    EXPECT_FALSE(again->find(*id + 1));
}

TEST_F(HistoryStoreTest, ListingsAreNewestFirstAndFilteredByLabelKindDateAndCount) {
    auto store = HistoryStore::Open(file);
    store->add(MakeRecord(Kind::CurveRead, "34 ABC 12 Doblo", "2026-12-01 09:00:00"));          // 1
    store->add(MakeRecord(Kind::CurveWrite, "34 ABC 12 Doblo", "2026-12-01 09:30:00"));         // 2
    store->add(MakeRecord(Kind::SettingsRead, "06 XY 99 Corolla", "2026-12-05 14:00:00"));      // 3
    store->add(MakeRecord(Kind::CurveRead, "", "2026-12-09 23:59:59"));                         // 4
    store->add(MakeRecord(Kind::CurveWrite, "06 xy 99 corolla lpg", "2026-12-10 00:00:00"));    // 5

    struct Case {
        const char* what;
        Filter filter;
        std::vector<std::int64_t> ids;
    };
    const std::vector<Case> cases{
        {"everything", {}, {5, 4, 3, 2, 1}},
        {"label, any case", {"06 XY", {}, "", "", 0}, {5, 3}},
        {"kind", {"", Kind::CurveRead, "", "", 0}, {4, 1}},
        {"label and kind", {"abc", Kind::CurveWrite, "", "", 0}, {2}},
        {"from a day", {"", {}, "2026-12-05", "", 0}, {5, 4, 3}},
        {"up to the end of a day", {"", {}, "", "2026-12-09", 0}, {4, 3, 2, 1}},
        {"one day", {"", {}, "2026-12-01", "2026-12-01", 0}, {2, 1}},
        {"the newest two", {"", {}, "", "", 2}, {5, 4}},
        {"nothing matches", {"Transit", {}, "", "", 0}, {}},
    };
    for (const Case& c : cases) {
        std::vector<std::int64_t> ids;
        for (const Record& r : store->list(c.filter)) ids.push_back(r.id);
        EXPECT_EQ(ids, c.ids) << c.what;
    }
    // A listing carries no curves: the window lists thousands at once.
    EXPECT_TRUE(store->list({}).front().curveText.empty());
}

TEST_F(HistoryStoreTest, AFileFromANewerToolIsReadButNeverWritten) {
    {
        auto store = HistoryStore::Open(file);
        store->add(MakeRecord(Kind::CurveRead, "old"));
    }
    sqlite3* db = nullptr;
    sqlite3_open(curve::Utf8FromPath(file).c_str(), &db);
    sqlite3_exec(db, "PRAGMA user_version = 2", nullptr, nullptr, nullptr);
    sqlite3_close(db);

    auto store = HistoryStore::Open(file);
    ASSERT_TRUE(store);
    EXPECT_EQ(store->list({}).size(), 1u);
    std::string error;
    EXPECT_FALSE(store->add(MakeRecord(Kind::CurveRead, "new"), &error));
    EXPECT_NE(error.find("newer"), std::string::npos);
    EXPECT_EQ(Pragma(file, "PRAGMA user_version"), "2");
}

// Every way the file can let the fitter down: the record is not kept, the caller
// is told, nothing throws, and once the trouble is gone the next record is kept.
TEST_F(HistoryStoreTest, ALockedFullOrDamagedHistoryLosesOneRecordAndTakesTheNext) {
    struct Case {
        const char* what;
        bool keptBefore;  // the trouble comes while the tool has the file open
        std::function<std::shared_ptr<void>(const std::filesystem::path&)> trouble;  // undone when released
    };
    const std::vector<Case> cases{
        {"locked by another program", true,
         [](const std::filesystem::path& f) -> std::shared_ptr<void> {
             sqlite3* other = nullptr;
             sqlite3_open(curve::Utf8FromPath(f).c_str(), &other);
             sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
             return std::shared_ptr<void>(other, [](void* db) {
                 sqlite3_exec(static_cast<sqlite3*>(db), "COMMIT", nullptr, nullptr, nullptr);
                 sqlite3_close(static_cast<sqlite3*>(db));
             });
         }},
        {"disk full", true,
         [](const std::filesystem::path&) -> std::shared_ptr<void> { return std::make_shared<test::DiskFull>(0); }},
        {"disk full at the start", false,
         [](const std::filesystem::path&) -> std::shared_ptr<void> { return std::make_shared<test::DiskFull>(0); }},
        {"not a database (moved away afterwards)", false,
         [](const std::filesystem::path& f) -> std::shared_ptr<void> {
             test::WriteWholeFile(f, std::string(4096, 'x'));
             return std::shared_ptr<void>(nullptr, [f](void*) { std::filesystem::rename(f, std::filesystem::path(f) += ".damaged"); });
         }},
        {"a folder where the file should be", false,
         [](const std::filesystem::path& f) -> std::shared_ptr<void> {
             std::filesystem::create_directory(f);
             return std::shared_ptr<void>(nullptr, [f](void*) { std::filesystem::remove(f); });
         }},
    };
    for (const Case& c : cases) {
        if (!test::kDiskLimitAvailable && std::string(c.what).starts_with("disk full")) continue;
        SCOPED_TRACE(c.what);
        test::TempDir here;
        const auto f = HistoryFileIn(here.path());
        DatabaseRestorePoints points(f);
        if (c.keptBefore) {
            ASSERT_TRUE(points.keep(MakeRecord(Kind::CurveRead, "before")));
        }
        {
            auto trouble = c.trouble(f);
            EXPECT_FALSE(points.keep(MakeRecord(Kind::CurveWrite, "during")));
            EXPECT_FALSE(points.lastError().empty());
        }
        EXPECT_TRUE(points.keep(MakeRecord(Kind::CurveRead, "after")));
        EXPECT_TRUE(points.lastError().empty());
        auto store = HistoryStore::Open(f);
        ASSERT_TRUE(store);
        std::vector<std::string> labels;
        for (const Record& r : store->list({})) labels.push_back(r.label);
        const std::vector<std::string> expected =
            c.keptBefore ? std::vector<std::string>{"after", "before"} : std::vector<std::string>{"after"};
        EXPECT_EQ(labels, expected);
    }
    // A damaged file is moved aside by a person, never overwritten by the tool.
    test::TempDir here;
    const auto f = HistoryFileIn(here.path());
    test::WriteWholeFile(f, std::string(4096, 'x'));
    DatabaseRestorePoints points(f);
    EXPECT_FALSE(points.keep(MakeRecord(Kind::CurveRead, "lost")));
    EXPECT_EQ(test::ReadWholeFile(f), std::string(4096, 'x'));
}

// A tool killed in the middle of a record (power switch, a crash): the database
// holds every record it finished and nothing half written.
TEST_F(HistoryStoreTest, AWriterKilledMidRecordLeavesTheDatabaseWhole) {
#ifdef _WIN32
    GTEST_SKIP() << "the writer is a forked child: POSIX only";
#else
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(ready[0]);
        auto store = HistoryStore::Open(file);
        for (int i = 1;; ++i) {
            Record r = MakeRecord(Kind::CurveWrite, "car " + std::to_string(i));
            r.curveText = curve::FormatCurveText(SomeCurve(i));
            if (!store || !store->add(r)) _exit(1);
            const char one = 1;
            if (write(ready[1], &one, 1) != 1) _exit(1);
        }
    }
    close(ready[1]);
    // Let it finish twenty records, then kill it wherever it is.
    char one = 0;
    int finished = 0;
    while (finished < 20 && read(ready[0], &one, 1) == 1) ++finished;
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    close(ready[0]);
    ASSERT_EQ(finished, 20);
    ASSERT_TRUE(WIFSIGNALED(status));

    EXPECT_EQ(Pragma(file, "PRAGMA integrity_check"), "ok");
    auto store = HistoryStore::Open(file);
    ASSERT_TRUE(store);
    const auto records = store->list({});
    ASSERT_GE(records.size(), 20u);
    for (const Record& summary : records) {
        const auto r = store->find(summary.id);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->curveText, curve::FormatCurveText(SomeCurve(static_cast<int>(r->id)))) << r->id;
    }
    EXPECT_TRUE(store->add(MakeRecord(Kind::CurveRead, "next start")));
#endif
}

}  // namespace
}  // namespace gasecu::history
