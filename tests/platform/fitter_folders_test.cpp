// The files of the tool as a fitter's Windows laptop has them: folders and names
// with Turkish letters and spaces, files replaced while another program holds them,
// CR LF line ends, ports called COM1..COM15. The same cases run on Linux and, in
// CI, as a Windows program under Wine with the western code page 1252, which has
// no "ş", "ğ", "ı" or "İ": a name pushed through it arrives mangled or not at all.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/windows_api.h"

#include "app/form1korvane.h"
#include "curve/curve_fixture.h"
#include "curve/curve_file_io.h"
#include "history/history_store.h"
#include "link/remembered_port.h"
#include "platform/atomic_file_write.h"
#include "platform/program_arguments.h"
#include "runtime/port_map.h"
#include "support/disk_full.h"
#include "support/temp_dir.h"
#include "virtual_clock.h"
#include "virtual_ecu.h"
#include "virtual_port.h"
#include "virtual_time_runner.h"

namespace gasecu {
namespace {

namespace fs = std::filesystem;

using test::FileNamesIn;
using test::ReadWholeFile;
using test::WriteWholeFile;

// A customer's folder as a workshop names it, one inside the other.
fs::path FitterFolder(const test::TempDir& dir) {
    const fs::path folder = dir.path() / fs::path(u8"Müşteri Ğİ klasörü") / fs::path(u8"İş yeri ışık");
    fs::create_directories(folder);
    return folder;
}

const std::string kOldCurve = "4 25 116 110 134 122 \r\n";

// The window on the virtual-time runner with its data in `folder` and the virtual
// ECU on COM`ecuPort`.
struct FolderHarness {
    explicit FolderHarness(const fs::path& folder, int ecuPort = 4)
        : runnerOwner(std::make_unique<sim::VirtualTimeRunner>()),
          runner(*runnerOwner),
          clock(runner, std::chrono::local_days{std::chrono::year{2026} / 12 / 9} + std::chrono::hours{8}),
          port(runner),
          form({folder, folder / "user", &port, nullptr, '.'}) {
        port.attachPeer(ecuPort, &ecu);
        port.setSentObserver([this](int number, const Bytes& frame) { runner.recordSent(number, frame); });
        form.env.clock = &clock;
        runner.attach(form);
        form.Form_Load();
        form.LanguageIndex = 1;
    }
    ~FolderHarness() { runnerOwner.reset(); }

    bool connect() {
        form.ComOpenButon_Click();
        return runner.runUntil([this] { return form.LinkUp && form.SequencerState == 8; }, 20000);
    }

