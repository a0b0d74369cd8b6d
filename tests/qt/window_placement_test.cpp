// Where the window and the virtual engine panel open: inside the screen's free
// area, the panel beside or under the window, covering nothing while there is room.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <filesystem>
#include <string>

#include "curve/curve_file_io.h"
#include "window/docked_panel.h"
#include "window/virtual_engine_panel.h"
#include "window/window_placement.h"
#include "qt/window_fixture.h"

namespace gasecu {
namespace {

using qt::PanelSizes;
using qt::PlaceWindows;

TEST(WindowPlacement, PanelBesideOrUnderTheWindowOrDockedInIt) {
    // Sizes near the real window's and panel's.
    const QSize wanted(1366, 768), minimum(971, 512), frame(8, 34);
    const PanelSizes panel{QSize(304, 442), QSize(530, 259)};
    struct Case {
        QRect screen;
        Qt::Orientation panel;
        bool docked;
    };
    for (Case c : {Case{QRect(0, 0, 1920, 1040), Qt::Vertical, false},
                   Case{QRect(0, 0, 1366, 728), Qt::Vertical, false},
                   Case{QRect(1920, 0, 1600, 860), Qt::Vertical, false},  // a second monitor
                   Case{QRect(0, 0, 1280, 984), Qt::Horizontal, false},  // a 5:4 workshop monitor
                   Case{QRect(0, 0, 1024, 728), Qt::Vertical, true},     // 1024x768 less a task bar
                   Case{QRect(0, 0, 1024, 768), Qt::Vertical, true}}) {
        SCOPED_TRACE(testing::Message() << c.screen.width() << "x" << c.screen.height() << "+" << c.screen.x());
        const qt::WindowPlacement p = PlaceWindows(c.screen, wanted, minimum, frame, panel);
        EXPECT_EQ(p.panelDocked, c.docked);
        // The window never shrinks below what its controls need (where the screen
        // has it) and never grows past what it wants; it stays on the screen.
        EXPECT_TRUE(c.screen.contains(p.window));
        EXPECT_GE(p.window.width(), std::min(minimum.width() + frame.width(), c.screen.width()));
        EXPECT_GE(p.window.height(), std::min(minimum.height() + frame.height(), c.screen.height()));
        EXPECT_LE(p.window.width(), wanted.width() + frame.width());
        EXPECT_EQ(p.window.topLeft(), c.screen.topLeft());
        if (c.docked) {
            // Docked, no separate panel lies anywhere over the window.
            EXPECT_TRUE(p.panel.isEmpty());
            continue;
        }
        EXPECT_EQ(p.panelOrientation, c.panel);
        EXPECT_TRUE(c.screen.contains(p.panel));
        const QSize panelSize = c.panel == Qt::Vertical ? panel.tall : panel.wide;
        EXPECT_EQ(p.panel.size(), (panelSize + frame).boundedTo(c.screen.size()));
        EXPECT_FALSE(p.window.intersects(p.panel));
    }
}

// The trend window beside or under the main window, or where the main window has
// no button, on the screens fitters have.
TEST(WindowPlacement, TheTrendWindowCoversNoButtonOfTheWindow) {
    const QSize frame(8, 34), trend(900 + 8, 520 + 34);
    struct Case {
        QRect screen;
        QSize window;  // the main window as the fitter left it
        const char* where;
    };
    const Case cases[] = {
        {QRect(0, 0, 1024, 768), QSize(1366, 768), "over"},  // the window fills the screen
        {QRect(0, 0, 1366, 768), QSize(1366, 768), "over"},
        {QRect(0, 0, 1920, 1080), QSize(1366, 768), "over"},   // no 900 pixels free on any side
        {QRect(0, 0, 1920, 1080), QSize(1000, 700), "beside"},
        {QRect(0, 0, 1366, 1080), QSize(1200, 480), "under"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.screen.width() << "x" << c.screen.height() << " window "
                                        << c.window.width() << "x" << c.window.height());
        // The window where the fitter left it: at the screen's corner.
        const QRect window(c.screen.topLeft(), (c.window + frame).boundedTo(c.screen.size()));
        // The button-free part: the plot's middle, under the fixed area and
        // between the band buttons and the arrow cross.
        const QRect spare(window.left() + 150, window.top() + 240, window.width() - 400, window.height() - 300);
        const QRect place = qt::PlaceBesideWindow(c.screen, window, trend, spare);
        EXPECT_TRUE(c.screen.contains(place));
        EXPECT_GE(place.width(), std::min(trend.width(), spare.width()));
        const std::string where = !place.intersects(window)    ? (place.top() > window.bottom() ? "under" : "beside")
                                  : spare.contains(place) ? "over"
                                                          : "over a button";
        EXPECT_EQ(where, c.where);
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
// window, or docked in it; never over it.
TEST(WindowPlacement, TheSessionOpensThePanelWhereItCoversNothing) {
    test::WindowFixture f(/*simulate=*/true, /*enginePanel=*/true);
    f.session->show();
    QWidget* panel = f.session->enginePanel();
    ASSERT_NE(panel, nullptr);
    QCoreApplication::processEvents();
    const QRect screen = f.window().screen()->availableGeometry();
    if (f.window().dockedPanel()) {
        EXPECT_TRUE(f.window().isAncestorOf(panel));
    } else {
        EXPECT_FALSE(panel->frameGeometry().intersects(f.window().frameGeometry()))
            << "screen " << screen.width() << "x" << screen.height();
    }
}

// Docked on a 1024x768 screen: a handle in the window's right side, the window
// still within the screen; opened, the panel lies in the work area, under every
// button row of the fixed area.
TEST(WindowPlacement, TheDockedPanelOpensInTheWindowsRightSide) {
    test::WindowFixture f(/*simulate=*/true, /*enginePanel=*/true);
    QWidget* panel = f.session->enginePanel();
    ASSERT_NE(panel, nullptr);
    f.window().dockPanel(panel, QStringLiteral("Sanal motor"));
    f.window().resize(1024, 768);
    f.window().show();
    QCoreApplication::processEvents();
    qt::DockedPanel* docked = f.window().dockedPanel();
    ASSERT_NE(docked, nullptr);
    EXPECT_LE(f.window().minimumSizeHint().width(), 1024);
    EXPECT_EQ(f.window().size(), QSize(1024, 768));
    QWidget* handle = docked->handle();
    const QRect handleAt(handle->mapTo(&f.window(), QPoint(0, 0)), handle->size());
    EXPECT_TRUE(f.window().rect().contains(handleAt));
    EXPECT_GE(handleAt.left(), 1024 - 40);  // at the right edge
    EXPECT_FALSE(docked->isOpen());
    EXPECT_FALSE(panel->isVisible());

    static_cast<QAbstractButton*>(handle)->click();
    QCoreApplication::processEvents();
    ASSERT_TRUE(docked->isOpen());
    EXPECT_TRUE(panel->isVisible());
    const QRect panelAt(panel->mapTo(&f.window(), QPoint(0, 0)), panel->size());
    EXPECT_TRUE(f.window().rect().contains(panelAt.topLeft()));
    // Every button of the fixed area stays clear.
    for (const char* name : {"ButonEğri", "ButonSetup", "ButonAyar", "ComOpenButon", "ExitButon", "ButonTrend"}) {
        QWidget* button = f.window().widgetFor(name);
        const QRect at(button->mapTo(&f.window(), QPoint(0, 0)), button->size());
        EXPECT_FALSE(at.intersects(panelAt)) << name;
    }
    // A picture for a person to look at, beside the layout test's.
    f.window().grab().save(QString::fromStdString(
        curve::Utf8FromPath(std::filesystem::path(GASECU_BIN).parent_path() / "window-1024x768-docked-panel.png")));
    static_cast<QAbstractButton*>(handle)->click();
    EXPECT_FALSE(docked->isOpen());
    f.window().grab().save(QString::fromStdString(
        curve::Utf8FromPath(std::filesystem::path(GASECU_BIN).parent_path() / "window-1024x768-docked-closed.png")));
}

// The trend button opens the trend window where it covers no control of the
// window, on each of the three screens.
TEST(WindowPlacement, TheTrendWindowOpensClearOfTheControls) {
    test::WindowFixture f;
    const QRect screen = f.window().screen()->availableGeometry();
    SCOPED_TRACE(testing::Message() << "screen " << screen.width() << "x" << screen.height());
    f.window().resize(1024, 768);
    f.window().move(screen.topLeft());
    f.window().show();
    QCoreApplication::processEvents();
    for (const char* screenButton : {"ButonEğri", "ButonSetup", "ButonAyar"}) {
        SCOPED_TRACE(screenButton);
        f.widget<QPushButton>(screenButton)->click();
        QCoreApplication::processEvents();
        f.widget<QPushButton>("ButonTrend")->click();
        QCoreApplication::processEvents();
        QWidget* trend = f.window().trendWindow();
        ASSERT_TRUE(trend->isVisible());
        const QRect trendAt = trend->frameGeometry();
        // The test screen (800x800) is narrower than the window: on it or on the window.
        EXPECT_TRUE(screen.united(f.window().frameGeometry()).contains(trendAt));
        for (QWidget* control : f.window().findChildren<QWidget*>()) {
            if (!control->isVisible() || control->window() != &f.window()) continue;
            if (!qobject_cast<QAbstractButton*>(control) && !qobject_cast<QLineEdit*>(control) &&
                !qobject_cast<QComboBox*>(control))
                continue;
            const QRect at(control->mapToGlobal(QPoint(0, 0)), control->size());
            EXPECT_FALSE(at.intersects(trendAt)) << control->objectName().toStdString();
        }
        trend->close();
        QCoreApplication::processEvents();
        ASSERT_FALSE(trend->isVisible());
    }
}

}  // namespace
}  // namespace gasecu
