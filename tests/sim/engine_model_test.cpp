#include <gtest/gtest.h>

#include <cmath>

#include "tool_frames.h"
#include "virtual_ecu.h"

namespace gasecu::sim {
namespace {

const Bytes kGas{144, 4, 154, 10};
const Bytes kPetrol{132, 4, 142, 10};
const Bytes kCalBegin{155, 4, 165, 10};
const Bytes kCalPetrol{111, 4, 121, 10};
const Bytes kCalGas{122, 4, 132, 10};
const Bytes kCalEnd{156, 4, 166, 10};

struct Live {
    int fuel;
    double petrolMs, gasMs, rpm, reducerC;
};

Live Sample(VirtualEcu& ecu, double nowMs) {
    auto chunks = ecu.onBytes(test::kLive, nowMs);
    EXPECT_EQ(chunks.size(), 1u);
    const Bytes& r = chunks.at(0).bytes;
    int period = r[6] + 256 * r[7];
    return {r[1], (r[2] + 256 * r[3]) / 250.0, (r[4] + 256 * r[5]) / 244.16, 15e6 / period,
            (256 - r[10]) * 0.407};
}

TEST(EngineModel, EditingTheCurveChangesTheGasTime) {
    VirtualEcu ecu(3);
    ecu.setEngineSpeed(2100);  // band 2, stored as block 12
    Live before = Sample(ecu, 0);
    // Raise every rise of band 2 by 4 units: at t ms the level rises by 4 x t units
    // of 0.05 ms (about 0.6 ms of gas time at 3 ms of petrol time).
    std::array<std::uint8_t, 18> rises = ecu.memory().curveBlock(12);
    for (auto& r : rises) r += 4;
    ecu.onBytes(test::CurveBlockWriteFrame(12, rises), 1);
    Live after = Sample(ecu, 2);
    double expectedRise = 4 * after.petrolMs * 0.05;
    EXPECT_NEAR(after.gasMs - before.gasMs, expectedRise, 0.05);
    // Another band's block does not touch the gas time at this speed.
    std::array<std::uint8_t, 18> other = ecu.memory().curveBlock(15);
    for (auto& r : other) r += 20;
    ecu.onBytes(test::CurveBlockWriteFrame(15, other), 3);
    EXPECT_NEAR(Sample(ecu, 4).gasMs, after.gasMs, 0.03);
}

TEST(EngineModel, FuelFollowsTheCommandsWithABriefChangeOver) {
    VirtualEcu ecu;
    ecu.setEngineSpeed(2000);
    EXPECT_EQ(Sample(ecu, 0).fuel, 2);
    ecu.onBytes(kGas, 100);
    EXPECT_EQ(Sample(ecu, 200).fuel, 3);
    EXPECT_EQ(Sample(ecu, 2000).fuel, 1);
    ecu.onBytes(kPetrol, 2100);
    EXPECT_EQ(Sample(ecu, 2200).fuel, 2);
    ecu.onBytes(kCalGas, 2300);
    EXPECT_EQ(Sample(ecu, 2400).fuel, 3);
    EXPECT_EQ(Sample(ecu, 4000).fuel, 1);
    ecu.onBytes(kCalPetrol, 4100);
    EXPECT_EQ(Sample(ecu, 4200).fuel, 2);
}

TEST(EngineModel, WarmsUpFromColdOverMinutesAndHoldsTheSpeedClosely) {
    VirtualEcu ecu(11);
    ecu.setEngineSpeed(2100);
    Live cold = Sample(ecu, 0);
    EXPECT_LT(cold.reducerC, 20);
    double last = cold.reducerC;
    for (int s = 10; s <= 600; s += 10) {
        Live l = Sample(ecu, s * 1000.0);
        EXPECT_GE(l.reducerC, last - 0.5);
        EXPECT_NEAR(l.rpm, 2100, 2100 * 0.011);
        last = l.reducerC;
        if (s == 30) {
            EXPECT_LT(l.reducerC, 30);  // not warm within half a minute
        }
    }
    EXPECT_GT(last, 60);  // warm after ten minutes
}

TEST(EngineModel, SameSeedSameEngine) {
    VirtualEcu a(42), b(42), c(43);
    for (VirtualEcu* e : {&a, &b, &c}) e->setEngineSpeed(2100);
    bool differs = false;
    for (int i = 0; i < 50; ++i) {
        double t = i * 500.0;
        auto ra = a.onBytes(test::kLive, t), rb = b.onBytes(test::kLive, t), rc = c.onBytes(test::kLive, t);
        EXPECT_EQ(ra[0].bytes, rb[0].bytes);
        differs |= ra[0].bytes != rc[0].bytes;
    }
    EXPECT_TRUE(differs);
}

// The tool's calibration in short: petrol time on petrol, then on gas, and a
// correction of d / 0.00407 steps until they are within 0.1 ms.
int CalibrationIterations(VirtualEcu& ecu, double& slope) {
    double t = 0;
    auto settle = [&](double ms) {
        Live l{};
        for (double end = t + ms; t < end; t += 500) l = Sample(ecu, t);
        return l;
    };
    ecu.onBytes(kPetrol, t);
    ecu.onBytes(kCalBegin, t);
    Live start = settle(1500);
    double startRatio = start.petrolMs / start.gasMs;
    ecu.onBytes(kCalPetrol, t);
    double onPetrol = settle(4000).petrolMs;
    ecu.onBytes(kCalGas, t);
    settle(6000);
    int iterations = 0;
    while (iterations <= 10) {
        double onGas = settle(6000).petrolMs;
        double d = std::abs(onGas - onPetrol);
        ++iterations;
        if (d <= 0.1) break;
        int steps = std::min(255, static_cast<int>(d / 0.00407));
        if (onPetrol < onGas) ecu.onBytes({99, 5, static_cast<std::uint8_t>(steps), 0, 10}, t);
        else ecu.onBytes({99, 5, static_cast<std::uint8_t>(steps), 255, 10}, t);
    }
    ecu.onBytes(kCalPetrol, t);
    Live end = settle(2000);
    slope = startRatio / (end.petrolMs / end.gasMs);
    ecu.onBytes(kCalEnd, t);
    return iterations;
}

TEST(EngineModel, CalibrationConvergesInAFewIterationsUnlessTheNozzleIsSmall) {
    for (std::uint32_t seed : {1u, 2u, 3u, 4u}) {
        VirtualEcu ecu(seed);
        ecu.setEngineSpeed(2100);
        double slope = 0;
        int n = CalibrationIterations(ecu, slope);
        EXPECT_GE(n, 2) << seed;  // the mismatch starts above 0.35 ms
        EXPECT_LE(n, 4) << seed;
        EXPECT_GT(slope, 1.05) << seed;  // the run enriched the gas: the curve gets steeper
    }
    VirtualEcu small(1);
    small.setEngineSpeed(2100);
    small.setSmallNozzle(true);
    double slope = 0;
    EXPECT_EQ(CalibrationIterations(small, slope), 11);
    EXPECT_NEAR(slope, 1.0, 0.02);
}

TEST(EngineModel, CorrectionsOutsideACalibrationChangeNothing) {
    VirtualEcu ecu(5);
    ecu.setEngineSpeed(2100);
    double mismatch = ecu.engine().mismatch();
    ecu.onBytes({99, 5, 200, 0, 10}, 0);
    EXPECT_EQ(ecu.engine().mismatch(), mismatch);
    EXPECT_EQ(ecu.counters().corrections, 1u);
    ecu.onBytes(kCalBegin, 10);
    ecu.onBytes({99, 5, 100, 0, 10}, 20);
    EXPECT_NEAR(ecu.engine().mismatch(), mismatch - 100 * 0.00407 * EngineModel::kCorrectionEfficiency, 1e-9);
    ecu.onBytes(kCalEnd, 30);
    ecu.onBytes({99, 5, 100, 0, 10}, 40);
    EXPECT_NEAR(ecu.engine().mismatch(), mismatch - 100 * 0.00407 * EngineModel::kCorrectionEfficiency, 1e-9);
}

}  // namespace
}  // namespace gasecu::sim
