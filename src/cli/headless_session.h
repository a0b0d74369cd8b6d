#pragma once
// One headless run of the tool: the window's form without its widgets. In the
// program it runs on a QCoreApplication with the real QTimers and the real serial
// wrapper (or the virtual ECU with --simulate); the tests give it the virtual-time
// runner and a virtual port instead. Commands "press" the same buttons the fitter
// presses by calling the form's handlers, and wait on the loop for the form to
// reach the state they need. Nothing about the frames or their pacing differs
// from the window: the sequencer does all the talking.
//
// While it runs the session echoes the window's status line and the progress
// of the long exchanges on standard error, and ends a wait with exit status 5
// when an ECU that answered gives no reply for 5 s.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/form1korvane.h"
#include "cli/command_line.h"
#include "app/session_loop.h"

namespace gasecu::sim {
class VirtualEcu;
}

namespace gasecu::cli {

class TracingPort;

// The file dialog of a headless run: it answers with the path the command line gave.
class AnsweringFileDialogs final : public FileDialogs {
public:
    void setAnswer(std::string path) { answer_ = std::move(path); }
    std::string showOpen(const FileDialogControl&) override { return answer_; }
    std::string showSave(const FileDialogControl&) override { return answer_; }

private:
    std::string answer_;
};

// What a run stands on besides its command line: the folders of the window's
// files, where its output goes and the clocks of its time stamps.
struct SessionSurroundings {
    // See FormEnvironment.
    std::filesystem::path programDirectory;
    std::filesystem::path installedDataDirectory;
    std::filesystem::path userDataDirectory;
    std::FILE* out = stdout;  // results (and "--csv -")
    std::FILE* err = stderr;  // messages, progress and the trace
    Clock* clock = nullptr;   // null: the PC's clocks; not owned
};

// The program's: the folders beside the executable and the per-user data folder,
// standard output and error. Needs the QCoreApplication.
SessionSurroundings ProgramSurroundings();

class HeadlessSession {
public:
    enum class Event { Press, Tick, Receive };
    // Asked after every handler; a value ends the wait with that exit status.
    using Check = std::function<std::optional<int>(Event)>;

    // The program's run: Qt's loop, and the serial devices (or --simulate's ECU).
    HeadlessSession(const Options& options, SessionSurroundings surroundings);
    // A run on a given loop and line; `ecu` is the virtual ECU behind the line, if
    // the command may hold its engine (calibrate). None of them is owned; the loop
    // outlives the session.
    HeadlessSession(const Options& options, SessionSurroundings surroundings, SessionLoop& loop, SerialPort& line,
                    sim::VirtualEcu* ecu);
    ~HeadlessSession();
    HeadlessSession(const HeadlessSession&) = delete;
    HeadlessSession& operator=(const HeadlessSession&) = delete;

    Form1Korvane& form() { return *form_; }
    // The in-process virtual ECU of --simulate; null on a serial device.
    sim::VirtualEcu* virtualEcu() { return ecu_; }
    AnsweringFileDialogs& fileDialogs() { return dialogs_; }
    double nowMs() const;

    // Runs a handler of the form as a click would, then everything that follows a
    // handler (status echo, progress, the waiting command's check).
    void press(void (Form1Korvane::*handler)());
    // The same for a handler that needs an argument from the command line.
    void press(const std::function<void(Form1Korvane&)>& handler);
    // Turns the event loop until check gives an exit status.
    int waitUntil(Check check);

    // The connect button and its port scan. Returns kExitDone once the ECU
    // answered (and, with untilLinkUp, once the settings pages are read and the
    // link is up), kExitNoEcu when no port answered, kExitEcuSilent when the ECU
    // fell silent on the way.
    int connect(bool untilLinkUp);
    int foundPort() const { return foundPort_; }
    std::string foundDevice() const;

    // True right after a receive event whose live reply the form has just decoded
    // (never for bytes the form dropped as no answer to anything).
    bool liveSampleDecoded(Event event) const;

    // The fitter's click once live values show: after the first live reply,
    // between two ticks, `press` runs once; a status from it ends the wait at once
    // (the click started nothing). Then `follow` is asked after every event until
    // it gives the exit status.
    using Press = std::function<std::optional<int>()>;
    int pressOnceLiveValuesShow(const Press& press, const Check& follow);

    // The exit button: timers stop, the port closes.
    void exit();

    // A message in the chosen language, to standard error.
    void say(std::string_view turkish, std::string_view english) const;
    // To standard output; false when it could not be written (the program's end
    // says so and exits 4).
    bool result(const std::string& line) const;
    // The errno of the first result line that could not be written; 0 when none.
    int outputError() const { return outputError_; }
    // Standard output as this run has it (where "--csv -" goes).
    std::FILE* standardOutput() const { return surroundings_.out; }

private:
    void start();
    void afterHandler(Event event);
    void echoStatusAndProgress();
    void finishWait(int status);
    bool writeLine(std::FILE* stream, const std::string& line) const;
    // The silence watch: restarted by every reply once the ECU answered.
    void watchSilence();
    void stopSilenceWatch() { ++silenceWatch_; }

    // Torn down in the reverse order: the form before its ports, the ports before
    // the ECU and the loop (the timers are detached first, in the destructor).
    Options options_;
    SessionSurroundings surroundings_;
    std::unique_ptr<SessionLoop> ownLoop_;
    SessionLoop* loop_ = nullptr;
    double startMs_ = 0;
    std::unique_ptr<sim::VirtualEcu> ownEcu_;
    sim::VirtualEcu* ecu_ = nullptr;
    std::unique_ptr<SerialPort> ownLine_;
    SerialPort* line_ = nullptr;
    std::unique_ptr<TracingPort> port_;
    AnsweringFileDialogs dialogs_;
    // The window's Yes/No questions: only factory-reset --yes answers Yes.
    std::unique_ptr<ScriptedQuestions> questions_;
    std::unique_ptr<Form1Korvane> form_;
    // Held by what waits on the scheduler: a session that is gone is not called.
    std::shared_ptr<HeadlessSession*> self_;

    Check check_;
    bool inHandlerEcho_ = false;
    std::optional<int> finished_;

    // The ECU answered its probe: from here on every wait expects replies.
    int foundPort_ = 0;
    // Each start of the silence or scan watch outdates the ones before.
    std::uint64_t silenceWatch_ = 0;
    std::uint64_t scanWatch_ = 0;
    std::string lastStatus_;
    double lastState_ = 0;
    float lastCurveProgress_ = 0;
    // The form's counts at the last event: a live reply decoded, bytes dropped.
    std::uint64_t lastLiveSamples_ = 0;
    std::uint64_t lastDroppedReplies_ = 0;
    bool liveSampleNow_ = false;
    float lastWriteProgress_ = 0;
    mutable int outputError_ = 0;
};

}  // namespace gasecu::cli
