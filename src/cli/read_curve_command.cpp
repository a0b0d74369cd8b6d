// gasecu read-curve -o FILE: the read button (ButonEcuOku) and then the save
// button (ButonDiskeYaz) with the file dialog answering FILE, as a fitter who
// keeps a known-good curve for the next van would press them.
#include <filesystem>
#include <system_error>

#include "cli/commands.h"
#include "curve/curve_file_io.h"
#include "curve/curve_file_name.h"
#include "cli/headless_session.h"
#include "platform/atomic_file_write.h"

namespace gasecu::cli {

std::string FullPath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(curve::PathFromUtf8(path), error);
    return error ? path : curve::Utf8FromPath(full.lexically_normal());
}

int CheckOutputFile(const Options& options, std::string& message) {
    const bool turkish = options.language == 0;
    const std::string full = FullPath(options.outputPath);
    if (!curve::FollowsCurveFileNameRule(full)) {
        // The window's own refusal, in the language asked for.
        message = (turkish ? "HATALI DOSYA İSMİ ! " : "NAME OF INCORRECT FILE ! ") + full;
        return kExitFileError;
    }
    if (curve::NamesTheDefaultCurveFile(full)) {
        message = (turkish ? "Cur_00.txt HER AÇILIŞTA YENİDEN YAZILIR, BAŞKA BİR İSİM SEÇİNİZ ! "
                           : "Cur_00.txt IS REWRITTEN AT EVERY START, CHOOSE ANOTHER NAME ! ") +
                  full;
        return kExitFileError;
    }
    // A missing or read-only folder, or a folder or a device under the name, is
    // found now and not after a whole read or calibration.
    if (const auto failure = CheckWritable(curve::PathFromUtf8(full))) {
        message = (turkish ? WriteFailureTurkish(*failure) : WriteFailureEnglish(*failure)) + full;
        return kExitFileError;
    }
    return kExitDone;
}

int ValidateReadCurve(const Options& options, std::string& message) {
    if (options.outputPath.empty()) {
        message = "read-curve needs -o FILE";
        return kExitBadUsage;
    }
    return CheckOutputFile(options, message);
}

int ReadEcuCurve(HeadlessSession& session) {
    Form1Korvane& f = session.form();
    return session.pressOnceLiveValuesShow(
        [&]() -> std::optional<int> {
            session.press(&Form1Korvane::ButonEcuOku_Click);
            // The link guard failed: the button did nothing.
            return f.SequencerState == 13 ? std::nullopt : std::optional<int>(kExitEcuSilent);
        },
        [&](HeadlessSession::Event) -> std::optional<int> {
            // The link watch ended the read: the ECU stopped answering.
            if (f.EcuSilent) return kExitEcuSilent;
            // Step 17 decodes the six bands into CurveTable and returns to idle; a
            // read that got no usable reply for too long returns to idle too.
            if (f.SequencerState != 8) return std::nullopt;
            return f.CurveReadResult == Form1Korvane::ExchangeOutcome::Done ? kExitDone : kExitEcuSilent;
        });
}

int RunReadCurve(HeadlessSession& session, const Options& options) {
    int status = session.connect(true);
    if (status == kExitDone) status = ReadEcuCurve(session);
    if (status != kExitDone) {
        session.exit();
        return status;
    }

    const std::string full = FullPath(options.outputPath);
    session.fileDialogs().setAnswer(full);
    session.press(&Form1Korvane::ButonDiskeYaz_Click);
    const std::string& message = session.form().KomutSatırı.text;
    const curve::CurveFileSaved saved = curve::CurveFileSavedMessage(full);
    const bool written = message.starts_with(saved.turkish) || message.starts_with(saved.english);
    session.exit();
    if (!written) return kExitFileError;
    session.result(full);
    return kExitDone;
}

}  // namespace gasecu::cli
