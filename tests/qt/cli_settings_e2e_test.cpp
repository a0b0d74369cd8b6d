// End to end: the settings and fault commands of the gasecu program against
// gasecu-sim on a pseudo-terminal, through the real serial wrapper and timers.
#include <gtest/gtest.h>

#include <string>

#include "qt/gasecu_process.h"
#include "qt/qt_test_app.h"
#include "qt/sim_process.h"

namespace gasecu {
namespace {

using test::Gasecu;
using test::Ports;
using Sim = test::SimProcess;

TEST(CliSettingsEndToEnd, SettingsPrintsWhatTheEcuHolds) {
    test::EnsureQtApp();
    // 100 x 10 rpm, 3 coils, 1.10 bar, advance word 562 (2.25 ms).
    Sim ecu({"--set", "47=100", "--set", "31=3", "--set", "51=110", "--set", "55=50", "--set", "56=2"});
    ASSERT_FALSE(ecu.path().empty());
    Gasecu run(QStringList{"settings", "--lang", "en"} + Ports({&ecu}));
    ASSERT_EQ(run.finish(30000), 0) << run.err();
    EXPECT_EQ(run.out(),
              "coils=3\nswitch-rpm=1000\nswitch-temp=30.1\nmin-pressure=1.10\nleak-pressure=0.60\nadvance=2.25\n");
}

TEST(CliSettingsEndToEnd, SetWritesAsTheWindowDoesAndReadsBack) {
    test::EnsureQtApp();
    Sim ecu;
    Gasecu run(QStringList{"set", "--lang", "en", "min-pressure=1,20", "coils=04", "advance=1.25", "switch-temp=60"} +
               Ports({&ecu}));
    ASSERT_EQ(run.finish(60000), 0) << run.err();
    EXPECT_EQ(run.out(),
              "coils=4\nswitch-rpm=850\nswitch-temp=59.8\nmin-pressure=1.20\nleak-pressure=0.60\nadvance=1.25\n");
}

TEST(CliSettingsEndToEnd, AValueTheEcuKeepsEndsWithStatusSix) {
    test::EnsureQtApp();
    Sim ecu({"--refuse", "53"});
    Gasecu run(QStringList{"set", "--lang", "en", "leak-pressure=0.80"} + Ports({&ecu}));
    ASSERT_EQ(run.finish(40000), 6) << run.err();
    EXPECT_NE(run.err().find("THE ECU DID NOT TAKE THE SETTING : LEAKAGE PRESSURE"), std::string::npos) << run.err();
    EXPECT_NE(run.out().find("leak-pressure=0.60\n"), std::string::npos);
}

// A line that brings a copy of every reply again a tick later: each request
// takes one reply, so what is printed is what the ECU holds.
TEST(CliSettingsEndToEnd, StrayCopiesOfRepliesAreDroppedAndShownInTheTrace) {
    test::EnsureQtApp();
    {
        Sim ecu({"--fault", "stray=1"});
        Gasecu run(QStringList{"set", "--lang", "en", "--trace", "leak-pressure=0.80", "coils=4"} + Ports({&ecu}));
        ASSERT_EQ(run.finish(60000), 0) << run.err();
        EXPECT_EQ(run.out(),
                  "coils=4\nswitch-rpm=850\nswitch-temp=30.1\nmin-pressure=0.70\nleak-pressure=0.80\nadvance=0.20\n");
        EXPECT_NE(run.err().find("-- dropped: "), std::string::npos) << run.err();
    }
}

// A coil count no coil choice has is not printed as a setting.
TEST(CliSettingsEndToEnd, ADoubtfulCoilCountEndsWithStatusFive) {
    test::EnsureQtApp();
    Sim ecu({"--set", "31=13"});
    Gasecu run(QStringList{"settings", "--lang", "en"} + Ports({&ecu}));
    ASSERT_EQ(run.finish(30000), 5) << run.err();
    EXPECT_TRUE(run.out().empty()) << run.out();
    EXPECT_NE(run.err().find("DOUBTFUL COIL COUNT : 13 ?"), std::string::npos) << run.err();
}

TEST(CliSettingsEndToEnd, BadValuesAreRefusedBeforeAnyPortIsOpened) {
    test::EnsureQtApp();
    struct Case {
        QStringList arguments;
        int status;
        std::string message;
    };
    // A port that does not exist: opening it would show in the message and cost a scan.
    const QStringList port{"--port", "/nonexistent/tty"};
    const Case cases[] = {
        {{"set", "coils=2.5"}, 4, "coils takes 1 - 4 (a whole number)"},
        {{"set", "coils=3", "switch-rpm=2100"}, 4, "switch-rpm takes 500 - 2000 rpm"},
        {{"set", "min-pressure=0,39"}, 4, "min-pressure takes 0.40 - 1.80 bar"},
        {{"set", "switch-temp=warm"}, 4, "switch-temp takes 19.9 - 96.1 °C"},
        {{"set", "advance=1.3"}, 4, "advance takes 0.20, 0.25, 0.50"},
        {{"set", "boost=2"}, 4, "unknown setting 'boost'"},
        {{"set"}, 2, "set needs at least one NAME=VALUE"},
        {{"factory-reset"}, 2, "confirm with --yes"},
        {{"faults", "--clear=yes"}, 2, "--clear takes no value"},
    };
    for (const Case& c : cases) {
        Gasecu run(c.arguments + QStringList{"--lang", "en"} + port);
        EXPECT_EQ(run.finish(10000), c.status) << c.arguments.join(' ').toStdString();
        EXPECT_NE(run.err().find(c.message), std::string::npos) << run.err();
        EXPECT_EQ(run.err().find("COM1"), std::string::npos) << run.err();
        EXPECT_TRUE(run.out().empty());
    }
}

TEST(CliSettingsEndToEnd, FaultsPrintsTheRecords) {
    test::EnsureQtApp();
    Sim ecu({"--set", "66=3", "--set", "68=12", "--set", "69=1"});
    Gasecu run(QStringList{"faults", "--lang", "en"} + Ports({&ecu}));
    ASSERT_EQ(run.finish(30000), 0) << run.err();
    EXPECT_EQ(run.out(), "gas-valve-relay=3\ninjector-relay=0\nlow-pressure=12\nconnection-error=1\n");
}

TEST(CliSettingsEndToEnd, FaultsClearThatLeavesARecordEndsWithStatusSix) {
    test::EnsureQtApp();
    // The gas valve relay's record will not clear; the others do.
    Sim ecu({"--set", "66=3", "--set", "67=2", "--set", "69=1", "--refuse", "66"});
    Gasecu run(QStringList{"faults", "--clear", "--lang", "en"} + Ports({&ecu}));
    ASSERT_EQ(run.finish(90000), 6) << run.err();
    EXPECT_EQ(run.out(), "gas-valve-relay=3\ninjector-relay=0\nlow-pressure=0\nconnection-error=0\n");
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
