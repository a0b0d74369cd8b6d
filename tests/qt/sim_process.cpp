#include "qt/sim_process.h"

#include <signal.h>

#include "qt/qt_test_app.h"

namespace gasecu::test {

SimProcess::SimProcess(const QStringList& arguments) {
    process_.start(QStringLiteral(GASECU_SIM_BIN), arguments);
    if (!process_.waitForStarted(10000)) return;
    if (!WaitUntil([&] { return process_.canReadLine(); }, 10000)) return;
    path_ = QString::fromLocal8Bit(process_.readLine()).trimmed().toStdString();
}

SimProcess::~SimProcess() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.kill();
    process_.waitForFinished(5000);
}

void SimProcess::freeze() { ::kill(static_cast<pid_t>(process_.processId()), SIGSTOP); }

}  // namespace gasecu::test
