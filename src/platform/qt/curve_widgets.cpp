#include "platform/qt/curve_widgets.h"

#include <QPainter>

#include "platform/qt/qt_canvas.h"

namespace gasecu::qt {

CurvePaperWidget::CurvePaperWidget(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, kCurvePaperColour);
    setPalette(p);
}

void CurvePaperWidget::paintEvent(QPaintEvent*) {
    // The paper as the plot's drawing lays it out; beyond it the plain paper colour.
    static const QImage paper = CurvePaperImage();
    QPainter(this).drawImage(0, 0, paper);
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

ScreenWidget::ScreenWidget(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
}

}  // namespace gasecu::qt
