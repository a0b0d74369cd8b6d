#pragma once
// Reading what a headless command left: its --trace lines (time, direction,
// bytes) and the files it wrote.
#include <filesystem>
#include <string>
#include <vector>

#include "platform/bytes.h"

namespace gasecu::test {

class SimProcess;

struct TraceLine {
    double ms;
    bool sent;
    Bytes bytes;
};

// The "[   1500.0 ms] TX 6E 04 6E 0A" lines of a run's standard error, in order.
std::vector<TraceLine> ParseTrace(const std::string& text);
// Only the frames that went out (TX).
std::vector<TraceLine> SentLines(const std::string& text);
// A file's bytes; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);
void WriteText(const std::filesystem::path& path, const std::string& text);

bool Has(const std::string& text, const std::string& part);
// The lines of a text, without their line ends.
std::vector<std::string> Lines(const std::string& text);

// The log of "live --count 5 --csv FILE --trace" with the engine held at 2100 rpm
// on petrol: the header, then five rows, each the sample of one live reply the
// trace shows arriving at that moment (within timeToleranceMs), the replies half a
// second apart (within spacingToleranceMs).
void ExpectFiveLiveRowsOnTheReplies(const std::string& csv, const std::string& trace, double timeToleranceMs,
                                    double spacingToleranceMs);

// Every frame a command's --trace lists, in order, against what gasecu-sim (started
// with --show-received) says reached it; returns the last traced frame.
Bytes ExpectTheEcuReceivedEveryTracedFrame(SimProcess& ecu, const std::string& trace);

}  // namespace gasecu::test
