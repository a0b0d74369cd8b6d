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
#include <set>
#ifdef _WIN32
#include "platform/windows_api.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
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

// The label search folds case the Turkish way as well as the ASCII way.
TEST_F(HistoryStoreTest, LabelSearchFoldsTurkishLetters) {
    auto store = HistoryStore::Open(file);
    store->add(MakeRecord(Kind::CurveRead, "34 ŞÇ 123 İZMİR Ağa"));  // 1
    store->add(MakeRecord(Kind::CurveRead, "06 IVECO Daily ÖÜ"));   // 2
    const std::vector<std::pair<const char*, std::vector<std::int64_t>>> cases{
        {"AĞA", {1}}, {"şç", {1}}, {"izmir", {1}}, {"İzmir", {1}}, {"IZMIR", {1}},
        {"iveco", {2}}, {"ıveco", {2}}, {"öü", {2}}, {"ÖÜ", {2}}, {"i", {2, 1}}, {"ğaz", {}},
    };
    for (const auto& [search, expected] : cases) {
        std::vector<std::int64_t> ids;
        for (const Record& r : store->list({search, {}, "", "", 0, ""})) ids.push_back(r.id);
        EXPECT_EQ(ids, expected) << search;
    }
}

// A record of a kind this tool does not know is listed as unknown, not as another kind.
TEST_F(HistoryStoreTest, ANewerToolsKindIsListedAsUnknown) {
    auto store = HistoryStore::Open(file);
    store->add(MakeRecord(Kind::CurveRead, "read"));
    sqlite3* db = nullptr;
    sqlite3_open(curve::Utf8FromPath(file).c_str(), &db);
    sqlite3_exec(db,
                 "INSERT INTO records (time, port, kind, result, label, detail)"
                 " VALUES ('2026-12-10 10:00:00', '', 'map-write', 'done', 'newer', '')",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
    const auto all = store->list({});
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all.front().kind, Kind::Unknown);
    EXPECT_EQ(KindName(all.front().kind), "unknown");
    EXPECT_EQ(store->find(all.front().id)->kind, Kind::Unknown);
    EXPECT_EQ(store->list({"", Kind::CurveRead, "", "", 0, ""}).size(), 1u);
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

// A history name that is, or links onto, something other than a plain file (a
// disk's device node, a pipe) is refused with the reason, and nothing is written
// there or beside it. A link onto a missing name gives a new file through it.
TEST_F(HistoryStoreTest, OnlyAPlainFileOrANewOneThroughLinksIsOpened) {
#ifdef _WIN32
    GTEST_SKIP() << "pipes and device nodes in a folder are POSIX";
#else
    struct Case {
        const char* what;
        std::function<bool(const std::filesystem::path&)> make;  // false: cannot be made here
        bool refused;
    };
    const auto fifo = [](const std::filesystem::path& p) { return ::mkfifo(p.c_str(), 0600) == 0; };
    // Made by the test itself (the null device's numbers): never the system's node.
    const auto device = [](const std::filesystem::path& p) { return ::mknod(p.c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0; };
    const auto linkTo = [](std::function<bool(const std::filesystem::path&)> make) {
        return [make](const std::filesystem::path& p) {
            const auto target = std::filesystem::path(p).replace_filename("target");
            return (!make || make(target)) && ::symlink("target", p.c_str()) == 0;
        };
    };
    const std::vector<Case> cases{
        {"a pipe", fifo, true},
        {"a link onto a pipe", linkTo(fifo), true},
        {"a device node", device, true},
        {"a link onto a device node", linkTo(device), true},
        {"a link onto a missing name", linkTo(nullptr), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir here;
        const auto f = HistoryFileIn(here.path());
        if (!c.make(f)) continue;  // a device node needs the right to make one
        const auto namesBefore = test::FileNamesIn(here.path());
        std::string error;
        auto store = HistoryStore::Open(f, &error);
        if (!c.refused) {
            ASSERT_TRUE(store) << error;
            EXPECT_TRUE(store->add(MakeRecord(Kind::CurveRead, "new")));
            EXPECT_TRUE(std::filesystem::is_symlink(f));
            EXPECT_TRUE(std::filesystem::is_regular_file(here.path() / "target"));
            continue;
        }
        EXPECT_FALSE(store);
        EXPECT_NE(error.find("not a plain file"), std::string::npos) << error;
        DatabaseRestorePoints points(f);
        EXPECT_FALSE(points.keep(MakeRecord(Kind::CurveRead, "lost")));
        EXPECT_EQ(test::FileNamesIn(here.path()), namesBefore);
    }
#endif
}

// The history shared by two programs at once: the window keeping a job's records
// while a command lists and writes beside it, each turn opening and closing the
// file. Between its records the window's process opens and closes the database's
// files by descriptors of its own (a file dialog reading the folder): on POSIX a
// process's locks on a file go with any close of it.
TEST(HistorySharing, RecordsOfTwoProgramsSurviveTheWindowsOwnOpensAndCloses) {
#ifdef _WIN32
    GTEST_SKIP() << "a Windows lock belongs to its handle: closing another handle leaves it in place";
#else
    test::TempDir dir;
    const auto file = HistoryFileIn(dir.path());
    // Record n carries n as its label and SomeCurve(n) as its curve.
    const auto numbered = [](int n) {
        Record r = MakeRecord(Kind::CurveRead, std::to_string(n));
        r.curveText = curve::FormatCurveText(SomeCurve(n));
        return r;
    };
    int toCommand[2], toWindow[2];
    ASSERT_EQ(pipe(toCommand), 0);
    ASSERT_EQ(pipe(toWindow), 0);
    const pid_t command = fork();  // before the window's side opens anything
    ASSERT_GE(command, 0);
    if (command == 0) {
        close(toCommand[1]);
        close(toWindow[0]);
        char turn = 0;
        while (read(toCommand[0], &turn, 1) == 1) {
            auto store = HistoryStore::Open(file);
            const char ok = store && store->add(numbered(100 + turn)) && !store->list({}).empty();
            store.reset();
            if (write(toWindow[1], &ok, 1) != 1) break;
        }
        _exit(0);
    }
    close(toCommand[0]);
    close(toWindow[1]);
    std::set<std::string> expected;
    {
        DatabaseRestorePoints window(file);
        for (char turn = 0; turn < 4; ++turn) {
            ASSERT_TRUE(window.keep(numbered(turn))) << window.lastError();
            for (const char* end : {"", "-wal", "-shm"})
                if (const int fd = ::open((std::filesystem::path(file) += end).c_str(), O_RDONLY); fd >= 0) ::close(fd);
            char ok = 0;
            ASSERT_EQ(write(toCommand[1], &turn, 1), 1);
            ASSERT_EQ(read(toWindow[0], &ok, 1), 1);
            EXPECT_EQ(ok, 1) << "turn " << int{turn};
            expected.insert({std::to_string(turn), std::to_string(100 + turn)});
        }
        ASSERT_TRUE(window.keep(numbered(50)));
        expected.insert("50");
    }
    close(toCommand[1]);
    waitpid(command, nullptr, 0);
    close(toWindow[0]);

    auto store = HistoryStore::Open(file);
    ASSERT_TRUE(store);
    const auto records = store->list({});
    std::set<std::string> found;
    for (const Record& r : records) {
        found.insert(r.label);
        EXPECT_EQ(store->find(r.id)->curveText, curve::FormatCurveText(SomeCurve(std::stoi(r.label)))) << r.label;
    }
    EXPECT_EQ(found, expected);
    EXPECT_EQ(records.size(), expected.size());
#endif
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
