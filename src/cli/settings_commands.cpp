// gasecu settings, gasecu set NAME=VALUE... and gasecu factory-reset --yes: the
// general-settings screen without the window. A value is typed into its box and
// confirmed with Enter (the advance is chosen from the list), exactly as the
// fitter does it, so the same steps 46 and 47 and the same read-back follow.
#include <charconv>
#include <cmath>
#include <vector>

#include "app/number_format.h"
#include "cli/commands.h"
#include "cli/headless_session.h"
#include "cli/settings_exchange.h"
#include "ecu/advance_list.h"
#include "link/factory_settings_table.h"

namespace gasecu::cli {

namespace {

struct Assignment {
    const ecu::SettingRule* rule = nullptr;
    std::string value;  // as given; the box takes ',' or '.'
    double number = 0;
};

// A whole number text: optional sign, digits, at most one decimal mark ('.' or ',').
std::optional<double> NumberText(std::string text) {
    for (char& c : text)
        if (c == ',') c = '.';
    double value = 0;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::string SettingNames() {
    std::string names;
    for (const ecu::SettingRule& r : ecu::SettingRules()) names += (names.empty() ? "" : ", ") + std::string(r.name);
    return names;
}

std::string AcceptedText(const ecu::SettingRule& rule, bool turkish) {
    if (rule.setting == ecu::Setting::Advance) {
        std::string entries;
        for (const auto& e : ecu::kAdvanceEntries)
            entries += (entries.empty() ? "" : ", ") + FormatFixed(e.hundredthsMs / 100.0, 2, '.');
        return entries + " ms";
    }
    std::string range = ecu::AcceptedRangeText(rule.setting, '.');
    if (rule.setting == ecu::Setting::Coils) range += turkish ? " (tam sayı)" : " (a whole number)";
    return range;
}

// Every assignment checked before anything is opened; the message names the
// setting and what it takes.
std::optional<std::vector<Assignment>> ParseAssignments(const Options& options, std::string& message) {
    const bool turkish = options.language == 0;
    std::vector<Assignment> out;
    for (const std::string& word : options.assignments) {
        const auto equals = word.find('=');
        Assignment a;
        a.rule = equals == std::string::npos ? nullptr : ecu::RuleNamed(word.substr(0, equals));
        if (!a.rule) {
            message = (turkish ? "bilinmeyen ayar '" : "unknown setting '") + word.substr(0, equals) +
                      (turkish ? "'; ayarlar: " : "'; the settings are ") + SettingNames();
            return std::nullopt;
        }
        a.value = word.substr(equals + 1);
        // The text must be a number as a whole; its value is the one the box
        // takes from it on Enter (four decimals), so that the check here and the
        // box's own never disagree.
        const bool number = NumberText(a.value).has_value();
        const double typed = ParseLeadingNumber(a.value);
        if (!number || !ecu::EntryByte(a.rule->setting, typed)) {
            message = std::string(a.rule->name) + "=" + a.value + (turkish ? " kabul edilmedi: " : " refused: ") +
                      a.rule->name + (turkish ? " değerleri: " : " takes ") + AcceptedText(*a.rule, turkish);
            return std::nullopt;
        }
        a.number = typed;
        out.push_back(a);
    }
    return out;
}

// Enter in the setting's box, or the advance chosen from the list.
void Confirm(Form1Korvane& f, const Assignment& a) {
    if (a.rule->setting == ecu::Setting::Advance) {
        f.avas.selectedIndex = ecu::AdvanceEntryForTyped(a.number);
        f.avas_Click();
        return;
    }
    f.SettingBox(a.rule->setting).text = a.value;
    f.SettingEntryKeyPress(a.rule->setting, 13);
}

// What the boxes show after a factory load.
std::string FactoryText(const ecu::SettingRule& rule) {
    int stored = -1;
    for (const link::FactorySetting& row : link::kFactorySettingsTable)
        if (row.address == rule.address) stored = row.value;
    return FormatFixed(ecu::ShownValue(rule.setting, stored), rule.decimals, '.');
}

}  // namespace

std::string TakeAssignment(Options& options, std::string_view word) {
    const auto equals = word.find('=');
    if (equals == std::string_view::npos || equals + 1 == word.size())
        return "set takes NAME=VALUE, '" + std::string(word) + "' gives no value (" + SettingNames() + ")";
    options.assignments.emplace_back(word);
    return {};
}

int ValidateSet(const Options& options, std::string& message) {
    if (options.assignments.empty()) {
        message = "set needs at least one NAME=VALUE (" + SettingNames() + ")";
        return kExitBadUsage;
    }
    return ParseAssignments(options, message) ? kExitDone : kExitBadInput;
}

int ValidateFactoryReset(const Options& options, std::string& message) {
    if (options.yes) return kExitDone;
    message = "factory-reset replaces every setting in the ECU: confirm with --yes";
    return kExitBadUsage;
}

int RunSettings(HeadlessSession& session, const Options&) {
    int status = session.connect(true);
    if (status == kExitDone) status = SettingsNotAllRead(session).value_or(kExitDone);
    if (status == kExitDone) PrintSettings(session);
    session.exit();
    return status;
}

int RunSet(HeadlessSession& session, const Options& options) {
    std::string message;
    const std::vector<Assignment> assignments = ParseAssignments(options, message).value_or(std::vector<Assignment>{});
    int status = session.connect(true);
    bool differs = false;
    for (const Assignment& a : assignments) {
        if (status != kExitDone) break;
        status = RunExchange(session, [&a](Form1Korvane& f) { Confirm(f, a); });
        const Form1Korvane& f = session.form();
        using Outcome = Form1Korvane::ExchangeOutcome;
        if (status == kExitDone && f.SettingWriteResult == Outcome::Differs) {
            differs = true;
        } else if (status == kExitDone && (f.SettingWriteResult != Outcome::Done || f.SettingWriteCutShort)) {
            // Cut short, or the page that carries the value back never came whole.
            session.say("AYAR YAZMA TAMAMLANMADI : " + std::string(a.rule->name),
                        "THE SETTING WRITE DID NOT COMPLETE : " + std::string(a.rule->name));
            status = kExitEcuSilent;
        }
    }
    if (status == kExitDone) status = SettingsNotAllRead(session).value_or(kExitDone);
    if (status == kExitDone) PrintSettings(session);
    session.exit();
    if (status == kExitDone && differs) return kExitReadBackDiffers;
    return status;
}

int RunFactoryReset(HeadlessSession& session, const Options&) {
    int status = session.connect(true);
    if (status == kExitDone) status = RunExchange(session, [](Form1Korvane& f) { f.ButonLoadFabricSettings_Click(); });
    if (status == kExitDone && session.form().FactoryLoadResult != Form1Korvane::ExchangeOutcome::Done) {
        // Some of the 37 writes never went out: the ECU holds old and factory values.
        session.say("FABRİKA AYARLARI YÜKLEMESİ YARIDA KALDI !", "FACTORY SETTINGS LOAD CUT SHORT !");
        status = kExitEcuSilent;
    }
    if (status == kExitDone) status = SettingsNotAllRead(session).value_or(kExitDone);
    bool differs = false;
    if (status == kExitDone) {
        PrintSettings(session);
        for (const ecu::SettingRule& rule : ecu::SettingRules())
            if (SettingText(session.form(), rule.setting) != FactoryText(rule)) {
                session.say("FABRİKA DEĞERİ DEĞİL : " + std::string(rule.name),
                            "NOT THE FACTORY VALUE : " + std::string(rule.name));
                differs = true;
            }
    }
    session.exit();
    if (status == kExitDone && differs) return kExitReadBackDiffers;
    return status;
}

}  // namespace gasecu::cli
