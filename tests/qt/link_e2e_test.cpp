// End to end in real time: the window's state and handlers on real QTimers, the
// tool's serial wrapper on the pseudo-terminal of a gasecu-sim child process. The
// connect button must find the controller, read its settings pages, bring the link
// up and show decoded live values, as it does with a controller on a USB adapter.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "app/form1korvane.h"
#include "runtime/qt_serial_port.h"
#include "runtime/qt_timers.h"
#include "qt/qt_test_app.h"
#include "qt/sim_process.h"
#include "support/temp_dir.h"

namespace gasecu {
namespace {

using test::SimProcess;
using test::WaitUntil;

TEST(LinkEndToEnd, ConnectsToTheSimulatorAndShowsItsEngineSpeed) {
    test::EnsureQtApp();
    const double rpm = 2400;
    SimProcess sim({"--seed", "3", "--rpm", QString::number(rpm)});
    ASSERT_FALSE(sim.path().empty()) << "gasecu-sim printed no device path";

    test::TempDir dir;
    // The pseudo-terminal is named on the command line, so it is port number 1.
    QtSerialPort port({sim.path()});
    ASSERT_EQ(port.deviceName(1), sim.path());
    Form1Korvane form({dir.path(), dir.path() / "user", &port, nullptr, '.'});
    // The timers go before the form: they stop watching its controls when destroyed.
    auto timers = std::make_unique<qt::QtTimers>(nullptr);
    timers->attachFormTimers(form);

    form.Form_Load();
    form.LanguageIndex = 1;
    form.ComOpenButon_Click();

    // Found on COM1 at its first check, then the six pages and step 7: about 5 s.
    bool up = WaitUntil([&] { return form.LinkUp && form.SequencerState == 8 && form.EngineSpeed > 0; }, 15000);
    ASSERT_TRUE(up) << "status line: " << form.KomutSatırı.text << ", step " << form.SequencerState;
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(port.portNumber(), 1);
    EXPECT_EQ(form.KomutSatırı.text, "CONNECTED : COM1");
    // The controller's factory coil count (2) was read from page 1 before any live value.
    EXPECT_EQ(form.Coil.text, "2");
    EXPECT_EQ(form.RpmFactor, 1);
    // The engine wanders within about one percent of the speed it is held at.
    EXPECT_NEAR(form.EngineSpeed, rpm, rpm * 0.011);
    EXPECT_FALSE(form.TextMotorDevirHızı.text.empty());
    EXPECT_EQ(form.TextMotorDevirHızı.text, std::to_string(std::lround(form.EngineSpeed)));
    EXPECT_TRUE(form.ImgBenzin.visible);  // the simulator's engine starts on petrol

    // The exit button stops the real timers and closes the device.
    form.ExitButon_Click();
    EXPECT_FALSE(port.isOpen());
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(timers->timer(i)->isActive()) << "Timer" << i + 1;
}

}  // namespace
}  // namespace gasecu
