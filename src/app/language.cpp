// The two languages: the choice in the list Dilsec, stored in "Dilsecim", applied
// to every caption of the window.
#include <cmath>
#include <fstream>
#include <string>

#include "app/form1korvane.h"
#include "app/stored_language.h"
#include "curve/curve_file_io.h"
#include "platform/atomic_file_write.h"
#include "platform/long_path.h"

namespace gasecu {

namespace {

// Reads the stored language index; a missing, unreadable or non-numeric file reads as 0.
double ReadLanguageFile(const std::filesystem::path& path) {
    std::ifstream in(LongPath(path), std::ios::binary);
    if (!in) return 0;
    std::string line;
    std::getline(in, line);
    try {
        std::size_t used = 0;
        double v = std::stod(line, &used);
        return std::isfinite(v) ? v : 0;
    } catch (...) {
        return 0;
    }
}

}  // namespace

int StoredLanguageIndex(const FormEnvironment& env) {
    std::error_code ec;
    // Where the start-up would keep its files: the program's own folder when it
    // can write there and is not installed, else the per-user folder.
    const bool ownFolder = env.installedDataDirectory.empty() && !env.programDirectory.empty() &&
                           std::filesystem::is_directory(env.programDirectory, ec) &&
                           CheckWritable(env.programDirectory / "Dilsecim") == std::nullopt;
    std::filesystem::path file = (ownFolder ? env.programDirectory : env.userDataDirectory) / "Dilsecim";
    if (!std::filesystem::exists(file, ec)) file = env.programDirectory / "Dilsecim";
    return ReadLanguageFile(file) == 1 ? 1 : 0;
}

void Form1Korvane::ApplyLanguage() {
    auto file = DataDirectory / "Dilsecim";
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) file = env.programDirectory / "Dilsecim";
    LanguageIndex = ReadLanguageFile(file);
    // A stored value above 3 counts as Turkish. So does every other value the list
    // has no entry for (negative, 2, 3, a fraction): it would leave every message
    // blank.
    if (LanguageIndex != 0 && LanguageIndex != 1) LanguageIndex = 0;
    ApplyLanguageIndex();
}

