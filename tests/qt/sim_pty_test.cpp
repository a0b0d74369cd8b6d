// End to end: gasecu-sim on a pseudo-terminal, reached through the tool's own
// serial wrapper as if it were a USB adapter with a controller behind it.
#include <gtest/gtest.h>

#include <QProcess>
#include <string>
#include <vector>

#include "link/command_frames.h"
#include "window/qt_serial_port.h"
#include "qt/qt_test_app.h"
#include "qt/sim_process.h"

namespace gasecu {
namespace {

using test::SimProcess;
using test::WaitUntil;

struct Received {
    std::vector<Bytes> replies;
};

TEST(SimPty, AnswersTheToolsSerialWrapperWithWholeReplies) {
    test::EnsureQtApp();
    SimProcess sim({"--seed", "1", "--rpm", "2100"});
    ASSERT_FALSE(sim.path().empty()) << "gasecu-sim printed no device path";

    QtSerialPort port({sim.path()});
    ASSERT_TRUE(port.setPortNumber(1));
    ASSERT_TRUE(port.open());
    Received got;
    port.setEventHandler([&](int kind) {
        if (kind == kPortEventReceive) got.replies.push_back(port.readAll());
    });

    ASSERT_TRUE(port.send(frames::kLiveDataRequest));
    ASSERT_TRUE(WaitUntil([&] { return !got.replies.empty(); }, 5000));
    ASSERT_EQ(got.replies.size(), 1u);
    ASSERT_EQ(got.replies[0].size(), 13u);
    EXPECT_EQ(got.replies[0][1], 2);  // on petrol
    int period = got.replies[0][6] + 256 * got.replies[0][7];
    EXPECT_NEAR(15e6 / period, 2100, 25);

    // A 20-byte band block arrives as one reply, not cut after its 13th byte.
    got.replies.clear();
    ASSERT_TRUE(port.send(*frames::CurveBlockRequest(12)));
    ASSERT_TRUE(WaitUntil([&] { return !got.replies.empty(); }, 5000));
    EXPECT_EQ(got.replies[0].size(), 20u);

    port.close();
    sim.process().closeWriteChannel();  // stdin closed: the simulator ends cleanly
    ASSERT_TRUE(sim.process().waitForFinished(5000));
    EXPECT_EQ(sim.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(sim.process().exitCode(), 0);
}

TEST(SimPty, EndsCleanlyOnSigtermAndRefusesUnknownOptions) {
    test::EnsureQtApp();
    SimProcess sim({"--silent"});
    ASSERT_FALSE(sim.path().empty());
    sim.process().terminate();
    ASSERT_TRUE(sim.process().waitForFinished(5000));
    EXPECT_EQ(sim.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(sim.process().exitCode(), 0);

    // Words, and numbers past what the value is converted to (undefined behaviour
    // there), are usage errors before any terminal is opened.
    const QStringList refused[] = {{"--rpm", "fast"},     {"--seed", "1e20"},      {"--seed", "4294967296"},
                                   {"--seed", "1.5"},     {"--rpm", "1e300"},      {"--latency", "1e300"},
                                   {"--latency", "-1"}};
    for (const QStringList& arguments : refused) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        QProcess bad;
        bad.start(QStringLiteral(GASECU_SIM_BIN), arguments);
        bad.closeWriteChannel();
        ASSERT_TRUE(bad.waitForFinished(5000));
        EXPECT_EQ(bad.exitCode(), 2);
        EXPECT_TRUE(bad.readAllStandardOutput().isEmpty());
        EXPECT_TRUE(bad.readAllStandardError().contains(arguments[0].toUtf8() + " needs"));
    }
}

}  // namespace
}  // namespace gasecu
