// The settings and fault screens' controls, the general-settings read and the
// fault read buttons.
#include "app/form1korvane.h"
#include "ecu/advance_list.h"

namespace gasecu {

void Form1Korvane::SetSettingsControlsEnabled(bool enabled) {
    for (ButtonControl* b : {&ButonGenel, &ButonEğri, &ButonAyar, &ButonLoadFabricSettings, &ButonTroubles,
                             &ButonErrorClear})
        b->enabled = enabled;
    avas.enabled = enabled;
    for (TextBoxControl* t : {&Coil, &SetPTransRPMTextBox, &SetPTransRedTempTextBox, &SetPXXPressureTextBox,
                              &SetPXXPressLeakageTextBox, &msavvv})
        t->enabled = enabled;
}

void Form1Korvane::FillAdvanceList() {
    if (avas.entries.size() == ecu::kAdvanceEntries.size()) return;
    avas.entries.clear();
    for (const ecu::AdvanceEntry& e : ecu::kAdvanceEntries) avas.entries.emplace_back(e.text);
}

void Form1Korvane::ButonGenel_Click() {
    KomutSatırı.text.clear();
    ShowMessage("GENEL AYARLAR", "GENERAL SETTINGS");
    SettingsSettingsPic.visible = true;
    if (LinkGuard()) SequencerState = 1;  // read all pages again
    // Locked in either case; the next live reply unlocks them.
    ProgressBar12.visible = true;
    SetSettingsControlsEnabled(false);
}

void Form1Korvane::ButonTroubles_Click() {
    KomutSatırı.text.clear();
    ShowMessage("HATALAR", "ERRORS");
    if (LinkGuard()) SequencerState = 170;
    SetSettingsControlsEnabled(false);
}

}  // namespace gasecu
