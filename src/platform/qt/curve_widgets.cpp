#include "platform/qt/curve_widgets.h"

#include <QPainter>

#if __has_include("platform/qt/qt_canvas.h")
#define GASECU_HAVE_QT_CANVAS 1
#include "platform/qt/qt_canvas.h"
#endif

namespace gasecu::qt {

namespace {
const QColor kPaper(151, 175, 160);
const QColor kPlotBackground(73, 95, 95);
}  // namespace

double PlotPixelX(double units, int width) { return (units - 1) * width / 718.0; }
double PlotPixelY(double units, int height) { return (559 - units) * height / 558.0; }

CurvePaperWidget::CurvePaperWidget(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, kPaper);
    setPalette(p);
}

void CurvePaperWidget::paintEvent(QPaintEvent*) {
#ifdef GASECU_HAVE_QT_CANVAS
    // The curve paper as the plot's drawing code lays it out.
    static const QImage paper = CurvePaperImage();
    QPainter(this).drawImage(0, 0, paper);
    return;
#endif
    auto* plot = findChild<QWidget*>(QStringLiteral("EğriPic"), Qt::FindDirectChildrenOnly);
    if (!plot) return;
    QPainter painter(this);
    painter.setPen(Qt::white);
    QFont f = font();
    f.setPointSizeF(f.pointSizeF() * 0.85);
    painter.setFont(f);
    const QRect r = plot->geometry();
    // Petrol time, one grid column (40 units) per ms.
    for (int ms = 0; ms <= 18; ++ms) {
        int x = r.left() + static_cast<int>(PlotPixelX(40.0 * ms, r.width()));
        painter.drawText(QRect(x - 12, r.bottom() + 2, 24, 16), Qt::AlignCenter, QString::number(ms));
    }
    // Gas time, one grid row (20 units) per ms.
    for (int ms = 0; ms <= 28; ms += 2) {
        int y = r.top() + static_cast<int>(PlotPixelY(20.0 * ms, r.height()));
        painter.drawText(QRect(r.left() - 26, y - 8, 22, 16), Qt::AlignRight | Qt::AlignVCenter, QString::number(ms));
    }
    painter.drawText(QRect(r.left(), r.bottom() + 16, r.width(), 16), Qt::AlignCenter, QStringLiteral("Benzin / Petrol (ms)"));
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
    painter.fillRect(rect(), kPlotBackground);
}

ScreenWidget::ScreenWidget(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
}

}  // namespace gasecu::qt
