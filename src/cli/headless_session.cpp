#include "cli/headless_session.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <cerrno>
#include <cstdio>

#include "curve/curve_file_io.h"
#include "link/remembered_port.h"
#include "cli/trace_port.h"
#include "window/qt_serial_port.h"
#include "window/qt_session_loop.h"
#include "virtual_ecu.h"
#include "virtual_port.h"

namespace gasecu::cli {

namespace {

// An ECU that answered once and then gives no reply for this long while a
// command waits on it has stopped answering (the window would wait for ever).
constexpr int kSilenceLimitMs = 5000;
// A scan of fifteen ports takes 32 ticks, about 16 s; long past that something
// is wrong with the timers, and a script must not hang on it.
constexpr int kScanLimitMs = 60000;
// The virtual ECU of --simulate answers on the first port.
constexpr int kSimulatedPort = 1;

}  // namespace

SessionSurroundings ProgramSurroundings() {
    // The window's files: its own directory, or the per-user data directory when
    // that cannot be written.
    SessionSurroundings s;
    s.programDirectory = curve::PathFromUtf8(QCoreApplication::applicationDirPath().toStdString());
    s.installedDataDirectory = InstalledDataDirectoryFor(s.programDirectory);
    s.userDataDirectory =
        curve::PathFromUtf8(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString());
    return s;
}

HeadlessSession::HeadlessSession(const Options& options, SessionSurroundings surroundings)
    : options_(options), surroundings_(std::move(surroundings)), ownLoop_(qt::MakeQtSessionLoop()) {
    loop_ = ownLoop_.get();
    if (options_.simulate) {
        ownEcu_ = std::make_unique<sim::VirtualEcu>();
        ecu_ = ownEcu_.get();
        ownLine_ = sim::LineWithEcuOnPort(loop_->scheduler(), *ecu_, kSimulatedPort);
    } else {
        ownLine_ = std::make_unique<QtSerialPort>(options_.portDevices);
    }
    line_ = ownLine_.get();
    start();
}

HeadlessSession::HeadlessSession(const Options& options, SessionSurroundings surroundings, SessionLoop& loop,
                                 SerialPort& line, sim::VirtualEcu* ecu)
    : options_(options), surroundings_(std::move(surroundings)), loop_(&loop), ecu_(ecu), line_(&line) {
    start();
}

void HeadlessSession::start() {
    startMs_ = loop_->scheduler().nowMs();
    self_ = std::make_shared<HeadlessSession*>(this);
    std::function<void(const std::string&)> traceSink;
    if (options_.trace) traceSink = [this](const std::string& line) { writeLine(surroundings_.err, line); };
    port_ = std::make_unique<TracingPort>(*line_, [this] { return nowMs(); }, std::move(traceSink));
    port_->setAfterEvent([this] { afterHandler(Event::Receive); });

    // The load rewrites the default curve "Cur_00.txt" just as the window does at
    // every start; the stored language is only read.
    FormEnvironment env;
    env.programDirectory = surroundings_.programDirectory;
    env.installedDataDirectory = surroundings_.installedDataDirectory;
    env.userDataDirectory = surroundings_.userDataDirectory;
    env.clock = surroundings_.clock;
    env.port = port_.get();
    env.fileDialogs = &dialogs_;
    // factory-reset --yes is the fitter's Yes to the window's question; no other
    // command ever answers it.
    questions_ = std::make_unique<ScriptedQuestions>(options_.yes);
    env.questions = questions_.get();
    // A command never asks about the curve: it changes the curve only as its
    // command line says, and no one sits at the screen to answer.
    env.askBeforeDroppingCurve = false;
    // Every run keeps its restore points, labelled as --label says (no label
    // without it: a script never takes over the window's last job).
    env.keepHistory = true;
    env.jobLabel = options_.label.value_or("");
    env.decimalSeparator = '.';  // what scripts read must not depend on the locale
    env.portMemory = link::PortMemoryFor(options_.simulate, !options_.portDevices.empty());
    form_ = std::make_unique<Form1Korvane>(std::move(env));

    loop_->attachTimers(*form_, [this] { afterHandler(Event::Tick); });

    // The form's constructor gave every control its design-time state; then the
    // load event, as the window runs it.
    form_->Form_Load();
    if (options_.language) {
        // For this run only: "Dilsecim" keeps the fitter's choice.
        form_->LanguageIndex = *options_.language;
        form_->ApplyLanguageIndex();
    }
    lastStatus_ = form_->KomutSatırı.text;  // the banner is no news
    lastState_ = form_->SequencerState;
}

// No tick may reach a form that is going; then the members in reverse order.
HeadlessSession::~HeadlessSession() {
    loop_->detachTimers();
    self_.reset();
}

double HeadlessSession::nowMs() const { return loop_->scheduler().nowMs() - startMs_; }

void HeadlessSession::watchSilence() {
    const std::uint64_t watch = ++silenceWatch_;
    loop_->scheduler().schedule(kSilenceLimitMs, [self = std::weak_ptr(self_), watch] {
        const auto alive = self.lock();
        if (!alive) return;
        HeadlessSession& s = **alive;
        if (watch != s.silenceWatch_ || !s.check_) return;
        s.say("EKÜ 5 SANİYEDİR CEVAP VERMİYOR !", "THE ECU HAS NOT ANSWERED FOR 5 SECONDS !");
        s.finishWait(kExitEcuSilent);
    });
}

void HeadlessSession::press(void (Form1Korvane::*handler)()) {
    (form_.get()->*handler)();
    afterHandler(Event::Press);
}

void HeadlessSession::press(const std::function<void(Form1Korvane&)>& handler) {
    handler(*form_);
    afterHandler(Event::Press);
}

int HeadlessSession::waitUntil(Check check) {
    check_ = std::move(check);
    finished_.reset();
    if (auto status = check_(Event::Press)) {
        check_ = nullptr;
        return *status;
    }
    const int status = loop_->run();
    check_ = nullptr;
    return finished_.value_or(status);
}

void HeadlessSession::finishWait(int status) {
    if (finished_) return;
    finished_ = status;
    loop_->stop(status);
}

void HeadlessSession::afterHandler(Event event) {
    Form1Korvane& f = *form_;
    // The probe's answer arrived: step 11 has just moved to 12.
    if (!foundPort_ && f.SequencerState == 12) {
        foundPort_ = f.ScanPort;
        watchSilence();
    }
    if (foundPort_ && event == Event::Receive) watchSilence();
    liveSampleNow_ = event == Event::Receive && f.LiveSampleCount != lastLiveSamples_;
    lastLiveSamples_ = f.LiveSampleCount;
    if (f.DroppedReplyCount != lastDroppedReplies_) {
        lastDroppedReplies_ = f.DroppedReplyCount;
        port_->note(f.LastDroppedReply == Form1Korvane::DroppedReply::Second
                        ? "dropped: a second reply to the same request"
                        : "dropped: no request awaits these bytes");
    }

    echoStatusAndProgress();

    // A check may press a button itself; that press only echoes.
    if (inHandlerEcho_ || !check_ || finished_) return;
    inHandlerEcho_ = true;
    std::optional<int> status;
    if (foundPort_ && f.SequencerState == 1000 && !f.ExitRequested) {
        // The adapter went away under the open port (the status line said so).
        status = kExitEcuSilent;
    } else {
        status = check_(event);
    }
    inHandlerEcho_ = false;
    if (status) finishWait(*status);
}

void HeadlessSession::echoStatusAndProgress() {
    Form1Korvane& f = *form_;
    if (f.KomutSatırı.text != lastStatus_) {
        lastStatus_ = f.KomutSatırı.text;
        if (!lastStatus_.empty()) writeLine(surroundings_.err, lastStatus_);
    }
    const double state = f.SequencerState;
    if (state != lastState_) {
        lastState_ = state;
        if (state == 11 && f.Iletisim) {
            // The probe went out: name the device behind the port number.
            const std::string port = "COM" + std::to_string(f.ScanPort);
            const std::string device = f.Iletisim->deviceName(f.ScanPort);
            if (device != port) {
                const std::string shown = port + " = " + (device.empty() ? "-" : device);
                say(shown, shown);
            }
        } else if (state >= 2 && state <= 7 && !f.LinkUp) {
            const std::string page = std::to_string(static_cast<int>(state) - 1);
            say("ayar sayfası " + page + " / 6", "settings page " + page + " of 6");
        }
    }
    if (f.ProgressBar8.value != lastCurveProgress_) {
        lastCurveProgress_ = f.ProgressBar8.value;
        if (lastCurveProgress_ > 0) {
            const std::string block = std::to_string(static_cast<int>(lastCurveProgress_));
            say("eğri bloğu " + block + " / 6", "curve block " + block + " of 6");
        }
    }
    // The write's bar: 11 steps, and six more while the curve is read back.
    if (f.ProgressBar7.value != lastWriteProgress_) {
        lastWriteProgress_ = f.ProgressBar7.value;
        if (lastWriteProgress_ > 0) {
            const std::string step = std::to_string(static_cast<int>(lastWriteProgress_));
            const std::string of = std::to_string(static_cast<int>(f.ProgressBar7.maximum));
            say("eğri yazma " + step + " / " + of, "curve write " + step + " of " + of);
        }
    }
}

int HeadlessSession::connect(bool untilLinkUp) {
    const std::uint64_t watch = ++scanWatch_;
    loop_->scheduler().schedule(kScanLimitMs, [self = std::weak_ptr(self_), watch] {
        const auto alive = self.lock();
        if (alive && watch == (*alive)->scanWatch_ && !(*alive)->foundPort_) (*alive)->finishWait(kExitNoEcu);
    });
    press(&Form1Korvane::ComOpenButon_Click);
    const int status = waitUntil([this, untilLinkUp](Event) -> std::optional<int> {
        const Form1Korvane& f = *form_;
        if (f.SequencerState == 1000) return foundPort_ ? kExitEcuSilent : kExitNoEcu;
        if (!foundPort_) return std::nullopt;
        // Step 12 names the port found and moves on to the settings pages.
        if (!untilLinkUp && f.SequencerState != 12) return kExitDone;
        if (untilLinkUp && f.LinkUp && f.SequencerState == 8) return kExitDone;
        return std::nullopt;
    });
    ++scanWatch_;  // the limit was for this scan only
    return status;
}

std::string HeadlessSession::foundDevice() const {
    return foundPort_ && form_->Iletisim ? form_->Iletisim->deviceName(foundPort_) : std::string();
}

bool HeadlessSession::liveSampleDecoded(Event event) const {
    const Form1Korvane& f = *form_;
    return event == Event::Receive && liveSampleNow_ && f.LinkUp && f.SequencerState == 8;
}

int HeadlessSession::pressOnceLiveValuesShow(const Press& pressed, const Check& follow) {
    bool done = false;
    return waitUntil([&](Event event) -> std::optional<int> {
        if (done) return follow(event);
        if (!liveSampleDecoded(event)) return std::nullopt;
        done = true;
        return pressed();
    });
}

void HeadlessSession::exit() {
    stopSilenceWatch();
    press(&Form1Korvane::ExitButon_Click);
}

void HeadlessSession::say(std::string_view turkish, std::string_view english) const {
    const bool inTurkish = form_ ? form_->LanguageIndex == 0 : options_.language.value_or(1) == 0;
    writeLine(surroundings_.err, std::string(inTurkish ? turkish : english));
}

bool HeadlessSession::result(const std::string& line) const {
    errno = 0;
    if (writeLine(surroundings_.out, line)) return true;
    if (!outputError_) outputError_ = errno ? errno : EIO;
    return false;
}

bool HeadlessSession::writeLine(std::FILE* stream, const std::string& line) const {
    const bool written = std::fputs(line.c_str(), stream) >= 0 && std::fputc('\n', stream) != EOF;
    return std::fflush(stream) == 0 && written;
}

}  // namespace gasecu::cli
