// The table of headless commands. A new command (calibration) is one runner file
// plus one entry here.
#include <charconv>

#include "cli/commands.h"

namespace gasecu::cli {

namespace {

// Half a second a sample: about a year and a half of samples.
constexpr long kMostSamples = 100000000;

std::string SetCount(Options& o, std::string_view value) {
    long count = 0;
    auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), count);
    if (error != std::errc() || end != value.data() + value.size() || count < 1 || count > kMostSamples)
        return "--count takes a whole number from 1 to " + std::to_string(kMostSamples) + ", not '" +
               std::string(value) + "'";
    o.count = count;
    return {};
}
std::string SetCsv(Options& o, std::string_view value) {
    if (value.empty()) return "--csv needs a file name";
    o.csvPath = value;
    return {};
}
std::string SetClear(Options& o, std::string_view) {
    o.clear = true;
    return {};
}
std::string SetYes(Options& o, std::string_view) {
    o.yes = true;
    return {};
}
std::string SetOutput(Options& o, std::string_view value) {
    if (value.empty()) return "-o needs a file name";
    o.outputPath = value;
    return {};
}
std::string SetInput(Options& o, std::string_view value) {
    if (value.empty()) return "write-curve needs a curve file";
    o.inputPath = value;
    return {};
}
std::string SetNoVerify(Options& o, std::string_view) {
    o.noVerify = true;
    return {};
}
std::string SetNoBackupRead(Options& o, std::string_view) {
    o.noBackupRead = true;
    return {};
}

std::string SetReference(Options& o, std::string_view value) {
    if (value.empty()) return "--reference needs a file name";
    o.referencePath = value;
    return {};
}
std::string SetKind(Options& o, std::string_view value) {
    o.historyKind = value;
    return {};
}
std::string SetLimit(Options& o, std::string_view value) {
    int limit = 0;
    auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), limit);
    if (error != std::errc() || end != value.data() + value.size() || limit < 1)
        return "--limit takes a whole number from 1, not '" + std::string(value) + "'";
    o.historyLimit = limit;
    return {};
}
std::string SetHistoryCsv(Options& o, std::string_view) {
    o.historyCsv = true;
    return {};
}
std::string SetLaptop(Options& o, std::string_view value) {
    if (value.empty()) return "--laptop needs a laptop's name";
    o.historyLaptop = value;
    return {};
}
#ifdef GASECU_WITH_SYNC  // the sync commands' option; a build without libpq has neither
std::string SetUri(Options& o, std::string_view value) {
    if (value.empty()) return "--uri needs a server address";
    o.serverUri = value;
    return {};
}
#endif
std::string SetUpload(Options& o, std::string_view) {
    o.upload = true;
    return {};
}
std::string SetSpeedWait(Options& o, std::string_view value) {
    long seconds = 0;
    auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), seconds);
    if (error != std::errc() || end != value.data() + value.size() || seconds < 1 || seconds > 3600)
        return "--speed-wait takes whole seconds from 1 to 3600, not '" + std::string(value) + "'";
    o.speedWaitSeconds = seconds;
    return {};
}

