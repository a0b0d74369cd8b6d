// The history database: what a record keeps, the listing the window and the
// commands show, the schema and its version, and every way the file can fail
// without the fitter's job failing with it.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <functional>
#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
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
    EXPECT_EQ(Pragma(file, "PRAGMA user_version"), std::to_string(HistoryStore::kSchemaVersion));
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
        {"label, any case", {"06 XY", {}, "", "", 0, ""}, {5, 3}},
        {"kind", {"", Kind::CurveRead, "", "", 0, ""}, {4, 1}},
        {"label and kind", {"abc", Kind::CurveWrite, "", "", 0, ""}, {2}},
        {"from a day", {"", {}, "2026-12-05", "", 0, ""}, {5, 4, 3}},
        {"up to the end of a day", {"", {}, "", "2026-12-09", 0, ""}, {4, 3, 2, 1}},
        {"one day", {"", {}, "2026-12-01", "2026-12-01", 0, ""}, {2, 1}},
        {"the newest two", {"", {}, "", "", 2, ""}, {5, 4}},
        {"nothing matches", {"Transit", {}, "", "", 0, ""}, {}},
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
    sqlite3_exec(db, "PRAGMA user_version = 99", nullptr, nullptr, nullptr);
    sqlite3_close(db);

    auto store = HistoryStore::Open(file);
    ASSERT_TRUE(store);
    EXPECT_EQ(store->list({}).size(), 1u);
    std::string error;
    EXPECT_FALSE(store->add(MakeRecord(Kind::CurveRead, "new"), &error));
    EXPECT_NE(error.find("newer"), std::string::npos);
    EXPECT_EQ(Pragma(file, "PRAGMA user_version"), "99");
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

// Adds records to `file` without end, telling `finished` after each one; returns
// only when a record could not be added.
void WriteRecordsWithoutEnd(const std::filesystem::path& file, const std::function<bool()>& finished) {
    auto store = HistoryStore::Open(file);
    for (int i = 1; store; ++i) {
        Record r = MakeRecord(Kind::CurveWrite, "car " + std::to_string(i));
        r.curveText = curve::FormatCurveText(SomeCurve(i));
        if (!store->add(r) || !finished()) return;
    }
}

// A tool killed in the middle of a record (power switch, a crash, the task
// manager): the database holds every record it finished and nothing half written.
// The writer is a second process: forked on POSIX; on Windows this test program
// started again with the database and a pipe to report on.
TEST_F(HistoryStoreTest, AWriterKilledMidRecordLeavesTheDatabaseWhole) {
    constexpr int kFinishedBeforeTheKill = 20;
    int finished = 0;
#ifdef _WIN32
    if (const wchar_t* report = ::_wgetenv(L"GASECU_HISTORY_WRITER_REPORT")) {
        // The writer's side: its own temporary folder is not needed.
        std::error_code ec;
        std::filesystem::remove(dir.path(), ec);
        const auto pipe = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(std::wcstoull(report, nullptr, 10)));
        WriteRecordsWithoutEnd(std::filesystem::path(::_wgetenv(L"GASECU_HISTORY_WRITER_FILE")), [pipe] {
            const char one = 1;
            DWORD written = 0;
            return ::WriteFile(pipe, &one, 1, &written, nullptr) && written == 1;
        });
        ::ExitProcess(1);
    }
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    ASSERT_TRUE(::CreatePipe(&readEnd, &writeEnd, &inherited, 0));
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    wchar_t self[MAX_PATH] = {};
    ASSERT_GT(::GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    std::wstring command = L"\"" + std::wstring(self) +
                           L"\" --gtest_filter=HistoryStoreTest.AWriterKilledMidRecordLeavesTheDatabaseWhole";
    ::SetEnvironmentVariableW(L"GASECU_HISTORY_WRITER_REPORT",
                              std::to_wstring(reinterpret_cast<std::uintptr_t>(writeEnd)).c_str());
    ::SetEnvironmentVariableW(L"GASECU_HISTORY_WRITER_FILE", file.c_str());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    const bool started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                          &startup, &child);
    ::SetEnvironmentVariableW(L"GASECU_HISTORY_WRITER_REPORT", nullptr);
    ::SetEnvironmentVariableW(L"GASECU_HISTORY_WRITER_FILE", nullptr);
    ::CloseHandle(writeEnd);  // a writer that dies early ends the reads below
    ASSERT_TRUE(started);
    char one = 0;
    DWORD got = 0;
    while (finished < kFinishedBeforeTheKill && ::ReadFile(readEnd, &one, 1, &got, nullptr) && got == 1) ++finished;
    // Killed wherever it is, as the task manager ends a program.
    ::TerminateProcess(child.hProcess, 137);
    ::WaitForSingleObject(child.hProcess, INFINITE);
    DWORD status = 0;
    ::GetExitCodeProcess(child.hProcess, &status);
    ::CloseHandle(child.hThread);
    ::CloseHandle(child.hProcess);
    ::CloseHandle(readEnd);
    ASSERT_EQ(finished, kFinishedBeforeTheKill);
    ASSERT_EQ(status, 137u);
#else
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(ready[0]);
        WriteRecordsWithoutEnd(file, [&ready] {
            const char one = 1;
            return write(ready[1], &one, 1) == 1;
        });
        _exit(1);
    }
    close(ready[1]);
    // Let it finish twenty records, then kill it wherever it is.
    char one = 0;
    while (finished < kFinishedBeforeTheKill && read(ready[0], &one, 1) == 1) ++finished;
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    close(ready[0]);
    ASSERT_EQ(finished, kFinishedBeforeTheKill);
    ASSERT_TRUE(WIFSIGNALED(status));
#endif

    EXPECT_EQ(Pragma(file, "PRAGMA integrity_check"), "ok");
    auto store = HistoryStore::Open(file);
    ASSERT_TRUE(store);
    const auto records = store->list({});
    ASSERT_GE(records.size(), static_cast<std::size_t>(kFinishedBeforeTheKill));
    for (const Record& summary : records) {
        const auto r = store->find(summary.id);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->curveText, curve::FormatCurveText(SomeCurve(static_cast<int>(r->id)))) << r->id;
    }
    EXPECT_TRUE(store->add(MakeRecord(Kind::CurveRead, "next start")));
}

}  // namespace
}  // namespace gasecu::history
