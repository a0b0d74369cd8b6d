#pragma once
// The one Qt application object of the Qt test program, and the bounded waits the
// Qt tests turn the event loop with. gtest_main owns main(), so tests call
// EnsureQtApp() before they touch a QObject. It is a QApplication, so widget tests
// can share it; without a display it runs on the offscreen platform.
#include <QApplication>
#include <functional>

namespace gasecu::test {

// Created on the first call and kept for the whole test program.
QApplication& EnsureQtApp();

// Turns the event loop, looking at the condition every few milliseconds, until it
// holds or timeoutMs have passed; returns whether it held. The bound is what a
// loaded machine may need, never the time the test expects.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs);

// Turns the event loop (sleeping while there is nothing to do) for a fixed time:
// for checking that something does NOT happen meanwhile.
void RunEventLoopFor(int ms);

}  // namespace gasecu::test
