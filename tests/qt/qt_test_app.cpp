#include "qt/qt_test_app.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QWidget>
#include <QTimer>
#include <cstdlib>

namespace gasecu::test {

QApplication& EnsureQtApp() {
    static QApplication* app = [] {
        // No platform chosen and no display to show on: draw offscreen rather than abort.
        const bool platformChosen = std::getenv("QT_QPA_PLATFORM") != nullptr;
        const bool displayPresent = std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
        if (!platformChosen && !displayPresent) qputenv("QT_QPA_PLATFORM", "offscreen");
        // QApplication keeps argc by reference and argv for its whole life.
        static int argc = 1;
        static char name[] = "gasecu_qt_tests";
        static char* argv[] = {name, nullptr};
        // Never destroyed: tearing Qt down during static destruction is not safe.
        return new QApplication(argc, argv);
    }();
    return *app;
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    if (condition()) return true;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (condition()) loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    poll.start(5);
    loop.exec();
    return condition();
}

ModalAnswer::ModalAnswer(std::function<void(QWidget* dialog)> act, int timeoutMs)
    : ModalAnswer(std::vector<std::function<void(QWidget*)>>{std::move(act)}, timeoutMs) {}

ModalAnswer::ModalAnswer(std::vector<std::function<void(QWidget* dialog)>> acts, int timeoutMs)
    : acts_(std::move(acts)), poll_(new QTimer) {
    QElapsedTimer clock;
    clock.start();
    QObject::connect(poll_, &QTimer::timeout, poll_, [this, clock, timeoutMs] {
        QPointer<QWidget> dialog = QApplication::activeModalWidget();
        // The dialog just answered may still be on its way out: wait for the next.
        if (dialog && dialog == last_) dialog = nullptr;
        const bool late = clock.elapsed() > timeoutMs;
        if (!dialog && !late) return;
        if (!dialog || late || answered_ + 1 >= acts_.size()) poll_->stop();
        if (!dialog) return;
        last_ = dialog;
        const std::size_t index = answered_++;
        if (!late) acts_[index](dialog);
        // Whatever act did, no dialog is left behind blocking the test.
        if (dialog && dialog->isVisible()) QMetaObject::invokeMethod(dialog.data(), "reject", Qt::QueuedConnection);
    });
    poll_->start(5);
}

ModalAnswer::~ModalAnswer() { delete poll_; }

void RunEventLoopFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace gasecu::test
