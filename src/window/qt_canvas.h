#pragma once
// The curve plot painted with QPainter into an image of the plot's pixel size, in
// the plot's user coordinates (left 1, top 559, right 719, bottom 1: y grows
// upward). clear() puts the background back: the grid of the curve paper. The
// window shows image() after each handler.
//
// The form redraws the plot from scratch 40 times a second whether or not anything
// moved. The canvas keeps the calls of the picture since the last clear() and
// paints only when they differ from what the image already shows, so an idle plot
// costs a comparison, not some 445 painted shapes.
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QPointF>
#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

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
    // Back from a pixel of the picture to user coordinates.
    QPointF toUser(QPointF pixel) const {
        return {left + pixel.x() * (right - left) / widthPx, top + pixel.y() * (bottom - top) / heightPx};
    }
    // Whole milliseconds of gas time (20 units) up to the top: 28 on the usual
    // plot, more when a band's points reach higher.
    int gasRows() const { return static_cast<int>(std::lround((top + 1) / 20)); }
};

// The plot's ground under its grid lines, and the curve paper around the plot.
inline const QColor kPlotGroundColour(73, 95, 95);
inline const QColor kCurvePaperColour(151, 175, 160);

// The plot's background: 18 columns of 1 ms petrol time (40 units) and a row of
// 1 ms gas time (20 units) for each millisecond up to the top (28 on the usual
// plot), light lines on dark green-grey.
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
    // Moves the top of the user coordinates (the gas-time axis grows when a band
    // reaches past 28 ms): grid and picture are painted anew at the new scale.
    void setTop(double top);
    void setLineWidth(int width) override;
    void setLineStyle(LineStyle style) override;
    void line(double x1, double y1, double x2, double y2, Colour colour) override;
    void circle(double cx, double cy, double radius, Colour colour) override;
    void text(double x, double y, std::string_view text, Colour colour, TextAlign align) override;

    // The picture as drawn so far (paints what changed since the last look).
    const QImage& image();
    const PlotGeometry& geometry() const { return geometry_; }
    // Bumped whenever the picture's pixels changed, so the window repaints only
    // then; a redraw of the same picture leaves it as it was.
    std::uint64_t changeCount();

private:
    // One drawing call as the form made it; a picture is the list since clear().
    struct Call {
        enum class Kind : std::uint8_t { Line, Circle, Text, Width, Style };
        Kind kind = Kind::Line;
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // a circle: centre x1, y1 and radius x2
        Colour colour = 0;
        int value = 0;  // line width, line style or text alignment
        std::string text;
        bool operator==(const Call&) const = default;
    };
    // Brings the image up to the picture: nothing when it already shows it, the
    // new calls when the picture only grew, else the background and every call.
    void settle();
    void startPicture();
    void paint(std::size_t from);
    void paintCircle(const Call& c);
    QPainter& painter();
    void endPainting();
    void usePen(Colour colour);
    // The pixels of a ring at a quarter-pixel position, found once by painting it
    // into a small image: a redraw has 324 of them, and copying a few pixels costs
    // far less than rasterising an ellipse.
    using RingKey = std::tuple<Colour, int, long, int, int>;  // colour, width, radius, position
    const std::vector<QPoint>& ringPixels(const RingKey& key, double radius);

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
    std::vector<Call> picture_;  // what the form drew since clear()
    std::vector<Call> painted_;  // what image_ shows on its background
    std::map<RingKey, std::vector<QPoint>> rings_;
};

// The white axis labels around a plot whose top-left corner lies at plotAt on the
// paper: petrol time 0..18 ms in a strip under the plot and gas time from 0 ms to
// the plot's top left of it, each under or beside its grid line. Where the lines lie too close for
// every number, every second one is written. Needs a QGuiApplication (text).
void DrawPlotAxisLabels(QPainter& painter, const PlotGeometry& geometry, QPoint plotAt, int stripHeight);
// Room the labels need: left of the plot, and under it.
inline constexpr int kAxisLabelsLeft = 44;
inline constexpr int kAxisLabelsBelow = 20;

// A piece of curve paper of the given size, RGB(151, 175, 160), with the axis
// labels of a plot at plotAt.
QImage CurvePaperImage(const PlotGeometry& geometry, QSize paper, QPoint plotAt);

}  // namespace gasecu
