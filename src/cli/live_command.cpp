// gasecu live: the dashboard's values, one sample per live reply (every 500 ms
// tick of the idle poll), on standard output or as CSV.
#include <cstdio>
#include <memory>

#include "cli/commands.h"
#include "cli/headless_session.h"
#include "curve/curve_file_io.h"
#include "cli/settings_exchange.h"
#include "ecu/live_sample.h"
#include "platform/line_file.h"

namespace gasecu::cli {

namespace {

// Closes the log's file, never the run's standard output ("--csv -").
struct FileCloser {
    std::FILE* standardOutput = nullptr;
    void operator()(std::FILE* file) const {
        // NOLINTNEXTLINE(cert-err33-c): every row was flushed and checked as it was written (WriteRow)
        if (file && file != standardOutput) std::fclose(file);
    }
};
using CsvFile = std::unique_ptr<std::FILE, FileCloser>;

using ecu::CsvHeader;
using ecu::CsvRow;
using ecu::LiveSample;
using ecu::SampleLine;

bool WriteRow(std::FILE* file, const std::string& row) {
    // Each row goes to disk at once: a run ended by Ctrl+C keeps every sample.
    return std::fputs(row.c_str(), file) >= 0 && std::fputc('\n', file) != EOF && std::fflush(file) == 0;
}

}  // namespace

int RunLive(HeadlessSession& session, const Options& options) {
    // The file is opened before the scan: a wrong path must not cost 16 seconds.
    std::FILE* const out = session.standardOutput();
    CsvFile csv(nullptr, FileCloser{out});
    if (!options.csvPath.empty()) {
        csv.reset(options.csvPath == "-" ? out : OpenFileForWriting(curve::PathFromUtf8(options.csvPath)));
        const bool written = csv && (csv.get() == out ? session.result(CsvHeader()) : WriteRow(csv.get(), CsvHeader()));
        if (!written) {
            if (csv.get() != out)
                session.say("DOSYA YAZILAMIYOR : " + options.csvPath, "CANNOT WRITE FILE : " + options.csvPath);
            session.exit();
            return kExitFileError;
        }
    }
    int status = session.connect(true);
    // Without the coil count every engine speed would read 0 (or be scaled wrong).
    if (status == kExitDone) status = SettingsNotAllRead(session).value_or(kExitDone);
    if (status == kExitDone) {
        long taken = 0;
        bool writeFailed = false;
        status = session.waitUntil([&](HeadlessSession::Event event) -> std::optional<int> {
            if (!session.liveSampleDecoded(event)) return std::nullopt;
            const LiveSample sample = session.form().CurrentLiveSample(session.nowMs());
            // Samples no one receives are not taken: a run until interrupted
            // would otherwise poll on for ever with its output lost.
            const bool written = !csv              ? session.result(SampleLine(sample))
                                 : csv.get() == out ? session.result(CsvRow(sample))
                                                    : WriteRow(csv.get(), CsvRow(sample));
            if (!written) {
                writeFailed = true;
                return kExitFileError;
            }
            ++taken;
            if (options.count > 0 && taken >= options.count) return kExitDone;
            return std::nullopt;
        });
        // Standard output's loss is said once, as the program ends.
        if (writeFailed && csv && csv.get() != out)
            session.say("DOSYA YAZILAMIYOR : " + options.csvPath, "CANNOT WRITE FILE : " + options.csvPath);
    }
    session.exit();
    return status;
}

}  // namespace gasecu::cli
