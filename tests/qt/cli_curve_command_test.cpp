// The headless commands that find the ECU, read and write its curve, log live
// values and calibrate, run in process on the virtual clock (HeadlessBench): the
// same parsing, checks, session and form as "gasecu COMMAND ...", with the virtual
// ECU behind the line. What is checked is what a script or the ECU would notice:
// the exit status, standard output and error, the frames the ECU received and
// their spacing, and the files written.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
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
using test::Lines;
using test::ReadFile;
using test::SentLines;
using test::TraceLine;
using test::WriteText;


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

TEST(CliCommand, ScanFindsTheEcuBehindThreeSilentPorts) {
    HeadlessBench bench(4);
    const CommandRun run = bench.run({"scan", "--lang", "en"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "COM4\n");
    // The window's status line, port by port, then the find.
    std::size_t at = 0;
    for (const std::string line : {"TRIYING TO CONNECT : COM1", "TRIYING TO CONNECT : COM2",
                                   "TRIYING TO CONNECT : COM3", "TRIYING TO CONNECT : COM4", "ECU FOUND : COM4"}) {
        at = run.err.find(line, at);
        ASSERT_NE(at, std::string::npos) << line << "\n" << run.err;
    }
}

TEST(CliCommand, ScanOverSilentPortsOnlyEndsWithNoEcu) {
    HeadlessBench bench(2);
    bench.line().attachPeer(2, nullptr);  // two ports with no cable, no others
    const CommandRun run = bench.run({"scan", "--lang", "en"});
    ASSERT_EQ(run.status, 3) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(Has(run.err, "NO CONNECTION TO ANY PORT .... !  COM1 - COM15")) << run.err;
}

TEST(CliCommand, ReadCurveSavesTheEcusCurveWithTheReadSequencesFrames) {
    HeadlessBench bench;
    const std::filesystem::path file = bench.dir() / "Cur_07.txt";
    const CommandRun run = bench.run({"read-curve", "--trace", "--lang", "en", "-o", HeadlessBench::Arg(file)});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, HeadlessBench::Arg(file) + "\n");
    EXPECT_EQ(ReadFile(file), curve::FormatCurveText(test::CurveHeldBy(sim::EcuMemory())));

    // From the read button on: the petrol command, then the head block before every
    // band block, one frame per tick, and nothing else; the ECU got just these.
    const std::vector<TraceLine> sent = SentLines(run.err);
    auto petrol = std::find_if(sent.begin(), sent.end(), [](const TraceLine& t) { return t.bytes == frames::kPetrolCommand; });
    ASSERT_NE(petrol, sent.end()) << run.err;
    std::vector<Bytes> expected{frames::kPetrolCommand};
    for (int block : {10, 12, 10, 13, 10, 14, 10, 15, 10, 16, 10, 16}) expected.push_back(*frames::CurveBlockRequest(block));
    std::vector<Bytes> read;
    for (auto it = petrol; it != sent.end(); ++it) read.push_back(it->bytes);
    EXPECT_EQ(read, expected);
    const std::vector<Bytes> received = bench.received();
    ASSERT_GE(received.size(), expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), received.end() - static_cast<long>(expected.size())));
    for (auto it = petrol + 2; it < sent.end(); ++it) EXPECT_GE(it->ms - (it - 1)->ms, 400.0) << "two frames in one tick";
    EXPECT_TRUE(Has(run.err, "curve block 6 of 6")) << run.err;
}

TEST(CliCommand, AnEcuThatFallsSilentMidReadEndsWithStatusFive) {
    HeadlessBench bench;
    // The ECU stops answering as the third band is asked for.
    bench.onFrame([&](const Bytes& frame) {
        if (frame == *frames::CurveBlockRequest(14)) bench.ecu().setSilent(true);
    });
    const std::filesystem::path file = bench.dir() / "Cur_09.txt";
    const CommandRun run = bench.run({"read-curve", "--lang", "en", "-o", HeadlessBench::Arg(file)});
    ASSERT_EQ(run.status, 5) << run.err;
    EXPECT_TRUE(Has(run.err, "curve block 2 of 6")) << run.err;
    // The window's link watch ends the read after 3 s of silence, with its message.
    EXPECT_TRUE(Has(run.err, "CURVE READ DID NOT COMPLETE : ECU NOT RESPONDING !")) << run.err;
    EXPECT_FALSE(std::filesystem::exists(file));  // half a curve is no curve
}

