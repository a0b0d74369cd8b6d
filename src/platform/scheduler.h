#pragma once
// A clock that can call back later. The virtual-time runner implements it in
// virtual milliseconds for tests; the window implements it with Qt's event loop.
#include <functional>

namespace gasecu {

class Scheduler {
public:
    virtual ~Scheduler() = default;
    virtual double nowMs() const = 0;
    // Calls action once, delayMs from now (0: after the current handler).
    virtual void schedule(double delayMs, std::function<void()> action) = 0;
};

}  // namespace gasecu
