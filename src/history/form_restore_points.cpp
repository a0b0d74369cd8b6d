// Where the form's operations end, a restore point: the curve read, the ECU's
// curve before a write and the curve written with its check, the settings read
// and written, the factory load, the fault clear, the calibration's result, the
// curve files loaded and saved. Each record is queued after the operation's own
// work and written in one transaction off the exchange path; a record the history
// cannot take is said in the status line and the job goes on.
#include <chrono>
#include <cstdio>

#include "app/form1korvane.h"
#include "curve/curve_text.h"
#include "history/history_store.h"
#include "history/record_queue.h"
#include "history/restore_points.h"

namespace gasecu {

namespace {

// "2026-12-09 23:01:02", local time: sorts as text and reads as the fitter's day.
std::string RecordTime(LocalTimeMs now) {
    const auto day = std::chrono::floor<std::chrono::days>(now);
    const std::chrono::year_month_day date(day);
    const std::chrono::hh_mm_ss<std::chrono::seconds> time(std::chrono::floor<std::chrono::seconds>(now - day));
    char text[32];
    // NOLINTNEXTLINE(cert-err33-c): a calendar date and a time of day fit with room to spare
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()));
    return text;
}

bool ConcernsTheCurve(history::Kind kind) {
    switch (kind) {
    case history::Kind::CurveRead:
    case history::Kind::CurveWrite:
    case history::Kind::Calibration:
    case history::Kind::FileLoad:
    case history::Kind::FileSave:
        return true;
    default:
        return false;
    }
}

// The boxes show the user's decimal mark; the history keeps '.' so that a record
// reads the same on every PC.
std::string WithDecimalPoint(std::string text) {
    for (char& c : text)
        if (c == ',') c = '.';
    return text;
}

std::string SettingBoxText(Form1Korvane& f, ecu::Setting setting) {
    return setting == ecu::Setting::Advance ? f.msavvv.text : f.SettingBox(setting).text;
}

const char* WriteResultName(Form1Korvane::CurveWriteOutcome outcome) {
    using O = Form1Korvane::CurveWriteOutcome;
    switch (outcome) {
    case O::Equal: return "equal";
    case O::Unchecked: return "unchecked";
    case O::Differs: return "differs";
    case O::Refused: return "refused";
    case O::Incomplete: return "incomplete";
    case O::Running: return "running";
    case O::None: break;
    }
    return "none";
}

}  // namespace

void Form1Korvane::OpenRestorePoints() {
    RestorePointQueue.reset();  // what an earlier sink still had queued is written first
    OwnedRestorePoints.reset();
    RestorePointSink = env.restorePoints;
    if (!RestorePointSink && env.keepHistory) {
        OwnedRestorePoints = std::make_unique<history::DatabaseRestorePoints>(history::HistoryFileIn(DataDirectory));
        RestorePointSink = OwnedRestorePoints.get();
    }
    if (RestorePointSink) {
        RestorePointQueue = std::make_unique<history::RecordQueue>(*RestorePointSink);
        RestorePointSink = RestorePointQueue.get();
    }
    if (env.jobLabel) JobLabel = *env.jobLabel;
    else if (RestorePointSink) JobLabel = RestorePointSink->lastLabel();
}

void Form1Korvane::ReportWrittenRestorePoints() {
    if (!RestorePointQueue) return;
    const history::RecordQueue::Written written = RestorePointQueue->takeWritten();
    if (written.kept + written.refused == 0) return;
    LastRestorePointKept = written.lastKept;
    if (written.refused > 0) ShowRestorePointNotKept();
}

void Form1Korvane::SettleRestorePoints() {
    if (!RestorePointQueue) return;
    RestorePointQueue->flush();
    ReportWrittenRestorePoints();
}

