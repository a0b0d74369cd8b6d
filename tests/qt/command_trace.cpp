#include "qt/command_trace.h"

#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

#include <gtest/gtest.h>

#include "app/number_format.h"
#include "cli/trace_port.h"
#include "qt/qt_test_app.h"
#include "qt/sim_process.h"

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

}  // namespace gasecu::test
