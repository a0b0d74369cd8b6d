// The headless commands' loop in the program: a QEventLoop turned until the
// command's wait ends, the form's timers as QTimers, the QtScheduler's clock.
#include <QEventLoop>

#include "cli/session_loop.h"
#include "window/qt_scheduler.h"
#include "window/qt_timers.h"

namespace gasecu::cli {

namespace {

class QtSessionLoop final : public SessionLoop {
public:
    Scheduler& scheduler() override { return scheduler_; }
    void attachTimers(Form1Korvane& form, std::function<void()> afterTick) override {
        timers_ = std::make_unique<qt::QtTimers>(std::move(afterTick));
        timers_->attachFormTimers(form);
    }
    void detachTimers() override { timers_.reset(); }
    int run() override { return loop_.exec(); }
    void stop(int status) override { loop_.exit(status); }

private:
    qt::QtScheduler scheduler_;
    std::unique_ptr<qt::QtTimers> timers_;
    QEventLoop loop_;
};

}  // namespace

std::unique_ptr<SessionLoop> MakeQtSessionLoop() { return std::make_unique<QtSessionLoop>(); }

}  // namespace gasecu::cli
