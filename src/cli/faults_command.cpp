// gasecu faults [--clear]: the fault report of the settings screen. With --clear
// the clear button's 21 zero writes run first; the fault pages are read after them.
#include "cli/commands.h"
#include "cli/headless_session.h"
#include "cli/settings_exchange.h"

namespace gasecu::cli {

int RunFaults(HeadlessSession& session, const Options& options) {
    int status = session.connect(true);
    if (status == kExitDone) {
        status = RunExchange(session, [clear = options.clear](Form1Korvane& f) {
            if (clear) f.StartFaultClear();  // the command line is the fitter's Yes
            else f.ButonTroubles_Click();
        });
    }
    if (status == kExitDone && options.clear &&
        session.form().FaultClearResult != Form1Korvane::ExchangeOutcome::Done) {
        // Some zero writes never went out: the records the tool shows next may be old.
        session.say("HATA SİLME YARIDA KALDI !", "FAULT CLEARING CUT SHORT !");
        status = kExitEcuSilent;
    }
    bool remaining = false;
    if (status == kExitDone) {
        const Form1Korvane& f = session.form();
        const std::pair<const char*, const TextBoxControl*> boxes[] = {
            {"gas-valve-relay", &f.TroublesGasValveRelayTextBox},
            {"injector-relay", &f.TroublesInjMainRelayTextBox},
            {"low-pressure", &f.TroublesPresslowTextBox},
            {"connection-error", &f.TroublesCRCErrTextBox},
        };
        for (const auto& [name, box] : boxes) {
            // A box never filled: its page did not come whole.
            if (box->text.empty()) status = kExitEcuSilent;
            if (box->text != "0") remaining = true;
        }
        if (status == kExitDone)
            for (const auto& [name, box] : boxes) session.result(std::string(name) + "=" + box->text);
        else
            session.say("HATA SAYFALARI OKUNAMADI", "THE FAULT PAGES COULD NOT BE READ");
    }
    session.exit();
    if (status == kExitDone && options.clear && remaining) return kExitReadBackDiffers;
    return status;
}

}  // namespace gasecu::cli
