#pragma once
// A full disk, for the tests of the tool's file writes: while one of these lives,
// no file of this process may grow past `bytes` (the write fails with EFBIG, as it
// fails with ENOSPC on a full USB stick). Works for root too, where a read-only
// folder does not stop a write. Undone on destruction.
#include <filesystem>
#include <set>
#include <string>

#include <csignal>
#include <sys/resource.h>

namespace gasecu::test {

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

// The names in a folder, to show that a failed or finished write left nothing behind.
std::set<std::string> FileNamesIn(const std::filesystem::path& directory);

}  // namespace gasecu::test
