// The three screens of the work area and their buttons.
#include "app/form1korvane.h"
#include "curve/point_marks.h"

namespace gasecu {

namespace {
// Each screen's title, Turkish and English: what its button writes into the
// emptied status line.
struct ScreenTitle {
    const char* turkish;
    const char* english;
};
constexpr ScreenTitle kCurveTitle{"EĞRİ", "CURVE"};
constexpr ScreenTitle kSettingsTitle{"AYARLAR", "SETTINGS"};
constexpr ScreenTitle kCalibrationTitle{"KALİBRASYON", "CALIBRATION"};
}  // namespace

bool Form1Korvane::StatusShowsOnlyAScreenTitle() const {
    for (const ScreenTitle& t : {kCurveTitle, kSettingsTitle, kCalibrationTitle})
        if (KomutSatırı.text == t.turkish || KomutSatırı.text == t.english) return true;
    return false;
}

void Form1Korvane::ButonEğri_Click() {
    KomutSatırı.text.clear();
    ShowMessage(kCurveTitle.turkish, kCurveTitle.english);
    EğriKağıdıPic.visible = true;
    for (ButtonControl* b : {&ButonDisktenOku, &ButonDiskeYaz, &ButonEcuOku, &ButonEcuYaz}) b->visible = true;
    SettingsSettingsPic.visible = false;
    KalibrasyonPic.visible = false;
    ButonEğri.backColour = colours::kDarkCyan;
    ButonSetup.backColour = colours::kWhite;
    ButonAyar.backColour = colours::kWhite;
    ButonEğri.enabled = false;
    ButonSetup.enabled = true;
    ButonAyar.enabled = true;
    CurveFileOk = false;
    curve::UncheckAllPoints(*this);
    ilk.text.clear();
    Ani.text.clear();
    Text1.text.clear();
    Sayac.text = "1";
}

void Form1Korvane::ButonSetup_Click() {
    // Opening the settings screen reads the pages: not in the middle of an exchange.
    if (RefusedWhileEcuBusy()) return;
    KomutSatırı.text.clear();
    ShowMessage(kSettingsTitle.turkish, kSettingsTitle.english);
    KalibrasyonPic.visible = false;
    SequencerState = 290;
    EğriKağıdıPic.visible = false;
    SettingsSettingsPic.visible = true;
    ButonSetup.backColour = colours::kDarkCyan;
    ButonEğri.backColour = colours::kWhite;
    ButonAyar.backColour = colours::kWhite;
    for (ButtonControl* b : {&ButonDisktenOku, &ButonDiskeYaz, &ButonEcuOku, &ButonEcuYaz}) b->visible = false;
    ButonSetup.enabled = false;
    ButonEğri.enabled = true;
    ButonAyar.enabled = true;
}

void Form1Korvane::ButonAyar_Click() {
    KomutSatırı.text.clear();
    ShowMessage(kCalibrationTitle.turkish, kCalibrationTitle.english);
    KalibrasyonBaşlatButon.enabled = true;
    KalibrasyonBaşlatButon.visible = true;
    KalibrasyonDurdurButon.enabled = false;
    KalibrasyonDurdurButon.visible = false;
    for (ButtonControl* b : {&ButonDisktenOku, &ButonDiskeYaz, &ButonEcuOku, &ButonEcuYaz}) b->visible = false;
    KalibrasyonPic.visible = true;
    Kalibrasyonyükleme.visible = false;
    EğriKağıdıPic.visible = false;
    SettingsSettingsPic.visible = false;
    AyarKırmızıImg.visible = true;
    ButonEğri.backColour = colours::kWhite;
    ButonSetup.backColour = colours::kWhite;
    ButonAyar.backColour = colours::kDarkCyan;
    ButonAyar.enabled = false;
    ButonEğri.enabled = true;
    ButonSetup.enabled = true;
    KalibrasyonBaşlatButon.enabled = true;
    // Coming back to the screen while a run goes on (the screen buttons return with
    // every live reply) must leave the run its stop button: with start offered
    // instead, a run waiting for the engine to reach speed could not be ended.
    if (CalibrationRunning) {
        KalibrasyonBaşlatButon.enabled = false;
        KalibrasyonBaşlatButon.visible = false;
        KalibrasyonDurdurButon.enabled = true;
        KalibrasyonDurdurButon.visible = true;
    }
}

}  // namespace gasecu
