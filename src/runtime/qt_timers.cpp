#include "runtime/qt_timers.h"

#include "app/form1korvane.h"

namespace gasecu::qt {

QtTimers::QtTimers(std::function<void()> afterTick, QObject* parent)
    : QObject(parent), afterTick_(std::move(afterTick)) {}

QtTimers::~QtTimers() {
    for (auto& slot : slots_)
        if (slot) slot->control->setObserver(nullptr);
}

void QtTimers::attach(TimerControl& control) {
    if (count_ >= static_cast<int>(slots_.size())) return;
    auto& slot = slots_[count_++];
    slot = std::make_unique<Slot>();
    slot->control = &control;
    // The 25 ms redraw and the 10 ms key poller set the feel of the curve editor;
    // coarse timers would let them drift by several milliseconds.
    slot->timer.setTimerType(Qt::PreciseTimer);
    Slot* s = slot.get();
    connect(&s->timer, &QTimer::timeout, this, [this, s] {
        s->control->tick();
        if (afterTick_) afterTick_();
    });
    control.setObserver([this, s] { follow(*s); });
    follow(*s);
}

void QtTimers::attachFormTimers(Form1Korvane& form) {
    for (TimerControl* t : {&form.Timer1, &form.Timer2, &form.Timer3, &form.Timer4, &form.Timer5}) attach(*t);
}

void QtTimers::follow(Slot& s) {
    const TimerControl& c = *s.control;
    // An interval of 0 means the timer never fires, as for a stopped timer.
    if (!c.enabled() || c.interval() <= 0) {
        s.timer.stop();
        s.interval = c.interval();
        return;
    }
    // (Re)start when it was stopped, when it was disabled and enabled again (a new
    // generation restarts the count) or when its interval changed.
    if (!s.timer.isActive() || s.generation != c.generation() || s.interval != c.interval()) {
        s.generation = c.generation();
        s.interval = c.interval();
        s.timer.start(c.interval());
    }
}

const QTimer* QtTimers::timer(int index) const {
    if (index < 0 || index >= count_) return nullptr;
    return &slots_[index]->timer;
}

}  // namespace gasecu::qt
