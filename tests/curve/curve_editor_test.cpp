#include <functional>
#include <string>
#include <utility>

#include "curve_fixture.h"
#include "curve/point_marks.h"

namespace gasecu {
namespace {

using test::CurveFormTest;

class CurveEditor : public CurveFormTest {
protected:
    // Which boxes of a row are ticked, as a string of 19 '0'/'1' (box 0 first).
    std::string Row(const std::array<CheckBoxControl, 19>& row) {
        std::string s;
        for (const auto& box : row) s += box.checked() ? '1' : '0';
        return s;
    }
    std::string Upper() { return Row(form.CheckÜ); }
    std::string Lower() { return Row(form.CheckA); }
};

TEST_F(CurveEditor, PointIsMarkedInOneRowAtMost) {
    form.CheckÜ[3].setValue(1);
    form.CheckA[3].setValue(1);
    EXPECT_FALSE(form.CheckÜ[3].checked());
    EXPECT_TRUE(form.CheckA[3].checked());
    form.CheckÜ[3].setValue(1);
    EXPECT_FALSE(form.CheckA[3].checked());
}

TEST_F(CurveEditor, RangeBoxExtendsItsRowAndClearsTheOther) {
    form.CheckÜ[4].setValue(1);  // point 5
    form.CheckÜ[8].setValue(1);  // point 9
    form.CheckA[1].setValue(1);
    form.CheckA[17].setValue(1);
    form.CheckÜ[18].setValue(1);
    EXPECT_EQ(Upper(), "0000111111111111111");
    EXPECT_EQ(Lower(), "0000000000000000000");
    form.CheckÜ[18].setValue(0);
    EXPECT_EQ(Upper(), "0000000000000000000");

    // The lower range box works the same way with the rows swapped.
    form.CheckA[15].setValue(1);
    form.CheckÜ[2].setValue(1);
    form.CheckA[18].setValue(1);
    EXPECT_EQ(Lower(), "0000000000000001111");
    EXPECT_EQ(Upper(), "0000000000000000000");
}

TEST_F(CurveEditor, RangeBoxWithoutMarksSelectsNothing) {
    // An earlier range click leaves its start point behind; an empty row must not
    // start from it.
    form.CheckÜ[2].setValue(1);
    form.CheckÜ[18].setValue(1);
    form.CheckÜ[18].setValue(0);
    form.CheckA[5].setValue(1);
    form.CheckÜ[18].setValue(1);
    EXPECT_EQ(Upper(), "0000000000000000001");
    EXPECT_EQ(Lower(), "0000000000000000000");
    form.CheckA[18].setValue(1);
    EXPECT_EQ(Upper(), "0000000000000000000");
    EXPECT_EQ(Lower(), "0000000000000000001");
}

TEST_F(CurveEditor, SelectAllCyclesUpperLowerNone) {
    form.CheckA[3].setValue(1);
    form.hepsi_Click();
    EXPECT_EQ(Upper(), "1111111111111111111");
    EXPECT_EQ(Lower(), "0000000000000000000");
    form.hepsi_Click();
    EXPECT_EQ(Upper(), "0000000000000000000");
    EXPECT_EQ(Lower(), "1111111111111111111");
    form.hepsi_Click();
    EXPECT_EQ(Upper(), "0000000000000000000");
    EXPECT_EQ(Lower(), "0000000000000000000");
    EXPECT_EQ(form.SelectAllPhase, 0);
}

TEST_F(CurveEditor, HeldUpButtonGathersMarksAndRaisesEveryTick) {
    LoadDefaultCurve();
    form.devir2000_Click();
    At(5, 10) = 302;  // band 3000 two units above band 2000 at point 10
    form.CheckA[4].setValue(1);   // point 5
    form.CheckÜ[9].setValue(1);   // point 10
    form.AA_MouseDown();
    runner.runFor(10);  // one poll: the marks move up, the edit tick is started
    EXPECT_EQ(Upper(), "0000100001000000000");
    EXPECT_EQ(Lower(), "0000000000000000000");
    EXPECT_TRUE(form.Timer2.enabled());
    EXPECT_EQ(At(4, 5), 150);

    runner.runFor(75);  // first tick
    EXPECT_EQ(At(4, 5), 151);
    EXPECT_EQ(At(4, 10), 301);
    EXPECT_EQ(At(5, 10), 302);  // exactly one unit above: far enough, not pushed
    runner.runFor(75 * 3);
    EXPECT_EQ(At(5, 10), 305);  // pushed by the three ticks after
    EXPECT_EQ(At(4, 5), 154);
    EXPECT_EQ(At(3, 5), 150);  // band 1000 not selected, and below: untouched
    // Faster bands are pushed along so they stay above band 2000.
    EXPECT_EQ(At(5, 5), 154);
    EXPECT_EQ(At(1, 2), 25);  // the idle level is locked in shift mode

    form.AA_MouseUp();
    EXPECT_FALSE(form.Timer2.enabled());
    EXPECT_FALSE(form.Timer5.enabled());
    EXPECT_EQ(form.RaiseRequest, 0);
    runner.runFor(300);
    EXPECT_EQ(At(4, 5), 154);
}

TEST_F(CurveEditor, MarksMoveEvenWithNoBandSelected) {
    LoadOrderedCurve();
    const auto before = form.CurveTable;
    form.CheckÜ[0].setValue(1);
    form.YY_MouseDown();
    runner.runFor(10 + 75 * 4);
    EXPECT_EQ(Lower(), "1000000000000000000");
    EXPECT_EQ(form.CurveTable, before);
}

TEST_F(CurveEditor, BothDirectionsHeldLeaveTheEditAsItIs) {
    LoadDefaultCurve();
    form.devir1000_Click();
    form.CheckÜ[0].setValue(1);

    // From rest: nothing starts.
    form.AA_MouseDown();
    form.YY_MouseDown();
    runner.runFor(300);
    EXPECT_FALSE(form.Timer2.enabled());
    EXPECT_EQ(At(3, 1), 30);
    form.AA_MouseUp();
    form.YY_MouseUp();

    // While raising: holding down as well changes nothing, the raise goes on.
    form.AA_MouseDown();
    runner.runFor(10 + 75);
    EXPECT_EQ(At(3, 1), 31);
    form.YY_MouseDown();
    runner.runFor(75 * 2);
    EXPECT_TRUE(form.Timer2.enabled());
    EXPECT_EQ(form.RaiseRequest, 1);
    EXPECT_EQ(form.LowerRequest, 0);
    EXPECT_EQ(At(3, 1), 33);

    // Up key together with the down button: the same.
    form.AA_MouseUp();
    form.YY_MouseUp();
    form.ArrowKeys.keyDown(ArrowKey::Up);
    form.YY_MouseDown();
    runner.runFor(300);
    EXPECT_FALSE(form.Timer2.enabled());
    EXPECT_EQ(At(3, 1), 33);
}

TEST_F(CurveEditor, ArrowKeyStartsThePollerAndItsReleaseStopsTheEdit) {
    LoadDefaultCurve();
    form.devir1000_Click();
    form.CheckÜ[0].setValue(1);
    form.ArrowKeys.keyDown(ArrowKey::Down);
    runner.runFor(25);  // the redraw sees the key
    EXPECT_TRUE(form.Timer5.enabled());
    runner.runFor(10 + 75);
    EXPECT_EQ(Lower(), "1000000000000000000");
    EXPECT_EQ(At(3, 1), 29);
    EXPECT_EQ(At(1, 2), 25);

    form.ArrowKeys.keyUp(ArrowKey::Down);
    runner.runFor(10);
    EXPECT_FALSE(form.Timer2.enabled());
    EXPECT_FALSE(form.Timer5.enabled());
    EXPECT_EQ(form.LowerRequest, 0);
    runner.runFor(500);
    EXPECT_EQ(At(3, 1), 29);

    // A key typed while the window had no focus never reaches the editor.
    form.ArrowKeys.keyDown(ArrowKey::Up);
    form.ArrowKeys.focusLost();
    runner.runFor(500);
    EXPECT_FALSE(form.Timer5.enabled());
    EXPECT_EQ(At(3, 1), 29);
}

TEST_F(CurveEditor, TiltTickMovesMarkedPointsByOneTwoThree) {
    LoadDefaultCurve();
    At(7, 7) = 400;  // band 5000 well above the others at point 7
    form.devir2000_Click();
    form.imgeğmedisabled_Click();
    EXPECT_TRUE(form.TiltMode);
    EXPECT_TRUE(form.imgeğmeenabled.visible);
    EXPECT_FALSE(form.imgeğmedisabled.visible);
    form.CheckÜ[2].setValue(1);   // point 3
    form.CheckÜ[6].setValue(1);   // point 7
    form.CheckÜ[11].setValue(1);  // point 12
    form.EğriPic_MouseDown();
    runner.runFor(75);
    EXPECT_FALSE(form.Timer2.enabled());  // a tilt tick runs once per start
    form.EğriPic_MouseUp();

    EXPECT_EQ(At(4, 3), 91);
    EXPECT_EQ(At(4, 7), 212);
    EXPECT_EQ(At(4, 12), 363);
    EXPECT_EQ(At(3, 3), 90);  // band 1000 is below, not touched
    // Faster bands less than 1 above the band below rise by the same step.
    for (int r = 5; r <= 8; ++r) {
        EXPECT_EQ(At(r, 3), 91) << r;
        EXPECT_EQ(At(r, 12), 363) << r;
    }
    EXPECT_EQ(At(5, 7), 212);
    EXPECT_EQ(At(6, 7), 212);
    EXPECT_EQ(At(7, 7), 400);  // already above
    EXPECT_EQ(At(8, 7), 212);  // 210 < 400 + 1: pushed by one step only
    EXPECT_EQ(At(4, 4), 120);  // unmarked points stay
    EXPECT_EQ(At(1, 2), 25);
}

TEST_F(CurveEditor, HeldLeftButtonTiltsAgainAndAgain) {
    LoadDefaultCurve();
    form.devir6000_Click();
    form.CheckA[9].setValue(1);   // point 10
    form.CheckA[10].setValue(1);  // point 11
    form.sol_MouseDown();
    runner.runFor(10);
    EXPECT_TRUE(form.TiltMode);
    EXPECT_FALSE(form.IdleLocked);
    EXPECT_EQ(Upper(), "0000000001100000000");
    runner.runFor(1000);
    // Each tick restarts the next one after at most one poll: 11 or 12 ticks a second.
    const double rise10 = At(8, 10) - 300, rise11 = At(8, 11) - 330;
    EXPECT_GE(rise10, 11);
    EXPECT_LE(rise10, 13);
    EXPECT_EQ(rise11, 2 * rise10);
    form.sol_MouseUp();
    const double after = At(8, 10);
    runner.runFor(500);
    EXPECT_EQ(At(8, 10), after);
}

// A tilt tick stops itself; releasing Right just after one used to leave the lower
// request set, and the next Up then lowered the curve. Every hold length, each
// press moves the way it says.
TEST_F(CurveEditor, APressAlwaysMovesTheWayItSaysWhateverTheHoldBefore) {
    LoadDefaultCurve();
    form.devir6000_Click();
    for (int holdMs = 1; holdMs <= 150; ++holdMs) {
        SCOPED_TRACE(holdMs);
        form.CheckA[9].setValue(1);  // point 10
        form.ArrowKeys.keyDown(ArrowKey::Right);
        runner.runFor(holdMs);
        form.ArrowKeys.keyUp(ArrowKey::Right);
        runner.runFor(200);
        const double before = At(8, 10);
        form.ArrowKeys.keyDown(ArrowKey::Up);
        runner.runFor(120);
        form.ArrowKeys.keyUp(ArrowKey::Up);
        runner.runFor(200);
        ASSERT_GT(At(8, 10), before) << "Up lowered the curve";
        const double raised = At(8, 10);
        form.ArrowKeys.keyDown(ArrowKey::Left);
        runner.runFor(120);
        form.ArrowKeys.keyUp(ArrowKey::Left);
        runner.runFor(200);
        ASSERT_GT(At(8, 10), raised) << "Left lowered the curve";
    }
}

// The edit tick first runs 75 ms after a press starts it; a quicker click or tap
// used to be stopped by its release before that and moved nothing. Every button
// and key, every hold from 1 ms to a few ticks: at least one step, the right way.
TEST_F(CurveEditor, EveryPressMovesAtLeastOneStep) {
    struct Press {
        const char* name;
        std::function<void(bool)> hold;  // true: down, false: up
        int sign;                        // +1 raises point 10, -1 lowers it
    };
    auto button = [this](void (Form1Korvane::*down)(), void (Form1Korvane::*up)()) {
        return [this, down, up](bool on) { (form.*(on ? down : up))(); };
    };
    auto key = [this](ArrowKey k) {
        return [this, k](bool on) { on ? form.ArrowKeys.keyDown(k) : form.ArrowKeys.keyUp(k); };
    };
    const Press presses[] = {
        {"up button", button(&Form1Korvane::AA_MouseDown, &Form1Korvane::AA_MouseUp), +1},
        {"down button", button(&Form1Korvane::YY_MouseDown, &Form1Korvane::YY_MouseUp), -1},
        {"left button", button(&Form1Korvane::sol_MouseDown, &Form1Korvane::sol_MouseUp), +1},
        {"right button", button(&Form1Korvane::sag_MouseDown, &Form1Korvane::sag_MouseUp), -1},
        {"Up key", key(ArrowKey::Up), +1},
        {"Down key", key(ArrowKey::Down), -1},
        {"Left key", key(ArrowKey::Left), +1},
        {"Right key", key(ArrowKey::Right), -1},
    };
    LoadOrderedCurve();
    form.devir123456_Click();
    for (const Press& press : presses) {
        for (int holdMs : {0, 1, 5, 9, 12, 30, 50, 74, 90, 150}) {
            SCOPED_TRACE(std::string(press.name) + " held " + std::to_string(holdMs) + " ms");
            curve::UncheckAllPoints(form);
            form.CheckÜ[9].setValue(1);  // point 10, gathered into the press's row
            const double before = At(5, 10);
            press.hold(true);
            runner.runFor(holdMs);
            press.hold(false);
            runner.runFor(200);
            const double moved = (At(5, 10) - before) * press.sign;
            EXPECT_GE(moved, 1);
            // A press under one tick is exactly one step; a hold repeats as before.
            if (holdMs < 10) {
                EXPECT_EQ(moved, 1);
            }
        }
    }
    // Five quick clicks on the up button: five steps.
    curve::UncheckAllPoints(form);
    form.CheckÜ[9].setValue(1);
    const double before = At(5, 10);
    for (int i = 0; i < 5; ++i) {
        form.AA_MouseDown();
        runner.runFor(40);
        form.AA_MouseUp();
        runner.runFor(100);
    }
    EXPECT_EQ(At(5, 10), before + 5);
}

// Raising one band through the next pushes the faster ones along (the bands may
// not cross): the status line names them and their pushed points are ringed until
// the next edit starts.
TEST_F(CurveEditor, BandsPushedAlongAreNamedAndMarkedUntilTheNextEdit) {
    LoadOrderedCurve();  // bands 5 apart: 3000 at 40, 4000 at 45 ... at point 1
    form.LanguageIndex = 1;
    form.devir3000_Click();
    form.CheckÜ[0].setValue(1);  // point 1
    auto rings = [this] {
        int n = 0;
        for (const DrawCall& call : Canvas().calls()) n += call.kind == DrawCall::Kind::Circle && call.r == 7;
        return n;
    };
    form.AA_MouseDown();
    runner.runFor(10 + 75 * 3);  // three steps: 43, still under 4000's 45
    EXPECT_EQ(form.KomutSatırı.text.find("PUSHED"), std::string::npos);
    runner.runFor(75 * 3);  // 46: 4000 pushed to 47; 5000 at 50 is still above it
    form.AA_MouseUp();
    EXPECT_EQ(At(5, 1), 46);
    EXPECT_EQ(At(6, 1), 47);
    EXPECT_EQ(form.KomutSatırı.text, "BANDS 4000 rpm PUSHED ALONG (THE BANDS MAY NOT CROSS)");
    form.CurveRedraw();
    EXPECT_EQ(rings(), 1);
    EXPECT_TRUE(form.PushedPoints[3][1]);
    runner.runFor(1000);  // marks stay while nothing else happens
    form.CurveRedraw();
    EXPECT_EQ(rings(), 1);

    // Held on: 5000 goes along as well, and the message grows.
    form.AA_MouseDown();
    runner.runFor(10 + 75 * 5);
    form.AA_MouseUp();
    EXPECT_EQ(form.KomutSatırı.text, "BANDS 4000, 5000 rpm PUSHED ALONG (THE BANDS MAY NOT CROSS)");
    // The next edit that pushes nothing drops the marks.
    curve::UncheckAllPoints(form);
    form.CheckA[17].setValue(1);
    form.YY_MouseDown();
    runner.runFor(10 + 75);
    form.YY_MouseUp();
    form.CurveRedraw();
    EXPECT_EQ(rings(), 0);
}

// The editor stops at what a curve file holds, so whatever it makes can be saved
// and loaded again.
TEST_F(CurveEditor, LevelsStayWithinWhatACurveFileHolds) {
    LoadDefaultCurve();
    form.devir6000_Click();
    At(8, 10) = 32765;
    At(8, 11) = -32766;
    form.CheckÜ[9].setValue(1);  // point 10 up
    form.AA_MouseDown();
    runner.runFor(600);
    form.AA_MouseUp();
    runner.runFor(100);
    EXPECT_EQ(At(8, 10), 32767);
    curve::UncheckAllPoints(form);
    form.CheckA[10].setValue(1);  // point 11 down
    form.YY_MouseDown();
    runner.runFor(600);
    form.YY_MouseUp();
    runner.runFor(100);
    EXPECT_EQ(At(8, 11), -32768);
    const auto parsed = curve::ParseCurveText(curve::FormatCurveText(form.CurveTable));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->values[8][10], 32767);
    EXPECT_EQ(parsed->values[8][11], -32768);

