#pragma once
// Restore points written off the exchange path. A record is taken where an
// operation ends, inside a tick or a reply handler; the disk under the history
// may take seconds for one write (a USB stick, a slow laptop disk syncing), and
// the ECU waits for no one: a frame sent late or a reply read late breaks an
// exchange. So keep() only queues the record and returns at once; one worker
// thread writes the queue in order into the store it wraps. The records that the
// store could not take are counted for the window to say so, and nothing queued
// is dropped: the queue is written out before it goes.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "history/restore_points.h"

namespace gasecu::history {

class RecordQueue final : public RestorePoints {
public:
    // `store` writes the records (on the worker thread only, once the queue
    // exists); it must outlive the queue.
    explicit RecordQueue(RestorePoints& store);
    // Writes every record still queued, then ends the worker.
    ~RecordQueue() override;
    RecordQueue(const RecordQueue&) = delete;
    RecordQueue& operator=(const RecordQueue&) = delete;

    // Queues the record; true (whether it was kept is known later: notKept()).
    bool keep(const Record& record) override;
    // The label of the last record queued with one, else the store's.
    std::string lastLabel() override;

    // Waits until every record queued so far has been written or refused (never
    // call it while paused).
    void flush();
    // While a file dialog is up the worker writes nothing: the dialog reads the
    // folder of the database, and on POSIX its close of any descriptor of the file
    // would take SQLite's locks from under a record being written. pause() waits
    // for a record under way to finish; resume() lets the queue go on.
    void pause();
    void resume();
    // What the worker made of the records since the last call.
    struct Written {
        int kept = 0;
        int refused = 0;
        bool lastKept = true;  // the last one of them
    };
    Written takeWritten();

private:
    void work();

    RestorePoints& store_;
    std::mutex storeMutex_;  // the store is used by one thread at a time
    std::mutex mutex_;       // the queue and the counts
    std::condition_variable changed_;
    std::deque<Record> queued_;
    std::uint64_t taken_ = 0;    // records handed to keep()
    std::uint64_t written_ = 0;  // records the worker finished with
    bool stopping_ = false;
    int paused_ = 0;
    bool writing_ = false;
    std::string lastLabel_;
    Written sinceAsked_;
    std::thread worker_;  // last: started once everything above exists
};

}  // namespace gasecu::history
