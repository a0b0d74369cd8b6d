// End to end: the gasecu program's headless commands against gasecu-sim on
// pseudo-terminals, through the real serial wrapper and real timers. Every wait
// is bounded; the pacing is checked from the program's own --trace time stamps.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "app/number_format.h"
#include "cli/trace_port.h"
#include "curve/curve_text.h"
#include "ecu_memory.h"
#include "link/command_frames.h"
#include "qt/qt_test_app.h"
#include "qt/gasecu_process.h"
#include "qt/sim_process.h"
#include "support/ecu_curve.h"
#include "support/temp_dir.h"
#include "curve/curve_file_io.h"

namespace gasecu {
namespace {

using Sim = test::SimProcess;
using test::Gasecu;
using test::Ports;
using test::WaitUntil;


struct TraceLine {
    double ms;
    bool sent;
    Bytes bytes;
};

std::vector<TraceLine> ParseTrace(const std::string& text) {
    static const std::regex kLine(R"(^\[\s*([0-9]+\.[0-9]) ms\] (TX|RX) ([0-9A-F ]*)$)");
    std::vector<TraceLine> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::smatch m;
        if (!std::regex_match(line, m, kLine)) continue;
        TraceLine t{ParseDecimalNumber(m[1]), m[2] == "TX", {}};
        std::istringstream hex(m[3]);
        for (std::string byte; hex >> byte;) t.bytes.push_back(static_cast<std::uint8_t>(std::stoi(byte, nullptr, 16)));
        lines.push_back(std::move(t));
    }
    return lines;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every frame the command's --trace lists, in order, against what the simulator
// (started with --show-received) says reached it; the last traced frame back.
Bytes ExpectTheEcuReceivedEveryTracedFrame(Sim& ecu, const std::string& trace) {
    Bytes traced, last;
    for (const TraceLine& line : ParseTrace(trace)) {
        if (!line.sent) continue;
        traced.insert(traced.end(), line.bytes.begin(), line.bytes.end());
        last = line.bytes;
    }
    EXPECT_FALSE(traced.empty());
    std::string shown;
    const auto received = [&] {
        shown += ecu.process().readAllStandardOutput().toStdString();
        Bytes bytes;
        std::istringstream hex(shown);
        for (std::string byte; hex >> byte;) bytes.push_back(static_cast<std::uint8_t>(std::stoi(byte, nullptr, 16)));
        return bytes;
    };
    // Bounded: what the tool handed over is on the controller's side at once.
    test::WaitUntil([&] { return received().size() >= traced.size(); }, 2000);
    EXPECT_EQ(cli::HexBytes(received()), cli::HexBytes(traced));
    return last;
}

// The curve the simulator starts with, as the window rebuilds it from the blocks:
// the head, the axis, and each band as running sums from the idle level.
std::string SimulatorCurveText() { return curve::FormatCurveText(test::CurveHeldBy(sim::EcuMemory())); }

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
                                   "TRIYING TO CONNECT : COM3", "TRIYING TO CONNECT : COM4", "CONNECTED : COM4"}) {
        at = run.err().find(line, at);
        ASSERT_NE(at, std::string::npos) << line << "\n" << run.err();
    }
}

TEST(CliEndToEnd, ScanOverSilentPortsOnlyEndsWithNoEcu) {
    test::EnsureQtApp();
    Sim silent1({"--silent"}), silent2({"--silent"});
    Gasecu run(QStringList{"scan", "--lang", "en"} + Ports({&silent1, &silent2}));
    // Fifteen ports of two ticks each: about 16 s.
    ASSERT_EQ(run.finish(60000), 3) << run.err();
    EXPECT_EQ(run.out(), "");
    EXPECT_NE(run.err().find("NO CONNECTION TO ANY PORT .... !  COM1 - COM15"), std::string::npos) << run.err();
}

