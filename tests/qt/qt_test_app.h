#pragma once
// The one Qt application object of the Qt test program, and the bounded waits the
// Qt tests turn the event loop with. gtest_main owns main(), so tests call
// EnsureQtApp() before they touch a QObject. It is a QApplication, so widget tests
// can share it; without a display it runs on the offscreen platform.
#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <cstddef>
#include <functional>
#include <vector>

namespace gasecu::test {

// Created on the first call and kept for the whole test program.
QApplication& EnsureQtApp();

// Turns the event loop, looking at the condition every few milliseconds, until it
// holds or timeoutMs have passed; returns whether it held. The bound is what a
// loaded machine may need, never the time the test expects.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs);

// Answers the next modal dialog (a file dialog, a Yes/No box) once it is open:
// the window's handler opens it with exec(), which returns only after `act` has
// answered it. Make one before the click that opens the dialog; it watches until
// it is destroyed. A dialog that `act` leaves open, or one still open after
// timeoutMs, is rejected so that the test fails instead of hanging.
class ModalAnswer {
public:
    explicit ModalAnswer(std::function<void(QWidget* dialog)> act, int timeoutMs = 10000);
    // Answers the next dialogs one after the other (a question, then the file
    // dialog it led to), each with its own act.
    explicit ModalAnswer(std::vector<std::function<void(QWidget* dialog)>> acts, int timeoutMs = 10000);
    ~ModalAnswer();
    ModalAnswer(const ModalAnswer&) = delete;
    ModalAnswer& operator=(const ModalAnswer&) = delete;
    // Whether a modal dialog opened (and was answered).
    bool opened() const { return answered_ > 0; }
    // How many dialogs were answered.
    std::size_t answered() const { return answered_; }

private:
    std::vector<std::function<void(QWidget*)>> acts_;
    QTimer* poll_;
    std::size_t answered_ = 0;
    QPointer<QWidget> last_;
};

// Turns the event loop (sleeping while there is nothing to do) for a fixed time:
// for checking that something does NOT happen meanwhile.
void RunEventLoopFor(int ms);

}  // namespace gasecu::test
