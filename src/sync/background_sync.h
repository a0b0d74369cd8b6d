#pragma once
// The window's sync: on a thread of its own, so that neither the tick of the ECU
// exchange nor the editor ever waits for the network. It looks every few seconds
// and syncs when this laptop has records the server lacks (so a record goes up
// soon after it is kept) and every few minutes in any case (to bring the other
// laptops' records); after a failure it waits a minute before the next attempt.
// The local history stays the only thing a job waits for.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "history/access_gate.h"

namespace gasecu::sync {

struct BackgroundStatus {
    bool configured = false;  // the data folder names a server
    std::string server;       // "host/database"
    std::string lastSync;     // local time of the last whole sync ("" never)
    std::int64_t waiting = 0;  // this laptop's records the server lacks
    std::string error;        // why the last attempt failed ("" after a good one)
    int attempts = 0;
};

class BackgroundSync {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::seconds kLook{5};
    static constexpr std::chrono::minutes kEvery{3};
    static constexpr std::chrono::minutes kAfterFailure{1};

    // `now` gives the local time noted as the last sync ("2026-12-10 12:00:00").
    // gate: the window's, closed while its file dialog is up (null: none); it
    // must outlive the sync and be opened before the sync is destroyed.
    BackgroundSync(std::filesystem::path dataDirectory, std::function<std::string()> now,
                   history::AccessGate* gate = nullptr);
    ~BackgroundSync();  // stops the thread (a sync under way ends within its time-outs)
    BackgroundSync(const BackgroundSync&) = delete;
    BackgroundSync& operator=(const BackgroundSync&) = delete;

    // Starts the thread that calls step() every kLook.
    void start();
    // One look at time `at`: reads the server file and the local state, syncs when due.
    void step(Clock::time_point at);
    BackgroundStatus status() const;

private:
    std::filesystem::path dataDirectory_;
    std::function<std::string()> now_;
    history::AccessGate* gate_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    BackgroundStatus status_;
    std::optional<Clock::time_point> lastAttempt_;
    bool lastFailed_ = false;
    std::thread thread_;
};

}  // namespace gasecu::sync
