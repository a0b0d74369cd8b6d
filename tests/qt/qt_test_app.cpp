#include "qt/qt_test_app.h"

#include <cstdlib>

namespace gasecu::test {

QApplication& EnsureQtApp() {
    static QApplication* app = [] {
        // No platform chosen and no display to show on: draw offscreen rather than abort.
        const bool platformChosen = std::getenv("QT_QPA_PLATFORM") != nullptr;
        const bool displayPresent = std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
        if (!platformChosen && !displayPresent) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        // QApplication keeps argc by reference and argv for its whole life.
        static int argc = 1;
        static char name[] = "gasecu_qt_tests";
        static char* argv[] = {name, nullptr};
        // Never destroyed: tearing Qt down during static destruction is not safe.
        return new QApplication(argc, argv);
    }();
    return *app;
}

}  // namespace gasecu::test
