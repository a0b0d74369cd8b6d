// The one way the tool writes a file: whole or not at all, the old file kept on
// any failure, the failure reported, nothing left behind.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <set>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "platform/atomic_file_write.h"
#include "support/disk_full.h"
#include "support/temp_dir.h"

namespace gasecu {
namespace {

namespace fs = std::filesystem;

using test::ReadWholeFile;
using test::WriteWholeFile;

const std::string kOld = "4 25 116 110 134 122 \r\n";

TEST(AtomicFileWrite, WritesExactlyTheBytesGivenAndReplacesALongerFileWhole) {
    struct Case {
        const char* name;
        std::string before;  // empty: no file yet
        std::string contents;
    };
    const std::string binary("1\r\n\0\xff\x1a end", 10);
    for (const Case& c : {Case{"new file", "", "1\r\n"}, Case{"empty contents", kOld, ""},
                          Case{"shorter than the old file", kOld + kOld + kOld, "0\r\n"},
                          Case{"bytes a text stream would change", kOld, binary},
                          Case{"large", "", std::string(300000, 'x')}}) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        const fs::path file = dir.path() / "Cur_05.txt";
        if (!c.before.empty()) WriteWholeFile(file, c.before);
        EXPECT_TRUE(WriteFileAtomically(file, c.contents));
        EXPECT_EQ(ReadWholeFile(file), c.contents);
        EXPECT_EQ(test::FileNamesIn(dir.path()), std::set<std::string>{"Cur_05.txt"});
    }
}

// Links onto devices and chains of links: POSIX ground.
#ifndef _WIN32
TEST(AtomicFileWrite, AFailedWriteKeepsTheOldFileLeavesNothingBehindAndSaysWhy) {
    struct Case {
        const char* name;
        std::function<fs::path(const fs::path&)> arrange;  // returns the path to write
        std::string contents;
        std::optional<std::uintmax_t> diskRoom;  // bytes a file may take; none: not limited
        WriteFailure why;
    };
    const Case cases[] = {
        {"disk full half way", [](const fs::path& d) { return d / "Cur_05.txt"; }, std::string(4096, '7'), 100,
         WriteFailure::DiskFull},
        {"disk full at once", [](const fs::path& d) { return d / "Cur_05.txt"; }, "1\r\n", 0, WriteFailure::DiskFull},
        {"the name is a folder",
         [](const fs::path& d) {
             fs::create_directory(d / "Cur_06.txt");
             return d / "Cur_06.txt";
         },
         "1\r\n", std::nullopt, WriteFailure::FolderInTheWay},
        {"the folder is a plain file", [](const fs::path& d) { return d / "Cur_05.txt" / "Dilsecim"; }, "1\r\n",
         std::nullopt, WriteFailure::NoFolder},
        {"the folder is missing", [](const fs::path& d) { return d / "gone" / "Dilsecim"; }, "1\r\n", std::nullopt,
         WriteFailure::NoFolder},
        {"no name at all", [](const fs::path& d) { return d / ""; }, "1\r\n", std::nullopt, WriteFailure::NoName},
        {"a link onto a device",
         [](const fs::path& d) {
             fs::create_symlink(test::MakeDeviceOrPipe(d / "device"), d / "Cur_11.txt");
             return d / "Cur_11.txt";
         },
         "1\r\n", std::nullopt, WriteFailure::NotAFile},
        {"a link onto a link onto a device",
         [](const fs::path& d) {
             fs::create_symlink(test::MakeDeviceOrPipe(d / "device"), d / "Cur_12.txt");
             fs::create_symlink("Cur_12.txt", d / "Cur_13.txt");
             return d / "Cur_13.txt";
         },
         "1\r\n", std::nullopt, WriteFailure::NotAFile},
        {"a pipe", [](const fs::path& d) {
             ::mkfifo((d / "Cur_14.txt").c_str(), 0644);
             return d / "Cur_14.txt";
         },
         "1\r\n", std::nullopt, WriteFailure::NotAFile},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.diskRoom && !test::kDiskLimitAvailable) continue;
        test::TempDir dir;
        WriteWholeFile(dir.path() / "Cur_05.txt", kOld);
        const fs::path target = c.arrange(dir.path());
        const auto namesBefore = test::FileNamesIn(dir.path());
        std::optional<WriteFailure> failure;
        {
            std::optional<test::DiskFull> full;
            if (c.diskRoom) full.emplace(*c.diskRoom);
            failure = WriteFileWhole(target, c.contents);
        }
        EXPECT_EQ(failure, c.why);
        EXPECT_EQ(ReadWholeFile(dir.path() / "Cur_05.txt"), kOld);
        EXPECT_EQ(test::FileNamesIn(dir.path()), namesBefore);
        // Checked before writing, the same cause shows (a full disk shows only then).
        if (!c.diskRoom) {
            EXPECT_EQ(CheckWritable(target), c.why);
        }
        // A link stays a link and its device a device.
        if (fs::is_symlink(fs::symlink_status(target))) {
            EXPECT_FALSE(fs::is_regular_file(fs::status(target)));
        }
    }
}

