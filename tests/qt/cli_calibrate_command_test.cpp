// gasecu calibrate in process on the virtual clock (HeadlessBench): the whole run
// at a held 2100 rpm, its faults and its refusals, as a script and the ECU see
// them: exit status, messages, the frames the ECU received (the end command last)
// and the curve file saved.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/trace_port.h"
#include "curve/curve_text.h"
#include "ecu_memory.h"
#include "history/history_store.h"
#include "link/command_frames.h"
#include "qt/command_trace.h"
#include "qt/headless_bench.h"
#include "support/ecu_curve.h"

namespace gasecu {
namespace {

using test::CommandRun;
using test::Has;
using test::HeadlessBench;
using test::ReadFile;
using test::SentLines;
using test::TraceLine;

// The engine as the fitter holds it for the run: 2100 rpm, warm, 1.10 bar.
void HoldAt2100(sim::VirtualEcu& ecu, double pressureBar = 1.1) {
    ecu.setEngineSpeed(2100);
    ecu.setGasPressure(pressureBar);
    ecu.setReducerTemperature(70);
}

// A warm engine at 2100 rpm whose gas mixture is only 0.05 ms off: the first
// measurement on gas agrees, so the run takes its shortest course (66 ticks).
TEST(CliCalibrateCommand, ConvergesAndSavesTheRescaledCurve) {
    HeadlessBench bench;
    HoldAt2100(bench.ecu());
    bench.ecu().setGasTemperature(35);
    bench.ecu().engine().setMismatch(0.05);
    const std::filesystem::path file = bench.dir() / "Cur_12.txt";
    const CommandRun run = bench.run({"calibrate", "--trace", "--lang", "en", "-o", HeadlessBench::Arg(file)});
    ASSERT_EQ(run.status, 0) << run.err;
    // The calibration end is the last frame the ECU receives: otherwise it stays in
    // calibration mode after the command.
    ASSERT_FALSE(bench.received().empty());
    EXPECT_EQ(cli::HexBytes(bench.received().back()), cli::HexBytes(frames::kCalibrationEndCommand));
    EXPECT_EQ(run.out, HeadlessBench::Arg(file) + "\n");
    for (const char* line : {"ORJ.DAT INSTALL !", "ilk=3.0", "Text1=0.0", "Sayac=1", " CURVE FACTOR ", "CALIBRATION ENDED."})
        EXPECT_TRUE(Has(run.err, line)) << line << "\n" << run.err;
    // The shipped reference, rescaled: head and axis kept.
    const auto saved = curve::ParseCurveText(ReadFile(file));
    const auto reference = curve::ParseCurveText(ReadFile(bench.programDir() / "ORJ.DAT"));
    ASSERT_TRUE(saved && reference && saved->endMarkerValid);
    EXPECT_EQ(saved->values[1], reference->values[1]);
    EXPECT_EQ(saved->values[2], reference->values[2]);
    // The three reference values went out: pressure 1.10 bar, then the two temperatures.
    std::vector<Bytes> settings;
    for (const TraceLine& t : SentLines(run.err))
        if (t.bytes[0] == frames::kSettingWriteCode) settings.push_back(t.bytes);
    ASSERT_EQ(settings.size(), 3u) << run.err;
    EXPECT_EQ(settings[0], *frames::SettingWrite(44, 110));
}

TEST(CliCalibrateCommand, EndsWithSevenOnAPressureFault) {
    HeadlessBench bench;
    HoldAt2100(bench.ecu(), 0.3);
    const CommandRun run = bench.run({"calibrate", "--lang", "tr"});
    ASSERT_EQ(run.status, 7) << run.err;
    EXPECT_TRUE(Has(run.err, " BASINC HATASI KALİBRASYON DURDURULDU ! BASINÇ= 0.30 bar")) << run.err;
}

TEST(CliCalibrateCommand, EndsWithSevenWhenTheEngineNeverReachesTheSpeed) {
    // The engine idles at 850 rpm: the run is stopped after --speed-wait as the stop
    // button does, and its last frame still reaches the ECU.
    HeadlessBench bench;
    const CommandRun run = bench.run({"calibrate", "--speed-wait", "2", "--lang", "en"});
    ASSERT_EQ(run.status, 7) << run.err;
    EXPECT_TRUE(Has(run.err, "THE ENGINE DID NOT REACH 2000 RPM IN 2 S : CALIBRATION STOPPED !")) << run.err;
    ASSERT_FALSE(bench.received().empty());
    EXPECT_EQ(cli::HexBytes(bench.received().back()), cli::HexBytes(frames::kWriteStartCommand));
}

TEST(CliCalibrateCommand, EndsWithFiveWhenTheEcuFallsSilentMidRun) {
    HeadlessBench bench;
    HoldAt2100(bench.ecu());
    // The ECU stops answering right as the run starts (the petrol command that goes
    // with the pedal instruction).
    bench.onFrame([&](const Bytes& frame) {
        if (frame == frames::kPetrolCommand) bench.ecu().setSilent(true);
    });
    const CommandRun run = bench.run({"calibrate", "--lang", "en"});
    ASSERT_EQ(run.status, 5) << run.err;
    EXPECT_TRUE(Has(run.err, "KEEP THE GAS PEDAL")) << run.err;
    EXPECT_FALSE(Has(run.err, "CALIBRATION ENDED.")) << run.err;
}

TEST(CliCalibrateCommand, RefusesAFaultyReferenceBeforeOpeningAPort) {
    HeadlessBench bench;
    HoldAt2100(bench.ecu());
    const std::filesystem::path half = bench.dir() / "ORJ.DAT";
    std::ofstream(half, std::ios::binary) << "4 25 116 110 134 122 \r\n30 60 9x0 \r\n";
    for (const std::filesystem::path& reference : {half, bench.dir() / "missing.dat"}) {
        SCOPED_TRACE(HeadlessBench::Arg(reference));
        const CommandRun run =
            bench.run({"calibrate", "--trace", "--lang", "en", "--reference", HeadlessBench::Arg(reference)});
        ASSERT_EQ(run.status, 4) << run.err;
        EXPECT_TRUE(Has(run.err, "ORJ.DAT ERROR WHILE INSTALLATION ! " + HeadlessBench::Arg(reference))) << run.err;
        EXPECT_TRUE(test::ParseTrace(run.err).empty()) << run.err;  // not one frame
        EXPECT_FALSE(Has(run.err, "TRIYING TO CONNECT")) << run.err;
    }
    EXPECT_TRUE(bench.received().empty());
}

// An upload replaces the ECU's curve: the curve it held is read before the run and
// kept in the history, and the upload's record names it; --no-backup-read skips
// the read (no curve block asked for before the calibration starts).
TEST(CliCalibrateCommand, AnUploadKeepsTheEcusCurveBeforeItAsARestorePoint) {
    for (const bool backupRead : {true, false}) {
        SCOPED_TRACE(backupRead ? "read first" : "--no-backup-read");
        HeadlessBench bench;
        HoldAt2100(bench.ecu());
        bench.ecu().setGasTemperature(35);
        bench.ecu().engine().setMismatch(0.05);
        const std::string held = curve::FormatCurveText(test::CurveHeldBy(bench.ecu().memory()));
        std::vector<std::string> arguments{"calibrate", "--upload", "--trace", "--lang", "en"};
        if (!backupRead) arguments.emplace_back("--no-backup-read");
        const CommandRun run = bench.run(arguments);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_NE(test::CurveHeldBy(bench.ecu().memory()), test::CurveHeldBy(sim::EcuMemory())) << "not uploaded";
        const std::vector<TraceLine> sent = SentLines(run.err);
        const auto calibrationStart = std::find_if(sent.begin(), sent.end(), [](const TraceLine& t) {
            return t.bytes == frames::kCalibrationBeginCommand;
        });
        ASSERT_NE(calibrationStart, sent.end());
        EXPECT_EQ(std::any_of(sent.begin(), calibrationStart,
                              [](const TraceLine& t) { return t.bytes == *frames::CurveBlockRequest(16); }),
                  backupRead);

        const auto store = history::HistoryStore::Open(history::HistoryFileIn(bench.programDir()));
        ASSERT_TRUE(store);
        const std::vector<history::Record> records = store->list({});  // newest first
        ASSERT_FALSE(records.empty());
        const auto write = store->find(records.front().id);
        ASSERT_EQ(write->kind, history::Kind::CurveWrite);
        EXPECT_EQ(write->result, "equal");
        const auto before = std::find_if(records.begin(), records.end(), [](const history::Record& r) {
            return r.kind == history::Kind::EcuCurveBeforeWrite;
        });
        if (!backupRead) {
            EXPECT_EQ(before, records.end());
            EXPECT_EQ(write->detail, "ECU curve before: not known");
            continue;
        }
        ASSERT_NE(before, records.end());
        EXPECT_EQ(store->find(before->id)->curveText, held);
        EXPECT_EQ(write->detail, "ECU curve before: ecu-curve-before-write " + before->time);
    }
}

}  // namespace
}  // namespace gasecu
