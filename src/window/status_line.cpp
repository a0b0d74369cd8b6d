// The status line's drawing: the whole text where it fits, else elided in the middle.
#include "window/status_line.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace gasecu::qt {

StatusLine::StatusLine(QWidget* parent) : QLineEdit(parent) {
    setReadOnly(true);
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) { setToolTip(text); });
}

QRect StatusLine::textArea() const {
    QStyleOptionFrame option;
    initStyleOption(&option);
    // QLineEdit keeps two pixels each side of its text inside the contents.
    return style()->subElementRect(QStyle::SE_LineEditContents, &option, this).marginsRemoved(textMargins())
        .adjusted(2, 0, -2, 0);
}

QString StatusLine::shownText() const {
    return fontMetrics().elidedText(text(), Qt::ElideMiddle, textArea().width());
}

void StatusLine::paintEvent(QPaintEvent* event) {
    const QString shown = shownText();
    if (shown == text()) {
        QLineEdit::paintEvent(event);
        return;
    }
    QPainter painter(this);
    QStyleOptionFrame option;
    initStyleOption(&option);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    painter.drawText(textArea(), Qt::AlignLeft | Qt::AlignVCenter, shown);
}

}  // namespace gasecu::qt
