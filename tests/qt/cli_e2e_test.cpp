// End to end, one real run per command family: the gasecu program against
// gasecu-sim on pseudo-terminals, through the real serial wrapper, the real timers
// and a real process exit. Every wait is bounded; the pacing is checked from the
// program's own --trace time stamps. The scenarios of each command run in process
// on the virtual clock (cli_*_command_test.cpp); these prove the real line under them.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/trace_port.h"
#include "curve/curve_file_io.h"
#include "curve/curve_text.h"
#include "ecu_memory.h"
#include "link/command_frames.h"
#include "qt/command_trace.h"
#include "qt/gasecu_process.h"
#include "qt/qt_test_app.h"
#include "qt/sim_process.h"
#include "support/ecu_curve.h"
#include "support/temp_dir.h"

namespace gasecu {
namespace {

using Sim = test::SimProcess;
using test::Gasecu;
using test::Ports;
using test::ReadFile;
using test::TraceLine;

QString Arg(const std::filesystem::path& path) { return QString::fromStdString(curve::Utf8FromPath(path)); }

// scan: the device behind the port number is named.
TEST(CliEndToEnd, ScanFindsTheEcuBehindThreeSilentPorts) {
    test::EnsureQtApp();
    Sim silent1({"--silent"}), silent2({"--silent"}), silent3({"--silent"}), ecu;
    for (const Sim* s : {&silent1, &silent2, &silent3, &ecu}) ASSERT_FALSE(s->path().empty());

    Gasecu run(QStringList{"scan", "--lang", "en"} + Ports({&silent1, &silent2, &silent3, &ecu}));
    ASSERT_EQ(run.finish(30000), 0) << run.err();
    EXPECT_EQ(run.out(), "COM4 " + ecu.path() + "\n");
    // The window's status line, port by port, then the find.
    std::size_t at = 0;
    for (const std::string line : {"TRIYING TO CONNECT : COM1", "TRIYING TO CONNECT : COM2",
                                   "TRIYING TO CONNECT : COM3", "TRIYING TO CONNECT : COM4", "ECU FOUND : COM4"}) {
        at = run.err().find(line, at);
        ASSERT_NE(at, std::string::npos) << line << "\n" << run.err();
    }
}

// read-curve: one frame per real tick, the file the ECU's curve.
TEST(CliEndToEnd, ReadCurveSavesTheEcusCurveWithTheReadSequencesFrames) {
    test::EnsureQtApp();
    test::TempDir dir;
    Sim ecu({"--show-received"});
    ASSERT_FALSE(ecu.path().empty());
    const std::filesystem::path file = dir.path() / "Cur_07.txt";

    Gasecu run(QStringList{"read-curve", "--trace", "--lang", "en", "-o", Arg(file)} + Ports({&ecu}));
    ASSERT_EQ(run.finish(60000), 0) << run.err();
    EXPECT_EQ(run.out(), curve::Utf8FromPath(file) + "\n");
    EXPECT_EQ(ReadFile(file), curve::FormatCurveText(test::CurveHeldBy(sim::EcuMemory())));
    // The last band request reached the controller before the port closed.
    EXPECT_EQ(cli::HexBytes(test::ExpectTheEcuReceivedEveryTracedFrame(ecu, run.err())),
              cli::HexBytes(*frames::CurveBlockRequest(16)));

    // From the read button on: the petrol command, then the head block before
    // every band block, one frame per tick, and nothing else.
    const std::vector<TraceLine> sent = test::SentLines(run.err());
    auto petrol = std::find_if(sent.begin(), sent.end(), [](const TraceLine& t) { return t.bytes == frames::kPetrolCommand; });
    ASSERT_NE(petrol, sent.end()) << run.err();
    std::vector<Bytes> expected{frames::kPetrolCommand};
    for (int block : {10, 12, 10, 13, 10, 14, 10, 15, 10, 16, 10, 16}) expected.push_back(*frames::CurveBlockRequest(block));
    std::vector<Bytes> read;
    for (auto it = petrol; it != sent.end(); ++it) read.push_back(it->bytes);
    EXPECT_EQ(read, expected);
    for (auto it = petrol + 2; it < sent.end(); ++it) EXPECT_GE(it->ms - (it - 1)->ms, 400.0) << "two frames in one tick";
    EXPECT_NE(run.err().find("curve block 6 of 6"), std::string::npos) << run.err();
}

// live: rows at the real moments the replies came, half a second apart.
TEST(CliEndToEnd, LiveWritesFiveCsvRowsHalfASecondApart) {
    test::EnsureQtApp();
    test::TempDir dir;
    Sim ecu({"--rpm", "2100"});
    ASSERT_FALSE(ecu.path().empty());
    const std::filesystem::path csv = dir.path() / "live.csv";

    Gasecu run(QStringList{"live", "--count", "5", "--trace", "--csv", Arg(csv)} + Ports({&ecu}));
    ASSERT_EQ(run.finish(40000), 0) << run.err();
    // Rows at the real moments the replies came (the trace's clock), half a second apart.
    test::ExpectFiveLiveRowsOnTheReplies(ReadFile(csv), run.err(), 5.0, 150.0);
}

// --simulate: the program's own virtual ECU on its real-time loop.
TEST(CliEndToEnd, SimulateServesTheCommandsWithoutAnyDevice) {
    test::EnsureQtApp();
    // The virtual ECU in process; "--csv -" puts the log on standard output.
    Gasecu run({"live", "--simulate", "--count", "2", "--csv", "-"});
    ASSERT_EQ(run.finish(30000), 0) << run.err();
    std::istringstream in(run.out());
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 3u) << run.out();
    EXPECT_EQ(lines[0].substr(0, 8), "time_ms,");
    EXPECT_EQ(lines[2].substr(lines[2].rfind(',')), ",petrol");
}

// calibrate: the engine never reaches 2000 rpm; the run is stopped after
// --speed-wait as the stop button does. The exit closes the port right after the
// last frame went out: that frame must still reach the ECU (a calibration's last
// command left unsent keeps the ECU in calibration mode). The controller shows
// every piece it received.
TEST(CliEndToEnd, CalibrateStoppedForSpeedStillDeliversItsLastFrame) {
    test::EnsureQtApp();
    Sim ecu({"--rpm", "850", "--show-received"});
    ASSERT_FALSE(ecu.path().empty());
    Gasecu run(QStringList{"calibrate", "--speed-wait", "2", "--lang", "en", "--trace"} + Ports({&ecu}));
    ASSERT_EQ(run.finish(60000), 7) << run.err();
    EXPECT_EQ(cli::HexBytes(test::ExpectTheEcuReceivedEveryTracedFrame(ecu, run.err())),
              cli::HexBytes(frames::kWriteStartCommand));
    EXPECT_NE(run.err().find("THE ENGINE DID NOT REACH 2000 RPM IN 2 S : CALIBRATION STOPPED !"), std::string::npos)
        << run.err();
}

// A workshop PC reached over ssh: no display, and a platform that would need one.
QProcessEnvironment WithoutDisplay() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    return environment;
}

