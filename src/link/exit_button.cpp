// The exit button ends the program at once: no closing frame goes to the ECU and
// nothing is saved, except that a running data log takes its final name.
#include "app/form1korvane.h"

namespace gasecu {

void Form1Korvane::ExitButon_Click() {
    SequencerState = 1000;
    for (TimerControl* t : {&Timer1, &Timer2, &Timer3, &Timer4, &Timer5}) t->setEnabled(false);
    if (Iletisim && Iletisim->isOpen()) Iletisim->close();
    FinishLiveLog();
    ExitRequested = true;
    if (onExit) onExit();
}

}  // namespace gasecu
