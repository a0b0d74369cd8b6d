#pragma once
// Holds the history file's users back while the window's file dialog is up.
// The dialog reads the folder the history lives in and may open and close its
// files; on POSIX that close drops every lock this process holds on the file,
// and another program sharing the history could then take itself for its last
// user and remove the write-ahead log under a live connection. So a user of the
// file passes the gate for each short use (open, work, close), and pause() waits
// for a use under way to end and lets no new one begin until resume().
#include <condition_variable>
#include <mutex>

namespace gasecu::history {

class AccessGate {
public:
    // Counted: each pause() needs its resume().
    void pause();
    void resume();
    // Lets every waiting and later use through for good (the owner is closing).
    void open();
    // Uses held at the gate now.
    int waiting() const;

    // One use of the file, from its open to its close.
    class Use {
    public:
        explicit Use(AccessGate* gate);  // null: no gate, nothing to wait for
        ~Use();
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;

    private:
        AccessGate* gate_;
    };

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    int paused_ = 0;
    int using_ = 0;
    int waiting_ = 0;
    bool open_ = false;
};

}  // namespace gasecu::history
