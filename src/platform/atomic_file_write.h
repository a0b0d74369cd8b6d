#pragma once
// Every file the tool writes whole (curve files, the default curve, the language
// choice, the remembered port) goes through here: the new contents are written
// to a fresh temporary file in the same directory, flushed to the disk, and only
// then renamed over the old file. A full disk, a pulled USB stick or a power cut
// in the middle leaves either the whole old file or the whole new one, never a
// half-written file, and a write that failed says so. A data log grows a row at a
// time instead: it is written under a temporary name and renamed when it ends
// (ecu/live_log.h).
#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>

namespace gasecu {

// Why a file could not be written, as the fitter can mend it.
enum class WriteFailure {
    NoName,         // the path names no file ("", a folder path ending in a slash, a
                    // Windows device name: CON, NUL, COM1.txt)
    NoFolder,       // the folder it would go into does not exist (or is a file)
    FolderInTheWay, // a folder has the file's name
    NotAFile,       // the name (or the target of a link) is a device, a pipe, a socket
    NoPermission,   // the folder or the disk takes no new file (read-only, rights), or
                    // the file is marked read-only (Windows)
    DiskFull,       // the disk filled up on the way
    InUse,          // another program holds the file and did not let go (Windows)
    Other,          // the disk failed in some other way
};

// Replaces the file at `path` with `contents` as one step. Nothing when written;
// else why not (missing or read-only directory, full disk, `path` a directory);
// the old file is then untouched and no temporary file is left behind.
// An existing file keeps its permission bits; a symbolic link keeps pointing where
// it did and its target is replaced, but only a plain file is ever replaced: a
// link to a device (/dev/full, a serial port) or a pipe is refused, never turned
// into a file.
[[nodiscard]] std::optional<WriteFailure> WriteFileWhole(const std::filesystem::path& path, std::string_view contents);
// The same, true when written.
[[nodiscard]] bool WriteFileAtomically(const std::filesystem::path& path, std::string_view contents);

// Windows: a program that holds the target for a moment (an antivirus scan or the
// search indexer opening the file just written) makes the final rename fail. It
// is tried kRenameAttempts times in all, with a pause between tries (25 ms,
// doubled each time: under a second in all), before the write fails as InUse.
inline constexpr int kRenameAttempts = 6;
// Replaces that pause (tests make the other program let go at a given try); an
// empty function brings the real pause back. `attempt` counts from 1.
void SetRenameRetryPause(std::function<void(int attempt)> pause);

// Whether a file could be written at `path` now, checked without writing: the
// name, the folder (exists, is a folder, takes new files) and what stands at the
// name (nothing, or a plain file, after following links). A full disk shows only
// when the write is made. Commands check their output this way before a port is
// opened, so a fault in the name does not cost a whole read or calibration.
[[nodiscard]] std::optional<WriteFailure> CheckWritable(const std::filesystem::path& path);

// The reason as the status line says it, in Turkish and English, each to be
// followed by the path ("DİSK DOLU, DOSYA YAZILAMADI ! ").
const char* WriteFailureTurkish(WriteFailure failure);
const char* WriteFailureEnglish(WriteFailure failure);

}  // namespace gasecu
