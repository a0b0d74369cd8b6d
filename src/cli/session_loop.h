#pragma once
// What a headless run turns on: a clock that can call back later, the form's five
// timers and a wait that ends when the command has what it needs. The program runs
// on Qt's event loop with real QTimers and real milliseconds (MakeQtSessionLoop);
// the tests run the same commands on the virtual-time runner, where a 16-second
// port scan takes as long as its handlers take.
#include <functional>
#include <memory>

#include "platform/scheduler.h"

namespace gasecu {
class Form1Korvane;
}

namespace gasecu::cli {

class SessionLoop {
public:
    virtual ~SessionLoop() = default;
    virtual Scheduler& scheduler() = 0;
    // Ticks the form's Timer1..Timer5 from now on; afterTick runs after every tick's
    // handler (what the window does after each handler).
    virtual void attachTimers(Form1Korvane& form, std::function<void()> afterTick) = 0;
    // No tick reaches the form any more (before the form goes).
    virtual void detachTimers() = 0;
    // Turns the loop until stop() is called, and returns the status it was given.
    virtual int run() = 0;
    virtual void stop(int status) = 0;
};

// The program's loop: QCoreApplication's event loop, real QTimers, real time.
std::unique_ptr<SessionLoop> MakeQtSessionLoop();

}  // namespace gasecu::cli
