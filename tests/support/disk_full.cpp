#include "support/disk_full.h"

namespace gasecu::test {

DiskFull::DiskFull(rlim_t bytes) {
    // Past the limit the kernel also raises SIGXFSZ, which would end the test run.
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limited = previous_;
    limited.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limited);
}

DiskFull::~DiskFull() {
    setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
}

std::set<std::string> FileNamesIn(const std::filesystem::path& directory) {
    std::set<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(directory, ec))
        names.insert(entry.path().filename().string());
    return names;
}

}  // namespace gasecu::test
