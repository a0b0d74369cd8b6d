#include "platform/qt/window_placement.h"

#include <algorithm>

namespace gasecu::qt {

namespace {
constexpr int kGap = 4;  // between the window and the panel
}

WindowPlacement PlaceWindows(const QRect& available, QSize wanted, QSize minimum, QSize panel, QSize frame) {
    // Sizes from here on include the window system's frame.
    wanted = (wanted.expandedTo(minimum) + frame);
    minimum += frame;
    const bool withPanel = panel.isValid() && !panel.isEmpty();
    if (withPanel) panel += frame;

    const int roomForWindow = available.width() - (withPanel ? panel.width() + kGap : 0);
    const int width = std::max(std::min(wanted.width(), roomForWindow), std::min(minimum.width(), available.width()));
    const int height = std::max(std::min(wanted.height(), available.height()), std::min(minimum.height(), available.height()));
    WindowPlacement p;
    // Alone, the window opens in the middle of the free area.
    const QPoint middle(available.left() + std::max(0, (available.width() - width) / 2),
                        available.top() + std::max(0, (available.height() - height) / 2));
    p.window = QRect(withPanel ? available.topLeft() : middle, QSize(width, height));
    if (withPanel) {
        const int x = std::min(p.window.right() + 1 + kGap, available.right() + 1 - panel.width());
        p.panel = QRect(QPoint(std::max(x, available.left()), available.top()),
                        panel.boundedTo(available.size()));
    }
    return p;
}

}  // namespace gasecu::qt