TEST(CliCommand, LiveWritesOneCsvRowPerLiveReplyHalfASecondApart) {
    HeadlessBench bench;
    bench.ecu().setEngineSpeed(2100);
    const std::filesystem::path csv = bench.dir() / "live.csv";
    const CommandRun run = bench.run({"live", "--count", "5", "--trace", "--csv", HeadlessBench::Arg(csv)});
    ASSERT_EQ(run.status, 0) << run.err;
    test::ExpectFiveLiveRowsOnTheReplies(ReadFile(csv), run.err, 0.5, 1.0);
}

// An ECU that answered and then goes quiet while live values are awaited: the run
// ends with status 5 after five silent seconds, and says so.
TEST(CliCommand, LiveEndsWithFiveWhenTheEcuFallsSilent) {
    HeadlessBench bench;
    int liveRequests = 0;
    bench.onFrame([&](const Bytes& frame) {
        if (frame == frames::kLiveDataRequest && ++liveRequests == 4) bench.ecu().setSilent(true);
    });
    const CommandRun run = bench.run({"live", "--count", "100", "--trace", "--lang", "en"});
    ASSERT_EQ(run.status, 5) << run.err;
    EXPECT_TRUE(Has(run.err, "THE ECU HAS NOT ANSWERED FOR 5 SECONDS !")) << run.err;
    EXPECT_FALSE(Lines(run.out).empty());  // the samples before the silence were printed
    // Five seconds from the last reply, not from the last request.
    const std::vector<TraceLine> trace = test::ParseTrace(run.err);
    auto lastReply = std::find_if(trace.rbegin(), trace.rend(), [](const TraceLine& t) { return !t.sent; });
    ASSERT_NE(lastReply, trace.rend());
    EXPECT_NEAR(bench.runner().nowMs() - lastReply->ms, 5000.0, 1.0);
}

