// Changing one ECU setting from the general-settings screen: the five entry boxes
// (only Enter acts), the advance list and the gas type buttons. One write goes out
// at step 46 (with the coil type at 47 for a coil count), then every page is read
// back, and the read-back is checked against what was written: an ECU that keeps
// its old value must not look as if it had taken the new one.
#include "app/form1korvane.h"
#include "app/number_format.h"
#include "ecu/advance_list.h"
#include "ecu/reply_decoding.h"
#include "link/command_frames.h"

namespace gasecu {

namespace {

constexpr int kEnterKey = 13;
constexpr std::uint8_t kCoilChangedTrue = 255;

// An entry made while nothing can reach the ECU (no link, or the ECU silent).
void SayEntryNotWritten(Form1Korvane& f) {
    const Form1Korvane::ExchangeFailure failure = f.EndSettingWriteNotCompleted();
    if (!f.LinkGuard())
        f.ShowMessage(failure.turkish + " : ECU BAĞLI DEĞİL ! ", failure.english + " : ECU NOT CONNECTED ! ");
    else
        f.ShowMessage(failure.turkish + " : ECU YANIT VERMİYOR ! ", failure.english + " : ECU NOT RESPONDING ! ");
}

}  // namespace

TextBoxControl& Form1Korvane::SettingBox(ecu::Setting setting) {
    switch (setting) {
    case ecu::Setting::Coils:
        return Coil;
    case ecu::Setting::SwitchRpm:
        return SetPTransRPMTextBox;
    case ecu::Setting::SwitchTemperature:
        return SetPTransRedTempTextBox;
    case ecu::Setting::MinimumPressure:
        return SetPXXPressureTextBox;
    case ecu::Setting::LeakPressure:
        return SetPXXPressLeakageTextBox;
    case ecu::Setting::Advance:
        break;
    }
    return msavvv;
}

LabelControl* Form1Korvane::SettingLabel(ecu::Setting setting) {
    switch (setting) {
    case ecu::Setting::Coils:
        return &GeneralSettingsLabelCoil;
    case ecu::Setting::SwitchRpm:
        return &SetPLabelRPM;
    case ecu::Setting::SwitchTemperature:
        return &SetPLabelRedTransitionTemp;
    case ecu::Setting::MinimumPressure:
        return &SetLabelPXXPressureTextBox;
    case ecu::Setting::LeakPressure:
        return &SetLabelPXXPressLeakageTextBox;
    case ecu::Setting::Advance:
        break;
    }
    return nullptr;  // the advance list has no caption that marks a write
}

void Form1Korvane::SettingEntryKeyPress(ecu::Setting setting, int key) {
    TextBoxControl& box = SettingBox(setting);
    const ecu::SettingRule& rule = ecu::RuleFor(setting);
    // The text typed so far, as a leading number: "1.20 bar" is 1.2, and the
    // fitter's own decimal comma counts as well as a point ("1,20" is 1.2, not 1).
    const double typed = ParseLeadingNumber(box.text);
    if (key != kEnterKey) return;  // the character is typed as usual

    // A new write would cut the running exchange short; a write under way keeps
    // its own outcome.
    if (RefusedWhileEcuBusy()) return;
    const std::optional<int> byte = ecu::EntryByte(setting, typed);
    if (!byte) {
        SettingWriteResult = ExchangeOutcome::Refused;
        // Nothing was written: the box shows again what the ECU holds.
        ShowKnownSettingValue(setting);
        const std::string range = ecu::AcceptedRangeText(setting, env.decimalSeparator);
        const bool coils = setting == ecu::Setting::Coils;
        ShowMessage(std::string("GEÇERSİZ DEĞER ! ") + rule.turkish + " : " + range + (coils ? " (TAM SAYI)" : ""),
                    std::string("VALUE REFUSED ! ") + rule.english + " : " + range + (coils ? " (WHOLE NUMBER)" : ""));
        return;
    }
    if (!LinkGuard() || EcuSilent) {
        // Nothing can reach the ECU: the box must not keep a value it does not hold.
        SettingWriteResult = ExchangeOutcome::Refused;
        if (!LinkGuard()) SequencerState = 8;
        PendingSettingCheck = SettingCheck{setting, *byte};
        SayEntryNotWritten(*this);
        return;
    }
    const std::optional<Bytes> frame = frames::SettingWrite(rule.address, *byte);
    if (!frame) {  // every accepted byte fits; never send a wrapped one
        SettingWriteResult = ExchangeOutcome::Refused;
        return;
    }
    SettingWriteResult = ExchangeOutcome::Running;
    PendingSettingFrame = *frame;
    SequencerState = 46;
    if (LabelControl* label = SettingLabel(setting)) label->backColour = colours::kYellow;
    ProgressBar12.visible = true;
    if (setting == ecu::Setting::Coils) {
        // "04" is 4 coils: the box shows the count as steps 46 and 47 read it, so
        // the coil type for 4 follows.
        box.text = std::to_string(*byte);
        CoilChanged = kCoilChangedTrue;
    }
    PendingSettingCheck = SettingCheck{setting, *byte};
    SettingNotTaken = false;
    SettingWriteCutShort = false;
    SetSettingsControlsEnabled(false);
}

void Form1Korvane::Coil_KeyPress(int key) { SettingEntryKeyPress(ecu::Setting::Coils, key); }
void Form1Korvane::SetPTransRPMTextBox_KeyPress(int key) { SettingEntryKeyPress(ecu::Setting::SwitchRpm, key); }
void Form1Korvane::SetPTransRedTempTextBox_KeyPress(int key) {
    SettingEntryKeyPress(ecu::Setting::SwitchTemperature, key);
}
void Form1Korvane::SetPXXPressureTextBox_KeyPress(int key) {
    SettingEntryKeyPress(ecu::Setting::MinimumPressure, key);
}
void Form1Korvane::SetPXXPressLeakageTextBox_KeyPress(int key) {
    SettingEntryKeyPress(ecu::Setting::LeakPressure, key);
}

void Form1Korvane::avas_Click() {
    if (!LinkGuard() || EcuSilent) {
        SettingWriteResult = ExchangeOutcome::Refused;
        PendingSettingCheck = SettingCheck{ecu::Setting::Advance, 0};
        SayEntryNotWritten(*this);
        return;
    }
    if (RefusedWhileEcuBusy()) {
        // The list goes back to what the ECU holds; nothing was written.
        avas.selectedIndex = ecu::AdvanceEntryFor(AdvanceTime);
        return;
    }
    SettingWriteResult = ExchangeOutcome::Running;
    const int entry = avas.selectedIndex;
    const int value = entry >= 0 && entry < static_cast<int>(ecu::kAdvanceEntries.size())
                          ? ecu::kAdvanceEntries[static_cast<std::size_t>(entry)].value
                          : ecu::kAdvanceValueWithoutSelection;
    SetSettingsControlsEnabled(false);
    const std::optional<Bytes> frame = frames::SettingWordWrite(ecu::RuleFor(ecu::Setting::Advance).address, value);
    if (frame) SendFrame(*frame);
    PendingSettingCheck = SettingCheck{ecu::Setting::Advance, value};
    SettingNotTaken = false;
    SettingWriteCutShort = false;
    SequencerState = 1;  // read all pages again
}

void Form1Korvane::LPG_Click() {
    LPG.backColour = colours::kGreen;
    CNG.backColour = colours::kRed;
    Label3.foreColour = colours::kGreen;
    Label4.foreColour = colours::kRed;
}

void Form1Korvane::CNG_Click() {
    CNG.backColour = colours::kGreen;
    LPG.backColour = colours::kRed;
    Label4.foreColour = colours::kGreen;
    Label3.foreColour = colours::kRed;
}

std::string Form1Korvane::SettingValueText(ecu::Setting setting, int stored) const {
    const ecu::SettingRule& rule = ecu::RuleFor(setting);
    std::string text = FormatNumber(ecu::ShownValue(setting, stored), rule.decimals);
    if (*rule.unit) text += std::string(" ") + rule.unit;
    return text;
}

void Form1Korvane::CheckSettingReadBack(const Bytes& reply, double step) {
    if (!PendingSettingCheck) return;
    const SettingCheck check = *PendingSettingCheck;
    const ecu::SettingRule& rule = ecu::RuleFor(check.setting);
    if (step != rule.refreshStep) return;
    PendingSettingCheck.reset();
    int stored = ecu::ReplyByte(reply, rule.replyByte);
    if (check.setting == ecu::Setting::Advance) stored += 256 * ecu::ReplyByte(reply, rule.replyByte + 1);
    NoteSettingWrite(check.setting, stored == check.written);
    if (stored == check.written) {
        // The write's own result, so a refusal or failure shown before it does not
        // stand after a good write.
        const std::string value = SettingValueText(check.setting, stored);
        ShowMessage(std::string("AYAR YAZILDI : ") + rule.turkish + " " + value,
                    std::string("SETTING WRITTEN : ") + rule.english + " " + value);
        return;
    }
    SettingNotTaken = true;
    if (LabelControl* label = SettingLabel(check.setting)) label->backColour = colours::kRed;
    ShowMessage(std::string("EKÜ AYARI KABUL ETMEDİ : ") + rule.turkish,
                std::string("THE ECU DID NOT TAKE THE SETTING : ") + rule.english);
}

}  // namespace gasecu

