#pragma once
// One sync of a laptop's history with the workshop's server: this laptop's
// records the server lacks go up, the other laptops' records come down. The
// local history stays the only thing a job waits for; a sync only ever adds.
//
// Every step can be cut (the process killed, the server gone) without losing or
// doubling a record: a record goes up in a server transaction and is marked sent
// after it, so one cut in between is sent again and the server keeps it once (its
// identity is unique); records come down in batches, each kept together with how
// far the server's list was read, in one local transaction.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace gasecu::history {
class AccessGate;
}

namespace gasecu::sync {

struct SyncOptions {
    std::string uri;                        // the server (the laptop's "Sunucu" file)
    std::chrono::seconds timeout{10};       // the connection attempt and each statement
    std::chrono::seconds longest{120};      // the whole sync; the rest follows next time
    int batch = 500;                        // records per transaction
    // Called at each point a sync could be cut; the tests cut it there.
    enum class Point { PushSentToServer, PushNoted, PullFetched, PullKept };
    std::function<void(Point)> at;
    // The window's: the history file is touched only while it is open (null: always).
    history::AccessGate* gate = nullptr;
};

struct SyncOutcome {
    bool done = false;
    bool serverReached = false;
    std::int64_t pushed = 0, pulled = 0;
    std::vector<std::string> refused;  // a message for each server record not kept
    std::string error;                 // why the sync stopped ("" when done)
    std::string server;                // "host:port/database"
};

// Syncs the history file `file` (the laptop's name and the server come from the
// caller). `now` is the local time noted as the last sync.
SyncOutcome Sync(const std::filesystem::path& file, const SyncOptions& options, const std::string& now);

}  // namespace gasecu::sync
