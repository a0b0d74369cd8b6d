// Where the window and the virtual engine panel open: side by side inside the
// screen's free area, the panel covering nothing while there is room.
#include <gtest/gtest.h>

#include "platform/qt/window_placement.h"

namespace gasecu {
namespace {

using qt::PlaceWindows;

TEST(WindowPlacement, PanelBesideTheWindowWhileTheScreenHasRoom) {
    const QSize wanted(1366, 768), minimum(820, 600), panel(280, 480), frame(8, 34);
    struct Case {
        QRect screen;
        bool panelCoversWindow;
    };
    for (Case c : {Case{QRect(0, 0, 1920, 1040), false}, Case{QRect(0, 0, 1366, 728), false},
                   Case{QRect(1920, 0, 1600, 860), false},  // a second monitor
                   Case{QRect(0, 0, 1024, 728), true}, Case{QRect(0, 0, 800, 560), true}}) {
        SCOPED_TRACE(testing::Message() << c.screen.width() << "x" << c.screen.height() << "+" << c.screen.x());
        const qt::WindowPlacement p = PlaceWindows(c.screen, wanted, minimum, panel, frame);
        EXPECT_TRUE(c.screen.contains(p.panel));
        EXPECT_EQ(p.panel.size(), (panel + frame).boundedTo(c.screen.size()));
        EXPECT_EQ(p.window.intersects(p.panel), c.panelCoversWindow);
        // The window never shrinks below what its controls need (where the screen
        // has it) and never grows past what it wants.
        EXPECT_GE(p.window.width(), std::min(minimum.width() + frame.width(), c.screen.width()));
        EXPECT_LE(p.window.width(), wanted.width() + frame.width());
        EXPECT_EQ(p.window.topLeft(), c.screen.topLeft());
        if (!c.panelCoversWindow) {
            EXPECT_TRUE(c.screen.contains(p.window));
        } else {
            // Covered as little as the screen allows: the panel keeps the right edge.
            EXPECT_EQ(p.panel.right(), c.screen.right());
        }
    }
}

TEST(WindowPlacement, AloneTheWindowOpensInTheMiddleAtItsWantedSize) {
    const qt::WindowPlacement big = PlaceWindows(QRect(0, 0, 1920, 1040), QSize(1366, 768), QSize(820, 600), {}, QSize(8, 34));
    EXPECT_EQ(big.window, QRect(273, 119, 1374, 802));
    EXPECT_TRUE(big.panel.isEmpty());
    // A small screen gets all of its free area, the window's minimum permitting.
    const qt::WindowPlacement small = PlaceWindows(QRect(0, 0, 1024, 728), QSize(1366, 768), QSize(820, 600), {}, QSize(8, 34));
    EXPECT_EQ(small.window, QRect(0, 0, 1024, 728));
}

}  // namespace
}  // namespace gasecu
