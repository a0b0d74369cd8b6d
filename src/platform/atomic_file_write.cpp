#include "platform/atomic_file_write.h"

#include <atomic>
#include <cerrno>
#include <functional>
#include <string>
#include <system_error>

#ifdef _WIN32
#include "platform/windows_api.h"

#include "platform/long_path.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace gasecu {

namespace {

namespace fs = std::filesystem;

// The file the write must land on: the target of a symbolic link (of a chain of
// them), so that a link the fitter made (a curve folder on another drive) is not
// replaced by a plain file.
fs::path FinalTarget(const fs::path& path) {
    fs::path current = path;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(current, ec))) return current;
        const fs::path target = fs::read_symlink(current, ec);
        if (ec) return current;
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    return current;  // a loop of links: the write fails on it
}

WriteFailure FailureFor(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return WriteFailure::NoFolder;
    case EISDIR:
        return WriteFailure::FolderInTheWay;
    case EACCES:
    case EPERM:
    case EROFS:
        return WriteFailure::NoPermission;
#ifdef _WIN32
    case EBUSY:
        return WriteFailure::InUse;
#endif
    case ENOSPC:
    case EFBIG:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return WriteFailure::DiskFull;
    default:
        return WriteFailure::Other;
    }
}

bool NamesNoFile(const fs::path& target) {
    return target.filename().empty() || target.filename() == "." || target.filename() == "..";
}

std::function<void(int)>& RenameRetryPause() {
    static std::function<void(int)> pause;
    return pause;
}

#ifdef _WIN32

std::wstring Win32Path(const fs::path& path) { return LongPath(path).wstring(); }

DWORD AttributesOf(const fs::path& path) { return ::GetFileAttributesW(Win32Path(path).c_str()); }

// As below for POSIX, by the file's attributes: a device name is no file name, a
// file marked read-only is refused at once (the rename over it would be refused
// after all its tries, as if another program held it).
std::optional<WriteFailure> TargetProblem(const fs::path& target) {
    if (NamesNoFile(target) || IsDeviceName(target.filename())) return WriteFailure::NoName;
    if (const DWORD attributes = AttributesOf(target); attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) return WriteFailure::FolderInTheWay;
        if (attributes & FILE_ATTRIBUTE_READONLY) return WriteFailure::NoPermission;
    }
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    const DWORD folderAttributes = AttributesOf(folder);
    if (folderAttributes == INVALID_FILE_ATTRIBUTES || !(folderAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return WriteFailure::NoFolder;
    return std::nullopt;
}

#else

// What stands in the way of a file at `target` (links already followed): no name,
// no folder to hold it, a folder or something other than a plain file under its
// name. Only a plain file is ever replaced: a rename over a device node or a pipe
// would destroy it (as root) or silently leave the data nowhere.
std::optional<WriteFailure> TargetProblem(const fs::path& target) {
    if (NamesNoFile(target)) return WriteFailure::NoName;
    std::error_code ec;
    const fs::file_status status = fs::status(target, ec);
    if (fs::is_directory(status)) return WriteFailure::FolderInTheWay;
    if (fs::exists(status) && !fs::is_regular_file(status)) return WriteFailure::NotAFile;
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    if (!fs::is_directory(fs::status(folder, ec))) return WriteFailure::NoFolder;
    return std::nullopt;
}

#endif

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

struct TemporaryWrite {
    enum Kind {
        Written,
        NameTaken,      // another writer's file has this name: nothing of ours to remove
        NotCreated,     // the directory takes no new file
        Failed,         // created but not written whole: to be removed
    } kind;
    int error = 0;      // errno of what failed
};

#ifdef _WIN32

// The errno that names the same cause as a Windows error, for FailureFor.
int ErrnoFor(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return EACCES;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EBUSY;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    default:
        return EIO;
    }
}

// As below for POSIX: created new (never an existing file), written whole and
// flushed to the disk before the move.
TemporaryWrite WriteTemporary(const fs::path& temp, std::string_view contents, const fs::path&) {
    const HANDLE file =
        ::CreateFileW(Win32Path(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_EXISTS) return {TemporaryWrite::NameTaken};
        return {TemporaryWrite::NotCreated, ErrnoFor(error)};
    }
    bool ok = true;
    DWORD error = 0;
    const char* data = contents.data();
    std::size_t left = contents.size();
    while (ok && left > 0) {
        const DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
        DWORD written = 0;
        ok = ::WriteFile(file, data, chunk, &written, nullptr) && written == chunk;
        if (!ok) error = ::GetLastError();
        data += written;
        left -= written;
    }
    if (ok && !::FlushFileBuffers(file)) {
        ok = false;
        error = ::GetLastError();
    }
    if (!::CloseHandle(file) && ok) {
        ok = false;
        error = ::GetLastError();
    }
    return ok ? TemporaryWrite{TemporaryWrite::Written} : TemporaryWrite{TemporaryWrite::Failed, ErrnoFor(error)};
}

// Replaces the target in one step; write-through returns only once the move is
// on the disk. A target another program holds open without sharing (an editor,
// a spreadsheet, a virus scan) refuses the move, as access denied or a sharing
// violation: tried again a few times (kRenameAttempts), then the old file stays
// and the write has failed as InUse (a read-only file was refused before).
// 0, or the errno of what failed (EBUSY: held).
int MoveOver(const fs::path& temp, const fs::path& target) {
    const std::wstring from = Win32Path(temp);
    const std::wstring to = Win32Path(target);
    for (int attempt = 1;; ++attempt) {
        if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 0;
        const DWORD error = ::GetLastError();
        const bool held =
            error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
        if (!held) return ErrnoFor(error);
        if (attempt >= kRenameAttempts) return EBUSY;
        if (RenameRetryPause()) {
            RenameRetryPause()(attempt);
        } else {
            ::Sleep(25u << (attempt - 1));
        }
    }
}

