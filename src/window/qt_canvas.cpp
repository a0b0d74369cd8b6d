#include "window/qt_canvas.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPen>
#include <QRectF>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace gasecu {

namespace {

constexpr int kColumns = 18;  // 1 ms of petrol time each, 40 units
constexpr int kRows = 28;     // 1 ms of gas time each, 20 units
constexpr int kTextPixels = 12;

// Grid lines that fall just outside the picture (the plot's edges lie 1 unit inside
// the 0 ms lines) are kept on its border, so the grid has a frame.
int ClampedPixel(double v, int size) { return std::clamp(static_cast<int>(std::lround(v)), 0, size - 1); }

}  // namespace

QColor ToQColor(Colour colour) {
    if (IsSystemColour(colour)) {
        switch (colour & 0xFFu) {
        case 0x0F: return QColor(240, 240, 240);  // button face
        case 0x05: return QColor(255, 255, 255);  // window background
        default: return QColor(0, 0, 0);          // window text and the rest
        }
    }
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

QImage PlotBackground(const PlotGeometry& g) {
    QImage image(g.widthPx, g.heightPx, QImage::Format_RGB32);
    image.fill(kPlotGroundColour);
    QPainter p(&image);
    p.setPen(QPen(QColor(228, 231, 231), 0));
    for (int i = 0; i <= kColumns; ++i) {
        const int x = ClampedPixel(g.toPixel(40.0 * i, 0).x(), g.widthPx);
        p.drawLine(x, 0, x, g.heightPx - 1);
    }
    for (int j = 0; j <= kRows; ++j) {
        const int y = ClampedPixel(g.toPixel(0, 20.0 * j).y(), g.heightPx);
        p.drawLine(0, y, g.widthPx - 1, y);
    }
    return image;
}

QtCanvas::QtCanvas(const PlotGeometry& geometry, CanvasBackground background)
    : geometry_(geometry), drawBackground_(std::move(background)), background_(drawBackground_(geometry)),
      image_(background_.copy()) {}

QtCanvas::~QtCanvas() {
    if (painter_ && painter_->isActive()) painter_->end();
}

QPainter& QtCanvas::painter() {
    if (!painter_) painter_ = std::make_unique<QPainter>();
    if (!painter_->isActive()) {
        painter_->begin(&image_);
        penSet_ = false;  // a new painting starts with the default pen
        painter_->setRenderHint(QPainter::Antialiasing, false);
        painter_->setBrush(Qt::NoBrush);
    }
    return *painter_;
}

void QtCanvas::usePen(Colour colour) {
    QPainter& p = painter();
    // A redraw changes colour only seven times in some 440 calls; keep the pen.
    if (penSet_ && penColour_ == colour && penWidth_ == lineWidth_ && penStyle_ == lineStyle_) return;
    QPen pen(ToQColor(colour), lineWidth_);
    if (lineStyle_ == LineStyle::Dashed) pen.setStyle(Qt::DashLine);
    pen.setCosmetic(true);  // the width is in pixels whatever the coordinate scale
    p.setPen(pen);
    penSet_ = true;
    penColour_ = colour;
    penWidth_ = lineWidth_;
    penStyle_ = lineStyle_;
}

void QtCanvas::clear() {
    if (painter_ && painter_->isActive()) painter_->end();
    // Same size and format: copy the pixels back instead of building a new image.
    std::memcpy(image_.bits(), background_.constBits(), static_cast<std::size_t>(background_.sizeInBytes()));
    ++changes_;
}

void QtCanvas::setLineWidth(int width) {
    lineWidth_ = std::max(width, 1);
    ++changes_;
}

void QtCanvas::setLineStyle(LineStyle style) {
    lineStyle_ = style;
    ++changes_;
}

void QtCanvas::line(double x1, double y1, double x2, double y2, Colour colour) {
    usePen(colour);
    painter().drawLine(geometry_.toPixel(x1, y1), geometry_.toPixel(x2, y2));
    ++changes_;
}

void QtCanvas::circle(double cx, double cy, double radius, Colour colour) {
    const LineStyle style = std::exchange(lineStyle_, LineStyle::Solid);  // dots stay whole
    usePen(colour);
    lineStyle_ = style;
    const double r = std::abs(radius * geometry_.pixelsPerUnitX());
    painter().drawEllipse(geometry_.toPixel(cx, cy), r, r);
    ++changes_;
}

void QtCanvas::text(double x, double y, std::string_view text, Colour colour, TextAlign align) {
    usePen(colour);
    QPainter& p = painter();
    QFont font = p.font();
    if (font.pixelSize() != kTextPixels) {
        font.setPixelSize(kTextPixels);
        p.setFont(font);
    }
    const QString caption = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const QPointF at = geometry_.toPixel(x, y);
    const qreal width = QFontMetricsF(p.font()).horizontalAdvance(caption) + 2;
    const qreal left = align == TextAlign::Left ? at.x() : align == TextAlign::Centre ? at.x() - width / 2 : at.x() - width;
    p.drawText(QRectF(left, at.y() - kTextPixels, width, 2 * kTextPixels), Qt::AlignLeft | Qt::AlignVCenter, caption);
    ++changes_;
}

void QtCanvas::resize(QSize pixels) {
    pixels = pixels.expandedTo(QSize(16, 16));
    if (pixels == QSize(geometry_.widthPx, geometry_.heightPx)) return;
    if (painter_ && painter_->isActive()) painter_->end();
    geometry_.widthPx = pixels.width();
    geometry_.heightPx = pixels.height();
    background_ = drawBackground_(geometry_);
    image_ = background_.copy();
    penSet_ = false;
    ++changes_;
}

const QImage& QtCanvas::image() {
    if (painter_ && painter_->isActive()) painter_->end();
    return image_;
}

void DrawPlotAxisLabels(QPainter& p, const PlotGeometry& g, QPoint plotAt, int stripHeight) {
    p.save();
    p.setPen(Qt::white);
    QFont font = p.font();
    font.setPixelSize(11);
    p.setFont(font);
    // Every second number where the lines lie closer than a number is wide or high.
    const int columnStep = g.toPixel(41, 0).x() - g.toPixel(1, 0).x() < 16 ? 2 : 1;
    const int rowStep = g.toPixel(0, 1).y() - g.toPixel(0, 21).y() < 13 ? 2 : 1;

    // Petrol time, ms: under each vertical grid line, in the strip below the plot.
    const int plotBottom = plotAt.y() + g.heightPx;
    for (int i = 0; i <= kColumns; i += columnStep) {
        const double x = plotAt.x() + g.toPixel(40.0 * i, 0).x();
        p.drawText(QRectF(x - 15, plotBottom, 30, stripHeight), Qt::AlignCenter, QString::number(i));
    }
    // Gas time, ms: left of each horizontal grid line.
    for (int j = 0; j <= kRows; j += rowStep) {
        const double y = plotAt.y() + g.toPixel(0, 20.0 * j).y();
        p.drawText(QRectF(plotAt.x() - 40, y - 8, 34, 16), Qt::AlignRight | Qt::AlignVCenter, QString::number(j));
    }
    p.restore();
}

QImage CurvePaperImage(const PlotGeometry& g, QSize paper, QPoint plotAt) {
    QImage image(paper, QImage::Format_RGB32);
    image.fill(kCurvePaperColour);
    QPainter p(&image);
    DrawPlotAxisLabels(p, g, plotAt, paper.height() - plotAt.y() - g.heightPx);
    return image;
}

}  // namespace gasecu
