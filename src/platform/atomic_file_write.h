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
#include <string_view>

namespace gasecu {

// Replaces the file at `path` with `contents` as one step. False when anything on
// the way failed (missing or read-only directory, full disk, `path` a directory);
// the old file is then untouched and no temporary file is left behind.
// An existing file keeps its permission bits; a symbolic link keeps pointing where
// it did and its target is replaced.
[[nodiscard]] bool WriteFileAtomically(const std::filesystem::path& path, std::string_view contents);

}  // namespace gasecu
