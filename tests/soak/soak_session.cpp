// The random-use soak's session: it wires the form to the virtual ECU, runs the
// fitter's moves and the line's faults on the virtual clock, and after every
// event checks the rules a fitter relies on (frames only from events, the curve
// changed only by what may change it, every value one a curve file can keep).
#include "soak/soak_session.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <variant>

#include "app/control_registry.h"
#include "calibration/calibration_steps.h"
#include "curve/curve_text.h"
#include "link/frame_check.h"
#include "window/event_table.h"
#include "curve/curve_file_io.h"

namespace gasecu::test {

namespace {

constexpr double kLongestReturnToPollingMs = 900000;  // a calibration run ends well within
constexpr double kConnectAgainAfterMs = 30000;
constexpr double kStopCalibrationAfterMs = 120000;
constexpr std::size_t kActionsKept = 30;

std::string Hex(const Bytes& bytes) {
    std::ostringstream out;
    for (std::uint8_t b : bytes) out << static_cast<int>(b) << ' ';
    return out.str();
}

std::string StepText(double step) {
    std::ostringstream out;
    out << step;
    return out.str();
}

bool CurveFinite(const CurveRows& table) {
    for (const auto& row : table)
        for (double v : row)
            if (!std::isfinite(v)) return false;
    return true;
}

}  // namespace

// The file dialogs answer with any of the names a fitter might pick: good and
// faulty curve files, a missing one, the default curve, names the tool refuses,
// a folder, a cancelled dialog.
class SoakSession::Dialogs : public FileDialogs {
public:
    Dialogs(SoakSession& session, const std::filesystem::path& dir) : session_(session) {
        for (const char* name : {"Cur_01.txt", "Cur_02.txt", "Cur_03.txt", "Cur_00.txt", "eğri_05.txt",
                                 "Cur_09.txt", "yok/Cur_04.txt", "Müşteri/Cur_06.txt"})
            choices_.push_back(curve::Utf8FromPath(dir / curve::PathFromUtf8(name)));
        choices_.push_back("*.txt");
        choices_.push_back("");
        std::filesystem::create_directories(dir / "Cur_09.txt");  // a folder under a curve name
        std::filesystem::create_directories(dir / u8"Müşteri");
        std::ofstream(dir / "Cur_02.txt", std::ios::binary) << "4 25 116 \r\n30 60 x \r\n";
        std::ofstream(dir / u8"Müşteri/Cur_06.txt", std::ios::binary)
            << "4 25 116 110 134 122 \r\n"
            << []() {
                   std::string lines;
                   for (int r = 0; r < 7; ++r) {
                       for (int p = 1; p <= 18; ++p) lines += std::to_string(40 + r * 7 + p * 11) + " ";
                       lines += "\r\n";
                   }
                   return lines;
               }()
            << "<::::> \r\n";
    }
    std::string showOpen(const FileDialogControl&) override { return pick("open"); }
    std::string showSave(const FileDialogControl&) override { return pick("save"); }

private:
    std::string pick(const char* what) {
        const std::string& choice = choices_[static_cast<std::size_t>(session_.draw(static_cast<int>(choices_.size())))];
        session_.note(std::string(what) + " dialog answers '" + choice + "'");
        return choice;
    }
    SoakSession& session_;
    std::vector<std::string> choices_;
};

class SoakSession::Answers : public Questions {
public:
    explicit Answers(SoakSession& session) : session_(session) {}
    bool askYesNo(const YesNoQuestion& question) override {
        const bool yes = session_.draw(2) == 0;
        session_.note("asked '" + question.text + "': " + (yes ? question.yes : question.no));
        return yes;
    }
    SaveChoice askSaveDiscardCancel(const SaveDiscardCancelQuestion& question) override {
        const int answer = session_.draw(3);
        session_.note("asked '" + question.text + "': " +
                      (answer == 0 ? question.save : answer == 1 ? question.discard : question.cancel));
        return answer == 0 ? SaveChoice::Save : answer == 1 ? SaveChoice::Discard : SaveChoice::Cancel;
    }

private:
    SoakSession& session_;
};

SoakSession::SoakSession(std::uint32_t seed, const std::string& referenceCurve)
    : seed_(seed), rng_(seed), h_('.', seed % 2) {
    std::filesystem::copy_file(referenceCurve, h_.dir.path() / "ORJ.DAT",
                               std::filesystem::copy_options::overwrite_existing);
    // The first good curve file is the one the tool wrote at start-up.
    std::filesystem::copy_file(h_.dir.path() / "Cur_00.txt", h_.dir.path() / "Cur_01.txt");
    dialogs_ = std::make_unique<Dialogs>(*this, h_.dir.path());
    answers_ = std::make_unique<Answers>(*this);
    h_.ecu = sim::VirtualEcu(seed);
    wire();
    curveBefore_ = h_.form.CurveTable;
}

SoakSession::~SoakSession() {
    h_.form.env.fileDialogs = nullptr;
    h_.form.env.questions = nullptr;
}

int SoakSession::draw(int below) { return std::uniform_int_distribution<int>(0, below - 1)(rng_); }

void SoakSession::note(std::string action) {
    std::ostringstream line;
    line << h_.runner.nowMs() / 1000.0 << " s  " << action;
    lastActions_.push_back(line.str());
    if (lastActions_.size() > kActionsKept) lastActions_.pop_front();
}

void SoakSession::fail(const std::string& what) {
    if (failure_) return;
    std::ostringstream out;
    out << "at " << h_.runner.nowMs() / 1000.0 << " s (step " << h_.form.SequencerState << "): " << what
        << "\nthe last actions:\n";
    for (const std::string& a : lastActions_) out << "  " << a << "\n";
    failure_ = out.str();
}

void SoakSession::wire() {
    Form1Korvane& f = h_.form;
    f.env.fileDialogs = dialogs_.get();
    f.env.questions = answers_.get();
    h_.port.setSentObserver([this](int port, const Bytes& frame) {
        ++figures_.framesSent;
        ++framesThisEvent_;
        if (const auto fault = frames::CheckToolFrame(frame); fault != frames::FrameFault::None)
            fail("unsound frame on COM" + std::to_string(port) + " (" + std::string(frames::FrameFaultName(fault)) +
                 "): " + Hex(frame));
        if (source_ == Source::None) fail("frame sent outside any event: " + Hex(frame));
    });
    // Every way in is wrapped, so the rules are checked after each event.
    f.Timer1.setTickHandler([this] { event(Source::Timer1, [this] { h_.form.SequencerTick(); }); });
    f.Timer2.setTickHandler([this] { event(Source::Timer2, [this] { h_.form.CurveEditTick(); }); });
    f.Timer3.setTickHandler([this] { event(Source::Timer3, [this] { h_.form.CurveRedraw(); }); });
    f.Timer4.setTickHandler([this] { event(Source::Timer4, [this] { h_.form.CalibrationTick(); }); });
    f.Timer5.setTickHandler([this] { event(Source::Timer5, [this] { h_.form.CurveRepeatPoller(); }); });
    h_.port.setEventHandler([this](int kind) { event(Source::Receive, [this, kind] { h_.form.Iletisim_OnComm(kind); }); });
    h_.port.setDeviceLostHandler([this] { event(Source::DeviceLost, [this] { h_.form.Iletisim_DeviceLost(); }); });
}

void SoakSession::event(Source source, const std::function<void()>& body) {
    // Pulling the adapter (an action) reports the loss at once: an event inside an
    // event, checked on its own.
    const Source outer = source_;
    const int outerFrames = framesThisEvent_;
    const CurveRows outerCurve = curveBefore_;
    source_ = source;
    framesThisEvent_ = 0;
    curveBefore_ = h_.form.CurveTable;
    const double stepBefore = h_.form.SequencerState;
    body();
    afterEvent(source, stepBefore);
    source_ = outer;
    framesThisEvent_ = outerFrames;
    curveBefore_ = outer == Source::None ? h_.form.CurveTable : outerCurve;
}

void SoakSession::afterEvent(Source source, double stepBefore) {
    const Form1Korvane& f = h_.form;
    static const char* const kNames[] = {"?", "action", "sequencer tick", "curve edit tick", "redraw tick",
                                         "calibration tick", "hold-repeat tick", "receive event", "device loss"};
    const std::string name = kNames[static_cast<int>(source)];
    if (source == Source::Timer1) ++figures_.sequencerTicks;

    const int allowed = source == Source::Timer1 || source == Source::Timer4 || source == Source::Action ? 1 : 0;
    if (framesThisEvent_ > allowed)
        fail(name + " at step " + StepText(stepBefore) + " sent " + std::to_string(framesThisEvent_) + " frames");

    if (f.CurveTable != curveBefore_) {
        const bool read = source == Source::Timer1 && stepBefore >= 13 && stepBefore <= 17;
        const bool edit = source == Source::Timer2 || source == Source::Timer5;
        const bool calibration = source == Source::Timer4 && calibration::IsCalibrationStep(stepBefore);
        const bool byHand = source == Source::Action && actionMayChangeCurve_;
        if (!read && !edit && !calibration && !byHand)
            fail("the curve changed through a " + name + " at step " + StepText(stepBefore) +
                 (source == Source::Action ? " (" + action_ + ")" : ""));
    }
    if (!CurveFinite(f.CurveTable) || !curve::CurveFitsTheFile(f.CurveTable))
        fail("the curve holds a value no curve file can keep, after a " + name);
}

void SoakSession::changeLine() {
    sim::VirtualEcu& ecu = h_.ecu;
    switch (draw(6)) {
        case 0: {
            static const double kRates[] = {0, 0.05, 0.2, 0.6};
            const int kind = draw(sim::kReplyFaultKinds);
            const double rate = kRates[draw(4)];
            note("line fault " + std::to_string(kind) + " at rate " + std::to_string(rate));
            ecu.setFaultRate(static_cast<sim::ReplyFault>(kind), rate);
            break;
        }
        case 1: {
            const int kind = draw(sim::kReplyFaultKinds);
            note("next reply spoiled by fault " + std::to_string(kind));
            ecu.queueFault({static_cast<sim::ReplyFault>(kind)});
            break;
        }
        case 2:
            note(ecu.silent() ? "ECU answers again" : "ECU falls silent");
            ecu.setSilent(!ecu.silent());
            break;
        case 3: {
            const int block = 10 + draw(7);
            note("next write of block " + std::to_string(block) + " lost on the way in");
            ecu.dropNextBlockWrite(block);
            break;
        }
        case 4: {
            static const double kSpeeds[] = {0, 750, 1500, 2100, 2100, 3500, 6400};
            const double rpm = kSpeeds[draw(static_cast<int>(std::size(kSpeeds)))];
            note("engine at " + std::to_string(static_cast<int>(rpm)) + " rpm");
            ecu.setEngineSpeed(rpm);
            if (rpm == 2100) sim::HoldForCalibration(ecu);
            break;
        }
        default:
            note("line faults stop");
            ecu.faults().clear();
            break;
    }
}

void SoakSession::act() {
    Form1Korvane& f = h_.form;
    ++figures_.actions;
    const int choice = draw(100);
    if (choice < 60) {
        pressControl();
    } else if (choice < 72) {
        // Arrow keys reach the curve only while its screen is on view.
        if (!f.EğriKağıdıPic.visible) return pressControl();
        const auto key = static_cast<ArrowKey>(draw(4));
        const double holdMs = draw(1500);
        note("arrow key " + std::to_string(static_cast<int>(key)) + " held " + std::to_string(static_cast<int>(holdMs)) +
             " ms");
        f.ArrowKeys.keyDown(key);
        h_.runner.schedule(holdMs, [&f, key] { f.ArrowKeys.keyUp(key); });
    } else if (choice < 85) {
        changeLine();
    } else if (choice < 91) {
        action_ = unplugged_ ? "adapter back" : "adapter pulled";
        actionMayChangeCurve_ = false;
        note(action_);
        if (unplugged_) h_.port.plugBack();
        else event(Source::Action, [this] { h_.port.unplug(); });
        unplugged_ = !unplugged_;
    } else if (choice < 93) {
        action_ = "window close asked";
        actionMayChangeCurve_ = false;
        note(action_);
        event(Source::Action, [&f] { f.MayCloseWindow(); });
    } else {
        f.ArrowKeys.focusLost();
        note("another program takes the focus");
    }
}

bool SoakSession::quietPhase() {
    Form1Korvane& f = h_.form;
    ++figures_.quietPhases;
    note("quiet: line faults stop, the ECU answers, the adapter is in");
    h_.ecu.faults().clear();
    h_.ecu.setSilent(false);
    if (unplugged_) h_.port.plugBack();
    unplugged_ = false;
    f.ArrowKeys.focusLost();
    const double start = h_.runner.nowMs();
    double lastConnect = -kConnectAgainAfterMs;
    double lastStop = -kConnectAgainAfterMs;
    while (!failure_ && h_.runner.nowMs() - start < kLongestReturnToPollingMs) {
        h_.runner.runFor(500);
        if (f.LinkUp && f.SequencerState == 8 && !f.CalibrationRunning) {
            figures_.longestReturnToPollingMs = std::max(figures_.longestReturnToPollingMs, h_.runner.nowMs() - start);
            return true;
        }
        // Parked (never connected, the adapter was pulled, the scan gave up): the
        // fitter presses connect again.
        if (!f.LinkUp && f.ComOpenButon.enabled && f.ComOpenButon.visible &&
            h_.runner.nowMs() - lastConnect >= kConnectAgainAfterMs) {
            lastConnect = h_.runner.nowMs();
            action_ = "ComOpenButon";
            actionMayChangeCurve_ = false;
            note("click ComOpenButon (quiet)");
            event(Source::Action, [&f] { f.ComOpenButon_Click(); });
        }
        // A calibration waits at its start for the fitter to bring the engine up to
        // speed, as long as he likes: after two quiet minutes he stops it instead.
        if (f.CalibrationRunning && h_.runner.nowMs() - start >= kStopCalibrationAfterMs &&
            h_.runner.nowMs() - lastStop >= kConnectAgainAfterMs) {
            lastStop = h_.runner.nowMs();
            if (!f.KalibrasyonPic.visible) pressIfReachable("ButonAyar");
            pressIfReachable("KalibrasyonDurdurButon");
        }
    }
    if (!failure_)
        fail("no return to polling within " + std::to_string(static_cast<int>(kLongestReturnToPollingMs / 1000)) +
             " s after the faults stopped (link " + (f.LinkUp ? "up" : "down") + ", calibration " +
             (f.CalibrationRunning ? "running" : "not running") + ", status '" + f.KomutSatırı.text + "')");
    return false;
}

std::optional<std::string> SoakSession::run(double virtualMs) {
    const double end = h_.runner.nowMs() + virtualMs;
    while (!failure_ && h_.runner.nowMs() < end) {
        const double stretchEnd = std::min(end, h_.runner.nowMs() + 30000 + draw(270000));
        while (!failure_ && h_.runner.nowMs() < stretchEnd) {
            // Mostly quick actions; now and then the fitter waits for a sequence to run.
            h_.runner.runFor(draw(10) == 0 ? 5000 + draw(55000) : draw(3000));
            if (!failure_) act();
        }
        if (!failure_) quietPhase();
    }
    if (!failure_) {
        action_ = "ExitButon";
        actionMayChangeCurve_ = false;
        note("click ExitButon");
        event(Source::Action, [this] { h_.form.ExitButon_Click(); });
    }
    figures_.virtualMs = h_.runner.nowMs();
    for (int k = 0; k < sim::kReplyFaultKinds; ++k)
        figures_.lineFaults += h_.ecu.faults().applied(static_cast<sim::ReplyFault>(k));
    if (failure_) return "seed " + std::to_string(seed_) + ": " + *failure_;
    return std::nullopt;
}

}  // namespace gasecu::test
