// gasecu history [--label TEXT] [--kind KIND] [--limit N] [--csv]
// gasecu history show ID
// gasecu history export ID -o FILE
// The workshop's restore points without the window: which car got which curve
// and settings, and any curve of them back as a curve file.
#include "cli/history_command.h"

#include <charconv>
#include <cstdio>
#include <system_error>

#include "app/form1korvane.h"
#include "cli/commands.h"
#include "curve/curve_file_io.h"
#include "history/history_store.h"
#include "history/record_curve.h"

namespace gasecu::cli {

namespace {

std::string Number(double value, int decimals) {
    // Room for any double, even one from a damaged record (the largest has 309
    // digits before the point), so a number is never printed cut short.
    char text[400];
    // NOLINTNEXTLINE(cert-err33-c): the buffer holds every value at the few decimals asked for
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// A CSV field: quoted when it holds a comma, a quote or a line break.
std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

// Tabs and line breaks in a label or a path would break the one-line listing.
std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    return text;
}

std::string Line(const history::Record& r) {
    std::string line = std::to_string(r.id) + "\t" + r.time + "\t" + std::string(history::KindName(r.kind)) + "\t" +
                       r.result + "\t" + OneLine(r.port) + "\t" + OneLine(r.label) + "\t" + OneLine(r.laptop);
    if (r.slopeFactor) line += "\tslope=" + Number(*r.slopeFactor, 2);
    if (r.iterations) line += "\titerations=" + std::to_string(*r.iterations);
    if (!r.detail.empty()) line += "\t" + OneLine(r.detail);
    return line + "\n";
}

std::string CsvLine(const history::Record& r) {
    return std::to_string(r.id) + "," + r.time + "," + std::string(history::KindName(r.kind)) + "," + r.result +
           "," + CsvField(r.port) + "," + CsvField(r.label) + "," + CsvField(r.laptop) + "," +
           (r.slopeFactor ? Number(*r.slopeFactor, 4) : std::string()) + "," +
           (r.iterations ? std::to_string(*r.iterations) : std::string()) + "," + CsvField(r.detail) + "\n";
}

std::optional<std::int64_t> RecordNumber(const std::string& word) {
    std::int64_t id = 0;
    auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), id);
    if (error != std::errc() || end != word.data() + word.size() || id < 1) return std::nullopt;
    return id;
}

HistoryOutput Fail(int status, const std::string& message) {
    HistoryOutput o;
    o.status = status;
    o.err = "gasecu: " + message + "\n";
    return o;
}

HistoryOutput List(const history::HistoryStore* store, const Options& options) {
    HistoryOutput o;
    if (options.historyCsv) o.out = "id,time,kind,result,port,label,laptop,slope_factor,iterations,detail\n";
    if (!store) return o;  // no history yet
    history::Filter filter;
    filter.labelContains = options.label.value_or("");
    if (!options.historyKind.empty()) filter.kind = history::KindNamed(options.historyKind);
    filter.limit = options.historyLimit;
    filter.laptop = options.historyLaptop;
    std::string error;
    const std::vector<history::Record> records = store->list(filter, &error);
    if (!error.empty()) return Fail(kExitFileError, "the history cannot be read: " + error);
    for (const history::Record& r : records) o.out += options.historyCsv ? CsvLine(r) : Line(r);
    return o;
}

HistoryOutput Show(const history::Record& r) {
    HistoryOutput o;
    o.out = "id=" + std::to_string(r.id) + "\ntime=" + r.time + "\nkind=" + std::string(history::KindName(r.kind)) +
            "\nresult=" + r.result + "\nport=" + OneLine(r.port) + "\nlabel=" + OneLine(r.label) +
            "\nlaptop=" + OneLine(r.laptop) + "\n";
    if (r.pulled) o.out += "pulled=yes (made on another laptop, read-only)\n";
    if (r.slopeFactor) o.out += "slope-factor=" + Number(*r.slopeFactor, 2) + "\n";
    if (r.iterations) o.out += "iterations=" + std::to_string(*r.iterations) + "\n";
    if (!r.detail.empty()) o.out += "detail=" + OneLine(r.detail) + "\n";
    o.out += r.settings;  // the six settings as "gasecu settings" prints them, when known
    if (!r.curveText.empty()) {
        o.out += "curve:\n";
        for (char c : r.curveText)
            if (c != '\r') o.out += c;
    }
    return o;
}

