// The in-process bench of the headless commands: the virtual-time loop, the
// virtual ECU on its port, captured output and the run of one command line.
#include "qt/headless_bench.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "cli/cli.h"
#include "cli/headless_session.h"
#include "curve/curve_file_io.h"

namespace gasecu::test {

namespace {

const LocalTimeMs kWorkshopMorning =
    std::chrono::local_days{std::chrono::year{2026} / 12 / 10} + std::chrono::hours{9};

std::string ReadBack(std::FILE* file) {
    std::string text;
    std::fflush(file);
    std::rewind(file);
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
    return text;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// A file in the bench's own folder to catch an output stream, rather than
// std::tmpfile(): on Windows that names its file through the narrow code page
// (the Turkish temporary folder of the Wine run loses its letters there and the
// runtime stops on the missing name) or in the drive's root, which a fitter's
// account may not write.
std::FILE* OpenCapture(const std::filesystem::path& path) {
#ifdef _WIN32
    return _wfopen(path.c_str(), L"w+b");
#else
    return std::fopen(path.c_str(), "w+b");  // narrow path: POSIX only
#endif
}

}  // namespace

HeadlessBench::HeadlessBench(int ecuPort)
    : ecuPort_(ecuPort),
      runner_(std::make_unique<sim::VirtualTimeRunner>()),
      clock_(*runner_, kWorkshopMorning),
      line_(sim::LineWithEcuOnPort(*runner_, ecu_, ecuPort)),
      loop_(*runner_) {
    line_->setSentObserver([this](int number, const Bytes& frame) {
        if (onFrame_) onFrame_(frame);
        runner_->recordSent(number, frame);
    });
    // The factory reference beside the program, as the package installs it.
    std::error_code error;
    std::filesystem::create_directories(programDir(), error);
    std::filesystem::copy_file(GASECU_SHIPPED_REFERENCE, programDir() / "ORJ.DAT", error);
}

HeadlessBench::~HeadlessBench() = default;

std::string HeadlessBench::Arg(const std::filesystem::path& path) { return curve::Utf8FromPath(path); }

std::filesystem::path HeadlessBench::nextCapture() {
    return captures_.path() / ("stream-" + std::to_string(++capturesMade_) + ".txt");
}

CommandRun HeadlessBench::run(const std::vector<std::string>& arguments) {
    std::unique_ptr<std::FILE, FileCloser> out(OpenCapture(nextCapture()));
    if (!out) return {};
    CommandRun run = runOn(arguments, out.get());
    run.out = ReadBack(out.get());
    return run;
}

CommandRun HeadlessBench::runWithFullOutput(const std::vector<std::string>& arguments) {
#ifdef _WIN32
    // No stream here fails as a full disk does: a pipe whose reader is gone
    // refuses every write all the same (a write error, not "disk full").
    int ends[2];
    if (_pipe(ends, 4096, _O_BINARY) != 0) return {};
    _close(ends[0]);
    std::unique_ptr<std::FILE, FileCloser> out(_fdopen(ends[1], "wb"));
    if (!out) {
        _close(ends[1]);
        return {};
    }
#else
    cookie_io_functions_t full{};
    full.write = [](void*, const char*, std::size_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    };
    std::unique_ptr<std::FILE, FileCloser> out(fopencookie(nullptr, "w", full));
    if (!out) return {};
#endif
    return runOn(arguments, out.get());
}

CommandRun HeadlessBench::runOn(const std::vector<std::string>& arguments, std::FILE* out) {
    std::unique_ptr<std::FILE, FileCloser> err(OpenCapture(nextCapture()));
    if (!err) return {};
    cli::SessionSurroundings surroundings;
    surroundings.programDirectory = programDir();
    surroundings.userDataDirectory = dir() / "user";
    surroundings.out = out;
    surroundings.err = err.get();
    surroundings.clock = &clock_;
    CommandRun run;
    run.status = cli::RunCommandLine(
        arguments, surroundings, [this](const cli::Options& options, const cli::SessionSurroundings& s) {
            return std::make_unique<cli::HeadlessSession>(options, s, loop_, *line_,
                                                          options.simulate ? &ecu_ : nullptr);
        });
    run.err = ReadBack(err.get());
    return run;
}

std::vector<Bytes> HeadlessBench::received() const {
    std::vector<Bytes> frames;
    for (const sim::SentFrame& frame : runner_->sentFrames())
        if (frame.port == ecuPort_) frames.push_back(frame.bytes);
    return frames;
}

}  // namespace gasecu::test