    std::unique_ptr<sim::VirtualTimeRunner> runnerOwner;
    sim::VirtualTimeRunner& runner;
    sim::VirtualClock clock;
    sim::VirtualEcu ecu;
    sim::VirtualPort port;
    Form1Korvane form;
};

// The run under Wine is set up as a western Windows (scripts/wine_run.sh); this
// proves it, so the cases below meet the code page they are meant to meet.
TEST(FitterFolders, TheWindowsRunHasTheWesternCodePageAndATurkishTemporaryFolder) {
#ifdef _WIN32
    const char* expected = std::getenv("GASECU_EXPECT_ANSI_CODE_PAGE");
    if (!expected) GTEST_SKIP() << "not started by scripts/wine_run.sh";
    EXPECT_EQ(::GetACP(), static_cast<unsigned>(std::atoi(expected)));
    EXPECT_NE(curve::Utf8FromPath(fs::temp_directory_path()).find("Müşteri Ğİ"), std::string::npos);
#else
    GTEST_SKIP() << "Windows only";
#endif
}

// Save, load, the language choice, the remembered port and the data log, all in a
// folder with Turkish letters and spaces: each lands under exactly its name (a
// name mangled on the way would show as another entry of the folder) and is read
// back.
TEST(FitterFolders, EveryFileOfTheToolKeepsTurkishLettersAndSpaces) {
    test::TempDir dir;
    const fs::path folder = FitterFolder(dir);
    FolderHarness h(folder, 12);

    // The curve, saved and loaded through the file dialog's UTF-8 name.
    test::ScriptedDialogs dialogs;
    h.form.env.fileDialogs = &dialogs;
    const fs::path curveFile = folder / fs::path(u8"Cur_ğı.txt");
    dialogs.answer = curve::Utf8FromPath(curveFile);
    h.form.CurveTable[2][5] = 137;
    h.form.ButonDiskeYaz_Click();
    EXPECT_EQ(h.form.KomutSatırı.text, "FILE NO ERRORS " + dialogs.answer + " — CURVE SAVED");
    EXPECT_NE(ReadWholeFile(curveFile).find(" 137 "), std::string::npos);
    h.form.CurveTable[2][5] = 0;
    h.form.ButonDisktenOku_Click();
    EXPECT_EQ(h.form.CurveTable[2][5], 137);

    // The language choice, kept for the next start.
    h.form.Dilsec.selectedIndex = 0;
    h.form.Dilsec_Click();
    EXPECT_EQ(ReadWholeFile(folder / "Dilsecim"), "0\r\n");
    h.form.Dilsec.selectedIndex = 1;
    h.form.Dilsec_Click();

    // The port the ECU answered on, probed first next time.
    ASSERT_TRUE(h.connect());
    EXPECT_EQ(ReadWholeFile(folder / link::kRememberedPortFileName), "COM12\r\n");

    // The data log, recorded for two replies and closed.
    h.form.ButonKayıt_Click();
    ASSERT_NE(h.form.LiveLog, nullptr);
    const fs::path log = h.form.LiveLog->finalPath();
    h.runner.runFor(1000);
    h.form.ButonKayıt_Click();
    EXPECT_EQ(h.form.KomutSatırı.text.rfind("LOG SAVED : " + curve::Utf8FromPath(log), 0), 0u) << h.form.KomutSatırı.text;
    EXPECT_EQ(log.parent_path(), folder);
    EXPECT_TRUE(fs::is_regular_file(log));

    EXPECT_EQ(FileNamesIn(folder), (std::set<std::string>{"Cur_00.txt", "Cur_ğı.txt", "Dilsecim",
                                                          link::kRememberedPortFileName,
                                                          curve::Utf8FromPath(log.filename())}));

    // The next start finds the stored language and probes COM12 first.
    FolderHarness again(folder, 12);
    EXPECT_EQ(again.form.LanguageIndex, 1);
    again.form.ComOpenButon_Click();
    ASSERT_TRUE(again.runner.runUntil([&] { return !again.runner.sentFrames().empty(); }, 5000));
    EXPECT_EQ(again.runner.sentFrames().front().port, 12);
}

// Every file the tool writes as text ends its lines with exactly CR LF, on Windows
// too (a text-mode write there would make CR CR LF); the data log is written as
// bytes too, its rows ending in LF on every system.
TEST(FitterFolders, LineEndsAreWrittenAsTheyAreMeant) {
    test::TempDir dir;
    const fs::path folder = FitterFolder(dir);
    FolderHarness h(folder);
    test::ScriptedDialogs dialogs;
    h.form.env.fileDialogs = &dialogs;
    dialogs.answer = curve::Utf8FromPath(folder / "Cur_05.txt");
    h.form.ButonDiskeYaz_Click();
    h.form.Dilsec_Click();
    ASSERT_TRUE(h.connect());
    h.form.ButonKayıt_Click();
    ASSERT_NE(h.form.LiveLog, nullptr);
    const fs::path log = h.form.LiveLog->finalPath();
    h.runner.runFor(1000);
    h.form.ButonKayıt_Click();

    struct Case {
        fs::path file;
        const char* end;  // what each line ends with
        std::size_t lines;
    };
    for (const Case& c : {Case{folder / "Cur_05.txt", "\r\n", 9}, Case{folder / "Cur_00.txt", "\r\n", 9},
                          Case{folder / "Dilsecim", "\r\n", 1},
                          Case{folder / link::kRememberedPortFileName, "\r\n", 1}, Case{log, "\n", 3}}) {
        SCOPED_TRACE(curve::Utf8FromPath(c.file.filename()));
        const std::string bytes = ReadWholeFile(c.file);
        std::size_t lines = 0;
        for (std::size_t at = 0; (at = bytes.find('\n', at)) != std::string::npos; ++at, ++lines) {
            const std::string end = bytes.substr(at + 1 - std::string(c.end).size(), std::string(c.end).size());
            ASSERT_EQ(end, c.end) << "line " << lines + 1;
            if (std::string(c.end) == "\r\n") {
                ASSERT_FALSE(at >= 2 && bytes[at - 2] == '\r') << "line " << lines + 1;
            }
        }
        EXPECT_EQ(bytes.find('\r') == std::string::npos, std::string(c.end) == "\n");
        EXPECT_GE(lines, c.lines);
        EXPECT_EQ(bytes.back(), '\n');
    }
}

// The history of restore points, Gecmis.db, in the fitter's folder with Turkish
// letters: the database lands under exactly its name (with SQLite's companion
// files beside it, nothing mangled), and the record of a save names the curve
// file and the job whole. On Windows a backup program may hold the database
// with no sharing when the tool starts: the save goes through, the status line
// says the record was not kept, and once the file is free the next one is.
TEST(FitterFolders, TheHistoryKeepsItsRecordsInATurkishFolder) {
    test::TempDir dir;
    const fs::path folder = FitterFolder(dir);
    const fs::path database = history::HistoryFileIn(folder);
    FolderHarness h(folder);
    test::ScriptedDialogs dialogs;
    h.form.env.fileDialogs = &dialogs;
    h.form.env.keepHistory = true;
    h.form.env.jobLabel = "34 ÇĞŞ 12 Doğan";
    const fs::path first = folder / fs::path(u8"Cur_ğı.txt");
    const fs::path second = folder / fs::path(u8"Cur_İş.txt");
#ifdef _WIN32
    WriteWholeFile(database, "");
    const HANDLE held = ::CreateFileW(database.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    h.form.OpenRestorePoints();
    dialogs.answer = curve::Utf8FromPath(folder / "Cur_03.txt");
    h.form.ButonDiskeYaz_Click();
    h.form.SettleRestorePoints();
    EXPECT_EQ(h.form.KomutSatırı.text, "FILE NO ERRORS " + dialogs.answer + " — CURVE SAVED (NOT KEPT IN THE HISTORY)");
    EXPECT_TRUE(fs::is_regular_file(folder / "Cur_03.txt"));
    ::CloseHandle(held);
    fs::remove(folder / "Cur_03.txt");
#else
    h.form.OpenRestorePoints();
#endif
    for (const fs::path& file : {first, second}) {
        dialogs.answer = curve::Utf8FromPath(file);
        h.form.ButonDiskeYaz_Click();
        EXPECT_EQ(h.form.KomutSatırı.text, "FILE NO ERRORS " + dialogs.answer + " — CURVE SAVED");
    }
    h.form.SettleRestorePoints();

    const std::set<std::string> allowed{"Cur_00.txt", "Cur_ğı.txt", "Cur_İş.txt", "Gecmis.db", "Gecmis.db-wal",
                                        "Gecmis.db-shm"};
    for (const std::string& name : FileNamesIn(folder)) EXPECT_TRUE(allowed.count(name)) << name;
    EXPECT_TRUE(fs::is_regular_file(database));

    auto store = history::HistoryStore::Open(database);
    ASSERT_TRUE(store);
    std::vector<std::string> saved;
    for (const history::Record& r : store->list({})) {
        EXPECT_EQ(r.label, "34 ÇĞŞ 12 Doğan");
        if (r.kind == history::Kind::FileSave) saved.push_back(r.detail);
    }
    EXPECT_EQ(saved, (std::vector<std::string>{curve::Utf8FromPath(second), curve::Utf8FromPath(first)}));
}

// Replacing a file that another program holds open (an editor with the curve, a
// spreadsheet with the port file): on Windows the system refuses, and the old file
// must come through whole with the failure reported; on Linux the new file takes
// the name while the reader keeps the old one.
TEST(FitterFolders, ATargetHeldOpenByAnotherProgram) {
    test::TempDir dir;
    const fs::path file = FitterFolder(dir) / "Cur_05.txt";
    WriteWholeFile(file, kOldCurve);
    const auto namesBefore = FileNamesIn(file.parent_path());
#ifdef _WIN32
    // As an editor holds a file: read, shared for reading only.
    const HANDLE held = ::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    SetRenameRetryPause([](int) {});  // the retries without their real pauses
    EXPECT_EQ(WriteFileWhole(file, "new"), WriteFailure::InUse);
    SetRenameRetryPause({});
    ::CloseHandle(held);
    EXPECT_EQ(ReadWholeFile(file), kOldCurve);
    EXPECT_EQ(FileNamesIn(file.parent_path()), namesBefore);  // no temporary left behind
    // Once the other program lets go, the same write goes through.
    EXPECT_TRUE(WriteFileAtomically(file, "new"));
    EXPECT_EQ(ReadWholeFile(file), "new");
#else
    std::FILE* held = std::fopen(file.c_str(), "rb");  // narrow path: POSIX only
    ASSERT_NE(held, nullptr);
    EXPECT_TRUE(WriteFileAtomically(file, "new"));
    char first[8] = {};
    EXPECT_EQ(std::fread(first, 1, 7, held), 7u);
    std::fclose(held);
    EXPECT_EQ(std::string(first), kOldCurve.substr(0, 7));
    EXPECT_EQ(ReadWholeFile(file), "new");
    EXPECT_EQ(FileNamesIn(file.parent_path()), namesBefore);
#endif
}

// The window's port numbers are the COM ports on Windows: COM1..COM15 when none
// is named; the ports named with --port come first (any COM number, however
// written), then the other COM ports in rising order, fifteen in all. What the
// system detects plays no part.
TEST(FitterFolders, PortNumbersAreComPortsOnWindows) {
    const std::vector<std::string> detected = {"/dev/ttyS0", "/dev/ttyACM0"};
    for (int number = 1; number <= 15; ++number)
        EXPECT_EQ(PortDevice(number, {}, detected, true), "COM" + std::to_string(number));
    struct Case {
        std::vector<std::string> named;
        std::vector<std::string> ports;  // numbers 1, 2, 3, 4 and 15
    };
    for (const Case& c : {Case{{"COM7"}, {"COM7", "COM1", "COM2", "COM3", "COM15"}},
                          Case{{"com17", "\\\\.\\COM3"}, {"COM17", "COM3", "COM1", "COM2", "COM14"}},
                          Case{{"COM3", "com3"}, {"COM3", "COM1", "COM2", "COM4", "COM15"}}}) {
        SCOPED_TRACE(c.named.front());
        for (int i = 0; i < 4; ++i) EXPECT_EQ(PortDevice(i + 1, c.named, detected, true), c.ports[i]);
        EXPECT_EQ(PortDevice(15, c.named, detected, true), c.ports[4]);
        for (int number : {-1, 0, 16, 99}) EXPECT_EQ(PortDevice(number, c.named, detected, true), "") << number;
    }
}

// A remembered COM1 is not COM12 nor COM10..COM15, and COM12 is not COM1: the
// first probe goes to the port the file names and to no other.
TEST(FitterFolders, TheRememberedComPortIsMatchedWhole) {
    struct Case {
        const char* file;
        int ecuPort;
        int firstProbe;
    };
    for (const Case& c : {Case{"COM1\r\n", 12, 1}, Case{"COM12\r\n", 12, 12}, Case{"COM12\r\n", 1, 12},
                          Case{"COM15\r\n", 15, 15}, Case{"COM1\r\n", 1, 1}}) {
        SCOPED_TRACE(c.file);
        test::TempDir dir;
        const fs::path folder = FitterFolder(dir);
        WriteWholeFile(folder / link::kRememberedPortFileName, c.file);
        FolderHarness h(folder, c.ecuPort);
        h.form.ComOpenButon_Click();
        ASSERT_TRUE(h.runner.runUntil([&] { return h.form.LinkUp && h.form.SequencerState == 8; }, 20000));
        ASSERT_FALSE(h.runner.sentFrames().empty());
        EXPECT_EQ(h.runner.sentFrames().front().port, c.firstProbe);
        EXPECT_EQ(ReadWholeFile(folder / link::kRememberedPortFileName),
                  "COM" + std::to_string(c.ecuPort) + "\r\n");
    }
}

// A curve file named on the command line ("gasecu write-curve C:\Müşteri\...")
// reaches the command whole. The test starts itself again with such a word; the
// second run writes down what it was given, the way the program's argv gives it
// and the way the commands take it.
TEST(FitterFolders, ACommandLineWordKeepsItsTurkishLetters) {
#ifdef _WIN32
    const std::string word = "C:\\Müşteri Ğİ\\Cur_01.txt";
    if (const wchar_t* echo = ::_wgetenv(L"GASECU_ECHO_ARGUMENTS_TO")) {
        const std::vector<std::string> words = ProgramArguments(__argc, __argv);
        WriteWholeFile(fs::path(echo), (words.empty() ? std::string() : words.back()) + "\n" + __argv[__argc - 1]);
        return;
    }
    test::TempDir dir;
    const fs::path echoed = dir.path() / "words.txt";
    wchar_t self[MAX_PATH] = {};
    ASSERT_GT(::GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    std::wstring command = L"\"" + std::wstring(self) +
                           L"\" --gtest_filter=FitterFolders.ACommandLineWordKeepsItsTurkishLetters \"" +
                           curve::PathFromUtf8(word).native() + L"\"";
    ::SetEnvironmentVariableW(L"GASECU_ECHO_ARGUMENTS_TO", echoed.c_str());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    const bool started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                          &startup, &child);
    ::SetEnvironmentVariableW(L"GASECU_ECHO_ARGUMENTS_TO", nullptr);
    ASSERT_TRUE(started);
    ::WaitForSingleObject(child.hProcess, INFINITE);
    ::CloseHandle(child.hThread);
    ::CloseHandle(child.hProcess);
    const std::string both = ReadWholeFile(echoed);
    const std::size_t split = both.find('\n');
    ASSERT_NE(split, std::string::npos) << both;
    EXPECT_EQ(both.substr(0, split), word);
    // The narrow argv of the same run lost letters the code page lacks.
    EXPECT_NE(both.substr(split + 1), word);
#else
    char program[] = "gasecu";
    std::string word = "/home/usta/Müşteri Ğİ/Cur_01.txt";
    char* argv[] = {program, word.data()};
    EXPECT_EQ(ProgramArguments(2, argv), std::vector<std::string>{word});
#endif
}

}  // namespace
}  // namespace gasecu
