// The worker thread that writes restore points behind the window's back.
#include "history/record_queue.h"

#include <utility>

namespace gasecu::history {

RecordQueue::RecordQueue(RestorePoints& store) : store_(store), worker_([this] { work(); }) {}

RecordQueue::~RecordQueue() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    worker_.join();
}

bool RecordQueue::keep(const Record& record) {
    {
        const std::lock_guard lock(mutex_);
        queued_.push_back(record);
        ++taken_;
        if (!record.label.empty()) lastLabel_ = record.label;
    }
    changed_.notify_all();
    return true;
}

std::string RecordQueue::lastLabel() {
    {
        const std::lock_guard lock(mutex_);
        if (!lastLabel_.empty()) return lastLabel_;
    }
    const std::lock_guard lock(storeMutex_);
    return store_.lastLabel();
}

void RecordQueue::flush() {
    std::unique_lock lock(mutex_);
    const std::uint64_t until = taken_;
    changed_.wait(lock, [&] { return written_ >= until; });
}

void RecordQueue::pause() {
    std::unique_lock lock(mutex_);
    ++paused_;
    changed_.wait(lock, [&] { return !writing_; });
}

void RecordQueue::resume() {
    {
        const std::lock_guard lock(mutex_);
        if (paused_ > 0) --paused_;
    }
    changed_.notify_all();
}

RecordQueue::Written RecordQueue::takeWritten() {
    const std::lock_guard lock(mutex_);
    return std::exchange(sinceAsked_, Written{});
}

void RecordQueue::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return stopping_ || (!queued_.empty() && paused_ == 0); });
        if (queued_.empty()) return;  // stopping, and everything is written
        const Record record = std::move(queued_.front());
        queued_.pop_front();
        writing_ = true;
        lock.unlock();
        bool kept = false;
        {
            const std::lock_guard writing(storeMutex_);
            kept = store_.keep(record);
        }
        lock.lock();
        ++(kept ? sinceAsked_.kept : sinceAsked_.refused);
        sinceAsked_.lastKept = kept;
        ++written_;
        writing_ = false;
        changed_.notify_all();
    }
}

}  // namespace gasecu::history
