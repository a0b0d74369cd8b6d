// Cutting a running exchange short: the one place that knows, for each family of
// the step machine, what the fitter must be told when it cannot finish and what
// it leaves to clean up. The link watch calls it when the ECU falls silent, the
// lost-adapter handler when the adapter is pulled: every way an exchange can be
// cut short ends through here.
#include "app/form1korvane.h"
#include "calibration/calibration_steps.h"
#include "link/curve_write_check.h"

namespace gasecu {

namespace {

struct FamilyFailure {
    int first;
    int last;
    const char* turkish;
    const char* english;
    const char* nameTurkish;  // the exchange as the Disconnect question names it
    const char* nameEnglish;
};

// Every family that can be under way when the link is up. Idle (8), the scan and
// the settings screen's wait have nothing to report.
constexpr FamilyFailure kFamilyFailures[] = {
    {1, 7, "AYARLAR OKUNAMADI", "SETTINGS READ DID NOT COMPLETE", "ayarların okunması", "the settings read"},
    {13, 17, "EĞRİ OKUMA TAMAMLANMADI", "CURVE READ DID NOT COMPLETE", "eğrinin okunması", "the curve read"},
    {18, 44, "EĞRİ YAZMA TAMAMLANMADI", "CURVE WRITE DID NOT COMPLETE", "eğrinin yazılması", "the curve write"},
    {46, 47, "AYAR YAZMA TAMAMLANMADI", "SETTING WRITE DID NOT COMPLETE", "ayarın yazılması", "the setting write"},
    {48, 158, "FABRİKA AYARLARI YÜKLENEMEDİ", "FACTORY SETTINGS LOAD DID NOT COMPLETE",
     "fabrika ayarlarının yüklenmesi", "the factory settings load"},
    {160, 161, "YAKIT KOMUTU TAMAMLANMADI", "FUEL COMMAND DID NOT COMPLETE", "yakıt komutu", "the fuel command"},
    {170, 172, "HATA KAYITLARI OKUNAMADI", "FAULT READ DID NOT COMPLETE", "hata kayıtlarının okunması",
     "the fault read"},
    {175, 239, "HATA SİLME TAMAMLANMADI", "FAULT CLEAR DID NOT COMPLETE", "hataların silinmesi", "the fault clear"},
    {297, 553, "KALİBRASYON TAMAMLANMADI", "CALIBRATION DID NOT COMPLETE", "kalibrasyon", "the calibration"},
};

}  // namespace

namespace {
constexpr double kCurveWriteStep = 18, kSettingWriteStep = 46, kFactoryLoadStep = 48, kCalibrationStep = 297;

Form1Korvane::ExchangeFailure NameOfFamilyAt(double state) {
    for (const FamilyFailure& family : kFamilyFailures)
        if (state >= family.first && state <= family.last) return {family.nameTurkish, family.nameEnglish};
    return {};
}
}  // namespace

Form1Korvane::ExchangeFailure Form1Korvane::RunningExchangeName() const {
    // A write's read-back check runs on the curve read's steps; a calibration
    // passes through the idle poll between its steps; a setting write and the
    // factory load read every page back afterwards: each is still itself.
    if (CurveWriteRunning()) return NameOfFamilyAt(kCurveWriteStep);
    if (CalibrationRunning) return NameOfFamilyAt(kCalibrationStep);
    if (!EcuSequenceRunning()) return {};
    if (SettingWriteResult == ExchangeOutcome::Running) return NameOfFamilyAt(kSettingWriteStep);
    if (FactoryLoadResult == ExchangeOutcome::Running) return NameOfFamilyAt(kFactoryLoadStep);
    return NameOfFamilyAt(SequencerState);
}

Form1Korvane::ExchangeFailure Form1Korvane::AbortRunningExchange() {
    const double state = SequencerState;
    ExchangeFailure failure;
    for (const FamilyFailure& family : kFamilyFailures)
        if (state >= family.first && state <= family.last) failure = {family.turkish, family.english};

    if (CurveWriteRunning()) {
        // A write's read-back check runs on the curve read's steps: it is the write
        // that did not complete, and the write records so.
        failure = {"EĞRİ YAZMA TAMAMLANMADI", "CURVE WRITE DID NOT COMPLETE"};
        link::EndCurveWriteIncomplete(*this);
    }
    if (CalibrationRunning) {
        // The stop button's path: Start back, Stop gone. Its stop step tells the
        // ECU to leave its calibration mode should it hear, and leaves this
        // failure in the status line.
        failure = {"KALİBRASYON TAMAMLANMADI", "CALIBRATION DID NOT COMPLETE"};
        KalibrasyonDurdurButon_Click();
        CalibrationCutShort = true;
        // As a cut write is: the history says the run did not complete.
        NoteRestorePoint(history::Kind::Calibration, "incomplete");
    }
    // Cut in its zero writes, or before its check could read the fault pages.
    if (FaultClearResult == ExchangeOutcome::Running) NoteRestorePoint(history::Kind::FaultClear, "incomplete");
    else if (FaultClearCheckPending) NoteFaultClearUnchecked();
    ReleaseAbandonedExchange();
    // A setting written but not read back (or not even sent): the fitter must see
    // which one, and the box must not keep a value the ECU may not hold.
    if (ExchangeFailure setting = EndSettingWriteNotCompleted(); !setting.turkish.empty()) failure = setting;
    // Back to the idle poll, which notices when the ECU answers again; a stopped
    // calibration first sends its stop.
    if (SequencerState != calibration::kStopStep) SequencerState = 8;
    return failure;
}

void Form1Korvane::CutShortRunningOutcomes() {
    for (ExchangeOutcome* outcome :
         {&SettingsReadResult, &SettingWriteResult, &FactoryLoadResult, &FaultClearResult, &CurveReadResult})
        if (*outcome == ExchangeOutcome::Running) *outcome = ExchangeOutcome::CutShort;
    // A settings read cut short starts afresh next time.
    SettingsReadAnnounced = false;
    SettingsReadRepeat = false;
    SettingsReadAttempt = 0;
}

void Form1Korvane::ReleaseAbandonedExchange() {
    CutShortRunningOutcomes();
    // A curve read or write hides the curve paper behind its progress bar; it comes back.
    if (ProgressBar8.visible || ProgressBar7.visible || ProgressBar11.visible) EğriKağıdıPic.visible = true;
    RestoreSettingsScreen();
    CurveWriteChecking = false;
    ProgressBar7.maximum = link::kWriteProgressMaximum;
    ProgressBar11.maximum = link::kWriteProgressMaximum;
    CurveBlockIndex = 2;
    CurveReadDone = false;
    CoilChanged = 0;
    for (ProgressBarControl* bar :
         {&ProgressBar7, &ProgressBar8, &ProgressBar9, &ProgressBar10, &ProgressBar11, &ProgressBar12}) {
        bar->visible = false;
        bar->value = 0;
    }
    // Every control a scan or an exchange disabled is usable again (the same set a
    // failed scan gives back, plus the ones the long sequences lock).
    SetWorkAreaEnabled(true);
    SetSettingsControlsEnabled(true);
    SetupRestored = true;
    ButtonsLocked = false;
}

void Form1Korvane::RestoreSettingsScreen() {
    // A factory load and a fault clear hide the settings behind their bar.
    if (ProgressBar9.visible || ProgressBar10.visible) SettingsSettingsPic.visible = true;
    for (ProgressBarControl* bar : {&ProgressBar9, &ProgressBar10}) {
        bar->visible = false;
        bar->value = 0;
    }
    // Yellow marks a write on its way; none is any more.
    for (LabelControl* label : {&SetPLabelRPM, &SetPLabelRedTransitionTemp, &SetLabelPXXPressureTextBox,
                                &SetLabelPXXPressLeakageTextBox, &GeneralSettingsLabelCoil})
        if (label->backColour == colours::kYellow) label->backColour = colours::kDarkCyan;
}

}  // namespace gasecu
