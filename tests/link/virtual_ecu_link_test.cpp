// The link against the virtual controller: found on COM4, curve read whole.
#include <gtest/gtest.h>

#include <memory>

#include "support/temp_dir.h"
#include "virtual_ecu.h"
#include "virtual_port.h"
#include "virtual_time_runner.h"

namespace gasecu {
namespace {

TEST(VirtualEcuLink, ConnectsOnCom4AndReadsTheCurveIn25Ticks) {
    test::TempDir dir;
    // The runner watches the form's timers: it must go first, before the form.
    auto runnerOwner = std::make_unique<sim::VirtualTimeRunner>();
    sim::VirtualTimeRunner& runner = *runnerOwner;
    sim::VirtualPort port(runner);
    sim::VirtualEcu ecu;
    port.attachPeer(4, &ecu);
    port.setSentObserver([&](int n, const Bytes& b) { runner.recordSent(n, b); });
    Form1Korvane form({dir.path(), dir.path() / "user", &port, nullptr, '.'});
    runner.attach(form);
    form.Form_Load();
    form.LanguageIndex = 1;

    form.ComOpenButon_Click();
    ASSERT_TRUE(runner.runUntil([&] { return form.LinkUp; }, 20000));
    EXPECT_EQ(runner.nowMs(), 8000);
    runner.runFor(1000);
    EXPECT_NE(form.TextMotorDevirHızı.text, "");

    form.ButonEcuOku_Click();
    runner.runFor(25 * 500);
    EXPECT_EQ(form.SequencerState, 8);
    for (int p = 1; p <= 6; ++p) EXPECT_EQ(form.CurveTable[1][p], ecu.memory().curveBlock(10)[p - 1]);
    for (int band = 1; band <= 6; ++band)
        for (int p = 1; p <= 18; ++p)
            EXPECT_EQ(form.CurveTable[band + 2][p], ecu.memory().bandLevel(band, p)) << band << "/" << p;
    runnerOwner.reset();
}

}  // namespace
}  // namespace gasecu
