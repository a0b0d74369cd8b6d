#pragma once
// A fitter who does anything at all, for hours of virtual time: the window on the
// virtual-time runner with the virtual ECU behind COM4, driven by a seeded random
// stream of what a fitter can do (any enabled control pressed, values typed, keys
// on the plot, the language changed, curve files read and saved, the adapter
// pulled and put back, the engine run up and down) while the line misbehaves
// (dropped, cut, split, merged, noisy and late replies; an ECU that falls silent).
//
// After every event (every timer tick, every receive event, every action) the
// rules the tool lives by are checked:
// - every frame on the wire is sound (known command, check byte, CRC, line feed);
// - a tick of the step machine (or of the calibration timer) sends at most one
//   frame, an action at most one (its immediate send), nothing else sends;
// - the curve changes only through a read from the ECU, a file, an edit on the
//   curve screen or a calibration, and always stays within what a curve file holds;
// and at the end of every stretch of use, once the faults stop and the adapter is
// back, the step machine returns to polling the ECU (step 8): the fitter presses
// connect again where the link was lost, and stops a calibration that still waits
// for the engine after two minutes.
#include <cstdint>
#include <deque>
#include <optional>
#include <random>
#include <string>

#include "support/link_harness.h"

namespace gasecu::test {

struct SoakFigures {
    double virtualMs = 0;
    std::uint64_t actions = 0;
    std::uint64_t framesSent = 0;
    std::uint64_t sequencerTicks = 0;
    std::uint64_t lineFaults = 0;  // replies the virtual line spoiled
    std::uint64_t quietPhases = 0;
    double longestReturnToPollingMs = 0;
};

class SoakSession {
public:
    // referenceCurve: the factory reference curve file to place beside the program.
    SoakSession(std::uint32_t seed, const std::string& referenceCurve);
    ~SoakSession();
    SoakSession(const SoakSession&) = delete;
    SoakSession& operator=(const SoakSession&) = delete;

    // Random use for about virtualMs, in stretches each followed by a quiet phase.
    // Returns the first broken rule with its moment and the actions before it;
    // nothing when every rule held.
    std::optional<std::string> run(double virtualMs);
    const SoakFigures& figures() const { return figures_; }

private:
    enum class Source { None, Action, Timer1, Timer2, Timer3, Timer4, Timer5, Receive, DeviceLost };
    class Dialogs;
    class Answers;

    void wire();
    void event(Source source, const std::function<void()>& body);
    void afterEvent(Source source, double stepBefore);
    void fail(const std::string& what);
    void act();
    void pressControl();
    void pressIfReachable(const std::string& name);
    void changeLine();
    bool quietPhase();
    void note(std::string action);
    int draw(int below);  // 0 .. below - 1

    std::uint32_t seed_;
    std::mt19937 rng_;
    LinkHarness h_;
    std::unique_ptr<Dialogs> dialogs_;
    std::unique_ptr<Answers> answers_;
    Source source_ = Source::None;
    std::string action_;  // what the current action is, for the curve rule
    bool actionMayChangeCurve_ = false;
    int framesThisEvent_ = 0;
    CurveRows curveBefore_{};
    bool unplugged_ = false;
    std::deque<std::string> lastActions_;
    std::optional<std::string> failure_;
    SoakFigures figures_;
};

}  // namespace gasecu::test