void RemoveTemporary(const fs::path& temp) { ::DeleteFileW(Win32Path(temp).c_str()); }

void SyncDirectory(const fs::path&) {}

#else

// The old file's permission bits, so replacing a file the fitter made read-only
// for the group keeps it so; a new file gets the usual 0666 less the umask.
mode_t ModeFor(const fs::path& target) {
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) return old.st_mode & 07777;
    return 0666;
}

// False with errno set when the disk took less than the whole.
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
    if (fd < 0) return {errno == EEXIST ? TemporaryWrite::NameTaken : TemporaryWrite::NotCreated, errno};
    bool ok = WriteAll(fd, contents);
    // open() took the umask off; an existing file's bits are given back exactly.
    if (ok && mode != 0666) ok = ::fchmod(fd, mode) == 0;
    if (ok) ok = ::fsync(fd) == 0;
    int error = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    return ok ? TemporaryWrite{TemporaryWrite::Written} : TemporaryWrite{TemporaryWrite::Failed, error};
}

// The rename itself is on the disk only once the directory is: best effort, the
// new file is complete either way.
int MoveOver(const fs::path& temp, const fs::path& target) {
    std::error_code ec;
    fs::rename(temp, target, ec);
    return ec ? ec.value() : 0;
}

void RemoveTemporary(const fs::path& temp) {
    std::error_code ec;
    fs::remove(temp, ec);
}

void SyncDirectory(const fs::path& directory) {
    const int fd = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
}

#endif

}  // namespace

void SetRenameRetryPause(std::function<void(int attempt)> pause) { RenameRetryPause() = std::move(pause); }

std::optional<WriteFailure> WriteFileWhole(const fs::path& path, std::string_view contents) {
    const fs::path target = FinalTarget(path);
    if (auto problem = TargetProblem(target)) return problem;

    constexpr int kAttempts = 8;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const fs::path temp = TemporaryNameFor(target);
        const TemporaryWrite written = WriteTemporary(temp, contents, target);
        if (written.kind == TemporaryWrite::NameTaken) continue;
        if (written.kind == TemporaryWrite::NotCreated) return FailureFor(written.error);
        if (written.kind == TemporaryWrite::Failed) {
            RemoveTemporary(temp);
            return FailureFor(written.error);
        }
        if (const int error = MoveOver(temp, target); error != 0) {
            RemoveTemporary(temp);
            return FailureFor(error);
        }
        SyncDirectory(target.parent_path());
        return std::nullopt;
    }
    return WriteFailure::Other;
}

bool WriteFileAtomically(const fs::path& path, std::string_view contents) { return !WriteFileWhole(path, contents); }

std::optional<WriteFailure> CheckWritable(const fs::path& path) {
    const fs::path target = FinalTarget(path);
    if (auto problem = TargetProblem(target)) return problem;
#ifndef _WIN32
    // The new file is made in the folder: the folder must take it (a read-only
    // disk says so even to root).
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    if (::access(folder.c_str(), W_OK | X_OK) != 0) return FailureFor(errno);
#endif
    return std::nullopt;
}

const char* WriteFailureTurkish(WriteFailure failure) {
    switch (failure) {
    case WriteFailure::NoName: return "HATALI DOSYA İSMİ ! ";
    case WriteFailure::NoFolder: return "KLASÖR YOK, DOSYA YAZILAMADI ! ";
    case WriteFailure::FolderInTheWay: return "BU İSİMDE BİR KLASÖR VAR, DOSYA YAZILAMADI ! ";
    case WriteFailure::NotAFile: return "BU İSİM BİR DOSYA DEĞİL, YAZILMADI ! ";
    case WriteFailure::NoPermission: return "YAZMA İZNİ YOK, DOSYA YAZILAMADI ! ";
    case WriteFailure::DiskFull: return "DİSK DOLU, DOSYA YAZILAMADI ! ";
    case WriteFailure::InUse: return "DOSYA BAŞKA BİR PROGRAMDA AÇIK, YAZILAMADI ! ";
    case WriteFailure::Other: break;
    }
    return "DOSYA YAZILAMADI ! ";
}

const char* WriteFailureEnglish(WriteFailure failure) {
    switch (failure) {
    case WriteFailure::NoName: return "NAME OF INCORRECT FILE ! ";
    case WriteFailure::NoFolder: return "NO SUCH FOLDER, FILE NOT WRITTEN ! ";
    case WriteFailure::FolderInTheWay: return "A FOLDER HAS THIS NAME, FILE NOT WRITTEN ! ";
    case WriteFailure::NotAFile: return "THIS NAME IS NOT A PLAIN FILE, NOT WRITTEN ! ";
    case WriteFailure::NoPermission: return "NO PERMISSION TO WRITE, FILE NOT WRITTEN ! ";
    case WriteFailure::DiskFull: return "DISK FULL, FILE NOT WRITTEN ! ";
    case WriteFailure::InUse: return "FILE IS OPEN IN ANOTHER PROGRAM, NOT WRITTEN ! ";
    case WriteFailure::Other: break;
    }
    return "FILE NOT WRITTEN ! ";
}

}  // namespace gasecu
