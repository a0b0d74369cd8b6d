#include "runtime/qt_scheduler.h"

#include <QTimer>
#include <cmath>

namespace gasecu::qt {

QtScheduler::QtScheduler(QObject* parent) : QObject(parent) { clock_.start(); }

double QtScheduler::nowMs() const { return static_cast<double>(clock_.nsecsElapsed()) / 1e6; }

void QtScheduler::schedule(double delayMs, std::function<void()> action) {
    int ms = 0;
    if (std::isfinite(delayMs) && delayMs > 0) ms = static_cast<int>(std::min(std::ceil(delayMs), 1e9));
    QTimer::singleShot(ms, Qt::PreciseTimer, this, [action = std::move(action)] {
        if (action) action();
    });
}

}  // namespace gasecu::qt
