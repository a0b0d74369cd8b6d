#pragma once
// The one Qt application object of the Qt test program. gtest_main owns main(), so
// tests call EnsureQtApp() before they touch a QObject. It is a QApplication, so
// widget tests can share it; without a display it runs on the offscreen platform.
#include <QApplication>

namespace gasecu::test {

// Created on the first call and kept for the whole test program.
QApplication& EnsureQtApp();

}  // namespace gasecu::test
