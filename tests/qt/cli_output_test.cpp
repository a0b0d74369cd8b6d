// Results that cannot be written are no success: every command that prints, with
// standard output on a full disk, ends with exit 4 and the cause on standard
// error; in process on the virtual clock, then the real program on /dev/full.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/history_command.h"
#include "curve/curve_file_io.h"
#include "link/command_frames.h"
#include "qt/headless_bench.h"
#include "qt/qt_test_app.h"
#include "support/temp_dir.h"

namespace gasecu {
namespace {

using test::CommandRun;
using test::HeadlessBench;

constexpr const char* kFullEnglish = "RESULTS NOT WRITTEN TO STANDARD OUTPUT : DISK FULL !";
constexpr const char* kFullTurkish = "SONUÇLAR STANDART ÇIKTIYA YAZILAMADI : DİSK DOLU !";

TEST(CliOutput, ResultsOnAFullDiskEndWithFourAndTheCause) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"help", "--lang", "en"}, kFullEnglish},
        // The help's failure follows --lang, else the stored choice (Turkish when none is kept).
        {{"help", "--lang", "tr"}, kFullTurkish},
        {{"help"}, kFullTurkish},
        {{"settings", "--lang", "tr"}, kFullTurkish},
        {{"live", "--csv", "-", "--count", "2", "--lang", "en"}, kFullEnglish},
        // A run until interrupted stops at the first sample no one can read.
        {{"live", "--count", "200", "--lang", "en"}, kFullEnglish},
    };
    for (const auto& [arguments, says] : cases) {
        SCOPED_TRACE(arguments.back());
        HeadlessBench bench;
        const CommandRun run = bench.runWithFullOutput(arguments);
        EXPECT_EQ(run.status, 4) << run.err;
#ifdef _WIN32
        // The output there is a pipe no one reads: the same end, as a write error.
        const std::string cause =
            says.substr(0, says.find(" : ") + 3) + (says == kFullEnglish ? "WRITE ERROR !" : "YAZMA HATASI !");
#else
        const std::string& cause = says;
#endif
        EXPECT_NE(run.err.find(cause), std::string::npos) << run.err;
        const std::vector<Bytes> sent = bench.received();
        EXPECT_LT(std::count(sent.begin(), sent.end(), frames::kLiveDataRequest), 10);
    }
}

#ifndef _WIN32
// A listing longer than the stream's buffer fails while it is written; the cause
// is the one the write met, though nothing is left in the buffer to fail again.
TEST(CliOutput, ALongListingOnAFullDiskNamesTheFullDisk) {
    std::FILE* full = std::fopen("/dev/full", "w");  // narrow path: POSIX only
    ASSERT_NE(full, nullptr);
    cli::HistoryOutput output;
    output.out.assign(256 * 1024, 'x');
    int cause = 0;
    EXPECT_EQ(cli::PrintCommandOutput(output, full, stderr, &cause), 0);
    EXPECT_EQ(cause, ENOSPC);
    std::fclose(full);
}
#endif

// The program itself, its standard output on /dev/full: the history listing and
// the help need no ECU, the settings and the live values come from --simulate.
TEST(CliOutput, TheProgramOnDevFullEndsWithFour) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no /dev/full; the case above covers the Windows build in process";
#endif
    test::EnsureQtApp();
    test::TempDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), QString::fromStdString(curve::Utf8FromPath(home.path())));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), QString::fromStdString(curve::Utf8FromPath(home.path() / "data")));
    const QStringList commands[] = {{"help", "--lang", "en"},
                                    {"history", "--csv", "--lang", "en"},
                                    {"settings", "--simulate", "--lang", "en"},
                                    {"live", "--simulate", "--count", "2", "--lang", "en"}};
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
