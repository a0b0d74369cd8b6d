// Placeholders until the link subsystem lands; each does nothing.
#include "app/form1korvane.h"

namespace gasecu {
void Form1Korvane::SequencerTick() {}
void Form1Korvane::LockEcuButtons() {}
void Form1Korvane::UnlockEcuButtons() {}
void Form1Korvane::LockSettingsButtons() {}
void Form1Korvane::RestoreIdleButtons() {}
void Form1Korvane::ComOpenButon_Click() {}
void Form1Korvane::ExitButon_Click() {}
void Form1Korvane::ButonEcuOku_Click() {}
void Form1Korvane::BenzinPic_Click() {}
void Form1Korvane::LPGPic_Click() {}
}  // namespace gasecu
