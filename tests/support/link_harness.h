#pragma once
// A started window on the virtual-time runner with a scripted port, for scenario
// tests of the link. The runner is built last so it is gone before the form whose
// timers it watches.
#include <memory>

#include "app/form1korvane.h"
#include "support/scripted_ecu.h"
#include "support/scripted_port.h"
#include "support/temp_dir.h"
#include "virtual_time_runner.h"

namespace gasecu::test {

struct LinkHarness {
    explicit LinkHarness(char decimalSeparator = '.', double languageIndex = 1);

    // Connects to the scripted ECU and runs until the link is up and idle.
    bool connect(double maxMs = 20000);
    // Frames sent at or after the given time.
    std::vector<sim::SentFrame> framesSince(double timeMs) const;

    TempDir dir;
    ScriptedPort port;
    ScriptedEcu ecu;
    Form1Korvane form;
    sim::VirtualTimeRunner runner;
};

}  // namespace gasecu::test
