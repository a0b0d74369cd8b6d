// gasecu history: the command line, the listing a script reads, one record shown,
// and the export that must give exactly the curve file the window would have
// saved, through the same name rules.
#include <gtest/gtest.h>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/headless_session.h"
#include "cli/history_command.h"
#include "curve/curve_text.h"
#include "history/history_store.h"
#include "history/restore_points.h"
#include "support/disk_full.h"
#include "support/link_harness.h"
#include "curve/curve_file_io.h"

namespace gasecu::cli {
namespace {

using history::Kind;

Options Parsed(std::vector<std::string> arguments) {
    ParseResult r = ParseCommandLine(Commands(), arguments);
    EXPECT_TRUE(r.options) << r.error;
    Options o = r.options.value_or(Options{});
    std::string message;
    EXPECT_EQ(ValidateHistory(o, message), kExitDone) << message;
    return o;
}

int Refusal(std::vector<std::string> arguments) {
    ParseResult r = ParseCommandLine(Commands(), arguments);
    if (!r.options) return kExitBadUsage;
    std::string message;
    return ValidateHistory(*r.options, message);
}

TEST(HistoryCommandLine, TakesItsWordsAndOptionsAndRefusesTheRest) {
    const Options list = Parsed({"history", "--label", "34 ABC", "--kind", "curve-write", "--limit", "5", "--csv"});
    EXPECT_EQ(list.label, "34 ABC");
    EXPECT_EQ(list.historyKind, "curve-write");
    EXPECT_EQ(list.historyLimit, 5);
    EXPECT_TRUE(list.historyCsv);
    EXPECT_EQ(Parsed({"history", "export", "12", "-o", "Cur_05.txt"}).historyWords,
              (std::vector<std::string>{"export", "12"}));
    // Every command takes a job label.
    EXPECT_EQ(Parsed({"history", "show", "3"}).historyWords, (std::vector<std::string>{"show", "3"}));
    for (const char* command : {"read-curve", "write-curve", "settings", "set", "faults", "factory-reset", "calibrate"}) {
        ParseResult r = ParseCommandLine(Commands(), {command, "--label=06 XY 99"});
        ASSERT_TRUE(r.options) << command << ": " << r.error;
        EXPECT_EQ(r.options->label, "06 XY 99") << command;
    }

    struct Case {
        std::vector<std::string> arguments;
        int status;
    };
    const std::vector<Case> cases{
        {{"history", "--kind", "curve"}, kExitBadUsage},
        {{"history", "--limit", "0"}, kExitBadUsage},
        {{"history", "remove", "3"}, kExitBadUsage},
        {{"history", "show"}, kExitBadUsage},
        {{"history", "show", "3", "4"}, kExitBadUsage},
        {{"history", "export", "3"}, kExitBadUsage},
        {{"history", "export", "3", "-o", "Cur_05.txt"}, kExitDone},
    };
    for (const Case& c : cases) EXPECT_EQ(Refusal(c.arguments), c.status) << c.arguments.back();
}

CurveRows Curve(int shift) {
    CurveRows c{};
    for (std::size_t p = 1; p <= 6; ++p) c[1][p] = static_cast<double>(p * 10);
    for (std::size_t r = 2; r <= 8; ++r)
        for (std::size_t p = 1; p <= 18; ++p) c[r][p] = static_cast<double>(r * 20 + p * 3 + static_cast<std::size_t>(shift));
    return c;
}

struct HistoryCommand : ::testing::Test {
    test::TempDir dir;
    std::filesystem::path file = history::HistoryFileIn(dir.path());
    void SetUp() override {
        auto store = history::HistoryStore::Open(file);
        history::Record r;
        r.time = "2026-12-01 09:00:00";
        r.port = "/dev/ttyUSB0";
        r.kind = Kind::CurveRead;
        r.result = "done";
        r.label = "34 ABC 12 Doblo";
        r.curveText = curve::FormatCurveText(Curve(0));
        r.settings = "coils=4\nswitch-rpm=1200\n";
        r.laptop = "atolye-1";
        store->add(r);  // 1
        r.kind = Kind::SettingsRead;
        r.curveText.clear();
        r.label = "06 XY 99, Corolla";
        store->add(r);  // 2
        r.kind = Kind::Calibration;
        r.result = "converged";
        r.curveText = curve::FormatCurveText(Curve(5));
        r.slopeFactor = 1.0625;
        r.iterations = 3;
        store->add(r);  // 3
    }
    HistoryOutput run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "history");
        return RunHistoryOn(file, Parsed(arguments));
    }
};

