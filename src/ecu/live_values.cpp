// The dashboard: six live values, each in a text box, two caption labels and two
// progress bars (one set in the fixed area, one on the curve screen).
#include <algorithm>

#include "app/form1korvane.h"

namespace gasecu {

namespace {

// Injection times outside what the ECU can measure are shown as fixed texts with
// their literal comma, whatever the fitter's regional setting.
constexpr int kInjectionRawMin = 100;
constexpr int kInjectionRawMax = 10000;

void ShowOnPair(std::array<LabelControl, 2>& labels, const std::string& text) {
    for (LabelControl& l : labels) l.caption = text;
}
void ShowOnPair(std::array<ProgressBarControl, 2>& bars, double value) {
    for (ProgressBarControl& b : bars) b.value = static_cast<float>(value);
}

}  // namespace

void Form1Korvane::ShowLiveValues(int petrolRaw, int gasRaw) {
    std::string text = FormatNumber(EngineSpeed, 0);
    TextMotorDevirHızı.text = text;
    ShowOnPair(Label7, text);
    ShowOnPair(ProgressBar1, std::min(EngineSpeed, 10000.0));

    text = FormatNumber(GasPressure, 2);
    TextBasinc.text = text;
    ShowOnPair(Label8, text);
    ShowOnPair(ProgressBar2, std::min(GasPressure, 2.0));

    text = FormatNumber(ReducerTemperature, 1);
    TextReduTemperature.text = text;
    ShowOnPair(Label9, text);
    ShowOnPair(ProgressBar3, std::min(ReducerTemperature, 105.0));

    text = FormatNumber(GasTemperature, 1);
    TextGasTemperature.text = text;
    ShowOnPair(Label10, text);
    ShowOnPair(ProgressBar4, std::min(GasTemperature, 105.0));

    // Out of range, the captions and DisplayedPetrolTime keep their last values.
    if (petrolRaw > kInjectionRawMax) {
        TextBenzinMS.text = "40,00";
        ShowOnPair(ProgressBar6, 40);
    } else if (petrolRaw < kInjectionRawMin) {
        TextBenzinMS.text = "0,40";
        ShowOnPair(ProgressBar6, 0.4);
    } else {
        text = FormatNumber(PetrolTime, 2);
        TextBenzinMS.text = text;
        ShowOnPair(Label12, text);
        // The curve editor works with the time as the fitter sees it.
        DisplayedPetrolTime = ParseDisplayedNumber(text);
        ShowOnPair(ProgressBar6, std::min(PetrolTime, 42.0));
    }

    if (gasRaw > kInjectionRawMax) {
        TextGasMS.text = "40,96";
        ShowOnPair(ProgressBar5, 40.96);
    } else if (gasRaw < kInjectionRawMin) {
        TextGasMS.text = "0,41";
        ShowOnPair(ProgressBar5, 0.4);
    } else {
        text = FormatNumber(GasTime, 2);
        TextGasMS.text = text;
        ShowOnPair(Label11, text);
        ShowOnPair(ProgressBar5, GasTime < 40 ? GasTime : 42.0);
    }
}

// Every sequence that disables controls (settings read, fault read, setting write,
// connect) ends with the first live reply after it.
void Form1Korvane::ReenableAfterLiveReply() {
    for (ButtonControl* b : {&ButonEğri, &ButonSetup, &ButonAyar}) b->visible = true;
    SetWorkAreaEnabled(true);
    ProgressBar12.visible = false;
    ProgressBar12.value = 0;
    // ButonGenel waits for the idle step (RestoreIdleButtons).
    EnableSettingsControlsButGenel();
}

}  // namespace gasecu
