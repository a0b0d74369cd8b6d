// What the headless commands write out: the CSV of live samples, and the frame
// trace of what really crossed the line.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "cli/trace_port.h"
#include "ecu/live_sample.h"

namespace gasecu::cli {
namespace {

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