TEST(CliEndToEnd, ReadCurveSavesTheEcusCurveWithTheReadSequencesFrames) {
    test::EnsureQtApp();
    test::TempDir dir;
    Sim ecu;
    ASSERT_FALSE(ecu.path().empty());
    const std::filesystem::path file = dir.path() / "Cur_07.txt";

    Gasecu run(QStringList{"read-curve", "--trace", "--lang", "en", "-o", QString::fromStdString(curve::Utf8FromPath(file))} + Ports({&ecu}));
    ASSERT_EQ(run.finish(60000), 0) << run.err();
    EXPECT_EQ(run.out(), curve::Utf8FromPath(file) + "\n");
    EXPECT_EQ(ReadFile(file), SimulatorCurveText());

    // From the read button on: the petrol command, then the head block before
    // every band block, one frame per tick, and nothing else.
    std::vector<TraceLine> sent;
    for (TraceLine& t : ParseTrace(run.err()))
        if (t.sent) sent.push_back(std::move(t));
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

TEST(CliEndToEnd, LiveWritesFiveCsvRowsHalfASecondApart) {
    test::EnsureQtApp();
    test::TempDir dir;
    Sim ecu({"--rpm", "2100"});
    ASSERT_FALSE(ecu.path().empty());
    const std::filesystem::path csv = dir.path() / "live.csv";

    Gasecu run(QStringList{"live", "--count", "5", "--trace", "--csv", QString::fromStdString(curve::Utf8FromPath(csv))} +
               Ports({&ecu}));
    ASSERT_EQ(run.finish(40000), 0) << run.err();

    std::istringstream in(ReadFile(csv));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 6u) << ReadFile(csv);
    EXPECT_EQ(lines[0],
              "time_ms,engine_speed_rpm,gas_pressure_bar,reducer_temperature_c,gas_temperature_c,"
              "petrol_time_ms,gas_time_ms,fuel");

    // Each row stands for one live reply the trace shows arriving at that moment.
    std::vector<double> replies;
    for (const TraceLine& t : ParseTrace(run.err()))
        if (!t.sent && t.bytes.size() == 13 && t.bytes[0] == frames::kLiveDataRequest[0]) replies.push_back(t.ms);
    ASSERT_GE(replies.size(), 5u);
    replies.erase(replies.begin(), replies.end() - 5);
    for (std::size_t row = 1; row <= 5; ++row) {
        std::vector<std::string> fields;
        std::stringstream cells(lines[row]);
        for (std::string cell; std::getline(cells, cell, ',');) fields.push_back(cell);
        ASSERT_EQ(fields.size(), 8u) << lines[row];
        const double time = ParseDecimalNumber(fields[0]);
        EXPECT_NEAR(time, replies[row - 1], 5.0) << lines[row];
        EXPECT_NEAR(ParseDecimalNumber(fields[1]), 2100, 150) << lines[row];  // the engine model wanders a little
        EXPECT_EQ(fields[7], "petrol");
        if (row > 1) {
            EXPECT_NEAR(replies[row - 1] - replies[row - 2], 500.0, 150.0) << run.err();
        }
    }
}

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

TEST(CliEndToEnd, AnEcuThatFallsSilentMidReadEndsWithStatusFive) {
    test::EnsureQtApp();
    test::TempDir dir;
    Sim ecu;
    ASSERT_FALSE(ecu.path().empty());
    const std::filesystem::path file = dir.path() / "Cur_09.txt";

    Gasecu run(QStringList{"read-curve", "--lang", "en", "-o", QString::fromStdString(curve::Utf8FromPath(file))} + Ports({&ecu}));
    ASSERT_TRUE(run.errorShows("curve block 2 of 6", 30000)) << run.err();
    ecu.freeze();
    ASSERT_EQ(run.finish(20000), 5) << run.err();
    // The window's link watch ends the read after 3 s of silence, with its message.
    EXPECT_NE(run.err().find("CURVE READ DID NOT COMPLETE : ECU NOT RESPONDING !"), std::string::npos) << run.err();
    EXPECT_FALSE(std::filesystem::exists(file));  // half a curve is no curve
}

