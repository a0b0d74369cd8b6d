#pragma once
// A full disk, for the tests of the tool's file writes: while one of these lives,
// no file of this process may grow past `bytes` (the write fails with EFBIG, as it
// fails with ENOSPC on a full USB stick). Works for root too, where a read-only
// folder does not stop a write. Undone on destruction.
//
// Windows has no such limit for one process: there a test of a full disk starts
// with GASECU_SKIP_WITHOUT_DISK_LIMIT(), and a table skips its full-disk rows
// (kDiskLimitAvailable).
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace gasecu::test {

#ifdef _WIN32

inline constexpr bool kDiskLimitAvailable = false;
#define GASECU_SKIP_WITHOUT_DISK_LIMIT() GTEST_SKIP() << "no per-process file size limit on Windows"

// Reached only by a test that forgot to skip: it fails rather than pass unproven.
class DiskFull {
public:
    explicit DiskFull(std::uintmax_t bytes);
    DiskFull(const DiskFull&) = delete;
    DiskFull& operator=(const DiskFull&) = delete;
};

#else

inline constexpr bool kDiskLimitAvailable = true;
#define GASECU_SKIP_WITHOUT_DISK_LIMIT() static_cast<void>(0)

class DiskFull {
public:
    explicit DiskFull(rlim_t bytes);
    ~DiskFull();
    DiskFull(const DiskFull&) = delete;
    DiskFull& operator=(const DiskFull&) = delete;

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

#endif

// The names in a folder, to show that a failed or finished write left nothing behind.
std::set<std::string> FileNamesIn(const std::filesystem::path& directory);
// A file's bytes as they are ("" when it cannot be read), and a file made with the
// bytes given, the plain way a fitter's editor or an older version would write it.
std::string ReadWholeFile(const std::filesystem::path& path);
void WriteWholeFile(const std::filesystem::path& path, const std::string& bytes);

}  // namespace gasecu::test
