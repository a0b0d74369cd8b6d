// gasecu read-curve -o FILE: the read button (ButonEcuOku) and then the save
// button (ButonDiskeYaz) with the file dialog answering FILE, as a fitter who
// keeps a known-good curve for the next van would press them.
#include <filesystem>
#include <system_error>

#include "cli/commands.h"
#include "curve/curve_file_name.h"
#include "cli/headless_session.h"

namespace gasecu::cli {

std::string FullPath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(path, error);
    return error ? path : full.lexically_normal().string();
}

int ValidateReadCurve(const Options& options, std::string& message) {
    if (options.outputPath.empty()) {
        message = "read-curve needs -o FILE";
        return kExitBadUsage;
    }
    const std::string full = FullPath(options.outputPath);
    if (!curve::FollowsCurveFileNameRule(full)) {
        // The window's own refusal, in the language asked for.
        message = (options.language == 0 ? "HATALI DOSYA İSMİ ! " : "NAME OF INCORRECT FILE ! ") + full;
        return kExitFileError;
    }
    if (curve::NamesTheDefaultCurveFile(full)) {
        message = (options.language == 0 ? "Cur_00.txt HER AÇILIŞTA YENİDEN YAZILIR, BAŞKA BİR İSİM SEÇİNİZ ! "
                                         : "Cur_00.txt IS REWRITTEN AT EVERY START, CHOOSE ANOTHER NAME ! ") +
                  full;
        return kExitFileError;
    }
    return kExitDone;
}

int RunReadCurve(HeadlessSession& session, const Options& options) {
    int status = session.connect(true);
    if (status == kExitDone) {
        // The fitter presses the button once live values show: after the first
        // live reply, between two ticks, as a click would come.
        bool pressed = false;
        status = session.waitUntil([&](HeadlessSession::Event event) -> std::optional<int> {
            Form1Korvane& f = session.form();
            if (!pressed) {
                if (!session.liveSampleDecoded(event)) return std::nullopt;
                session.press(&Form1Korvane::ButonEcuOku_Click);
                pressed = true;
                // The link guard failed: the button did nothing.
                return f.SequencerState == 13 ? std::nullopt : std::optional<int>(kExitEcuSilent);
            }
            // The link watch ended the read: the ECU stopped answering.
            if (f.EcuSilent) return kExitEcuSilent;
            // Step 17 decodes the six bands into CurveTable and returns to idle.
            return f.SequencerState == 8 ? std::optional<int>(kExitDone) : std::nullopt;
        });
    }
    if (status != kExitDone) {
        session.exit();
        return status;
    }

    const std::string full = FullPath(options.outputPath);
    session.fileDialogs().setAnswer(full);
    session.press(&Form1Korvane::ButonDiskeYaz_Click);
    const std::string& message = session.form().KomutSatırı.text;
    const bool written = message == "HATASIZ DOSYA  " + full || message == "FILE NO ERRORS " + full;
    session.exit();
    if (!written) return kExitFileError;
    session.result(full);
    return kExitDone;
}

}  // namespace gasecu::cli
