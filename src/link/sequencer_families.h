#pragma once
// The families of the ECU step machine. SequencerTick finds the family whose range
// holds the current step and hands it the step; each family runs that one step
// (at most one frame) and sets the next. A family not built yet does nothing.
#include <array>

namespace gasecu {
class Form1Korvane;
}

namespace gasecu::link {

using StepFamilyRun = void (*)(Form1Korvane& form, int step);

struct StepFamily {
    int first;
    int last;
    StepFamilyRun run;
};

void RunLinkStartupStep(Form1Korvane& form, int step);     // 1..7 settings pages, LinkUp
void RunIdleStep(Form1Korvane& form, int step);            // 8 live poll
void RunDiscoveryStep(Form1Korvane& form, int step);       // 9..12 port scan
void RunCurveReadStep(Form1Korvane& form, int step);       // 13..17 read the curve
void RunCurveWriteStep(Form1Korvane& form, int step);      // 18..44 write the curve
void RunSettingWriteStep(Form1Korvane& form, int step);    // 46, 47 setting and coil type
void RunFactorySettingsStep(Form1Korvane& form, int step); // 48..158
void RunFuelCommandStep(Form1Korvane& form, int step);     // 160, 161
void RunFaultPageStep(Form1Korvane& form, int step);       // 170..172
void RunFaultClearStep(Form1Korvane& form, int step);      // 175..239 (moving step numbers)
void RunSettingsScreenStep(Form1Korvane& form, int step);  // 290

// Steps 297..553 belong to the calibration timer and 1000 is parked: no entry,
// so the tick does nothing there (nor at 0, before the first connect).
inline constexpr std::array<StepFamily, 11> kStepFamilies{{
    {1, 7, RunLinkStartupStep},
    {8, 8, RunIdleStep},
    {9, 12, RunDiscoveryStep},
    {13, 17, RunCurveReadStep},
    {18, 44, RunCurveWriteStep},
    {46, 47, RunSettingWriteStep},
    {48, 158, RunFactorySettingsStep},
    {160, 161, RunFuelCommandStep},
    {170, 172, RunFaultPageStep},
    {175, 239, RunFaultClearStep},
    {290, 290, RunSettingsScreenStep},
}};

}  // namespace gasecu::link
