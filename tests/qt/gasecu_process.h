#pragma once
// One run of the gasecu program's headless commands as a child process of a Qt
// test, with its output gathered while it runs, and the --port arguments that put
// gasecu-sim processes on COM1, COM2, ...
#include <QProcess>
#include <QStringList>
#include <string>
#include <vector>

#include "qt/qt_test_app.h"
#include "qt/sim_process.h"

namespace gasecu::test {

// One run of gasecu COMMAND ...; its output is gathered while it runs.
class Gasecu {
public:
    explicit Gasecu(const QStringList& arguments) {
        QObject::connect(&process_, &QProcess::readyReadStandardOutput,
                         [this] { out_ += process_.readAllStandardOutput().toStdString(); });
        QObject::connect(&process_, &QProcess::readyReadStandardError,
                         [this] { err_ += process_.readAllStandardError().toStdString(); });
        process_.start(QStringLiteral(GASECU_BIN), arguments);
        process_.waitForStarted(10000);
    }
    ~Gasecu() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    // The exit status, or -1 when it had not ended within the time.
    int finish(int timeoutMs) {
        if (!WaitUntil([&] { return process_.state() == QProcess::NotRunning; }, timeoutMs)) return -1;
        out_ += process_.readAllStandardOutput().toStdString();
        err_ += process_.readAllStandardError().toStdString();
        return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
    }
    bool errorShows(const std::string& text, int timeoutMs) {
        return WaitUntil([&] { return err_.find(text) != std::string::npos; }, timeoutMs);
    }
    const std::string& out() const { return out_; }
    const std::string& err() const { return err_; }

private:
    QProcess process_;
    std::string out_, err_;
};

inline QStringList Ports(const std::vector<const SimProcess*>& sims) {
    QStringList arguments;
    for (const SimProcess* sim : sims) arguments << "--port" << QString::fromStdString(sim->path());
    return arguments;
}

}  // namespace gasecu::test
