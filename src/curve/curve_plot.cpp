// The curve plot: the six band curves of CurveTable and the engine's live operating
// point, drawn from scratch into EğriPic in its user coordinates (x: 40 units per ms
// of petrol time, y: one unit per curve level = 20 units per ms of gas time; y grows
// upward). Timer3 redraws it 40 times a second, so every change of the table shows
// within 25 ms whatever changed it.
#include <cmath>

#include "app/form1korvane.h"
#include "curve/curve_bands.h"

namespace gasecu {

namespace {

// Every dot is three nested circle outlines, which fills it on the screen.
void Dot(Canvas& c, double x, double y, Colour colour) {
    c.circle(x, y, 1, colour);
    c.circle(x, y, 2, colour);
    c.circle(x, y, 3, colour);
}

double PointX(int p) { return 40.0 * p; }

}  // namespace

void Form1Korvane::ClearCurvePicture() {
    if (EğriPic.canvas) EğriPic.canvas->clear();
}

void Form1Korvane::DrawCurves() {
    Canvas* c = EğriPic.canvas.get();
    if (!c) return;
    c->setLineWidth(1);

    // The idle anchor: where every band starts, at the idle petrol time (axis units
    // of 1/30 ms) and the idle level.
    // The ECU's curve, when the fitter asked for it, lies under everything else.
    DrawEcuCurve();

    const double anchorX = 40.0 / 30.0 * CurveTable[curve::kHeaderRow][curve::kIdleAxisPoint];
    const double anchorY = CurveTable[curve::kHeaderRow][curve::kIdleLevel];
    c->circle(anchorX, anchorY, 3, colours::kWindowText);

    // Slow bands first, so the 6000 rpm band ends on top.
    for (int b = 0; b < curve::kBandCount; ++b) {
        const auto& row = CurveTable[curve::kFirstBandRow + b];
        const Colour colour = curve::kBandCurveColours[b];
        for (int p = 1; p <= curve::kPointCount; ++p) Dot(*c, PointX(p), row[p], colour);
        c->line(anchorX, anchorY, PointX(1), row[1], colour);
        for (int p = 1; p < curve::kPointCount; ++p) c->line(PointX(p), row[p], PointX(p + 1), row[p + 1], colour);
    }
    DrawPushedPoints();
    DrawLivePoint();
}

// A ring round each point the last edit pushed along, in its band's colour, while
// the curve on screen is still the one it pushed.
void Form1Korvane::DrawPushedPoints() {
    Canvas* c = EğriPic.canvas.get();
    if (!c || PushedBandsSaid.empty() || PushedOnCurve != CurveTable) return;
    for (int b = 0; b < curve::kBandCount; ++b)
        for (int p = 1; p <= curve::kPointCount; ++p)
            if (PushedPoints[b][p]) {
                const double y = CurveTable[curve::kFirstBandRow + b][p];
                c->circle(PointX(p), y, 6, curve::kBandCurveColours[b]);
                c->circle(PointX(p), y, 7, curve::kBandCurveColours[b]);
            }
}

// The curve the ECU holds, for comparison with the one being edited: each band in
// a pale tint of its own colour, dashed, without dots, from the ECU's own idle
// anchor; only while the box is ticked and the ECU's curve is known.
void Form1Korvane::DrawEcuCurve() {
    Canvas* c = EğriPic.canvas.get();
    if (!c || !EcuCurve || !CheckEkuEğrisi.checked()) return;
    const CurveRows& ecu = *EcuCurve;
    const double anchorX = 40.0 / 30.0 * ecu[curve::kHeaderRow][curve::kIdleAxisPoint];
    const double anchorY = ecu[curve::kHeaderRow][curve::kIdleLevel];
    c->setLineStyle(LineStyle::Dashed);
    for (int b = 0; b < curve::kBandCount; ++b) {
        const auto& row = ecu[curve::kFirstBandRow + b];
        const Colour colour = curve::kEcuBandCurveColours[b];
        c->line(anchorX, anchorY, PointX(1), row[1], colour);
        for (int p = 1; p < curve::kPointCount; ++p) c->line(PointX(p), row[p], PointX(p + 1), row[p + 1], colour);
    }
    c->setLineStyle(LineStyle::Solid);
}

// The engine's operating point: a black dot at (petrol time, gas time) with a yellow
// hairline through the whole picture, broken around the dot so it stays visible.
void Form1Korvane::DrawLivePoint() {
    LivePointX = std::round(PetrolTime * 250 * (720.0 / 4500));    // 40 units per ms
    LivePointY = std::round(GasTime * 244.16 * (560 / 6836.48));  // 20 units per ms
    Canvas* c = EğriPic.canvas.get();
    if (!c) return;
    // While the link is down the point is where the engine last was: grey.
    const bool live = LinkStateShown == LinkState::Connected;
    c->line(LivePointX, LivePointY + 10, LivePointX, LivePointY + 1000, live ? colours::kYellow : colours::kGrey);
    c->line(LivePointX, LivePointY - 1000, LivePointX, LivePointY - 10, live ? colours::kYellow : colours::kGrey);
    Dot(*c, LivePointX, LivePointY, live ? colours::kBlack : colours::kGrey);
}

// Timer3, every 25 ms for the whole run: a fresh picture, then the editor's watch of
// the arrow keys, which starts the hold-repeat poller, and the undo history's watch
// for the end of a step.
void Form1Korvane::CurveRedraw() {
    ClearCurvePicture();
    DrawCurves();
    DrawLivePoint();
    // Every key is looked at without asking it: a press that is already over stays
    // for the poller, which turns it into one step.
    const bool up = ArrowKeys.pending(ArrowKey::Up);
    const bool down = ArrowKeys.pending(ArrowKey::Down);
    const bool left = ArrowKeys.pending(ArrowKey::Left);
    const bool right = ArrowKeys.pending(ArrowKey::Right);
    if (up || down || left || right) Timer5.setEnabled(true);
    WatchCurveHistory();
}

}  // namespace gasecu
