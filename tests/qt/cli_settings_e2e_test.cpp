// End to end, one real run per command family: the settings, fault and factory
// commands of the gasecu program against gasecu-sim on a pseudo-terminal, through
// the real serial wrapper, timers and process exit. Their scenarios run in process
// on the virtual clock (cli_settings_command_test.cpp).
#include <gtest/gtest.h>

#include <string>

#include "qt/command_trace.h"
#include "qt/gasecu_process.h"
#include "qt/qt_test_app.h"
#include "qt/sim_process.h"

namespace gasecu {
namespace {

using test::Gasecu;
using test::Ports;
using Sim = test::SimProcess;

// set: a typed entry (with a decimal comma) and a list entry, confirmed and read
// back; every traced frame, the last one included, reached the controller before
// the port closed.
TEST(CliSettingsEndToEnd, SetWritesAsTheWindowDoesAndReadsBack) {
    test::EnsureQtApp();
    Sim ecu({"--show-received"});
    ASSERT_FALSE(ecu.path().empty());
    Gasecu run(QStringList{"set", "--lang", "en", "--trace", "min-pressure=1,20", "advance=1.25"} + Ports({&ecu}));
    ASSERT_EQ(run.finish(60000), 0) << run.err();
    EXPECT_EQ(run.out(),
              "coils=2\nswitch-rpm=850\nswitch-temp=30.1\nmin-pressure=1.20\nleak-pressure=0.60\nadvance=1.25\n");
    test::ExpectTheEcuReceivedEveryTracedFrame(ecu, run.err());
}

TEST(CliSettingsEndToEnd, FaultsPrintsTheRecords) {
    test::EnsureQtApp();
    Sim ecu({"--set", "66=3", "--set", "68=12", "--set", "69=1", "--show-received"});
    ASSERT_FALSE(ecu.path().empty());
    Gasecu run(QStringList{"faults", "--lang", "en", "--trace"} + Ports({&ecu}));
    ASSERT_EQ(run.finish(30000), 0) << run.err();
    EXPECT_EQ(run.out(), "gas-valve-relay=3\ninjector-relay=0\nlow-pressure=12\nconnection-error=1\n");
    test::ExpectTheEcuReceivedEveryTracedFrame(ecu, run.err());
}

TEST(CliSettingsEndToEnd, FactoryResetLoadsTheFactoryValuesAndPrintsThem) {
    test::EnsureQtApp();
    Sim ecu({"--set", "47=100", "--set", "31=4", "--set", "53=90"});
    Gasecu run(QStringList{"factory-reset", "--yes", "--lang", "en"} + Ports({&ecu}));
    ASSERT_EQ(run.finish(110000), 0) << run.err();
    EXPECT_EQ(run.out(),
              "coils=2\nswitch-rpm=850\nswitch-temp=30.1\nmin-pressure=0.70\nleak-pressure=0.60\nadvance=0.20\n");
}

}  // namespace
}  // namespace gasecu
