#pragma once
// The six settings of the general-settings screen: how a fitter's number becomes
// the byte the ECU stores, which bytes the ECU accepts, and where the settings
// pages carry the stored value back. The window's entry boxes and the headless
// "set" command share these rules, so a script can never write what the window
// would refuse.
#include <optional>
#include <span>
#include <string>

namespace gasecu::ecu {

enum class Setting { Coils, SwitchRpm, SwitchTemperature, MinimumPressure, LeakPressure, Advance };

struct SettingRule {
    Setting setting;
    const char* name;     // as the headless commands print it: "coils", "switch-rpm", ...
    const char* turkish;  // in messages
    const char* english;
    int address;          // where the ECU keeps it (the advance is a word: 55 and 56)
    int minimumByte;      // the candidate bytes the ECU accepts
    int maximumByte;
    int refreshStep;      // the refresh step whose page reply carries it back
    int replyByte;        // its byte in that reply, from 1 (the advance: low, then high)
    int decimals;         // as the window shows it
    const char* unit;
};

// The five settings typed into boxes, then the advance chosen from the list.
std::span<const SettingRule> SettingRules();
const SettingRule& RuleFor(Setting setting);
const SettingRule* RuleNamed(const std::string& name);

// The byte a typed value gives, before rounding (the temperature is rounded on the
// way, halves to even, as the ECU's own table is).
double CandidateByte(Setting setting, double typed);
// The byte to write for a typed value, or nothing when the ECU would not accept it:
// outside the range, or a coil count that is not a whole number ("2.5" coils would
// go out as 2 and leave the coil type unknown).
std::optional<int> EntryByte(Setting setting, double typed);
// The value the window shows for a stored byte (the advance: for a stored word).
double ShownValue(Setting setting, int stored);
// "0.40 - 1.80 bar", "1 - 4", with the given decimal separator.
std::string AcceptedRangeText(Setting setting, char decimalSeparator);

// The advance list entry 0..12 for a time in ms, exactly as listed, or -1.
int AdvanceEntryForTyped(double ms);

}  // namespace gasecu::ecu
