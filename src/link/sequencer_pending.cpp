// Families of the step machine that are built with their own screens: until then
// their steps do nothing and the machine simply stays where a button put it.
#include "link/sequencer_families.h"

namespace gasecu::link {
void RunCurveWriteStep(Form1Korvane&, int) {}
}  // namespace gasecu::link