TEST(AtomicFileWrite, APlainFileNewOrOldOrBehindALinkCanBeWritten) {
    test::TempDir dir;
    WriteWholeFile(dir.path() / "Cur_05.txt", kOld);
    fs::create_symlink("Cur_05.txt", dir.path() / "Cur_06.txt");
    fs::create_symlink("Cur_09.txt", dir.path() / "Cur_08.txt");  // the link's target is yet to come
    for (const char* name : {"Cur_05.txt", "Cur_06.txt", "Cur_07.txt", "Cur_08.txt"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(CheckWritable(dir.path() / name), std::nullopt);
        EXPECT_EQ(WriteFileWhole(dir.path() / name, "new"), std::nullopt);
    }
    EXPECT_EQ(ReadWholeFile(dir.path() / "Cur_05.txt"), "new");
    EXPECT_EQ(ReadWholeFile(dir.path() / "Cur_09.txt"), "new");
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir.path() / "Cur_08.txt")));
}

#endif

TEST(AtomicFileWrite, EveryReasonHasItsTextInBothLanguages) {
    std::set<std::string> turkish, english;
    for (WriteFailure f : {WriteFailure::NoName, WriteFailure::NoFolder, WriteFailure::FolderInTheWay,
                           WriteFailure::NotAFile, WriteFailure::NoPermission, WriteFailure::DiskFull,
                           WriteFailure::Other}) {
        turkish.insert(WriteFailureTurkish(f));
        english.insert(WriteFailureEnglish(f));
    }
    EXPECT_EQ(turkish.size(), 7u);
    EXPECT_EQ(english.size(), 7u);
    EXPECT_EQ(std::string(WriteFailureEnglish(WriteFailure::DiskFull)), "DISK FULL, FILE NOT WRITTEN ! ");
}

// Permission bits, the umask and symbolic links a fitter makes are POSIX matters.
#ifndef _WIN32
TEST(AtomicFileWrite, KeepsTheOldFilesPermissionsAndFollowsALink) {
    test::TempDir dir;
    const fs::path file = dir.path() / "Cur_07.txt";
    WriteWholeFile(file, kOld);
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(WriteFileAtomically(file, "new"));
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    // A curve folder the fitter linked in from another drive stays a link.
    fs::create_directory(dir.path() / "drive");
    WriteWholeFile(dir.path() / "drive" / "Cur_08.txt", kOld);
    fs::create_symlink(fs::path("drive") / "Cur_08.txt", dir.path() / "Cur_08.txt");
    ASSERT_TRUE(WriteFileAtomically(dir.path() / "Cur_08.txt", "through the link"));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir.path() / "Cur_08.txt")));
    EXPECT_EQ(ReadWholeFile(dir.path() / "drive" / "Cur_08.txt"), "through the link");
    EXPECT_EQ(test::FileNamesIn(dir.path() / "drive"), std::set<std::string>{"Cur_08.txt"});
}

TEST(AtomicFileWrite, ANewFileFollowsTheUmask) {
    test::TempDir dir;
    const mode_t previous = ::umask(022);
    const bool written = WriteFileAtomically(dir.path() / "Dilsecim", "1\r\n");
    ::umask(previous);
    ASSERT_TRUE(written);
    EXPECT_EQ(fs::status(dir.path() / "Dilsecim").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
}
#endif

}  // namespace
}  // namespace gasecu