TEST_F(HistoryCommand, ListsNewestFirstOneLineEachBeginningWithItsNumber) {
    struct Case {
        std::vector<std::string> arguments;
        std::string out;
    };
    const std::vector<Case> cases{
        {{},
         "3\t2026-12-01 09:00:00\tcalibration\tconverged\t/dev/ttyUSB0\t06 XY 99, Corolla\tatolye-1\tslope=1.06\titerations=3\n"
         "2\t2026-12-01 09:00:00\tsettings-read\tdone\t/dev/ttyUSB0\t06 XY 99, Corolla\tatolye-1\n"
         "1\t2026-12-01 09:00:00\tcurve-read\tdone\t/dev/ttyUSB0\t34 ABC 12 Doblo\tatolye-1\n"},
        {{"--label", "abc"}, "1\t2026-12-01 09:00:00\tcurve-read\tdone\t/dev/ttyUSB0\t34 ABC 12 Doblo\tatolye-1\n"},
        {{"--kind", "settings-read"}, "2\t2026-12-01 09:00:00\tsettings-read\tdone\t/dev/ttyUSB0\t06 XY 99, Corolla\tatolye-1\n"},
        {{"--limit", "1", "--csv"},
         "id,time,kind,result,port,label,laptop,slope_factor,iterations,detail\n"
         "3,2026-12-01 09:00:00,calibration,converged,/dev/ttyUSB0,\"06 XY 99, Corolla\",atolye-1,1.0625,3,\n"},
    };
    for (const Case& c : cases) {
        const HistoryOutput o = run(c.arguments);
        EXPECT_EQ(o.status, kExitDone);
        EXPECT_EQ(o.out, c.out);
    }
    // No history yet: nothing to list, and no file made by looking.
    test::TempDir empty;
    const auto none = RunHistoryOn(history::HistoryFileIn(empty.path()), Parsed({"history"}));
    EXPECT_EQ(none.status, kExitDone);
    EXPECT_EQ(none.out, "");
    EXPECT_FALSE(std::filesystem::exists(history::HistoryFileIn(empty.path())));
}

TEST_F(HistoryCommand, ShowsOneRecordWithItsSettingsAndCurve) {
    const HistoryOutput o = run({"show", "3"});
    EXPECT_EQ(o.status, kExitDone);
    std::string curveLines;
    for (char c : curve::FormatCurveText(Curve(5)))
        if (c != '\r') curveLines += c;
    EXPECT_EQ(o.out,
              "id=3\ntime=2026-12-01 09:00:00\nkind=calibration\nresult=converged\nport=/dev/ttyUSB0\n"
              "label=06 XY 99, Corolla\nlaptop=atolye-1\nslope-factor=1.06\niterations=3\ncoils=4\nswitch-rpm=1200\ncurve:\n" +
                  curveLines);
    EXPECT_EQ(run({"show", "9"}).status, kExitFileError);
}

TEST_F(HistoryCommand, ExportWritesTheCurveFileThroughTheSaveRules) {
    const std::filesystem::path file = dir.path() / "Cur_05.txt";
    const std::string target = curve::Utf8FromPath(file);
    const HistoryOutput o = run({"export", "3", "-o", target});
    EXPECT_EQ(o.status, kExitDone) << o.err;
    EXPECT_EQ(o.out, target + "\n");
    EXPECT_EQ(test::ReadWholeFile(file), curve::FormatCurveText(Curve(5)));

    struct Case {
        const char* what;
        std::vector<std::string> arguments;
    };
    const std::vector<Case> refused{
        {"no such record", {"export", "42", "-o", curve::Utf8FromPath(dir.path() / "Cur_06.txt")}},
        {"a record without a curve", {"export", "2", "-o", curve::Utf8FromPath(dir.path() / "Cur_06.txt")}},
        {"the default curve file", {"export", "1", "-o", curve::Utf8FromPath(dir.path() / "Cur_00.txt")}},
        {"a name the window refuses", {"export", "1", "-o", curve::Utf8FromPath(dir.path() / "curve.txt")}},
    };
    for (const Case& c : refused) {
        const HistoryOutput r = run(c.arguments);
        EXPECT_EQ(r.status, kExitFileError) << c.what;
        EXPECT_FALSE(r.err.empty()) << c.what;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "Cur_06.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "curve.txt"));
    // Cur_00.txt is the tool's own; the export did not touch it.
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "Cur_00.txt"));
}

