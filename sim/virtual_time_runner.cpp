#include "virtual_time_runner.h"

namespace gasecu::sim {

VirtualTimeRunner::VirtualTimeRunner() = default;

VirtualTimeRunner::~VirtualTimeRunner() { detach(); }

void VirtualTimeRunner::detach() {
    for (TimerSlot& slot : timers_) {
        if (slot.timer) slot.timer->setObserver(nullptr);
        slot.timer = nullptr;
        slot.scheduled = false;
    }
    form_ = nullptr;
    afterTick_ = nullptr;
    ++attachment_;
}

void VirtualTimeRunner::attach(Form1Korvane& form) {
    form_ = &form;
    TimerControl* all[5] = {&form.Timer1, &form.Timer2, &form.Timer3, &form.Timer4, &form.Timer5};
    for (int i = 0; i < 5; ++i) {
        timers_[i].timer = all[i];
        all[i]->setObserver([this, i] { timerChanged(i); });
        timerChanged(i);
    }
}

void VirtualTimeRunner::schedule(double delayMs, std::function<void()> action) {
    if (delayMs < 0) delayMs = 0;
    events_.emplace(std::make_pair(now_ + delayMs, nextOrder_++), std::move(action));
}

void VirtualTimeRunner::timerChanged(int index) {
    TimerSlot& slot = timers_[index];
    if (!slot.timer->enabled()) return;  // a pending tick is dropped when it comes due
    if (slot.scheduled && slot.scheduledGeneration == slot.timer->generation()) return;
    scheduleTimer(index);
}

void VirtualTimeRunner::scheduleTimer(int index) {
    TimerSlot& slot = timers_[index];
    std::uint64_t generation = slot.timer->generation();
    slot.scheduled = true;
    slot.scheduledGeneration = generation;
    int interval = slot.timer->interval() > 0 ? slot.timer->interval() : 1;
    schedule(interval, [this, index, generation, attachment = attachment_] {
        TimerSlot& s = timers_[index];
        if (attachment != attachment_) return;  // detached, or attached to another form since
        if (s.scheduledGeneration != generation) return;  // restarted since: a newer tick is queued
        s.scheduled = false;
        if (!s.timer->enabled()) return;
        ++s.firings;
        s.timer->tick();
        if (afterTick_) afterTick_();
        // The next tick counts from this one, unless the handler restarted the timer.
        if (s.timer->enabled() && !s.scheduled) scheduleTimer(index);
    });
}

bool VirtualTimeRunner::runNext(double limit) {
    if (events_.empty()) return false;
    auto it = events_.begin();
    if (it->first.first > limit) return false;
    if (it->first.first > now_) now_ = it->first.first;  // an event made late by spend() runs now
    auto action = std::move(it->second);
    events_.erase(it);
    action();
    return true;
}

void VirtualTimeRunner::runFor(double ms) {
    double limit = now_ + ms;
    while (runNext(limit)) {
        if (form_ && form_->ExitRequested) break;
    }
    if (now_ < limit) now_ = limit;
}

bool VirtualTimeRunner::runUntil(const std::function<bool()>& done, double maxMs) {
    double limit = now_ + maxMs;
    if (done()) return true;
    while (runNext(limit)) {
        if (done()) return true;
        if (form_ && form_->ExitRequested) return done();
    }
    if (now_ < limit) now_ = limit;
    return done();
}

std::uint64_t VirtualTimeRunner::timerFirings(int timer) const {
    return (timer >= 1 && timer <= 5) ? timers_[timer - 1].firings : 0;
}

}  // namespace gasecu::sim
