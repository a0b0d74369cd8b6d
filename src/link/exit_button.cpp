// The exit button ends the program at once: no closing frame goes to the ECU. A
// curve with unsaved changes is the one thing it asks about first: the fitter's
// work of an afternoon must not go with one click. A running data log takes its
// final name.
#include "app/form1korvane.h"

namespace gasecu {

void Form1Korvane::ExitButon_Click() {
    if (!MayDropCurve()) return;
    EndProgram();
}

void Form1Korvane::EndProgram() {
    SequencerState = 1000;
    for (TimerControl* t : {&Timer1, &Timer2, &Timer3, &Timer4, &Timer5}) t->setEnabled(false);
    if (Iletisim && Iletisim->isOpen()) Iletisim->close();
    FinishLiveLog();
    // The records still queued are written before the program ends.
    SettleRestorePoints();
    ExitRequested = true;
    if (onExit) onExit();
}

}  // namespace gasecu
