#include "support/disk_full.h"

#include <fstream>
#include <sstream>

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

std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteWholeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

}  // namespace gasecu::test
