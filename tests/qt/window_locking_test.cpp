// Locked controls: they look locked, and locking (or hiding) the control that has
// the keyboard focus never hands the focus to a button a stray key would press.
#include <gtest/gtest.h>

#include <QPushButton>
#include <string>
#include <variant>

#include "app/control_registry.h"
#include "window/control_widgets.h"
#include "window/event_table.h"
#include "qt/qt_test_app.h"
#include "qt/window_fixture.h"

namespace gasecu {
namespace {

using test::WindowFixture;

bool ActivateWindow(QWidget& w) {
    w.show();
    w.activateWindow();
    QApplication::setActiveWindow(&w);
    return test::WaitUntil([&] { return w.isActiveWindow(); }, 1000);
}

// The settings and fault reads lock the settings buttons and boxes while they
// run, whichever of them the fitter last used.
TEST(WindowLocking, TheFocusNeverPassesToAButtonWhenAReadLocksTheSettings) {
    struct Case {
        const char* focused;  // where the fitter's focus is
        const char* pressed;  // the read started
    };
    for (Case c : {Case{"ButonGenel", "ButonGenel"}, Case{"ButonTroubles", "ButonTroubles"},
                   Case{"SetPTransRPMTextBox", "ButonGenel"}, Case{"SetPXXPressLeakageTextBox", "ButonTroubles"}}) {
        SCOPED_TRACE(std::string(c.focused) + " / " + c.pressed);
        WindowFixture f;
        if (!ActivateWindow(f.window())) GTEST_SKIP() << "the platform cannot activate windows";
        f.widget<QPushButton>("ButonSetup")->click();
        f.window().widgetFor(c.focused)->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(f.window().widgetFor(c.focused)->hasFocus());
        f.widget<QPushButton>(c.pressed)->click();
        // Without a link the button reads nothing and locks nothing: lock as the
        // read does once it runs.
        f.window().runHandler([&] { f.form().SetSettingsControlsEnabled(false); });
        QCoreApplication::processEvents();
        ASSERT_FALSE(f.window().widgetFor(c.focused)->isEnabled());
        // The window keeps the focus: no control a stray Space or Enter would work.
        QWidget* focus = QApplication::focusWidget();
        EXPECT_EQ(focus, &f.window()) << "focus on " << (focus ? focus->objectName().toStdString() : "nothing");
    }
    // Nor can the keyboard reach the exit button at all.
    WindowFixture f;
    EXPECT_EQ(f.widget<QPushButton>("ExitButon")->focusPolicy(), Qt::NoFocus);
}

// Contrast between a button's caption and its face.
int Contrast(const QPalette& p, QPalette::ColorGroup group) {
    return std::abs(p.color(group, QPalette::ButtonText).lightness() - p.color(group, QPalette::Button).lightness());
}

TEST(WindowLocking, ALockedButtonLooksLocked) {
    WindowFixture f;
    f.window().show();
    f.widget<QPushButton>("ButonEğri")->click();
    const auto controls = ListControls(f.form());
    // A white screen button, one in the desktop's button colour, a grey band button.
    for (const char* name : {"ButonSetup", "ComOpenButon", "devir1000"}) {
        SCOPED_TRACE(name);
        auto* button = f.widget<QPushButton>(name);
        ASSERT_TRUE(button->isEnabled());
        const QImage unlocked = button->grab().toImage();
        auto* control = std::get<ButtonControl*>(FindControl(controls, name)->control);
        f.window().runHandler([&] { control->enabled = false; });
        ASSERT_FALSE(button->isEnabled());
        EXPECT_NE(button->grab().toImage(), unlocked);
        EXPECT_LT(Contrast(button->palette(), QPalette::Disabled), Contrast(button->palette(), QPalette::Active) - 40);
    }
    // The active screen button is locked and keeps its dark cyan.
    auto* active = f.widget<QPushButton>("ButonEğri");
    EXPECT_FALSE(active->isEnabled());
    EXPECT_EQ(active->palette().color(QPalette::Disabled, QPalette::Button), QColor(0, 64, 64));
    EXPECT_LT(Contrast(active->palette(), QPalette::Disabled), Contrast(active->palette(), QPalette::Active) - 40);
}

// A button whose press would do nothing never looks usable, whatever the form
// says; today every button of the window has its handler.
TEST(WindowLocking, AButtonWithoutAnActionIsShownLocked) {
    test::EnsureQtApp();
    ButtonControl idle;
    idle.enabled = true;
    QWidget parent;
    auto silent = qt::MakeControlWidget(ControlEntry{"NoAction", &idle, Container::Fixed}, &parent, {});
    silent->mirror();
    EXPECT_FALSE(silent->widget()->isEnabled());
    qt::WidgetEvents events;
    events.click = [] {};
    auto acting = qt::MakeControlWidget(ControlEntry{"Acts", &idle, Container::Fixed}, &parent, events);
    acting->mirror();
    EXPECT_TRUE(acting->widget()->isEnabled());

    WindowFixture f;
    for (const ControlEntry& e : ListControls(f.form())) {
        if (!std::holds_alternative<ButtonControl*>(e.control)) continue;
        const qt::ControlHandlers h = qt::HandlersFor(e.name);
        EXPECT_TRUE(h.click || h.mouseDown) << e.name << " has no action";
    }
}

}  // namespace
}  // namespace gasecu
