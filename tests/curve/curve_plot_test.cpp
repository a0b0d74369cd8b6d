#include <cmath>

#include "curve/curve_bands.h"
#include "curve_fixture.h"

namespace gasecu {
namespace {

using Kind = DrawCall::Kind;
using test::CurveFormTest;

class CurvePlot : public CurveFormTest {};

void ExpectCircle(const DrawCall& c, double x, double y, double r, Colour colour) {
    EXPECT_EQ(c.kind, Kind::Circle);
    EXPECT_NEAR(c.x1, x, 1e-9);
    EXPECT_NEAR(c.y1, y, 1e-9);
    EXPECT_EQ(c.r, r);
    EXPECT_EQ(c.colour, colour);
}

void ExpectLine(const DrawCall& c, double x1, double y1, double x2, double y2, Colour colour) {
    EXPECT_EQ(c.kind, Kind::Line);
    EXPECT_NEAR(c.x1, x1, 1e-9);
    EXPECT_NEAR(c.y1, y1, 1e-9);
    EXPECT_NEAR(c.x2, x2, 1e-9);
    EXPECT_NEAR(c.y2, y2, 1e-9);
    EXPECT_EQ(c.colour, colour);
}

// The live marker: a yellow hairline broken 10 units around a black dot; all grey
// while the link is down (where the engine last was, not where it is).
void ExpectMarker(const std::vector<DrawCall>& calls, std::size_t at, double x, double y, bool live = true) {
    ExpectLine(calls[at], x, y + 10, x, y + 1000, live ? colours::kYellow : colours::kGrey);
    ExpectLine(calls[at + 1], x, y - 1000, x, y - 10, live ? colours::kYellow : colours::kGrey);
    for (int i = 0; i < 3; ++i) ExpectCircle(calls[at + 2 + i], x, y, i + 1, live ? colours::kBlack : colours::kGrey);
}

TEST_F(CurvePlot, DefaultCurveAndLiveMarkerInPlotUnits) {
    LoadDefaultCurve();
    form.PetrolTime = 9;
    form.GasTime = 12.5;
    form.LinkStateShown = Form1Korvane::LinkState::Connected;
    form.CurveRedraw();

    const auto& calls = Canvas().calls();
    // clear, line width, anchor, 6 bands x (18 dots x 3 circles + 18 lines), marker twice.
    ASSERT_EQ(calls.size(), 1u + 1 + 1 + 6 * (54 + 18) + 5 + 5);
    EXPECT_EQ(calls[0].kind, Kind::Clear);
    EXPECT_EQ(calls[1].kind, Kind::LineWidth);
    EXPECT_EQ(calls[1].width, 1);
    ExpectCircle(calls[2], 40.0 / 30 * 4, 25, 3, colours::kWindowText);

    std::size_t at = 3;
    for (int b = 0; b < 6; ++b) {
        const Colour colour = curve::kBandCurveColours[b];
        ExpectCircle(calls[at], 40, 30, 1, colour);
        ExpectCircle(calls[at + 2], 40, 30, 3, colour);
        ExpectCircle(calls[at + 53], 720, 540, 3, colour);
        at += 54;
        ExpectLine(calls[at], 40.0 / 30 * 4, 25, 40, 30, colour);  // from the idle anchor
        ExpectLine(calls[at + 1], 40, 30, 80, 60, colour);
        ExpectLine(calls[at + 17], 680, 510, 720, 540, colour);
        at += 18;
    }
    // The 6000 rpm band in magenta is the last curve drawn, so it lies on top.
    EXPECT_EQ(calls[at - 1].colour, 0xFF00FFu);
    ExpectMarker(calls, at, 360, 250);      // from DrawCurves
    ExpectMarker(calls, at + 5, 360, 250);  // and again from the redraw itself
    EXPECT_EQ(form.LivePointX, 360);
    EXPECT_EQ(form.LivePointY, 250);

    // The link goes down: the same marker, greyed.
    const std::size_t perDraw = calls.size();
    for (auto state : {Form1Korvane::LinkState::NotResponding, Form1Korvane::LinkState::Disconnected}) {
        form.LinkStateShown = state;
        form.CurveRedraw();  // a clear starts the record afresh
        ASSERT_EQ(calls.size(), perDraw);
        ExpectMarker(calls, at, 360, 250, false);
        ExpectMarker(calls, at + 5, 360, 250, false);
    }
}

TEST_F(CurvePlot, EmptyTableDrawsOnTheBottomEdgeAndValuesOutsideAreNotLimited) {
    form.CurveRedraw();
    const auto& calls = Canvas().calls();
    ExpectCircle(calls[2], 0, 0, 3, colours::kWindowText);
    for (std::size_t i = 3; i < 3 + 6 * 72; ++i) {
        EXPECT_EQ(calls[i].y1, 0) << i;
        if (calls[i].kind == Kind::Line) {
            EXPECT_EQ(calls[i].y2, 0) << i;
        }
    }
    // A value above the picture is drawn where it is; the picture clips it.
    At(8, 5) = 600;
    form.CurveRedraw();
    ExpectCircle(Canvas().calls()[3 + 5 * 72 + 4 * 3 + 2], 200, 600, 3, 0xFF00FF);
}

TEST_F(CurvePlot, LiveMarkerRoundsHalvesAwayFromZero) {
    form.PetrolTime = 0.0125;  // 0.5 units
    form.GasTime = 0;
    form.DrawLivePoint();
    EXPECT_EQ(form.LivePointX, 1);
    form.PetrolTime = 13.5;
    form.GasTime = 3.05;  // 61 units
    form.DrawLivePoint();
    EXPECT_EQ(form.LivePointX, 540);
    EXPECT_EQ(form.LivePointY, 61);
}

TEST_F(CurvePlot, Timer3RedrawsEvery25Milliseconds) {
    const auto before = Canvas().clearCount();
    runner.runFor(1000);
    EXPECT_EQ(Canvas().clearCount() - before, 40u);
    // The record holds one picture, not the whole run.
    EXPECT_EQ(Canvas().calls().size(), 445u);
}

}  // namespace
}  // namespace gasecu
