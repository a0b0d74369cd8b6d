// Results that cannot be written are no success: every command that prints, with
// standard output on a full disk, ends with exit 4 and the cause on standard
// error; in process on the virtual clock, then the real program on /dev/full.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "link/command_frames.h"
#include "qt/headless_bench.h"
#include "qt/qt_test_app.h"
#include "support/temp_dir.h"

namespace gasecu {
namespace {

using test::CommandRun;
using test::HeadlessBench;

constexpr const char* kFullEnglish = "RESULTS NOT WRITTEN TO STANDARD OUTPUT : DISK FULL !";

TEST(CliOutput, ResultsOnAFullDiskEndWithFourAndTheCause) {
    struct Case {
        std::vector<std::string> arguments;
        std::string says;
    };
    const Case cases[] = {
        {{"help"}, kFullEnglish},
        {{"scan", "--lang", "en"}, kFullEnglish},
        {{"settings", "--lang", "en"}, kFullEnglish},
        {{"settings", "--lang", "tr"}, "SONUÇLAR STANDART ÇIKTIYA YAZILAMADI : DİSK DOLU !"},
        {{"faults", "--lang", "en"}, kFullEnglish},
        {{"live", "--count", "2", "--lang", "en"}, kFullEnglish},
        {{"live", "--csv", "-", "--count", "2", "--lang", "en"}, kFullEnglish},
        // A run until interrupted stops at the first sample no one can read.
        {{"live", "--count", "200", "--lang", "en"}, kFullEnglish},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments[0] + (c.arguments.size() > 1 ? " " + c.arguments[1] : ""));
        HeadlessBench bench;
        const CommandRun run = bench.runWithFullOutput(c.arguments);
        EXPECT_EQ(run.status, 4) << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find("CANNOT WRITE FILE"), std::string::npos) << run.err;
        const std::vector<Bytes> frames = bench.received();
        EXPECT_LT(std::count(frames.begin(), frames.end(), frames::kLiveDataRequest), 10);
    }
}

// The program itself, its standard output on /dev/full: the history listing and
// the help need no ECU, the settings and the live values come from --simulate.
TEST(CliOutput, TheProgramOnDevFullEndsWithFour) {
    test::EnsureQtApp();
    test::TempDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), QString::fromStdString(home.path().string()));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), QString::fromStdString((home.path() / "data").string()));
    const QStringList commands[] = {{"help"},
                                    {"history", "--csv", "--lang", "en"},
                                    {"settings", "--simulate", "--lang", "en"},
                                    {"live", "--simulate", "--count", "2", "--lang", "en"}};
    // Side by side: the simulated ones take a few real seconds each.
    std::vector<std::unique_ptr<QProcess>> runs;
    for (const QStringList& arguments : commands) {
        auto& process = *runs.emplace_back(std::make_unique<QProcess>());
        process.setProcessEnvironment(environment);
        process.setStandardOutputFile(QStringLiteral("/dev/full"));
        process.start(QStringLiteral(GASECU_BIN), arguments);
    }
    for (std::size_t i = 0; i < runs.size(); ++i) {
        SCOPED_TRACE(commands[i].join(' ').toStdString());
        ASSERT_TRUE(runs[i]->waitForFinished(30000));
        const std::string err = runs[i]->readAllStandardError().toStdString();
        EXPECT_EQ(runs[i]->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(runs[i]->exitCode(), 4) << err;
        EXPECT_NE(err.find(kFullEnglish), std::string::npos) << err;
    }
}

}  // namespace
}  // namespace gasecu