void Form1Korvane::ApplyLanguageIndex() {
    if (Dilsec.entries.empty()) Dilsec.entries = {"TR", "ENG"};
    Dilsec.selectedIndex = static_cast<int>(LanguageIndex);

    struct Caption {
        std::string* text;
        const char* turkish;
        const char* english;
    };
    const Caption captions[] = {
        {&LabelDevir.caption, "Devir(Rpm)", "rpm"},
        {&LabelBar.caption, "Basınç(bar)", "Pressure(bar)"},
        {&LabelRegulator.caption, "Regülatör( c)", "Reducer(Temp)"},
        {&LabelEnjektor.caption, "Enjektör( c)", "Injector(Temp)"},
        {&LabelGms.caption, "Gaz(ms)", "Gas(ms)"},
        {&LabelPms.caption, "Benzin(ms)", "Petrol(ms)"},
        {&ButonEğri.caption, "Eğri", "Curve"},
        {&ButonDisktenOku.caption, "Diskten Oku", "Read File"},
        {&ButonDiskeYaz.caption, "Diske Yaz", "Write File"},
        {&ButonEcuOku.caption, "EKÜ Oku", "Read ECU"},
        {&ButonEcuYaz.caption, "EKÜ Yaz", "Write ECU"},
        {&ButonSetup.caption, "Genel", "Setting"},
        {&ButonGenel.caption, "Kayıtları Oku", "General"},
        {&ButonTroubles.caption, "Hataları Oku", "Errors"},
        {&ButonAyar.caption, "Kalibre", "Calibration"},
        {&ExitButon.caption, "Çıkış", "Exit"},
        {&ComOpenButon.caption, "Ekü'ye Bağlan", "Access ECU"},
        {&ButonBağlantıKes.caption, "Bağlantıyı Kes", "Disconnect"},
        {&ButonErrorClear.caption, "Hataları Sil", "Clear Error"},
        {&Label45.caption, "Gaz Valfi Rölesi", "Gas Valve Relay"},
        {&Label46.caption, "Enjektör Rölesi", "Injector Relay"},
        {&Label48.caption, "Düşük Basınç", "Low Pressure"},
        {&Label50.caption, "İletişim Hatası", "Connection Error"},
        {&Label5.caption, "KALİBRASYON", "Calibration"},
        {&KalibrasyonBaşlatButon.caption, "Kalibrasyonu Başlatın", "Start"},
        {&KalibrasyonDurdurButon.caption, "Kalibrasyonu Durdurun", "Stop"},
        {&Kalibrasyonyükleme.caption, "Kalibrasyonu  ECU'ye  Yükle", "Write ECU"},
        {&Label21.caption, "Motor devrini 2100 devirde sabit tutunuz!", "Keep the engine RPM around 2100!"},
        {&Label6.caption, "GENEL AYARLAR", "General Settings"},
        {&GeneralSettingsLabel1.caption, "Devir Secim ( rpm)", "rpm"},
        {&GeneralSettingsLabelCoil.caption, "Bobin", "Coil"},
        {&ButonLoadFabricSettings.caption, "Fab.Ayarları geri Yükle", "Install Fabric Settings"},
        {&Label13.caption, "Benzinden LPG'ye Geçiş", "Transition to Gas"},
        {&SetPLabelRPM.caption, "RPM", "rpm"},
        {&Label24.caption, "( d/d )", ""},
        {&SetPLabelRedTransitionTemp.caption, "Regülatör Sıcaklığı", "Reducer Temp"},
        {&Label25.caption, "(  C)", "(  C)"},
        {&Label16.caption, "LPG'den Benzine geçiş", "Transition to Petrol"},
        {&SetLabelPXXPressureTextBox.caption, "Basınç En Az", "Min.Pressure"},
        {&Label14.caption, "bar", "bar"},
        {&SetLabelPXXPressLeakageTextBox.caption, "Sızıntı Ara Geçiş", "Leakage Pressure"},
        {&Label17.caption, "bar", "bar"},
        {&GP.caption, "Benzin", "Petrol"},
        {&Pt.caption, "Gaz", "Gas"},
        {&LabelFark.caption, "Fark (ms)", "Difference (ms)"},
        {&Label1.caption, "Eğim Faktörü", "Slope Factor"},
        {&LabelSayac.caption, "Deneme", "Iteration"},
        {&ButonTrend.caption, "Canlı Grafik", "Trend"},
        {&ButonGeriAl.caption, "Geri Al", "Undo"},
        {&ButonYinele.caption, "Yinele", "Redo"},
        {&CheckEkuEğrisi.caption, "EKÜ eğrisi", "ECU curve"},
        // The editor's idle-point and select-all buttons.
        {&Rolanti.caption, "Rölanti", "Idle"},
        {&hepsi.caption, "Hepsi", "All"},
        // The injector temperature's bar on the curve screen.
        {&Label20.caption, "ENJ", "INJ"},
        // The curve files' dialogs: the pattern in brackets stays as it is.
        {&CommonDialog1.filter, "eğriler (*.txt) Örnek: Cur_xx.txt", "curves (*.txt) Example: Cur_xx.txt"},
    };

    if (LanguageIndex != 0 && LanguageIndex != 1) return;
    const bool turkish = LanguageIndex == 0;
    AyarKırmızıImg.picture = turkish ? 1 : 2;  // the marker picture carries its own text
    Label26.visible = turkish;                 // the degree marks go with the Turkish captions
    Label27.visible = turkish;
    for (const Caption& c : captions) *c.text = turkish ? c.turkish : c.english;
    // The status line's text in the new language, while it is the last one written
    // in both (a text of the ECU's or a path is left as it is).
    if (!ShownTurkish.empty() && (KomutSatırı.text == ShownTurkish || KomutSatırı.text == ShownEnglish))
        KomutSatırı.text = turkish ? ShownTurkish : ShownEnglish;
    CaptionLinkLamp();  // the link indicator speaks the language too
    ShowRecordButton();
    // The trend window's captions are drawn with it.
    if (TrendPic.visible) DrawTrend();
}

void Form1Korvane::Dilsec_Click() {
    if (Dilsec.selectedIndex < 0) return;
    LanguageIndex = Dilsec.selectedIndex;
    const std::filesystem::path file = DataDirectory / "Dilsecim";
    if (!WriteFileAtomically(file, std::to_string(static_cast<int>(LanguageIndex)) + "\r\n")) {
        // The choice could not be stored: it still applies for this run, and the
        // fitter learns why the next start comes up in the old language.
        ApplyLanguageIndex();
        const std::string shown = curve::Utf8FromPath(file);
        ShowMessage("DİL SEÇİMİ KAYDEDİLEMEDİ ! " + shown, "THE LANGUAGE CHOICE COULD NOT BE SAVED ! " + shown);
        return;
    }
    ApplyLanguage();
}

}  // namespace gasecu
