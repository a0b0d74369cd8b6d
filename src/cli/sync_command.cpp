// gasecu sync / gasecu server-init
#include "cli/sync_command.h"

#include "curve/curve_file_io.h"
#include "history/history_store.h"
#include "history/server_config.h"
#ifdef GASECU_WITH_SYNC
#include "sync/server_connection.h"
#include "sync/server_schema.h"
#include "sync/sync_run.h"
#endif

namespace gasecu::cli {

namespace {

HistoryOutput Failed(int status, const std::string& message) {
    HistoryOutput o;
    o.status = status;
    o.err = "gasecu: " + message + "\n";
    return o;
}

}  // namespace

#ifdef GASECU_WITH_SYNC

namespace {

// The server's address: --uri, else the laptop's file; "" with the failure in *failed.
std::string ServerUri(const std::filesystem::path& dataDirectory, const Options& options, HistoryOutput* failed) {
    if (!options.serverUri.empty()) return options.serverUri;
    std::string error;
    const auto config = history::ReadServerConfig(dataDirectory, &error);
    if (!config) {
        *failed = Failed(kExitFileError, "the server file " + curve::Utf8FromPath(dataDirectory / history::kServerFileName) +
                                             " cannot be read: " + error);
    } else if (config->uri.empty()) {
        *failed = Failed(kExitFileError, "no server is named: put \"uri=postgresql://USER@HOST/DATABASE\" into " +
                                             curve::Utf8FromPath(dataDirectory / history::kServerFileName));
    }
    return config ? config->uri : std::string();
}

}  // namespace

HistoryOutput RunSyncOn(const std::filesystem::path& dataDirectory, const Options& options, const std::string& now) {
    HistoryOutput failed;
    sync::SyncOptions sync;
    sync.uri = ServerUri(dataDirectory, options, &failed);
    if (sync.uri.empty()) return failed;
    const sync::SyncOutcome outcome = sync::Sync(history::HistoryFileIn(dataDirectory), sync, now);
    HistoryOutput o;
    for (const std::string& refused : outcome.refused) o.err += "gasecu: " + refused + "\n";
    const std::string counts = "sent " + std::to_string(outcome.pushed) + ", received " +
                               std::to_string(outcome.pulled) + " records";
    if (outcome.done) {
        o.out = counts + " (" + outcome.server + ")\n";
        return o;
    }
    // The laptop's own side (its history, the address it names) or the server.
    const bool localFault = !outcome.serverReached && (outcome.error.rfind("the history", 0) == 0 ||
                                                       outcome.error.rfind("the server address", 0) == 0);
    o.status = localFault ? kExitFileError : kExitEcuSilent;
    o.err += "gasecu: sync stopped after " + counts + ": " + outcome.error + "\n";
    return o;
}

HistoryOutput RunServerInitOn(const std::filesystem::path& dataDirectory, const Options& options) {
    HistoryOutput failed;
    const std::string uri = ServerUri(dataDirectory, options, &failed);
    if (uri.empty()) return failed;
    std::string error;
    auto server = sync::ServerConnection::Connect(uri, std::chrono::seconds(10), &error);
    if (!server) return Failed(kExitEcuSilent, error);
    const int version = sync::InitServer(*server, &error);
    if (version < 0) return Failed(kExitEcuSilent, "the server's schema was not made: " + error);
    HistoryOutput o;
    o.out = "schema version " + std::to_string(version) + " ready on " + server->serverName() +
            "; laptops connect as members of the role " + sync::kLaptopRole + "\n";
    return o;
}

#else

HistoryOutput RunSyncOn(const std::filesystem::path&, const Options&, const std::string&) {
    return Failed(kExitBadUsage, "this build has no server sync");
}
HistoryOutput RunServerInitOn(const std::filesystem::path&, const Options&) {
    return Failed(kExitBadUsage, "this build has no server sync");
}

#endif

}  // namespace gasecu::cli
