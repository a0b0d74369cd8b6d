// Timer1's tick: one step of the ECU step machine every 500 ms. It is the only
// pacing the ECU gets: at most one frame per tick.
#include <cmath>

#include "app/form1korvane.h"
#include "link/sequencer_families.h"

namespace gasecu {

void Form1Korvane::SequencerTick() {
    WatchLink();
    const double state = SequencerState;  // read once: a step may set the next one
    if (state != std::floor(state)) return;
    for (const link::StepFamily& family : link::kStepFamilies) {
        if (state < family.first || state > family.last) continue;
        family.run(*this, static_cast<int>(state));
        break;
    }
    // The indicator shows the state the step left and the reply's age now.
    ShowLinkIndicator();
}

}  // namespace gasecu