const std::vector<Command>& Table() {
    static const std::vector<Command> table{
        {"scan", "", "Press the connect button: try the ports in turn and print the one the ECU answers on.",
         {}, nullptr, RunScan},
        {"live", "[--count N] [--csv FILE]",
         "Connect, then print (or log as CSV) the live values once per reply, every 500 ms.",
         {{"--count", "", "N", "stop after N samples, 1 to 100000000 (default: until interrupted)", SetCount},
          {"--csv", "", "FILE", "write the samples as CSV with a header row (\"-\": standard output)", SetCsv}},
         nullptr, RunLive},
        {"read-curve", "-o FILE",
         "Connect, read the gas correction curve from the ECU and save it as a curve file (Cur_xx.txt).",
         {{"--output", "-o", "FILE", "the curve file; its last ten characters must begin with \"Cur\"", SetOutput}},
         ValidateReadCurve, RunReadCurve},
        {"write-curve", "FILE [--no-verify] [--no-backup-read]",
         "Check a curve file, connect, read the ECU's curve and keep it in the history, write the\n"
         "      new curve to the ECU and read it back to prove it arrived.",
         {{"--no-verify", "", "", "do not read the curve back after the write (exit 0 proves nothing then)",
           SetNoVerify},
          {"--no-backup-read", "", "",
           "do not read the ECU's curve first: saves about 12.5 s, but the history then keeps no\n"
           "                            copy of the curve the ECU held: nothing to put back should the new one\n"
           "                            run worse",
           SetNoBackupRead}},
         ValidateWriteCurve, RunWriteCurve, SetInput},
        {"settings", "",
         "Connect and print the general settings as the window shows them: coils, switch-rpm, switch-temp, "
         "min-pressure, leak-pressure, advance.",
         {}, nullptr, RunSettings},
        {"set", "NAME=VALUE...",
         "Change settings as the window's boxes and advance list do (names as \"settings\" prints them; ',' or '.' "
         "as decimal mark), read them back and print the settings. Every value is checked first.",
         {}, ValidateSet, RunSet, TakeAssignment, true},
        {"faults", "[--clear]",
         "Print the fault records gas-valve-relay, injector-relay, low-pressure, connection-error.",
         {{"--clear", "", "", "clear the records first (21 zero writes, about 32 s); 6 when any is not 0 afterwards",
           SetClear}},
         nullptr, RunFaults},
        {"factory-reset", "--yes",
         "Load the factory settings into the ECU (37 writes, about 56 s), then read and print the settings.",
         {{"--yes", "", "", "the answer to the window's question: replace every setting", SetYes}},
         ValidateFactoryReset, RunFactoryReset},
        {"calibrate", "[--reference FILE] [-o FILE] [--upload [--no-backup-read]] [--speed-wait SECONDS]",
         "Connect and run the automatic calibration with the engine held at about 2100 rpm: the\n"
         "      factory reference curve (ORJ.DAT) rescaled by the measured slope factor.",
         {{"--reference", "", "FILE",
           "the factory reference curve (default: ORJ.DAT beside the program, else in the data directory)",
           SetReference},
          {"--output", "-o", "FILE", "save the rescaled curve as a curve file (Cur_xx.txt)", SetOutput},
          {"--upload", "", "",
           "read the ECU's curve first and keep it in the history; after a converged run, write the\n"
           "                            rescaled curve to the ECU (read back to check)",
           SetUpload},
          {"--no-backup-read", "", "", "with --upload: do not read the ECU's curve first (saves about 12.5 s)",
           SetNoBackupRead},
          {"--speed-wait", "", "SECONDS",
           "longest wait for the engine to reach 2000 rpm before the run is stopped (default 120; exit 7)",
           SetSpeedWait}},
         ValidateCalibrate, RunCalibrate, nullptr, false},
        {"history", "[show ID | export ID -o FILE] [--kind KIND] [--laptop NAME] [--limit N] [--csv]",
         "List the restore points (newest first, one a line, its number first; --label TEXT picks the job),\n"
         "      show one with its settings and curve, or export its curve as a curve file (Cur_xx.txt).",
         {{"--kind", "", "KIND",
           "only records of this kind: curve-read, ecu-curve-before-write, curve-write, settings-read,\n"
           "                            setting-write, factory-load, fault-clear, calibration, file-load, file-save",
           SetKind},
          {"--limit", "", "N", "only the newest N records", SetLimit},
          {"--laptop", "", "NAME", "only the records made on this laptop (the workshop's history after a sync)",
           SetLaptop},
          {"--csv", "", "", "the listing as CSV with a header row", SetHistoryCsv},
          {"--output", "-o", "FILE", "export: the curve file; its last ten characters must begin with \"Cur\"",
           SetOutput}},
         ValidateHistory, nullptr, TakeHistoryWord, true, RunHistory},
#ifdef GASECU_WITH_SYNC
        {"sync", "[--uri URI]",
         "Send this laptop's records the workshop's server lacks and take the other laptops' records\n"
         "      (the server named in the data directory's file Sunucu: uri=postgresql://USER@HOST/DATABASE).",
         {{"--uri", "", "URI", "this server instead (no password: that stays in ~/.pgpass)", SetUri}},
         nullptr, nullptr, nullptr, false, RunSync},
        {"server-init", "[--uri URI]",
         "Create or upgrade the workshop history's schema on the server and the role gasecu_laptop\n"
         "      the laptops' users belong to (insert and read only). Run as the database's owner.",
         {{"--uri", "", "URI", "the server (default: the one in the file Sunucu)", SetUri}},
         nullptr, nullptr, nullptr, false, RunServerInit},
#endif
    };
    return table;
}

}  // namespace

std::span<const Command> Commands() { return Table(); }

}  // namespace gasecu::cli
