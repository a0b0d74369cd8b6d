// The data log of the window: one CSV row per live reply the tool decoded, in the
// live command's columns with the date and time in front, written under a
// temporary name and renamed when the recording ends however it ends; a disk
// that fills up ends the recording with a message and keeps the rows before it.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "ecu/live_log.h"
#include "support/disk_full.h"
#include "support/link_harness.h"
#include "virtual_clock.h"
#include "curve/curve_file_io.h"

namespace gasecu {
namespace {

using namespace std::chrono;
using namespace std::chrono_literals;

const LocalTimeMs kMorning = local_days{2026y / December / 9} + 1h + 23min + 45s;

std::vector<std::string> Lines(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> Fields(const std::string& row) {
    std::vector<std::string> fields;
    std::stringstream in(row);
    for (std::string f; std::getline(in, f, ',');) fields.push_back(f);
    return fields;
}

std::vector<std::filesystem::path> FilesIn(const std::filesystem::path& dir) {
    std::vector<std::filesystem::path> files;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (curve::Utf8FromPath(e.path().filename()).starts_with("gasecu_log_")) files.push_back(e.path());
    return files;
}

// A file that takes a given number of lines and then finds the disk full.
class FillingDisk final : public LineFile {
public:
    FillingDisk(std::unique_ptr<LineFile> file, int lines) : file_(std::move(file)), room_(lines) {}
    bool writeLine(std::string_view line) override {
        if (room_-- <= 0) {
            file_->close();
            return false;
        }
        return file_->writeLine(line);
    }
    bool close() override { return file_->close(); }

private:
    std::unique_ptr<LineFile> file_;
    int room_;
};

class DataLog : public ::testing::Test {
protected:
    void SetUp() override {
        h.form.env.clock = &clock;
        h.form.DataDirectory = logs.path();
        ASSERT_TRUE(h.connect());
        // Half-way between two polls: no reply is on its way.
        h.runner.runFor(250);
    }
    // Runs whole polls, each ending half-way to the next.
    void polls(int n) { h.runner.runFor(500.0 * n); }
    const std::filesystem::path& finalPath() const { return h.form.LiveLog->finalPath(); }

    test::LinkHarness h;
    sim::VirtualClock clock{h.runner, kMorning};
    test::TempDir logs;
};

TEST_F(DataLog, OneRowPerDecodedLiveReplyAndALostReplyWritesNone) {
    h.ecu.setEngineSpeed(2300);
    const LocalTimeMs started = clock.localNow();
    h.form.ButonKayıt_Click();
    ASSERT_NE(h.form.LiveLog, nullptr);
    const std::filesystem::path path = finalPath();
    EXPECT_EQ(curve::Utf8FromPath(path.filename()), ecu::LiveLogFileName(started));
    const double since = h.runner.nowMs();
    // Ten polls; the replies to the 3rd and the 7th are lost on the line.
    for (int poll = 1; poll <= 10; ++poll) {
        if (poll == 3 || poll == 7) h.ecu.queueFault({sim::ReplyFault::Drop});
        polls(1);
    }
    const auto requests = h.framesSince(since).size();
    ASSERT_EQ(requests, 10u);
    h.form.ButonKayıt_Click();

    const std::vector<std::string> lines = Lines(path);
    ASSERT_EQ(lines.size(), 1u + 8u);
    // The live command's heading, word for word, after the time stamp.
    EXPECT_EQ(lines[0],
              "time,time_ms,engine_speed_rpm,gas_pressure_bar,reducer_temperature_c,gas_temperature_c,"
              "petrol_time_ms,gas_time_ms,fuel");
    // Rows half a second apart, a whole second where a reply was lost; the time
    // stamp is the wall's time of the same moment.
    std::vector<long> gaps;
    double previous = -1;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> f = Fields(lines[i]);
        ASSERT_EQ(f.size(), 9u) << lines[i];
        const double timeMs = std::stod(f[1]);
        const LocalTimeMs at = started + milliseconds(std::llround(timeMs));
        EXPECT_EQ(f[0], ecu::LiveLogTimeStamp(at)) << lines[i];
        if (previous >= 0) gaps.push_back(std::lround(timeMs - previous));
        previous = timeMs;
        EXPECT_NEAR(std::stod(f[2]), 2300, 30) << lines[i];
        EXPECT_EQ(f[8], "petrol") << lines[i];
    }
    EXPECT_EQ(gaps, (std::vector<long>{500, 1000, 500, 500, 1000, 500, 500}));
    // The last row holds what the dashboard shows, with a point as decimal mark.
    const std::vector<std::string> last = Fields(lines.back());
    EXPECT_EQ(last[2], h.form.TextMotorDevirHızı.text);
    EXPECT_EQ(last[3], h.form.TextBasinc.text);
    EXPECT_EQ(last[6], h.form.TextBenzinMS.text);
}

TEST_F(DataLog, StatusAndButtonSayWhatIsRecordedInBothLanguages) {
    struct Case {
        double language;
        const char* stop;
        const char* start;
        const char* recording;
        const char* rows;
        const char* saved;
    };
    for (const Case& c : {Case{0, "Kaydı Durdur", "Kaydı Başlat", "KAYIT : ", "  3 SATIR", "KAYIT KAPANDI : "},
                          Case{1, "Stop Recording", "Start Recording", "RECORDING : ", "  3 ROWS", "LOG SAVED : "}}) {
        h.form.LanguageIndex = c.language;
        h.form.ApplyLanguageIndex();
        EXPECT_EQ(h.form.ButonKayıt.caption, c.start);
        h.form.ButonKayıt_Click();
        ASSERT_NE(h.form.LiveLog, nullptr);
        const std::string name = curve::Utf8FromPath(finalPath().filename());
        const std::filesystem::path path = finalPath();
        EXPECT_EQ(h.form.ButonKayıt.caption, c.stop);
        EXPECT_EQ(h.form.ButonKayıt.backColour, colours::kRed);
        polls(3);
        EXPECT_EQ(h.form.KomutSatırı.text, c.recording + name + c.rows);
        // While recording only the temporary file is there: a file with the final
        // name is always a finished recording.
        EXPECT_FALSE(std::filesystem::exists(path));
        EXPECT_TRUE(std::filesystem::exists(ecu::LiveLogTemporaryPath(path)));

        // Another message stays until the line is emptied; then the count is back.
        h.form.ShowMessage("EĞRİ OKUNDU", "CURVE READ");
        polls(1);
        EXPECT_TRUE(h.form.KomutSatırı.text == "EĞRİ OKUNDU" || h.form.KomutSatırı.text == "CURVE READ");
        h.form.ButonEğri_Click();  // the line now holds the screen's title
        polls(1);
        EXPECT_NE(h.form.KomutSatırı.text.find(name), std::string::npos) << h.form.KomutSatırı.text;

        h.form.ButonKayıt_Click();
        EXPECT_EQ(h.form.LiveLog, nullptr);
        EXPECT_EQ(h.form.ButonKayıt.caption, c.start);
        EXPECT_EQ(h.form.ButonKayıt.backColour, colours::kButtonFace);
        EXPECT_EQ(h.form.KomutSatırı.text, c.saved + curve::Utf8FromPath(path) + "  5" + std::string(c.rows).substr(3));
        EXPECT_TRUE(std::filesystem::exists(path));
        EXPECT_FALSE(std::filesystem::exists(ecu::LiveLogTemporaryPath(path)));
        EXPECT_EQ(Lines(path).size(), 1u + 5u);
        polls(2);  // the next recording starts in a new second
    }
    EXPECT_EQ(FilesIn(logs.path()).size(), 2u);
}

TEST_F(DataLog, AFullDiskStopsTheRecordingAndKeepsTheRowsWritten) {
    GASECU_SKIP_WITHOUT_DISK_LIMIT();
    for (double language : {1.0, 0.0}) {
        h.form.LanguageIndex = language;
        // The heading and four rows fit.
        h.form.env.openLineFile = [](const std::filesystem::path& p) {
            return std::make_unique<FillingDisk>(OpenLineFile(p), 5);
        };
        h.form.ButonKayıt_Click();
        ASSERT_NE(h.form.LiveLog, nullptr);
        const std::filesystem::path path = finalPath();
        polls(6);
        EXPECT_EQ(h.form.LiveLog, nullptr) << "still recording on a full disk";
        EXPECT_EQ(h.form.ButonKayıt.caption, language == 1 ? "Start Recording" : "Kaydı Başlat");
        EXPECT_EQ(h.form.KomutSatırı.text, language == 1
                                               ? "RECORDING STOPPED, CANNOT WRITE FILE : " + curve::Utf8FromPath(path) + "  4 ROWS KEPT"
                                               : "KAYIT DURDU, DOSYAYA YAZILAMIYOR : " + curve::Utf8FromPath(path) + "  4 SATIR KORUNDU");
        // The rows before the full disk are whole, under the final name.
        const std::vector<std::string> lines = Lines(path);
        ASSERT_EQ(lines.size(), 5u);
        for (std::size_t i = 1; i < lines.size(); ++i) EXPECT_EQ(Fields(lines[i]).size(), 9u) << lines[i];
        EXPECT_FALSE(std::filesystem::exists(ecu::LiveLogTemporaryPath(path)));
        // Nothing more is written, and the message stays.
        const std::string message = h.form.KomutSatırı.text;
        polls(2);
        EXPECT_EQ(Lines(path).size(), 5u);
        EXPECT_EQ(h.form.KomutSatırı.text, message);
        polls(2);
    }

    // The real file on a disk with room for two more rows and part of a third:
    // the part is taken back out, the two rows stay whole.
    h.form.LanguageIndex = 1;
    h.form.env.openLineFile = nullptr;
    h.form.ButonKayıt_Click();
    ASSERT_NE(h.form.LiveLog, nullptr);
    const std::filesystem::path path = finalPath();
    polls(1);
    const auto oneRow = std::filesystem::file_size(ecu::LiveLogTemporaryPath(path)) - (ecu::LiveLogHeader().size() + 1);
    {
        test::DiskFull full(std::filesystem::file_size(ecu::LiveLogTemporaryPath(path)) + 2 * oneRow + oneRow / 2);
        polls(4);
    }
    EXPECT_EQ(h.form.LiveLog, nullptr);
    EXPECT_EQ(h.form.KomutSatırı.text, "RECORDING STOPPED, CANNOT WRITE FILE : " + curve::Utf8FromPath(path) + "  3 ROWS KEPT");
    const std::vector<std::string> lines = Lines(path);
    ASSERT_EQ(lines.size(), 4u);
    for (std::size_t i = 1; i < lines.size(); ++i) EXPECT_EQ(Fields(lines[i]).size(), 9u) << lines[i];
}

TEST_F(DataLog, AFolderThatCannotTakeTheFileIsToldNeverClaimedSaved) {
    // No folder to create the file in: nothing starts.
    h.form.DataDirectory = logs.path() / "gone";
    h.form.ButonKayıt_Click();
    EXPECT_EQ(h.form.LiveLog, nullptr);
    EXPECT_EQ(h.form.KomutSatırı.text, "CANNOT CREATE LOG FILE : " + curve::Utf8FromPath(logs.path() / "gone"));
    EXPECT_EQ(h.form.ButonKayıt.caption, "Start Recording");

    // The folder goes while recording (a pulled USB stick): the end says the file
    // is gone instead of "saved". Windows removes no folder that holds an open file,
    // so there the pulled stick cannot be made this way.
#ifdef _WIN32
    GTEST_SKIP() << "a folder with an open file cannot be removed on Windows";
#endif
    std::filesystem::create_directories(logs.path() / "stick");
    h.form.DataDirectory = logs.path() / "stick";
    h.form.ButonKayıt_Click();
    ASSERT_NE(h.form.LiveLog, nullptr);
    const std::filesystem::path path = finalPath();
    polls(2);
    std::filesystem::remove_all(logs.path() / "stick");
    polls(1);
    h.form.ButonKayıt_Click();
    EXPECT_EQ(h.form.LiveLog, nullptr);
    EXPECT_EQ(h.form.KomutSatırı.text, "LOG FILE IS GONE : " + curve::Utf8FromPath(path));
}

TEST_F(DataLog, TheFileTakesItsNameWhenTheLinkGoesTheWindowClosesOrTheFormEnds) {
    struct Ending {
        const char* what;
        std::function<void(test::LinkHarness&)> end;
        std::string status;  // how the status line begins afterwards; empty: not looked at
    };
    const Ending endings[] = {
        {"adapter pulled", [](test::LinkHarness& l) { l.port.unplug(); }, "CONNECTION LOST ! COM4  LOG SAVED : "},
        {"exit button", [](test::LinkHarness& l) { l.form.ExitButon_Click(); }, ""},
    };
    for (const Ending& e : endings) {
        test::LinkHarness l;
        sim::VirtualClock c{l.runner, kMorning};
        l.form.env.clock = &c;
        l.form.DataDirectory = logs.path();
        ASSERT_TRUE(l.connect());
        l.form.ButonKayıt_Click();
        ASSERT_NE(l.form.LiveLog, nullptr);
        const std::filesystem::path path = l.form.LiveLog->finalPath();
        l.runner.runFor(1600);
        const long rows = l.form.LiveLog->rows();
        EXPECT_GE(rows, 3) << e.what;
        e.end(l);
        EXPECT_EQ(l.form.LiveLog, nullptr) << e.what;
        EXPECT_TRUE(std::filesystem::exists(path)) << e.what;
        EXPECT_FALSE(std::filesystem::exists(ecu::LiveLogTemporaryPath(path))) << e.what;
        EXPECT_EQ(Lines(path).size(), 1u + static_cast<std::size_t>(rows)) << e.what;
        if (!e.status.empty()) {
            EXPECT_TRUE(l.form.KomutSatırı.text.starts_with(e.status)) << l.form.KomutSatırı.text;
        }
        std::filesystem::remove(path);
    }
    // However the window goes away, the form's end gives the file its name.
    std::filesystem::path path;
    long rows = 0;
    {
        test::LinkHarness l;
        sim::VirtualClock c{l.runner, kMorning};
        l.form.env.clock = &c;
        l.form.DataDirectory = logs.path();
        ASSERT_TRUE(l.connect());
        l.form.ButonKayıt_Click();
        ASSERT_NE(l.form.LiveLog, nullptr);
        path = l.form.LiveLog->finalPath();
        l.runner.runFor(1600);
        rows = l.form.LiveLog->rows();
    }
    EXPECT_GE(rows, 3);
    EXPECT_EQ(Lines(path).size(), 1u + static_cast<std::size_t>(rows));
    EXPECT_FALSE(std::filesystem::exists(ecu::LiveLogTemporaryPath(path)));
}

TEST(LiveLogFile, RecordingsOfTheSameSecondNeverOverwriteEachOther) {
    test::TempDir dir;
    std::vector<std::unique_ptr<ecu::LiveLogFile>> logs;
    for (int i = 0; i < 3; ++i) {
        logs.push_back(ecu::LiveLogFile::Create(dir.path(), kMorning, OpenLineFile));
        ASSERT_NE(logs.back(), nullptr);
        ecu::LiveSample s;
        s.engineSpeed = 1000 * (i + 1);
        ASSERT_TRUE(logs.back()->append(kMorning, s));
    }
    EXPECT_EQ(logs[0]->finalPath().filename(), "gasecu_log_2026-12-09_01-23-45.csv");
    EXPECT_EQ(logs[1]->finalPath().filename(), "gasecu_log_2026-12-09_01-23-45_2.csv");
    EXPECT_EQ(logs[2]->finalPath().filename(), "gasecu_log_2026-12-09_01-23-45_3.csv");
    for (auto& log : logs) EXPECT_TRUE(log->finish());
    // A finished one is not taken again either.
    auto fourth = ecu::LiveLogFile::Create(dir.path(), kMorning, OpenLineFile);
    ASSERT_NE(fourth, nullptr);
    EXPECT_EQ(fourth->finalPath().filename(), "gasecu_log_2026-12-09_01-23-45_4.csv");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Fields(Lines(logs[i]->finalPath()).at(1)).at(2), std::to_string(1000 * (i + 1)));
}

TEST(LiveLogFile, NamesAndTimeStampsReadAsTheWallClockShowsThem) {
    struct Case {
        LocalTimeMs at;
        const char* name;
        const char* stamp;
    };
    const Case cases[] = {
        {kMorning, "gasecu_log_2026-12-09_01-23-45.csv", "2026-12-09 01:23:45.000"},
        {kMorning + 999ms, "gasecu_log_2026-12-09_01-23-45.csv", "2026-12-09 01:23:45.999"},
        {local_days{2026y / December / 31} + 23h + 59min + 59s + 500ms, "gasecu_log_2026-12-31_23-59-59.csv",
         "2026-12-31 23:59:59.500"},
        {local_days{2027y / January / 1} + 7ms, "gasecu_log_2027-01-01_00-00-00.csv", "2027-01-01 00:00:00.007"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ecu::LiveLogFileName(c.at), c.name);
        EXPECT_EQ(ecu::LiveLogTimeStamp(c.at), c.stamp);
    }
}

}  // namespace
}  // namespace gasecu
