// The curve screen tells the fitter what a point is: the readout under the mouse
// and for a marked point, the band legend, and a gas-time axis that grows when the
// calibration scaled a band past 28 ms, with the mouse still finding the points.
#include <QApplication>
#include <QMouseEvent>
#include <filesystem>
#include <memory>
#include <string>

#include "calibration/calibration_math.h"
#include "curve/curve_file_io.h"
#include "curve/point_readout.h"
#include "window/curve_readout.h"
#include "window/curve_widgets.h"
#include "window/qt_canvas.h"
#include "qt/window_fixture.h"

namespace gasecu {
namespace {

using test::DistinctCurve;
using test::WindowFixture;

// The default file's bands: point p at 30 p, every band on one line.
CurveRows DefaultBands() {
    CurveRows c = DistinctCurve();
    for (int r = 3; r <= 8; ++r)
        for (int p = 1; p <= 18; ++p) c[r][p] = 30.0 * p;
    return c;
}

struct CurveScreen : WindowFixture {
    CurveScreen() {
        window().resize(1024, 768);
        window().show();
        runFor(50);
    }
    QtCanvas& canvas() { return dynamic_cast<QtCanvas&>(*form().EğriPic.canvas); }
    QWidget* plot() { return window().widgetFor("EğriPic"); }
    void setCurve(const CurveRows& table) {
        window().runHandler([&] {
            form().CurveTable = table;
            form().CurveRedraw();
        });
    }
    // The mouse over the dot of one point, as the plot shows it now.
    void hover(int band, int point, QPointF off = {}) {
        const PlotGeometry& g = canvas().geometry();
        const QPointF at = g.toPixel(40.0 * point, form().CurveTable[3 + band][point]) + off;
        QMouseEvent move(QEvent::MouseMove, at, plot()->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(plot(), &move);
    }
    std::string readout() { return window().pointReadout()->text().toStdString(); }
};

TEST(WindowCurveReadout, TheMouseOverAPointReadsItsFigures) {
    struct Case {
        int language;
        int band, point;
        const char* text;
    };
    // DistinctCurve: band b (0..5) at 28 + (b + 1) p.
    const Case cases[] = {
        {1, 2, 7, "BAND : 3000 rpm\nPOINT : 7\nPETROL : 7.00 ms\nGAS : 2.45 ms\nVALUE : 49"},
        {1, 5, 18, "BAND : 6000 rpm\nPOINT : 18\nPETROL : 18.00 ms\nGAS : 6.80 ms\nVALUE : 136"},
        {0, 0, 6, "BANT : 1000 rpm\nNOKTA : 6\nBENZİN : 6.00 ms\nGAZ : 1.70 ms\nDEĞER : 34"},
        {0, 3, 12, "BANT : 4000 rpm\nNOKTA : 12\nBENZİN : 12.00 ms\nGAZ : 3.80 ms\nDEĞER : 76"},
    };
    CurveScreen s;
    s.setCurve(DistinctCurve());
    for (const Case& c : cases) {
        s.window().runHandler([&] {
            s.form().LanguageIndex = c.language;
            s.form().ApplyLanguageIndex();
        });
        s.hover(c.band, c.point, QPointF(2, -1));
        EXPECT_EQ(s.readout(), c.text);
    }
    // The mouse gone: the readout says so instead of keeping a stale point.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(s.plot(), &leave);
    EXPECT_EQ(s.window().pointReadout()->shown(), std::nullopt);
}

TEST(WindowCurveReadout, AMarkedPointIsReadWithoutTheMouse) {
    CurveScreen s;
    s.setCurve(DistinctCurve());
    s.window().runHandler([&] { s.form().devir3000_Click(); });
    s.window().runHandler([&] { s.form().CheckÜ[6].setValue(1); });  // point 7
    const auto shown = s.window().pointReadout()->shown();
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->band, 2);
    EXPECT_EQ(shown->point, 7);
    EXPECT_EQ(shown->value, 49);
}

TEST(WindowCurveReadout, AFittingCurveIsDrawnExactlyAsBefore) {
    CurveScreen s;
    s.setCurve(DefaultBands());
    EXPECT_EQ(s.window().plotTop(), 559);
    EXPECT_EQ(s.canvas().geometry().top, 559);
    // The same calls on a canvas of the plot's size at the 28 ms scale: the same pixels.
    const QImage shown = s.canvas().image().copy();
    auto reference = std::make_shared<QtCanvas>(PlotGeometry{shown.width(), shown.height()});
    std::shared_ptr<Canvas> own = s.form().EğriPic.canvas;
    s.form().EğriPic.canvas = reference;
    s.form().CurveRedraw();
    s.form().EğriPic.canvas = own;
    EXPECT_TRUE(reference->image() == shown);
}

TEST(WindowCurveReadout, AfterACalibrationTheAxisReachesTheHighestBandAndTheMouseStillFindsIt) {
    CurveScreen s;
    s.setCurve(DefaultBands());
    CurveRows scaled = DefaultBands();
    calibration::ScaleBands(scaled, 1.5, 1.0);  // 6000 rpm point 18: 540 x 1.5 x 1.2 = 972
    ASSERT_EQ(scaled[8][18], 972);
    s.setCurve(scaled);
    const double top = s.window().plotTop();
    EXPECT_EQ(top, curve::PlotTopFor(scaled));
    EXPECT_GE(top, 972 + 10);
    EXPECT_EQ(s.canvas().geometry().top, top);
    // Every point of every band on the picture.
    const PlotGeometry& g = s.canvas().geometry();
    for (int r = 3; r <= 8; ++r)
        for (int p = 1; p <= 18; ++p) {
            const QPointF at = g.toPixel(40.0 * p, scaled[r][p]);
            EXPECT_GE(at.y(), 3) << r << "/" << p;
            EXPECT_LT(at.y(), g.heightPx) << r << "/" << p;
        }
    // The mouse maps on the new scale: the top points and a low one are found.
    for (auto [band, point] : {std::pair(5, 18), std::pair(4, 17), std::pair(0, 2)}) {
        s.hover(band, point, QPointF(-2, 2));
        const auto shown = s.window().pointReadout()->shown();
        ASSERT_TRUE(shown) << band << "/" << point;
        EXPECT_EQ(shown->band, band);
        EXPECT_EQ(shown->point, point);
        EXPECT_EQ(shown->value, scaled[3 + band][point]);
    }
    // Pictures for a person to look at, beside the layout test's.
    const std::filesystem::path out = std::filesystem::path(GASECU_BIN).parent_path();
    for (QSize size : {QSize(1024, 768), QSize(1920, 1080)})
        for (int language : {0, 1}) {
            s.window().resize(size);
            s.window().runHandler([&] {
                s.form().LanguageIndex = language;
                s.form().ApplyLanguageIndex();
            });
            QCoreApplication::processEvents();
            s.hover(5, 18, QPointF(-2, 2));
            const std::string name = "curve-calibrated-" + std::to_string(size.width()) + (language ? "-en" : "-tr");
            s.window().grab().save(QString::fromStdString(curve::Utf8FromPath(out / (name + ".png"))));
        }
    // Back to a fitting curve: back to 28 ms.
    s.setCurve(DefaultBands());
    EXPECT_EQ(s.window().plotTop(), 559);
    EXPECT_EQ(s.canvas().geometry().top, 559);
}

TEST(WindowCurveReadout, TheLegendAndReadoutSitBesideThePlot) {
    CurveScreen s;
    QWidget* legend = s.window().bandLegend();
    QWidget* readout = s.window().pointReadout();
    ASSERT_TRUE(legend && readout);
    EXPECT_TRUE(legend->isVisible());
    EXPECT_TRUE(readout->isVisible());
    const QRect plot(s.plot()->mapTo(&s.window(), QPoint(0, 0)), s.plot()->size());
    for (QWidget* w : {legend, readout}) {
        const QRect r(w->mapTo(&s.window(), QPoint(0, 0)), w->size());
        EXPECT_FALSE(r.intersects(plot));
        EXPECT_TRUE(s.window().rect().contains(r)) << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
    }
}

}  // namespace
}  // namespace gasecu
