#pragma once
// Where the window (and, with --simulate, the virtual engine panel) opens on the
// screen: inside the screen's free area, the panel beside or under the window so
// that it covers none of the live values or the plot.
#include <QRect>
#include <QSize>
#include <optional>

namespace gasecu::qt {

// The panel's size tall (to stand beside the window) and wide (to lie under it).
struct PanelSizes {
    QSize tall;
    QSize wide;
};

struct WindowPlacement {
    QRect window;  // the window's frame on the screen
    QRect panel;   // the panel's frame; empty without a panel or when docked
    Qt::Orientation panelOrientation = Qt::Vertical;
    // No room beside or under the window: the panel goes into the window's right
    // side instead of over it.
    bool panelDocked = false;
};

// The window gets its wanted size, cut to the free area but never below its
// minimum. A panel goes to the window's right, tall, the window giving up width
// for it down to its minimum; where that leaves too little room it lies wide
// under the window, which gives up height down to its minimum. Where neither
// fits, the panel is docked into the window's right side (panelDocked) and the
// window has the screen to itself. frame is what the window system adds around a window (title
// bar, borders); every size given and returned includes it.
WindowPlacement PlaceWindows(const QRect& available, QSize wanted, QSize minimum, QSize frame,
                             std::optional<PanelSizes> panel = std::nullopt);

// Where a window of the tool's own (the trend window) opens so that it covers none
// of the main window's buttons: to the main window's right, else under it, else to
// its left; where the screen has no such room, inside `spare` (the part of the main
// window where no button lies, in screen coordinates), cut to it. Sizes include
// the frame.
QRect PlaceBesideWindow(const QRect& available, const QRect& window, QSize size, const QRect& spare);

// A frame moved (not resized) as little as needed to lie on the screen; a frame
// larger than the screen keeps its top left corner on it.
QRect KeptOnScreen(const QRect& available, const QRect& frame);

}  // namespace gasecu::qt
