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
    const curve::CurveFileRead read = curve::ReadCurveFile(curve::PathFromUtf8(full));
    auto refuse = [&](const std::string& turkishHead, const std::string& englishHead, const std::string& line,
                      const std::string& turkishReason, const std::string& englishReason) {
        const std::string where = line.empty() ? "" : InLanguage(options, "satır ", "line ") + line + ": ";
        message = InLanguage(options, turkishHead, englishHead) + full + " (" + where +
                  InLanguage(options, turkishReason, englishReason) + ")";
        return kExitFileError;
    };
    if (!read.text) {
        if (read.problem == curve::CurveFileRead::Problem::TooLarge)
            return refuse("HATALI DOSYA ! ", "FILE ERROR ! ", "", read.turkish, read.english);
        return refuse("DOSYA OKUNAMADI ! ", "FILE CANNOT BE READ ! ", "", read.turkish, read.english);
    }
    curve::CurveTextError error;
    const auto parsed = curve::ParseCurveText(*read.text, &error);
    if (!parsed)
        return refuse("HATALI DOSYA ! ", "FILE ERROR ! ", std::to_string(error.line), error.turkishReason,
                      error.reason);
    if (!parsed->endMarkerValid) {
        const std::string mark(curve::kEndMarker);
        return refuse("HATALI DOSYA ! ", "FILE ERROR ! ", "9", "bitiş işareti \"" + mark + "\" değil",
                      "not the end mark \"" + mark + "\"");
    }
    // The window's curve before the load is empty: what the file does not give
    // stays 0, as it would there.
    CurveRows table{};
    parsed->applyTo(table);
    const link::EncodedCurve encoded = link::EncodeCurveForWrite(table);
    if (encoded.fault) {
        // A line short of numbers leaves its last points at 0, and the curve is
        // refused for them: the missing numbers are the cause to name.
        const int row = static_cast<int>(encoded.fault->where.row);
        const int given = parsed->pointCount[row];
        if (static_cast<int>(encoded.fault->where.point) > given) {
            const std::string expected = row == 1 ? "6" : "18";
            const std::string count = std::to_string(given);
            return refuse("HATALI DOSYA ! ", "FILE ERROR ! ", std::to_string(row), count + " sayı var, " + expected +
                          " olmalı", count + " numbers, " + expected + " expected");
        }
        const link::BilingualText refusal = link::UnwritableMessage(*encoded.fault);
        message = InLanguage(options, refusal.turkish, refusal.english) + full;
        return kExitFileError;
    }
    return kExitDone;
}

int RunWriteCurve(HeadlessSession& session, const Options& options) {
    const std::string full = FullPath(options.inputPath);
    int status = session.connect(true);
    // What the ECU holds is read first, as a fitter reads before writing: the write
    // keeps it as its restore point. A read that fails ends the run before anything
    // is written.
    if (status == kExitDone && !options.noBackupRead) status = ReadEcuCurve(session);
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
