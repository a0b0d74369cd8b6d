// The data log's file on a disk that fills up: the write says so, and the file
// ends after the last whole line, never in the middle of a row.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "platform/line_file.h"
#include "support/disk_full.h"
#include "support/temp_dir.h"

namespace gasecu {
namespace {

std::string Contents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(LineFile, WritesEachLineThroughAndClosesOnce) {
    test::TempDir dir;
    const auto path = dir.path() / "rows.csv";
    auto file = OpenLineFile(path);
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(file->writeLine("a,b"));
    // On disk before the file is closed: a crash now keeps it.
    EXPECT_EQ(Contents(path), "a,b\n");
    EXPECT_TRUE(file->writeLine("1,2"));
    EXPECT_TRUE(file->close());
    EXPECT_EQ(Contents(path), "a,b\n1,2\n");
    EXPECT_FALSE(file->writeLine("3,4"));
    EXPECT_EQ(OpenLineFile(dir.path() / "no folder" / "rows.csv"), nullptr);
}

TEST(LineFile, AFullDiskLeavesOnlyWholeLines) {
    GASECU_SKIP_WITHOUT_DISK_LIMIT();
    test::TempDir dir;
    const auto path = dir.path() / "rows.csv";
    auto file = OpenLineFile(path);
    ASSERT_NE(file, nullptr);
    const std::string row(29, 'x');  // 30 bytes with its end
    {
        test::DiskFull full(100);
        for (int i = 0; i < 3; ++i) EXPECT_TRUE(file->writeLine(row)) << i;
        // 10 of its 30 bytes fit: the line is refused and taken back out.
        EXPECT_FALSE(file->writeLine(row));
        EXPECT_FALSE(file->writeLine("1"));
    }
    EXPECT_FALSE(file->close());
    EXPECT_EQ(Contents(path), row + "\n" + row + "\n" + row + "\n");
}

TEST(LineFile, TheFullDeviceRefusesTheFirstLine) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    auto file = OpenLineFile("/dev/full");
    ASSERT_NE(file, nullptr);
    EXPECT_FALSE(file->writeLine("time,time_ms"));
    EXPECT_FALSE(file->writeLine("again"));
    EXPECT_FALSE(file->close());
}

}  // namespace
}  // namespace gasecu
