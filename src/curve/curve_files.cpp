// Curve files: the fitter keeps a known-good curve for a vehicle type as a small
// text file ("Cur" and a two-digit number, ".txt") and loads it into another ECU.
// Both buttons work on CurveTable rows 1..8 only; neither needs the ECU.
#include <optional>
#include <string>

#include "app/form1korvane.h"
#include "curve/curve_file_io.h"
#include "curve/curve_file_name.h"
#include "curve/curve_text.h"
#include "curve/point_marks.h"
#include "platform/atomic_file_write.h"

namespace gasecu {

namespace {

constexpr const char* kPresetName = "*.txt";

bool NameAcceptable(const std::string& path) {
    return !path.empty() && path != kPresetName && curve::FollowsCurveFileNameRule(path);
}

}  // namespace

void Form1Korvane::ButonDisktenOku_Click() {
    // A file loaded under a read, a write or a calibration run would be replaced,
    // written half and half, or rescaled and uploaded by the run.
    if (CurveEditsLocked()) {
        ShowMessage("ECU İLE İLETİŞİM SÜRÜYOR, BEKLEYİNİZ ! ", "ECU EXCHANGE RUNNING, PLEASE WAIT ! ");
        return;
    }
    // Asked before anything changes: Cancel leaves the window as it was.
    if (!MayDropCurve()) return;
    const std::string f = env.fileDialogs ? env.fileDialogs->showOpen(CommonDialog1) : std::string();
    CommonDialog1.fileName = kPresetName;
    // A cancelled dialog is no fault: the window stays as it was, message included.
    if (f.empty()) return;
    // An edit just before is its own step, the file another.
    NoteCurveStep();
    KomutSatırı.text.clear();
    ClearCurvePicture();
    CurveFileOk = false;
    curve::UncheckAllPoints(*this);

    std::optional<curve::ParsedCurve> parsed;
    if (NameAcceptable(f)) {
        if (auto text = curve::ReadCurveFileText(curve::PathFromUtf8(f))) parsed = curve::ParseCurveText(*text);
    }
    if (!parsed) {
        // The whole file is checked before anything is taken over: a faulty file
        // leaves the curve in the window exactly as it was.
        ShowMessage("HATALI DOSYA !", "FILE ERROR !");
        return;
    }
    parsed->applyTo(CurveTable);
    StoredCurve = CurveTable;
    NoteCurveStep();
    CurveFileOk = parsed->endMarkerValid;
    if (CurveFileOk)
        ShowMessage(" " + f + " — EĞRİ DOSYADAN YÜKLENDİ", " " + f + " — CURVE LOADED FROM THE FILE");
    else
        ShowMessage("DOSYA HATALI ! :" + f, "INCORRECT FILE ! :" + f);
    NoteRestorePoint(history::Kind::FileLoad, CurveFileOk ? "done" : "no-end-marker", f);
}

void Form1Korvane::ButonDiskeYaz_Click() { SaveCurveFile(); }

bool Form1Korvane::SaveCurveFile() {
    const std::string f = env.fileDialogs ? env.fileDialogs->showSave(CommonDialog1) : std::string();
    CommonDialog1.fileName = kPresetName;
    // Cancelled: nothing saved and nothing to say (a question that asked for the
    // save still hears that it did not happen).
    if (f.empty()) return false;
    KomutSatırı.text.clear();
    ClearCurvePicture();
    curve::UncheckAllPoints(*this);

    if (curve::NamesTheDefaultCurveFile(f)) {
        ShowMessage("Cur_00.txt HER AÇILIŞTA YENİDEN YAZILIR, BAŞKA BİR İSİM SEÇİNİZ ! ",
                    "Cur_00.txt IS REWRITTEN AT EVERY START, CHOOSE ANOTHER NAME ! ");
        return false;
    }
    if (NameAcceptable(f) && !curve::CurveFitsTheFile(CurveTable)) {
        // Written, it could never be loaded again.
        ShowMessage("EĞRİDE DOSYANIN TUTAMAYACAĞI DEĞER VAR (-32768..32767) ! ",
                    "THE CURVE HOLDS A VALUE NO CURVE FILE CAN KEEP (-32768..32767) ! ");
        return false;
    }
    if (!NameAcceptable(f)) {
        ShowMessage("HATALI DOSYA İSMİ ! ", "NAME OF INCORRECT FILE ! ");
        return false;
    }
    if (const auto failure = WriteFileWhole(curve::PathFromUtf8(f), curve::FormatCurveText(CurveTable))) {
        // The name was fine: say what kept the file from the disk, so the fitter
        // frees room, picks another folder or another name.
        ShowMessage(WriteFailureTurkish(*failure) + f, WriteFailureEnglish(*failure) + f);
        return false;
    }
    StoredCurve = CurveTable;
    const curve::CurveFileSaved saved = curve::CurveFileSavedMessage(f);
    ShowMessage(saved.turkish, saved.english);
    NoteRestorePoint(history::Kind::FileSave, "done", f);
    return true;
}

}  // namespace gasecu
