// The program's session loop: a QEventLoop turned until a command's wait ends
// (the window runs on QApplication's loop instead), the form's timers as QTimers,
// the QtScheduler's clock.
#include "runtime/qt_session_loop.h"

namespace gasecu::qt {

void QtSessionLoop::attachTimers(Form1Korvane& form, std::function<void()> afterTick) {
    timers_ = std::make_unique<QtTimers>(std::move(afterTick));
    timers_->attachFormTimers(form);
}

std::unique_ptr<QtSessionLoop> MakeQtSessionLoop() { return std::make_unique<QtSessionLoop>(); }

}  // namespace gasecu::qt
