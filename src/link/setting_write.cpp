// Writing one setting (steps 46, 47). The settings entry has prepared the frame;
// for the coil count the ECU also needs the coil type code at address 22, and the
// engine speed factor follows the coil count (a single coil fires every other
// revolution, many coils more often).
#include <optional>
#include <string>

#include "app/form1korvane.h"
#include "ecu/reply_decoding.h"
#include "link/command_frames.h"
#include "link/sequencer_families.h"

namespace gasecu::link {

namespace {

constexpr double kCoilTypeAddress = 22;
constexpr std::uint8_t kCoilChangedTrue = 255;

std::optional<double> CoilTypeCode(const std::string& text) {
    const auto coils = ecu::CoilCountFromText(text);
    if (!coils) return std::nullopt;
    if (*coils == 1) return 20;
    if (*coils == 2) return 16;
    if (*coils == 3) return 10;
    return 5;
}

}  // namespace

void RunSettingWriteStep(Form1Korvane& f, int step) {
    if (step == 46) {
        f.SendFrame(f.PendingSettingFrame);
        f.SequencerState = 1;  // read the pages back
        if (f.CoilChanged == kCoilChangedTrue) {
            // The same rule as page 1's read-back: should that reply be lost, the
            // engine speed must not show doubled for three coils.
            if (auto factor = ecu::RpmFactorForCoilText(f.Coil.text)) {
                f.RpmFactor = *factor;
                f.SequencerState = 47;
            } else {
                // A coil entry such as "2.5" or "04" passed its range test but names
                // no coil type: the setting went out once, no coil type is written,
                // and the read-back shows what the ECU now holds. Staying here would
                // resend the setting every tick.
                f.CoilChanged = 0;
            }
        }
        for (LabelControl* l : {&f.SetPLabelRPM, &f.SetPLabelRedTransitionTemp, &f.SetLabelPXXPressureTextBox,
                                &f.SetLabelPXXPressLeakageTextBox, &f.GeneralSettingsLabelCoil})
            l->backColour = colours::kDarkCyan;
        return;
    }
    if (step == 47) {
        f.CoilChanged = 0;
        if (auto code = CoilTypeCode(f.Coil.text))
            if (auto frame = frames::SettingWrite(kCoilTypeAddress, *code)) f.SendFrame(*frame);
        f.SequencerState = 1;
    }
}

}  // namespace gasecu::link
