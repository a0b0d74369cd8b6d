// The figures a fitter reads for a point of the curve, and how high the plot's
// gas-time axis reaches, on the curves the tool meets: the shipped default, a
// distinct test curve and a curve after the calibration scaled it.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "calibration/calibration_math.h"
#include "curve/curve_bands.h"
#include "curve/point_readout.h"

namespace gasecu::curve {
namespace {

// The default curve's bands: point p at 30 p (p ms of petrol, 1.5 p ms of gas).
CurveRows DefaultLikeCurve() {
    CurveRows c{};
    c[1][1] = 4;
    c[1][2] = 25;
    for (int p = 1; p <= 18; ++p) {
        c[2][p] = 30.0 * p;
        for (int r = kFirstBandRow; r <= kLastBandRow; ++r) c[r][p] = 30.0 * p;
    }
    return c;
}

// Band b rises by b + 1 a point from 28, so every band and point differs.
CurveRows DistinctBands() {
    CurveRows c = DefaultLikeCurve();
    for (int b = 0; b < kBandCount; ++b)
        for (int p = 1; p <= 18; ++p) c[kFirstBandRow + b][p] = 28 + (b + 1) * p;
    return c;
}

TEST(PointReadout, ChosenPointsReadBandTimesAndValue) {
    struct Case {
        int band, point;
        double petrolMs, gasMs, value;
    };
    const Case cases[] = {
        {0, 1, 1, 1.45, 29},      // 1000 rpm, first point
        {2, 7, 7, 2.45, 49},      // 3000 rpm
        {5, 18, 18, 6.80, 136},   // 6000 rpm, last point
        {3, 10, 10, 3.40, 68},
    };
    const CurveRows table = DistinctBands();
    for (const Case& c : cases) {
        const PointReadout r = ReadoutOf(table, c.band, c.point);
        EXPECT_EQ(r.band, c.band);
        EXPECT_EQ(r.point, c.point);
        EXPECT_DOUBLE_EQ(r.petrolMs, c.petrolMs) << c.band << "/" << c.point;
        EXPECT_DOUBLE_EQ(r.gasMs, c.gasMs) << c.band << "/" << c.point;
        EXPECT_DOUBLE_EQ(r.value, c.value) << c.band << "/" << c.point;
    }
}

TEST(PointReadout, TheTextNamesEveryFigureInEitherLanguage) {
    const PointReadout r = ReadoutOf(DistinctBands(), 2, 7);
    EXPECT_EQ(ReadoutText(r, false, ','), "BANT : 3000 rpm\nNOKTA : 7\nBENZİN : 7,00 ms\nGAZ : 2,45 ms\nDEĞER : 49");
    EXPECT_EQ(ReadoutText(r, true, '.'), "BAND : 3000 rpm\nPOINT : 7\nPETROL : 7.00 ms\nGAS : 2.45 ms\nVALUE : 49");
}

TEST(PointReadout, TheMouseFindsThePointDrawnNearest) {
    struct Case {
        double x, y;
        std::optional<std::pair<int, int>> found;  // band, point
    };
    const CurveRows table = DistinctBands();
    const Case cases[] = {
        {280, 49, std::pair(2, 7)},        // on 3000 rpm point 7
        {283, 51, std::pair(2, 7)},        // a little off it
        {280, 56, std::pair(3, 7)},        // on 4000 rpm point 7 (28 + 4 x 7)
        {720, 136, std::pair(5, 18)},      // 6000 rpm, last point
        {300, 49, std::nullopt},           // between two columns
        {280, 150, std::nullopt},          // far above every band
        {40, 29.3, std::pair(0, 1)},       // 1000 rpm 29, 2000 rpm 30: the nearer
    };
    for (const Case& c : cases) {
        const auto r = PointNear(table, c.x, c.y, 6, 3);
        ASSERT_EQ(r.has_value(), c.found.has_value()) << c.x << "," << c.y;
        if (!r) continue;
        EXPECT_EQ(std::pair(r->band, r->point), *c.found) << c.x << "," << c.y;
    }
    // Where bands share a value, the one drawn on top (the faster) is read.
    const auto shared = PointNear(DefaultLikeCurve(), 280, 210, 6, 3);
    ASSERT_TRUE(shared);
    EXPECT_EQ(shared->band, 5);
}

TEST(PointReadout, AMarkedPointIsReadInTheSlowestSelectedBand) {
    const CurveRows table = DistinctBands();
    std::array<std::uint8_t, 6> bands{};
    std::array<bool, 18> marked{};
    EXPECT_FALSE(MarkedPoint(table, bands, marked));  // nothing selected
    bands[3] = bands[4] = kSelected;
    EXPECT_FALSE(MarkedPoint(table, bands, marked));  // no point marked
    marked[8] = marked[12] = true;                    // points 9 and 13
    const auto r = MarkedPoint(table, bands, marked);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->band, 3);
    EXPECT_EQ(r->point, 9);
    EXPECT_DOUBLE_EQ(r->value, 28 + 4 * 9);
}

TEST(PlotRange, AFittingCurveKeepsThe28MsAxis) {
    EXPECT_EQ(PlotTopFor(DefaultLikeCurve()), kPlotTop);
    EXPECT_EQ(PlotTopFor(DistinctBands()), kPlotTop);
    CurveRows atTheTop = DefaultLikeCurve();
    atTheTop[kLastBandRow][18] = kPlotTop;  // on the edge still fits
    EXPECT_EQ(PlotTopFor(atTheTop), kPlotTop);
}

TEST(PlotRange, ACalibrationThatScalesABandPastTheTopRaisesIt) {
    struct Case {
        double startRatio, nowRatio;
    };
    // Slope factors of 1.1, 1.5 and 2.5 on the default curve: 6000 rpm gets 1.2 x more.
    const Case cases[] = {{1.1, 1.0}, {1.5, 1.0}, {2.5, 1.0}};
    for (const Case& c : cases) {
        CurveRows table = DefaultLikeCurve();
        calibration::ScaleBands(table, c.startRatio, c.nowRatio);
        double highest = 0;
        for (int r = kFirstBandRow; r <= kLastBandRow; ++r)
            for (int p = 1; p <= 18; ++p) highest = std::max(highest, table[r][p]);
        ASSERT_GT(highest, kPlotTop) << c.startRatio;
        const double top = PlotTopFor(table);
        // Every point on the plot with half a millisecond above the highest, in
        // whole milliseconds of gas time as the grid runs.
        EXPECT_GE(top, highest + 10) << c.startRatio;
        EXPECT_LT(top, highest + 10 + 20) << c.startRatio;
        EXPECT_EQ(static_cast<int>(top + 1) % 20, 0) << top;
    }
}

}  // namespace
}  // namespace gasecu::curve
