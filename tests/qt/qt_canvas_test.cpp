// The painter canvas of the curve plot: colours, the mapping of plot units onto
// pixels, and clear() restoring the grid. Raster painting needs no application.
#include <gtest/gtest.h>

#include "app/controls.h"
#include "window/qt_canvas.h"
#include "window/qt_file_dialogs.h"
#include "qt_test_app.h"

namespace gasecu {
namespace {

const QColor kGridBackground(73, 95, 95);
const QColor kGridLine(228, 231, 231);

TEST(QtCanvas, ColourValuesAreBlueGreenRed) {
    EXPECT_EQ(ToQColor(4095), QColor(255, 15, 0));
    EXPECT_EQ(ToQColor(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(ToQColor(33023), QColor(255, 128, 0));
    EXPECT_EQ(ToQColor(colours::kWindowText), QColor(0, 0, 0));
    EXPECT_EQ(ToQColor(colours::kButtonFace), QColor(240, 240, 240));
}

TEST(QtCanvas, PlotUnitsMapOntoThePictureWithYUpward) {
    PlotGeometry g;
    EXPECT_NEAR(g.toPixel(1, 559).x(), 0, 1e-9);
    EXPECT_NEAR(g.toPixel(1, 559).y(), 0, 1e-9);
    EXPECT_NEAR(g.toPixel(719, 1).x(), 830, 1e-9);
    EXPECT_NEAR(g.toPixel(719, 1).y(), 474, 1e-9);
    EXPECT_GT(g.toPixel(360, 100).y(), g.toPixel(360, 200).y());
}

// At its first size and after the window gave the plot another one: the picture
// follows the plot's pixels and the plot units still land on the grid.
TEST(QtCanvas, DrawsInPlaceAndClearBringsTheGridBack) {
    for (QSize size : {QSize(830, 474), QSize(415, 260), QSize(1190, 640)}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        QtCanvas canvas;
        canvas.resize(size);
        canvas.clear();
        const QImage& fresh = canvas.image();
        ASSERT_EQ(fresh.size(), size);
        // 9 ms of petrol time is a grid line; 8.5 ms lies between two.
        const int x9 = static_cast<int>(std::lround(canvas.geometry().toPixel(360, 0).x()));
        const int x85 = static_cast<int>(std::lround(canvas.geometry().toPixel(340, 0).x()));
        const int yMid = static_cast<int>(std::lround(canvas.geometry().toPixel(0, 250).y()));
        EXPECT_EQ(fresh.pixelColor(x9, yMid + 3), kGridLine);
        EXPECT_EQ(fresh.pixelColor(x85, yMid + 3), kGridBackground);

        canvas.setLineWidth(1);
        canvas.line(100, 250, 600, 250, 0xFF00FF);  // magenta across the middle
        canvas.circle(340, 400, 3, 0);
        const QImage& drawn = canvas.image();
        bool magenta = false;
        for (int dy = -1; dy <= 1; ++dy) magenta |= drawn.pixelColor(x85, yMid + dy) == QColor(255, 0, 255);
        EXPECT_TRUE(magenta);
        const QPointF centre = canvas.geometry().toPixel(340, 400);
        bool ring = false;
        for (int dx = 1; dx <= 5; ++dx)
            ring |= drawn.pixelColor(static_cast<int>(std::lround(centre.x())) + dx, static_cast<int>(std::lround(centre.y()))) ==
                    QColor(0, 0, 0);
        EXPECT_TRUE(ring);

        canvas.clear();
        EXPECT_EQ(canvas.image(), PlotBackground(canvas.geometry()));
    }
}

TEST(QtCanvas, CurvePaperCarriesWhiteLabelsUnderTheGridLines) {
    test::EnsureQtApp();  // text needs fonts
    const QPoint kPlotOnPaper(131, 56);
    const QImage paper = CurvePaperImage(PlotGeometry{}, QSize(1024, 548), kPlotOnPaper);
    EXPECT_EQ(paper.pixelColor(5, 5), QColor(151, 175, 160));
    PlotGeometry g;
    if (qEnvironmentVariableIsSet("GASECU_SAVE_PAPER")) paper.save(qEnvironmentVariable("GASECU_SAVE_PAPER"));
    // Some white in the label strip under the 9 ms line, none halfway to the next.
    auto whiteIn = [&](int x0, int x1, int y0, int y1) {
        int n = 0;
        for (int x = x0; x <= x1; ++x)
            for (int y = y0; y <= y1; ++y) {
                const QColor c = paper.pixelColor(x, y);  // text is smoothed: nearly white
                n += c.red() > 220 && c.green() > 220 && c.blue() > 220;
            }
        return n;
    };
    const int x9 = kPlotOnPaper.x() + static_cast<int>(g.toPixel(360, 0).x());
    const int x95 = kPlotOnPaper.x() + static_cast<int>(g.toPixel(380, 0).x());
    const int strip = kPlotOnPaper.y() + g.heightPx;
    EXPECT_GT(whiteIn(x9 - 6, x9 + 6, strip, 547), 0);
    EXPECT_EQ(whiteIn(x95 - 6, x95 + 6, strip, 547), 0);
    // And beside the 28 ms line at the top of the plot, left of it.
    const int y28 = kPlotOnPaper.y() + static_cast<int>(g.toPixel(0, 560).y());
    EXPECT_GT(whiteIn(kPlotOnPaper.x() - 40, kPlotOnPaper.x() - 1, y28 - 6, y28 + 6), 0);
}

TEST(QtFileDialogs, FilterTextKeepsItsWordsAndFiltersByItsPattern) {
    EXPECT_EQ(QtNameFilter("curves (*.txt) Example: Cur_xx.txt"),
              QString("curves (*.txt) Example: Cur_xx.txt (*.txt)"));
    EXPECT_EQ(QtNameFilter("Text (*.txt)"), QString("Text (*.txt)"));
}

}  // namespace
}  // namespace gasecu
