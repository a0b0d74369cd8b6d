// The settings and fault screens' controls, the general-settings read and the
// fault read buttons.
#include "app/form1korvane.h"
#include "ecu/advance_list.h"

namespace gasecu {

namespace {

void SetAllButGenelEnabled(Form1Korvane& f, bool enabled) {
    for (ButtonControl* b : {&f.ButonEğri, &f.ButonAyar, &f.ButonLoadFabricSettings, &f.ButonTroubles,
                             &f.ButonErrorClear})
        b->enabled = enabled;
    f.avas.enabled = enabled;
    for (TextBoxControl* t : {&f.Coil, &f.SetPTransRPMTextBox, &f.SetPTransRedTempTextBox, &f.SetPXXPressureTextBox,
                              &f.SetPXXPressLeakageTextBox, &f.msavvv})
        t->enabled = enabled;
    // Values that may be stale are not offered for editing until read again.
    if (enabled && f.SettingsStale) f.SetSettingEntriesEnabled(false);
}

}  // namespace

void Form1Korvane::SetSettingsControlsEnabled(bool enabled) {
    ButonGenel.enabled = enabled;
    SetAllButGenelEnabled(*this, enabled);
}

void Form1Korvane::EnableSettingsControlsButGenel() { SetAllButGenelEnabled(*this, true); }

void Form1Korvane::SetSettingEntriesEnabled(bool enabled) {
    avas.enabled = enabled;
    for (TextBoxControl* t : {&Coil, &SetPTransRPMTextBox, &SetPTransRedTempTextBox, &SetPXXPressureTextBox,
                              &SetPXXPressLeakageTextBox})
        t->enabled = enabled;
}

void Form1Korvane::FillAdvanceList() {
    avas.entries.clear();
    for (const ecu::AdvanceEntry& e : ecu::kAdvanceEntries) avas.entries.emplace_back(e.text);
}

void Form1Korvane::ButonGenel_Click() {
    KomutSatırı.text.clear();
    ShowMessage("GENEL AYARLAR", "GENERAL SETTINGS");
    SettingsSettingsPic.visible = true;
    // Without a link nothing is read and no live reply would ever unlock the
    // controls: the screen buttons must stay usable.
    if (!LinkGuard()) return;
    SequencerState = 1;  // read all pages again
    SettingsReadAnnounced = true;
    // Locked until the next live reply.
    ProgressBar12.visible = true;
    SetSettingsControlsEnabled(false);
}

void Form1Korvane::ButonTroubles_Click() {
    KomutSatırı.text.clear();
    ShowMessage("HATALAR", "ERRORS");
    if (!LinkGuard()) return;  // nothing to read, nothing to lock
    SequencerState = 170;
    SetSettingsControlsEnabled(false);
}

}  // namespace gasecu
