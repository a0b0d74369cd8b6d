// Placeholders until the ECU data subsystem lands; each does nothing.
#include "app/form1korvane.h"

namespace gasecu {
void Form1Korvane::Iletisim_OnComm(int) {}
void Form1Korvane::Iletisim_DeviceLost() {}
void Form1Korvane::ButonGenel_Click() {}
void Form1Korvane::ButonTroubles_Click() {}
}  // namespace gasecu
