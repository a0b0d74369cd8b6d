// The curve of a restore point into the editor or out as a curve file.
#include "history/record_curve.h"

#include "app/form1korvane.h"
#include "curve/curve_file_io.h"
#include "curve/curve_file_name.h"
#include "curve/curve_text.h"
#include "platform/atomic_file_write.h"

namespace gasecu::history {

namespace {

CurveOutcome Refused(std::string turkish, std::string english) { return {false, std::move(turkish), std::move(english)}; }


// A curve text exactly as the save button writes it: one the tool loads again
// without a word (all nine lines, every point, the end marker, values a curve
// file can hold).
bool IsAWholeCurveFile(const std::string& curveText) {
    const auto parsed = curveText.empty() ? std::nullopt : curve::ParseCurveText(curveText);
    if (!parsed || !parsed->endMarkerValid) return false;
    CurveRows rows{};
    parsed->applyTo(rows);
    return curve::CurveFitsTheFile(rows) && curve::FormatCurveText(rows) == curveText;
}

}  // namespace

CurveOutcome ExportCurveFile(const std::string& curveText, const std::string& fullPath) {
    if (curve::NamesTheDefaultCurveFile(fullPath))
        return Refused("Cur_00.txt HER AÇILIŞTA YENİDEN YAZILIR, BAŞKA BİR İSİM SEÇİNİZ ! " + fullPath,
                       "Cur_00.txt IS REWRITTEN AT EVERY START, CHOOSE ANOTHER NAME ! " + fullPath);
    if (!curve::FollowsCurveFileNameRule(fullPath))
        return Refused("HATALI DOSYA İSMİ ! " + fullPath, "NAME OF INCORRECT FILE ! " + fullPath);
    // A record damaged in the file must not become a curve file the tool refuses later.
    if (!IsAWholeCurveFile(curveText))
        return Refused("KAYITTA OKUNABİLİR EĞRİ YOK ! ", "THE RECORD HOLDS NO READABLE CURVE ! ");
    // The name was fine: what kept the file from the disk, as the save button says it.
    if (const auto failure = WriteFileWhole(curve::PathFromUtf8(fullPath), curveText))
        return Refused(WriteFailureTurkish(*failure) + fullPath, WriteFailureEnglish(*failure) + fullPath);
    const curve::CurveFileSaved saved = curve::CurveFileSavedMessage(fullPath);
    return {true, saved.turkish, saved.english};
}

RecordName NameOf(const Record& record) {
    const std::string label = record.label.empty() ? "" : ", " + record.label;
    return {record.time + " " + std::string(KindTurkish(record.kind)) + label,
            record.time + " " + std::string(KindEnglish(record.kind)) + label};
}

CurveOutcome RestoreToEditor(Form1Korvane& form, const std::string& curveText, const RecordName& from) {
    CurveOutcome outcome;
    const auto parsed = curveText.empty() ? std::nullopt : curve::ParseCurveText(curveText);
    if (!parsed) {
        outcome = Refused("KAYITTA OKUNABİLİR EĞRİ YOK ! ", "THE RECORD HOLDS NO READABLE CURVE ! ");
        form.ShowMessage(outcome.turkish, outcome.english);
        return outcome;
    }
    // A read or write under way would take the curve from under the exchange.
    if (form.RefusedWhileEcuBusy()) return {};
    if (!form.MayDropCurve()) return {};
    form.NoteCurveStep();  // an edit not yet noted stays a step of its own
    parsed->applyTo(form.CurveTable);
    form.NoteCurveStep();
    form.ClearCurvePicture();
    form.DrawCurves();
    outcome = {true, "KAYITTAKİ EĞRİ EDİTÖRE ALINDI", "THE RECORD'S CURVE IS IN THE EDITOR"};
    if (!from.turkish.empty()) {
        outcome.turkish += " : " + from.turkish;
        outcome.english += " : " + from.english;
    }
    form.ShowMessage(outcome.turkish, outcome.english);
    return outcome;
}

}  // namespace gasecu::history
