// The fault read (pages 6 and 7) and the settings screen's entry step.
#include "app/form1korvane.h"
#include "link/command_frames.h"
#include "link/sequencer_families.h"

namespace gasecu::link {

namespace {
constexpr int kFaultPage = 6;
constexpr int kCommunicationFaultPage = 7;

void SendPage(Form1Korvane& f, int page) {
    if (auto frame = frames::PageRequest(page)) f.SendFrame(*frame);
}
}  // namespace

// The receive handler fills the boxes from the page 6 reply at 171 and the page 7
// reply at 172, and returns to idle after the latter; a tick at 172 means that
// reply never came.
void RunFaultPageStep(Form1Korvane& f, int step) {
    if (step == 170) {
        SendPage(f, kFaultPage);
        f.SetSettingsControlsEnabled(true);
        f.SequencerState = 171;
    } else if (step == 171) {
        SendPage(f, kCommunicationFaultPage);
        f.SequencerState = 172;
    } else if (step == 172) {
        // The page 7 reply did not come whole within a tick (the receive handler
        // would have moved on): its box keeps its old text, and polling resumes
        // rather than the tool standing here until some button is pressed.
        f.SequencerState = 8;
        // An old box would say nothing of the clear.
        if (f.FaultClearCheckPending) f.NoteFaultClearUnchecked();
    }
}

// Opening the settings screen: the engine is switched to petrol, then
// the pages are read. Without a link the step waits here.
void RunSettingsScreenStep(Form1Korvane& f, int) {
    if (!f.LinkGuard()) return;
    f.SendFrame(frames::kPetrolCommand);
    f.SequencerState = 1;
}

}  // namespace gasecu::link
