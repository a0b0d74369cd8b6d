#pragma once
// Pieces the settings, set, faults and factory-reset commands share: pressing a
// button or confirming an entry once live values show, waiting for the exchange
// and its read-back to end, and printing the settings as the window shows them.
#include <functional>
#include <optional>
#include <string>

#include "app/form1korvane.h"

namespace gasecu::cli {

class HeadlessSession;

// After the first live reply, as a fitter's click would come, runs the action on the
// form; then waits until the exchange it started is over and live values show
// again. kExitDone, or kExitEcuSilent when the action started nothing (no link) or
// the ECU fell silent.
int RunExchange(HeadlessSession& session, const std::function<void(Form1Korvane&)>& action);

// The settings on screen are not all the ECU's: a page did not come back after
// its repeats, or page 1 gave a coil count no coil choice has. Says which, and
// gives kExitEcuSilent; nothing when every setting was read.
std::optional<int> SettingsNotAllRead(HeadlessSession& session);

// coils=N, switch-rpm=N, switch-temp=T.T, min-pressure=P.PP, leak-pressure=P.PP,
// advance=A.AA, one a line, as the boxes show them.
void PrintSettings(HeadlessSession& session);

// The text a box shows for a setting: what the commands print and compare.
std::string SettingText(const Form1Korvane& form, ecu::Setting setting);

}  // namespace gasecu::cli