// The exit closes the port right after the last frame went out: that frame must
// still reach the ECU (a calibration's end command left unsent keeps the ECU in
// calibration mode). The controller shows every piece it received.
TEST(CliEndToEnd, TheEcuReceivesEveryFrameTheTraceListsTheLastOneIncluded) {
    test::EnsureQtApp();
    struct Case {
        QStringList simulator;
        QStringList command;
        int status;
        Bytes lastFrame;  // empty: any
    } const cases[] = {
        {{}, {"settings"}, 0, {}},
        {{}, {"faults"}, 0, {}},
        // The engine never reaches 2000 rpm: the run is stopped after --speed-wait as
        // the stop button does, and its last frame must reach the ECU.
        {{"--rpm", "850"}, {"calibrate", "--speed-wait", "2"}, 7, frames::kWriteStartCommand},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command.join(' ').toStdString());
        Sim ecu(c.simulator + QStringList{"--show-received"});
        ASSERT_FALSE(ecu.path().empty());
        Gasecu run(c.command + QStringList{"--lang", "en", "--trace"} + Ports({&ecu}));
        ASSERT_EQ(run.finish(60000), c.status) << run.err();
        const Bytes last = ExpectTheEcuReceivedEveryTracedFrame(ecu, run.err());
        if (!c.lastFrame.empty()) {
            EXPECT_EQ(cli::HexBytes(last), cli::HexBytes(c.lastFrame));
        }
        if (c.status == 7) {
            EXPECT_NE(run.err().find("THE ENGINE DID NOT REACH 2000 RPM IN 2 S : CALIBRATION STOPPED !"),
                      std::string::npos)
                << run.err();
        }
    }
}

TEST(CliEndToEnd, UsageAndFileNameFaultsEndAtOnce) {
    test::EnsureQtApp();
    test::TempDir dir;
    const std::filesystem::path wrong = dir.path() / "curve.txt";
    Gasecu badName({"read-curve", "--lang", "en", "-o", QString::fromStdString(curve::Utf8FromPath(wrong))});
    EXPECT_EQ(badName.finish(10000), 4);
    EXPECT_NE(badName.err().find("NAME OF INCORRECT FILE ! "), std::string::npos) << badName.err();
    EXPECT_FALSE(std::filesystem::exists(wrong));

    Gasecu noFile({"read-curve"});
    EXPECT_EQ(noFile.finish(10000), 2);
    Gasecu badCount({"live", "--count", "none"});
    EXPECT_EQ(badCount.finish(10000), 2);
    EXPECT_NE(badCount.err().find("--count"), std::string::npos) << badCount.err();

    // A log that cannot be written is refused before the 16-second scan.
    Gasecu badCsv({"live", "--count", "1", "--csv", QString::fromStdString(curve::Utf8FromPath(dir.path() / "no" / "live.csv"))});
    EXPECT_EQ(badCsv.finish(10000), 4);

    Gasecu help({"help"});
    EXPECT_EQ(help.finish(10000), 0);
    EXPECT_NE(help.out().find("gasecu read-curve -o FILE"), std::string::npos) << help.out();
}

// A curve unlike the simulator's: idle level 25, band b rising by b + 1 a point.
CurveRows CurveForTheEcu() {
    CurveRows rows{};
    const double head[] = {4, 25, 116, 110, 134, 122};
    for (int p = 1; p <= 6; ++p) rows[1][p] = head[p - 1];
    for (int p = 1; p <= 18; ++p) rows[2][p] = 30.0 * p;
    for (int band = 1; band <= 6; ++band)
        for (int p = 1; p <= 18; ++p) rows[2 + band][p] = 27 + (band + 1) * p;
    return rows;
}

void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

