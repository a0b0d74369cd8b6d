#pragma once
// The curve plot painted with QPainter into an image of the plot's pixel size, in
// the plot's user coordinates (left 1, top 559, right 719, bottom 1: y grows
// upward). clear() puts the background back: the grid of the curve paper. The
// window shows image() after each handler.
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QPointF>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/canvas.h"

namespace gasecu {

// System colours (0x800000nn) name a role of the desktop's scheme, not a colour.
constexpr bool IsSystemColour(Colour colour) { return (colour & 0x80000000u) != 0; }
// A colour value 0x00BBGGRR as a QColor. System colours follow the standard
// scheme: window text black, button face light grey, window white.
QColor ToQColor(Colour colour);

// The plot's user coordinate system and its size in pixels.
struct PlotGeometry {
    int widthPx = 830;
    int heightPx = 474;
    double left = 1, top = 559, right = 719, bottom = 1;

    QPointF toPixel(double x, double y) const {
        return {(x - left) * widthPx / (right - left), (y - top) * heightPx / (bottom - top)};
    }
    // Pixels per user unit along x (circle radii are measured along x).
    double pixelsPerUnitX() const { return widthPx / (right - left); }
};

// The plot's ground under its grid lines, and the curve paper around the plot.
inline const QColor kPlotGroundColour(73, 95, 95);
inline const QColor kCurvePaperColour(151, 175, 160);

// The plot's background: 18 columns of 1 ms petrol time (40 units) and 28 rows of
// 1 ms gas time (20 units), light lines on dark green-grey.
QImage PlotBackground(const PlotGeometry& geometry = {});

// What clear() puts back, drawn for a given size: the curve paper's grid, or a
// plain ground.
using CanvasBackground = std::function<QImage(const PlotGeometry&)>;

class QtCanvas : public Canvas {
public:
    explicit QtCanvas(const PlotGeometry& geometry = {}, CanvasBackground background = PlotBackground);
    ~QtCanvas() override;

    void clear() override;
    // Gives the picture a new pixel size (the plot follows the window's size): the
    // grid is drawn anew and the curves wait for the next redraw.
    void resize(QSize pixels);
    void setLineWidth(int width) override;
    void setLineStyle(LineStyle style) override;
    void line(double x1, double y1, double x2, double y2, Colour colour) override;
    void circle(double cx, double cy, double radius, Colour colour) override;
    void text(double x, double y, std::string_view text, Colour colour, TextAlign align) override;

    // The picture as drawn so far (finishes any painting in progress).
    const QImage& image();
    const PlotGeometry& geometry() const { return geometry_; }
    // Bumped by every call, so the window repaints only when something changed.
    std::uint64_t changeCount() const { return changes_; }

private:
    QPainter& painter();
    void usePen(Colour colour);

    PlotGeometry geometry_;
    CanvasBackground drawBackground_;
    QImage background_;
    QImage image_;
    std::unique_ptr<QPainter> painter_;
    int lineWidth_ = 1;
    bool penSet_ = false;
    Colour penColour_ = 0;
    int penWidth_ = 0;
    LineStyle lineStyle_ = LineStyle::Solid;
    LineStyle penStyle_ = LineStyle::Solid;
    std::uint64_t changes_ = 0;
};

// The white axis labels around a plot whose top-left corner lies at plotAt on the
// paper: petrol time 0..18 ms in a strip under the plot and gas time 0..28 ms left
// of it, each under or beside its grid line. Where the lines lie too close for
// every number, every second one is written. Needs a QGuiApplication (text).
void DrawPlotAxisLabels(QPainter& painter, const PlotGeometry& geometry, QPoint plotAt, int stripHeight);
// Room the labels need: left of the plot, and under it.
inline constexpr int kAxisLabelsLeft = 44;
inline constexpr int kAxisLabelsBelow = 20;

// A piece of curve paper of the given size, RGB(151, 175, 160), with the axis
// labels of a plot at plotAt.
QImage CurvePaperImage(const PlotGeometry& geometry, QSize paper, QPoint plotAt);

}  // namespace gasecu
