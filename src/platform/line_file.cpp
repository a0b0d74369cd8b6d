#include "platform/line_file.h"

#include <cstdio>
#include <system_error>

namespace gasecu {

namespace {

class DiskLineFile final : public LineFile {
public:
    DiskLineFile(std::FILE* file, std::filesystem::path path) : file_(file), path_(std::move(path)) {}
    ~DiskLineFile() override { close(); }

    bool writeLine(std::string_view line) override {
        if (!file_ || failed_) return false;
        const bool written = std::fwrite(line.data(), 1, line.size(), file_) == line.size() &&
                             std::fputc('\n', file_) != EOF && std::fflush(file_) == 0;
        if (written) {
            whole_ += line.size() + 1;
            return true;
        }
        // A full disk takes part of a line: the file is cut back to the last whole
        // one, so a spreadsheet never reads a row of half a number.
        failed_ = true;
        std::fclose(file_);  // NOLINT(cert-err33-c): the write has failed already; the file is cut back below
        file_ = nullptr;
        std::error_code ec;
        std::filesystem::resize_file(path_, whole_, ec);
        return false;
    }

    bool close() override {
        if (!file_) return !failed_;
        const bool closed = std::fclose(file_) == 0;
        file_ = nullptr;
        return closed && !failed_;
    }

private:
    std::FILE* file_;
    std::filesystem::path path_;
    std::uintmax_t whole_ = 0;  // bytes of the whole lines written
    bool failed_ = false;
};

}  // namespace

std::FILE* OpenFileForWriting(const std::filesystem::path& path) {
#ifdef _WIN32
    return _wfopen(path.c_str(), L"wb");
#else
    return std::fopen(path.c_str(), "wb");  // narrow path: POSIX only
#endif
}

std::unique_ptr<LineFile> OpenLineFile(const std::filesystem::path& path) {
    std::FILE* file = OpenFileForWriting(path);
    if (!file) return nullptr;
    return std::make_unique<DiskLineFile>(file, path);
}

}  // namespace gasecu
