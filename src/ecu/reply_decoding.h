#pragma once
// What the ECU's replies mean. A reply carries no code naming it: the step the
// sequencer was at when it arrived says which request it answers. Every reply is
// 13 bytes except a curve band block (20); byte 2 is always the fuel status.
// Bytes are counted from 1 here, as the ECU's documentation of its frames does.
#include <cstddef>
#include <optional>
#include <string>

#include "platform/bytes.h"

namespace gasecu::ecu {

inline constexpr std::size_t kReplyLength = 13;
inline constexpr std::size_t kCurveBlockReplyLength = 20;

// Byte n (from 1) of a reply; 0 when the reply is shorter.
inline int ReplyByte(const Bytes& reply, int n) {
    return n >= 1 && static_cast<std::size_t>(n) <= reply.size() ? reply[static_cast<std::size_t>(n - 1)] : 0;
}

// One live data reply, decoded. The injection times are kept unclamped; the raw
// values are kept too because the display's limits test them, not the times.
struct LiveData {
    double engineSpeed = 0;         // rpm
    double gasPressure = 0;         // bar
    double reducerTemperature = 0;  // °C
    double gasTemperature = 0;      // °C
    double petrolTime = 0;          // ms
    double gasTime = 0;             // ms
    int petrolRaw = 0;              // 4 µs units
    int gasRaw = 0;
};
LiveData DecodeLiveData(const Bytes& reply, double rpmFactor);

// The ECU's temperature sensors: (256 - byte) x 4.07 / 10 °C.
double TemperatureFromByte(int byte);
// Bar, through the sensor table; a byte above 225 reads as 226.
double GasPressureFromByte(int byte);
// Ignition period in 4 µs units to rpm; a period of 0 (engine stopped or no
// signal) is taken as 1500, as the ECU itself does.
double EngineSpeedFromPeriod(int period, double rpmFactor);

// Injection advance of settings page 5 in ms, rounded to two decimals. The high
// byte counts 256 per unit for 1 and 2; any other value is added as it is.
double AdvanceTimeFromBytes(int low, int high);
// The advance list entry 0..12 showing exactly this time, or -1.
int AdvanceEntryFor(double advanceTime);

// The coil count a coil text names: exactly "1" to "12" (no blank, sign, leading
// zero or fraction); any other text names none.
std::optional<int> CoilCountFromText(const std::string& coilText);

// Engine-speed factor for a coil count read back from page 1: "1" gives 0.5,
// "2" and "3" give 1, "4" to "12" give 2; any other text gives nothing.
std::optional<double> RpmFactorForCoilText(const std::string& coilText);

}  // namespace gasecu::ecu