TEST_F(HistoryCommand, ADamagedHistoryIsAFileError) {
    test::WriteWholeFile(file, std::string(4096, 'x'));
    std::filesystem::remove(std::filesystem::path(file) += "-wal");
    std::filesystem::remove(std::filesystem::path(file) += "-shm");
    const HistoryOutput o = run({});
    EXPECT_EQ(o.status, kExitFileError);
    EXPECT_NE(o.err.find("cannot be read"), std::string::npos) << o.err;
}

// A program folder that takes no new file (read-only, full; here a folder stands
// at the default curve's name) but still holds an older history: the jobs write
// into the per-user folder, and the listing reads that same file and names it.
TEST(HistoryFile, TheListingReadsTheFileTheJobsWrite) {
    test::TempDir program, user;
    {
        auto old = history::HistoryStore::Open(history::HistoryFileIn(program.path()));
        history::Record r;
        r.label = "from before";
        ASSERT_TRUE(old->add(r));
    }
    std::filesystem::create_directory(program.path() / "Cur_00.txt");
    Form1Korvane job({program.path(), user.path(), nullptr, nullptr, '.'});
    job.env.keepHistory = true;
    job.env.jobLabel = "today";
    job.Form_Load();
    job.NoteRestorePoint(Kind::FileSave, "done", "Cur_01.txt");
    job.SettleRestorePoints();

    const HistoryOutput o = RunHistoryFor(program.path(), {}, user.path(), Parsed({"history"}));
    EXPECT_EQ(o.status, kExitDone) << o.err;
    EXPECT_NE(o.out.find("\ttoday\t"), std::string::npos) << o.out;
    EXPECT_EQ(o.out.find("from before"), std::string::npos) << o.out;
    EXPECT_EQ(o.err, "History file: " + curve::Utf8FromPath(history::HistoryFileIn(user.path())) + "\n");
}

// The round trip a fitter relies on: the curve read from the ECU, exported from
// its record, is byte for byte the file the save button would have written.
TEST(HistoryRoundTrip, AnExportedReadEqualsTheFileTheToolWouldHaveSaved) {
    test::LinkHarness h;
    h.form.env.keepHistory = true;
    h.form.OpenRestorePoints();
    ASSERT_TRUE(h.connect());
    h.form.ButonEcuOku_Click();
    ASSERT_TRUE(h.runner.runUntil([&] { return h.form.SequencerState == 8 && !h.form.CurveExchangeRunning(); }, 30000));

    AnsweringFileDialogs dialogs;
    const std::filesystem::path saved = h.dir.path() / "Cur_01.txt";
    dialogs.setAnswer(curve::Utf8FromPath(saved));
    h.form.env.fileDialogs = &dialogs;
    ASSERT_TRUE(h.form.SaveCurveFile());
    h.form.SettleRestorePoints();

    const auto file = history::HistoryFileIn(h.form.DataDirectory);
    const std::string listing = RunHistoryOn(file, Parsed({"history", "--kind", "curve-read"})).out;
    ASSERT_FALSE(listing.empty());
    const std::string id = listing.substr(0, listing.find('\t'));
    const std::filesystem::path exported = h.dir.path() / "Cur_02.txt";
    ASSERT_EQ(RunHistoryOn(file, Parsed({"history", "export", id, "-o", curve::Utf8FromPath(exported)})).status,
              kExitDone);
    EXPECT_EQ(test::ReadWholeFile(exported), test::ReadWholeFile(saved));
    EXPECT_FALSE(test::ReadWholeFile(saved).empty());
}

}  // namespace
}  // namespace gasecu::cli
