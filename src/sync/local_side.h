#pragma once
// The laptop's side of a sync: which of its own records the server still lacks,
// marking them sent, and taking in the other laptops' records with how far the
// server's list was read, each batch in one local transaction so that a sync cut
// at any point leaves the file as it was after the last whole batch.
// The file is opened for each of these steps and closed after it, through the
// gate the window closes while its file dialog is up: no connection stays open
// while the sync talks to the server.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "history/access_gate.h"
#include "history/history_record.h"

namespace gasecu::sync {

// What a sync has done, as the window shows it.
struct LocalSyncState {
    std::int64_t serverPosition = 0;  // the last server record read
    std::string lastSync;             // local time of the last whole sync ("" never)
    std::string server;               // the server it was made with
    std::int64_t waiting = 0;         // this laptop's records the server lacks
};

class LocalSide {
public:
    // Opens (and brings up to date) the history file; null with the reason.
    // gate: null when nothing else in this process holds the file back.
    static std::unique_ptr<LocalSide> Open(const std::filesystem::path& file, history::AccessGate* gate,
                                           std::string* error);
    LocalSide(const LocalSide&) = delete;
    LocalSide& operator=(const LocalSide&) = delete;

    // This laptop's records the server lacks, oldest first, whole.
    std::vector<history::Record> waiting(int limit, std::string* error);
    bool markPushed(const std::vector<history::Record>& records, std::string* error);
    // Keeps the pulled records (one already here is skipped) and the server
    // position after them, in one transaction.
    bool addPulled(const std::vector<history::Record>& records, std::int64_t serverPosition, std::int64_t* added,
                   std::string* error);
    bool noteSyncDone(const std::string& time, const std::string& server, std::string* error);
    std::optional<LocalSyncState> state(std::string* error);
    const std::string& laptop() const { return laptop_; }

private:
    LocalSide(std::filesystem::path file, history::AccessGate* gate, std::string laptop)
        : file_(std::move(file)), gate_(gate), laptop_(std::move(laptop)) {}
    std::filesystem::path file_;
    history::AccessGate* gate_;
    std::string laptop_;
};

// The local state without opening the file for writing (the window's note).
std::optional<LocalSyncState> ReadLocalSyncState(const std::filesystem::path& file, std::string* error,
                                                 history::AccessGate* gate = nullptr);

}  // namespace gasecu::sync
