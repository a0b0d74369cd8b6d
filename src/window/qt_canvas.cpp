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
    for (int j = 0; j <= g.gasRows(); ++j) {
        const int y = ClampedPixel(g.toPixel(0, 20.0 * j).y(), g.heightPx);
        p.drawLine(0, y, g.widthPx - 1, y);
    }
    return image;
}

QtCanvas::QtCanvas(const PlotGeometry& geometry, CanvasBackground background)
    : geometry_(geometry), drawBackground_(std::move(background)), background_(drawBackground_(geometry)),
      image_(background_.copy()) {
    startPicture();
    painted_ = picture_;
}

QtCanvas::~QtCanvas() { endPainting(); }

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

void QtCanvas::endPainting() {
    if (painter_ && painter_->isActive()) painter_->end();
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

// A picture starts with the pen the last one left, so that it can be painted
// again from its own calls alone.
void QtCanvas::startPicture() {
    picture_.clear();
    picture_.push_back(Call{Call::Kind::Width, 0, 0, 0, 0, 0, lineWidth_, {}});
    picture_.push_back(Call{Call::Kind::Style, 0, 0, 0, 0, 0, static_cast<int>(lineStyle_), {}});
}

void QtCanvas::clear() { startPicture(); }

void QtCanvas::setLineWidth(int width) {
    lineWidth_ = std::max(width, 1);
    picture_.push_back(Call{Call::Kind::Width, 0, 0, 0, 0, 0, lineWidth_, {}});
}

void QtCanvas::setLineStyle(LineStyle style) {
    lineStyle_ = style;
    picture_.push_back(Call{Call::Kind::Style, 0, 0, 0, 0, 0, static_cast<int>(style), {}});
}

void QtCanvas::line(double x1, double y1, double x2, double y2, Colour colour) {
    picture_.push_back(Call{Call::Kind::Line, x1, y1, x2, y2, colour, 0, {}});
}

void QtCanvas::circle(double cx, double cy, double radius, Colour colour) {
    picture_.push_back(Call{Call::Kind::Circle, cx, cy, radius, 0, colour, 0, {}});
}

void QtCanvas::text(double x, double y, std::string_view text, Colour colour, TextAlign align) {
    picture_.push_back(Call{Call::Kind::Text, x, y, 0, 0, colour, static_cast<int>(align), std::string(text)});
}

void QtCanvas::settle() {
    if (picture_ == painted_) return;
    std::size_t from = 0;
    if (picture_.size() > painted_.size() && std::equal(painted_.begin(), painted_.end(), picture_.begin())) {
        from = painted_.size();  // only drawn on: paint the new calls over the old
    } else {
        endPainting();
        // Same size and format: copy the pixels back instead of building a new image.
        std::memcpy(image_.bits(), background_.constBits(), static_cast<std::size_t>(background_.sizeInBytes()));
    }
    paint(from);
    endPainting();
    painted_ = picture_;
    ++changes_;
}

void QtCanvas::paint(std::size_t from) {
    // The pen state of the calls before `from` (the image already shows them).
    for (std::size_t i = 0; i < from; ++i) {
        if (picture_[i].kind == Call::Kind::Width) lineWidth_ = picture_[i].value;
        if (picture_[i].kind == Call::Kind::Style) lineStyle_ = static_cast<LineStyle>(picture_[i].value);
    }
    std::vector<QLineF> lines;
    Colour linesColour = 0;
    // Lines of one colour in a row go to the painter together.
    auto flushLines = [&] {
        if (lines.empty()) return;
        usePen(linesColour);
        painter().drawLines(lines.data(), static_cast<int>(lines.size()));
        lines.clear();
    };
    for (std::size_t i = from; i < picture_.size(); ++i) {
        const Call& c = picture_[i];
        if (c.kind != Call::Kind::Line || c.colour != linesColour) flushLines();
        switch (c.kind) {
        case Call::Kind::Width: lineWidth_ = c.value; break;
        case Call::Kind::Style: lineStyle_ = static_cast<LineStyle>(c.value); break;
        case Call::Kind::Line:
            linesColour = c.colour;
            lines.emplace_back(geometry_.toPixel(c.x1, c.y1), geometry_.toPixel(c.x2, c.y2));
            break;
        case Call::Kind::Circle: paintCircle(c); break;
        case Call::Kind::Text: {
            usePen(c.colour);
            QPainter& p = painter();
            QFont font = p.font();
            if (font.pixelSize() != kTextPixels) {
                font.setPixelSize(kTextPixels);
                p.setFont(font);
            }
            const QString caption = QString::fromStdString(c.text);
            const QPointF at = geometry_.toPixel(c.x1, c.y1);
            const qreal width = QFontMetricsF(p.font()).horizontalAdvance(caption) + 2;
            const auto align = static_cast<TextAlign>(c.value);
            const qreal left = align == TextAlign::Left     ? at.x()
                               : align == TextAlign::Centre ? at.x() - width / 2
                                                            : at.x() - width;
            p.drawText(QRectF(left, at.y() - kTextPixels, width, 2 * kTextPixels), Qt::AlignLeft | Qt::AlignVCenter,
                       caption);
            break;
        }
        }
    }
    flushLines();
}

void QtCanvas::paintCircle(const Call& c) {
    // Dots stay whole whatever the line style.
    const double r = std::abs(c.x2 * geometry_.pixelsPerUnitX());
    const QPointF centre = geometry_.toPixel(c.x1, c.y1);
    const bool plainPixels = image_.format() == QImage::Format_RGB32 || image_.format() == QImage::Format_ARGB32;
    // Rings under a pixel (a plot squeezed to a few pixels) and huge or far ones are
    // left to the painter.
    if (!plainPixels || !std::isfinite(r) || r < 1 || r > 64 || !std::isfinite(centre.x()) || !std::isfinite(centre.y()) ||
        std::abs(centre.x()) > 1e6 || std::abs(centre.y()) > 1e6) {
        const LineStyle style = std::exchange(lineStyle_, LineStyle::Solid);
        usePen(c.colour);
        lineStyle_ = style;
        painter().drawEllipse(centre, r, r);
        return;
    }
    const long qx = std::lround(std::floor(centre.x() * 4)), qy = std::lround(std::floor(centre.y() * 4));
    const long ix = qx >> 2, iy = qy >> 2;
    const RingKey key{c.colour, lineWidth_, std::lround(r * 1024), static_cast<int>(qx & 3), static_cast<int>(qy & 3)};
    const std::vector<QPoint>& ring = ringPixels(key, r);
    endPainting();  // the pixels are written straight into the image
    const QRgb colour = ToQColor(c.colour).rgb();
    const int w = image_.width(), h = image_.height();
    for (const QPoint& d : ring) {
        const long x = ix + d.x(), y = iy + d.y();
        if (x < 0 || y < 0 || x >= w || y >= h) continue;
        reinterpret_cast<QRgb*>(image_.scanLine(static_cast<int>(y)))[x] = colour;
    }
}

const std::vector<QPoint>& QtCanvas::ringPixels(const RingKey& key, double radius) {
    if (auto it = rings_.find(key); it != rings_.end()) return it->second;
    if (rings_.size() > 4096) rings_.clear();  // a canvas resized over and over
    const int width = std::get<1>(key);
    const int pad = static_cast<int>(std::ceil(radius)) + width + 2;
    QImage sprite(2 * pad + 1, 2 * pad + 1, QImage::Format_ARGB32);
    sprite.fill(Qt::transparent);
    {
        QPainter p(&sprite);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setBrush(Qt::NoBrush);
        QPen pen(Qt::black, width);
        pen.setCosmetic(true);
        p.setPen(pen);
        p.drawEllipse(QPointF(pad + std::get<3>(key) / 4.0, pad + std::get<4>(key) / 4.0), radius, radius);
    }
    std::vector<QPoint> pixels;
    for (int y = 0; y < sprite.height(); ++y)
        for (int x = 0; x < sprite.width(); ++x)
            if (qAlpha(sprite.pixel(x, y)) != 0) pixels.emplace_back(x - pad, y - pad);
    return rings_.emplace(key, std::move(pixels)).first->second;
}

void QtCanvas::resize(QSize pixels) {
    pixels = pixels.expandedTo(QSize(16, 16));
    if (pixels == QSize(geometry_.widthPx, geometry_.heightPx)) return;
    endPainting();
    geometry_.widthPx = pixels.width();
    geometry_.heightPx = pixels.height();
    background_ = drawBackground_(geometry_);
    image_ = background_.copy();
    penSet_ = false;
    rings_.clear();
    // The curves wait for the next redraw.
    startPicture();
    painted_ = picture_;
    ++changes_;
}

void QtCanvas::setTop(double top) {
    if (top == geometry_.top) return;
    endPainting();
    geometry_.top = top;
    background_ = drawBackground_(geometry_);
    image_ = background_.copy();
    penSet_ = false;
    // The calls stay in user units: the next look paints them all at the new scale.
    painted_.clear();
    ++changes_;
}

const QImage& QtCanvas::image() {
    settle();
    return image_;
}

std::uint64_t QtCanvas::changeCount() {
    settle();
    return changes_;
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
    for (int j = 0; j <= g.gasRows(); j += rowStep) {
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
