#pragma once
// A window of the tool with its form, under the offscreen platform, in a
// temporary program directory; the virtual ECU on port 1 when simulated.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/qt/main_window.h"
#include "platform/qt/session.h"
#include "qt/qt_test_app.h"
#include "support/temp_dir.h"

namespace gasecu::test {

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
