#pragma once
// A restore point's curve put back to work: into the editor (one undoable step,
// asking first about a curve with unsaved changes, as a file read does) or out as
// a curve file through the save button's rules (the name rule, never the default
// curve file, written whole or not at all). The window and the history command
// share these, so neither can write a file the other would refuse.
#include <string>

#include "history/history_record.h"

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

// A record as the status line names it: its time, what it was and the job label
// ("2026-12-09 23:01:02 Curve read from the ECU, 34 ABC 12"), in each language.
struct RecordName {
    std::string turkish, english;
};
RecordName NameOf(const Record& record);

// Replaces the editor's curve with the curve text; refused while an ECU exchange
// runs or when the fitter cancels the question about unsaved changes. Writes its
// outcome into the status line, naming the record it came from.
CurveOutcome RestoreToEditor(Form1Korvane& form, const std::string& curveText, const RecordName& from = {});

}  // namespace gasecu::history
