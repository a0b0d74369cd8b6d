#pragma once
// Reading a curve text file whole (the fitter's curve files, the factory
// reference curve) and the UTF-8 path conversions every file of the tool uses.
// Files are written through WriteFileAtomically (platform/atomic_file_write.h).
#include <filesystem>
#include <optional>
#include <string>

namespace gasecu::curve {

// A path as the file dialog or the command line gives it (UTF-8).
// On Windows a path built from a narrow string, or turned into one, goes through
// the ANSI code page and mangles a folder such as "Müşteri": always convert
// through these two.
std::filesystem::path PathFromUtf8(const std::string& text);
// A path as UTF-8 text, for the status line, the file dialog and the command line.
std::string Utf8FromPath(const std::filesystem::path& path);

// The whole file; nothing for a missing, unreadable or implausibly large file
// (a curve text is a few hundred bytes).
std::optional<std::string> ReadCurveFileText(const std::filesystem::path& path);

// A curve file read whole, or why it was not, in both languages.
struct CurveFileRead {
    enum class Problem { None, Missing, NotAFile, Unreadable, TooLarge };
    std::optional<std::string> text;
    Problem problem = Problem::None;
    std::string english;  // "no such file", "a folder, not a file", ...
    std::string turkish;
};
// As ReadCurveFileText, with the reason: a file too large to be a curve is told
// apart as a sound curve followed by other data (a file glued to another) or as
// something else altogether.
CurveFileRead ReadCurveFile(const std::filesystem::path& path);

// What a status line says after a curve file was written whole: the save's
// "HATASIZ DOSYA  " / "FILE NO ERRORS " with the path, and what happened.
struct CurveFileSaved {
    std::string turkish, english;
};
CurveFileSaved CurveFileSavedMessage(const std::string& path);

}  // namespace gasecu::curve
