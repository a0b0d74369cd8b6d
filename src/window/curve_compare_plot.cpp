#include "window/curve_compare_plot.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "curve/curve_bands.h"
#include "window/qt_canvas.h"
#include "window/small_plot.h"

namespace gasecu::qt {

namespace {

// The 1000 rpm band's pen is the system's window text: black on the white plot.
QColor BandColour(Colour c) { return IsSystemColour(c) ? QColor(Qt::black) : ToQColor(c); }

constexpr int kCompareLeft = 34, kCompareRight = 10, kCompareTop = 8, kCompareBottom = 40;  // room for the numbers and the legend

}  // namespace

CurveComparePlot::CurveComparePlot(QWidget* parent) : QWidget(parent) { setMinimumSize(320, 220); }

void CurveComparePlot::setCurves(const curve::CurveRows& solid, const QString& solidName,
                                 std::optional<curve::CurveRows> dashed, const QString& dashedName) {
    if (solid == solid_ && dashed == dashed_ && solidName == solidName_ && dashedName == dashedName_) return;
    solid_ = solid;
    solidName_ = solidName;
    dashed_ = dashed;
    dashedName_ = dashedName;
    update();
}

void CurveComparePlot::setMarked(std::vector<curve::PointDifference> marked) {
    if (marked == marked_) return;
    marked_ = std::move(marked);
    update();
}

void CurveComparePlot::setEnglish(bool english) {
    if (english == english_) return;
    english_ = english;
    update();
}

void CurveComparePlot::paintEvent(QPaintEvent*) {
    QPainter p(this);
    StartSmallPlot(p, rect());

    // One scale for both curves, in whole milliseconds of gas time: the fitter
    // compares heights.
    double topMs = 4;
    auto widen = [&](const curve::CurveRows& c) {
        for (int r = curve::kFirstBandRow; r <= curve::kLastBandRow; ++r)
            for (int pt = 1; pt <= curve::kPointCount; ++pt)
                topMs = std::max(topMs, c[static_cast<std::size_t>(r)][static_cast<std::size_t>(pt)] / curve::kUnitsPerGasMs);
    };
    widen(solid_);
    if (dashed_) widen(*dashed_);
    topMs = std::ceil(topMs + 0.5);
    const QRectF area(kCompareLeft, kCompareTop, std::max(10, width() - kCompareLeft - kCompareRight), std::max(10, height() - kCompareTop - kCompareBottom));
    auto at = [&](double petrolMs, double gasMs) {
        return QPointF(area.left() + area.width() * petrolMs / curve::kPointCount,
                       area.bottom() - area.height() * gasMs / topMs);
    };

    // Grid and axis numbers: every millisecond a line, every second one numbered
    // where the lines lie close.
    const int gasStep = area.height() / topMs < 12 ? (area.height() / topMs < 6 ? 4 : 2) : 1;
    p.setPen(QColor(225, 225, 225));
    for (int ms = 0; ms <= curve::kPointCount; ++ms) p.drawLine(at(ms, 0), at(ms, topMs));
    for (int ms = 0; ms <= topMs; ++ms) p.drawLine(at(0, ms), at(curve::kPointCount, ms));
    p.setPen(Qt::black);
    p.drawRect(area);
    for (int ms = 0; ms <= curve::kPointCount; ms += 2)
        p.drawText(QRectF(at(ms, 0).x() - 12, area.bottom() + 1, 24, 12), Qt::AlignCenter, QString::number(ms));
    for (int ms = 0; ms <= topMs; ms += gasStep)
        p.drawText(QRectF(0, at(0, ms).y() - 6, kCompareLeft - 4, 12), Qt::AlignRight | Qt::AlignVCenter, QString::number(ms));
    p.drawText(QRectF(area.right() - 124, area.bottom() - 14, 120, 12), Qt::AlignRight,
               english_ ? QStringLiteral("petrol (ms)") : QStringLiteral("benzin (ms)"));
    p.save();
    p.translate(area.left() + 12, area.top() + 2);
    p.drawText(QRectF(0, 0, 80, 12), english_ ? QStringLiteral("gas (ms)") : QStringLiteral("gaz (ms)"));
    p.restore();

    auto draw = [&](const curve::CurveRows& c, bool dashed) {
        for (int b = 0; b < curve::kBandCount; ++b) {
            const auto& colours = dashed ? curve::kEcuBandCurveColours : curve::kBandCurveColours;
            p.setPen(QPen(BandColour(colours[static_cast<std::size_t>(b)]), dashed ? 2.0 : 1.5,
                          dashed ? Qt::DashLine : Qt::SolidLine));
            const auto& row = c[static_cast<std::size_t>(b) + static_cast<std::size_t>(curve::kFirstBandRow)];
            QPainterPath path(at(1, row[1] / curve::kUnitsPerGasMs));
            for (int pt = 2; pt <= curve::kPointCount; ++pt)
                path.lineTo(at(pt, row[static_cast<std::size_t>(pt)] / curve::kUnitsPerGasMs));
            p.drawPath(path);
        }
    };
    if (dashed_) draw(*dashed_, true);
    draw(solid_, false);
    p.setPen(QPen(QColor(200, 0, 0), 1.5));
    for (const curve::PointDifference& d : marked_)
        p.drawEllipse(at(d.point, d.first / curve::kUnitsPerGasMs), 4, 4);

    // Legend: the bands' colours, then which curve is solid and which dashed.
    qreal x = kCompareLeft;
    qreal y = height() - 27;
    p.setPen(Qt::black);
    for (int b = 0; b < curve::kBandCount; ++b) {
        p.fillRect(QRectF(x, y + 2, 10, 8), BandColour(curve::kBandCurveColours[static_cast<std::size_t>(b)]));
        p.drawText(QRectF(x + 12, y, 34, 12), Qt::AlignLeft | Qt::AlignVCenter, QString::number((b + 1) * 1000));
        x += 44;
    }
    LegendCursor legend{kCompareLeft, static_cast<qreal>(width()), kCompareLeft, height() - 14.0};
    if (!solidName_.isEmpty()) DrawLegendEntry(p, legend, QPen(Qt::black, 1.5), solidName_);
    if (dashed_ && !dashedName_.isEmpty()) DrawLegendEntry(p, legend, QPen(Qt::black, 1.5, Qt::DashLine), dashedName_);
}

}  // namespace gasecu::qt
