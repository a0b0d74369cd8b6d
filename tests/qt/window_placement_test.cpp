// Where the window and the virtual engine panel open: inside the screen's free
// area, the panel beside or under the window, covering nothing while there is room.
#include <gtest/gtest.h>

#include <QScreen>

#include "window/virtual_engine_panel.h"
#include "window/window_placement.h"
#include "qt/window_fixture.h"

namespace gasecu {
namespace {

using qt::PanelSizes;
using qt::PlaceWindows;

TEST(WindowPlacement, PanelBesideOrUnderTheWindowWhileTheScreenHasRoom) {
    // Sizes near the real window's and panel's.
    const QSize wanted(1366, 768), minimum(971, 512), frame(8, 34);
    const PanelSizes panel{QSize(304, 442), QSize(530, 259)};
    struct Case {
        QRect screen;
        Qt::Orientation panel;
        bool panelCoversWindow;
    };
    for (Case c : {Case{QRect(0, 0, 1920, 1040), Qt::Vertical, false},
                   Case{QRect(0, 0, 1366, 728), Qt::Vertical, false},
                   Case{QRect(1920, 0, 1600, 860), Qt::Vertical, false},  // a second monitor
                   Case{QRect(0, 0, 1280, 984), Qt::Horizontal, false},  // a 5:4 workshop monitor
                   Case{QRect(0, 0, 1024, 728), Qt::Vertical, true}}) {
        SCOPED_TRACE(testing::Message() << c.screen.width() << "x" << c.screen.height() << "+" << c.screen.x());
        const qt::WindowPlacement p = PlaceWindows(c.screen, wanted, minimum, frame, panel);
        EXPECT_EQ(p.panelOrientation, c.panel);
        EXPECT_TRUE(c.screen.contains(p.panel));
        const QSize panelSize = c.panel == Qt::Vertical ? panel.tall : panel.wide;
        EXPECT_EQ(p.panel.size(), (panelSize + frame).boundedTo(c.screen.size()));
        EXPECT_EQ(p.window.intersects(p.panel), c.panelCoversWindow);
        // The window never shrinks below what its controls need (where the screen
        // has it) and never grows past what it wants.
        EXPECT_GE(p.window.width(), std::min(minimum.width() + frame.width(), c.screen.width()));
        EXPECT_GE(p.window.height(), std::min(minimum.height() + frame.height(), c.screen.height()));
        EXPECT_LE(p.window.width(), wanted.width() + frame.width());
        EXPECT_EQ(p.window.topLeft(), c.screen.topLeft());
        if (!c.panelCoversWindow) {
            EXPECT_TRUE(c.screen.contains(p.window));
        } else {
            // No room either way: the panel keeps the right edge (the session then
            // opens it minimised, so that it covers nothing until asked for).
            EXPECT_EQ(p.panel.right(), c.screen.right());
        }
    }
}

TEST(WindowPlacement, AloneTheWindowOpensInTheMiddleAtItsWantedSize) {
    const QSize frame(8, 34);
    const qt::WindowPlacement big = PlaceWindows(QRect(0, 0, 1920, 1040), QSize(1366, 768), QSize(930, 540), frame);
    EXPECT_EQ(big.window, QRect(273, 119, 1374, 802));
    EXPECT_TRUE(big.panel.isEmpty());
    // A small screen gets all of its free area, the window's minimum permitting.
    const qt::WindowPlacement small = PlaceWindows(QRect(0, 0, 1024, 728), QSize(1366, 768), QSize(930, 540), frame);
    EXPECT_EQ(small.window, QRect(0, 0, 1024, 728));
}

// The session opens both on the screen it has: the panel beside or under the
// window, or minimised; never over it.
TEST(WindowPlacement, TheSessionOpensThePanelWhereItCoversNothing) {
    test::WindowFixture f(/*simulate=*/true, /*enginePanel=*/true);
    f.session->show();
    QWidget* panel = f.session->enginePanel();
    ASSERT_NE(panel, nullptr);
    QCoreApplication::processEvents();
    const QRect screen = f.window().screen()->availableGeometry();
    if (!panel->isMinimized()) {
        EXPECT_FALSE(panel->frameGeometry().intersects(f.window().frameGeometry()))
            << "screen " << screen.width() << "x" << screen.height();
    }
}

}  // namespace
}  // namespace gasecu
