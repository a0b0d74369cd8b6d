// gasecu calibrate [--reference FILE] [-o FILE] [--upload [--no-backup-read]]: the calibration
// screen's start button with the engine held at about 2100 rpm, then optionally
// the save button (the rescaled curve as a curve file) and the upload button.
// The factory reference curve is checked before any port is opened: a run that
// would rescale whatever curve happened to be in memory is worth nothing.
#include <filesystem>
#include <optional>
#include <string>

#include "calibration/reference_file.h"
#include "cli/commands.h"
#include "cli/headless_session.h"
#include "cli/settings_exchange.h"
#include "curve/curve_file_io.h"
#include "curve/curve_file_name.h"
#include "virtual_ecu.h"

namespace gasecu::cli {

namespace {

struct Readings {
    std::string ilk, ani, text1, sayac;
    bool operator==(const Readings&) const = default;
};

Readings ReadingsOf(const Form1Korvane& f) { return {f.ilk.text, f.Ani.text, f.Text1.text, f.Sayac.text}; }

std::string ProgressLine(const Readings& r) {
    return "ilk=" + r.ilk + " Ani=" + r.ani + " Text1=" + r.text1 + " Sayac=" + r.sayac;
}

// The run ended without a result worth keeping as calibrated.
bool EndedByFault(const Form1Korvane& f) {
    const bool nozzleTooSmall = f.IterationCount > 10 && !f.CalibrationConverged;
    return f.SpeedFault || f.PressureFault || f.TemperatureFault || f.InjectionTimeFault || nozzleTooSmall ||
           !f.UnsentReferenceEnglish.empty();
}

// Why the reference file is not usable, in both languages; nothing when it is.
struct Problem {
    std::string turkish, english;
};
std::optional<Problem> ReferenceProblem(const calibration::ReferenceCurve& reference) {
    if (reference.missing) return Problem{reference.error.turkishReason, reference.error.reason};
    if (!reference.curve) {
        const std::string line = std::to_string(reference.error.line);
        return Problem{"satır " + line + ": " + reference.error.turkishReason,
                       "line " + line + ": " + reference.error.reason};
    }
    if (!reference.curve->endMarkerValid)
        return Problem{"9. satır bitiş işareti \"<::::> \" değil", "line 9 is not the end mark \"<::::> \""};
    return std::nullopt;
}

}  // namespace

int ValidateCalibrate(const Options& options, std::string& message) {
    if (options.noBackupRead && !options.upload) {
        message = "--no-backup-read goes with --upload (without it nothing is written to the ECU)";
        return kExitBadUsage;
    }
    // The rescaled curve would be lost after the run, and the ECU already holds
    // the run's reference values: the file is checked before anything starts.
    if (options.outputPath.empty()) return kExitDone;
    return CheckOutputFile(options, message);
}

int RunCalibrate(HeadlessSession& session, const Options& options) {
    Form1Korvane& f = session.form();
    if (!options.referencePath.empty()) f.ReferenceFileChoice = curve::PathFromUtf8(options.referencePath);
    const std::filesystem::path referencePath = f.ReferenceFilePath();
    if (auto problem = ReferenceProblem(calibration::ReadReferenceCurve(referencePath))) {
        const std::string path = curve::Utf8FromPath(referencePath);
        session.say("ORJ.DAT YÜKLENEMEDİ ! " + path + " (" + problem->turkish + ")",
                    "ORJ.DAT ERROR WHILE INSTALLATION ! " + path + " (" + problem->english + ")");
        session.exit();
        return kExitFileError;
    }
    if (sim::VirtualEcu* ecu = session.virtualEcu()) {
        // What --simulate gives the fitter's foot and the car.
        sim::HoldForCalibration(*ecu);
        session.say("sanal motor: 2100 d/d, 1.10 bar, redüktör 70 °C, gaz 35 °C",
                    "virtual engine: 2100 rpm, 1.10 bar, reducer 70 °C, gas 35 °C");
    }

    int status = session.connect(true);
    // Without the coil count of page 1 the engine speed reads 0 and the run would
    // wait for 2000 rpm that never shows.
    if (status == kExitDone) status = SettingsNotAllRead(session).value_or(kExitDone);
    // A run that ends in an upload replaces the ECU's curve: the curve it holds is
    // read first, as write-curve does, so the history keeps it as the restore point
    // should the car run worse on the rescaled one. A failed read ends the run
    // before the calibration starts.
    if (status == kExitDone && options.upload && !options.noBackupRead) status = ReadEcuCurve(session);
    bool speedNotReached = false;
    if (status == kExitDone) {
        bool toldSpeed = false;
        double speedWaitFromMs = -1;
        Readings shown;
        status = session.pressOnceLiveValuesShow(
            [&]() -> std::optional<int> {
                // The fitter opens the calibration screen and presses start.
                session.press(&Form1Korvane::ButonAyar_Click);
                session.press(&Form1Korvane::KalibrasyonBaşlatButon_Click);
                shown = ReadingsOf(f);
                return f.CalibrationRunning ? std::nullopt : std::optional<int>(kExitEcuSilent);
            },
            [&](HeadlessSession::Event event) -> std::optional<int> {
                if (const Readings now = ReadingsOf(f); now != shown) {
                    shown = now;
                    if (!shown.ilk.empty()) session.say(ProgressLine(shown), ProgressLine(shown));
                }
                // The start step waits for the engine speed; say once what it waits for.
                if (!toldSpeed && f.CalibrationRunning && f.CalibrationNextStep == 297 && f.SequencerState == 8 &&
                    event == HeadlessSession::Event::Tick) {
                    toldSpeed = true;
                    session.say("DEVİR 2000 d/d ALTINDA: MOTORU 2100 DEVİRDE SABİT TUTUNUZ !",
                                "ENGINE BELOW 2000 RPM: HOLD IT STEADY AT ABOUT 2100 RPM !");
                }
                // The run waits at its start step until the engine holds 2000 rpm; a
                // script must not wait for ever. The stop button sends the ECU's
                // calibration end, as the fitter's would.
                const bool waitingForSpeed = f.CalibrationRunning && f.CalibrationNextStep == 297;
                if (!waitingForSpeed) speedWaitFromMs = -1;
                else if (speedWaitFromMs < 0) speedWaitFromMs = session.nowMs();
                if (waitingForSpeed && !speedNotReached &&
                    session.nowMs() - speedWaitFromMs > static_cast<double>(options.speedWaitSeconds) * 1000) {
                    speedNotReached = true;
                    const std::string seconds = std::to_string(options.speedWaitSeconds);
                    session.say("MOTOR " + seconds + " SANİYEDE 2000 d/d'YE ULAŞMADI : KALİBRASYON DURDURULDU !",
                                "THE ENGINE DID NOT REACH 2000 RPM IN " + seconds + " S : CALIBRATION STOPPED !");
                    session.press(&Form1Korvane::KalibrasyonDurdurButon_Click);
                }
                // The link watch gave up on a silent ECU and stopped the run.
                if (f.EcuSilent) return kExitEcuSilent;
                if (!f.CalibrationRunning && f.SequencerState == 8)
                    return speedNotReached ? kExitCalibrationFault : kExitDone;
                return std::nullopt;
            });
    }
    if (status != kExitDone) {
        session.exit();
        return status;
    }

    const bool fault = EndedByFault(f);
    const bool scaled = f.SlopeFactor != 0;
    if (scaled && !options.outputPath.empty()) {
        const std::string full = FullPath(options.outputPath);
        session.fileDialogs().setAnswer(full);
        session.press(&Form1Korvane::ButonDiskeYaz_Click);
        const std::string& message = f.KomutSatırı.text;
        const curve::CurveFileSaved saved = curve::CurveFileSavedMessage(full);
        if (!message.starts_with(saved.turkish) && !message.starts_with(saved.english)) {
            session.exit();
            return kExitFileError;
        }
        session.result(full);
    } else if (!options.outputPath.empty()) {
        session.say("EĞRİ ÖLÇEKLENMEDİ, DOSYA YAZILMADI : " + options.outputPath,
                    "CURVE NOT RESCALED, NO FILE WRITTEN : " + options.outputPath);
    }
    if (fault) {
        if (options.upload) session.say("ECU'YE YÜKLENMEDİ !", "NOT WRITTEN TO THE ECU !");
        session.exit();
        return kExitCalibrationFault;
    }

    if (options.upload) {
        session.press(&Form1Korvane::Kalibrasyonyükleme_Click);
        if (f.SequencerState == 18) {
            status = session.waitUntil([&](HeadlessSession::Event) -> std::optional<int> {
                if (f.EcuSilent) return kExitEcuSilent;
                if (f.CurveWriteRunning()) return std::nullopt;
                return CurveWriteExitStatus(f.CurveWriteResult);
            });
        } else {
            status = CurveWriteExitStatus(f.CurveWriteResult);
        }
    }
    session.exit();
    return status;
}

}  // namespace gasecu::cli
