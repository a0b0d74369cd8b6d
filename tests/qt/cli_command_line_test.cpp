// The headless commands' pure pieces: the command line, the curve file name rule
// they check before connecting, the CSV of live samples and the frame trace.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/form1korvane.h"
#include "app/stored_language.h"
#include "app/number_format.h"
#include "cli/cli.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/trace_port.h"
#include "curve/curve_text.h"
#include "ecu/live_sample.h"
#include "ecu/setting_rules.h"
#include "support/temp_dir.h"
#include "curve/curve_file_io.h"

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
    EXPECT_EQ(names, (std::vector<std::string_view>{"scan", "live", "read-curve", "write-curve", "settings", "set",
                                                    "faults", "factory-reset", "calibrate", "history"}));
}

TEST(CliReadCurve, RefusesTheNameBeforeConnectingAsTheWindowWould) {
    std::string message;
    Options o;
    o.command = "read-curve";
    EXPECT_EQ(ValidateReadCurve(o, message), kExitBadUsage);

    o.outputPath = "/srv/vans/curve.txt";
    EXPECT_EQ(ValidateReadCurve(o, message), kExitFileError);
    EXPECT_NE(message.find("NAME OF INCORRECT FILE ! /srv/vans/curve.txt"), std::string::npos) << message;
    o.language = 0;
    EXPECT_EQ(ValidateReadCurve(o, message), kExitFileError);
    EXPECT_NE(message.find("HATALI DOSYA İSMİ ! "), std::string::npos) << message;

    o.outputPath = "/srv/vans/cur_05.txt";  // case matters
    EXPECT_EQ(ValidateReadCurve(o, message), kExitFileError);
    test::TempDir vans;
    o.outputPath = curve::Utf8FromPath(vans.path() / "Cur_05.txt");
    EXPECT_EQ(ValidateReadCurve(o, message), kExitDone);
    // A relative name counts with the directory the shell is in, as a dialog's full path.
    o.outputPath = "Cur_05.txt";
    EXPECT_EQ(ValidateReadCurve(o, message), kExitDone);
}

Options SetOptions(const std::string& assignment) {
    Options o;
    o.command = "set";
    o.language = 1;
    o.assignments = {assignment};
    return o;
}

TEST(CliSet, AValueIsRefusedBeforeConnectingExactlyWhenTheBoxWouldRefuseIt) {
    // The box of a window without a link: it clears what it refuses and keeps
    // what it takes (and then sends nothing, there being no ECU).
    test::TempDir dir;
    Form1Korvane box({dir.path(), dir.path() / "user", nullptr, nullptr, '.'});
    box.Form_Load();
    const std::vector<std::pair<ecu::Setting, std::vector<std::string>>> typed{
        {ecu::Setting::SwitchTemperature,
         {"19.73951", "19.7395", "19.74", "19.8", "19.85", "19.9", "19.94", "60", "96.1", "96.15", "96.2", "96.2555"}},
        {ecu::Setting::SwitchRpm, {"499.99", "500", "1234", "2000", "2000.04", "2000.00004"}},
        {ecu::Setting::MinimumPressure, {"0.39", "0.3999", "0.39999", "0.40", "1,80", "1.80004", "1.80005", "1.81"}},
        {ecu::Setting::LeakPressure, {"0.59999", "0.6", "1.8"}},
        {ecu::Setting::Coils, {"0", "1", "2.5", "4", "04", "4.00001", "5"}},
    };
    for (const auto& [setting, values] : typed) {
        for (const std::string& value : values) {
            const std::string name = ecu::RuleFor(setting).name;
            SCOPED_TRACE(name + "=" + value);
            box.SettingBox(setting).text = value;
            // Without a link the box puts back what the ECU last held, so what it
            // took shows in the status line: a refusal names the accepted range.
            box.KomutSatırı.text.clear();
            box.SettingEntryKeyPress(setting, 13);
            const std::string& said = box.KomutSatırı.text;
            const bool boxTakes = said.find("GEÇERSİZ DEĞER") == std::string::npos &&
                                  said.find("VALUE REFUSED") == std::string::npos;
            std::string message;
            EXPECT_EQ(ValidateSet(SetOptions(name + "=" + value), message), boxTakes ? kExitDone : kExitBadInput)
                << message;
        }
    }
    // The cases that passed the check and then failed at the box, and those the
    // stated range leaves out.
    for (const char* value : {"switch-temp=19.73951", "switch-temp=19.8", "switch-temp=96.2"}) {
        std::string message;
        EXPECT_EQ(ValidateSet(SetOptions(value), message), kExitBadInput) << value;
        EXPECT_NE(message.find("switch-temp takes 19.9 - 96.1 °C"), std::string::npos) << message;
    }
}