void Form1Korvane::ShowRestorePointNotKept() {
    const std::string turkish = " (KAYIT GEÇMİŞE YAZILAMADI)", english = " (NOT KEPT IN THE HISTORY)";
    const std::string& shown = KomutSatırı.text;
    if (shown.ends_with(turkish) || shown.ends_with(english)) return;
    ShowMessage(shown + turkish, shown + english);
}

void Form1Korvane::NoteRestorePoint(history::Kind kind, std::string result, std::string detail) {
    if (!RestorePointSink) return;
    history::Record record;
    record.time = RecordTime(clock().localNow());
    LastRestorePointTime = record.time;
    record.port = kind == history::Kind::FileLoad || kind == history::Kind::FileSave ? std::string() : LinkDeviceName;
    record.kind = kind;
    record.result = std::move(result);
    record.label = JobLabel;
    if (ConcernsTheCurve(kind)) record.curveText = curve::FormatCurveText(CurveTable);
    if (kind == history::Kind::EcuCurveBeforeWrite && EcuCurve) record.curveText = curve::FormatCurveText(*EcuCurve);
    record.settings = KnownSettings;
    if (kind == history::Kind::Calibration) {
        record.slopeFactor = SlopeFactor;
        record.iterations = static_cast<int>(IterationCount);
    }
    record.detail = std::move(detail);
    // Queued, the record's fate is known a tick later (ReportWrittenRestorePoints).
    if (!RestorePointSink->keep(record)) {
        LastRestorePointKept = false;
        ShowRestorePointNotKept();
    } else if (RestorePointSink != RestorePointQueue.get()) {
        LastRestorePointKept = true;
    }
}

void Form1Korvane::NoteEcuCurveBeforeWrite() {
    EcuCurveBeforeWriteTime.clear();
    // Unknown (never read, or changed by a write without a proven read back): there
    // is nothing to keep.
    if (!EcuCurve || !RestorePointSink) return;
    NoteRestorePoint(history::Kind::EcuCurveBeforeWrite, "done");
    EcuCurveBeforeWriteTime = LastRestorePointTime;
}

void Form1Korvane::NoteCurveWriteEnd() {
    std::string detail;
    if (CurveWriteResult == CurveWriteOutcome::Differs || CurveWriteResult == CurveWriteOutcome::Refused)
        detail = "row " + std::to_string(CurveWriteDifference.row) + " point " +
                 std::to_string(CurveWriteDifference.point) + "; ";
    // The write names the record that holds what the ECU had before it (by its
    // kind and time: records are numbered as they reach the disk): the one to
    // export should the car run worse on the new curve.
    detail += EcuCurveBeforeWriteTime.empty() ? std::string("ECU curve before: not known")
                                              : "ECU curve before: ecu-curve-before-write " + EcuCurveBeforeWriteTime;
    NoteRestorePoint(history::Kind::CurveWrite, WriteResultName(CurveWriteResult), detail);
}

void Form1Korvane::NoteSettingsRead() {
    std::string settings;
    for (const ecu::SettingRule& rule : ecu::SettingRules())
        settings += std::string(rule.name) + "=" + WithDecimalPoint(SettingBoxText(*this, rule.setting)) + "\n";
    KnownSettings = settings;
    NoteRestorePoint(history::Kind::SettingsRead, "done");
}

void Form1Korvane::NoteSettingWrite(ecu::Setting setting, bool taken) {
    NoteRestorePoint(history::Kind::SettingWrite, taken ? "taken" : "not-taken",
                     std::string(ecu::RuleFor(setting).name) + "=" +
                         WithDecimalPoint(SettingBoxText(*this, setting)));
}

void Form1Korvane::NoteCalibrationEnd() {
    std::string result = "not-converged";
    if (SpeedFault) result = "speed-fault";
    else if (PressureFault) result = "pressure-fault";
    else if (TemperatureFault) result = "temperature-fault";
    else if (InjectionTimeFault) result = "injection-time-fault";
    else if (CalibrationConverged) result = "converged";
    NoteRestorePoint(history::Kind::Calibration, result);
}

}  // namespace gasecu
