#include "support/temp_dir.h"

#include <cstdlib>
#include <string>
#include <system_error>

namespace gasecu::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "gasecu-test-XXXXXX").string();
    if (char* made = mkdtemp(pattern.data())) path_ = made;
}

TempDir::~TempDir() {
    std::error_code ec;
    // Make read-only test directories removable again.
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

}  // namespace gasecu::test
