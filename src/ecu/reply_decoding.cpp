#include "ecu/reply_decoding.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "app/number_format.h"
#include "ecu/advance_list.h"
#include "ecu/pressure_table.h"

namespace gasecu::ecu {

double TemperatureFromByte(int byte) { return (256 - byte) * 4.07 / 10; }

double GasPressureFromByte(int byte) {
    int raw = std::clamp(byte, 0, 226);
    return PressureTable[static_cast<std::size_t>(raw)] / 100.0;
}

double EngineSpeedFromPeriod(int period, double rpmFactor) {
    if (period == 0) period = 1500;
    return 250000.0 / period * 60 * rpmFactor;
}

LiveData DecodeLiveData(const Bytes& reply, double rpmFactor) {
    LiveData d;
    d.engineSpeed = EngineSpeedFromPeriod(ReplyByte(reply, 8) * 256 + ReplyByte(reply, 7), rpmFactor);
    d.gasPressure = GasPressureFromByte(ReplyByte(reply, 9));
    d.reducerTemperature = TemperatureFromByte(ReplyByte(reply, 11));
    d.gasTemperature = TemperatureFromByte(ReplyByte(reply, 12));
    d.petrolRaw = ReplyByte(reply, 4) * 256 + ReplyByte(reply, 3);
    d.petrolTime = d.petrolRaw / 250.0;
    d.gasRaw = ReplyByte(reply, 6) * 256 + ReplyByte(reply, 5);
    d.gasTime = d.gasRaw / 244.16;
    return d;
}

namespace {
// Hundredths of a ms, so the list match compares whole numbers.
double AdvanceHundredths(int low, int high) {
    int highPart = high == 1 ? 256 : high == 2 ? 512 : high;
    return RoundHalfAway((highPart + low) * 0.4);
}
}  // namespace

double AdvanceTimeFromBytes(int low, int high) { return AdvanceHundredths(low, high) / 100; }

int AdvanceEntryFor(double advanceTime) {
    double hundredths = RoundHalfAway(advanceTime * 100);
    if (std::fabs(advanceTime * 100 - hundredths) > 1e-6) return -1;
    for (std::size_t i = 0; i < kAdvanceEntries.size(); ++i)
        if (kAdvanceEntries[i].hundredthsMs == hundredths) return static_cast<int>(i);
    return -1;
}

std::optional<int> CoilCountFromText(const std::string& coilText) {
    for (int n = 1; n <= 12; ++n)
        if (coilText == std::to_string(n)) return n;
    return std::nullopt;
}

std::optional<double> RpmFactorForCoilText(const std::string& coilText) {
    const auto coils = CoilCountFromText(coilText);
    if (!coils) return std::nullopt;
    if (*coils == 1) return 0.5;
    if (*coils <= 3) return 1.0;
    return 2.0;
}

}  // namespace gasecu::ecu
