#pragma once
// A text file written one line at a time that must survive a crash or a pulled
// plug: each line is handed to the system before the next one comes, so what was
// written is on disk even if the program never gets to close the file.
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>

namespace gasecu {

class LineFile {
public:
    virtual ~LineFile() = default;
    // Writes the line with its end and flushes it. False when it could not be
    // written whole (disk full, device gone); the file then ends after the last
    // whole line and takes no more.
    virtual bool writeLine(std::string_view line) = 0;
    // Closes the file; false when what was written could not be kept.
    virtual bool close() = 0;
};

// Creates (or empties) a file; null when it cannot be created.
using LineFileOpener = std::function<std::unique_ptr<LineFile>(const std::filesystem::path&)>;

// The real file on disk.
std::unique_ptr<LineFile> OpenLineFile(const std::filesystem::path& path);

// Creates (or empties) a file for writing bytes as they are; null when it cannot.
// On Windows the name goes to the system whole (UTF-16), never through the
// narrow code page, which has no "ş" or "ğ".
std::FILE* OpenFileForWriting(const std::filesystem::path& path);

}  // namespace gasecu
