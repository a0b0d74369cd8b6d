#include "platform/qt/event_table.h"

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
    {"ExitButon", &Form1Korvane::ExitButon_Click},
    {"ButonEcuOku", &Form1Korvane::ButonEcuOku_Click},
    {"ButonGenel", &Form1Korvane::ButonGenel_Click},
    {"ButonTroubles", &Form1Korvane::ButonTroubles_Click},
    {"BenzinPic", &Form1Korvane::BenzinPic_Click},
    {"LPGPic", &Form1Korvane::LPGPic_Click},
};

// Mouse down and up, for the controls that act while held: the arrow buttons AA,
// YY, sol, sag, the idle pictures and the plot EğriPic.
const std::vector<MouseRow> kMouse = {};

// Lists: the user's choice of an entry.
const std::vector<ClickRow> kListClicks = {
    {"Dilsec", &Form1Korvane::Dilsec_Click},
};

// Key presses in the settings entry boxes.
const std::vector<KeyRow> kKeys = {};

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
