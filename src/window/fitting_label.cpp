#include "window/fitting_label.h"

#include <QEvent>
#include <QFontMetrics>
#include <QtMath>

namespace gasecu::qt {

FittingLabel::FittingLabel(QWidget* parent) : QLabel(parent), given_(font()) {}

void FittingLabel::setFittedText(const QString& text) {
    setText(text);
    fit();
}

void FittingLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    fit();
}

void FittingLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    // A font set from outside (the layout makes the lamp bold) is the new size
    // to fit from; the ones this label sets itself are not.
    if (event->type() == QEvent::FontChange && !fitting_) {
        given_ = font();
        fit();
    }
}

void FittingLabel::fit() {
    // Only a label the layout lets be narrower than its text needs fitting.
    if (sizePolicy().horizontalPolicy() != QSizePolicy::Ignored || text().isEmpty()) return;
    const int room = contentsRect().width() - 2 * margin();
    QFont f = given_;
    // Fonts come in points or in pixels; shrink whichever the given one uses, in
    // steps small enough not to waste the room (a tenth of a point, one pixel).
    const bool inPoints = given_.pointSizeF() > 0;
    const int full = inPoints ? qRound(given_.pointSizeF() * 10) : given_.pixelSize();
    const int smallest = qCeil(full * kSmallestShare);
    const auto fits = [&] { return QFontMetrics(f).horizontalAdvance(text()) <= room; };
    for (int size = full - 1; !fits() && size >= smallest; --size) {
        if (inPoints) f.setPointSizeF(size / 10.0);
        else f.setPixelSize(size);
    }
    if (f == font()) return;
    fitting_ = true;
    setFont(f);
    fitting_ = false;
}

}  // namespace gasecu::qt
