// The headless commands' pure pieces: the command line, the curve file name rule
// they check before connecting, the CSV of live samples and the frame trace.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/trace_port.h"
#include "ecu/live_sample.h"

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
    for (const char* status :
         {"  0  done", "  2  bad usage", "  3  no ECU", "  4  bad input", "  5  the ECU stopped", "  6  the ECU reports"})
        EXPECT_NE(help.find(status), std::string::npos) << status;
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
    o.outputPath = "/srv/vans/Cur_05.txt";
    EXPECT_EQ(ValidateReadCurve(o, message), kExitDone);
    // A relative name counts with the directory the shell is in, as a dialog's full path.
    o.outputPath = "Cur_05.txt";
    EXPECT_EQ(ValidateReadCurve(o, message), kExitDone);
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
