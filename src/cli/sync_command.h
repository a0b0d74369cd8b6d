#pragma once
// gasecu sync: this laptop's history with the workshop's server.
// gasecu server-init: the server's schema and the laptops' role, made or upgraded.
// Testable without a process: the work takes the data directory and gives its
// output as text.
#include <filesystem>
#include <string>

#include "cli/command_line.h"
#include "cli/history_command.h"

namespace gasecu::cli {

// Syncs the history in `dataDirectory` with the server its "Sunucu" file names.
// Exit 0 done, 4 no server named or the history cannot be read or written, 5 the
// server cannot be reached, was lost, holds no workshop history or the sync ran
// out of time (local records untouched; the next sync goes on from there).
HistoryOutput RunSyncOn(const std::filesystem::path& dataDirectory, const Options& options, const std::string& now);

// Creates or upgrades the schema on the server `--uri` names (else the file's).
HistoryOutput RunServerInitOn(const std::filesystem::path& dataDirectory, const Options& options);

}  // namespace gasecu::cli
