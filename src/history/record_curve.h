#pragma once
// A restore point's curve put back to work: into the editor (one undoable step,
// asking first about a curve with unsaved changes, as a file read does) or out as
// a curve file through the save button's rules (the name rule, never the default
// curve file, written whole or not at all). The window and the history command
// share these, so neither can write a file the other would refuse.
#include <string>

namespace gasecu {
class Form1Korvane;
}

namespace gasecu::history {

struct CurveOutcome {
    bool done = false;
    std::string turkish, english;  // the status line's text
};

// Writes the curve text as the curve file fullPath (an absolute path, as the file
// dialog gives it).
CurveOutcome ExportCurveFile(const std::string& curveText, const std::string& fullPath);

// Replaces the editor's curve with the curve text; refused while an ECU exchange
// runs or when the fitter cancels the question about unsaved changes. Writes its
// outcome into the status line.
CurveOutcome RestoreToEditor(Form1Korvane& form, const std::string& curveText);

}  // namespace gasecu::history
