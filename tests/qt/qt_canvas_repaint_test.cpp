// The painter canvas paints only when the picture changed: the form redraws the
// plot 40 times a second, and an idle plot must not cost a repaint each time. What
// it shows must still be exactly the picture last drawn, dots where they belong.
#include <gtest/gtest.h>

#include <QPainter>
#include <QPen>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <vector>

#include "window/qt_canvas.h"

namespace gasecu {
namespace {

const QColor kMagenta(255, 0, 255);

// A small curve picture: a line, three dots and a marker line whose place moves.
void DrawPicture(Canvas& c, double markerX) {
    c.clear();
    c.setLineWidth(1);
    c.line(40, 30, 80, 60, 0xFF00FF);
    for (double r : {1.0, 2.0, 3.0}) c.circle(200, 300, r, 0x00FF00);
    c.line(markerX, 10, markerX, 500, 0x00FFFF);
}

QImage Painted(const std::function<void(Canvas&)>& draw) {
    QtCanvas fresh;
    draw(fresh);
    return fresh.image();
}

TEST(QtCanvasRepaint, TheSamePictureAgainPaintsNothingAndAChangeShowsWhole) {
    QtCanvas canvas;
    DrawPicture(canvas, 360);
    const std::uint64_t shown = canvas.changeCount();
    const QImage first = canvas.image();

    // Idle: the same calls again leave the picture and its version alone.
    for (int redraw = 0; redraw < 3; ++redraw) {
        DrawPicture(canvas, 360);
        EXPECT_EQ(canvas.changeCount(), shown);
        EXPECT_EQ(canvas.image(), first);
    }

    // A live sample moved the marker: a new version, and no trace of the old marker.
    DrawPicture(canvas, 400);
    EXPECT_GT(canvas.changeCount(), shown);
    EXPECT_EQ(canvas.image(), Painted([](Canvas& c) { DrawPicture(c, 400); }));
    EXPECT_NE(canvas.image(), first);

    // Drawn on without a clear (the window's redraw after a resize does so): the
    // new calls land on top of what is there.
    canvas.line(1, 1, 700, 500, 0xFF0000);
    EXPECT_EQ(canvas.image(), Painted([](Canvas& c) {
                  DrawPicture(c, 400);
                  c.line(1, 1, 700, 500, 0xFF0000);
              }));

    // A dashed line style set in one picture carries over to the next, as the pen did.
    canvas.clear();
    canvas.setLineStyle(LineStyle::Dashed);
    canvas.clear();
    canvas.line(40, 100, 700, 100, 0xFF00FF);
    EXPECT_EQ(canvas.image(), Painted([](Canvas& c) {
                  c.setLineStyle(LineStyle::Dashed);
                  c.clear();
                  c.line(40, 100, 700, 100, 0xFF00FF);
              }));
}

// Every dot of the plot is three rings; each ring is found once and then copied.
// Whatever the size of the plot, a ring looks as the painter would draw it in
// place: every pixel of it within a pixel of the painter's own, and the other
// way round, clipped at the picture's edge.
std::vector<QPoint> MagentaPixels(const QImage& image) {
    std::vector<QPoint> pixels;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == kMagenta) pixels.emplace_back(x, y);
    return pixels;
}

bool EachNear(const std::vector<QPoint>& from, const std::vector<QPoint>& to) {
    for (const QPoint& a : from) {
        bool near = false;
        for (const QPoint& b : to) near |= std::abs(a.x() - b.x()) <= 1 && std::abs(a.y() - b.y()) <= 1;
        if (!near) return false;
    }
    return true;
}

TEST(QtCanvasRepaint, RingsLookAsThePainterDrawsThemAtEverySize) {
    struct Ring {
        double x, y, radius;
    };
    const Ring rings[] = {{40, 30, 1}, {40, 30, 3}, {360, 250, 2}, {719, 559, 3}, {1, 1, 3}, {533.3, 123.7, 3}};
    for (QSize size : {QSize(830, 474), QSize(415, 260), QSize(1190, 640), QSize(16, 16)}) {
        for (const Ring& ring : rings) {
            SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height() << " at " << ring.x << ","
                                            << ring.y << " r " << ring.radius);
            QtCanvas canvas;
            canvas.resize(size);
            canvas.clear();
            canvas.circle(ring.x, ring.y, ring.radius, 0xFF00FF);
            const std::vector<QPoint> drawn = MagentaPixels(canvas.image());

            QImage reference = PlotBackground(canvas.geometry());
            {
                QPainter p(&reference);
                QPen pen(kMagenta, 1);
                pen.setCosmetic(true);
                p.setPen(pen);
                const double r = ring.radius * canvas.geometry().pixelsPerUnitX();
                p.drawEllipse(canvas.geometry().toPixel(ring.x, ring.y), r, r);
            }
            const std::vector<QPoint> painted = MagentaPixels(reference);
            EXPECT_EQ(drawn.empty(), painted.empty());
            EXPECT_TRUE(EachNear(drawn, painted));
            EXPECT_TRUE(EachNear(painted, drawn));
        }
    }
}

}  // namespace
}  // namespace gasecu
