#include "cli/settings_exchange.h"

#include "cli/command_line.h"
#include "cli/headless_session.h"

namespace gasecu::cli {

int RunExchange(HeadlessSession& session, const std::function<void(Form1Korvane&)>& action) {
    return session.pressOnceLiveValuesShow(
        [&]() -> std::optional<int> {
            session.press([&action](Form1Korvane& form) { action(form); });
            // Still idle: the link guard failed and nothing was started.
            return session.form().SequencerState == 8 ? std::optional<int>(kExitEcuSilent) : std::nullopt;
        },
        [&](HeadlessSession::Event event) -> std::optional<int> {
            // The first live reply after the exchange.
            return session.liveSampleDecoded(event) ? std::optional<int>(kExitDone) : std::nullopt;
        });
}

std::optional<int> SettingsNotAllRead(HeadlessSession& session) {
    const Form1Korvane& f = session.form();
    if (f.SettingsReadResult != Form1Korvane::ExchangeOutcome::Done) {
        const std::string names = f.SettingsNotRead.empty() ? std::string("?") : f.SettingsNotRead;
        session.say("AYARLAR OKUNAMADI : " + names, "SETTINGS NOT READ : " + names);
        return kExitEcuSilent;
    }
    if (f.CoilCountDoubtful) {
        session.say("BOBİN SAYISI ŞÜPHELİ : " + f.Coil.text, "DOUBTFUL COIL COUNT : " + f.Coil.text);
        return kExitEcuSilent;
    }
    return std::nullopt;
}

std::string SettingText(const Form1Korvane& form, ecu::Setting setting) {
    switch (setting) {
    case ecu::Setting::Coils:
        return form.Coil.text;
    case ecu::Setting::SwitchRpm:
        return form.SetPTransRPMTextBox.text;
    case ecu::Setting::SwitchTemperature:
        return form.SetPTransRedTempTextBox.text;
    case ecu::Setting::MinimumPressure:
        return form.SetPXXPressureTextBox.text;
    case ecu::Setting::LeakPressure:
        return form.SetPXXPressLeakageTextBox.text;
    case ecu::Setting::Advance:
        return form.msavvv.text;
    }
    return {};
}

void PrintSettings(HeadlessSession& session) {
    for (const ecu::SettingRule& rule : ecu::SettingRules())
        session.result(std::string(rule.name) + "=" + SettingText(session.form(), rule.setting));
}

}  // namespace gasecu::cli
