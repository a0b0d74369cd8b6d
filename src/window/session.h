#pragma once
// One run of the tool with its window: the serial line (a real adapter or the
// virtual ECU), the form and the window, built and torn down in the right order.
// The application entry makes one; the window tests make their own.
#include <QObject>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/form1korvane.h"
#include "app/session_loop.h"
#include "platform/forwarding_serial_port.h"

class QWidget;

namespace gasecu {
class QtFileDialogs;
class VirtualEnginePanel;
}
namespace gasecu::sim {
class VirtualEcu;
}

namespace gasecu::qt {

class MainWindow;
class QtQuestions;
class QtSessionLoop;
class QtTimers;

struct SessionOptions {
    // Devices named with --port: they take port numbers 1, 2, ... before the
    // devices the system reports.
    std::vector<std::string> portDevices;
    // The virtual ECU in process, on the loop's clock, instead of a serial adapter.
    bool simulate = false;
    // The port number the virtual ECU answers on: the scan visibly walks the
    // empty ports before it.
    int simulatedPortNumber = 3;
    // The small window with the virtual engine's controls (simulate only).
    bool showEnginePanel = true;
    std::filesystem::path programDirectory;
    std::filesystem::path userDataDirectory;
    std::filesystem::path installedDataDirectory;  // see FormEnvironment
    char decimalSeparator = '.';
    // --lang: 0 Turkish, 1 English for this run; unset: the stored choice.
    // "Dilsecim" keeps the fitter's own choice either way.
    std::optional<int> language;
    // The loop the form's timers and the virtual ECU's replies run on; null: the
    // program's own (Qt's event loop, real time). Not owned; outlives the session.
    SessionLoop* loop = nullptr;
    // Time stamps of the data log and the trend, the link indicator's age; null:
    // the PC's clocks. Not owned.
    Clock* clock = nullptr;
};

class Session {
public:
    explicit Session(SessionOptions options);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    Form1Korvane& form() { return *form_; }
    MainWindow& window() { return *window_; }
    bool simulated() const { return ecu_ != nullptr; }
    // The virtual ECU of --simulate, null otherwise.
    sim::VirtualEcu* ecu() { return ecu_.get(); }
    // The virtual engine's window of --simulate, null when not shown.
    VirtualEnginePanel* enginePanel() { return panel_.get(); }
    // The Yes/No questions the form asks (closing while connected, ...).
    QtQuestions& questions() { return *questions_; }
    // The real QTimers behind the form's timers; null when the session was given
    // a loop of its own (the tests' virtual time).
    const QtTimers* realTimers() const;
    // Shows the window (and the engine panel beside it).
    void show();

private:
    // Torn down in the reverse order: the panel and the window before the form and
    // the ECU they show, the form before its ports, the loop last.
    SessionOptions options_;
    std::unique_ptr<QtSessionLoop> ownLoop_;
    SessionLoop* loop_ = nullptr;
    std::unique_ptr<sim::VirtualEcu> ecu_;
    std::unique_ptr<SerialPort> line_;
    // The form's port: the window mirrors the controls after every receive event.
    std::unique_ptr<ForwardingSerialPort> port_;
    // CommonDialog1 and the Yes/No questions, over the window.
    std::unique_ptr<QtFileDialogs> dialogs_;
    std::unique_ptr<QtQuestions> questions_;
    std::unique_ptr<Form1Korvane> form_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<VirtualEnginePanel> panel_;
};

}  // namespace gasecu::qt
