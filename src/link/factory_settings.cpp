// Loading the factory settings (steps 48 to 158): 37 fixed writes, one every third
// tick with live data requests between them, while ProgressBar9 counts the ticks.
// The button asks first: the load overwrites every setting a fitter made on this
// car. After the last write the pages are read back, so the screen shows what the
// ECU now holds instead of the values from before the load.
#include <array>

#include "app/form1korvane.h"
#include "link/command_frames.h"
#include "link/factory_settings_table.h"
#include "link/sequencer_families.h"

namespace gasecu {

namespace {

constexpr int kFirstStep = 48;
constexpr int kLastStep = 158;

std::optional<Bytes> FactoryWriteAt(int step) {
    for (const link::FactorySetting& row : link::kFactorySettingsTable) {
        if (row.step != step) continue;
        return row.word ? frames::SettingWordWrite(row.address, row.value) : frames::SettingWrite(row.address, row.value);
    }
    return std::nullopt;
}

// The link went away during the load: the screen comes back with the button, and
// the fitter is told that the ECU now holds a mixture of old and factory values.
void AbortFactoryLoad(Form1Korvane& f) {
    f.EndSettingsSequenceCutShort(f.ButonLoadFabricSettings, f.ProgressBar9,
                                  "FABRİKA AYARLARI YARIDA KALDI : BAĞLANTI YOK !",
                                  "FACTORY SETTINGS NOT COMPLETED : NO CONNECTION !");
}

}  // namespace

void Form1Korvane::ButonLoadFabricSettings_Click() {
    if (!LinkGuard()) {
        if (FactoryLoadResult != ExchangeOutcome::Running) FactoryLoadResult = ExchangeOutcome::Refused;
        return;
    }
    if (RefusedWhileEcuBusy()) return;  // a load under way keeps its own outcome
    FactoryLoadResult = ExchangeOutcome::Refused;  // until the fitter says Yes
    if (!AskYesNo("EKÜ'deki bütün ayarlar fabrika değerleriyle değiştirilecek. Devam edilsin mi?",
                  "Every setting in the ECU will be replaced by its factory value. Continue?"))
        return;
    // The question waited for the fitter while the ticks went on: look again.
    if (!LinkGuard() || EcuSequenceRunning()) return;
    FactoryLoadResult = ExchangeOutcome::Running;
    ButonLoadFabricSettings.enabled = false;
    PendingSettingCheck.reset();  // the read-back after the load checks no entry
    ShowMessage("FABRİKA AYARLARI YÜKLENİYOR ...", "LOADING FACTORY SETTINGS ...");
    SequencerState = kFirstStep;
}

namespace link {

void RunFactorySettingsStep(Form1Korvane& f, int step) {
    if (step == kLastStep) {
        f.ButonLoadFabricSettings.enabled = true;
        f.RestoreSettingsScreen();
        f.ButonEğri.enabled = true;
        f.ButonAyar.enabled = true;
        f.ShowMessage("FABRİKA AYARLARI YÜKLENDİ", "FACTORY SETTINGS LOADED");
        // Every write went out; what the ECU took shows in the read back.
        if (f.FactoryLoadResult == Form1Korvane::ExchangeOutcome::Running)
            f.FactoryLoadResult = Form1Korvane::ExchangeOutcome::Done;
        f.SequencerState = 1;  // read the new values back
        f.NoteRestorePoint(history::Kind::FactoryLoad, "done");
        return;
    }
    if (step == kFirstStep) {
        f.ButonEğri.enabled = false;
        f.ButonAyar.enabled = false;
        f.ProgressBar9.visible = true;
        f.SettingsSettingsPic.visible = false;
    }
    if (!f.LinkGuard()) {
        AbortFactoryLoad(f);
        return;
    }
    if (std::optional<Bytes> write = FactoryWriteAt(step)) f.SendFrame(*write);
    else f.SendFrame(f.LiveDataRequest);
    if (step == kFirstStep) {
        f.SetupRestored = false;
        f.LockSettingsButtons();
    }
    f.ProgressBar9.value = static_cast<float>(step == kFirstStep ? 1 : step - 47);
    f.SequencerState = step + 1;
}

}  // namespace link
}  // namespace gasecu
