#include "window/window_placement.h"

#include <algorithm>

namespace gasecu::qt {

namespace {

constexpr int kGap = 4;  // between the window and the panel

// A length cut to the room there is, but not below the window's minimum (as far
// as the screen has it).
int Fit(int wanted, int room, int minimum, int screen) {
    return std::max(std::min(wanted, room), std::min(minimum, screen));
}

}  // namespace

WindowPlacement PlaceWindows(const QRect& available, QSize wanted, QSize minimum, QSize frame,
                             std::optional<PanelSizes> panel) {
    wanted = wanted.expandedTo(minimum) + frame;
    minimum += frame;
    const int screenW = available.width(), screenH = available.height();
    WindowPlacement p;

    if (!panel) {
        // Alone, the window opens in the middle of the free area.
        const QSize size(Fit(wanted.width(), screenW, minimum.width(), screenW),
                         Fit(wanted.height(), screenH, minimum.height(), screenH));
        p.window = QRect(available.topLeft() + QPoint(std::max(0, (screenW - size.width()) / 2),
                                                      std::max(0, (screenH - size.height()) / 2)),
                         size);
        return p;
    }

    const QSize tall = (panel->tall + frame).boundedTo(available.size());
    const QSize wide = (panel->wide + frame).boundedTo(available.size());
    const int roomBeside = screenW - tall.width() - kGap;
    const int roomAbove = screenH - wide.height() - kGap;
    if (roomBeside < minimum.width() && roomAbove >= minimum.height()) {
        const QSize size(Fit(wanted.width(), screenW, minimum.width(), screenW),
                         Fit(wanted.height(), roomAbove, minimum.height(), screenH));
        p.window = QRect(available.topLeft(), size);
        p.panel = QRect(QPoint(available.left(), p.window.bottom() + 1 + kGap), wide);
        p.panelOrientation = Qt::Horizontal;
        return p;
    }
    const QSize size(Fit(wanted.width(), roomBeside, minimum.width(), screenW),
                     Fit(wanted.height(), screenH, minimum.height(), screenH));
    p.window = QRect(available.topLeft(), size);
    const int x = std::min(p.window.right() + 1 + kGap, available.right() + 1 - tall.width());
    p.panel = QRect(QPoint(std::max(x, available.left()), available.top()), tall);
    return p;
}

}  // namespace gasecu::qt
