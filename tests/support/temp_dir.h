#pragma once
// A fresh directory for one test, removed afterwards.
#include <filesystem>

namespace gasecu::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Something at `at` that is not a plain file, made by the test itself: a character
// device with /dev/null's numbers where the process may make one (as root), else
// a named pipe. A test of the "not a plain file" refusals points its links here,
// never at the system's own devices: should the refusal break, run as root, only
// this node is replaced, not /dev/null. Returns `at` (on Windows, with nothing made).
std::filesystem::path MakeDeviceOrPipe(const std::filesystem::path& at);

}  // namespace gasecu::test