TEST(CliEndToEnd, HelpNeedsNoDisplay) {
    test::EnsureQtApp();
    QProcess process;
    process.setProcessEnvironment(WithoutDisplay());
    process.start(QStringLiteral(GASECU_BIN), {QStringLiteral("--help")});
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    const std::string out = process.readAllStandardOutput().toStdString();
    EXPECT_NE(out.find("--simulate"), std::string::npos) << out;
    EXPECT_NE(out.find("gasecu read-curve -o FILE"), std::string::npos) << out;
}

// The window without a display: no toolkit abort, but what runs without one.
TEST(CliEndToEnd, TheWindowWithoutADisplayNamesTheCommandsThatNeedNone) {
    test::EnsureQtApp();
    const std::pair<QStringList, const char*> cases[] = {
        {{QStringLiteral("--lang"), QStringLiteral("en")}, "the window needs a display"},
        {{QStringLiteral("--simulate"), QStringLiteral("--lang=tr")}, "pencere için bir ekran gerekir"},
    };
    for (const auto& [arguments, said] : cases) {
        SCOPED_TRACE(said);
        QProcess process;
        process.setProcessEnvironment(WithoutDisplay());
        process.start(QStringLiteral(GASECU_BIN), arguments);
        ASSERT_TRUE(process.waitForFinished(10000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 2);
        const std::string err = QString::fromUtf8(process.readAllStandardError()).toStdString();
        EXPECT_NE(err.find(said), std::string::npos) << err;
        EXPECT_NE(err.find("scan, live, read-curve, write-curve, settings, set, faults, factory-reset, calibrate"),
                  std::string::npos)
            << err;
    }
}

TEST(CliEndToEnd, AnUnknownFirstWordIsAUsageErrorEvenWithoutADisplay) {
    test::EnsureQtApp();
    for (const char* word : {"setings", "live2", "", "--bogus"}) {
        SCOPED_TRACE(word);
        QProcess process;
        process.setProcessEnvironment(WithoutDisplay());
        process.start(QStringLiteral(GASECU_BIN), {QString::fromUtf8(word), QStringLiteral("--port"), QStringLiteral("X")});
        ASSERT_TRUE(process.waitForFinished(10000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 2);
        const std::string err = process.readAllStandardError().toStdString();
        EXPECT_NE(err.find("unknown command '" + std::string(word) + "'"), std::string::npos) << err;
        EXPECT_NE(err.find("scan, live, read-curve, write-curve, settings, set, faults, factory-reset, calibrate"),
                  std::string::npos)
            << err;
    }
}

}  // namespace
}  // namespace gasecu
