// The random-use soak: see soak_session.h for what a session does and checks.
//
// CI runs the seeds below for a bounded stretch each. Longer and other runs:
//   GASECU_SOAK_MINUTES=600            virtual minutes per seed (default 180, 60 under
//                                      the sanitizers)
//   GASECU_SOAK_SEED=17                replay one seed (RandomUseSoak.SeedFromEnvironment)
//   GASECU_SOAK_SEEDS=100              seeds 1..100, one after the other (same test)
// A failing seed is printed with the moment, the broken rule, the actions before
// it and the command that replays it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <string>

#include "soak/soak_session.h"

namespace gasecu::test {
namespace {

constexpr double kDefaultMinutes = GASECU_SOAK_DEFAULT_MINUTES;

double MinutesPerSeed() {
    const char* text = std::getenv("GASECU_SOAK_MINUTES");
    const double minutes = text ? std::atof(text) : 0;
    return minutes > 0 ? minutes : kDefaultMinutes;
}

void Soak(std::uint32_t seed) {
    const double minutes = MinutesPerSeed();
    SoakSession session(seed, GASECU_SHIPPED_REFERENCE);
    const auto failure = session.run(minutes * 60000);
    const SoakFigures& f = session.figures();
    std::cout << "soak seed " << seed << ": " << f.virtualMs / 3600000.0 << " virtual hours, " << f.actions
              << " actions, " << f.sequencerTicks << " sequencer ticks, " << f.framesSent << " frames, "
              << f.lineFaults << " spoiled replies, " << f.quietPhases << " returns to polling (longest "
              << f.longestReturnToPollingMs / 1000.0 << " s)\n";
    EXPECT_FALSE(failure) << *failure << "replay: GASECU_SOAK_SEED=" << seed << " GASECU_SOAK_MINUTES=" << minutes
                          << " gasecu_tests --gtest_filter=RandomUseSoak.SeedFromEnvironment";
}

// A few seeds every CI run: each a different fitter on a different line.
class RandomUseSoakSeed : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(RandomUseSoakSeed, EveryRuleHoldsAfterEveryEvent) { Soak(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Seeds, RandomUseSoakSeed, ::testing::Values(1u, 2u, 3u, 4u));
// Seeds that once broke a rule, kept as they were found:
//   9: the calibration screen reopened during a run offered start instead of stop,
//      so a run waiting for the engine could not be ended.
INSTANTIATE_TEST_SUITE_P(FoundFaults, RandomUseSoakSeed, ::testing::Values(9u));

TEST(RandomUseSoak, SeedFromEnvironment) {
    const char* one = std::getenv("GASECU_SOAK_SEED");
    const char* many = std::getenv("GASECU_SOAK_SEEDS");
    if (!one && !many) GTEST_SKIP() << "set GASECU_SOAK_SEED=N or GASECU_SOAK_SEEDS=N";
    if (one) Soak(static_cast<std::uint32_t>(std::strtoul(one, nullptr, 10)));
    if (many)
        for (std::uint32_t seed = 1, last = static_cast<std::uint32_t>(std::strtoul(many, nullptr, 10)); seed <= last;
             ++seed)
            Soak(seed);
}

}  // namespace
}  // namespace gasecu::test
