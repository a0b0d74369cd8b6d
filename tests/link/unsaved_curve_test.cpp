// The curve on screen against the curve in the ECU and in the files: the question
// before an unsaved curve is replaced or dropped, what counts as saved, the ECU's
// curve kept for comparison, and undo held back while an exchange runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "curve/curve_fixture.h"
#include "curve/curve_text.h"
#include "link/command_frames.h"
#include "support/ecu_curve.h"
#include "support/link_harness.h"
#include "curve/curve_file_io.h"

namespace gasecu {
namespace {

using CurveOutcome = Form1Korvane::CurveWriteOutcome;

std::string FileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Connected, the ECU's curve read, then changed by the fitter with a held arrow button.
struct EditedCurve {
    explicit EditedCurve(double languageIndex = 1) : h('.', languageIndex) {
        h.form.env.questions = &questions;
        h.form.env.fileDialogs = &dialogs;
        EXPECT_TRUE(h.connect());
        ReadEcu();
        Edit();
    }
    void ReadEcu() {
        h.form.ButonEcuOku_Click();
        EXPECT_TRUE(h.runUntilStep(8));
        h.runner.runFor(100);
    }
    void Edit() {
        if (h.form.BandSelected[1] == 0) h.form.devir2000_Click();
        h.form.CheckÜ[4].setValue(1);
        h.form.AA_MouseDown();
        h.runner.runFor(400);
        h.form.AA_MouseUp();
        h.runner.runFor(100);
    }
    // Runs until the write (and its check, if any) has ended.
    void Write(bool verify) {
        ASSERT_TRUE(h.form.StartCurveWrite(verify));
        ASSERT_TRUE(h.runner.runUntil(
            [this] { return h.form.SequencerState == 8 && h.form.CurveWriteResult != CurveOutcome::Running; }, 60000));
        h.runner.runFor(100);
    }
    // Nothing but the live poll went out since t0.
    bool OnlyPolledSince(double t0) const {
        for (const sim::SentFrame& f : h.framesSince(t0))
            if (f.bytes != frames::kLiveDataRequest) return false;
        return true;
    }

