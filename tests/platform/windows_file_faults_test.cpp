// What a fitter's Windows laptop puts in the way of a save that Linux does not:
// files marked read-only, device names in every folder, paths past the old 260
// characters, and a target that a virus scanner or the search indexer holds for
// a moment. Run in CI as a Windows program under Wine; the long path runs on
// Linux too.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "platform/windows_api.h"

#include "curve/curve_file_io.h"
#include "platform/atomic_file_write.h"
#include "support/disk_full.h"
#include "support/temp_dir.h"

namespace gasecu {
namespace {

namespace fs = std::filesystem;

using test::FileNamesIn;
using test::ReadWholeFile;
using test::WriteWholeFile;

const std::string kOld = "4 25 116 110 134 122 \r\n";

#ifdef _WIN32
std::wstring Extended(const fs::path& path) { return L"\\\\?\\" + fs::absolute(path).make_preferred().wstring(); }
#endif

// A folder path of more than 300 characters, made level by level.
fs::path DeepFolder(const fs::path& base) {
    fs::path folder = base;
    for (int level = 0; level < 7; ++level) {
        folder /= "Musteri klasoru " + std::to_string(level) + std::string(30, 'x');
#ifdef _WIN32
        ::CreateDirectoryW(Extended(folder).c_str(), nullptr);
#else
        fs::create_directory(folder);
#endif
    }
    return folder;
}

std::string ReadLong(const fs::path& file) {
#ifdef _WIN32
    const HANDLE handle = ::CreateFileW(Extended(file).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return "(cannot open)";
    std::string text(4096, '\0');
    DWORD got = 0;
    ::ReadFile(handle, text.data(), static_cast<DWORD>(text.size()), &got, nullptr);
    ::CloseHandle(handle);
    text.resize(got);
    return text;
#else
    return ReadWholeFile(file);
#endif
}

TEST(WindowsFileFaults, APathPastTwoHundredSixtyCharactersIsWrittenAndReplaced) {
    test::TempDir dir;
    const fs::path file = DeepFolder(dir.path()) / "Cur_05.txt";
    ASSERT_GT(fs::absolute(file).native().size(), 300u);
    EXPECT_EQ(CheckWritable(file), std::nullopt);
    EXPECT_EQ(WriteFileWhole(file, kOld), std::nullopt);
    EXPECT_EQ(WriteFileWhole(file, "new"), std::nullopt);
    EXPECT_EQ(ReadLong(file), "new");
    // And read back as the tool reads a curve file the fitter picked.
    EXPECT_EQ(curve::ReadCurveFileText(file), "new");
    EXPECT_EQ(curve::ReadCurveFile(file.parent_path()).problem, curve::CurveFileRead::Problem::NotAFile);
#ifdef _WIN32
    ::DeleteFileW(Extended(file).c_str());
    for (fs::path folder = file.parent_path(); folder != dir.path(); folder = folder.parent_path())
        ::RemoveDirectoryW(Extended(folder).c_str());
#endif
}

#ifdef _WIN32

// A refused write keeps the old file whole, leaves no temporary and gives the
// reason the status line shows; the check made before a command opens a port
// gives the same reason.
TEST(WindowsFileFaults, AWriteWindowsWouldMisdirectOrRefuseIsRefusedAtOnce) {
    struct Case {
        const char* name;
        std::function<fs::path(const fs::path&)> arrange;
        WriteFailure why;
    };
    const Case cases[] = {
        {"a file marked read-only",
         [](const fs::path& d) {
             ::SetFileAttributesW((d / "Cur_05.txt").c_str(), FILE_ATTRIBUTE_READONLY);
             return d / "Cur_05.txt";
         },
         WriteFailure::NoPermission},
        {"the console", [](const fs::path& d) { return d / "CON"; }, WriteFailure::NoName},
        {"a serial port with an extension", [](const fs::path& d) { return d / "COM1.txt"; }, WriteFailure::NoName},
        {"the null device, lower case", [](const fs::path& d) { return d / "nul.cur"; }, WriteFailure::NoName},
        {"a printer port, a space before the dot", [](const fs::path& d) { return d / "LPT9 .txt"; },
         WriteFailure::NoName},
        {"the auxiliary device", [](const fs::path& d) { return d / "Aux"; }, WriteFailure::NoName},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        WriteWholeFile(dir.path() / "Cur_05.txt", kOld);
        const fs::path target = c.arrange(dir.path());
        const auto namesBefore = FileNamesIn(dir.path());
        EXPECT_EQ(CheckWritable(target), c.why);
        EXPECT_EQ(WriteFileWhole(target, "new"), c.why);
        // A device is never opened to be read as a curve either (CON would wait for the keyboard).
        if (c.why == WriteFailure::NoName) {
            EXPECT_EQ(curve::ReadCurveFile(target).problem, curve::CurveFileRead::Problem::NotAFile);
        }
        EXPECT_EQ(ReadWholeFile(dir.path() / "Cur_05.txt"), kOld);
        EXPECT_EQ(FileNamesIn(dir.path()), namesBefore);
        ::SetFileAttributesW((dir.path() / "Cur_05.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

// Only the device names themselves are refused: names that merely start like
// them are ordinary files. A folder Explorer shows as read-only takes new files,
// as it does on Windows (the mark only says the folder is customised).
TEST(WindowsFileFaults, NamesThatOnlyLookLikeDevicesAndReadOnlyFoldersAreWritten) {
    test::TempDir dir;
    const fs::path folder = dir.path() / "Salt okunur";
    fs::create_directory(folder);
    ::SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_READONLY);
    for (const char* name : {"CONSOLE.txt", "COM10.txt", "Cur_CON.txt", "LPT0.txt", "NULL", "COM.txt"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(CheckWritable(folder / name), std::nullopt);
        EXPECT_EQ(WriteFileWhole(folder / name, kOld), std::nullopt);
        EXPECT_EQ(ReadWholeFile(folder / name), kOld);
    }
    ::SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A scanner that opens the file the tool has just written holds it for a moment:
// the rename over it is tried again, and goes through once the scanner lets go.
// A program that does not let go fails the write after every try, with the
// reason, the old file whole and no temporary left.
TEST(WindowsFileFaults, ATargetHeldForAMomentIsReplacedOnALaterTry) {
    test::TempDir dir;
    const fs::path file = dir.path() / "Cur_05.txt";
    WriteWholeFile(file, kOld);
    const auto namesBefore = FileNamesIn(dir.path());
    struct Case {
        const char* name;
        int lettingGoAfterTry;  // 0: never
        std::optional<WriteFailure> result;
        std::string contents;
    };
    for (const Case& c : {Case{"let go after the second try", 2, std::nullopt, "new"},
                          Case{"held throughout", 0, WriteFailure::InUse, "new"}}) {
        SCOPED_TRACE(c.name);
        HANDLE held = ::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        int pauses = 0;
        SetRenameRetryPause([&](int attempt) {
            ++pauses;
            if (attempt == c.lettingGoAfterTry) {
                ::CloseHandle(held);
                held = INVALID_HANDLE_VALUE;
            }
        });
        const std::string before = ReadWholeFile(file);
        EXPECT_EQ(WriteFileWhole(file, c.contents), c.result);
        SetRenameRetryPause({});
        if (held != INVALID_HANDLE_VALUE) ::CloseHandle(held);
        EXPECT_EQ(pauses, c.lettingGoAfterTry ? c.lettingGoAfterTry : kRenameAttempts - 1);
        EXPECT_EQ(ReadWholeFile(file), c.result ? before : c.contents);
        EXPECT_EQ(FileNamesIn(dir.path()), namesBefore);
    }
    EXPECT_EQ(std::string(WriteFailureEnglish(WriteFailure::InUse)), "FILE IS OPEN IN ANOTHER PROGRAM, NOT WRITTEN ! ");
}

#endif

}  // namespace
}  // namespace gasecu
