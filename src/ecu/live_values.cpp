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

// A value in its text box and both caption labels; both bars show it, held at
// their maximum.
void ShowGauge(TextBoxControl& box, std::array<LabelControl, 2>& labels, std::array<ProgressBarControl, 2>& bars,
               const std::string& text, double value) {
    box.text = text;
    ShowOnPair(labels, text);
    ShowOnPair(bars, std::min(value, bars[0].maximum));
}

}  // namespace

void Form1Korvane::ShowLiveValues(int petrolRaw, int gasRaw) {
    ShowGauge(TextMotorDevirHızı, Label7, ProgressBar1, FormatNumber(EngineSpeed, 0), EngineSpeed);
    ShowGauge(TextBasinc, Label8, ProgressBar2, FormatNumber(GasPressure, 2), GasPressure);
    ShowGauge(TextReduTemperature, Label9, ProgressBar3, FormatNumber(ReducerTemperature, 1), ReducerTemperature);
    ShowGauge(TextGasTemperature, Label10, ProgressBar4, FormatNumber(GasTemperature, 1), GasTemperature);

    // Out of range, the captions and DisplayedPetrolTime keep their last values.
    if (petrolRaw > kInjectionRawMax) {
        TextBenzinMS.text = "40,00";
        ShowOnPair(ProgressBar6, 40);
    } else if (petrolRaw < kInjectionRawMin) {
        TextBenzinMS.text = "0,40";
        ShowOnPair(ProgressBar6, 0.4);
    } else {
        const std::string text = FormatNumber(PetrolTime, 2);
        ShowGauge(TextBenzinMS, Label12, ProgressBar6, text, PetrolTime);
        // The curve editor works with the time as the fitter sees it.
        DisplayedPetrolTime = ParseDisplayedNumber(text);
    }

    // The gas bar jumps to its end from 40 ms on.
    if (gasRaw > kInjectionRawMax) {
        TextGasMS.text = "40,96";
        ShowOnPair(ProgressBar5, 40.96);
    } else if (gasRaw < kInjectionRawMin) {
        TextGasMS.text = "0,41";
        ShowOnPair(ProgressBar5, 0.4);
    } else {
        const std::string text = FormatNumber(GasTime, 2);
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
    // A calibration run passes through the live poll between its steps: the
    // screens come back, but nothing that would replace or send the curve the
    // run is working on.
    if (CalibrationRunning)
        for (ButtonControl* b : {&ButonDisktenOku, &ButonEcuOku, &ButonEcuYaz}) b->enabled = false;
}

}  // namespace gasecu
