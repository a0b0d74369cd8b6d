#pragma once
// Started windows on the virtual-time runner, for scenario tests of the link.
//
// LinkHarness: the window, its virtual port and the virtual controller behind COM4
// (the other port numbers open and stay silent; 0 puts it nowhere). Scenarios run against the real
// controller: its memory, its engine, its fault injection.
//
// ScriptedLink: the window on a scripted port, for the few cases that need exact
// bytes at an exact moment (a reply handed in at a chosen step, two replies in one
// receive event, a line-state event).
//
// In both, the runner watches the form's timers: it is built before the port that
// schedules on it and torn down first, while the form still exists. It is also the
// form's clock (time stamps of the data log and the trend), from a fixed morning.
#include <memory>
#include <vector>

#include "app/form1korvane.h"
#include "support/scripted_port.h"
#include "support/temp_dir.h"
#include "virtual_clock.h"
#include "virtual_ecu.h"
#include "virtual_port.h"
#include "virtual_time_runner.h"

namespace gasecu::test {

// The key code an entry box gets for Enter (the fitter confirming a typed value).
inline constexpr int kEnter = 13;

struct LinkHarness {
    explicit LinkHarness(char decimalSeparator = '.', double languageIndex = 1, int ecuPort = 4);
    ~LinkHarness() { runnerOwner.reset(); }
    LinkHarness(const LinkHarness&) = delete;
    LinkHarness& operator=(const LinkHarness&) = delete;

    // Presses the connect button and runs until the link is up and idle.
    bool connect(double maxMs = 20000);
    // Frames sent at or after the given time.
    std::vector<sim::SentFrame> framesSince(double timeMs) const;
    // Runs until the next tick would run `step` (the sequencer stands at it).
    bool runUntilStep(double step, double maxMs = 20000);

    TempDir dir;
    std::unique_ptr<sim::VirtualTimeRunner> runnerOwner;
    sim::VirtualTimeRunner& runner;
    sim::VirtualClock clock;
    sim::VirtualEcu ecu;
    sim::VirtualPort port;
    Form1Korvane form;
};

struct ScriptedLink {
    explicit ScriptedLink(char decimalSeparator = '.', double languageIndex = 1);
    ~ScriptedLink() { runnerOwner.reset(); }
    ScriptedLink(const ScriptedLink&) = delete;
    ScriptedLink& operator=(const ScriptedLink&) = delete;

    TempDir dir;
    std::unique_ptr<sim::VirtualTimeRunner> runnerOwner;
    sim::VirtualTimeRunner& runner;
    sim::VirtualClock clock;
    ScriptedPort port;
    Form1Korvane form;
};

}  // namespace gasecu::test
