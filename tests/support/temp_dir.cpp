#include "support/temp_dir.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/sysmacros.h>
#endif

#include <random>
#include <string>
#include <system_error>

namespace gasecu::test {

TempDir::TempDir() {
    // A random name, taken only when this process made the directory: tests running
    // side by side never share one. Built as a path, never through a narrow string,
    // so a temporary folder with Turkish letters in its name (the Windows run has
    // one) is used as it is.
    std::random_device seed;
    std::mt19937_64 pick((std::uint64_t{seed()} << 32) ^ seed());
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        std::filesystem::path candidate = base / "gasecu-test-";
        candidate += std::to_string(pick() % 1000000000000u);
        std::error_code ec;
        if (std::filesystem::create_directory(candidate, ec)) path_ = candidate;
    }
}

TempDir::~TempDir() {
    std::error_code ec;
    // Make read-only test directories removable again.
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

std::filesystem::path MakeDeviceOrPipe(const std::filesystem::path& at) {
#ifndef _WIN32
    if (::mknod(at.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) ::mkfifo(at.c_str(), 0666);
#endif
    return at;
}

}  // namespace gasecu::test
