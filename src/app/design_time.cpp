// The window's design-time properties: what the form holds before its load event
// runs, and what no handler changes afterwards.
#include "app/form1korvane.h"

namespace gasecu {

namespace {
constexpr Colour kPointBoxColour = 4210688;  // RGB(0, 64, 64)
constexpr Colour kRangeBoxColour = 128;      // RGB(128, 0, 0)
}  // namespace

void Form1Korvane::ApplyDesignTimeProperties() {
    Form1Korvane& f = *this;
    // Fixed captions that no language switch touches.
    f.Label3.caption = "LPG";
    f.Label4.caption = "CNG";
    f.Label26.caption = "°";
    f.Label27.caption = "°";
    f.devir1000.caption = "1000";
    f.devir2000.caption = "2000";
    f.devir3000.caption = "3000";
    f.devir4000.caption = "4000";
    f.devir5000.caption = "5000";
    f.devir6000.caption = "6000";
    f.devir123456.caption = "1000-6000";
    f.Rolanti.caption = "Rölanti";  // both follow the language from the load on
    f.hepsi.caption = "Hepsi";
    f.AA.caption = "▲";
    f.YY.caption = "▼";
    f.sol.caption = "◀";
    f.sag.caption = "▶";
    f.Label15.caption = "RPM";
    f.Label18.caption = "BAR";
    f.Label19.caption = "REG";
    f.Label20.caption = "ENJ";
    f.Label22.caption = "G(ms)";
    f.Label23.caption = "P(ms)";
    f.Label1.caption = "Slope Factor";
    f.Pt.caption = "Gas";
    f.GP.caption = "Petrol";
    f.LabelFark.caption = "Difference (ms)";
    f.LabelSayac.caption = "Iteration";

    // Live-value bars: both elements of each array share the range.
    struct Range {
        std::array<ProgressBarControl, 2>& bars;
        double maximum;
    };
    for (auto [bars, maximum] : {Range{f.ProgressBar1, 10000}, Range{f.ProgressBar2, 2}, Range{f.ProgressBar3, 105},
                                 Range{f.ProgressBar4, 105}, Range{f.ProgressBar5, 42}, Range{f.ProgressBar6, 42}}) {
        for (ProgressBarControl& bar : bars) {
            bar.minimum = 0;
            bar.maximum = maximum;
        }
    }

    // Point boxes: the range box (index 18) of each row is set off by its colour.
    for (int k = 0; k <= 18; ++k) {
        Colour colour = k == 18 ? kRangeBoxColour : kPointBoxColour;
        f.CheckÜ[k].backColour = colour;
        f.CheckA[k].backColour = colour;
    }

    // Fuel display: nothing is known of the engine until the ECU answers; the
    // switch picture offers gas.
    f.ImgBenzin.visible = false;
    f.ImgGaz.visible = false;
    f.ImgGazGeçiş.visible = false;
    f.BenzinPic.visible = false;
    f.LPGPic.visible = true;

    // The curve screen is on view when the window opens; the other two wait for
    // their screen buttons.
    f.EğriKağıdıPic.visible = true;

    // The link indicator: always shown, grey until the connect button finds the ECU.
    f.LinkLamp.visible = true;
    f.LinkLamp.backColour = colours::kGrey;
    f.LinkLamp.foreColour = colours::kWhite;
    f.ButonBağlantıKes.enabled = false;
    f.SettingsSettingsPic.visible = false;
    f.KalibrasyonPic.visible = false;

    // The trend window opens on its button; the last minute at 500 ms a sample
    // fills it from the right, one strip per value over a time axis in seconds.
    f.TrendPic.visible = false;
    f.TrendPic.setScale(ecu::kTrendLeft, ecu::kTrendTop, ecu::kTrendRight, ecu::kTrendBottom);

    // Undo, redo and the ECU's curve wait for something to undo, redo or show.
    f.ButonGeriAl.enabled = false;
    f.ButonYinele.enabled = false;
    f.CheckEkuEğrisi.enabled = false;
    f.CheckEkuEğrisi.backColour = 0xA0AF97;  // the curve paper's RGB(151, 175, 160)
}

}  // namespace gasecu
