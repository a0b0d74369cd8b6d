#pragma once
// Deterministic event loop for tests and benchmarks, in virtual milliseconds.
// It fires the form's enabled timers at their intervals, runs whatever the virtual
// ports scheduled (reply bytes arriving) at its time, and keeps a log of every frame
// sent. Events due at the same moment run in the order they were scheduled. No test
// sleeps: "run 12.5 s" takes as long as the handlers take.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/form1korvane.h"
#include "platform/scheduler.h"

namespace gasecu::sim {

struct SentFrame {
    double timeMs;
    int port;  // port number 1..15 it went out on
    Bytes bytes;
};

class VirtualTimeRunner : public Scheduler {
public:
    VirtualTimeRunner();
    ~VirtualTimeRunner() override;

    // Takes over the form's five timers. Call before Form_Load so start-up's
    // timer starts are seen.
    void attach(Form1Korvane& form);
    // Lets go of the form's timers (before the form goes while the runner stays):
    // ticks still queued for them are dropped.
    void detach();
    // Runs after every timer tick's handler, as the window mirrors its controls
    // after each handler (null: nothing).
    void setAfterTick(std::function<void()> afterTick) { afterTick_ = std::move(afterTick); }

    double nowMs() const override { return now_; }
    void schedule(double delayMs, std::function<void()> action) override;

    // Runs every event due up to now + ms, then sets the clock to that moment.
    void runFor(double ms);
    // A handler that holds the thread for ms (a slow disk under it): the clock moves
    // on, and whatever fell due meanwhile runs after it, late.
    void spend(double ms) { now_ += ms; }
    // Runs until the predicate holds (checked after every event) or maxMs passed.
    // Returns whether the predicate held.
    bool runUntil(const std::function<bool()>& done, double maxMs);

    // Frames sent by the tool, recorded by the virtual ports.
    void recordSent(int port, const Bytes& bytes) { sent_.push_back({now_, port, bytes}); }
    const std::vector<SentFrame>& sentFrames() const { return sent_; }
    void clearSentFrames() { sent_.clear(); }

    // How many times each timer (1..5) fired.
    std::uint64_t timerFirings(int timer) const;

private:
    struct Event {
        double time;
        std::uint64_t order;
        std::function<void()> action;
    };
    struct TimerSlot {
        TimerControl* timer = nullptr;
        std::uint64_t scheduledGeneration = 0;
        bool scheduled = false;
        std::uint64_t firings = 0;
    };
    void timerChanged(int index);
    void scheduleTimer(int index);
    bool runNext(double limit);

    double now_ = 0;
    std::uint64_t nextOrder_ = 0;
    std::multimap<std::pair<double, std::uint64_t>, std::function<void()>> events_;
    std::vector<SentFrame> sent_;
    TimerSlot timers_[5];
    Form1Korvane* form_ = nullptr;
    // Counts detaches: a tick queued for timers let go of is never run.
    std::uint64_t attachment_ = 0;
    std::function<void()> afterTick_;
};

}  // namespace gasecu::sim
