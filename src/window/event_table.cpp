#include "window/event_table.h"

#include <vector>

namespace gasecu::qt {

namespace {

struct ClickRow {
    const char* control;
    FormHandler handler;
};
struct MouseRow {
    const char* control;
    FormHandler down;
    FormHandler up;
};
struct KeyRow {
    const char* control;
    FormKeyHandler handler;
};

// Clicks on buttons and pictures.
const std::vector<ClickRow> kClicks = {
    {"ButonEğri", &Form1Korvane::ButonEğri_Click},
    {"ButonSetup", &Form1Korvane::ButonSetup_Click},
    {"ButonAyar", &Form1Korvane::ButonAyar_Click},
    {"ComOpenButon", &Form1Korvane::ComOpenButon_Click},
    {"ButonBağlantıKes", &Form1Korvane::ButonBağlantıKes_Click},
    {"ExitButon", &Form1Korvane::ExitButon_Click},
    {"ButonEcuOku", &Form1Korvane::ButonEcuOku_Click},
    {"ButonEcuYaz", &Form1Korvane::ButonEcuYaz_Click},
    {"ButonGenel", &Form1Korvane::ButonGenel_Click},
    {"ButonTroubles", &Form1Korvane::ButonTroubles_Click},
    {"ButonLoadFabricSettings", &Form1Korvane::ButonLoadFabricSettings_Click},
    {"ButonErrorClear", &Form1Korvane::ButonErrorClear_Click},
    {"LPG", &Form1Korvane::LPG_Click},
    {"CNG", &Form1Korvane::CNG_Click},
    {"BenzinPic", &Form1Korvane::BenzinPic_Click},
    {"LPGPic", &Form1Korvane::LPGPic_Click},
    {"devir1000", &Form1Korvane::devir1000_Click},
    {"devir2000", &Form1Korvane::devir2000_Click},
    {"devir3000", &Form1Korvane::devir3000_Click},
    {"devir4000", &Form1Korvane::devir4000_Click},
    {"devir5000", &Form1Korvane::devir5000_Click},
    {"devir6000", &Form1Korvane::devir6000_Click},
    {"devir123456", &Form1Korvane::devir123456_Click},
    {"Rolanti", &Form1Korvane::Rolanti_Click},
    {"hepsi", &Form1Korvane::hepsi_Click},
    {"imgeğmedisabled", &Form1Korvane::imgeğmedisabled_Click},
    {"imgeğmeenabled", &Form1Korvane::imgeğmeenabled_Click},
    {"ButonDisktenOku", &Form1Korvane::ButonDisktenOku_Click},
    {"ButonDiskeYaz", &Form1Korvane::ButonDiskeYaz_Click},
    {"ButonGeriAl", &Form1Korvane::ButonGeriAl_Click},
    {"ButonYinele", &Form1Korvane::ButonYinele_Click},
    {"KalibrasyonBaşlatButon", &Form1Korvane::KalibrasyonBaşlatButon_Click},
    {"KalibrasyonDurdurButon", &Form1Korvane::KalibrasyonDurdurButon_Click},
    {"Kalibrasyonyükleme", &Form1Korvane::Kalibrasyonyükleme_Click},
    {"ButonKayıt", &Form1Korvane::ButonKayıt_Click},
    {"ButonTrend", &Form1Korvane::ButonTrend_Click},
};

// Mouse down and up, for the controls that act while held: the arrow buttons AA,
// YY, sol, sag, the idle pictures and the plot EğriPic.
const std::vector<MouseRow> kMouse = {
    {"AA", &Form1Korvane::AA_MouseDown, &Form1Korvane::AA_MouseUp},
    {"YY", &Form1Korvane::YY_MouseDown, &Form1Korvane::YY_MouseUp},
    {"sol", &Form1Korvane::sol_MouseDown, &Form1Korvane::sol_MouseUp},
    {"sag", &Form1Korvane::sag_MouseDown, &Form1Korvane::sag_MouseUp},
    {"Rolantiyukarıdisabel", &Form1Korvane::Rolantiyukarıdisabel_MouseDown,
     &Form1Korvane::Rolantiyukarıdisabel_MouseUp},
    {"Rolantiaşagıdisabel", &Form1Korvane::Rolantiaşagıdisabel_MouseDown, &Form1Korvane::Rolantiaşagıdisabel_MouseUp},
    {"EğriPic", &Form1Korvane::EğriPic_MouseDown, &Form1Korvane::EğriPic_MouseUp},
};

// Lists: the user's choice of an entry.
const std::vector<ClickRow> kListClicks = {
    {"Dilsec", &Form1Korvane::Dilsec_Click},
    {"avas", &Form1Korvane::avas_Click},
};

// Key presses in the settings entry boxes.
const std::vector<KeyRow> kKeys = {
    {"Coil", &Form1Korvane::Coil_KeyPress},
    {"SetPTransRPMTextBox", &Form1Korvane::SetPTransRPMTextBox_KeyPress},
    {"SetPTransRedTempTextBox", &Form1Korvane::SetPTransRedTempTextBox_KeyPress},
    {"SetPXXPressureTextBox", &Form1Korvane::SetPXXPressureTextBox_KeyPress},
    {"SetPXXPressLeakageTextBox", &Form1Korvane::SetPXXPressLeakageTextBox_KeyPress},
};

// The text boxes the fitter types into; every other box only shows values.
const char* const kEditable[] = {"Coil", "SetPTransRPMTextBox", "SetPTransRedTempTextBox", "SetPXXPressureTextBox",
                                 "SetPXXPressLeakageTextBox"};

}  // namespace

ControlHandlers HandlersFor(std::string_view name) {
    ControlHandlers h;
    for (const ClickRow& r : kClicks)
        if (name == r.control) h.click = r.handler;
    for (const MouseRow& r : kMouse)
        if (name == r.control) {
            h.mouseDown = r.down;
            h.mouseUp = r.up;
        }
    for (const ClickRow& r : kListClicks)
        if (name == r.control) h.listClick = r.handler;
    for (const KeyRow& r : kKeys)
        if (name == r.control) h.keyPress = r.handler;
    for (const char* e : kEditable)
        if (name == e) h.editable = true;
    return h;
}

}  // namespace gasecu::qt
