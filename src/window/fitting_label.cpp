#include "window/fitting_label.h"

#include <QEvent>
#include <QFontMetrics>

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
    const double full = inPoints ? given_.pointSizeF() : given_.pixelSize();
    const double step = inPoints ? 0.1 : 1.0;
    for (double size = full; size >= full * kSmallestShare; size -= step) {
        if (inPoints) f.setPointSizeF(size);
        else f.setPixelSize(static_cast<int>(size));
        if (QFontMetrics(f).horizontalAdvance(text()) <= room) break;
    }
    if (f == font()) return;
    fitting_ = true;
    setFont(f);
    fitting_ = false;
}

}  // namespace gasecu::qt
