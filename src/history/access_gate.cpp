#include "history/access_gate.h"

namespace gasecu::history {

void AccessGate::pause() {
    std::unique_lock lock(mutex_);
    ++paused_;
    changed_.wait(lock, [&] { return using_ == 0 || open_; });
}

void AccessGate::resume() {
    {
        const std::lock_guard lock(mutex_);
        if (paused_ > 0) --paused_;
    }
    changed_.notify_all();
}

void AccessGate::open() {
    {
        const std::lock_guard lock(mutex_);
        open_ = true;
    }
    changed_.notify_all();
}

int AccessGate::waiting() const {
    const std::lock_guard lock(mutex_);
    return waiting_;
}

AccessGate::Use::Use(AccessGate* gate) : gate_(gate) {
    if (!gate_) return;
    std::unique_lock lock(gate_->mutex_);
    ++gate_->waiting_;
    gate_->changed_.wait(lock, [&] { return gate_->paused_ == 0 || gate_->open_; });
    --gate_->waiting_;
    ++gate_->using_;
}

AccessGate::Use::~Use() {
    if (!gate_) return;
    {
        const std::lock_guard lock(gate_->mutex_);
        --gate_->using_;
    }
    gate_->changed_.notify_all();
}

}  // namespace gasecu::history
