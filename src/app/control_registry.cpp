#include "app/control_registry.h"

#include <array>
#include <utility>

namespace gasecu {

namespace {

class Builder {
public:
    explicit Builder(std::vector<ControlEntry>& out) : out_(out) {}
    void in(Container c) { container_ = c; }
    void add(std::string name, ControlRef ref) { out_.push_back({std::move(name), ref, container_}); }
    template <typename T, std::size_t N>
    void addArray(const std::string& name, std::array<T, N>& array, std::size_t first, std::size_t last) {
        for (std::size_t i = first; i <= last && i < N; ++i) add(name + "(" + std::to_string(i) + ")", &array[i]);
    }

private:
    std::vector<ControlEntry>& out_;
    Container container_ = Container::Fixed;
};

// Element 0 or 1 of the six live-value caption arrays and the six bar arrays:
// element 0 heads the fixed area, element 1 sits on the curve paper.
void AddLiveValueElement(Builder& b, Form1Korvane& f, std::size_t element) {
    for (auto [name, labels] : {std::pair{"Label7", &f.Label7}, {"Label8", &f.Label8}, {"Label9", &f.Label9},
                                {"Label10", &f.Label10}, {"Label11", &f.Label11}, {"Label12", &f.Label12}})
        b.addArray(name, *labels, element, element);
    for (auto [name, bars] :
         {std::pair{"ProgressBar1", &f.ProgressBar1}, {"ProgressBar2", &f.ProgressBar2}, {"ProgressBar3", &f.ProgressBar3},
          {"ProgressBar4", &f.ProgressBar4}, {"ProgressBar5", &f.ProgressBar5}, {"ProgressBar6", &f.ProgressBar6}})
        b.addArray(name, *bars, element, element);
}

}  // namespace

std::vector<ControlEntry> ListControls(Form1Korvane& f) {
    std::vector<ControlEntry> out;
    out.reserve(200);
    Builder b(out);

    b.in(Container::Fixed);
    b.add("KomutSatırı", &f.KomutSatırı);
    b.add("Dilsec", &f.Dilsec);
    b.add("ComOpenButon", &f.ComOpenButon);
    b.add("ExitButon", &f.ExitButon);
    b.add("LinkLamp", &f.LinkLamp);
    b.add("ButonBağlantıKes", &f.ButonBağlantıKes);
    b.add("LPG", &f.LPG);
    b.add("CNG", &f.CNG);
    b.add("Label3", &f.Label3);
    b.add("Label4", &f.Label4);
    b.add("ButonEğri", &f.ButonEğri);
    b.add("ButonSetup", &f.ButonSetup);
    b.add("ButonAyar", &f.ButonAyar);
    b.add("ButonDisktenOku", &f.ButonDisktenOku);
    b.add("ButonDiskeYaz", &f.ButonDiskeYaz);
    b.add("ButonEcuOku", &f.ButonEcuOku);
    b.add("ButonEcuYaz", &f.ButonEcuYaz);
    b.add("LabelDevir", &f.LabelDevir);
    b.add("LabelBar", &f.LabelBar);
    b.add("LabelRegulator", &f.LabelRegulator);
    b.add("LabelEnjektor", &f.LabelEnjektor);
    b.add("LabelGms", &f.LabelGms);
    b.add("LabelPms", &f.LabelPms);
    b.add("Label26", &f.Label26);
    b.add("Label27", &f.Label27);
    b.add("TextMotorDevirHızı", &f.TextMotorDevirHızı);
    b.add("TextBasinc", &f.TextBasinc);
    b.add("TextReduTemperature", &f.TextReduTemperature);
    b.add("TextGasTemperature", &f.TextGasTemperature);
    b.add("TextGasMS", &f.TextGasMS);
    b.add("TextBenzinMS", &f.TextBenzinMS);
    AddLiveValueElement(b, f, 0);
    b.add("BenzinPic", &f.BenzinPic);
    b.add("LPGPic", &f.LPGPic);
    b.add("ImgBenzin", &f.ImgBenzin);
    b.add("ImgGaz", &f.ImgGaz);
    b.add("ImgGazGeçiş", &f.ImgGazGeçiş);
    b.add("ProgressBar7", &f.ProgressBar7);
    b.add("ProgressBar8", &f.ProgressBar8);
    b.add("ProgressBar9", &f.ProgressBar9);
    b.add("ProgressBar10", &f.ProgressBar10);
    b.add("ProgressBar11", &f.ProgressBar11);
    b.add("ButonKayıt", &f.ButonKayıt);
    b.add("ButonTrend", &f.ButonTrend);
    b.add("EğriKağıdıPic", &f.EğriKağıdıPic);
    b.add("SettingsSettingsPic", &f.SettingsSettingsPic);
    b.add("KalibrasyonPic", &f.KalibrasyonPic);

    b.in(Container::CurvePaper);
    b.add("devir1000", &f.devir1000);
    b.add("devir2000", &f.devir2000);
    b.add("devir3000", &f.devir3000);
    b.add("devir4000", &f.devir4000);
    b.add("devir5000", &f.devir5000);
    b.add("devir6000", &f.devir6000);
    b.add("devir123456", &f.devir123456);
    b.add("Rolanti", &f.Rolanti);
    b.addArray("CheckÜ", f.CheckÜ, 0, 18);
    b.addArray("CheckA", f.CheckA, 0, 18);
    b.add("EğriPic", &f.EğriPic);
    b.add("Label15", &f.Label15);
    b.add("Label18", &f.Label18);
    b.add("Label19", &f.Label19);
    b.add("Label20", &f.Label20);
    b.add("Label22", &f.Label22);
    b.add("Label23", &f.Label23);
    AddLiveValueElement(b, f, 1);
    b.add("Rolantiyukarıdisabel", &f.Rolantiyukarıdisabel);
    b.add("Rolantiyukarıenabel", &f.Rolantiyukarıenabel);
    b.add("Rolantiaşagıdisabel", &f.Rolantiaşagıdisabel);
    b.add("Rolantiaşagıenabel", &f.Rolantiaşagıenabel);
    b.add("imgeğmedisabled", &f.imgeğmedisabled);
    b.add("imgeğmeenabled", &f.imgeğmeenabled);
    b.add("ButonGeriAl", &f.ButonGeriAl);
    b.add("ButonYinele", &f.ButonYinele);
    b.add("CheckEkuEğrisi", &f.CheckEkuEğrisi);

    b.in(Container::CurvePlot);
    b.add("hepsi", &f.hepsi);
    b.add("AA", &f.AA);
    b.add("YY", &f.YY);
    b.add("sol", &f.sol);
    b.add("sag", &f.sag);

    b.in(Container::Settings);
    b.add("Label6", &f.Label6);
    b.add("ButonGenel", &f.ButonGenel);
    b.add("ButonTroubles", &f.ButonTroubles);
    b.add("ButonErrorClear", &f.ButonErrorClear);
    b.add("ButonLoadFabricSettings", &f.ButonLoadFabricSettings);
    b.add("GeneralSettingsLabelCoil", &f.GeneralSettingsLabelCoil);
    b.add("Coil", &f.Coil);
    b.add("GeneralSettingsLabel1", &f.GeneralSettingsLabel1);
    b.add("avas", &f.avas);
    b.add("msavvv", &f.msavvv);
    b.add("Label13", &f.Label13);
    b.add("SetPLabelRPM", &f.SetPLabelRPM);
    b.add("SetPTransRPMTextBox", &f.SetPTransRPMTextBox);
    b.add("Label24", &f.Label24);
    b.add("SetPLabelRedTransitionTemp", &f.SetPLabelRedTransitionTemp);
    b.add("SetPTransRedTempTextBox", &f.SetPTransRedTempTextBox);
    b.add("Label25", &f.Label25);
    b.add("Label16", &f.Label16);
    b.add("SetLabelPXXPressureTextBox", &f.SetLabelPXXPressureTextBox);
    b.add("SetPXXPressureTextBox", &f.SetPXXPressureTextBox);
    b.add("Label14", &f.Label14);
    b.add("SetLabelPXXPressLeakageTextBox", &f.SetLabelPXXPressLeakageTextBox);
    b.add("SetPXXPressLeakageTextBox", &f.SetPXXPressLeakageTextBox);
    b.add("Label17", &f.Label17);
    b.add("Label45", &f.Label45);
    b.add("TroublesGasValveRelayTextBox", &f.TroublesGasValveRelayTextBox);
    b.add("Label46", &f.Label46);
    b.add("TroublesInjMainRelayTextBox", &f.TroublesInjMainRelayTextBox);
    b.add("Label47", &f.Label47);
    b.add("Label48", &f.Label48);
    b.add("TroublesPresslowTextBox", &f.TroublesPresslowTextBox);
    b.add("Label49", &f.Label49);
    b.add("Label50", &f.Label50);
    b.add("TroublesCRCErrTextBox", &f.TroublesCRCErrTextBox);
    b.add("ProgressBar12", &f.ProgressBar12);

    b.in(Container::Calibration);
    b.add("Label5", &f.Label5);
    b.add("Label21", &f.Label21);
    b.add("AyarKırmızıImg", &f.AyarKırmızıImg);
    b.add("GP", &f.GP);
    b.add("ilk", &f.ilk);
    b.add("Pt", &f.Pt);
    b.add("Ani", &f.Ani);
    b.add("LabelFark", &f.LabelFark);
    b.add("Text1", &f.Text1);
    b.add("Label1", &f.Label1);
    b.add("TextEğim", &f.TextEğim);
    b.add("LabelSayac", &f.LabelSayac);
    b.add("Sayac", &f.Sayac);
    b.add("KalibrasyonBaşlatButon", &f.KalibrasyonBaşlatButon);
    b.add("KalibrasyonDurdurButon", &f.KalibrasyonDurdurButon);
    b.add("Kalibrasyonyükleme", &f.Kalibrasyonyükleme);

    b.in(Container::Trend);
    b.add("TrendPic", &f.TrendPic);
    return out;
}

const ControlEntry* FindControl(const std::vector<ControlEntry>& controls, std::string_view name) {
    for (const ControlEntry& e : controls)
        if (e.name == name) return &e;
    return nullptr;
}

const char* ContainerControlName(Container container) {
    switch (container) {
        case Container::Fixed: return "";
        case Container::CurvePaper: return "EğriKağıdıPic";
        case Container::CurvePlot: return "EğriPic";
        case Container::Settings: return "SettingsSettingsPic";
        case Container::Calibration: return "KalibrasyonPic";
        case Container::Trend: return "";
    }
    return "";
}

const char* ControlKindName(ControlKind kind) {
    switch (kind) {
        case ControlKind::Button: return "button";
        case ControlKind::Label: return "label";
        case ControlKind::TextBox: return "text box";
        case ControlKind::CheckBox: return "check box";
        case ControlKind::ComboBox: return "list";
        case ControlKind::PictureBox: return "picture box";
        case ControlKind::Image: return "image";
        case ControlKind::ProgressBar: return "progress bar";
    }
    return "";
}

}  // namespace gasecu
