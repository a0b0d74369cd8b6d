// gasecu settings, set, faults and factory-reset in process on the virtual clock
// (HeadlessBench): what the ECU holds before, the command line, and what a script
// reads afterwards (exit status, standard output, the message on standard error).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "cli/trace_port.h"
#include "link/command_frames.h"
#include "qt/command_trace.h"
#include "qt/headless_bench.h"

namespace gasecu {
namespace {

using test::CommandRun;
using test::Has;
using test::HeadlessBench;

struct Scenario {
    const char* name;
    std::function<void(sim::VirtualEcu&)> ecu;  // what the ECU holds and does
    std::vector<std::string> arguments;
    int status;
    std::string out;   // exactly
    std::string says;  // on standard error; empty: anything
};

const char kFactorySettings[] =
    "coils=2\nswitch-rpm=850\nswitch-temp=30.1\nmin-pressure=0.70\nleak-pressure=0.60\nadvance=0.20\n";

TEST(CliSettingsCommand, EachCommandPrintsWhatTheEcuHoldsAfterIt) {
    const Scenario scenarios[] = {
        // 100 x 10 rpm, 3 coils, 1.10 bar, advance word 562 (2.25 ms).
        {"settings",
         [](sim::VirtualEcu& e) {
             for (auto [address, value] : {std::pair{47, 100}, {31, 3}, {51, 110}, {55, 50}, {56, 2}})
                 e.setSetting(address, value);
         },
         {"settings"}, 0,
         "coils=3\nswitch-rpm=1000\nswitch-temp=30.1\nmin-pressure=1.10\nleak-pressure=0.60\nadvance=2.25\n", ""},
        {"set as the window does, read back",
         [](sim::VirtualEcu&) {},
         {"set", "min-pressure=1,20", "coils=04", "advance=1.25", "switch-temp=60"}, 0,
         "coils=4\nswitch-rpm=850\nswitch-temp=59.8\nmin-pressure=1.20\nleak-pressure=0.60\nadvance=1.25\n", ""},
        {"a value the ECU keeps", [](sim::VirtualEcu& e) { e.refuseAddress(53); }, {"set", "leak-pressure=0.80"}, 6,
         kFactorySettings, "THE ECU DID NOT TAKE THE SETTING : LEAKAGE PRESSURE"},
        // A line that brings a copy of every reply again a tick later: each request
        // takes one reply, so what is printed is what the ECU holds.
        {"stray copies of replies",
         [](sim::VirtualEcu& e) { e.setFaultRate(sim::ReplyFault::Stray, 1); },
         {"set", "--trace", "leak-pressure=0.80", "coils=4"}, 0,
         "coils=4\nswitch-rpm=850\nswitch-temp=30.1\nmin-pressure=0.70\nleak-pressure=0.80\nadvance=0.20\n",
         "-- dropped: "},
        // Every reply comes in two pieces with a long pause between (a busy ECU, a
        // slow adapter): many tails come after the next request went out. A head
        // left waiting from before a request never completes its reply: the pages
        // that never came whole are named, no value made of two replies is shown.
        {"replies split by a long pause",
         [](sim::VirtualEcu& e) {
             e.setFaultRate(sim::ReplyFault::Split, 1);
             e.faults().setSplitPause(300, 460);
             e.setAdapterLatency(80);
         },
         {"settings"}, 5, "", "SETTINGS NOT READ : MINIMUM PRESSURE"},
        // A coil count no coil choice has is not printed as a setting.
        {"a doubtful coil count", [](sim::VirtualEcu& e) { e.setSetting(31, 13); }, {"settings"}, 5, "",
         "DOUBTFUL COIL COUNT : 13 ?"},
        {"faults",
         [](sim::VirtualEcu& e) {
             for (auto [address, value] : {std::pair{66, 3}, {68, 12}, {69, 1}}) e.setFaultRecord(address, value);
         },
         {"faults"}, 0, "gas-valve-relay=3\ninjector-relay=0\nlow-pressure=12\nconnection-error=1\n", ""},
        // The gas valve relay's record will not clear; the others do.
        {"a fault clear that leaves a record",
         [](sim::VirtualEcu& e) {
             for (auto [address, value] : {std::pair{66, 3}, {67, 2}, {69, 1}}) e.setFaultRecord(address, value);
             e.refuseAddress(66);
         },
         {"faults", "--clear"}, 6, "gas-valve-relay=3\ninjector-relay=0\nlow-pressure=0\nconnection-error=0\n", ""},
        {"factory reset",
         [](sim::VirtualEcu& e) {
             for (auto [address, value] : {std::pair{47, 100}, {31, 4}, {53, 90}}) e.setSetting(address, value);
         },
         {"factory-reset", "--yes"}, 0, kFactorySettings, ""},
    };
    for (const Scenario& s : scenarios) {
        SCOPED_TRACE(s.name);
        HeadlessBench bench;
        s.ecu(bench.ecu());
        std::vector<std::string> arguments = s.arguments;
        arguments.insert(arguments.end(), {"--lang", "en"});
        const CommandRun run = bench.run(arguments);
        EXPECT_EQ(run.status, s.status) << run.err;
        EXPECT_EQ(run.out, s.out);
        if (!s.says.empty()) {
            EXPECT_TRUE(Has(run.err, s.says)) << run.err;
        }
    }
}

TEST(CliSettingsCommand, BadValuesAreRefusedBeforeAnyPortIsOpened) {
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string message;
    } const cases[] = {
        {{"set", "coils=2.5"}, 4, "coils takes 1 - 4 (a whole number)"},
        {{"set", "coils=3", "switch-rpm=2100"}, 4, "switch-rpm takes 500 - 2000 rpm"},
        {{"set", "min-pressure=0,39"}, 4, "min-pressure takes 0.40 - 1.80 bar"},
        {{"set", "switch-temp=warm"}, 4, "switch-temp takes 19.9 - 96.1 °C"},
        {{"set", "advance=1.3"}, 4, "advance takes 0.20, 0.25, 0.50"},
        {{"set", "boost=2"}, 4, "unknown setting 'boost'"},
        {{"set"}, 2, "set needs at least one NAME=VALUE"},
        {{"factory-reset"}, 2, "confirm with --yes"},
        {{"faults", "--clear=yes"}, 2, "--clear takes no value"},
    };
    HeadlessBench bench;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.end(), {"--lang", "en"});
        const CommandRun run = bench.run(arguments);
        EXPECT_EQ(run.status, c.status);
        EXPECT_TRUE(Has(run.err, c.message)) << run.err;
        EXPECT_FALSE(Has(run.err, "COM1")) << run.err;
        EXPECT_TRUE(run.out.empty());
    }
    EXPECT_TRUE(bench.received().empty());
}

// What --trace lists is what went out, frame by frame, up to the last one (which
// the exit's closing of the port must not lose).
TEST(CliSettingsCommand, TheTraceListsEveryFrameTheEcuReceivedTheLastOneIncluded) {
    struct Case {
        std::vector<std::string> arguments;
        int status;
        Bytes lastFrame;  // empty: any
    } const cases[] = {
        {{"settings"}, 0, {}},
        {{"faults"}, 0, {}},
        {{"calibrate", "--speed-wait", "2"}, 7, frames::kWriteStartCommand},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.front());
        HeadlessBench bench;
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.end(), {"--lang", "en", "--trace"});
        const CommandRun run = bench.run(arguments);
        ASSERT_EQ(run.status, c.status) << run.err;
        std::vector<Bytes> traced;
        for (const test::TraceLine& line : test::SentLines(run.err)) traced.push_back(line.bytes);
        ASSERT_FALSE(traced.empty());
        EXPECT_EQ(traced, bench.received());
        if (!c.lastFrame.empty()) {
            EXPECT_EQ(cli::HexBytes(traced.back()), cli::HexBytes(c.lastFrame));
        }
    }
}

}  // namespace
}  // namespace gasecu
