#include "platform/atomic_file_write.h"

#include <atomic>
#include <string>
#include <system_error>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
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
    const auto process = static_cast<unsigned long>(::GetCurrentProcessId());
#else
    const auto process = static_cast<unsigned long>(::getpid());
#endif
    // Joined as paths: the target's name may hold letters no narrow code page has.
    fs::path name = ".";
    name += target.filename();
    name += "." + std::to_string(process) + "-" + std::to_string(counter.fetch_add(1)) + ".partial";
    return target.parent_path() / name;
}

enum class TemporaryWrite {
    Written,
    NameTaken,      // another writer's file has this name: nothing of ours to remove
    NotCreated,     // the directory takes no new file
    Failed,         // created but not written whole: to be removed
};

#ifdef _WIN32

// As below for POSIX: created new (never an existing file), written whole and
// flushed to the disk before the move.
TemporaryWrite WriteTemporary(const fs::path& temp, std::string_view contents, const fs::path&) {
    const HANDLE file = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return ::GetLastError() == ERROR_FILE_EXISTS ? TemporaryWrite::NameTaken : TemporaryWrite::NotCreated;
    bool ok = true;
    const char* data = contents.data();
    std::size_t left = contents.size();
    while (ok && left > 0) {
        const DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
        DWORD written = 0;
        ok = ::WriteFile(file, data, chunk, &written, nullptr) && written == chunk;
        data += written;
        left -= written;
    }
    if (ok) ok = ::FlushFileBuffers(file) != 0;
    if (!::CloseHandle(file)) ok = false;
    return ok ? TemporaryWrite::Written : TemporaryWrite::Failed;
}

// Replaces the target in one step; write-through returns only once the move is
// on the disk. A target another program holds open without sharing (an editor,
// a spreadsheet) refuses the move: the old file stays and the write has failed.
bool MoveOver(const fs::path& temp, const fs::path& target) {
    return ::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
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
bool MoveOver(const fs::path& temp, const fs::path& target) {
    std::error_code ec;
    fs::rename(temp, target, ec);
    return !ec;
}

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
        if (!MoveOver(temp, target)) {
            fs::remove(temp, ec);
            return false;
        }
        SyncDirectory(target.parent_path());
        return true;
    }
    return false;
}

}  // namespace gasecu
