#pragma once
// A window of the tool with its form, under the offscreen platform, in a
// temporary program directory; the virtual ECU on port 1 when simulated. The
// form's timers, the virtual ECU's replies and the link watch run on virtual time
// (the widgets stay real Qt widgets, their events processed between steps), so a
// calibration of a minute takes as long as its handlers take. A fixture made with
// Clocking::Real runs on the program's own loop, real QTimers and milliseconds.
#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "window/main_window.h"
#include "window/session.h"
#include "qt/qt_test_app.h"
#include "support/temp_dir.h"
#include "virtual_clock.h"
#include "virtual_session_loop.h"
#include "virtual_time_runner.h"

namespace gasecu::test {

// A curve the ECU can take and the simulator does not hold (its curve is flat):
// idle level 25, band b rising by b a point from 28.
inline CurveRows DistinctCurve() {
    CurveRows c{};
    const double head[] = {4, 25, 116, 110, 134, 122};
    for (std::size_t p = 1; p <= 6; ++p) c[1][p] = head[p - 1];
    for (std::size_t p = 1; p <= 18; ++p) c[2][p] = 30.0 * static_cast<double>(p);
    for (std::size_t r = 3; r <= 8; ++r)
        for (std::size_t p = 1; p <= 18; ++p) c[r][p] = 28 + static_cast<double>((r - 2) * p);
    return c;
}

enum class Clocking { Virtual, Real };

struct WindowFixture {
    explicit WindowFixture(bool simulate = false, bool enginePanel = false, Clocking clocking = Clocking::Virtual);
    qt::MainWindow& window() { return session->window(); }
    Form1Korvane& form() { return session->form(); }
    template <typename W>
    W* widget(const std::string& name) {
        auto* w = qobject_cast<W*>(window().widgetFor(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    // Lets time pass until the condition holds or `ms` have passed (virtual or
    // real, as the fixture keeps time); returns whether it held. The widgets have
    // caught up with the form when it returns.
    bool waitUntil(const std::function<bool()>& condition, int ms);
    // Lets `ms` pass: the timers tick, replies arrive, the widgets catch up.
    void runFor(int ms);
    // Picks a language in the language list as the fitter does (0 Turkish, 1 English).
    void chooseLanguage(int index);

    const Clocking clocking;
    // Declared before the session, which runs on them: they go after it.
    sim::VirtualTimeRunner runner;
    sim::VirtualClock clock;
    sim::VirtualSessionLoop loop{runner};
    TempDir dir;
    std::unique_ptr<qt::Session> session;
};

}  // namespace gasecu::test
