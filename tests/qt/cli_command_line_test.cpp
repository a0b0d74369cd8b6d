// The headless commands' command line: options in either spelling, refusals
// with a reason, help, and which words start the window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/command_line.h"
#include "cli/commands.h"

namespace gasecu::cli {
namespace {

ParseResult Parse(std::vector<std::string> arguments) { return ParseCommandLine(Commands(), arguments); }

TEST(CliCommandLine, TakesCommonAndOwnOptionsInEitherSpelling) {
    ParseResult r = Parse({"live", "--port", "/dev/ttyUSB1", "--port=ttyS0", "--count", "5", "--csv=log.csv",
                           "--lang", "en", "--trace", "--simulate"});
    ASSERT_TRUE(r.options) << r.error;
    const Options& o = *r.options;
    EXPECT_EQ(o.command, "live");
    // The scan tries the named devices in the order given.
    EXPECT_EQ(o.portDevices, (std::vector<std::string>{"/dev/ttyUSB1", "ttyS0"}));
    EXPECT_EQ(o.count, 5);
    EXPECT_EQ(o.csvPath, "log.csv");
    EXPECT_EQ(o.language, 1);
    EXPECT_TRUE(o.trace);
    EXPECT_TRUE(o.simulate);
    EXPECT_FALSE(o.help);

    ParseResult curve = Parse({"read-curve", "-o", "Cur_05.txt", "--lang=tr"});
    ASSERT_TRUE(curve.options) << curve.error;
    EXPECT_EQ(curve.options->outputPath, "Cur_05.txt");
    EXPECT_EQ(curve.options->language, 0);
    EXPECT_EQ(Parse({"read-curve", "--output=x/Cur_01.txt"}).options->outputPath, "x/Cur_01.txt");

    ParseResult calibrate = Parse({"calibrate", "--reference=f/ORJ.DAT", "--upload", "-o", "Cur_02.txt"});
    ASSERT_TRUE(calibrate.options) << calibrate.error;
    EXPECT_EQ(calibrate.options->referencePath, "f/ORJ.DAT");
    EXPECT_TRUE(calibrate.options->upload);
    EXPECT_EQ(calibrate.options->outputPath, "Cur_02.txt");
    EXPECT_FALSE(Parse({"calibrate", "--upload=yes"}).options);

    // The curve file of write-curve is the one word that is not an option, anywhere.
    ParseResult write = Parse({"write-curve", "--simulate", "my/Cur_03.txt", "--no-verify"});
    ASSERT_TRUE(write.options) << write.error;
    EXPECT_EQ(write.options->inputPath, "my/Cur_03.txt");
    EXPECT_TRUE(write.options->noVerify);
    EXPECT_FALSE(Parse({"write-curve", "Cur_03.txt"}).options->noVerify);

    // set takes every NAME=VALUE in order, between the options too.
    ParseResult set = Parse({"set", "coils=4", "--lang", "en", "advance=1.25"});
    ASSERT_TRUE(set.options) << set.error;
    EXPECT_EQ(set.options->assignments, (std::vector<std::string>{"coils=4", "advance=1.25"}));
    EXPECT_TRUE(Parse({"faults", "--clear"}).options->clear);
    EXPECT_TRUE(Parse({"factory-reset", "--yes"}).options->yes);

    // Without --lang the stored choice stays; without --count live runs on.
    ParseResult plain = Parse({"live"});
    ASSERT_TRUE(plain.options);
    EXPECT_FALSE(plain.options->language);
    EXPECT_EQ(plain.options->count, 0);
}

TEST(CliCommandLine, RefusesWhatItCannotMeanWithAReason) {
    const std::vector<std::vector<std::string>> bad{
        {},                                  // no command
        {"erase-ecu"},                       // unknown command
        {"live", "--count", "0"},            // nothing to take
        {"live", "--count", "-3"},
        {"live", "--count", "5x"},
        {"live", "--count", "99999999999999999999"},
        {"live", "--count"},                 // value missing
        {"scan", "--count", "5"},            // another command's option
        {"scan", "--trace=yes"},             // a flag takes no value
        {"scan", "--lang", "de"},
        {"scan", "--port"},
        {"scan", "--port="},
        {"scan", "extra"},
        {"read-curve", "-o"},
        {"settings", "coils=4"},             // settings only prints
        {"faults", "--yes"},
        {"read-curve", "Cur_01.txt"},        // no file word for this command
        {"write-curve", "Cur_01.txt", "Cur_02.txt"},  // one file only
        {"write-curve", "-x"},
        {"set", "coils"},                    // no value
        {"set", "coils="},
        {"set", "advance=1.25", "leak-pressure"},
        // A single-valued option given twice: which one was meant?
        {"live", "--count", "5", "--count", "6"},
        {"live", "--csv", "a.csv", "--csv=b.csv"},
        {"read-curve", "-o", "Cur_01.txt", "--output", "Cur_02.txt"},
        {"scan", "--lang", "en", "--lang", "tr"},
        {"calibrate", "--reference", "a/ORJ.DAT", "--reference", "b/ORJ.DAT"},
    };
    for (const auto& arguments : bad) {
        ParseResult r = Parse(arguments);
        std::string joined;
        for (const auto& a : arguments) joined += a + " ";
        EXPECT_FALSE(r.options) << joined;
        EXPECT_FALSE(r.error.empty()) << joined;
    }
}

TEST(CliCommandLine, HelpIsAskedForInEveryUsualWayAndListsEverything) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"help"}, {"--help"}, {"scan", "--help"}, {"read-curve", "-h"}}) {
        ParseResult r = Parse(arguments);
        ASSERT_TRUE(r.options) << arguments.front();
        EXPECT_TRUE(r.options->help);
    }
    const std::string help = HelpText(Commands(), "gasecu");
    for (const char* word : {"gasecu scan", "gasecu live", "gasecu read-curve", "gasecu write-curve FILE", "--no-verify",
                             "--count N", "--csv FILE", "-o, --output FILE", "--port DEVICE", "--simulate",
                             "--lang tr|en", "--trace", "gasecu settings", "gasecu set NAME=VALUE...",
                             "gasecu faults [--clear]", "gasecu factory-reset --yes"})
        EXPECT_NE(help.find(word), std::string::npos) << word;
    // Every status a command can end with, the calibration's 7 too.
    for (int status : {kExitDone, kExitBadUsage, kExitNoEcu, kExitFileError, kExitBadInput, kExitEcuSilent,
                       kExitCurveDiffers, kExitReadBackDiffers, kExitCalibrationFault})
        EXPECT_NE(help.find("\n  " + std::to_string(status) + "  "), std::string::npos) << status;
    for (const char* status : {"  0  done", "  2  bad usage", "  3  no ECU", "  4  bad input", "  5  the ECU stopped",
                               "  6  the ECU reports", "  7  calibrate"})
        EXPECT_NE(help.find(status), std::string::npos) << status;
    // The silence that ends a command is the link watch's.
    EXPECT_NE(help.find("no reply for 3 s"), std::string::npos);
    EXPECT_EQ(help.find("no reply for 5 s"), std::string::npos);
}

