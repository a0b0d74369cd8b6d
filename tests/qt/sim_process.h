#pragma once
// gasecu-sim as a child process of a Qt test: started with the given options, its
// pseudo-terminal's path read from the first line it prints. Its stdin stays open
// while the test runs, so if the test program dies the pipe closes and the
// simulator ends with it; the destructor kills what is still running.
#include <QProcess>
#include <QStringList>
#include <string>

namespace gasecu::test {

class SimProcess {
public:
    explicit SimProcess(const QStringList& arguments = {});
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // The device to open; empty when the simulator did not start or printed nothing.
    const std::string& path() const { return path_; }
    QProcess& process() { return process_; }
    // Freezes the controller (SIGSTOP): the line stays open, nothing answers.
    void freeze();

private:
    QProcess process_;
    std::string path_;
};

}  // namespace gasecu::test
