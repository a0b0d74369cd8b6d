#pragma once
// Every visible control of the window, by name, with the container it sits in.
// The Qt layer walks this list to build one widget per control and to mirror the
// properties after each handler; tests use it to find controls by the names the
// fitters' window uses ("KomutSatırı", "CheckÜ(3)", "Label7(1)").
//
// The five timers and the file dialog are not listed: they have no place on screen.
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "app/form1korvane.h"

namespace gasecu {

// Order matches the alternatives of ControlRef.
enum class ControlKind { Button, Label, TextBox, CheckBox, ComboBox, PictureBox, Image, ProgressBar };

using ControlRef = std::variant<ButtonControl*, LabelControl*, TextBoxControl*, CheckBoxControl*,
                                ComboBoxControl*, PictureBoxControl*, ImageControl*, ProgressBarControl*>;

// Where a control sits. The screens are picture boxes of the fixed area; the plot
// EğriPic sits on the curve paper EğriKağıdıPic.
// TrendPic is a window of its own (Trend), not a place in this one.
enum class Container { Fixed, CurvePaper, CurvePlot, Settings, Calibration, Trend };

struct ControlEntry {
    std::string name;  // "ButonEğri", "CheckA(18)", "ProgressBar1(0)"
    ControlRef control;
    Container container;
    ControlKind kind() const { return static_cast<ControlKind>(control.index()); }
};

// All controls of the form, in a stable order (containers before their contents).
std::vector<ControlEntry> ListControls(Form1Korvane& form);

// The entry with that name, or null.
const ControlEntry* FindControl(const std::vector<ControlEntry>& controls, std::string_view name);

// The control name of a container's picture box ("EğriKağıdıPic"); "" for Fixed.
const char* ContainerControlName(Container container);
const char* ControlKindName(ControlKind kind);


}  // namespace gasecu
