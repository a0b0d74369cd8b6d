#pragma once
// The calibration screen on a scripted line, for runs that need exact injection
// times: a small engine behind the port answers every live request with the
// values the test holds, runs on petrol or gas as the run commands, and takes
// each correction off its mixture error (fully, or by a given share).
#include <string>
#include <vector>

#include "support/link_harness.h"

namespace gasecu::test {

// One sequencer tick of a calibration run, in ms.
inline constexpr double kTick = 600;

struct ScriptedEngine {
    double rpm = 2100;
    double petrolOnPetrolMs = 3.00;
    double mismatchMs = 0.50;          // petrol time on gas minus on petrol
    double correctionShare = 1.0;      // how much of a correction the mixture takes
    int gasRaw = 500;                  // gas time in 1/244.16 ms
    double pressureBar = 1.2;
    double reducerC = 60;
    double gasC = 35;
    bool onGas = false;
    Bytes liveReply() const;
    void take(const Bytes& frame);
};

struct CalibrationBench {
    explicit CalibrationBench(char separator = '.', double language = 1);

    // The reference file in the program directory.
    void writeReference(const std::string& text) const;
    // Every band row at one value, the default head and axis.
    static std::string ReferenceText(int bandValue);

    // Opens the screen and presses start.
    void start();
    // Runs until the run has ended (or stopped) and the sequencer idles.
    bool runToEnd(double maxMs = 400000);
    // Runs until the next tick will run this step.
    bool runUntilStep(double step, double maxMs = 400000);
    // The frames sent so far with this command code, and when the first went out.
    std::vector<Bytes> framesWithCode(int code) const;
    double firstTime(const Bytes& frame, double from = 0) const;

    ScriptedLink link;
    Form1Korvane& form;
    sim::VirtualTimeRunner& runner;
    ScriptedEngine engine;
};

}  // namespace gasecu::test