    test::LinkHarness h;
    ScriptedQuestions questions{/*fallback=*/true};  // the "ECU connected, close?" question: Yes
    test::ScriptedDialogs dialogs;
};

TEST(UnsavedCurve, EachPathAsksAndFollowsTheAnswer) {
    struct Path {
        const char* name;
        std::function<void(Form1Korvane&)> act;
        std::function<bool(EditedCurve&)> wentOn;
    };
    const Path paths[] = {
        {"close the window", [](Form1Korvane& f) { f.ExitRequested = f.MayCloseWindow(); },
         [](EditedCurve& e) { return e.h.form.ExitRequested; }},
        {"exit button", [](Form1Korvane& f) { f.ExitButon_Click(); },
         [](EditedCurve& e) { return e.h.form.ExitRequested; }},
        {"read a file", [](Form1Korvane& f) { f.ButonDisktenOku_Click(); },
         [](EditedCurve& e) { return !e.dialogs.shownOpen.empty(); }},
        {"read the ECU", [](Form1Korvane& f) { f.ButonEcuOku_Click(); },
         [](EditedCurve& e) { return e.h.form.SequencerState == 13; }},
        {"start a calibration", [](Form1Korvane& f) { f.KalibrasyonBaşlatButon_Click(); },
         [](EditedCurve& e) { return e.h.form.CalibrationRunning; }},
    };
    struct Answer {
        const char* name;
        SaveChoice choice;
        bool saveDialogAnswered;  // Save: the fitter names a file (or cancels the dialog)
        bool goesOn;
    };
    const Answer answers[] = {
        {"Cancel", SaveChoice::Cancel, false, false},
        {"Discard", SaveChoice::Discard, false, true},
        {"Save", SaveChoice::Save, true, true},
        {"Save, dialog cancelled", SaveChoice::Save, false, false},
    };
    for (const Path& path : paths) {
        for (const Answer& answer : answers) {
            SCOPED_TRACE(std::string(path.name) + " / " + answer.name);
            EditedCurve e;
            ASSERT_TRUE(e.h.form.CurveUnsaved());
            const CurveRows edited = e.h.form.CurveTable;
            const std::string status = e.h.form.KomutSatırı.text;
            const std::filesystem::path file = e.h.dir.path() / "Cur_05.txt";
            e.dialogs.answer = answer.saveDialogAnswered ? curve::Utf8FromPath(file) : std::string();
            e.questions.answerNext(answer.choice);
            const double t0 = e.h.runner.nowMs();

            path.act(e.h.form);
            ASSERT_EQ(e.questions.askedChoices().size(), 1u);
            const SaveDiscardCancelQuestion& q = e.questions.askedChoices()[0];
            EXPECT_EQ(q.text, "The curve has changes that are neither saved to a file nor written to the ECU. "
                              "Save them to a file first?");
            EXPECT_EQ(q.save + "/" + q.discard + "/" + q.cancel, "Save/Discard/Cancel");
            EXPECT_EQ(path.wentOn(e), answer.goesOn);
            EXPECT_EQ(std::filesystem::exists(file), answer.saveDialogAnswered);
            if (answer.saveDialogAnswered) {
                EXPECT_EQ(FileText(file), curve::FormatCurveText(edited));
            }
            if (!answer.goesOn) {
                // Nothing moved: the curve, the status line, the step machine, the line.
                EXPECT_EQ(e.h.form.CurveTable, edited);
                if (answer.choice == SaveChoice::Cancel) {
                    EXPECT_EQ(e.h.form.KomutSatırı.text, status);
                }
                EXPECT_TRUE(e.dialogs.shownOpen.empty());
                EXPECT_FALSE(e.h.form.ExitRequested);
                EXPECT_FALSE(e.h.form.CalibrationRunning);
                e.h.runner.runFor(2000);
                EXPECT_TRUE(e.OnlyPolledSince(t0));
                EXPECT_EQ(e.h.form.SequencerState, 8);
            }
        }
    }
}

TEST(UnsavedCurve, AsksInTurkish) {
    EditedCurve e(/*languageIndex=*/0);
    e.questions.answerNext(SaveChoice::Cancel);
    e.h.form.ButonEcuOku_Click();
    ASSERT_EQ(e.questions.askedChoices().size(), 1u);
    const SaveDiscardCancelQuestion& q = e.questions.askedChoices()[0];
    EXPECT_EQ(q.text, "Eğrideki değişiklikler ne dosyaya kaydedildi ne EKÜ'ye yazıldı. Önce dosyaya kaydedilsin mi?");
    EXPECT_EQ(q.save + "/" + q.discard + "/" + q.cancel, "Kaydet/Kaydetme/Vazgeç");
}

// Only a save, a file read, an ECU read or a write proven by its read back leaves
// the curve counted as kept; the question then stays away.
TEST(UnsavedCurve, SavedReadOrProvenInTheEcuAsksNothing) {
    struct Case {
        const char* name;
        std::function<void(EditedCurve&)> keep;
        bool kept;
    };
    const Case cases[] = {
        {"saved to a file",
         [](EditedCurve& e) {
             e.dialogs.answer = curve::Utf8FromPath(e.h.dir.path() / "Cur_06.txt");
             e.h.form.ButonDiskeYaz_Click();
         },
         true},
        {"written and read back equal", [](EditedCurve& e) { e.Write(true); }, true},
        {"read back from the ECU again",
         [](EditedCurve& e) {
             e.questions.answerNext(SaveChoice::Discard);
             e.ReadEcu();
         },
         true},
        {"written without the read back", [](EditedCurve& e) { e.Write(false); }, false},
        {"written, a block lost on the way in",
         [](EditedCurve& e) {
             e.h.ecu.dropNextBlockWrite(13);
             e.Write(true);
         },
         false},
        {"saved under a name the window refuses",
         [](EditedCurve& e) {
             e.dialogs.answer = curve::Utf8FromPath(e.h.dir.path() / "curve.txt");
             e.h.form.ButonDiskeYaz_Click();
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditedCurve e;
        ASSERT_TRUE(e.h.form.CurveUnsaved());
        c.keep(e);
        EXPECT_EQ(e.h.form.CurveUnsaved(), !c.kept);
        const std::size_t asked = e.questions.askedChoices().size();
        e.questions.answerNext(SaveChoice::Cancel);
        e.h.form.ButonEcuOku_Click();
        EXPECT_EQ(e.questions.askedChoices().size() - asked, c.kept ? 0u : 1u);
        EXPECT_EQ(e.h.form.SequencerState, c.kept ? 13 : 8);
    }
}

TEST(UnsavedCurve, TheEcuCurveIsKeptAfterAReadOrAProvenWriteAndForgottenOtherwise) {
    EditedCurve e;
    Form1Korvane& f = e.h.form;
    // After the read: the ECU's curve is the one read; the edit changed only the screen.
    ASSERT_TRUE(f.EcuCurve);
    EXPECT_EQ(*f.EcuCurve, test::CurveHeldBy(e.h.ecu.memory()));
    EXPECT_NE(*f.EcuCurve, f.CurveTable);
    EXPECT_TRUE(f.CheckEkuEğrisi.enabled);

    e.Write(true);
    ASSERT_EQ(f.CurveWriteResult, CurveOutcome::Equal);
    ASSERT_TRUE(f.EcuCurve);
    EXPECT_EQ(*f.EcuCurve, f.CurveTable);

    e.Edit();
    e.h.ecu.dropNextBlockWrite(12);
    e.Write(true);
    ASSERT_EQ(f.CurveWriteResult, CurveOutcome::Differs);
    EXPECT_FALSE(f.EcuCurve);  // the ECU holds part of the new curve: unknown
    EXPECT_FALSE(f.CheckEkuEğrisi.enabled);
    EXPECT_TRUE(f.CurveUnsaved());
}

// The ECU's curve lies dashed, in pale tints, under the edited one, only while the box is ticked.
TEST(UnsavedCurve, TheEcuCurveIsDrawnOnlyWhenAskedFor) {
    EditedCurve e;
    Form1Korvane& f = e.h.form;
    auto& canvas = dynamic_cast<RecordingCanvas&>(*f.EğriPic.canvas);
    auto dashedAt = [&](double x, double y, Colour colour) {
        bool dashed = false, found = false;
        for (const DrawCall& c : canvas.calls()) {
            if (c.kind == DrawCall::Kind::Style) dashed = c.style == LineStyle::Dashed;
            if (c.kind == DrawCall::Kind::Line && dashed && c.colour == colour && c.x2 == x && c.y2 == y) found = true;
        }
        return found;
    };
    auto anyStyle = [&] {
        for (const DrawCall& c : canvas.calls())
            if (c.kind == DrawCall::Kind::Style) return true;
        return false;
    };
    const double ecuLevel = (*f.EcuCurve)[4][5];
    const double editedLevel = f.CurveTable[4][5];
    ASSERT_NE(ecuLevel, editedLevel);

    e.h.runner.runFor(30);
    EXPECT_FALSE(anyStyle()) << "drawn without being asked for";

    f.CheckEkuEğrisi.setValue(1);
    EXPECT_TRUE(dashedAt(200, ecuLevel, 0x8087FF)) << "not drawn at once";
    e.h.runner.runFor(30);  // and at every redraw
    EXPECT_TRUE(dashedAt(200, ecuLevel, 0x8087FF));
    EXPECT_FALSE(dashedAt(200, editedLevel, 0x8087FF));
    // Under the edited curve: the dashes come before the first solid dot, and the
    // lines after them are solid again.
    const auto& calls = canvas.calls();
    std::size_t lastDash = 0, firstDot = calls.size();
    for (std::size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].kind == DrawCall::Kind::Line && calls[i].colour == 0x8087FF) lastDash = i;
        if (calls[i].kind == DrawCall::Kind::Circle && firstDot == calls.size()) firstDot = i;
    }
    EXPECT_LT(lastDash, firstDot);
    bool solidAgain = false;
    for (std::size_t i = lastDash; i < firstDot; ++i)
        solidAgain |= calls[i].kind == DrawCall::Kind::Style && calls[i].style == LineStyle::Solid;
    EXPECT_TRUE(solidAgain);

    f.CheckEkuEğrisi.setValue(0);
    e.h.runner.runFor(30);
    EXPECT_FALSE(anyStyle());

    // While the write runs the ECU's curve is not known: nothing to draw.
    f.CheckEkuEğrisi.setValue(1);
    ASSERT_TRUE(f.StartCurveWrite(true));
    e.h.runUntilStep(22);
    e.h.runner.runFor(30);
    EXPECT_FALSE(f.CheckEkuEğrisi.enabled);
    EXPECT_FALSE(anyStyle());
}

TEST(UnsavedCurve, UndoWaitsWhileAnExchangeRuns) {
    EditedCurve e;
    Form1Korvane& f = e.h.form;
    const CurveRows fromEcu = *f.EcuCurve;
    const struct {
        void (Form1Korvane::*click)();
        double step;
    } exchanges[] = {
        {&Form1Korvane::ButonEcuYaz_Click, 24},  // the write
        {&Form1Korvane::ButonEcuYaz_Click, 15},  // the write's read back
        {&Form1Korvane::ButonEcuOku_Click, 15},  // a read
    };
    for (const auto& x : exchanges) {
        (f.*x.click)();
        ASSERT_TRUE(e.h.runUntilStep(x.step));
        e.h.runner.runFor(30);
        const CurveRows now = f.CurveTable;
        EXPECT_FALSE(f.ButonGeriAl.enabled) << x.step;
        f.ButonGeriAl_Click();
        f.ButonYinele_Click();
        EXPECT_EQ(f.CurveTable, now) << x.step;
        ASSERT_TRUE(e.h.runUntilStep(8, 60000)) << x.step;
        e.h.runner.runFor(100);
        EXPECT_TRUE(f.ButonGeriAl.enabled) << x.step;
    }
    // Once idle the edit undoes again (the writes and the read took no step: they
    // left the curve as it was), back to the curve the first read gave.
    f.ButonGeriAl_Click();
    EXPECT_EQ(f.CurveTable, fromEcu);
}

}  // namespace
}  // namespace gasecu
