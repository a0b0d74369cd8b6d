#pragma once
// What a run of the tool turns on, with or without its window: a clock that can
// call back later, the form's five timers and a wait that ends when a command has
// what it needs. The program runs on Qt's event loop with real QTimers and real
// milliseconds (qt::MakeQtSessionLoop); the tests run the same window and the same
// commands on the virtual-time runner (sim::VirtualSessionLoop), where a 16-second
// port scan takes as long as its handlers take.
#include <functional>

#include "platform/scheduler.h"

namespace gasecu {

class Form1Korvane;

class SessionLoop {
public:
    virtual ~SessionLoop() = default;
    virtual Scheduler& scheduler() = 0;
    // Ticks the form's Timer1..Timer5 from now on; afterTick runs after every tick's
    // handler (the window mirrors its controls there, a command checks its wait).
    virtual void attachTimers(Form1Korvane& form, std::function<void()> afterTick) = 0;
    // No tick reaches the form any more (before the form goes).
    virtual void detachTimers() = 0;
    // Turns the loop until stop() is called, and returns the status it was given.
    // The window does not use it: QApplication's own loop runs the program.
    virtual int run() = 0;
    virtual void stop(int status) = 0;
};

}  // namespace gasecu
