#include "window/small_plot.h"

namespace gasecu::qt {

void StartSmallPlot(QPainter& p, const QRect& area) {
    p.fillRect(area, Qt::white);
    p.setRenderHint(QPainter::Antialiasing);
    QFont small = p.font();
    small.setPixelSize(10);
    p.setFont(small);
}

void DrawLegendEntry(QPainter& p, LegendCursor& at, const QPen& line, const QString& name) {
    constexpr qreal kLine = 18, kLineHeight = 13;
    const qreal width = p.fontMetrics().horizontalAdvance(name) + 6;
    if (at.x + kLine + 4 + width > at.right && at.x > at.left) {
        at.x = at.left;
        at.y += kLineHeight;
    }
    p.setPen(line);
    p.drawLine(QPointF(at.x, at.y + 6), QPointF(at.x + kLine, at.y + 6));
    p.setPen(Qt::black);
    p.drawText(QRectF(at.x + kLine + 3, at.y, width, 12), Qt::AlignLeft | Qt::AlignVCenter, name);
    at.x += kLine + 8 + width;
}

}  // namespace gasecu::qt
