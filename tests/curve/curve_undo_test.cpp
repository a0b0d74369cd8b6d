// Undo and redo of the curve in the window, on the virtual-time runner: each held
// key, held button, press on the plot, idle picture, idle button and curve file
// read is one step, and every step comes back exactly.
#include <filesystem>
#include <fstream>

#include "curve/point_marks.h"
#include "curve_fixture.h"
#include "curve/curve_file_io.h"

namespace gasecu {
namespace {

using test::CurveFormTest;

class CurveUndo : public CurveFormTest {
protected:
    // Reads a curve file holding `table` through the read button.
    void ReadFile(const CurveRows& table, const std::string& name = "Cur_03.txt") {
        const std::filesystem::path path = dir.path() / name;
        std::ofstream(path, std::ios::binary) << curve::FormatCurveText(table);
        dialogs.answer = curve::Utf8FromPath(path);
        form.ButonDisktenOku_Click();
        ASSERT_TRUE(form.CurveFileOk) << form.KomutSatırı.text;
    }
    // The ordered default curve (bands 5 units apart) as a file, read in.
    CurveRows ReadOrderedCurve() {
        LoadOrderedCurve();
        const CurveRows table = form.CurveTable;
        form.CurveTable = CurveRows{};
        ReadFile(table);
        return table;
    }
    void HoldKey(ArrowKey key, double ms) {
        form.ArrowKeys.keyDown(key);
        runner.runFor(ms);
        form.ArrowKeys.keyUp(key);
        runner.runFor(100);
    }
    void Hold(void (Form1Korvane::*down)(), void (Form1Korvane::*up)(), double ms) {
        (form.*down)();
        runner.runFor(ms);
        (form.*up)();
        runner.runFor(100);
    }
    std::size_t Steps() const { return form.CurveUndo.undoSteps(); }
};

TEST_F(CurveUndo, EveryKindOfChangeComesBackExactly) {
    std::vector<CurveRows> after;  // the curve after each step, the first being the start
    after.push_back(form.CurveTable);
    after.push_back(ReadOrderedCurve());

    form.devir2000_Click();
    form.CheckÜ[4].setValue(1);
    HoldKey(ArrowKey::Up, 1000);  // shift: point 5 rises every tick
    ASSERT_GE(At(4, 5) - after.back()[4][5], 10) << "the hold moved the point by one tick only";
    after.push_back(form.CurveTable);

    form.CheckÜ[2].setValue(1);
    form.CheckÜ[8].setValue(1);
    HoldKey(ArrowKey::Left, 600);  // tilt: the marked points turn upward to the right
    ASSERT_NE(form.CurveTable, after.back());
    after.push_back(form.CurveTable);

    curve::UncheckAllPoints(form);
    form.CheckA[10].setValue(1);
    Hold(&Form1Korvane::EğriPic_MouseDown, &Form1Korvane::EğriPic_MouseUp, 500);  // a press on the plot
    ASSERT_NE(form.CurveTable, after.back());
    after.push_back(form.CurveTable);

    Hold(&Form1Korvane::Rolantiyukarıdisabel_MouseDown, &Form1Korvane::Rolantiyukarıdisabel_MouseUp, 400);
    ASSERT_NE(At(1, 2), after.back()[1][2]) << "the idle picture moved no idle level";
    after.push_back(form.CurveTable);

    form.DisplayedPetrolTime = 3.5;  // idle level 70: every band point under it is raised
    form.Rolanti_Click();
    ASSERT_NE(form.CurveTable, after.back());
    after.push_back(form.CurveTable);

    // A file with other head values, the header line carrying points 7..9 too.
    CurveRows other = after.back();
    other[1] = {0, 6, 30, 99, 98, 97, 96, 1, 2, 3};
    for (int p = 1; p <= 18; ++p) other[8][p] += 50;
    ReadFile(other, "Cur_04.txt");
    after.push_back(form.CurveTable);

    ASSERT_EQ(Steps(), after.size() - 1);
    for (std::size_t i = after.size() - 1; i-- > 0;) {
        form.ButonGeriAl_Click();
        ASSERT_EQ(form.CurveTable, after[i]) << "undo to step " << i;
        // Drawn at once: point 5 of the 2000 rpm band stands where the restored table says.
        bool drawn = false;
        for (const DrawCall& c : Canvas().calls())
            drawn |= c.kind == DrawCall::Kind::Circle && c.x1 == 200 && c.y1 == after[i][4][5] && c.colour == 4095;
        EXPECT_TRUE(drawn) << "step " << i;
    }
    EXPECT_FALSE(form.ButonGeriAl.enabled);
    form.ButonGeriAl_Click();  // nothing left: nothing changes
    EXPECT_EQ(form.CurveTable, after[0]);
    for (std::size_t i = 1; i < after.size(); ++i) {
        form.ButonYinele_Click();
        ASSERT_EQ(form.CurveTable, after[i]) << "redo to step " << i;
    }
    EXPECT_FALSE(form.ButonYinele.enabled);
}

TEST_F(CurveUndo, AHoldOfAnyLengthIsOneStep) {
    ReadOrderedCurve();
    form.devir123456_Click();
    form.CheckA[6].setValue(1);
    for (auto [down, up] : {std::pair{&Form1Korvane::AA_MouseDown, &Form1Korvane::AA_MouseUp},
                            std::pair{&Form1Korvane::YY_MouseDown, &Form1Korvane::YY_MouseUp},
                            std::pair{&Form1Korvane::sol_MouseDown, &Form1Korvane::sol_MouseUp}}) {
        const CurveRows before = form.CurveTable;
        const std::size_t steps = Steps();
        (form.*down)();
        // Held past many redraws: no step ends while the button is down.
        for (int i = 0; i < 40; ++i) {
            runner.runFor(50);
            ASSERT_EQ(Steps(), steps);
        }
        (form.*up)();
        runner.runFor(100);
        ASSERT_NE(form.CurveTable, before);
        EXPECT_EQ(Steps(), steps + 1);
        EXPECT_TRUE(form.ButonGeriAl.enabled);
        form.ButonGeriAl_Click();
        EXPECT_EQ(form.CurveTable, before);
        form.ButonYinele_Click();  // and back, for the next button
    }
}

TEST_F(CurveUndo, AHundredAndFiftyTapsUndoOneByOne) {
    ReadOrderedCurve();
    form.devir3000_Click();
    form.CheckÜ[11].setValue(1);
    const double start = At(5, 12);
    for (int i = 1; i <= 150; ++i) {
        Hold(&Form1Korvane::AA_MouseDown, &Form1Korvane::AA_MouseUp, 120);  // one tick each
        ASSERT_EQ(At(5, 12), start + i);
    }
    for (int i = 149; i >= 0; --i) {
        form.ButonGeriAl_Click();
        ASSERT_EQ(At(5, 12), start + i);
    }
}

TEST_F(CurveUndo, ANewEditAfterAnUndoClearsRedo) {
    ReadOrderedCurve();
    form.devir1000_Click();
    form.CheckÜ[0].setValue(1);
    HoldKey(ArrowKey::Up, 300);
    const CurveRows raised = form.CurveTable;
    form.ButonGeriAl_Click();
    runner.runFor(50);
    EXPECT_TRUE(form.ButonYinele.enabled);

    form.CheckA[0].setValue(1);
    HoldKey(ArrowKey::Down, 300);
    const CurveRows lowered = form.CurveTable;
    EXPECT_FALSE(form.ButonYinele.enabled);
    form.ButonYinele_Click();
    EXPECT_EQ(form.CurveTable, lowered);
    EXPECT_NE(form.CurveTable, raised);
}

TEST_F(CurveUndo, AFileThatCannotBeReadTakesNoStep) {
    const CurveRows read = ReadOrderedCurve();
    const std::size_t steps = Steps();
    std::ofstream(dir.path() / "Cur_09.txt", std::ios::binary) << "1 2 3\r\n";  // eight lines short
    dialogs.answer = curve::Utf8FromPath(dir.path() / "Cur_09.txt");
    form.ButonDisktenOku_Click();
    runner.runFor(100);
    EXPECT_EQ(form.KomutSatırı.text, "HATALI DOSYA !");
    EXPECT_EQ(Steps(), steps);
    EXPECT_EQ(form.CurveTable, read);
}

}  // namespace
}  // namespace gasecu
