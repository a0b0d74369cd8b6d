// Where the curve on screen is kept besides the screen: in the ECU (after a read,
// or after a write whose read back was equal) and in a curve file (after a save
// or a load). A curve that equals neither has changes that closing the window,
// a file or ECU read, or a calibration run would lose: those ask first, and the
// window's title carries a mark meanwhile.
//
// A write without its read back does not count: its frames went out, but the ECU
// acknowledges no block, so nothing shows that it holds the curve (a lost block
// leaves part of the old one). From the first frame of a write until its check
// passes, the tool does not know what the ECU holds.
#include "app/form1korvane.h"

namespace gasecu {

void Form1Korvane::KeepEcuCurve() {
    EcuCurve = CurveTable;
    CheckEkuEğrisi.enabled = true;
}

void Form1Korvane::ForgetEcuCurve() {
    EcuCurve.reset();
    // The box keeps the fitter's choice; it shows again with the next kept curve.
    CheckEkuEğrisi.enabled = false;
}

void Form1Korvane::CheckEkuEğrisi_Click() {
    ClearCurvePicture();
    DrawCurves();
}

bool Form1Korvane::CurveUnsaved() const {
    if (CurveTable == StoredCurve) return false;
    return !EcuCurve || CurveTable != *EcuCurve;
}

bool Form1Korvane::MayDropCurve() {
    if (!env.askBeforeDroppingCurve || !CurveUnsaved()) return true;
    const SaveChoice choice = AskSaveDiscardCancel(
        "Eğrideki değişiklikler ne dosyaya kaydedildi ne EKÜ'ye yazıldı. Önce dosyaya kaydedilsin mi?",
        "The curve has changes that are neither saved to a file nor written to the ECU. Save them to a file first?");
    switch (choice) {
        case SaveChoice::Save: return SaveCurveFile();  // a cancelled or failed save stops here
        case SaveChoice::Discard: return true;
        case SaveChoice::Cancel: return false;
    }
    return false;
}

}  // namespace gasecu
