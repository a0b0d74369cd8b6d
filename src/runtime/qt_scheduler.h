#pragma once
// The Scheduler of the running program: real milliseconds on Qt's event loop. The
// virtual ECU of --simulate uses it to let its replies arrive as a real line would.
#include <QElapsedTimer>
#include <QObject>

#include "platform/scheduler.h"

namespace gasecu::qt {

class QtScheduler : public QObject, public Scheduler {
public:
    explicit QtScheduler(QObject* parent = nullptr);
    double nowMs() const override;
    // Runs the action on the UI thread after the delay, rounded up to whole
    // milliseconds; actions still pending die with the scheduler.
    void schedule(double delayMs, std::function<void()> action) override;

private:
    QElapsedTimer clock_;
};

}  // namespace gasecu::qt
