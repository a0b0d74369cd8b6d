#pragma once
// Where the window (and, with --simulate, the virtual engine panel) opens on the
// screen: inside the screen's free area, the panel beside the window so that it
// covers none of the live values or the plot.
#include <QRect>
#include <QSize>

namespace gasecu::qt {

struct WindowPlacement {
    QRect window;  // the window's frame on the screen
    QRect panel;   // the panel's frame; empty without a panel
};

// The window gets its wanted size, cut to the free area but never below its
// minimum. A panel goes to the window's right, the window giving up width for it
// down to its minimum; where even that leaves too little room, the panel keeps
// the screen's right edge and covers as little of the window's right side as it
// can. frame is what the window system adds around a window (title bar, borders).
WindowPlacement PlaceWindows(const QRect& available, QSize wanted, QSize minimum, QSize panel = {},
                             QSize frame = {});

}  // namespace gasecu::qt
