#pragma once
// A loaded window on the virtual-time runner, with scripted file dialogs and the
// plot's recording canvas at hand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/default_curve.h"
#include "app/form1korvane.h"
#include "curve/curve_text.h"
#include "platform/file_dialogs.h"
#include "platform/recording_canvas.h"
#include "support/temp_dir.h"
#include "virtual_time_runner.h"

namespace gasecu::test {

// Answers each dialog with the next scripted path and remembers what it was shown.
class ScriptedDialogs : public FileDialogs {
public:
    std::string answer;
    std::vector<FileDialogControl> shownOpen, shownSave;
    std::string showOpen(const FileDialogControl& d) override {
        shownOpen.push_back(d);
        return answer;
    }
    std::string showSave(const FileDialogControl& d) override {
        shownSave.push_back(d);
        return answer;
    }
};

class CurveFormTest : public ::testing::Test {
protected:
    CurveFormTest() : form({dir.path(), dir.path() / "user", nullptr, &dialogs, '.'}) {
        runner.attach(form);
        form.Form_Load();
    }

    // The table as read from the default curve file: every band a straight line
    // 30, 60 .. 540, idle anchor at axis point 4, level 25.
    void LoadDefaultCurve() {
        auto parsed = curve::ParseCurveText(DefaultCurveFileText());
        ASSERT_TRUE(parsed);
        parsed->applyTo(form.CurveTable);
    }

    // The default curve with the bands 5 units apart at every point, as the band
    // ordering wants them (the default file has all six bands on one line).
    void LoadOrderedCurve() {
        LoadDefaultCurve();
        for (int r = 3; r <= 8; ++r)
            for (int p = 1; p <= 18; ++p) form.CurveTable[r][p] = 30 * p + 5 * (r - 3);
    }

    RecordingCanvas& Canvas() { return dynamic_cast<RecordingCanvas&>(*form.EğriPic.canvas); }
    double& At(int row, int point) { return form.CurveTable[row][point]; }

    TempDir dir;
    ScriptedDialogs dialogs;
    Form1Korvane form;
    sim::VirtualTimeRunner runner;  // after the form: it lets go of the form's timers first
};

}  // namespace gasecu::test