TEST(CliEndToEnd, WriteCurveWritesTheFileAndAReadBackShowsTheSameCurve) {
    test::EnsureQtApp();
    test::TempDir dir;
    Sim ecu;
    ASSERT_FALSE(ecu.path().empty());
    const std::filesystem::path file = dir.path() / "Cur_05.txt";
    WriteText(file, curve::FormatCurveText(CurveForTheEcu()));

    Gasecu run(QStringList{"write-curve", QString::fromStdString(curve::Utf8FromPath(file)), "--trace", "--lang", "en"} +
               Ports({&ecu}));
    ASSERT_EQ(run.finish(90000), 0) << run.err();
    EXPECT_EQ(run.out(), curve::Utf8FromPath(file) + "\n");
    EXPECT_NE(run.err().find("NO ERRORS ! "), std::string::npos) << run.err();
    EXPECT_NE(run.err().find("curve write 17 of 17"), std::string::npos) << run.err();

    // From the write-start command on: 27 frames one tick apart, then the read back.
    std::vector<TraceLine> sent;
    for (TraceLine& t : ParseTrace(run.err()))
        if (t.sent) sent.push_back(std::move(t));
    auto start = std::find_if(sent.begin(), sent.end(), [](const TraceLine& t) { return t.bytes == frames::kWriteStartCommand; });
    ASSERT_GE(sent.end() - start, 27) << run.err();
    std::vector<int> blocks;
    for (auto it = start; it != start + 27; ++it) {
        if (it->bytes.size() == 24) blocks.push_back(it->bytes[2]);
        if (it != start) {
            EXPECT_GE(it->ms - (it - 1)->ms, 400.0) << "two frames in one tick";
        }
    }
    EXPECT_EQ(blocks, (std::vector<int>{10, 11, 12, 13, 14, 15, 16}));
    EXPECT_EQ((start + 23)->bytes, frames::kWriteEndCommand);
    EXPECT_EQ((start + 25)->bytes, frames::kWriteCloseCommand);
    EXPECT_EQ((start + 27)->bytes, *frames::CurveBlockRequest(10));  // the read back follows

    // The ECU keeps it: a separate read brings the same curve back.
    const std::filesystem::path back = dir.path() / "Cur_06.txt";
    Gasecu read(QStringList{"read-curve", "--lang", "en", "-o", QString::fromStdString(curve::Utf8FromPath(back))} + Ports({&ecu}));
    ASSERT_EQ(read.finish(60000), 0) << read.err();
    EXPECT_EQ(ReadFile(back), ReadFile(file));
}

TEST(CliEndToEnd, WriteCurveWithABlockLostOnTheWayInEndsWithStatusSix) {
    test::EnsureQtApp();
    test::TempDir dir;
    Sim ecu({"--drop-block-write", "14"});
    ASSERT_FALSE(ecu.path().empty());
    const std::filesystem::path file = dir.path() / "Cur_05.txt";
    WriteText(file, curve::FormatCurveText(CurveForTheEcu()));

    Gasecu run(QStringList{"write-curve", QString::fromStdString(curve::Utf8FromPath(file)), "--lang", "en"} + Ports({&ecu}));
    ASSERT_EQ(run.finish(90000), 6) << run.err();
    EXPECT_EQ(run.out(), "");
    EXPECT_NE(run.err().find("CURVE CHECK FAILED : 4000 RPM POINT 1 READ BACK DIFFERENT ! "), std::string::npos)
        << run.err();
    EXPECT_EQ(run.err().find("NO ERRORS"), std::string::npos) << run.err();
}

TEST(CliEndToEnd, WriteCurveRefusesAnUnwritableCurveBeforeOpeningAnyPort) {
    test::EnsureQtApp();
    test::TempDir dir;
    CurveRows rows = CurveForTheEcu();
    rows[4][7] = rows[4][6] - 2;  // the 2000 rpm band falls at point 7
    const std::filesystem::path file = dir.path() / "Cur_05.txt";
    WriteText(file, curve::FormatCurveText(rows));

    // The port is a device that does not exist: a scan would take 16 s and end with 3.
    const std::string nowhere = curve::Utf8FromPath(dir.path() / "no-such-device");
    Gasecu run({"write-curve", QString::fromStdString(curve::Utf8FromPath(file)), "--lang", "en", "--port",
                QString::fromStdString(nowhere)});
    ASSERT_EQ(run.finish(10000), 4) << run.err();
    EXPECT_NE(run.err().find("CURVE CANNOT BE WRITTEN : 2000 RPM POINT 7 LOWER THAN THE POINT BEFORE ! "),
              std::string::npos)
        << run.err();
    EXPECT_EQ(run.err().find("TRIYING TO CONNECT"), std::string::npos) << run.err();

    // A file cut short, and no file at all: refused the same way.
    const std::filesystem::path cut = dir.path() / "Cur_08.txt";
    WriteText(cut, curve::FormatCurveText(CurveForTheEcu()).substr(0, 200));
    Gasecu cutRun({"write-curve", QString::fromStdString(curve::Utf8FromPath(cut)), "--lang", "en", "--port",
                   QString::fromStdString(nowhere)});
    EXPECT_EQ(cutRun.finish(10000), 4) << cutRun.err();
    EXPECT_NE(cutRun.err().find("FILE ERROR ! "), std::string::npos) << cutRun.err();
    Gasecu noFile({"write-curve", "--lang", "en"});
    EXPECT_EQ(noFile.finish(10000), 2) << noFile.err();
}

