// Questions to the fitter, and the question before the window closes.
#include "app/form1korvane.h"

namespace gasecu {

bool Form1Korvane::AskYesNo(std::string_view turkish, std::string_view english) {
    return AskYesNoWhile(turkish, english, {});
}

bool Form1Korvane::AskYesNoWhile(std::string_view turkish, std::string_view english,
                                 std::function<bool()> stillApplies) {
    if (!env.questions) return false;
    const bool inEnglish = LanguageIndex == 1;
    YesNoQuestion q;
    q.text = std::string(inEnglish ? english : turkish);
    q.yes = inEnglish ? "Yes" : "Evet";
    q.no = inEnglish ? "No" : "Hayır";
    q.stillApplies = std::move(stillApplies);
    const bool yes = env.questions->askYesNo(q);
    // An answer given just as the question stopped applying counts as none.
    return yes && (!q.stillApplies || q.stillApplies());
}

SaveChoice Form1Korvane::AskSaveDiscardCancel(std::string_view turkish, std::string_view english) {
    if (!env.questions) return SaveChoice::Discard;
    const bool inEnglish = LanguageIndex == 1;
    SaveDiscardCancelQuestion q;
    q.text = std::string(inEnglish ? english : turkish);
    q.save = inEnglish ? "Save" : "Kaydet";
    q.discard = inEnglish ? "Discard" : "Kaydetme";
    q.cancel = inEnglish ? "Cancel" : "Vazgeç";
    return env.questions->askSaveDiscardCancel(q);
}

bool Form1Korvane::MayCloseWindow() {
    if (ExitRequested) return true;
    // The fitter's curve first: closing would lose it.
    if (!MayDropCurve()) return false;
    // A closed port means nothing is under way with the ECU: closing loses nothing.
    if (!Iletisim || !Iletisim->isOpen()) return true;
    // A write cut off leaves the ECU with part of the new curve: say so.
    if (CurveWriteRunning())
        return AskYesNo("Eğri EKÜ'ye yazılıyor; şimdi kapatılırsa yazma yarım kalır. Program kapatılsın mı?",
                        "The curve is being written to the ECU; closing now leaves the write unfinished. "
                        "Close the program?");
    return AskYesNo("EKÜ bağlı. Program kapatılsın mı?", "The ECU is connected. Close the program?");
}

}  // namespace gasecu
