#pragma once
// What the window's small plots (the calibration run's, the history's) share:
// a white ground with a 10-pixel font, and legend entries of a line and a name
// that go on to a second line where the first has no room.
#include <QPainter>
#include <QPen>
#include <QString>

namespace gasecu::qt {

// Clears the widget's area to white, smooth lines, the small font.
void StartSmallPlot(QPainter& p, const QRect& area);

// Where the next legend entry goes; entries past `right` start a new line at
// `left`, one line down.
struct LegendCursor {
    qreal left, right, x, y;
};
void DrawLegendEntry(QPainter& p, LegendCursor& at, const QPen& line, const QString& name);

}  // namespace gasecu::qt
