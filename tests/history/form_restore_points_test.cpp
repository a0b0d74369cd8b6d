// Restore points from runs against the virtual ECU: every operation that ends
// leaves its record, with the curve as a curve file holds it, the settings as the
// last read showed them, the port and the job label; and a history that cannot
// be written leaves the fitter's job alone and says so.
#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>

#include "curve/curve_text.h"
#include "history/history_store.h"
#include "history/record_queue.h"
#include "history/restore_points.h"
#include "support/ecu_curve.h"
#include "support/link_harness.h"
#include "virtual_ecu.h"
#include "curve/curve_file_io.h"

namespace gasecu {
namespace {

using history::Kind;
using test::kEnter;

// Records in memory, newest last; keeps or refuses as told.
class MemoryPoints final : public history::RestorePoints {
public:
    bool keep(const history::Record& r) override {
        if (!accept) return false;
        kept.push_back(r);
        return true;
    }
    std::string lastLabel() override { return {}; }
    std::vector<history::Record> kept;
    bool accept = true;
};

// A curve unlike the one the virtual ECU holds from the factory, that it can take.
CurveRows CurveToWrite(const CurveRows& read) {
    CurveRows c = read;
    for (std::size_t r = 3; r <= 8; ++r)
        for (std::size_t p = 10; p <= 18; ++p) c[r][p] += 2;
    return c;
}

class FileAnswers final : public FileDialogs {
public:
    std::string answer;
    std::string showOpen(const FileDialogControl&) override { return answer; }
    std::string showSave(const FileDialogControl&) override { return answer; }
};

// A connected window that keeps its history in its data directory.
struct Workshop {
    test::LinkHarness h;
    ScriptedQuestions yes{true};
    FileAnswers files;
    void start() {
        h.form.env.questions = &yes;
        h.form.env.fileDialogs = &files;
        h.form.env.askBeforeDroppingCurve = false;
        // The form's own database in its data directory, as the window has it.
        h.form.env.keepHistory = true;
        h.form.env.jobLabel = "34 ABC 12 Doblo";
        h.form.OpenRestorePoints();
        ASSERT_TRUE(h.connect());
    }
    std::vector<history::Record> records() {
        h.form.SettleRestorePoints();
        auto store = history::HistoryStore::Open(history::HistoryFileIn(h.form.DataDirectory));
        std::vector<history::Record> whole;
        if (!store) return whole;
        for (const auto& r : store->list({})) whole.insert(whole.begin(), *store->find(r.id));
        return whole;
    }
    // Started, the act done, its records.
    std::vector<history::Record> recordsAfter(const std::function<void(Workshop&)>& act) {
        start();
        act(*this);
        return records();
    }
    void readCurve() {
        h.form.ButonEcuOku_Click();
        ASSERT_TRUE(h.runner.runUntil([&] { return h.form.SequencerState == 8 && !h.form.CurveExchangeRunning(); }, 30000));
    }
    void runUntilIdle(double ms) { h.runner.runFor(ms); }
};

struct RestorePointsRun : ::testing::Test, Workshop {
    void SetUp() override { start(); }
};

TEST(RestorePoints, EveryOperationLeavesItsRecord) {
    struct Expected {
        Kind kind;
        std::string result;
        // The curve the record must hold, as a curve file; nullopt: none.
        std::function<std::optional<CurveRows>(Workshop&)> curve;
    };
    struct Case {
        const char* what;
        std::function<void(Workshop&)> act;
        std::vector<Expected> records;  // after the connect's settings read
    };
    auto none = [](Workshop&) -> std::optional<CurveRows> { return std::nullopt; };
    auto ecuCurve = [](Workshop& t) -> std::optional<CurveRows> { return test::CurveHeldBy(t.h.ecu.memory()); };
    const CurveRows factory = test::CurveHeldBy(sim::VirtualEcu().memory());
    auto factoryCurve = [factory](Workshop&) -> std::optional<CurveRows> { return factory; };
    auto editorCurve = [](Workshop& t) -> std::optional<CurveRows> { return t.h.form.CurveTable; };

    const std::vector<Case> cases{
        {"curve read", [](Workshop& t) { t.readCurve(); }, {{Kind::CurveRead, "done", ecuCurve}}},
        {"curve write, read back equal",
         [](Workshop& t) {
             t.readCurve();
             t.h.form.CurveTable = CurveToWrite(t.h.form.CurveTable);
             t.h.form.ButonEcuYaz_Click();
             ASSERT_TRUE(t.h.runner.runUntil([&] { return !t.h.form.CurveWriteRunning(); }, 60000));
         },
         {{Kind::CurveRead, "done", factoryCurve},
          {Kind::EcuCurveBeforeWrite, "done", factoryCurve},
          {Kind::CurveWrite, "equal", ecuCurve}}},
        {"curve write, a block lost",
         [](Workshop& t) {
             t.readCurve();
             t.h.form.CurveTable = CurveToWrite(t.h.form.CurveTable);
             t.h.ecu.dropNextBlockWrite(13);
             t.h.form.ButonEcuYaz_Click();
             ASSERT_TRUE(t.h.runner.runUntil([&] { return !t.h.form.CurveWriteRunning(); }, 60000));
         },
         {{Kind::CurveRead, "done", factoryCurve},
          {Kind::EcuCurveBeforeWrite, "done", factoryCurve},
          {Kind::CurveWrite, "differs", editorCurve}}},
        {"curve write without a read before: nothing known to keep",
         [factory](Workshop& t) {
             t.h.form.CurveTable = CurveToWrite(factory);
             t.h.form.ButonEcuYaz_Click();
             ASSERT_TRUE(t.h.runner.runUntil([&] { return !t.h.form.CurveWriteRunning(); }, 60000));
         },
         {{Kind::CurveWrite, "equal", ecuCurve}}},
        {"setting written and taken",
         [](Workshop& t) {
             t.h.form.SetPTransRPMTextBox.text = "1200";
             t.h.form.SetPTransRPMTextBox_KeyPress(kEnter);
             t.runUntilIdle(500.0 * 12);
         },
         {{Kind::SettingWrite, "taken", none}, {Kind::SettingsRead, "done", none}}},
        {"setting the ECU refuses",
         [](Workshop& t) {
             t.h.ecu.refuseAddress(53);
             t.h.form.SetPXXPressLeakageTextBox.text = "0.80";
             t.h.form.SetPXXPressLeakageTextBox_KeyPress(kEnter);
             t.runUntilIdle(500.0 * 12);
         },
         {{Kind::SettingWrite, "not-taken", none}, {Kind::SettingsRead, "done", none}}},
        {"factory load",
         [](Workshop& t) {
             t.h.form.ButonLoadFabricSettings_Click();
             t.runUntilIdle(500.0 * 125);
         },
         {{Kind::FactoryLoad, "done", none}, {Kind::SettingsRead, "done", none}}},
        {"fault clear",
         [](Workshop& t) {
             t.h.form.ButonErrorClear_Click();
             t.runUntilIdle(500.0 * 80);
         },
         {{Kind::FaultClear, "done", none}}},
        {"curve file saved, then loaded",
         [](Workshop& t) {
             t.files.answer = curve::Utf8FromPath(t.h.dir.path() / "Cur_07.txt");
             t.h.form.ButonDiskeYaz_Click();
             t.h.form.ButonDisktenOku_Click();
         },
         {{Kind::FileSave, "done", editorCurve}, {Kind::FileLoad, "done", editorCurve}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Workshop t;
        const auto kept = t.recordsAfter(c.act);
        ASSERT_EQ(kept.size(), c.records.size() + 1);
        // The connect read the settings: the first record, and the settings every
        // later one carries.
        EXPECT_EQ(kept[0].kind, Kind::SettingsRead);
        EXPECT_NE(kept[0].settings.find("coils="), std::string::npos);
        for (std::size_t i = 0; i < c.records.size(); ++i) {
            const history::Record& r = kept[i + 1];
            const Expected& e = c.records[i];
            SCOPED_TRACE(std::string(history::KindName(e.kind)));
            EXPECT_EQ(r.kind, e.kind);
            EXPECT_EQ(r.result, e.result);
            EXPECT_EQ(r.label, "34 ABC 12 Doblo");
            EXPECT_EQ(r.time, "2026-12-09 " + r.time.substr(11));
            EXPECT_FALSE(r.settings.empty());
            const bool file = e.kind == Kind::FileSave || e.kind == Kind::FileLoad;
            EXPECT_EQ(r.port.empty(), file) << r.port;
            const auto curve = e.curve(t);
            EXPECT_EQ(r.curveText, curve ? curve::FormatCurveText(*curve) : std::string());
        }
    }
}

// What a run cut short leaves: as a cut curve write is "incomplete", so is a
// calibration ended by the link; a fault clear says what its check could read.
TEST(RestorePoints, ARunCutShortIsRecordedAsWhatHappened) {
    const auto calibrating = [](Workshop& t) {
        std::filesystem::copy_file(GASECU_SHIPPED_REFERENCE, t.h.dir.path() / "ORJ.DAT");
        sim::HoldForCalibration(t.h.ecu);
        t.h.form.ButonAyar_Click();
        t.h.runner.runFor(1000);
        t.h.form.KalibrasyonBaşlatButon_Click();
        ASSERT_TRUE(t.h.runner.runUntil([&] { return t.h.form.IterationCount > 0; }, 60000));
    };
    struct Case {
        const char* what;
        std::function<void(Workshop&)> act;
        Kind kind;
        const char* result;
    };
    const std::vector<Case> cases{
        {"calibration, disconnected",
         [&](Workshop& t) {
             calibrating(t);
             t.h.form.ButonBağlantıKes_Click();
         },
         Kind::Calibration, "incomplete"},
        {"calibration, adapter pulled",
         [&](Workshop& t) {
             calibrating(t);
             t.h.form.Iletisim_DeviceLost();
         },
         Kind::Calibration, "incomplete"},
        {"fault clear whose check reads nothing",
         [](Workshop& t) {
             t.h.form.ButonErrorClear_Click();
             ASSERT_TRUE(t.h.runner.runUntil([&] { return t.h.form.FaultClearCheckPending; }, 60000));
             t.h.ecu.setFaultRate(sim::ReplyFault::Drop, 1.0);
             t.runUntilIdle(10000);
         },
         Kind::FaultClear, "unchecked"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Workshop t;
        const auto kept = t.recordsAfter(c.act);
        ASSERT_FALSE(kept.empty());
        EXPECT_EQ(kept.back().kind, c.kind);
        EXPECT_EQ(kept.back().result, c.result);
    }
}

// A disk that takes 2.6 s a record (a USB stick syncing). Written inside a
// handler, the record holds the whole tool that long (the runner's clock moves
// on, as the PC's would); on the queue's thread it waits until the test lets the
// disk finish.
class SlowDisk final : public history::RestorePoints {
public:
    explicit SlowDisk(sim::VirtualTimeRunner& runner) : runner_(runner), handlers_(std::this_thread::get_id()) {}
    bool keep(const history::Record& r) override {
        std::unique_lock lock(mutex_);
        if (std::this_thread::get_id() == handlers_) runner_.spend(2600);
        else finished_.wait(lock, [&] { return done_; });
        kinds.push_back(r.kind);
        return true;
    }
    std::string lastLabel() override { return {}; }
    void finish() {
        const std::lock_guard lock(mutex_);
        done_ = true;
        finished_.notify_all();
    }
    std::vector<Kind> kinds;

private:
    sim::VirtualTimeRunner& runner_;
    std::thread::id handlers_;
    std::mutex mutex_;
    std::condition_variable finished_;
    bool done_ = false;
};

TEST(RestorePoints, ADiskThatTakesSecondsDelaysNoFrame) {
    // The same job with no history and with the slow one: a settings write, a curve read.
    std::vector<Kind> kept;
    const auto job = [&kept](bool keepRecords) {
        test::LinkHarness h;
        SlowDisk disk(h.runner);
        if (keepRecords) {
            h.form.env.restorePoints = &disk;
            h.form.OpenRestorePoints();
        }
        EXPECT_TRUE(h.connect());
        h.form.SetPXXPressLeakageTextBox.text = "0.80";
        h.form.SetPXXPressLeakageTextBox_KeyPress(kEnter);
        h.runner.runFor(500.0 * 12);
        h.form.ButonEcuOku_Click();
        EXPECT_TRUE(h.runner.runUntil([&] { return h.form.SequencerState == 8 && !h.form.CurveExchangeRunning(); }, 30000));
        std::vector<sim::SentFrame> frames = h.runner.sentFrames();
        disk.finish();
        h.form.SettleRestorePoints();
        h.form.RestorePointQueue.reset();
        if (keepRecords) kept = disk.kinds;
        return frames;
    };
    const auto plain = job(false);
    const auto recorded = job(true);
    ASSERT_EQ(recorded.size(), plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i) {
        EXPECT_EQ(recorded[i].timeMs, plain[i].timeMs) << "frame " << i;
        EXPECT_EQ(recorded[i].bytes, plain[i].bytes) << "frame " << i;
    }
    EXPECT_EQ(kept, (std::vector<Kind>{Kind::SettingsRead, Kind::SettingWrite, Kind::SettingsRead, Kind::CurveRead}));
}

TEST_F(RestorePointsRun, TheSettingsRecordHoldsWhatTheScreenShows) {
    h.form.SetPTransRPMTextBox.text = "1200";
    h.form.SetPTransRPMTextBox_KeyPress(kEnter);
    runUntilIdle(500.0 * 12);
    const auto kept = records();
    ASSERT_FALSE(kept.empty());
    EXPECT_EQ(kept.back().kind, Kind::SettingsRead);
    EXPECT_NE(kept.back().settings.find("switch-rpm=1200\n"), std::string::npos) << kept.back().settings;
    EXPECT_EQ(kept[kept.size() - 2].detail, "switch-rpm=1200");
}

TEST_F(RestorePointsRun, ACalibrationKeepsItsSlopeFactorAndIterations) {
    std::filesystem::copy_file(GASECU_SHIPPED_REFERENCE, h.dir.path() / "ORJ.DAT");
    sim::HoldForCalibration(h.ecu);
    h.form.ButonAyar_Click();
    h.runner.runFor(1000);
    h.form.KalibrasyonBaşlatButon_Click();
    ASSERT_TRUE(h.runner.runUntil([&] { return h.form.CalibrationRunning; }, 5000));
    ASSERT_TRUE(h.runner.runUntil([&] { return !h.form.CalibrationRunning; }, 400000));
    const auto kept = records();
    ASSERT_FALSE(kept.empty());
    const history::Record& r = kept.back();
    EXPECT_EQ(r.kind, Kind::Calibration);
    EXPECT_EQ(r.result, h.form.CalibrationConverged ? "converged" : "not-converged");
    ASSERT_TRUE(r.slopeFactor);
    EXPECT_DOUBLE_EQ(*r.slopeFactor, h.form.SlopeFactor);
    EXPECT_NE(*r.slopeFactor, 0);
    ASSERT_TRUE(r.iterations);
    EXPECT_EQ(*r.iterations, static_cast<int>(h.form.IterationCount));
    EXPECT_EQ(r.curveText, curve::FormatCurveText(h.form.CurveTable));
}

TEST_F(RestorePointsRun, AHistoryThatRefusesARecordLeavesTheJobDoneAndSaysSo) {
    MemoryPoints points;
    points.accept = false;
    h.form.RestorePointSink = &points;
    readCurve();
    // The read itself went through.
    EXPECT_EQ(h.form.CurveTable, test::CurveHeldBy(h.ecu.memory()));
    EXPECT_TRUE(h.form.EcuCurve);
    EXPECT_FALSE(h.form.LastRestorePointKept);
    EXPECT_NE(h.form.KomutSatırı.text.find("NOT KEPT IN THE HISTORY"), std::string::npos) << h.form.KomutSatırı.text;

    h.form.LanguageIndex = 0;
    points.accept = true;
    readCurve();
    EXPECT_TRUE(h.form.LastRestorePointKept);
    EXPECT_EQ(h.form.KomutSatırı.text.find("GEÇMİŞE"), std::string::npos);
    ASSERT_EQ(points.kept.size(), 1u);
    points.accept = false;
    readCurve();
    EXPECT_NE(h.form.KomutSatırı.text.find("(KAYIT GEÇMİŞE YAZILAMADI)"), std::string::npos) << h.form.KomutSatırı.text;
}

TEST(RestorePointsLabel, TheLastLabelIsOfferedAgainAtTheNextStart) {
    test::TempDir dir;
    {
        history::DatabaseRestorePoints points(history::HistoryFileIn(dir.path()));
        history::Record r;
        r.label = "06 XY 99 Corolla";
        ASSERT_TRUE(points.keep(r));
        r.label = "";  // a record without a label does not forget the job
        ASSERT_TRUE(points.keep(r));
    }
    Form1Korvane form({dir.path(), dir.path() / "user", nullptr, nullptr, '.'});
    form.env.keepHistory = true;
    form.Form_Load();
    EXPECT_EQ(form.JobLabel, "06 XY 99 Corolla");

    // A command line's label (even an empty one) is taken as given.
    Form1Korvane command({dir.path(), dir.path() / "user", nullptr, nullptr, '.'});
    command.env.keepHistory = true;
    command.env.jobLabel = "";
    command.Form_Load();
    EXPECT_EQ(command.JobLabel, "");
}

}  // namespace
}  // namespace gasecu
