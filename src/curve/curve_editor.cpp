// The curve editor. The fitter marks points in two rows of boxes above the plot
// (CheckÜ: raise, CheckA: lower), picks bands with the band buttons and holds an
// arrow button or arrow key. The 10 ms poller (Timer5) turns what is held into a
// direction, gathers every mark into that direction's row and keeps the 75 ms edit
// tick (Timer2) running; the tick moves the marked points of the selected bands.
//
// Two step modes: shift (up/down: each marked point moves 1 unit per tick) and tilt
// (left/right: the marked points move 1, 2, 3 ... units from left to right, which
// turns the marked part of the curve). The idle pictures move whole bands together
// with the idle level. Levels may go below 0 or above 255 (the write refuses such a
// curve with its reason), but never past what a curve file holds.
#include <algorithm>

#include "app/form1korvane.h"
#include "curve/curve_bands.h"
#include "curve/curve_text.h"
#include "curve/point_marks.h"

namespace gasecu {

namespace {

using curve::kRangeBox;

// After a point was raised, each faster band must stay at least 1 unit above the
// slower one; a band that is not is pushed up by the same step. One pass upward.
void FixUpward(CurveRows& t, int p, double step) {
    for (int r = curve::kFirstBandRow + 1; r <= curve::kLastBandRow; ++r)
        if (t[r][p] - t[r - 1][p] < 1) t[r][p] += step;
}

// After a point was lowered, a slower band that is not at least 1 unit below the
// faster one is pushed down by the same step. One pass upward: a band lowered by the
// pass is compared with the band below it again only at the next tick.
void FixDownward(CurveRows& t, int p, double step) {
    for (int r = curve::kFirstBandRow + 1; r <= curve::kLastBandRow; ++r)
        if (t[r][p] - t[r - 1][p] < 1) t[r - 1][p] -= step;
}

// The editor keeps every level within what a curve file holds: a curve pushed
// past it could be saved but never loaded again.
void KeepWithinTheFile(CurveRows& t) {
    auto keep = [](double& v) { v = std::clamp(v, curve::kLowestFileValue, curve::kHighestFileValue); };
    keep(t[curve::kHeaderRow][curve::kIdleLevel]);
    for (int r = curve::kFirstBandRow; r <= curve::kLastBandRow; ++r)
        for (int p = 1; p <= curve::kPointCount; ++p) keep(t[r][p]);
}

// The fix-ups moved points of bands the fitter did not select: mark them, and
// name the bands in the status line when the set of bands grows.
void NotePushedBands(Form1Korvane& f, const CurveRows& before) {
    bool any = false;
    std::string bands;
    for (int b = 0; b < curve::kBandCount; ++b) {
        if (f.BandSelected[b] == curve::kSelected) continue;
        bool pushed = false;
        for (int p = 1; p <= curve::kPointCount; ++p) {
            const int r = curve::kFirstBandRow + b;
            if (f.CurveTable[r][p] != before[r][p]) f.PushedPoints[b][p] = true;
            pushed = pushed || f.PushedPoints[b][p];
        }
        if (!pushed) continue;
        any = true;
        bands += (bands.empty() ? "" : ", ") + std::to_string(1000 * (b + 1));
    }
    if (!any) return;
    f.PushedOnCurve = f.CurveTable;
    if (bands == f.PushedBandsSaid) return;
    f.PushedBandsSaid = bands;
    f.ShowMessage(bands + " rpm EĞRİLERİ DE İTİLDİ (EĞRİLER KESİŞEMEZ)",
                  "BANDS " + bands + " rpm PUSHED ALONG (THE BANDS MAY NOT CROSS)");
}

void MoveSelectedBands(Form1Korvane& f, int p, double delta) {
    for (int b = 0; b < curve::kBandCount; ++b)
        if (f.BandSelected[b] == curve::kSelected) f.CurveTable[curve::kFirstBandRow + b][p] += delta;
}

// The picture pairs of the idle-up, idle-down and tilt functions: exactly one of
// each pair is visible.
void ShowIdleUp(Form1Korvane& f, bool pressed) {
    f.Rolantiyukarıdisabel.visible = !pressed;
    f.Rolantiyukarıenabel.visible = pressed;
}
void ShowIdleDown(Form1Korvane& f, bool pressed) {
    f.Rolantiaşagıdisabel.visible = !pressed;
    f.Rolantiaşagıenabel.visible = pressed;
}
void ShowTilt(Form1Korvane& f, bool on) {
    f.imgeğmedisabled.visible = !on;
    f.imgeğmeenabled.visible = on;
}

// The step mode and the pictures that show it: tilt, or shift with the idle level
// locked. Both idle pictures show released.
void SetStepMode(Form1Korvane& f, bool tilt) {
    ShowTilt(f, tilt);
    ShowIdleUp(f, false);
    ShowIdleDown(f, false);
    f.IdleLocked = !tilt;
    f.TiltMode = tilt;
}

// The poller saw a key or button of one family: up/down selects shift mode,
// left/right tilt mode, and the latch remembers which family spoke last.
void EnterKeyFamily(Form1Korvane& f, bool horizontal) {
    f.VerticalLatch = horizontal ? 0 : 1;
    f.HorizontalLatch = horizontal ? 1 : 0;
    SetStepMode(f, horizontal);
}

// Every mark of the other row moves into this one (ticking it here first, so the
// point rule clears the other row's box).
void GatherMarks(std::array<CheckBoxControl, 19>& into, std::array<CheckBoxControl, 19>& from) {
    for (int k = 0; k <= kRangeBox; ++k) {
        if (from[k].checked()) {
            into[k].setValue(1);
            from[k].setValue(0);
        }
    }
}

// The range box of one row: ticking it extends that row's marks from its leftmost
// mark to the right end and clears the other row; unticking it clears its own row.
void RangeBoxClicked(Form1Korvane& f, std::array<CheckBoxControl, 19>& own, std::array<CheckBoxControl, 19>& other) {
    f.RangeFound = false;
    if (own[kRangeBox].checked())
        for (int k = 0; k <= kRangeBox; ++k) other[k].setValue(0);
    for (int k = 0; k < kRangeBox; ++k) {
        if (own[k].checked() && !f.RangeFound) {
            f.FirstChecked = k;
            f.RangeFound = true;
        }
    }
    // With no mark in the row there is no place to start from: select nothing rather
    // than start at whatever an earlier range click left in FirstChecked.
    if (f.RangeFound)
        for (int k = static_cast<int>(f.FirstChecked); k < kRangeBox; ++k) own[k].setValue(1);
    if (!own[kRangeBox].checked())
        for (int k = 0; k < kRangeBox; ++k) own[k].setValue(0);
}

// "Start the edit": if the edit tick is stopped, start it in the given direction
// and in that direction only.
// An edit started from rest owes its press a step until the tick has run; a tilt
// tick restarted while the key is held is the same press going on.
void StartEdit(Form1Korvane& f, std::uint8_t& request) {
    if (f.Timer2.enabled()) return;
    f.Timer2.setEnabled(true);
    if (f.RaiseRequest == 0 && f.LowerRequest == 0) {
        f.EditStepOwed = true;
        f.ForgetPushedPoints();
    }
    f.RaiseRequest = 0;
    f.LowerRequest = 0;
    request = 1;
}

// A press released before the edit tick first ran still moves the marked points
// one step: five quick clicks are five steps, not none.
void PayOwedStep(Form1Korvane& f) {
    if (f.EditStepOwed && f.Timer2.enabled()) f.CurveEditTick();
    f.EditStepOwed = false;
}

// "Stop the edit": forget the direction; if the edit tick runs, stop it and the
// poller itself. A tilt tick stops itself, so a key released right after one finds
// the tick stopped: its direction must still be forgotten, or the next press of
// the other key would move the curve the old way.
void StopEdit(Form1Korvane& f) {
    PayOwedStep(f);
    f.RaiseRequest = 0;
    f.LowerRequest = 0;
    if (!f.Timer2.enabled()) return;
    f.Timer2.setEnabled(false);
    f.Timer5.setEnabled(false);
}

// The poller's decision for one key family. `raiseKey`/`raiseHeld` are Up and AA
// (or Left and sol), `lowerKey`/`lowerHeld` Down and YY (or Right and sag). The
// order of the tests is part of the behaviour: holding both directions must leave
// the edit as it is.
void DecideFamily(Form1Korvane& f, ArrowKey raiseKey, std::uint8_t raiseHeld, ArrowKey lowerKey,
                  std::uint8_t lowerHeld) {
    // Each key is asked once per decision: a tap already over is reported to the
    // first query only, and asking again in a later test lost a tap of the lower
    // key (Down, Right) before it could start its step.
    const std::int16_t r = f.ArrowKeys.query(raiseKey), l = f.ArrowKeys.query(lowerKey);
    if ((r != 0 || raiseHeld == 1) && l == 0 && lowerHeld == 0) return StartEdit(f, f.RaiseRequest);
    if (!((r == 1 && raiseHeld != 0) || l != 0 || lowerHeld != 0)) return StopEdit(f);
    if ((l != 0 || lowerHeld == 1) && r == 0 && raiseHeld == 0) return StartEdit(f, f.LowerRequest);
    if (!((l == 1 && lowerHeld != 0) || r != 0 || raiseHeld != 0)) return StopEdit(f);
    // Both directions at once: leave the edit as it is.
}

}  // namespace

// ---------------------------------------------------------------------------
// Point boxes
// ---------------------------------------------------------------------------

// A point is marked in one row at most: a tick in one row clears the other.
void Form1Korvane::CheckÜ_Click(int k) {
    if (k < 0 || k > kRangeBox) return;
    if (k == kRangeBox) return RangeBoxClicked(*this, CheckÜ, CheckA);
    if (CheckÜ[k].checked()) CheckA[k].setValue(0);
}

void Form1Korvane::CheckA_Click(int k) {
    if (k < 0 || k > kRangeBox) return;
    if (k == kRangeBox) return RangeBoxClicked(*this, CheckA, CheckÜ);
    if (CheckA[k].checked()) CheckÜ[k].setValue(0);
}

// Select-all: all upper, then all lower, then none.
void Form1Korvane::hepsi_Click() {
    switch (SelectAllPhase) {
    case 0:
        curve::SetAllPoints(*this, 1, 0);
        SelectAllPhase = 1;
        break;
    case 1:
        curve::SetAllPoints(*this, 0, 1);
        SelectAllPhase = 2;
        break;
    case 2:
        curve::UncheckAllPoints(*this);
        SelectAllPhase = 0;
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------
// Hold-repeat poller (Timer5, 10 ms)
// ---------------------------------------------------------------------------

void Form1Korvane::CurveRepeatPoller() {
    PressUnpolled = false;
    // 1. Up/down family: shift mode, idle level locked, every picture released.
    // (Looked at without asking, so a tap already over still reaches the decision.)
    {
        const bool up = ArrowKeys.pending(ArrowKey::Up);
        const bool down = ArrowKeys.pending(ArrowKey::Down);
        if (up || down || AAHeld == 1 || YYHeld == 1) EnterKeyFamily(*this, false);
    }
    // 2. The vertical decision.
    if (HorizontalLatch == 0) DecideFamily(*this, ArrowKey::Up, AAHeld, ArrowKey::Down, YYHeld);

    // 3. Left/right family: tilt mode.
    {
        const bool left = ArrowKeys.pending(ArrowKey::Left);
        const bool right = ArrowKeys.pending(ArrowKey::Right);
        if (left || right || SolHeld == 1 || SagHeld == 1) EnterKeyFamily(*this, true);
    }
    // 4. The horizontal decision.
    if (VerticalLatch == 0) DecideFamily(*this, ArrowKey::Left, SolHeld, ArrowKey::Right, SagHeld);

    // 5, 6. Every mark goes into the row of the direction.
    if (RaiseRequest == 1) GatherMarks(CheckÜ, CheckA);
    if (LowerRequest == 1) GatherMarks(CheckA, CheckÜ);
}

// ---------------------------------------------------------------------------
// Edit tick (Timer2, 75 ms)
// ---------------------------------------------------------------------------

void Form1Korvane::CurveEditTick() {
    EditStepOwed = false;
    ClearCurvePicture();
    DrawCurves();
    // A held arrow key must not change the curve while it goes into the ECU (the
    // check would pass and the screen would show a curve the ECU does not hold),
    // nor while a read or a calibration run is about to replace it: the edit would
    // be lost without a question, or rescaled and uploaded by the run.
    if (CurveEditsLocked()) return;

    const CurveRows before = CurveTable;
    if (TiltMode) {
        // One tick per start: the poller starts the next one while the key is held.
        Timer2.setEnabled(false);
        TiltStep = 1;
        for (int k = 0; k < kRangeBox; ++k) {
            const int p = k + 1;
            if (CheckÜ[k].checked()) {
                MoveSelectedBands(*this, p, TiltStep);
                FixUpward(CurveTable, p, TiltStep);
                TiltStep += 1;
            }
            if (CheckA[k].checked()) {
                MoveSelectedBands(*this, p, -TiltStep);
                FixDownward(CurveTable, p, TiltStep);
                TiltStep += 1;
            }
        }
    } else {
        double& idleLevel = CurveTable[curve::kHeaderRow][curve::kIdleLevel];
        for (int k = 0; k < kRangeBox; ++k) {
            const int p = k + 1;
            // Point 1 carries the idle level along only while an idle picture is held.
            const bool movesIdle = !IdleLocked && k == 0;
            if (CheckÜ[k].checked()) {
                if (movesIdle) idleLevel += 1;
                MoveSelectedBands(*this, p, 1);
                FixUpward(CurveTable, p, 1);
            }
            if (CheckA[k].checked()) {
                if (movesIdle) idleLevel -= 1;
                MoveSelectedBands(*this, p, -1);
                FixDownward(CurveTable, p, 1);
            }
        }
    }
    KeepWithinTheFile(CurveTable);
    NotePushedBands(*this, before);
}

void Form1Korvane::ForgetPushedPoints() {
    PushedPoints = {};
    PushedBandsSaid.clear();
}

// ---------------------------------------------------------------------------
// Arrow buttons: held while the mouse button is down on them
// ---------------------------------------------------------------------------

namespace {
void ArrowPressed(Form1Korvane& f, std::uint8_t& held) {
    held = 1;
    f.PressUnpolled = true;
    f.Timer5.setEnabled(true);
}
// A click shorter than one poll is decided here, while the button still counts
// as held, so that it too owes its step.
void ArrowReleased(Form1Korvane& f, std::uint8_t& held) {
    if (held == 1 && f.PressUnpolled) f.CurveRepeatPoller();
    PayOwedStep(f);
    held = 0;
    f.Timer5.setEnabled(false);
    f.Timer2.setEnabled(false);
    f.LowerRequest = 0;
    f.RaiseRequest = 0;
}
}  // namespace

void Form1Korvane::AA_MouseDown() { ArrowPressed(*this, AAHeld); }
void Form1Korvane::AA_MouseUp() { ArrowReleased(*this, AAHeld); }
void Form1Korvane::YY_MouseDown() { ArrowPressed(*this, YYHeld); }
void Form1Korvane::YY_MouseUp() { ArrowReleased(*this, YYHeld); }
void Form1Korvane::sol_MouseDown() { ArrowPressed(*this, SolHeld); }
void Form1Korvane::sol_MouseUp() { ArrowReleased(*this, SolHeld); }
void Form1Korvane::sag_MouseDown() { ArrowPressed(*this, SagHeld); }
void Form1Korvane::sag_MouseUp() { ArrowReleased(*this, SagHeld); }

// ---------------------------------------------------------------------------
// Idle pictures: held, they move every point of the selected bands and the idle
// level together, one unit per tick.
// ---------------------------------------------------------------------------

namespace {

// An idle picture pressed: shift mode with the idle level unlocked, every point
// marked in the picture's direction, and the edit tick running until release.
void HoldIdlePicture(Form1Korvane& f, bool up) {
    f.ForgetPushedPoints();
    ShowIdleUp(f, up);
    ShowIdleDown(f, !up);
    ShowTilt(f, false);
    f.TiltMode = false;
    f.IdleLocked = false;
    curve::SetAllPoints(f, up ? 1 : 0, up ? 0 : 1);
    f.Timer2.setEnabled(true);
}

}  // namespace

void Form1Korvane::Rolantiyukarıdisabel_MouseDown() { HoldIdlePicture(*this, true); }

void Form1Korvane::Rolantiyukarıdisabel_MouseUp() {
    SetStepMode(*this, false);
    curve::UncheckAllPoints(*this);
    Timer2.setEnabled(false);
}

void Form1Korvane::Rolantiaşagıdisabel_MouseDown() { HoldIdlePicture(*this, false); }

void Form1Korvane::Rolantiaşagıdisabel_MouseUp() {
    ShowIdleDown(*this, false);
    IdleLocked = true;
    curve::UncheckAllPoints(*this);
    Timer2.setEnabled(false);
}

// ---------------------------------------------------------------------------
// Tilt pictures: switch the step mode by hand.
// ---------------------------------------------------------------------------

void Form1Korvane::imgeğmedisabled_Click() {
    SetStepMode(*this, true);
    curve::UncheckAllPoints(*this);
}

void Form1Korvane::imgeğmeenabled_Click() {
    SetStepMode(*this, false);
    curve::UncheckAllPoints(*this);
}

// ---------------------------------------------------------------------------
// Mouse held on the plot: the edit tick runs with whatever is marked.
// ---------------------------------------------------------------------------

void Form1Korvane::EğriPic_MouseDown() {
    ForgetPushedPoints();
    if (!Timer2.enabled()) Timer2.setEnabled(true);
}

void Form1Korvane::EğriPic_MouseUp() {
    if (Timer2.enabled()) Timer2.setEnabled(false);
}

}  // namespace gasecu