TEST(CliCommand, LiveOnStandardOutputWithTheVirtualEcu) {
    HeadlessBench bench;
    // "--csv -" puts the log on standard output.
    const CommandRun run = bench.run({"live", "--simulate", "--count", "2", "--csv", "-"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 3u) << run.out;
    EXPECT_EQ(lines[0].substr(0, 8), "time_ms,");
    EXPECT_EQ(lines[2].substr(lines[2].rfind(',')), ",petrol");
}

TEST(CliCommand, UsageAndFileNameFaultsEndAtOnce) {
    HeadlessBench bench;
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string says;  // on standard error
    } const cases[] = {
        {{"read-curve", "--lang", "en", "-o", HeadlessBench::Arg(bench.dir() / "curve.txt")}, 4,
         "NAME OF INCORRECT FILE ! "},
        {{"read-curve"}, 2, "read-curve needs -o FILE"},
        {{"live", "--count", "none"}, 2, "--count"},
        // A log that cannot be written is refused before the 16-second scan (in
        // Turkish: no language was ever chosen here).
        {{"live", "--count", "1", "--csv", HeadlessBench::Arg(bench.dir() / "no" / "live.csv")}, 4,
         "DOSYA YAZILAMIYOR : "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        const CommandRun run = bench.run(c.arguments);
        EXPECT_EQ(run.status, c.status);
        EXPECT_TRUE(Has(run.err, c.says)) << run.err;
        EXPECT_EQ(run.out, "");
    }
    EXPECT_FALSE(std::filesystem::exists(bench.dir() / "curve.txt"));
    EXPECT_TRUE(bench.received().empty());

    const CommandRun help = bench.run({"help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(Has(help.out, "gasecu read-curve -o FILE")) << help.out;
}

TEST(CliCommand, AnOutputFileThatCannotBeWrittenIsRefusedBeforeAnyPortIsOpened) {
    HeadlessBench bench;
    struct Case {
        std::vector<std::string> arguments;
        std::string says;
    };
    std::vector<Case> cases = {
        {{"read-curve", "-o", HeadlessBench::Arg(bench.dir() / "gone" / "Cur_05.txt")},
         "NO SUCH FOLDER, FILE NOT WRITTEN ! "},
        {{"calibrate", "-o", HeadlessBench::Arg(bench.dir() / "Cur_00.txt")},
         "Cur_00.txt IS REWRITTEN AT EVERY START, CHOOSE ANOTHER NAME ! "},
        {{"calibrate", "-o", HeadlessBench::Arg(bench.dir() / "gone" / "Cur_05.txt")},
         "NO SUCH FOLDER, FILE NOT WRITTEN ! "},
    };
#ifndef _WIN32  // a link onto a device: Windows programs make no such link
    std::filesystem::create_symlink(test::MakeDeviceOrPipe(bench.dir() / "device"), bench.dir() / "Cur_11.txt");
    cases.push_back({{"read-curve", "-o", HeadlessBench::Arg(bench.dir() / "Cur_11.txt")},
                     "THIS NAME IS NOT A PLAIN FILE, NOT WRITTEN ! "});
#endif
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.end(), {"--lang", "en"});
        const CommandRun run = bench.run(arguments);
        ASSERT_EQ(run.status, 4) << run.err;
        EXPECT_TRUE(Has(run.err, c.says)) << run.err;
        EXPECT_FALSE(Has(run.err, "TRIYING TO CONNECT")) << run.err;
    }
    EXPECT_TRUE(bench.received().empty());
#ifndef _WIN32
    EXPECT_TRUE(std::filesystem::is_symlink(bench.dir() / "Cur_11.txt"));
#endif
    EXPECT_FALSE(std::filesystem::exists(bench.dir() / "Cur_00.txt"));
}

TEST(CliCommand, WriteCurveWritesTheFileAndAReadBackShowsTheSameCurve) {
    HeadlessBench bench;
    const std::filesystem::path file = bench.dir() / "Cur_05.txt";
    WriteText(file, curve::FormatCurveText(CurveForTheEcu()));

    const CommandRun run = bench.run({"write-curve", HeadlessBench::Arg(file), "--trace", "--lang", "en"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, HeadlessBench::Arg(file) + "\n");
    EXPECT_TRUE(Has(run.err, "NO ERRORS ! ")) << run.err;
    EXPECT_TRUE(Has(run.err, "curve write 17 of 17")) << run.err;

    // From the write-start command on: 27 frames one tick apart, then the read back.
    const std::vector<TraceLine> sent = SentLines(run.err);
    auto start = std::find_if(sent.begin(), sent.end(), [](const TraceLine& t) { return t.bytes == frames::kWriteStartCommand; });
    ASSERT_GE(sent.end() - start, 28) << run.err;
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
    EXPECT_EQ(bench.ecu().counters().blocksStored, 7u);

    // The ECU keeps it: a separate read brings the same curve back.
    const std::filesystem::path back = bench.dir() / "Cur_06.txt";
    const CommandRun read = bench.run({"read-curve", "--lang", "en", "-o", HeadlessBench::Arg(back)});
    ASSERT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(ReadFile(back), ReadFile(file));
}

// The curve the ECU held is read and kept before the write, and the write's record
// names that record (kind and time); without the read it says it is not known.
TEST(CliCommand, WriteCurveKeepsTheEcusCurveBeforeItAsARestorePoint) {
    struct Case {
        const char* name;
        std::vector<std::string> extra;
        std::vector<std::pair<history::Kind, std::string>> records;  // oldest first
        bool namesTheOneBefore;  // the write's detail; else "not known"
    };
    const std::string held = curve::FormatCurveText(test::CurveHeldBy(sim::EcuMemory()));
    const std::string written = curve::FormatCurveText(CurveForTheEcu());
    using history::Kind;
    const Case cases[] = {
        {"read first",
         {},
         {{Kind::CurveRead, held}, {Kind::FileLoad, written}, {Kind::EcuCurveBeforeWrite, held},
          {Kind::CurveWrite, written}},
         true},
        {"--no-backup-read",
         {"--no-backup-read"},
         {{Kind::FileLoad, written}, {Kind::CurveWrite, written}},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HeadlessBench bench;
        const std::filesystem::path file = bench.dir() / "Cur_05.txt";
        WriteText(file, written);
        std::vector<std::string> arguments{"write-curve", HeadlessBench::Arg(file), "--trace", "--lang", "en"};
        arguments.insert(arguments.end(), c.extra.begin(), c.extra.end());
        const CommandRun run = bench.run(arguments);
        ASSERT_EQ(run.status, 0) << run.err;
        // No curve block is asked for before the write unless the read runs.
        const std::vector<TraceLine> sent = SentLines(run.err);
        const auto start = std::find_if(sent.begin(), sent.end(),
                                        [](const TraceLine& t) { return t.bytes == frames::kWriteStartCommand; });
        EXPECT_EQ(std::any_of(sent.begin(), start,
                              [](const TraceLine& t) { return t.bytes == *frames::CurveBlockRequest(16); }),
                  c.extra.empty());

        const auto store = history::HistoryStore::Open(history::HistoryFileIn(bench.programDir()));
        ASSERT_TRUE(store);
        std::vector<history::Record> records = store->list({});
        std::reverse(records.begin(), records.end());
        ASSERT_EQ(records.size(), c.records.size() + 1);  // after the connect's settings read
        for (std::size_t i = 0; i < c.records.size(); ++i) {
            const auto record = store->find(records[i + 1].id);
            ASSERT_TRUE(record);
            EXPECT_EQ(record->kind, c.records[i].first) << i;
            EXPECT_EQ(record->curveText, c.records[i].second) << i;
        }
        const auto write = store->find(records.back().id);
        EXPECT_EQ(write->result, "equal");
        EXPECT_EQ(write->detail, c.namesTheOneBefore
                                     ? "ECU curve before: ecu-curve-before-write " + records[records.size() - 2].time
                                     : "ECU curve before: not known");
    }
}

TEST(CliCommand, WriteCurveWithABlockLostOnTheWayInEndsWithStatusSix) {
    HeadlessBench bench;
    bench.ecu().dropNextBlockWrite(14);
    const std::filesystem::path file = bench.dir() / "Cur_05.txt";
    WriteText(file, curve::FormatCurveText(CurveForTheEcu()));

    const CommandRun run = bench.run({"write-curve", HeadlessBench::Arg(file), "--lang", "en"});
    ASSERT_EQ(run.status, 6) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(Has(run.err, "CURVE CHECK FAILED : 4000 RPM POINT 1 READ BACK DIFFERENT ! ")) << run.err;
    EXPECT_FALSE(Has(run.err, "NO ERRORS")) << run.err;
}

TEST(CliCommand, WriteCurveRefusesAnUnwritableCurveBeforeOpeningAnyPort) {
    HeadlessBench bench;
    CurveRows rows = CurveForTheEcu();
    rows[4][7] = rows[4][6] - 2;  // the 2000 rpm band falls at point 7
    const std::filesystem::path falling = bench.dir() / "Cur_05.txt";
    WriteText(falling, curve::FormatCurveText(rows));
    const std::filesystem::path cut = bench.dir() / "Cur_08.txt";
    WriteText(cut, curve::FormatCurveText(CurveForTheEcu()).substr(0, 200));
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string says;
    } const cases[] = {
        {{"write-curve", HeadlessBench::Arg(falling), "--lang", "en"}, 4,
         "CURVE CANNOT BE WRITTEN : 2000 RPM POINT 7 LOWER THAN THE POINT BEFORE ! "},
        // A file cut short, and no file at all: refused the same way.
        {{"write-curve", HeadlessBench::Arg(cut), "--lang", "en"}, 4, "FILE ERROR ! "},
        {{"write-curve", "--lang", "en"}, 2, "write-curve"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        const CommandRun run = bench.run(c.arguments);
        ASSERT_EQ(run.status, c.status) << run.err;
        EXPECT_TRUE(Has(run.err, c.says)) << run.err;
        EXPECT_FALSE(Has(run.err, "TRIYING TO CONNECT")) << run.err;
    }
    EXPECT_TRUE(bench.received().empty());
}

}  // namespace
}  // namespace gasecu
