// The end of a settings read (steps 1 to 7): which of the pages that carry
// settings came whole, asking again for the ones that did not, and what a read
// that still misses a page shows. A box must never show a value from before as if
// the ECU had just sent it: after a settings change the fitter takes the box for
// what the car now runs with.
#include <optional>
#include <string>

#include "app/form1korvane.h"

namespace gasecu {

namespace {

// The pages are asked for three times at most (about 3.5 s each) before the read
// gives up on the ones still missing.
constexpr int kSettingsReadAttempts = 3;
constexpr unsigned kAllSettingsPages = 7;
// What a box shows for a value that was not read.
constexpr const char* kNotRead = "?";

// The bit of SettingsPagesRead for the step that decodes a setting's page.
unsigned PageBit(int refreshStep) {
    if (refreshStep == 2) return 1U;
    if (refreshStep == 6) return 2U;
    return 4U;
}

}  // namespace

void Form1Korvane::StartSettingsRead() {
    if (SettingsReadRepeat) {
        SettingsReadRepeat = false;
        ++SettingsReadAttempt;
        return;
    }
    SettingsPagesRead = 0;
    SettingsReadAttempt = 1;
    SettingsNotRead.clear();
    SettingsReadResult = ExchangeOutcome::Running;
}

bool Form1Korvane::FinishSettingsRead() {
    if (SettingsPagesRead != kAllSettingsPages && SettingsReadAttempt < kSettingsReadAttempts) {
        SettingsReadRepeat = true;
        return false;
    }
    // The link counts as up from this tick on: the connect is said now, before
    // what the read itself has to say.
    if (ConnectedMessage) {
        ShowMessage(ConnectedMessage->turkish, ConnectedMessage->english);
        ConnectedMessage.reset();
    }
    SettingsNotRead.clear();
    std::string turkish, english;
    for (const ecu::SettingRule& rule : ecu::SettingRules()) {
        if (SettingsPagesRead & PageBit(rule.refreshStep)) continue;
        SettingsNotRead += (SettingsNotRead.empty() ? "" : " ") + std::string(rule.name);
        turkish += (turkish.empty() ? "" : ", ") + std::string(rule.turkish);
        english += (english.empty() ? "" : ", ") + std::string(rule.english);
        if (rule.setting == ecu::Setting::Advance) {
            msavvv.text = kNotRead;
            avas.selectedIndex = -1;
        } else {
            SettingBox(rule.setting).text = kNotRead;
        }
        if (rule.setting == ecu::Setting::Coils) CoilCountDoubtful = false;
    }
    SettingsReadAttempt = 0;
    SettingsReadResult = SettingsNotRead.empty() ? ExchangeOutcome::Done : ExchangeOutcome::CutShort;
    std::optional<ecu::Setting> writeNotReadBack;
    if (SettingWriteResult == ExchangeOutcome::Running) {
        // The write's own page is what proves it: not read back, not known.
        if (PendingSettingCheck) {
            SettingWriteResult = ExchangeOutcome::CutShort;
            writeNotReadBack = PendingSettingCheck->setting;
        } else if (SettingNotTaken) {
            SettingWriteResult = ExchangeOutcome::Differs;
        } else {
            SettingWriteResult = ExchangeOutcome::Done;
        }
        PendingSettingCheck.reset();
    }
    if (!SettingsNotRead.empty()) ShowMessage("AYARLAR OKUNAMADI : " + turkish, "SETTINGS NOT READ : " + english);
    else if (SettingsReadAnnounced) ShowMessage("AYARLAR OKUNDU", "SETTINGS READ");
    SettingsReadAnnounced = false;
    if (writeNotReadBack) {
        // The write ends with its own result after the read's: sent, but whether
        // the ECU took it nobody knows.
        const ecu::SettingRule& rule = ecu::RuleFor(*writeNotReadBack);
        ShowMessage(std::string("AYAR YAZMA TAMAMLANMADI : ") + rule.turkish + " : GERİ OKUNAMADI !",
                    std::string("SETTING WRITE DID NOT COMPLETE : ") + rule.english + " : NOT READ BACK !");
    }
    return true;
}

}  // namespace gasecu
