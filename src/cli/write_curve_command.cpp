// gasecu write-curve FILE [--no-verify]: the load button (ButonDisktenOku) with
// the file dialog answering FILE, then the write button (ButonEcuYaz), as a fitter
// who puts a known-good curve into the next van would press them. The write is
// proven by reading the curve back; a curve that no byte can carry is refused
// before any port is opened.
#include "cli/commands.h"
#include "cli/headless_session.h"
#include "curve/curve_file_io.h"
#include "curve/curve_file_name.h"
#include "curve/curve_text.h"
#include "link/curve_blocks.h"

namespace gasecu::cli {

namespace {

using Outcome = Form1Korvane::CurveWriteOutcome;

std::string InLanguage(const Options& options, const std::string& turkish, const std::string& english) {
    return options.language.value_or(1) == 0 ? turkish : english;
}

}  // namespace

int CurveWriteExitStatus(Form1Korvane::CurveWriteOutcome outcome) {
    switch (outcome) {
    case Outcome::Equal:
    case Outcome::Unchecked: return kExitDone;
    case Outcome::Differs: return kExitCurveDiffers;
    case Outcome::Refused: return kExitFileError;
    case Outcome::None:
    case Outcome::Running:
    case Outcome::Incomplete: break;
    }
    return kExitEcuSilent;
}

int ValidateWriteCurve(const Options& options, std::string& message) {
    if (options.inputPath.empty()) {
        message = "write-curve needs a curve file (FILE)";
        return kExitBadUsage;
    }
    const std::string full = FullPath(options.inputPath);
    if (!curve::FollowsCurveFileNameRule(full)) {
        message = InLanguage(options, "HATALI DOSYA İSMİ ! ", "NAME OF INCORRECT FILE ! ") + full;
        return kExitFileError;
    }
    const auto text = curve::ReadCurveFileText(curve::PathFromUtf8(full));
    if (!text) {
        message = InLanguage(options, "DOSYA OKUNAMADI ! ", "FILE CANNOT BE READ ! ") + full;
        return kExitFileError;
    }
    curve::CurveTextError error;
    const auto parsed = curve::ParseCurveText(*text, &error);
    if (!parsed || !parsed->endMarkerValid) {
        const std::string line = parsed ? "9" : std::to_string(error.line);
        const std::string reason = parsed ? std::string(curve::kEndMarker) : error.reason;
        message = InLanguage(options, "HATALI DOSYA ! ", "FILE ERROR ! ") + full + " (" +
                  InLanguage(options, "satır ", "line ") + line + ": " + reason + ")";
        return kExitFileError;
    }
    // The window's curve before the load is empty: what the file does not give
    // stays 0, as it would there.
    CurveRows table{};
    parsed->applyTo(table);
    const link::EncodedCurve encoded = link::EncodeCurveForWrite(table);
    if (encoded.fault) {
        const link::BilingualText refusal = link::UnwritableMessage(*encoded.fault);
        message = InLanguage(options, refusal.turkish, refusal.english) + full;
        return kExitFileError;
    }
    return kExitDone;
}

int RunWriteCurve(HeadlessSession& session, const Options& options) {
    const std::string full = FullPath(options.inputPath);
    int status = session.connect(true);
    if (status == kExitDone) {
        // The fitter loads the file and presses the button once live values show.
        Form1Korvane& f = session.form();
        status = session.pressOnceLiveValuesShow(
            [&]() -> std::optional<int> {
                session.fileDialogs().setAnswer(full);
                session.press(&Form1Korvane::ButonDisktenOku_Click);
                // Checked before the connect; changed on disk since then.
                if (!f.CurveFileOk) return kExitFileError;
                session.press([&options](Form1Korvane& form) { form.StartCurveWrite(!options.noVerify); });
                if (f.SequencerState != 18) return CurveWriteExitStatus(f.CurveWriteResult);
                return std::nullopt;
            },
            [&](HeadlessSession::Event) -> std::optional<int> {
                if (f.CurveWriteRunning()) return std::nullopt;
                return CurveWriteExitStatus(f.CurveWriteResult);
            });
    }
    session.exit();
    if (status == kExitDone) session.result(full);
    return status;
}

}  // namespace gasecu::cli