// Through the window's save rules: the name rule, never the default curve file, a
// readable curve, written whole or not at all.
HistoryOutput Export(const history::Record& r, const Options& options) {
    const std::string full = FullPath(options.outputPath);
    if (r.curveText.empty())
        return Fail(kExitFileError, "record " + std::to_string(r.id) + " (" + std::string(history::KindName(r.kind)) +
                                        ") holds no curve");
    const history::CurveOutcome outcome = history::ExportCurveFile(r.curveText, full);
    if (!outcome.done) return Fail(kExitFileError, options.language == 0 ? outcome.turkish : outcome.english);
    HistoryOutput o;
    o.out = full + "\n";
    return o;
}

}  // namespace

HistoryOutput RunHistoryOn(const std::filesystem::path& file, const Options& options) {
    std::error_code ec;
    std::unique_ptr<history::HistoryStore> store;
    if (std::filesystem::exists(file, ec)) {
        std::string error;
        store = history::HistoryStore::Open(file, &error);
        if (!store) return Fail(kExitFileError, "the history " + curve::Utf8FromPath(file) + " cannot be read: " + error);
    }
    const std::vector<std::string>& words = options.historyWords;
    if (words.empty()) return List(store.get(), options);
    const std::optional<std::int64_t> id = RecordNumber(words[1]);
    std::optional<history::Record> record;
    if (store && id) record = store->find(*id);
    if (!record) return Fail(kExitFileError, "no record " + words[1] + " in the history");
    return words[0] == "show" ? Show(*record) : Export(*record, options);
}

std::filesystem::path FindHistoryFile(const std::filesystem::path& programDirectory,
                                      const std::filesystem::path& installedDataDirectory,
                                      const std::filesystem::path& userDataDirectory) {
    return history::HistoryFileIn(
        WriteDefaultCurveAndChooseDataDirectory(programDirectory, installedDataDirectory, userDataDirectory));
}

HistoryOutput RunHistoryFor(const std::filesystem::path& programDirectory,
                            const std::filesystem::path& installedDataDirectory,
                            const std::filesystem::path& userDataDirectory, const Options& options) {
    const auto file = FindHistoryFile(programDirectory, installedDataDirectory, userDataDirectory);
    HistoryOutput output = RunHistoryOn(file, options);
    const std::string name = curve::Utf8FromPath(file);
    output.err = (options.language == 0 ? "Geçmiş dosyası: " : "History file: ") + name + "\n" + output.err;
    return output;
}

int ValidateHistory(const Options& options, std::string& message) {
    const std::vector<std::string>& words = options.historyWords;
    if (!options.historyKind.empty() && !history::KindNamed(options.historyKind)) {
        message = "--kind takes one of";
        for (history::Kind k : history::AllKinds()) message += " " + std::string(history::KindName(k));
        return kExitBadUsage;
    }
    if (words.empty()) return kExitDone;
    if ((words[0] != "show" && words[0] != "export") || words.size() != 2) {
        message = "history takes nothing, \"show ID\" or \"export ID -o FILE\"";
        return kExitBadUsage;
    }
    if (words[0] == "export" && options.outputPath.empty()) {
        message = "history export needs -o FILE";
        return kExitBadUsage;
    }
    return kExitDone;
}

std::string TakeHistoryWord(Options& options, std::string_view word) {
    options.historyWords.emplace_back(word);
    return {};
}

}  // namespace gasecu::cli
