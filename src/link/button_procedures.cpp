// Button states shared by the step families: a long exchange locks the buttons
// that could start another one, and the idle step gives them back.
#include "app/form1korvane.h"

namespace gasecu {

void Form1Korvane::LockEcuButtons() {
    for (ButtonControl* b : {&ButonEcuOku, &ButonDiskeYaz, &ButonDisktenOku, &ButonEğri}) b->enabled = false;
    ButtonsLocked = true;
}

void Form1Korvane::UnlockEcuButtons() {
    for (ButtonControl* b : {&ButonEcuOku, &ButonDiskeYaz, &ButonDisktenOku, &ButonEğri}) b->enabled = true;
    ButtonsLocked = false;
}

void Form1Korvane::LockSettingsButtons() {
    for (ButtonControl* b : {&ButonSetup, &ButonGenel, &ButonTroubles}) b->enabled = false;
    ButtonsLocked = true;
}

void Form1Korvane::RestoreIdleButtons() {
    if (!SetupRestored) {
        ButonSetup.enabled = true;
        SetupRestored = true;
    }
    ButonGenel.enabled = true;
    ButonTroubles.enabled = true;
    ButtonsLocked = false;
}

void Form1Korvane::EndSettingsSequenceCutShort(ButtonControl& button, ProgressBarControl& bar,
                                              std::string_view turkish, std::string_view english) {
    button.enabled = true;
    // The sequence hid the settings behind this bar (or was about to): the screen
    // comes back the way every end of such a sequence brings it back.
    bar.visible = true;
    RestoreSettingsScreen();
    ButonEğri.enabled = true;
    ButonAyar.enabled = true;
    ShowMessage(turkish, english);
    CutShortRunningOutcomes();
    SequencerState = 8;
}

}  // namespace gasecu
