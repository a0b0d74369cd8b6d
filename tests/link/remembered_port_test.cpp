// The scan starts on the port where the ECU answered last time; nothing else about
// the scan changes. Timed on the virtual-time runner against the virtual controller.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "link/command_frames.h"
#include "link/remembered_port.h"
#include "support/disk_full.h"
#include "support/link_harness.h"

namespace gasecu {
namespace {

namespace fs = std::filesystem;

using test::ReadWholeFile;
using test::WriteWholeFile;

fs::path RememberedFile(const test::LinkHarness& h) { return h.form.DataDirectory / link::kRememberedPortFileName; }

// The port numbers the scan probed, in order (a probe is a live data request
// before the link is up).
std::vector<int> ProbedPorts(const test::LinkHarness& h, double fromMs, double untilMs) {
    std::vector<int> ports;
    for (const sim::SentFrame& f : h.runner.sentFrames())
        if (f.timeMs >= fromMs && f.timeMs < untilMs) ports.push_back(f.port);
    return ports;
}

struct LinkTimes {
    double connectedMs;  // the press to "CONNECTED" (the probe's answer checked)
    double linkUpMs;     // the press to LinkUp (the settings pages read)
};

LinkTimes PressConnectAndTime(test::LinkHarness& h) {
    const double start = h.runner.nowMs();
    h.form.ComOpenButon_Click();
    EXPECT_TRUE(h.runner.runUntil([&] { return h.form.KomutSatırı.text.rfind("ECU FOUND", 0) == 0; }, 20000));
    const double connected = h.runner.nowMs() - start;
    EXPECT_TRUE(h.runner.runUntil([&] { return h.form.LinkUp && h.form.SequencerState == 8; }, 20000));
    return {connected, h.runner.nowMs() - start};
}

TEST(RememberedPort, ScanOrderPutsTheRememberedPortFirstAndEveryPortOnce) {
    struct Case {
        int first;
        std::vector<int> head;  // the first probes
    };
    for (const Case& c : {Case{0, {1, 2, 3}}, Case{7, {7, 1, 2, 3, 4, 5, 6, 8}}, Case{1, {1, 2, 3}},
                          Case{15, {15, 1, 2}}, Case{16, {1, 2, 3}}, Case{-3, {1, 2, 3}}}) {
        SCOPED_TRACE(c.first);
        const auto order = link::ScanOrderStartingAt(c.first);
        EXPECT_TRUE(std::equal(c.head.begin(), c.head.end(), order.begin()));
        auto sorted = order;
        std::sort(sorted.begin(), sorted.end());
        for (int i = 0; i < 15; ++i) EXPECT_EQ(sorted[static_cast<std::size_t>(i)], i + 1);
    }
}

// The figure the fitter notices: an ECU on the 7th port links after seven probes
// on the first start and after one on the next.
TEST(RememberedPort, SecondStartLinksOnTheRememberedSeventhPortAfterOneProbe) {
    test::LinkHarness first('.', 1, 7);
    const LinkTimes before = PressConnectAndTime(first);
    EXPECT_EQ(ProbedPorts(first, 0, 7000), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(before.connectedMs, 7500);  // probes 1 s apart, the 7th at 6.5 s, checked at 7 s
    EXPECT_EQ(before.linkUpMs, 11000);
    EXPECT_EQ(ReadWholeFile(RememberedFile(first)), "COM7\r\n");

    // The next start of the program: a new window over the same data directory.
    test::LinkHarness second('.', 1, 7);
    WriteWholeFile(RememberedFile(second), ReadWholeFile(RememberedFile(first)));
    const LinkTimes after = PressConnectAndTime(second);
    EXPECT_EQ(ProbedPorts(second, 0, 1000), (std::vector<int>{7}));
    EXPECT_EQ(after.connectedMs, 1500);
    EXPECT_EQ(after.linkUpMs, 5000);
    EXPECT_EQ(second.port.portNumber(), 7);

    // Not one byte differs on the wire but the six silent probes: the same frames,
    // on the same ports, with the same spacing, six seconds earlier.
    first.runner.runFor(3000);
    second.runner.runFor(3000);
    std::vector<sim::SentFrame> shifted;
    for (sim::SentFrame f : first.runner.sentFrames()) {
        if (f.port != 7) continue;
        f.timeMs -= 6000;
        shifted.push_back(f);
    }
    ASSERT_EQ(second.runner.sentFrames().size(), shifted.size());
    for (std::size_t i = 0; i < shifted.size(); ++i) {
        EXPECT_EQ(second.runner.sentFrames()[i].timeMs, shifted[i].timeMs) << i;
        EXPECT_EQ(second.runner.sentFrames()[i].port, shifted[i].port) << i;
        EXPECT_EQ(second.runner.sentFrames()[i].bytes, shifted[i].bytes) << i;
    }
}

// With no ECU anywhere the remembered port changes the order and nothing else:
// fifteen identical probes, one a second, each port once, given up after 16 s.
TEST(RememberedPort, AFruitlessScanProbesEachPortOnceAtTheUsualPace) {
    test::LinkHarness h('.', 1, 0);
    WriteWholeFile(RememberedFile(h), "COM7\r\n");
    h.form.ComOpenButon_Click();
    ASSERT_TRUE(h.runner.runUntil([&] { return h.form.SequencerState == 1000; }, 20000));
    EXPECT_EQ(h.runner.nowMs(), 16000);
    EXPECT_EQ(ProbedPorts(h, 0, 16000), (std::vector<int>{7, 1, 2, 3, 4, 5, 6, 8, 9, 10, 11, 12, 13, 14, 15}));
    for (std::size_t i = 0; i < h.runner.sentFrames().size(); ++i) {
        EXPECT_EQ(h.runner.sentFrames()[i].bytes, frames::kLiveDataRequest);
        EXPECT_EQ(h.runner.sentFrames()[i].timeMs, 500 + 1000 * static_cast<double>(i));
    }
    EXPECT_EQ(h.form.KomutSatırı.text, "NO CONNECTION TO ANY PORT .... !  COM1 - COM15");
    EXPECT_EQ(ReadWholeFile(RememberedFile(h)), "COM7\r\n");  // nothing found: the memory stays
}

// A stale or garbled file costs nothing but the order: the ECU on COM4 is found
// and kept whatever the file held.
TEST(RememberedPort, AStaleOrGarbledFileChangesNothingButTheOrder) {
    struct Case {
        const char* name;
        std::optional<std::string> content;  // none: no file
        std::vector<int> probes;
    };
    const std::string oversized(5000, 'C');
    const Case cases[] = {
        {"no file (first start)", std::nullopt, {1, 2, 3, 4}},
        {"empty", "", {1, 2, 3, 4}},
        {"a device that is gone", "/dev/ttyUSB9\r\n", {1, 2, 3, 4}},
        {"a number past the last port", "COM16\r\n", {1, 2, 3, 4}},
        {"blanks around the name", " COM2 \r\n", {1, 2, 3, 4}},
        {"binary garbage", std::string("CO\0M2\xff\r\n", 8), {1, 2, 3, 4}},
        {"oversized", oversized, {1, 2, 3, 4}},
        {"a silent port", "COM2\r\n", {2, 1, 3, 4}},
        {"no line end", "COM3", {3, 1, 2, 4}},
        {"the ECU's own port", "COM4\r\n", {4}},
        {"a second line", "COM4\r\nCOM2\r\n", {4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::LinkHarness h;  // the ECU on COM4
        if (c.content) WriteWholeFile(RememberedFile(h), *c.content);
        ASSERT_TRUE(h.connect());
        EXPECT_EQ(h.port.portNumber(), 4);
        EXPECT_EQ(ProbedPorts(h, 0, 500.0 + 1000.0 * static_cast<double>(c.probes.size())), c.probes);
        EXPECT_EQ(ReadWholeFile(RememberedFile(h)), std::string(c.name) == "a second line" ? *c.content : "COM4\r\n");
    }
}

// The device's name is what is kept, not its number: an adapter plugged in since
// may have moved it up the list.
TEST(RememberedPort, TheRememberedDeviceIsFoundUnderItsNumberOfToday) {
    test::ScriptedLink s;
    s.port.deviceNames = {{1, "/dev/ttyACM0"}, {2, "/dev/ttyUSB0"}, {3, "/dev/ttyUSB1"}};
    WriteWholeFile(s.form.DataDirectory / link::kRememberedPortFileName, "/dev/ttyUSB1\n");
    std::vector<int> probed;
    s.port.peer = [&](int port, const Bytes&) {
        probed.push_back(port);
        return port == 3 ? test::Reply13({}) : Bytes{};
    };
    s.form.ComOpenButon_Click();
    ASSERT_TRUE(s.runner.runUntil([&] { return s.form.LinkUp; }, 20000));
    EXPECT_EQ(probed.front(), 3);
    EXPECT_EQ(s.port.portNumber(), 3);
    // Found where it was kept: the file (written by hand, no CR) is left as it is.
    EXPECT_EQ(ReadWholeFile(s.form.DataDirectory / link::kRememberedPortFileName), "/dev/ttyUSB1\n");
}

// The file is rewritten only when the ECU answered somewhere else, and a failed
// write is told in the status line without holding up the link.
TEST(RememberedPort, KeptOnlyWhenItChangesAndAFailedWriteIsReported) {
    test::LinkHarness h;
    WriteWholeFile(RememberedFile(h), "COM4\r\n");
    // Dated a day back: a file written again would carry the time of the write.
    const auto dated = fs::last_write_time(RememberedFile(h)) - std::chrono::hours(24);
    fs::last_write_time(RememberedFile(h), dated);
    ASSERT_TRUE(h.connect());
    EXPECT_EQ(fs::last_write_time(RememberedFile(h)), dated);  // not written again

    GASECU_SKIP_WITHOUT_DISK_LIMIT();
    test::LinkHarness full;
    WriteWholeFile(RememberedFile(full), "COM9\r\n");
    full.form.ComOpenButon_Click();
    {
        test::DiskFull noRoom(0);
        ASSERT_TRUE(full.runner.runUntil([&] { return full.form.SequencerState == 1; }, 20000));
    }
    EXPECT_EQ(ReadWholeFile(RememberedFile(full)), "COM9\r\n");
    EXPECT_TRUE(full.runner.runUntil([&] { return full.form.LinkUp; }, 5000));
    EXPECT_EQ(full.form.KomutSatırı.text, "PORT NOT REMEMBERED ! CONNECTED : COM4");
}

// The virtual ECU neither reads nor keeps the PC's port; ports named on the
// command line are probed in the fitter's order, and the find is kept.
TEST(RememberedPort, VirtualEcuAndNamedPortsKeepTheirOrder) {
    struct Case {
        PortMemory memory;
        std::vector<int> probes;
        std::string keptAfter;
    };
    for (const Case& c : {Case{PortMemory::Off, {1, 2, 3, 4}, "COM2\r\n"},
                          Case{PortMemory::KeepOnly, {1, 2, 3, 4}, "COM4\r\n"},
                          Case{PortMemory::ProbeFirstAndKeep, {2, 1, 3, 4}, "COM4\r\n"}}) {
        SCOPED_TRACE(static_cast<int>(c.memory));
        test::LinkHarness h;
        h.form.env.portMemory = c.memory;
        WriteWholeFile(RememberedFile(h), "COM2\r\n");
        ASSERT_TRUE(h.connect());
        EXPECT_EQ(ProbedPorts(h, 0, 4000), c.probes);
        EXPECT_EQ(ReadWholeFile(RememberedFile(h)), c.keptAfter);
    }
    EXPECT_EQ(link::PortMemoryFor(true, true), PortMemory::Off);
    EXPECT_EQ(link::PortMemoryFor(false, true), PortMemory::KeepOnly);
    EXPECT_EQ(link::PortMemoryFor(false, false), PortMemory::ProbeFirstAndKeep);
}

}  // namespace
}  // namespace gasecu