TEST(CliEndToEnd, HelpNeedsNoDisplay) {
    test::EnsureQtApp();
    // A workshop PC reached over ssh: no display, and a platform that would need one.
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(GASECU_BIN), {QStringLiteral("--help")});
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    const std::string out = process.readAllStandardOutput().toStdString();
    EXPECT_NE(out.find("--simulate"), std::string::npos) << out;
    EXPECT_NE(out.find("gasecu read-curve -o FILE"), std::string::npos) << out;
}

TEST(CliEndToEnd, AnUnknownFirstWordIsAUsageErrorEvenWithoutADisplay) {
    test::EnsureQtApp();
    for (const char* word : {"setings", "live2", "", "--bogus"}) {
        SCOPED_TRACE(word);
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        process.setProcessEnvironment(environment);
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

TEST(CliEndToEnd, AnOutputFileThatCannotBeWrittenIsRefusedBeforeAnyPortIsOpened) {
    test::EnsureQtApp();
    test::TempDir dir;
    std::filesystem::create_symlink("/dev/null", dir.path() / "Cur_11.txt");
    // The port is a device that does not exist: a scan would take 16 s and end with 3.
    const QString nowhere = QString::fromStdString(curve::Utf8FromPath(dir.path() / "no-such-device"));
    struct Case {
        QStringList arguments;
        std::string says;
    };
    const Case cases[] = {
        {{"read-curve", "-o", QString::fromStdString(curve::Utf8FromPath(dir.path() / "gone" / "Cur_05.txt"))},
         "NO SUCH FOLDER, FILE NOT WRITTEN ! "},
        {{"read-curve", "-o", QString::fromStdString(curve::Utf8FromPath(dir.path() / "Cur_11.txt"))},
         "THIS NAME IS NOT A PLAIN FILE, NOT WRITTEN ! "},
        {{"calibrate", "-o", QString::fromStdString(curve::Utf8FromPath(dir.path() / "Cur_00.txt"))},
         "Cur_00.txt IS REWRITTEN AT EVERY START, CHOOSE ANOTHER NAME ! "},
        {{"calibrate", "-o", QString::fromStdString(curve::Utf8FromPath(dir.path() / "gone" / "Cur_05.txt"))},
         "NO SUCH FOLDER, FILE NOT WRITTEN ! "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        Gasecu run(c.arguments + QStringList{"--lang", "en", "--port", nowhere});
        ASSERT_EQ(run.finish(10000), 4) << run.err();
        EXPECT_NE(run.err().find(c.says), std::string::npos) << run.err();
        EXPECT_EQ(run.err().find("TRIYING TO CONNECT"), std::string::npos) << run.err();
    }
    EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "Cur_11.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "Cur_00.txt"));
}

// A warm engine at 2100 rpm whose gas mixture is only 0.05 ms off: the first
// measurement on gas agrees, so the run takes its shortest course (66 ticks).
TEST(CliEndToEnd, CalibrateConvergesAndSavesTheRescaledCurve) {
    test::EnsureQtApp();
    test::TempDir dir;
    Sim ecu({"--rpm", "2100", "--pressure", "1.1", "--reducer-temp", "70", "--gas-temp", "35", "--mismatch", "0.05",
             "--show-received"});
    ASSERT_FALSE(ecu.path().empty());
    const std::filesystem::path file = dir.path() / "Cur_12.txt";
    Gasecu run(QStringList{"calibrate", "--trace", "--lang", "en", "-o", QString::fromStdString(curve::Utf8FromPath(file))} +
               Ports({&ecu}));
    ASSERT_EQ(run.finish(110000), 0) << run.err();
    // The calibration end is the last frame, and the ECU receives it: otherwise it
    // stays in calibration mode after the command.
    EXPECT_EQ(cli::HexBytes(ExpectTheEcuReceivedEveryTracedFrame(ecu, run.err())),
              cli::HexBytes(frames::kCalibrationEndCommand));
    EXPECT_EQ(run.out(), curve::Utf8FromPath(file) + "\n");
    for (const char* line : {"ORJ.DAT INSTALL !", "ilk=3.0", "Text1=0.0", "Sayac=1", " CURVE FACTOR ", "CALIBRATION ENDED."})
        EXPECT_NE(run.err().find(line), std::string::npos) << line << "\n" << run.err();
    // The shipped reference, rescaled: every band changed, head and axis kept.
    const auto saved = curve::ParseCurveText(ReadFile(file));
    const auto reference = curve::ParseCurveText(ReadFile(std::filesystem::path(GASECU_BIN).parent_path() / "ORJ.DAT"));
    ASSERT_TRUE(saved && reference && saved->endMarkerValid);
    EXPECT_EQ(saved->values[1], reference->values[1]);
    EXPECT_EQ(saved->values[2], reference->values[2]);
    // The three reference values went out: pressure 1.10 bar, then the two temperatures.
    std::vector<Bytes> settings;
    for (const TraceLine& t : ParseTrace(run.err()))
        if (t.sent && t.bytes[0] == frames::kSettingWriteCode) settings.push_back(t.bytes);
    ASSERT_EQ(settings.size(), 3u) << run.err();
    EXPECT_EQ(settings[0], *frames::SettingWrite(44, 110));
}

TEST(CliEndToEnd, CalibrateEndsWithSevenOnAPressureFault) {
    test::EnsureQtApp();
    Sim ecu({"--rpm", "2100", "--pressure", "0.3", "--reducer-temp", "70"});
    Gasecu run(QStringList{"calibrate", "--lang", "tr"} + Ports({&ecu}));
    ASSERT_EQ(run.finish(60000), 7) << run.err();
    EXPECT_NE(run.err().find(" BASINC HATASI KALİBRASYON DURDURULDU ! BASINÇ= 0.30 bar"), std::string::npos)
        << run.err();
}

TEST(CliEndToEnd, CalibrateEndsWithFiveWhenTheEcuFallsSilentMidRun) {
    test::EnsureQtApp();
    Sim ecu({"--rpm", "2100", "--reducer-temp", "70"});
    Gasecu run(QStringList{"calibrate", "--lang", "en"} + Ports({&ecu}));
    ASSERT_TRUE(run.errorShows("KEEP THE GAS PEDAL", 20000)) << run.err();
    ecu.freeze();
    ASSERT_EQ(run.finish(20000), 5) << run.err();
    EXPECT_EQ(run.err().find("CALIBRATION ENDED."), std::string::npos) << run.err();
}

TEST(CliEndToEnd, CalibrateRefusesAFaultyReferenceBeforeOpeningAPort) {
    test::EnsureQtApp();
    test::TempDir dir;
    Sim ecu({"--rpm", "2100"});
    const std::filesystem::path half = dir.path() / "ORJ.DAT";
    std::ofstream(half, std::ios::binary) << "4 25 116 110 134 122 \r\n30 60 9x0 \r\n";
    for (const std::filesystem::path& reference : {half, dir.path() / "missing.dat"}) {
        Gasecu run(QStringList{"calibrate", "--trace", "--lang", "en", "--reference",
                               QString::fromStdString(curve::Utf8FromPath(reference))} +
                   Ports({&ecu}));
        ASSERT_EQ(run.finish(10000), 4) << run.err();
        EXPECT_NE(run.err().find("ORJ.DAT ERROR WHILE INSTALLATION ! " + curve::Utf8FromPath(reference)), std::string::npos)
            << run.err();
        EXPECT_TRUE(ParseTrace(run.err()).empty()) << run.err();  // not one frame
        EXPECT_EQ(run.err().find("TRIYING TO CONNECT"), std::string::npos) << run.err();
    }
}

}  // namespace
}  // namespace gasecu