    // The idle pictures carry the idle level to the file's limits and no further.
    At(1, 2) = 32765;
    form.Rolantiyukarıdisabel_MouseDown();
    runner.runFor(75 * 4);
    form.Rolantiyukarıdisabel_MouseUp();
    EXPECT_EQ(At(1, 2), 32767);
    At(1, 2) = -32766;
    form.Rolantiaşagıdisabel_MouseDown();
    runner.runFor(75 * 4);
    form.Rolantiaşagıdisabel_MouseUp();
    EXPECT_EQ(At(1, 2), -32768);
    EXPECT_TRUE(curve::CurveFitsTheFile(form.CurveTable));
}

TEST_F(CurveEditor, LoweringMayGoBelowZero) {
    LoadDefaultCurve();
    form.devir1000_Click();
    form.CheckA[0].setValue(1);
    form.YY_MouseDown();
    runner.runFor(10 + 75 * 40);
    form.YY_MouseUp();
    EXPECT_EQ(At(3, 1), -10);
    // The default file has all bands on one line. The downward fix-up pushes each
    // slower band that is not below the faster one down by one step per tick, so
    // bands 2000..5000 settle into a staircase under band 6000.
    for (int r = 4; r <= 8; ++r) EXPECT_EQ(At(r, 1), 30 - (8 - r)) << r;
    EXPECT_EQ(At(3, 2), 60);
}

TEST_F(CurveEditor, OnlyTheIdlePicturesMoveTheIdleLevel) {
    LoadDefaultCurve();
    form.devir1000_Click();

    form.Rolantiyukarıdisabel_MouseDown();
    EXPECT_TRUE(form.Rolantiyukarıenabel.visible);
    EXPECT_FALSE(form.Rolantiyukarıdisabel.visible);
    EXPECT_EQ(Upper(), "1111111111111111111");
    runner.runFor(75 * 3);
    form.Rolantiyukarıdisabel_MouseUp();
    EXPECT_EQ(At(1, 2), 28);
    for (int p = 1; p <= 18; ++p) EXPECT_EQ(At(3, p), 30 * p + 3) << p;
    EXPECT_TRUE(form.Rolantiyukarıdisabel.visible);
    EXPECT_FALSE(form.Rolantiyukarıenabel.visible);
    EXPECT_TRUE(form.IdleLocked);
    EXPECT_EQ(Upper(), "0000000000000000000");
    runner.runFor(300);
    EXPECT_EQ(At(1, 2), 28);

    form.Rolantiaşagıdisabel_MouseDown();
    EXPECT_EQ(Lower(), "1111111111111111111");
    EXPECT_TRUE(form.Rolantiaşagıenabel.visible);
    runner.runFor(75 * 5);
    form.Rolantiaşagıdisabel_MouseUp();
    EXPECT_EQ(At(1, 2), 23);
    EXPECT_EQ(At(3, 18), 540 - 2);
    EXPECT_FALSE(form.Rolantiaşagıenabel.visible);

    // Box 0 ticked by hand, shift mode: the point moves, the idle level does not.
    form.CheckÜ[0].setValue(1);
    form.AA_MouseDown();
    runner.runFor(10 + 75 * 2);
    form.AA_MouseUp();
    EXPECT_EQ(At(3, 1), 30 - 2 + 2);
    EXPECT_EQ(At(1, 2), 23);
}

TEST_F(CurveEditor, TiltPicturesSwitchTheModeAndClearTheMarks) {
    form.CheckÜ[1].setValue(1);
    form.imgeğmedisabled_Click();
    EXPECT_TRUE(form.TiltMode);
    EXPECT_FALSE(form.IdleLocked);
    EXPECT_EQ(Upper(), "0000000000000000000");
    form.CheckA[1].setValue(1);
    form.imgeğmeenabled_Click();
    EXPECT_FALSE(form.TiltMode);
    EXPECT_TRUE(form.IdleLocked);
    EXPECT_TRUE(form.imgeğmedisabled.visible);
    EXPECT_FALSE(form.imgeğmeenabled.visible);
    EXPECT_EQ(Lower(), "0000000000000000000");
    // An up/down button switches back to shift mode as well.
    form.imgeğmedisabled_Click();
    form.AA_MouseDown();
    runner.runFor(10);
    EXPECT_FALSE(form.TiltMode);
    EXPECT_TRUE(form.IdleLocked);
    EXPECT_TRUE(form.imgeğmedisabled.visible);
}

TEST_F(CurveEditor, MouseHeldOnThePlotRunsTheEditTick) {
    LoadOrderedCurve();
    form.devir3000_Click();
    form.CheckÜ[0].setValue(1);
    form.CheckA[17].setValue(1);
    form.EğriPic_MouseDown();
    runner.runFor(75 * 2);
    form.EğriPic_MouseUp();
    runner.runFor(300);
    EXPECT_EQ(At(5, 1), 40 + 2);
    EXPECT_EQ(At(5, 18), 550 - 2);
    EXPECT_EQ(At(6, 1), 45);   // still above band 3000: not pushed
    EXPECT_EQ(At(4, 18), 545);  // still below band 3000: not pushed
    // Every tick starts from a fresh picture with the curves on it.
    EXPECT_EQ(Canvas().calls().front().kind, DrawCall::Kind::Clear);
}

}  // namespace
}  // namespace gasecu