namespace gasecu {

void Form1Korvane::NoteEcuSettings(const Bytes& reply, double step) {
    for (const ecu::SettingRule& rule : ecu::SettingRules()) {
        if (step != rule.refreshStep) continue;
        int stored = ecu::ReplyByte(reply, rule.replyByte);
        if (rule.setting == ecu::Setting::Advance) stored += 256 * ecu::ReplyByte(reply, rule.replyByte + 1);
        EcuSettingStored[static_cast<std::size_t>(rule.setting)] = stored;
    }
}

void Form1Korvane::ShowKnownSettingValue(ecu::Setting setting) {
    // The ECU's last known value, as its page showed it; nothing when no page ever came.
    const std::optional<int> known = EcuSettingStored[static_cast<std::size_t>(setting)];
    SettingBox(setting).text =
        known ? FormatNumber(ecu::ShownValue(setting, *known), ecu::RuleFor(setting).decimals) : "";
}

Form1Korvane::ExchangeFailure Form1Korvane::EndSettingWriteNotCompleted() {
    if (!PendingSettingCheck) return {};
    const ecu::Setting setting = PendingSettingCheck->setting;
    PendingSettingCheck.reset();
    CoilChanged = 0;
    const ecu::SettingRule& rule = ecu::RuleFor(setting);
    const std::optional<int> known = EcuSettingStored[static_cast<std::size_t>(setting)];
    if (setting == ecu::Setting::Advance) {
        // The list goes back to what the ECU last reported.
        avas.selectedIndex = ecu::AdvanceEntryFor(AdvanceTime);
    } else {
        ShowKnownSettingValue(setting);
        if (LabelControl* label = SettingLabel(setting)) label->backColour = colours::kRed;
        // Step 46 set the engine-speed factor for the coil count that was typed.
        if (setting == ecu::Setting::Coils && known)
            if (auto factor = ecu::RpmFactorForCoilText(std::to_string(*known))) RpmFactor = *factor;
    }
    SettingWriteCutShort = true;
    return {std::string("AYAR YAZMA TAMAMLANMADI : ") + rule.turkish,
            std::string("SETTING WRITE DID NOT COMPLETE : ") + rule.english};
}

}  // namespace gasecu
