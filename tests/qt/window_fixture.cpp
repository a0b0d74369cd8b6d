// The window fixture: a session on the virtual-time loop (or the real one) and the
// waits that turn it, with Qt's events processed between virtual steps.
#include "qt/window_fixture.h"

#include <QComboBox>
#include <QCoreApplication>
#include <algorithm>
#include <chrono>

namespace gasecu::test {

namespace {

const LocalTimeMs kWorkshopMorning =
    std::chrono::local_days{std::chrono::year{2026} / 12 / 10} + std::chrono::hours{9};

// Virtual time between two turns of Qt's event queue: one redraw period, so the
// widgets catch up about as often as the plot is drawn.
constexpr double kStepMs = 25;

}  // namespace

WindowFixture::WindowFixture(bool simulate, bool enginePanel, Clocking clocking)
    : clocking(clocking), clock(runner, kWorkshopMorning) {
    EnsureQtApp();
    qt::SessionOptions o;
    o.programDirectory = dir.path();
    o.userDataDirectory = dir.path() / "user";
    o.simulate = simulate;
    o.simulatedPortNumber = 1;
    o.showEnginePanel = enginePanel;
    if (clocking == Clocking::Virtual) {
        o.loop = &loop;
        o.clock = &clock;
    }
    session = std::make_unique<qt::Session>(std::move(o));
}

bool WindowFixture::waitUntil(const std::function<bool()>& condition, int ms) {
    if (clocking == Clocking::Real) return WaitUntil(condition, ms);
    const double end = runner.nowMs() + ms;
    for (;;) {
        QCoreApplication::processEvents();
        if (condition()) return true;
        const double left = end - runner.nowMs();
        if (left <= 0) return false;
        runner.runUntil(condition, std::min(kStepMs, left));
    }
}

void WindowFixture::chooseLanguage(int index) {
    auto* list = widget<QComboBox>("Dilsec");
    list->setCurrentIndex(index);
    emit list->activated(index);
}

void WindowFixture::runFor(int ms) {
    if (clocking == Clocking::Real) {
        RunEventLoopFor(ms);
        return;
    }
    const double end = runner.nowMs() + ms;
    for (double left = ms; left > 0; left = end - runner.nowMs()) {
        runner.runFor(std::min(kStepMs, left));
        QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
}

}  // namespace gasecu::test
