#include "ecu/setting_rules.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "app/number_format.h"
#include "ecu/advance_list.h"
#include "ecu/reply_decoding.h"

namespace gasecu::ecu {

namespace {

// Steps 2, 6 and 7 of the refresh decode pages 1, 4 and 5.
constexpr std::array<SettingRule, 6> kRules{{
    {Setting::Coils, "coils", "BOBİN SAYISI", "COIL COUNT", 31, 1, 4, 2, 6, 0, ""},
    {Setting::SwitchRpm, "switch-rpm", "GEÇİŞ DEVRİ", "TRANSITION SPEED", 47, 50, 200, 6, 6, 0, "rpm"},
    {Setting::SwitchTemperature, "switch-temp", "GEÇİŞ SICAKLIĞI", "TRANSITION TEMPERATURE", 48, 20, 207, 6, 7, 1,
     "°C"},
    {Setting::MinimumPressure, "min-pressure", "EN AZ BASINÇ", "MINIMUM PRESSURE", 51, 40, 180, 7, 9, 2, "bar"},
    {Setting::LeakPressure, "leak-pressure", "SIZINTI BASINCI", "LEAKAGE PRESSURE", 53, 60, 180, 7, 12, 2, "bar"},
    {Setting::Advance, "advance", "AVANS", "ADVANCE", 55, 0, 0xFFFF, 7, 3, 2, "ms"},
}};

// The values a fitter may type, as the window shows them: the one table that the
// entry boxes, the "set" command, their refusals and the README state. Each end
// gives a byte the ECU accepts; a value beyond it is refused even where the
// temperature's rounding would take it to a byte the ECU takes (19.8 °C would be
// stored as 19.9), so nothing is accepted that the stated range leaves out.
struct TypedRange {
    Setting setting;
    double lowest;
    double highest;
};
constexpr std::array<TypedRange, 5> kTypedRanges{{
    {Setting::Coils, 1, 4},
    {Setting::SwitchRpm, 500, 2000},
    {Setting::SwitchTemperature, 19.9, 96.1},  // bytes 207 and 20
    {Setting::MinimumPressure, 0.40, 1.80},
    {Setting::LeakPressure, 0.60, 1.80},
}};

const TypedRange& TypedRangeFor(Setting setting) {
    return *std::find_if(kTypedRanges.begin(), kTypedRanges.end(),
                         [&](const TypedRange& r) { return r.setting == setting; });
}

// The ECU's temperature code: 10 / 4.07 steps per degree, counted down from 256.
constexpr double kTemperatureStep = 4.07;

}  // namespace

std::span<const SettingRule> SettingRules() { return kRules; }

const SettingRule& RuleFor(Setting setting) {
    return *std::find_if(kRules.begin(), kRules.end(), [&](const SettingRule& r) { return r.setting == setting; });
}

const SettingRule* RuleNamed(const std::string& name) {
    for (const SettingRule& r : kRules)
        if (name == r.name) return &r;
    return nullptr;
}

double CandidateByte(Setting setting, double typed) {
    switch (setting) {
    case Setting::Coils:
        return typed;
    case Setting::SwitchRpm:
        return typed / 10;
    case Setting::SwitchTemperature:
        return 256 - RoundHalfEven(typed * 10 / kTemperatureStep);
    case Setting::MinimumPressure:
    case Setting::LeakPressure:
        return typed * 100;
    case Setting::Advance:
        break;
    }
    return -1;
}

std::optional<int> EntryByte(Setting setting, double typed) {
    const SettingRule& rule = RuleFor(setting);
    if (setting == Setting::Advance) {
        const int entry = AdvanceEntryForTyped(typed);
        if (entry < 0) return std::nullopt;
        return kAdvanceEntries[static_cast<std::size_t>(entry)].value;
    }
    if (!std::isfinite(typed)) return std::nullopt;
    const TypedRange& range = TypedRangeFor(setting);
    if (typed < range.lowest || typed > range.highest) return std::nullopt;
    const double candidate = CandidateByte(setting, typed);
    if (candidate < rule.minimumByte || candidate > rule.maximumByte) return std::nullopt;
    if (setting == Setting::Coils && candidate != std::floor(candidate)) return std::nullopt;
    return static_cast<int>(RoundHalfEven(candidate));
}

double ShownValue(Setting setting, int stored) {
    switch (setting) {
    case Setting::Coils:
        return stored;
    case Setting::SwitchRpm:
        return stored * 10.0;
    case Setting::SwitchTemperature:
        return TemperatureFromByte(stored);
    case Setting::MinimumPressure:
    case Setting::LeakPressure:
        return stored / 100.0;
    case Setting::Advance:
        return AdvanceTimeFromBytes(stored & 0xFF, stored >> 8);
    }
    return 0;
}

std::string AcceptedRangeText(Setting setting, char decimalSeparator) {
    const SettingRule& rule = RuleFor(setting);
    if (setting == Setting::Advance) {
        const auto& first = kAdvanceEntries.front();
        const auto& last = kAdvanceEntries.back();
        return FormatFixed(first.hundredthsMs / 100.0, 2, decimalSeparator) + " - " +
               FormatFixed(last.hundredthsMs / 100.0, 2, decimalSeparator) + " ms";
    }
    const TypedRange& range = TypedRangeFor(setting);
    std::string text = FormatFixed(range.lowest, rule.decimals, decimalSeparator) + " - " +
                       FormatFixed(range.highest, rule.decimals, decimalSeparator);
    if (*rule.unit) text += std::string(" ") + rule.unit;
    return text;
}

int AdvanceEntryForTyped(double ms) {
    if (!std::isfinite(ms)) return -1;
    // The list's times have two decimals; anything finer names no entry.
    return AdvanceEntryFor(RoundHalfEven(ms * 10000) / 10000);
}

}  // namespace gasecu::ecu
