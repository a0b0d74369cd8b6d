// The live poll against the virtual controller: what the engine does is what the
// dashboard shows, for every coil count, and the fuel pictures follow the engine
// through a change-over.
#include <gtest/gtest.h>

#include "link/command_frames.h"
#include "support/link_harness.h"

namespace gasecu {
namespace {

// The tick sends the request and the answer arrives a few ms later: a test that
// stops just after a tick sees the reply to that tick's request.
constexpr double kReplyMargin = 100;

TEST(LivePoll, EngineSpeedMatchesTheEngineForEveryCoilCount) {
    // The controller puts the coil count's factor into the ignition period; the tool
    // takes it back out with the factor it read from page 1. Only the rounding of
    // the period to a whole number may stand between the two speeds.
    for (int coils : {1, 2, 3, 4, 6, 12}) {
        for (double rpm : {850.0, 3000.0, 6500.0}) {
            test::LinkHarness h;
            h.ecu.setSetting(31, coils);
            h.ecu.setEngineSpeed(rpm);
            ASSERT_TRUE(h.connect());
            h.runner.runFor(1000 + kReplyMargin);
            int period = sim::VirtualEcu::IgnitionPeriod(h.ecu.engineSpeed(), coils);
            double rounding = h.ecu.engineSpeed() * 0.5 / period + 1e-9;
            EXPECT_NEAR(h.form.EngineSpeed, h.ecu.engineSpeed(), rounding) << coils << " coils, " << rpm;
            EXPECT_NEAR(h.form.EngineSpeed, rpm, rpm * 0.011) << coils << " coils, " << rpm;
            EXPECT_EQ(h.form.TextMotorDevirHızı.text, std::to_string(static_cast<long>(std::lround(h.form.EngineSpeed))));
        }
    }
}

TEST(LivePoll, PressureTemperaturesAndInjectionTimesFollowTheEngine) {
    test::LinkHarness h;
    h.ecu.setEngineSpeed(2000);
    h.ecu.setGasPressure(1.2);
    h.ecu.setReducerTemperature(62);
    h.ecu.setGasTemperature(31);
    h.ecu.engine().setPetrolTimeOnPetrol(4.5);
    ASSERT_TRUE(h.connect());
    h.runner.runFor(500 + kReplyMargin);
    EXPECT_NEAR(h.form.GasPressure, 1.2, 0.02);  // the sensor table's steps and a little ripple
    EXPECT_NEAR(h.form.ReducerTemperature, 62, 0.41);
    EXPECT_NEAR(h.form.GasTemperature, 31, 0.41);
    EXPECT_EQ(h.form.TextReduTemperature.text, "61.9");  // 62 °C in steps of 0.407
    // The injection times travel in 4 us and 1/244.16 ms units: exactly what was sent.
    EXPECT_DOUBLE_EQ(h.form.PetrolTime, h.ecu.lastPetrolTime());
    EXPECT_DOUBLE_EQ(h.form.GasTime, h.ecu.lastGasTime());
    EXPECT_NEAR(h.form.PetrolTime, 4.5, 0.02);
    EXPECT_GT(h.form.GasTime, 0);

    // The engine changes; the next poll shows it.
    h.ecu.setEngineSpeed(4000);
    h.ecu.setGasPressure(0.9);
    h.runner.runFor(500);
    EXPECT_NEAR(h.form.EngineSpeed, 4000, 45);
    EXPECT_NEAR(h.form.GasPressure, 0.9, 0.02);
}

TEST(LivePoll, FuelPicturesFollowTheChangeOverToGas) {
    test::LinkHarness h;
    ASSERT_TRUE(h.connect());
    h.runner.runFor(500 + kReplyMargin);
    EXPECT_TRUE(h.form.ImgBenzin.visible);  // the engine starts on petrol
    EXPECT_TRUE(h.form.LPGPic.visible);

    // The click shows gas at once; the next tick sends the gas command.
    h.form.LPGPic_Click();
    EXPECT_TRUE(h.form.ImgGaz.visible);
    double clicked = h.runner.nowMs();
    h.runner.runFor(500);
    EXPECT_EQ(h.runner.sentFrames().back().bytes, frames::kGasCommand);
    EXPECT_EQ(h.ecu.fuelState(), sim::FuelState::ChangingOver);

    // The next live reply says "changing over": the change-over picture replaces
    // the gas picture the click showed.
    h.runner.runFor(500);
    EXPECT_TRUE(h.form.ImgGazGeçiş.visible);
    EXPECT_FALSE(h.form.ImgGaz.visible);
    EXPECT_FALSE(h.form.ImgBenzin.visible);
    EXPECT_TRUE(h.form.BenzinPic.visible);
    EXPECT_FALSE(h.form.LPGPic.visible);

    // Once the engine runs on gas, a poll shows it.
    ASSERT_TRUE(h.runner.runUntil([&] { return h.form.ImgGaz.visible; }, 5000));
    EXPECT_LE(h.runner.nowMs() - clicked, 500 + sim::EngineModel::kChangeOverMs + 500 + 100);
    EXPECT_FALSE(h.form.ImgGazGeçiş.visible);
    EXPECT_EQ(h.ecu.fuelState(), sim::FuelState::Gas);

    // And back to petrol.
    h.form.BenzinPic_Click();
    h.runner.runFor(1000);
    EXPECT_EQ(h.ecu.fuelState(), sim::FuelState::Petrol);
    EXPECT_TRUE(h.form.ImgBenzin.visible);
    EXPECT_FALSE(h.form.ImgGaz.visible);
    EXPECT_TRUE(h.form.LPGPic.visible);
}

}  // namespace
}  // namespace gasecu
