// End to end: gasecu-sim on a pseudo-terminal, reached through the tool's own
// serial wrapper as if it were a USB adapter with a controller behind it.
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "link/command_frames.h"
#include "platform/qt/qt_serial_port.h"
#include "qt/qt_test_app.h"

namespace gasecu {
namespace {

// Turns the event loop until the condition holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    if (condition()) return true;
    QEventLoop loop;
    QTimer poll, limit;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (condition()) loop.quit();
    });
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    poll.start(1);
    limit.setSingleShot(true);
    limit.start(timeoutMs);
    loop.exec();
    return condition();
}

// The simulator as a child process; stopped by closing its stdin.
class SimProcess {
public:
    explicit SimProcess(const QStringList& arguments) {
        process_.start(QStringLiteral(GASECU_SIM_BIN), arguments);
        if (!process_.waitForStarted(10000)) return;
        if (!WaitUntil([&] { return process_.canReadLine(); }, 10000)) return;
        path_ = QString::fromLocal8Bit(process_.readLine()).trimmed().toStdString();
    }
    ~SimProcess() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    const std::string& path() const { return path_; }
    QProcess& process() { return process_; }

private:
    QProcess process_;
    std::string path_;
};

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

    QProcess bad;
    bad.start(QStringLiteral(GASECU_SIM_BIN), {"--rpm", "fast"});
    ASSERT_TRUE(bad.waitForFinished(5000));
    EXPECT_EQ(bad.exitCode(), 2);
}

}  // namespace
}  // namespace gasecu
