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
    if (roomBeside < minimum.width()) {
        // Neither beside nor under: the window takes the free area as if alone and
        // carries the panel in its right side.
        p = PlaceWindows(available, wanted - frame, minimum - frame, frame);
        p.window.moveTopLeft(available.topLeft());
        p.panelDocked = true;
        return p;
    }
    const QSize size(Fit(wanted.width(), roomBeside, minimum.width(), screenW),
                     Fit(wanted.height(), screenH, minimum.height(), screenH));
    p.window = QRect(available.topLeft(), size);
    const int x = std::min(p.window.right() + 1 + kGap, available.right() + 1 - tall.width());
    p.panel = QRect(QPoint(std::max(x, available.left()), available.top()), tall);
    return p;
}

QRect PlaceBesideWindow(const QRect& available, const QRect& window, QSize size, const QRect& spare) {
    size = size.boundedTo(available.size());
    const int right = available.right() + 1 - (window.right() + 1 + kGap);   // room right of the window
    const int below = available.bottom() + 1 - (window.bottom() + 1 + kGap);  // room under it
    const int left = window.left() - kGap - available.left();                 // room left of it
    auto clampY = [&](int y) { return std::clamp(y, available.top(), available.bottom() + 1 - size.height()); };
    auto clampX = [&](int x) { return std::clamp(x, available.left(), available.right() + 1 - size.width()); };
    if (right >= size.width()) return QRect(QPoint(window.right() + 1 + kGap, clampY(window.top())), size);
    if (below >= size.height()) return QRect(QPoint(clampX(window.left()), window.bottom() + 1 + kGap), size);
    if (left >= size.width()) return QRect(QPoint(window.left() - kGap - size.width(), clampY(window.top())), size);
    // No room outside: over the part of the window without buttons, as large as
    // that part allows, in its middle.
    const QRect room = spare.intersected(available);
    const QSize fitted = size.boundedTo(room.size());
    return QRect(room.topLeft() + QPoint((room.width() - fitted.width()) / 2, (room.height() - fitted.height()) / 2),
                 fitted);
}

QRect KeptOnScreen(const QRect& available, const QRect& frame) {
    const int x = std::max(available.left(), std::min(frame.left(), available.right() + 1 - frame.width()));
    const int y = std::max(available.top(), std::min(frame.top(), available.bottom() + 1 - frame.height()));
    return QRect(QPoint(x, y), frame.size());
}

}  // namespace gasecu::qt
