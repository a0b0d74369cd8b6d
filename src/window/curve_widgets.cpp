#include "window/curve_widgets.h"

#include <algorithm>

#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>

#include "window/qt_canvas.h"

namespace gasecu::qt {

CurvePaperWidget::CurvePaperWidget(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, kCurvePaperColour);
    setPalette(p);
}

PlotWidget::PlotWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PlotWidget::refresh() {
    if (!isVisible()) return;
    if (version_) {
        std::uint64_t v = version_();
        if (v == shownVersion_) return;
        shownVersion_ = v;
    }
    update();
}

void PlotWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QImage* image = source_ ? source_() : nullptr;
    if (image && !image->isNull()) {
        painter.drawImage(rect(), *image);
        return;
    }
    painter.fillRect(rect(), kPlotGroundColour);
}

void PlotWidget::setHoverHandler(std::function<void(std::optional<QPointF>)> handler) {
    hovered_ = std::move(handler);
    setMouseTracking(static_cast<bool>(hovered_));
}

void PlotWidget::mouseMoveEvent(QMouseEvent* e) {
    if (hovered_) hovered_(e->position());
    QWidget::mouseMoveEvent(e);
}

void PlotWidget::leaveEvent(QEvent* e) {
    if (hovered_) hovered_(std::nullopt);
    QWidget::leaveEvent(e);
}

void PlotWidget::resizeEvent(QResizeEvent* e) {
    if (resized_) resized_(e->size());
    QWidget::resizeEvent(e);
}

namespace {
constexpr int kRightMargin = 12;
constexpr int kBoxSize = 18;
// The plot's user coordinates: grid column k (k ms petrol time) lies at 40 k.
PlotGeometry GeometryOf(const QRect& plot, double top) {
    PlotGeometry g;
    g.widthPx = plot.width();
    g.heightPx = plot.height();
    g.top = top;
    return g;
}
}  // namespace

PlotFrame::PlotFrame(QWidget* parent, PlotWidget* plot) : QWidget(parent), plot_(plot) {
    plot_->setParent(this);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void PlotFrame::addPointBox(QWidget* box, int row, int column) {
    box->setParent(this);
    boxes_.push_back({box, row, column});
    place();
}

void PlotFrame::addOnPlot(QWidget* widget, Qt::Corner corner, QPoint offset) {
    widget->setParent(plot_);
    onPlot_.push_back({widget, corner, offset});
    place();
}

QRect PlotFrame::plotRect() const {
    return QRect(kAxisLabelsLeft, kBoxRowsHeight, std::max(width() - kAxisLabelsLeft - kRightMargin, 16),
                 std::max(height() - kBoxRowsHeight - kAxisLabelsBelow, 16));
}

QSize PlotFrame::minimumSizeHint() const {
    return kSmallestPlot + QSize(kAxisLabelsLeft + kRightMargin, kBoxRowsHeight + kAxisLabelsBelow);
}

QSize PlotFrame::sizeHint() const {
    const PlotGeometry full;
    return QSize(full.widthPx, full.heightPx) + QSize(kAxisLabelsLeft + kRightMargin, kBoxRowsHeight + kAxisLabelsBelow);
}

void PlotFrame::setPlotTop(double top) {
    if (top == top_) return;
    top_ = top;
    update();
}

void PlotFrame::resizeEvent(QResizeEvent* e) {
    place();
    QWidget::resizeEvent(e);
}

void PlotFrame::place() {
    const QRect plot = plotRect();
    plot_->setGeometry(plot);
    const PlotGeometry g = GeometryOf(plot, top_);
    // A box never reaches into its neighbour's column: on a narrow plot the boxes
    // shrink, so a click always ticks the box under the pointer and no other.
    const int columnPx = static_cast<int>(g.toPixel(40.0, 0).x() - g.toPixel(0, 0).x());
    const int size = std::clamp(columnPx - 3, 10, kBoxSize);
    for (const PointBox& b : boxes_) {
        const int x = plot.left() + static_cast<int>(g.toPixel(40.0 * b.column, 0).x()) - size / 2;
        b.box->setGeometry(x, 8 + b.row * 22 + (kBoxSize - size) / 2, size, size);
    }
    for (const OnPlot& o : onPlot_) {
        const bool right = o.corner == Qt::TopRightCorner || o.corner == Qt::BottomRightCorner;
        const bool bottom = o.corner == Qt::BottomLeftCorner || o.corner == Qt::BottomRightCorner;
        const QSize size = o.widget->size();
        o.widget->setGeometry(QRect(QPoint((right ? plot.width() : 0) + o.offset.x(), (bottom ? plot.height() : 0) + o.offset.y()), size));
    }
}

void PlotFrame::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect plot = plotRect();
    DrawPlotAxisLabels(p, GeometryOf(plot, top_), plot.topLeft(), height() - plot.bottom() - 1);
}

ScreenWidget::ScreenWidget(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
}

}  // namespace gasecu::qt
