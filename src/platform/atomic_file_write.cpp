#include "platform/atomic_file_write.h"

#include <atomic>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <fstream>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace gasecu {

namespace {

namespace fs = std::filesystem;

// The file the write must land on: the target of a symbolic link, so that a link
// the fitter made (a curve folder on another drive) is not replaced by a plain file.
fs::path FinalTarget(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(path, ec))) return path;
    const fs::path target = fs::read_symlink(path, ec);
    if (ec) return path;
    return target.is_absolute() ? target : path.parent_path() / target;
}

// A name beside the target that no other writer uses: the process and a counter
// keep two writers of the same file (the window and a headless command, two saves
// in a row) off each other's temporary file. It starts with a dot and does not end
// in the target's extension, so no file dialog lists it as a curve.
fs::path TemporaryNameFor(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
#ifdef _WIN32
    const unsigned long process = 0;
#else
    const auto process = static_cast<unsigned long>(::getpid());
#endif
    fs::path temp = target.parent_path();
    temp /= "." + target.filename().string() + "." + std::to_string(process) + "-" +
            std::to_string(counter.fetch_add(1)) + ".partial";
    return temp;
}

enum class TemporaryWrite {
    Written,
    NameTaken,      // another writer's file has this name: nothing of ours to remove
    NotCreated,     // the directory takes no new file
    Failed,         // created but not written whole: to be removed
};

#ifdef _WIN32

TemporaryWrite WriteTemporary(const fs::path& temp, std::string_view contents, const fs::path&) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(temp, ec))) return TemporaryWrite::NameTaken;
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return TemporaryWrite::NotCreated;
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    out.close();
    return out.fail() ? TemporaryWrite::Failed : TemporaryWrite::Written;
}

void SyncDirectory(const fs::path&) {}

#else

// The old file's permission bits, so replacing a file the fitter made read-only
// for the group keeps it so; a new file gets the usual 0666 less the umask.
mode_t ModeFor(const fs::path& target) {
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) return old.st_mode & 07777;
    return 0666;
}

bool WriteAll(int fd, std::string_view contents) {
    const char* data = contents.data();
    std::size_t left = contents.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

// Creates the temporary file (never one that exists already), writes it whole and
// forces it to the disk before the rename, so the rename cannot reach the disk
// ahead of the data it names.
TemporaryWrite WriteTemporary(const fs::path& temp, std::string_view contents, const fs::path& target) {
    const mode_t mode = ModeFor(target);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) return errno == EEXIST ? TemporaryWrite::NameTaken : TemporaryWrite::NotCreated;
    bool ok = WriteAll(fd, contents);
    // open() took the umask off; an existing file's bits are given back exactly.
    if (ok && mode != 0666) ok = ::fchmod(fd, mode) == 0;
    if (ok) ok = ::fsync(fd) == 0;
    if (::close(fd) != 0) ok = false;
    return ok ? TemporaryWrite::Written : TemporaryWrite::Failed;
}

// The rename itself is on the disk only once the directory is: best effort, the
// new file is complete either way.
void SyncDirectory(const fs::path& directory) {
    const int fd = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
}

#endif

}  // namespace

bool WriteFileAtomically(const fs::path& path, std::string_view contents) {
    std::error_code ec;
    const fs::path target = FinalTarget(path);
    if (target.filename().empty() || fs::is_directory(target, ec)) return false;

    constexpr int kAttempts = 8;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const fs::path temp = TemporaryNameFor(target);
        const TemporaryWrite written = WriteTemporary(temp, contents, target);
        if (written == TemporaryWrite::NameTaken) continue;
        if (written == TemporaryWrite::NotCreated) return false;
        if (written == TemporaryWrite::Failed) {
            fs::remove(temp, ec);
            return false;
        }
        fs::rename(temp, target, ec);
        if (ec) {
            fs::remove(temp, ec);
            return false;
        }
        SyncDirectory(target.parent_path());
        return true;
    }
    return false;
}

}  // namespace gasecu
