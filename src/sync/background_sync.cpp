// The window's sync thread.
#include "sync/background_sync.h"

#include "history/history_store.h"
#include "history/server_config.h"
#include "sync/local_side.h"
#include "sync/server_connection.h"
#include "sync/sync_run.h"

namespace gasecu::sync {

BackgroundSync::BackgroundSync(std::filesystem::path dataDirectory, std::function<std::string()> now,
                               history::AccessGate* gate)
    : dataDirectory_(std::move(dataDirectory)), now_(std::move(now)), gate_(gate) {}

BackgroundSync::~BackgroundSync() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void BackgroundSync::start() {
    thread_ = std::thread([this] {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!stopping_) {
            lock.unlock();
            step(Clock::now());
            lock.lock();
            wake_.wait_for(lock, kLook, [this] { return stopping_; });
        }
    });
}

BackgroundStatus BackgroundSync::status() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return status_;
}

void BackgroundSync::step(Clock::time_point at) {
    const auto config = history::ReadServerConfig(dataDirectory_);
    const std::string uri = config ? config->uri : std::string();
    const auto file = history::HistoryFileIn(dataDirectory_);
    std::string error;
    const auto local = ReadLocalSyncState(file, &error, gate_);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        status_.configured = !uri.empty();
        status_.server = ServerNameOf(uri);
        if (local) {
            status_.waiting = local->waiting;
            status_.lastSync = local->lastSync;
        }
    }
    if (uri.empty() || !local) return;
    const bool due = !lastAttempt_ || (lastFailed_ ? at - *lastAttempt_ >= kAfterFailure
                                                   : local->waiting > 0 || at - *lastAttempt_ >= kEvery);
    if (!due) return;
    lastAttempt_ = at;
    SyncOptions options;
    options.uri = uri;
    options.longest = std::chrono::seconds(60);
    // Small batches: each holds the history's write lock for one short
    // transaction, and the window's own record waits for none longer.
    options.batch = 100;
    options.gate = gate_;
    const SyncOutcome outcome = Sync(file, options, now_());
    lastFailed_ = !outcome.done;
    const auto after = ReadLocalSyncState(file, nullptr, gate_);
    std::lock_guard<std::mutex> lock(mutex_);
    ++status_.attempts;
    status_.error = outcome.error;
    if (!outcome.server.empty()) status_.server = outcome.server;
    if (after) {
        status_.waiting = after->waiting;
        status_.lastSync = after->lastSync;
    }
}

}  // namespace gasecu::sync