// The README's table of accepted values, row by row, as the rules enforce it.
TEST(CliSet, TheReadmeStatesTheRangesTheRulesEnforce) {
    std::ifstream in(GASECU_README, std::ios::binary);
    const std::string readme((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(readme.empty());
    for (const ecu::SettingRule& rule : ecu::SettingRules()) {
        if (rule.setting == ecu::Setting::Advance) continue;
        SCOPED_TRACE(rule.name);
        const std::string range = ecu::AcceptedRangeText(rule.setting, '.');  // "0.40 - 1.80 bar"
        // "| `coils` | 1 - 4 (a whole number) |", "| `min-pressure` | 0.40 - 1.80 bar |"
        EXPECT_NE(readme.find(std::string("| `") + rule.name + "` | " + range + " "), std::string::npos) << range;
        // Each end is accepted; one step of the shown decimals beyond it is not.
        const double low = ParseLeadingNumber(range);
        const double high = ParseLeadingNumber(range.substr(range.find(" - ") + 3));
        const double step = std::pow(10.0, -rule.decimals);
        EXPECT_TRUE(ecu::EntryByte(rule.setting, low)) << low;
        EXPECT_TRUE(ecu::EntryByte(rule.setting, high)) << high;
        EXPECT_FALSE(ecu::EntryByte(rule.setting, low - step)) << low - step;
        EXPECT_FALSE(ecu::EntryByte(rule.setting, high + step)) << high + step;
    }
}

TEST(CliOutputFile, EveryOutputIsCheckedBeforeAnyPortIsOpened) {
    test::TempDir dir;
    std::filesystem::create_directory(dir.path() / "Cur_07.txt");
    std::filesystem::create_symlink("/dev/null", dir.path() / "Cur_11.txt");
    struct Case {
        std::string path;
        int status;
        std::string english;  // the message, before the path
    };
    const Case cases[] = {
        {curve::Utf8FromPath(dir.path() / "Cur_05.txt"), kExitDone, ""},
        {curve::Utf8FromPath(dir.path() / "curve.txt"), kExitFileError, "NAME OF INCORRECT FILE ! "},
        {curve::Utf8FromPath(dir.path() / "Cur_00.txt"), kExitFileError, "Cur_00.txt IS REWRITTEN AT EVERY START"},
        {curve::Utf8FromPath(dir.path() / "gone" / "Cur_05.txt"), kExitFileError, "NO SUCH FOLDER, FILE NOT WRITTEN ! "},
        {curve::Utf8FromPath(dir.path() / "Cur_07.txt"), kExitFileError, "A FOLDER HAS THIS NAME, FILE NOT WRITTEN ! "},
        {curve::Utf8FromPath(dir.path() / "Cur_11.txt"), kExitFileError, "THIS NAME IS NOT A PLAIN FILE, NOT WRITTEN ! "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        for (auto validate : {ValidateReadCurve, ValidateCalibrate}) {
            Options o;
            o.outputPath = c.path;
            o.language = 1;
            std::string message;
            EXPECT_EQ(validate(o, message), c.status);
            if (c.status != kExitDone) {
                EXPECT_EQ(message.rfind(c.english, 0), 0u) << message;
            }
        }
    }
    // In Turkish when that is the language of the run.
    Options o;
    o.outputPath = curve::Utf8FromPath(dir.path() / "gone" / "Cur_05.txt");
    o.language = 0;
    std::string message;
    EXPECT_EQ(ValidateCalibrate(o, message), kExitFileError);
    EXPECT_EQ(message.rfind("KLASÖR YOK, DOSYA YAZILAMADI ! ", 0), 0u) << message;
}

TEST(CliWriteCurve, AFaultyFileIsRefusedWithTheCauseTheFitterCanMend) {
    test::TempDir dir;
    const std::string axis = "30 60 90 120 150 180 210 240 270 300 330 360 390 420 450 480 510 540 ";
    auto lines = [&](const std::string& head, const std::string& band3, const std::string& end) {
        std::string text = head + end + axis + end + band3 + end;
        for (int i = 0; i < 5; ++i) text += axis + end;
        return text + "<::::> " + end;
    };
    const std::string good = lines("4 25 116 110 134 122 ", axis, "\r\n");
    const std::string seventeen = axis.substr(0, axis.rfind("540 "));
    struct Case {
        const char* name;
        std::string text;
        int status;
        std::string says;  // in the message
    };
    const Case cases[] = {
        {"LF-only line ends", lines("4 25 116 110 134 122 ", axis, "\n"), kExitFileError,
         "(line 1: line ends must be CR LF, this file ends lines with LF alone)"},
        {"UTF-8 byte order mark", "\xEF\xBB\xBF" + good, kExitFileError,
         "(line 1: starts with a UTF-8 byte order mark, save it as plain text)"},
        {"a curve followed by 2 MB of other data", good + std::string(2 << 20, 'x'), kExitFileError,
         "FILE ERROR ! "},
        {"a curve followed by other data, the reason", good + std::string(2 << 20, 'x'), kExitFileError,
         "(a curve followed by other data, " + std::to_string(good.size() + (2 << 20)) + " bytes in all"},
        {"a band line of 17 numbers", lines("4 25 116 110 134 122 ", seventeen, "\r\n"), kExitFileError,
         "(line 3: 17 numbers, 18 expected)"},
        {"a head without its final blank", lines("4 25 116 110 134 122", axis, "\r\n"), kExitDone, ""},
        {"a folder", "", kExitFileError, "FILE CANNOT BE READ ! "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::filesystem::path file = dir.path() / "Cur_05.txt";
        std::filesystem::remove(file);
        if (std::string(c.name) == "a folder") {
            std::filesystem::create_directory(file);
        } else {
            std::ofstream(file, std::ios::binary) << c.text;
        }
        Options o;
        o.inputPath = curve::Utf8FromPath(file);
        o.language = 1;
        std::string message;
        EXPECT_EQ(ValidateWriteCurve(o, message), c.status) << message;
        EXPECT_NE(message.find(c.says), std::string::npos) << message;
    }
}

TEST(CliLanguage, ChecksBeforeTheSessionSpeakTheStoredLanguage) {
    struct Case {
        const char* stored;  // null: no file
        bool installed;
        int language;
    };
    for (const Case& c : {Case{nullptr, false, 0}, Case{"1", false, 1}, Case{"0", false, 0}, Case{"7", false, 0},
                          Case{"1", true, 1}}) {
        SCOPED_TRACE(c.stored ? c.stored : "none");
        test::TempDir dir;
        FormEnvironment env;
        env.programDirectory = dir.path() / "bin";
        env.userDataDirectory = dir.path() / "user";
        std::filesystem::create_directories(env.programDirectory);
        std::filesystem::create_directories(env.userDataDirectory);
        if (c.installed) env.installedDataDirectory = dir.path() / "share";
        // An installed program keeps the fitter's choice in the per-user folder.
        if (c.stored)
            std::ofstream((c.installed ? env.userDataDirectory : env.programDirectory) / "Dilsecim") << c.stored << "\r\n";
        EXPECT_EQ(StoredLanguageIndex(env), c.language);
        // The window, started the same way, agrees.
        Form1Korvane form(env);
        form.Form_Load();
        EXPECT_EQ(form.LanguageIndex, c.language);
    }
}

TEST(CliLiveSample, CsvUsesThePointAndTheWindowsDecimals) {
    using namespace ecu;
    LiveSample s;
    s.timeMs = 1500.04;
    s.engineSpeed = 2149.6;
    s.gasPressure = 1.25;
    s.reducerTemperature = 71.25;
    s.gasTemperature = -4.5;
    s.petrolTime = 3.2;
    s.gasTime = 40.96;
    s.fuelStatus = 1;
    EXPECT_EQ(CsvHeader(),
              "time_ms,engine_speed_rpm,gas_pressure_bar,reducer_temperature_c,gas_temperature_c,"
              "petrol_time_ms,gas_time_ms,fuel");
    EXPECT_EQ(CsvRow(s), "1500.0,2150,1.25,71.3,-4.5,3.20,40.96,gas");
    EXPECT_EQ(SampleLine(s),
              "time_ms=1500.0 engine_speed_rpm=2150 gas_pressure_bar=1.25 reducer_temperature_c=71.3 "
              "gas_temperature_c=-4.5 petrol_time_ms=3.20 gas_time_ms=40.96 fuel=gas");
    EXPECT_EQ(FuelStateName(2), "petrol");
    EXPECT_EQ(FuelStateName(20), "petrol");
    EXPECT_EQ(FuelStateName(3), "changeover");
    EXPECT_EQ(FuelStateName(0), "unknown");
    EXPECT_EQ(FuelStateName(-1), "unknown");
}

// A port that records what the decorator hands it.
class RecordingPort final : public SerialPort {
public:
    bool setPortNumber(int n) override { return (number = n), true; }
    int portNumber() const override { return number; }
    std::string deviceName(int n) const override { return "dev" + std::to_string(n); }
    bool open() override { return (opened = true); }
    void close() override { opened = false; }
    bool isOpen() const override { return opened; }
    bool send(const Bytes& frame) override {
        if (!opened) return false;
        sent.push_back(frame);
        return true;
    }
    Bytes readAll() override { return std::exchange(waiting, {}); }
    void receive(Bytes bytes) {
        waiting = std::move(bytes);
        raiseEvent(kPortEventReceive);
    }
    void lose() { raiseDeviceLost(); }

    int number = 1;
    bool opened = false;
    std::vector<Bytes> sent;
    Bytes waiting;
};

TEST(CliTracingPort, TracesWhatReallyCrossesTheLineAndPassesEverythingThrough) {
    RecordingPort inner;
    double now = 0;
    std::vector<std::string> lines;
    TracingPort port(inner, [&] { return now; }, [&](const std::string& l) { lines.push_back(l); });
    std::vector<std::string> order;
    port.setEventHandler([&](int kind) {
        order.push_back("form " + std::to_string(kind));
        Bytes reply = port.readAll();
        order.push_back("read " + std::to_string(reply.size()));
    });
    port.setDeviceLostHandler([&] { order.push_back("lost"); });
    port.setAfterEvent([&] { order.push_back("after"); });

    // A frame on a closed port never reaches the wire and is not shown.
    EXPECT_FALSE(port.send({110, 4, 110, 10}));
    EXPECT_TRUE(lines.empty());

    EXPECT_TRUE(port.setPortNumber(4));
    EXPECT_EQ(inner.number, 4);
    EXPECT_EQ(port.deviceName(4), "dev4");
    EXPECT_TRUE(port.open());
    now = 1500;
    EXPECT_TRUE(port.send({110, 4, 110, 10}));
    EXPECT_EQ(inner.sent.size(), 1u);
    now = 1505.26;
    inner.receive({110, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 10});
    inner.lose();

    EXPECT_EQ(lines, (std::vector<std::string>{"[   1500.0 ms] TX 6E 04 6E 0A",
                                               "[   1505.3 ms] RX 6E 02 00 00 00 00 00 00 00 00 00 FF 0A"}));
    // The form's handler runs first, then whoever waits on it.
    EXPECT_EQ(order, (std::vector<std::string>{"form 2", "read 13", "after", "lost", "after"}));
    EXPECT_EQ(FormatTraceLine(123456789.0, true, {}), "[123456789.0 ms] TX ");
}

}  // namespace
}  // namespace gasecu::cli
