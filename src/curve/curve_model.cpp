// The band buttons, which choose the engine-speed bands the editor moves, and the
// idle button, which takes the idle level from the running engine.
#include <cmath>

#include "app/form1korvane.h"
#include "curve/curve_bands.h"

namespace gasecu {

namespace {

std::array<ButtonControl*, curve::kBandCount> BandButtons(Form1Korvane& f) {
    return {&f.devir1000, &f.devir2000, &f.devir3000, &f.devir4000, &f.devir5000, &f.devir6000};
}

}  // namespace

// One step of a band button's two-phase cycle. Deselecting a band also greys the
// all-bands button, but leaves its own phase alone: its next click continues its
// own cycle, whatever the single buttons did in between.
void Form1Korvane::devir_Click(int band) {
    if (band < 0 || band >= curve::kBandCount) return;
    ButtonControl& button = *BandButtons(*this)[band];
    if (BandButtonPhase[band] == 0) {
        BandSelected[band] = curve::kSelected;
        button.backColour = curve::kBandButtonColours[band];
    } else {
        BandSelected[band] = 0;
        button.backColour = colours::kGrey;
        devir123456.backColour = colours::kGrey;
    }
    BandButtonPhase[band] = BandButtonPhase[band] == 0 ? 1 : 0;
}

void Form1Korvane::devir1000_Click() { devir_Click(0); }
void Form1Korvane::devir2000_Click() { devir_Click(1); }
void Form1Korvane::devir3000_Click() { devir_Click(2); }
void Form1Korvane::devir4000_Click() { devir_Click(3); }
void Form1Korvane::devir5000_Click() { devir_Click(4); }
void Form1Korvane::devir6000_Click() { devir_Click(5); }

void Form1Korvane::devir123456_Click() {
    const bool selectAll = BandButtonPhase[6] == 0;
    devir123456.backColour = selectAll ? colours::kButtonFace : colours::kGrey;
    auto buttons = BandButtons(*this);
    for (int b = 0; b < curve::kBandCount; ++b) {
        BandSelected[b] = selectAll ? curve::kSelected : 0;
        BandButtonPhase[b] = selectAll ? 1 : 0;
        buttons[b]->backColour = selectAll ? curve::kBandButtonColours[b] : colours::kGrey;
    }
    BandButtonPhase[6] = selectAll ? 1 : 0;
}

// Idle button: the engine idles on gas, the displayed petrol time becomes the idle
// level (in units of 0.05 ms, at most 255, the largest step the ECU can hold), and no
// band may start below it. Taken once per read command: the ECU read re-enables it.
void Form1Korvane::Rolanti_Click() {
    if (CurveEditsLocked()) return;  // the button stays for when the exchange is over
    NoteCurveStep();  // the idle button's raise undoes as a step of its own
    Rolanti.enabled = false;
    double x = std::round(DisplayedPetrolTime / 0.05);  // halves away from zero
    if (x > 255) x = 255;
    CurveTable[curve::kHeaderRow][curve::kIdleLevel] = x;
    for (int p = 1; p <= curve::kPointCount; ++p)
        for (int r = curve::kFirstBandRow; r <= curve::kLastBandRow; ++r)
            if (CurveTable[r][p] < x) CurveTable[r][p] = x;
    NoteCurveStep();
}

}  // namespace gasecu
