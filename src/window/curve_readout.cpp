// The band legend and the point readout of the curve screen.
#include "window/curve_readout.h"

#include <QPainter>

#include "curve/curve_bands.h"
#include "window/qt_canvas.h"

namespace gasecu::qt {

namespace {
constexpr int kRowHeight = 17;
constexpr int kSwatchWidth = 34;
}  // namespace

BandLegend::BandLegend(QWidget* parent) : QWidget(parent) {}

QSize BandLegend::sizeHint() const { return QSize(150, curve::kBandCount * kRowHeight + 4); }

void BandLegend::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    for (int b = 0; b < curve::kBandCount; ++b) {
        const int y = 2 + b * kRowHeight;
        // Each swatch on the plot's own ground, so a colour looks as it does there
        // (the yellow of 4000 rpm would vanish on the paper).
        const QRect swatch(0, y + 1, kSwatchWidth, kRowHeight - 3);
        p.fillRect(swatch, kPlotGroundColour);
        const QColor colour = ToQColor(curve::kBandCurveColours[b]);
        p.setPen(QPen(colour, 2));
        p.drawLine(swatch.left() + 3, swatch.center().y(), swatch.right() - 3, swatch.center().y());
        p.setBrush(colour);
        p.drawEllipse(QPointF(swatch.center().x() + 0.5, swatch.center().y() + 0.5), 3, 3);
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(QRect(kSwatchWidth + 8, y, width() - kSwatchWidth - 8, kRowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("%1 rpm").arg(1000 * (b + 1)));
    }
}

PointReadoutLabel::PointReadoutLabel(QWidget* parent) : QLabel(parent) {
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setFrameShape(QFrame::StyledPanel);
    setMargin(4);
    // Five lines always: the layout does not jump when a point comes and goes.
    setMinimumHeight(fontMetrics().lineSpacing() * 5 + 12);
    showPoint(std::nullopt, false, '.');
}

void PointReadoutLabel::showPoint(const std::optional<curve::PointReadout>& readout, bool english, char decimalSeparator) {
    if (once_ && readout == shown_ && english == english_) return;
    once_ = true;
    shown_ = readout;
    english_ = english;
    if (readout) {
        setText(QString::fromStdString(curve::ReadoutText(*readout, english, decimalSeparator)));
        return;
    }
    setText(english ? QStringLiteral("POINT : -\nmouse over a point") : QStringLiteral("NOKTA : -\nfareyi noktaya getirin"));
}

}  // namespace gasecu::qt