TEST(CliCommandLine, UsageErrorsSayWhatIsWrong) {
    struct Case {
        std::vector<std::string> arguments;
        std::string says;
    };
    const Case cases[] = {
        {{"live", "--count", "0"}, "--count takes a whole number from 1 to 100000000"},
        {{"live", "--count", "100000001"}, "from 1 to 100000000"},
        {{"live", "--count", "5", "--count", "6"}, "--count is given twice"},
        {{"read-curve", "-o", "Cur_01.txt", "-o", "Cur_02.txt"}, "--output is given twice"},
        {{"set", "coils"}, "set takes NAME=VALUE, 'coils' gives no value"},
    };
    for (const Case& c : cases) {
        ParseResult r = Parse(c.arguments);
        EXPECT_FALSE(r.options) << c.says;
        EXPECT_NE(r.error.find(c.says), std::string::npos) << r.error;
    }
    // --port is the one option that is meant to come more than once.
    ParseResult ports = Parse({"scan", "--port", "a", "--port", "b"});
    ASSERT_TRUE(ports.options) << ports.error;
    EXPECT_EQ(ports.options->portDevices.size(), 2u);
}

TEST(CliCommandLine, OnlyAnOptionOfTheWindowStartsTheWindow) {
    struct Case {
        std::string word;
        bool window;
    };
    const Case cases[] = {
        {"--port", true}, {"--port=/dev/ttyUSB0", true}, {"--simulate", true}, {"--help", true}, {"-h", true},
        {"--version", true}, {"-v", true}, {"--benchmark-startup", true}, {"--lang", true}, {"--lang=en", true},
        // What the window toolkit takes for any program.
        {"-platform", true}, {"--platform=offscreen", true}, {"-style", true}, {"-reverse", true},
        // Mistyped commands, an empty word, bytes that are no text, options nobody has.
        {"setings", false}, {"live2", false}, {"", false}, {"-", false}, {"\xff\xfe", false}, {"--bogus", false},
        {"-port2", false}, {"scan", false}};
    for (const Case& c : cases) EXPECT_EQ(cli::StartsTheWindow(c.word), c.window) << c.word;
}


TEST(CliCommandLine, EveryCommandHasARunnerAndAUniqueName) {
    std::vector<std::string_view> names;
    for (const Command& c : Commands()) {
        // Exactly one way to run: with the ECU, or (history) without it.
        EXPECT_NE(c.run == nullptr, c.runWithoutEcu == nullptr) << c.name;
        EXPECT_EQ(FindCommand(Commands(), c.name), &c);
        names.push_back(c.name);
    }
    std::vector<std::string_view> expected{"scan",          "live",      "read-curve", "write-curve", "settings", "set",
                                           "faults",        "factory-reset", "calibrate", "history"};
#ifdef GASECU_WITH_SYNC
    expected.insert(expected.end(), {"sync", "server-init"});
#endif
    EXPECT_EQ(names, expected);
}

}  // namespace
}  // namespace gasecu::cli
