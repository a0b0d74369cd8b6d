#pragma once
// The program's session loop: Qt's event loop, the form's timers as QTimers and
// the QtScheduler's real milliseconds. The window and the headless commands both
// run on it; tests give them the virtual-time loop instead.
#include <QEventLoop>
#include <memory>

#include "app/session_loop.h"
#include "runtime/qt_scheduler.h"
#include "runtime/qt_timers.h"

namespace gasecu::qt {

class QtSessionLoop final : public SessionLoop {
public:
    Scheduler& scheduler() override { return scheduler_; }
    void attachTimers(Form1Korvane& form, std::function<void()> afterTick) override;
    void detachTimers() override { timers_.reset(); }
    int run() override { return loop_.exec(); }
    void stop(int status) override { loop_.exit(status); }
    // The QTimers behind the form's timers (null before attachTimers): for tests of
    // the real timers themselves.
    const QtTimers* timers() const { return timers_.get(); }

private:
    QtScheduler scheduler_;
    std::unique_ptr<QtTimers> timers_;
    QEventLoop loop_;
};

std::unique_ptr<QtSessionLoop> MakeQtSessionLoop();

}  // namespace gasecu::qt
