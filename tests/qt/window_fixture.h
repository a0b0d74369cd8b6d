#pragma once
// A window of the tool with its form, under the offscreen platform, in a
// temporary program directory; the virtual ECU on port 1 when simulated.
#include <gtest/gtest.h>

#include <cstddef>
#include <memory>
#include <string>

#include "window/main_window.h"
#include "window/session.h"
#include "qt/qt_test_app.h"
#include "support/temp_dir.h"

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

struct WindowFixture {
    explicit WindowFixture(bool simulate = false, bool enginePanel = false) {
        EnsureQtApp();
        qt::SessionOptions o;
        o.programDirectory = dir.path();
        o.userDataDirectory = dir.path() / "user";
        o.simulate = simulate;
        o.simulatedPortNumber = 1;
        o.showEnginePanel = enginePanel;
        session = std::make_unique<qt::Session>(std::move(o));
    }
    qt::MainWindow& window() { return session->window(); }
    Form1Korvane& form() { return session->form(); }
    template <typename W>
    W* widget(const std::string& name) {
        auto* w = qobject_cast<W*>(window().widgetFor(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    TempDir dir;
    std::unique_ptr<qt::Session> session;
};

}  // namespace gasecu::test
