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

}  // namespace gasecu
