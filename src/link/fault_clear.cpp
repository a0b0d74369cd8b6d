// Clearing the ECU's fault records (steps 175 to 239): a zero goes to each of the
// 21 fault addresses 66 to 86, one write every third tick with two live data
// requests between. The steps move: ClearWriteStep, ClearPauseStep1 and
// ClearPauseStep2 climb by three each cycle. Afterwards the fault pages are read
// (step 170), so the boxes show what the ECU now reports, not the old faults.
#include <string>

#include "app/form1korvane.h"
#include "link/command_frames.h"
#include "link/sequencer_families.h"

namespace gasecu {

namespace {

constexpr double kFirstWriteStep = 175;
constexpr double kFirstPauseStep1 = 178;
constexpr double kFirstPauseStep2 = 179;
constexpr double kFirstFaultAddress = 66;
constexpr double kSkippedStep = 238;  // after the last pause the clear ends at once
constexpr int kEndStep = 239;
constexpr double kFaultPagesStep = 170;

void RestartPoints(Form1Korvane& f) {
    f.ClearWriteStep = kFirstWriteStep;
    f.ClearPauseStep1 = kFirstPauseStep1;
    f.ClearPauseStep2 = kFirstPauseStep2;
}

void AbortFaultClear(Form1Korvane& f) {
    f.EndSettingsSequenceCutShort(f.ButonErrorClear, f.ProgressBar10, "HATA SİLME YARIDA KALDI : BAĞLANTI YOK !",
                                  "FAULT CLEARING NOT COMPLETED : NO CONNECTION !");
}

}  // namespace

void Form1Korvane::ButonErrorClear_Click() {
    if (!LinkGuard()) {
        if (FaultClearResult != ExchangeOutcome::Running) FaultClearResult = ExchangeOutcome::Refused;
        return;
    }
    if (RefusedWhileEcuBusy()) return;  // a clear under way keeps its own outcome
    // The records are what tells the fitter why the car fell back to petrol: once
    // erased (about 30 s of writes) they are gone. A slip of the mouse must not do it.
    if (!AskYesNo("EKÜ'deki bütün hata kayıtları silinecek. Devam edilsin mi?",
                  "Every fault record in the ECU will be erased. Continue?"))
        return;
    StartFaultClear();
}

void Form1Korvane::StartFaultClear() {
    // The question waited for the fitter while the ticks went on: look again.
    if (!LinkGuard()) {
        if (FaultClearResult != ExchangeOutcome::Running) FaultClearResult = ExchangeOutcome::Refused;
        return;
    }
    if (EcuSequenceRunning()) return;
    FaultClearResult = ExchangeOutcome::Running;
    ButonErrorClear.enabled = false;
    // A clear cut short earlier left its steps where it stopped: start afresh.
    RestartPoints(*this);
    FaultClearCheckPending = false;
    ClearAddress = kFirstFaultAddress;
    ShowMessage("HATALAR SİLİNİYOR ...", "CLEARING FAULTS ...");
    SequencerState = kFirstWriteStep;
}

void Form1Korvane::CheckFaultsAfterClear() {
    if (!FaultClearCheckPending) return;
    FaultClearCheckPending = false;
    // A record the pages still show after the clear: the ECU kept it, or the fault
    // came back at once (a relay still open, the pressure still low).
    struct Record {
        const TextBoxControl& box;
        const char* turkish;
        const char* english;
    };
    const Record records[] = {
        {TroublesGasValveRelayTextBox, "GAZ VALFİ RÖLESİ", "GAS VALVE RELAY"},
        {TroublesInjMainRelayTextBox, "ENJEKTÖR RÖLESİ", "INJECTOR RELAY"},
        {TroublesPresslowTextBox, "DÜŞÜK BASINÇ", "LOW PRESSURE"},
        {TroublesCRCErrTextBox, "İLETİŞİM HATASI", "CONNECTION ERROR"},
    };
    std::string turkish, english;
    bool unread = false;
    for (const Record& r : records) {
        unread = unread || r.box.text.empty();
        if (r.box.text.empty() || r.box.text == "0") continue;
        turkish += (turkish.empty() ? "" : ", ") + std::string(r.turkish) + " " + r.box.text;
        english += (english.empty() ? "" : ", ") + std::string(r.english) + " " + r.box.text;
    }
    if (!turkish.empty())
        ShowMessage("HATA KAYITLARI KALDI : " + turkish + " !", "FAULT RECORDS LEFT : " + english + " !");
    // Else "HATALAR SİLİNDİ" stands.
    if (unread) NoteRestorePoint(history::Kind::FaultClear, "unchecked");
    else NoteRestorePoint(history::Kind::FaultClear, turkish.empty() ? "done" : "faults-left", english);
}

void Form1Korvane::NoteFaultClearUnchecked() {
    FaultClearCheckPending = false;
    NoteRestorePoint(history::Kind::FaultClear, "unchecked");
}

namespace link {

void RunFaultClearStep(Form1Korvane& f, int step) {
    const double s = step;
    if (s == f.ClearWriteStep) {
        f.ButonEğri.enabled = false;
        f.ButonAyar.enabled = false;
        if (!f.LinkGuard()) return AbortFaultClear(f);
        if (auto frame = frames::SettingWrite(f.ClearAddress, 0)) f.SendFrame(*frame);
        f.ClearAddress += 1;
        f.SequencerState = s + 1;
        f.ClearPauseStep1 = f.SequencerState;
        f.SettingsSettingsPic.visible = false;
        f.ProgressBar10.visible = true;
        if (f.ProgressBar10.value < f.ProgressBar10.maximum) f.ProgressBar10.value += 1;
        f.SetupRestored = false;
        f.LockSettingsButtons();
    } else if (s == f.ClearPauseStep1) {
        if (!f.LinkGuard()) return AbortFaultClear(f);
        f.SendFrame(f.LiveDataRequest);
        f.SequencerState = s + 1;
        f.ClearPauseStep2 = f.SequencerState;
    } else if (s == f.ClearPauseStep2) {
        if (!f.LinkGuard()) return AbortFaultClear(f);
        f.SendFrame(f.LiveDataRequest);
        f.SequencerState = s + 1;
        f.ClearWriteStep = f.SequencerState;
        if (f.SequencerState == kSkippedStep) f.SequencerState = kEndStep;
    } else if (step == kEndStep) {
        f.RestoreSettingsScreen();
        f.ButonErrorClear.enabled = true;
        f.ButonEğri.enabled = true;
        f.ButonAyar.enabled = true;
        RestartPoints(f);
        f.ShowMessage("HATALAR SİLİNDİ", "FAULTS CLEARED");
        if (f.FaultClearResult == Form1Korvane::ExchangeOutcome::Running)
            f.FaultClearResult = Form1Korvane::ExchangeOutcome::Done;
        f.SequencerState = kFaultPagesStep;  // show what the ECU reports now
        // The record waits for the check: what the pages show after the clear.
        f.FaultClearCheckPending = true;
    }
}

}  // namespace link
}  // namespace gasecu
