#include "support/disk_full.h"

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "curve/curve_file_io.h"

namespace gasecu::test {

#ifdef _WIN32

DiskFull::DiskFull(std::uintmax_t) {
    ADD_FAILURE() << "a full disk cannot be made here: start the test with GASECU_SKIP_WITHOUT_DISK_LIMIT()";
}

#else

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

#endif

std::set<std::string> FileNamesIn(const std::filesystem::path& directory) {
    std::set<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(directory, ec))
        names.insert(curve::Utf8FromPath(entry.path().filename()));
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
