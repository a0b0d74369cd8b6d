#pragma once
// Which handler of the form each user event calls, by control name. A handler that
// is not written yet simply has no row; adding one is one line in event_table.cpp.
#include <string_view>

#include "app/form1korvane.h"

namespace gasecu::qt {

using FormHandler = void (Form1Korvane::*)();
using FormKeyHandler = void (Form1Korvane::*)(int key);

struct ControlHandlers {
    FormHandler click = nullptr;
    FormHandler mouseDown = nullptr;
    FormHandler mouseUp = nullptr;
    FormHandler listClick = nullptr;        // a list entry chosen by the user
    FormKeyHandler keyPress = nullptr;      // text box key press (ASCII code, Enter = 13)
    bool editable = false;                  // text box the fitter types into
};

// The handlers of one control; all empty for a control without events.
ControlHandlers HandlersFor(std::string_view controlName);

}  // namespace gasecu::qt
