// Reading a headless run: its --trace lines, its files, its live log, and what
// gasecu-sim says it received.
#include "qt/command_trace.h"

#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

#include <gtest/gtest.h>

#include "app/number_format.h"
#include "cli/trace_port.h"
#include "link/command_frames.h"
#include "qt/qt_test_app.h"
#ifndef _WIN32
#include "qt/sim_process.h"
#endif

namespace gasecu::test {

std::vector<TraceLine> ParseTrace(const std::string& text) {
    static const std::regex kLine(R"(^\[\s*([0-9]+\.[0-9]) ms\] (TX|RX) ([0-9A-F ]*)$)");
    std::vector<TraceLine> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::smatch m;
        if (!std::regex_match(line, m, kLine)) continue;
        TraceLine t{ParseDecimalNumber(m[1]), m[2] == "TX", {}};
        std::istringstream hex(m[3]);
        for (std::string byte; hex >> byte;) t.bytes.push_back(static_cast<std::uint8_t>(std::stoi(byte, nullptr, 16)));
        lines.push_back(std::move(t));
    }
    return lines;
}

std::vector<TraceLine> SentLines(const std::string& text) {
    std::vector<TraceLine> sent;
    for (TraceLine& t : ParseTrace(text))
        if (t.sent) sent.push_back(std::move(t));
    return sent;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::vector<std::string> Lines(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

void ExpectFiveLiveRowsOnTheReplies(const std::string& csv, const std::string& trace, double timeToleranceMs,
                                    double spacingToleranceMs) {
    const std::vector<std::string> lines = Lines(csv);
    ASSERT_EQ(lines.size(), 6u) << csv;
    EXPECT_EQ(lines[0],
              "time_ms,engine_speed_rpm,gas_pressure_bar,reducer_temperature_c,gas_temperature_c,"
              "petrol_time_ms,gas_time_ms,fuel");
    std::vector<double> replies;
    for (const TraceLine& t : ParseTrace(trace))
        if (!t.sent && t.bytes.size() == 13 && t.bytes[0] == frames::kLiveDataRequest[0]) replies.push_back(t.ms);
    ASSERT_GE(replies.size(), 5u);
    replies.erase(replies.begin(), replies.end() - 5);
    for (std::size_t row = 1; row <= 5; ++row) {
        std::vector<std::string> fields;
        std::stringstream cells(lines[row]);
        for (std::string cell; std::getline(cells, cell, ',');) fields.push_back(cell);
        ASSERT_EQ(fields.size(), 8u) << lines[row];
        EXPECT_NEAR(ParseDecimalNumber(fields[0]), replies[row - 1], timeToleranceMs) << lines[row];
        EXPECT_NEAR(ParseDecimalNumber(fields[1]), 2100, 150) << lines[row];  // the engine model wanders a little
        EXPECT_EQ(fields[7], "petrol");
        if (row > 1) {
            EXPECT_NEAR(replies[row - 1] - replies[row - 2], 500.0, spacingToleranceMs) << trace;
        }
    }
}

#ifndef _WIN32  // gasecu-sim runs on a pseudo-terminal
Bytes ExpectTheEcuReceivedEveryTracedFrame(SimProcess& ecu, const std::string& trace) {
    Bytes traced, last;
    for (const TraceLine& line : SentLines(trace)) {
        traced.insert(traced.end(), line.bytes.begin(), line.bytes.end());
        last = line.bytes;
    }
    EXPECT_FALSE(traced.empty());
    std::string shown;
    const auto received = [&] {
        shown += ecu.process().readAllStandardOutput().toStdString();
        Bytes bytes;
        std::istringstream hex(shown);
        for (std::string byte; hex >> byte;) bytes.push_back(static_cast<std::uint8_t>(std::stoi(byte, nullptr, 16)));
        return bytes;
    };
    // Bounded: what the tool handed over is on the controller's side at once.
    WaitUntil([&] { return received().size() >= traced.size(); }, 2000);
    EXPECT_EQ(cli::HexBytes(received()), cli::HexBytes(traced));
    return last;
}
#endif

}  // namespace gasecu::test
