#pragma once
// The headless commands in process on the virtual clock: "gasecu COMMAND ..." goes
// through the program's own parsing, checks and runner, in a session on the
// virtual-time runner whose line has the virtual ECU behind one port number (the
// numbers before it silent, those after it missing). A scan of fifteen ports or a
// two-minute calibration takes as long as its handlers take; what a script reads
// (standard output and error, the exit status), what the ECU got (every frame, in
// order, with its virtual time) and the files written are there to check.
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "virtual_clock.h"
#include "virtual_ecu.h"
#include "virtual_port.h"
#include "virtual_session_loop.h"
#include "virtual_time_runner.h"

namespace gasecu::test {

// What one run left for a script to read.
struct CommandRun {
    int status = -1;  // -1: the run never ended
    std::string out;
    std::string err;
};

class HeadlessBench {
public:
    // The ECU answers on port `ecuPort` (1..15).
    explicit HeadlessBench(int ecuPort = 1);
    ~HeadlessBench();
    HeadlessBench(const HeadlessBench&) = delete;
    HeadlessBench& operator=(const HeadlessBench&) = delete;

    // Runs "gasecu ARGUMENTS..." to its end. The program's folder (with the shipped
    // ORJ.DAT; "Cur_00.txt" is written there) is programDir(), the per-user data
    // folder dir()/user; dir() itself is the test's to fill.
    CommandRun run(const std::vector<std::string>& arguments);
    // The same with standard output on a disk that is full: every write to it fails
    // (ENOSPC) once its buffer is flushed; out stays empty. (On Windows an output
    // whose reader is gone: the writes fail as a write error.)
    CommandRun runWithFullOutput(const std::vector<std::string>& arguments);

    // The frames the ECU's port received from the tool, over every run so far.
    std::vector<Bytes> received() const;
    // Told of every frame the tool sends, before the ECU reads it: a test's way of
    // unplugging or freezing the ECU at a chosen moment.
    void onFrame(std::function<void(const Bytes&)> observer) { onFrame_ = std::move(observer); }

    const std::filesystem::path& dir() const { return dir_.path(); }
    std::filesystem::path programDir() const { return dir_.path() / "program"; }
    // The path as a command line names it.
    static std::string Arg(const std::filesystem::path& path);

    sim::VirtualTimeRunner& runner() { return *runner_; }
    sim::VirtualEcu& ecu() { return ecu_; }
    sim::VirtualPort& line() { return *line_; }

private:
    CommandRun runOn(const std::vector<std::string>& arguments, std::FILE* out);
    std::filesystem::path nextCapture();
    TempDir dir_;
    TempDir captures_;  // the runs' captured output, apart from the test's files
    int capturesMade_ = 0;
    int ecuPort_;
    std::unique_ptr<sim::VirtualTimeRunner> runner_;
    sim::VirtualClock clock_;
    sim::VirtualEcu ecu_;
    std::unique_ptr<sim::VirtualPort> line_;
    sim::VirtualSessionLoop loop_;
    std::function<void(const Bytes&)> onFrame_;
};

}  // namespace gasecu::test
